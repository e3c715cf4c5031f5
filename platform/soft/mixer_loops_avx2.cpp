// The mixer's voice loops at the AVX2 level; this file alone is compiled for that level.
#define EL_MIX_LEVEL 3
#define EL_MIX_FILL_NAME FillAvx2Loops
#include "platform/soft/mixer_loops.inc"
