// The mixer's voice loops at the AVX-512 level; this file alone is compiled for that level.
#define EL_MIX_LEVEL 4
#define EL_MIX_FILL_NAME FillAvx512Loops
#include "platform/soft/mixer_loops.inc"
