// The mixer's inner loops: one voice read through its kernel, weighted and summed into the mix, in
// one variant per instruction-set level. Every level gives the same samples to the bit: the wider
// ones keep the SSE2 loop's lanes and the order of its sums.
#pragma once
#include <cstdint>

#include "platform/blit.h"

namespace platform::soft::mix_detail {

// What a loop reads and moves of a voice.
struct VoiceCursor {
    float* samples = nullptr;  // frames * channels floats in 16-bit units
    uint32_t frames = 0;
    uint16_t channels = 1;
    uint32_t pos = 0, frac = 0;  // read position: pos + frac / rate frames
    uint32_t stepInt = 0, stepFrac = 0;
    int band = 0;  // the resampling kernel for this step
    bool playing = false, looping = false;
    // A looping voice has come round its end since it started: the frames before its first are
    // its last ones from then on, and silence until then.
    bool wrapped = false;
};

// Mixes `frames` frames of the voice onto `bus` (mix channels interleaved) at the mix rate `rate`,
// the gains starting at gainL / gainR and moving by stepL / stepR after every frame. Stops the
// voice at the end of a sound that does not loop.
using VoiceLoop = void (*)(VoiceCursor& voice, float* bus, uint32_t frames, uint32_t rate, float gainL,
                           float gainR, float stepL, float stepR);

struct MixLoops {
    BlitLevel level;
    VoiceLoop loops[6][2][2];  // [kernel band][source channels - 1][mix channels - 1]
    // For tests: a voice read at the mix rate always through its kernel, never copied.
    VoiceLoop unitThroughKernel[2][2];
};

// The loops of a level (the baseline's for a level the build has no loops of).
const MixLoops& MixLoopsFor(BlitLevel level);

void FillSse2Loops(MixLoops& loops);
void FillAvx2Loops(MixLoops& loops);
void FillAvx512Loops(MixLoops& loops);

}  // namespace platform::soft::mix_detail
