// The smooth-text reduction at the AVX2 level (32-byte vectors); this file alone is compiled for that level.
#define EL_VEC_BYTES 32
#define EL_REDUCE_NAME Avx2Loop
#include "platform/soft/text_reduce_vector.inc"
