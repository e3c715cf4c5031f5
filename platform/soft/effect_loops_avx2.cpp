// The effect loops at the AVX2 level (32-byte vectors); this file alone is compiled for that level.
#define EL_VEC_BYTES 32
#define EL_VEC_FILL_NAME FillAvx2Loops
#include "platform/soft/effect_loops_vector.inc"
