// The smooth-text reduction at the AVX-512 level (64-byte vectors); this file alone is compiled for that
// level.
#define EL_VEC_BYTES 64
#define EL_REDUCE_NAME Avx512Loop
#include "platform/soft/text_reduce_vector.inc"
