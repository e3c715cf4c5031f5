// The smooth-text reduction at the SSE2 level (16-byte vectors); this file alone is compiled for that level.
#define EL_VEC_BYTES 16
#define EL_REDUCE_NAME Sse2Loop
#include "platform/soft/text_reduce_vector.inc"
