// The reduction of smooth text: a drawing at twice the size summed three by three into single-size
// pixels that are blended with the picture under them, one loop per instruction-set level and a
// one-pixel reference that every level must equal.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/blit.h"

namespace platform {

// Where the channel levels sit in a pixel: 5-bit levels (a 6-bit channel's top five bits) at 16
// bits, 8-bit ones at 32 bits. Red, green and blue are reduced alike, so their order is free.
struct ReduceFormat {
    bool wide = false;  // 32-bit pixels (only their low 24 bits are read), else 16-bit ones
    int32_t position[3] = {11, 6, 0};
};

// One reduction. Target pixel (i, j), 0 <= i < width, 0 <= j < height, sums the levels of the
// source pixels around (2 * (firstX + i), 2 * (firstY + j)), that pixel and its eight neighbours
// inside sourceWidth x sourceHeight, and counts the n of them that are not 0. Where n is 0 the target
// pixel is left as it was; elsewhere each level becomes
//     min((sum + full + max(8 - n, 0) * under) / 8, full)     (full: 31 at 16 bits, 255 at 32)
// with `under` the level of the pixel under it. target and under point at pixel (0, 0).
struct ReduceJob {
    const uint8_t* source = nullptr;
    ptrdiff_t sourcePitch = 0;
    int sourceWidth = 0, sourceHeight = 0;
    int firstX = 0, firstY = 0;  // >= 0
    int width = 0, height = 0;
    uint8_t* target = nullptr;
    ptrdiff_t targetPitch = 0;
    const uint8_t* under = nullptr;
    ptrdiff_t underPitch = 0;
};

using ReduceLoop = void (*)(const ReduceJob& job, const ReduceFormat& format);

// The loop of one level (the reference at Scalar), or null where the level's loop does not take
// this format; the caller then uses the reference.
ReduceLoop ReduceLoopFor(BlitLevel level, const ReduceFormat& format);
// Reduces with the loop of the active blit level (SetBlitLevel in platform/blit.h).
void ReduceText(const ReduceJob& job, const ReduceFormat& format);

namespace reduce_detail {
ReduceLoop Sse2Loop(bool wide);
ReduceLoop Avx2Loop(bool wide);
ReduceLoop Avx512Loop(bool wide);
}  // namespace reduce_detail

}  // namespace platform
