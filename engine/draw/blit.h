// Clipped copies to the back buffer and between objects, stretched copies, fills, and line effects.
#pragma once
#include <el/blits.h>

#include <cstdint>

#include "engine/draw/eldraw.h"

struct ClipRectState {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

extern ClipRectState ClipRect;

// Phases and offsets of the line effects, kept from frame to frame.
struct LineEffectState {
    float wavePhase = 0.0f;
    int32_t waveSign = 1;
    float tileOffsetX = 0.0f, tileOffsetY = 0.0f;
    float scrollWavePhase = 0.0f, scrollOffset = 0.0f;
    float bandPhase = 0.0f, bandScroll = 0.0f;
    float drumPhase = 0.0f;
};

extern LineEffectState LineEffects;
