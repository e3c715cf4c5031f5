// The effect loops at the AVX512 level (64-byte vectors); this file alone is compiled for that level.
#define EL_VEC_BYTES 64
#define EL_VEC_FILL_NAME FillAvx512Loops
#include "platform/soft/effect_loops_vector.inc"
