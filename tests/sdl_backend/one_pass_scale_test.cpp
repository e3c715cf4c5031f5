// Presentation's one pass for whole-number factors against the conversion and scaling by rows, on
// random pictures at both depths, every factor, odd widths, offset pictures and source windows.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "platform/blit.h"
#include "platform/sdl/sdl_convert.h"

namespace {

using platform::PixelFormat;
using platform::sdl::Box;

struct Layout {
    int width, height;          // the picture
    int sourceLeft, sourceTop;  // where it starts inside a larger back buffer
    int factor;
    int targetX, targetY;  // where it goes in the target
    int extraPitchPixels;  // target pitch beyond the picture and its margins
};

// Runs ScaleInto and ScaleIntoByRows on the same random picture into targets filled alike, and
// compares every byte (the margins around the picture included).
void ExpectSameAsByRows(PixelFormat format, const Layout& l, uint32_t seed, bool expectOnePass) {
    std::mt19937 rng(seed);
    const int bytes = format == PixelFormat::RGB565 ? 2 : 4;
    const int sourceWidth = l.width + l.sourceLeft + 3, sourceHeight = l.height + l.sourceTop + 1;
    std::vector<uint8_t> source(static_cast<size_t>(sourceWidth) * sourceHeight * bytes);
    for (uint8_t& b : source) b = static_cast<uint8_t>(rng());
    const int sourcePitch = sourceWidth * bytes;
    const uint8_t* first =
        source.data() + static_cast<size_t>(l.sourceTop) * sourcePitch + l.sourceLeft * bytes;
    const Box where{l.targetX, l.targetY, l.width * l.factor, l.height * l.factor};
    const int targetWidth = where.x + where.width + 2 + l.extraPitchPixels,
              targetHeight = where.y + where.height + 2;
    const int targetPitch = targetWidth * 4;
    // 64-byte aligned storage, so that the layout alone decides the alignment of the rows.
    std::vector<uint32_t> oneStore(static_cast<size_t>(targetWidth) * targetHeight + 16, 0),
        rowStore(oneStore.size(), 0);
    auto aligned = [](std::vector<uint32_t>& v) {
        const uintptr_t at = reinterpret_cast<uintptr_t>(v.data());
        return reinterpret_cast<uint8_t*>((at + 63) & ~uintptr_t{63});
    };
    uint8_t* one = aligned(oneStore);
    uint8_t* byRows = aligned(rowStore);
    for (size_t i = 0; i < static_cast<size_t>(targetPitch) * targetHeight; ++i)
        one[i] = byRows[i] = static_cast<uint8_t>(rng());
    std::vector<uint32_t> scratch(static_cast<size_t>(l.width));
    platform::sdl::ScaleInto(first, sourcePitch, format, l.width, l.height, one, targetPitch, where,
                             scratch.data());
    platform::sdl::ScaleIntoByRows(first, sourcePitch, format, l.width, l.height, byRows, targetPitch, where,
                                   scratch.data());
    uint8_t* pictureStart =
        one + static_cast<size_t>(where.y) * targetPitch + static_cast<size_t>(where.x) * 4;
    EXPECT_EQ(platform::sdl::OnePassTakes(pictureStart, targetPitch, l.factor), expectOnePass && l.factor > 1)
        << "factor " << l.factor;
    int firstDifference = -1;
    for (int i = 0; i < targetPitch * targetHeight && firstDifference < 0; ++i)
        if (one[i] != byRows[i]) firstDifference = i;
    EXPECT_EQ(firstDifference, -1) << (bytes * 8) << "-bit, " << l.width << "x" << l.height << " x"
                                   << l.factor << " at (" << l.targetX << ", " << l.targetY << "), byte "
                                   << firstDifference << " (row " << firstDifference / targetPitch << ")";
}

TEST(OnePassScale, EqualsConversionAndScalingByRowsAtEveryDepthAndFactor) {
    uint32_t seed = 11;
    for (PixelFormat format : {PixelFormat::RGB565, PixelFormat::XRGB8888}) {
        for (int factor : {1, 2, 3, 4, 8}) {
            // Whole vectors, odd widths with tails, a picture of one pixel, the back buffer's own
            // size, and a picture cut out of a larger back buffer at an odd place.
            for (int width : {1, 3, 7, 8, 9, 37, 64, 803}) {
                const int height = width == 803 ? 3 : 5;
                // Aligned pictures go in one pass (x 0 or 4 with an aligned pitch) above factor 1...
                ExpectSameAsByRows(format,
                                   {width, height, 0, 0, factor, 0, 0, (4 - (width * factor + 2) % 4) % 4},
                                   seed++, true);
                ExpectSameAsByRows(format,
                                   {width, height, 3, 2, factor, 4, 1, (4 - (width * factor + 6) % 4) % 4},
                                   seed++, true);
                // ...others by rows (an unaligned start, or a pitch off 16-byte boundaries).
                ExpectSameAsByRows(format, {width, height, 1, 0, factor, 3, 2, 0}, seed++, false);
                if ((width * factor + 2 + 1) % 4 != 0)
                    ExpectSameAsByRows(format, {width, height, 0, 0, factor, 0, 0, 1}, seed++, false);
            }
        }
        // Factors the one pass leaves to the rows.
        ExpectSameAsByRows(format, {21, 4, 0, 0, 5, 0, 0, (4 - (105 + 2) % 4) % 4}, seed++, false);
        ExpectSameAsByRows(format, {21, 4, 0, 0, 6, 0, 0, (4 - (126 + 2) % 4) % 4}, seed++, false);
    }
}

TEST(OnePassScale, TheRgb565ConversionIsTheSameAtEveryBlitLevel) {
    // Both paths widen sixteen pixels at a time with AVX2 at that level and above, eight with SSE2
    // below; 109 pixels take both steps and a tail.
    const platform::BlitLevel best = platform::BestBlitLevel();
    uint32_t seed = 500;
    for (platform::BlitLevel level : {platform::BlitLevel::SSE2, best}) {
        ASSERT_TRUE(platform::SetBlitLevel(level));
        for (int width : {101, 109})
            for (int factor : {2, 3, 4})
                ExpectSameAsByRows(PixelFormat::RGB565,
                                   {width, 6, 2, 1, factor, 0, 0, (4 - (width * factor + 2) % 4) % 4}, seed++,
                                   true);
    }
    platform::SetBlitLevel(best);
}

}  // namespace
