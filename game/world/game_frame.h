// The game frame of scene 1: the fixed step and the fixed order of updates and drawing.
#pragma once
#include <cstdint>

struct GameFrameState {
    int64_t frameCount = 0;  // game frames run so far
};

extern GameFrameState GameFrames;

// The game's fixed time step, 1/60 s: the float with bit pattern 0x3C888889.
float GameFrameStep();

// GameFrame itself is declared with the start-up in game/game_startup.h.
