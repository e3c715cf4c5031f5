// Effect blits (a sprite object mixed into the back buffer pixel by pixel) and screen filters
// (a block of the back buffer worked on in place).
//
// Pixels are split into channel levels: at 16 bits the 5-bit value at each channel's 5-bit
// position (a 6-bit green is halved and comes back with its lowest bit 0), at 32 bits the 8-bit
// channel. The "own-width" members (AlphaBlt, BrightBlt and their per-channel forms) work on the
// channels as they are (5, 6 or 8 bits).
//
// One rule makes every member work at 32 bits: the 16-bit formulas applied to 8-bit channels, with
// every 5-bit level, bound and constant scaled from 31 to 255. A level L given by the caller
// becomes L * 255 / 31 (integer division; see EffectLevel), a constant 31 of a formula becomes
// 255, the half mask is 0x7F7F7F, a noise amount n becomes n << 3, the grey level is
// (r + g + b) / 3, and a source pixel whose low 24 bits are 0 is transparent (at 16 bits: the raw
// value 0). Mixed pixels get a top byte of 0; copies keep the source pixel whole. The scaling is for
// levels and amounts only; geometry keeps its numbers: DisplaceBlt's reach is a number of rows, so
// its offset stays 31 - 31 * S and an 8-bit red counts in 5-bit steps (red >> 3), and a picture
// moves the same rows at both depths.
//
// Blits return 1 when they ran (also when clipping left nothing to draw) and 0 when a surface cannot
// be locked or the object is free or out of range. The destination is clipped against ClipRect,
// then against the back buffer, and the source rectangle against its object.
#pragma once
#include <el/effects.h>

#include <cstdint>

#include "engine/draw/eldraw.h"

// The walk through the noise table, shared by the filters that read it.
struct EffectState {
    int32_t noisePosition = 0;
};

extern EffectState Effects;
