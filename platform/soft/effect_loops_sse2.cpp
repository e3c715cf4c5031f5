// The effect loops at the SSE2 level (16-byte vectors); this file alone is compiled for that level.
#define EL_VEC_BYTES 16
#define EL_VEC_FILL_NAME FillSse2Loops
#include "platform/soft/effect_loops_vector.inc"
