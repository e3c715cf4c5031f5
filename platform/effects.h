// Whole-row pixel loops of the effect blits that mix a sprite into the back buffer, one table per
// instruction-set level, with a one-pixel-at-a-time reference at the Scalar level.
//
// Pixels are raw values of the display's format. Channels are read as levels: at 16 bits the 5-bit
// value that fills the channel's top bits (a 6-bit channel halved), at 32 bits the 8-bit channel.
// Results are put back at the same positions, so a 6-bit channel's lowest bit comes out 0. Source
// pixels whose colour bits are all 0 are transparent and leave the destination as it was. At 32
// bits the top byte of a mixed pixel is 0; plain copies keep the source pixel whole.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/blit.h"

namespace platform {

// How the loops find the channels of a pixel. Channels are numbered 0 red, 1 green, 2 blue.
struct EffectFormat {
    bool wide = false;                    // 32-bit pixels (XRGB8888) instead of 16-bit ones
    uint32_t maxLevel = 31;               // 31 at 16 bits, 255 at 32 bits
    uint32_t halfMask = 0x7BEF;           // keeps every channel after a one-bit right shift
    uint32_t colourMask = 0xFFFF;         // the bits compared with 0 for transparency
    int32_t position[3] = {11, 6, 0};     // where a channel level sits
    int32_t shift[3] = {11, 5, 0};        // the channel's own lowest bit
    uint32_t sizeMask[3] = {31, 63, 31};  // the channel's own width (31, 63 or 255)
};

EffectFormat EffectFormatFor(bool wide, uint32_t redMask, uint32_t greenMask, uint32_t blueMask);

// Per-call parameters; each loop reads only its own.
struct EffectArgs {
    float alpha[3] = {};         // AlphaLoop: weight of the source channel (0 to 1)
    float keep[3] = {};          // AlphaLoop: weight of the destination channel, 1 - alpha
    uint32_t sourceCut[3] = {};  // FadeLoop and AddFadeLoop: levels taken off the source channel
    uint32_t destCut[3] = {};    // FadeLoop: levels taken off the destination channel; the two
                                 // cuts of a channel add up to at least maxLevel
};

// A loop over h rows of w pixels (w, h >= 1, rectangles already clipped; source and destination do
// not overlap). Pitches are in bytes and may be negative.
using EffectLoop = void (*)(uint8_t* dst, ptrdiff_t dstPitch, const uint8_t* src, ptrdiff_t srcPitch, int w,
                            int h, const EffectFormat& format, const EffectArgs& args);

struct EffectLoops {
    BlitLevel level;
    // [0] 16-bit pixels, [1] 32-bit pixels.
    EffectLoop half[2];          // d = ((s >> 1) & halfMask) + ((d >> 1) & halfMask)
    EffectLoop alpha[2];         // own-width channels: trunc(alpha * s + keep * d)
    EffectLoop fade[2];          // max(s - sourceCut, 0) + max(d - destCut, 0)
    EffectLoop addFade[2];       // min(max(s - sourceCut, 0) + d, maxLevel)
    EffectLoop shadow[2];        // max(d - s red, 0) on every channel
    EffectLoop grey[2];          // (s red + s green + s blue) / 3 on every channel
    EffectLoop copy[2];          // the source pixel
    EffectLoop copyMirrored[2];  // the source row read from right to left
};

// The loops of the active blit level (SetBlitLevel in platform/blit.h), or of any level.
const EffectLoops& ActiveEffectLoops();
const EffectLoops& EffectLoopsFor(BlitLevel level);

}  // namespace platform
