// Page 3, the screen filters on the right part: each block against the plain picture, the smears
// and blurs building from frame to frame and starting again, the Zoom2 line pattern, and the shapes
// on the left part untouched by any of it, at both depths.
#include <cstdlib>
#include <string>

#include "tests/demo/demo_fixture.h"

namespace {

using namespace demotest;
using PrimitivesPageTest = DemoPageRun;

// The blocks in the page's order, two to a row: the four that build on the frame before first.
enum Block { kSmear, kSmearFade, kBlur, kBlurFade, kZoom2, kNoise, kNoiseRGB, kCircleMosaic, kBlockCount };
const char* const kNames[kBlockCount] = {"Smear", "SmearFade", "Blur",     "BlurFade",
                                         "Zoom2", "Noise",     "NoiseRGB", "CircleMosaic"};
constexpr int kWidth = 120, kHeight = 96, kLabel = 13, kPixels = kWidth * kHeight;
constexpr int kLefts[2] = {544, 672};
constexpr int kTops[4] = {kBodyTop + 21, kBodyTop + 136, kBodyTop + 251, kBodyTop + 366};
constexpr int kRightPart = 544;
constexpr int kRestartFrames = 120;
constexpr int kMosaicRadius = 44;

int Left(int block) {
    return kLefts[block % 2];
}

int Top(int block) {
    return kTops[block / 2];
}

// The page comes up on frame 3, which is the first frame of the smears and blurs.
const std::string kToPage = Press(2, '3') + "3 mouse 200 200\n";
constexpr int kFirstFrame = 3;

long BlockDifferences(const Shot& a, const Shot& b, int block) {
    return RegionDifferences(a, b, Left(block), Top(block), kWidth, kHeight);
}

// The channels' differences summed over a block: small for two smears of the same picture that
// took their runs from different places of the noise table.
long BlockDistance(const Shot& a, const Shot& b, int block) {
    long sum = 0;
    for (int y = Top(block); y < Top(block) + kHeight; ++y)
        for (int x = Left(block); x < Left(block) + kWidth; ++x)
            for (int shift = 0; shift < 24; shift += 8)
                sum += std::abs(static_cast<int>(a.picture.At(x, y) >> shift & 0xFF) -
                                static_cast<int>(b.picture.At(x, y) >> shift & 0xFF));
    return sum;
}

// Body pixels that differ outside the given block and its label, or outside all of them (-1).
long DifferencesOutside(const Shot& a, const Shot& b, int except) {
    long count = 0;
    for (int y = kBodyTop; y < kBodyBottom; ++y)
        for (int x = 0; x < 800; ++x) {
            bool inside = false;
            for (int block = 0; block < kBlockCount; ++block)
                inside |= (except < 0 || block == except) && x >= Left(block) && x < Left(block) + kWidth &&
                          y >= Top(block) - kLabel && y < Top(block) + kHeight;
            count += !inside && a.picture.At(x, y) != b.picture.At(x, y);
        }
    return count;
}

TEST_F(PrimitivesPageTest, EachFilterChangesItsBlockAndNothingOutsideTheBlocks) {
    for (int depth : kDepths) {
        SCOPED_TRACE("depth " + std::to_string(depth));
        const Shot on = Run(depth, 12, kToPage);
        const Shot off = Run(depth, 12, kToPage + Press(5, 'F'));
        EXPECT_EQ(Text(on.state, "status"), "pen 1, polygon hatched on white, LRPB");
        EXPECT_EQ(Text(off.state, "status"), "pen 1, polygon hatched on white, LRPB, filters off");
        for (int block = 0; block < kBlockCount; ++block)
            EXPECT_GT(BlockDifferences(on, off, block), kPixels / 16) << kNames[block];
        // The mosaic's circle is centred in its block and keeps within it: round it the picture stays.
        const int centreX = Left(kCircleMosaic) + kWidth / 2, centreY = Top(kCircleMosaic) + kHeight / 2;
        long outsideCircle = 0, insideCircle = 0;
        for (int y = Top(kCircleMosaic); y < Top(kCircleMosaic) + kHeight; ++y)
            for (int x = Left(kCircleMosaic); x < Left(kCircleMosaic) + kWidth; ++x) {
                const int ex = x - centreX, ey = y - centreY;
                const bool changed = on.picture.At(x, y) != off.picture.At(x, y);
                (ex * ex + ey * ey >= kMosaicRadius * kMosaicRadius ? outsideCircle : insideCircle) +=
                    changed;
            }
        EXPECT_EQ(outsideCircle, 0);
        EXPECT_GT(insideCircle, kPixels / 16);
        // The shapes are the same to the pixel, and so is everything round the blocks and labels.
        EXPECT_EQ(RegionDifferences(on, off, 0, kBodyTop, kRightPart, kBodyBottom - kBodyTop), 0);
        EXPECT_EQ(DifferencesOutside(on, off, -1), 0);
        // Switched off, the blocks hold their plain pictures, which do not move.
        const Shot offLater = Run(depth, 20, kToPage + Press(5, 'F'));
        EXPECT_EQ(BodyDifferences(off, offLater), 0);
    }
}

TEST_F(PrimitivesPageTest, SmearsAndBlursBuildFrameByFrameAndStartAgainOnSAndEveryTwoSeconds) {
    for (int depth : kDepths) {
        SCOPED_TRACE("depth " + std::to_string(depth));
        const Shot frames[3] = {Run(depth, 12, kToPage), Run(depth, 13, kToPage), Run(depth, 14, kToPage)};
        for (int block = kSmear; block <= kBlurFade; ++block)
            for (int k = 0; k < 2; ++k)
                EXPECT_GT(BlockDifferences(frames[k], frames[k + 1], block), 100)
                    << kNames[block] << " " << k;

        // Four frames after S the blocks are as four frames after the page came up; the blurs to the
        // pixel, the smears (whose runs come from the noise table) close to it.
        constexpr int kAge = 4, kPress = 30;
        const Shot young = Run(depth, kFirstFrame + kAge, kToPage);
        const Shot old = Run(depth, kPress + kAge, kToPage);
        const Shot restarted = Run(depth, kPress + kAge, kToPage + Press(kPress, 'S'));
        const Shot restartedByItself = Run(depth, kFirstFrame + kRestartFrames + kAge, kToPage);
        for (int block = kSmear; block <= kBlurFade; ++block) {
            SCOPED_TRACE(kNames[block]);
            EXPECT_GT(BlockDifferences(young, old, block), kPixels / 2);
            const long grown = BlockDistance(young, old, block);
            for (const Shot* again : {&restarted, &restartedByItself}) {
                if (block == kBlur || block == kBlurFade)
                    EXPECT_EQ(BlockDifferences(young, *again, block), 0);
                else
                    EXPECT_LT(BlockDistance(young, *again, block), grown / 3);
            }
        }
        // S leaves the filters that start from the picture every frame alone.
        for (int block = kZoom2; block < kBlockCount; ++block)
            EXPECT_EQ(BlockDifferences(old, restarted, block), 0) << kNames[block];
    }
}

TEST_F(PrimitivesPageTest, ZTurnsTheZoomIntoItsLinePatternAndBack) {
    for (int depth : kDepths) {
        SCOPED_TRACE("depth " + std::to_string(depth));
        const Shot solid = Run(depth, 12, kToPage);
        const Shot lines = Run(depth, 12, kToPage + Press(5, 'Z'));
        const Shot back = Run(depth, 12, kToPage + Press(5, 'Z') + Press(8, 'Z'));
        EXPECT_EQ(Text(lines.state, "status"), "pen 1, polygon hatched on white, LRPB, zoom lines");
        EXPECT_GT(BlockDifferences(solid, lines, kZoom2), kPixels / 2);
        EXPECT_EQ(DifferencesOutside(solid, lines, kZoom2), 0);
        EXPECT_EQ(BodyDifferences(solid, back), 0);
        // Each picture pixel of the enlargement keeps the first pixel of its 2 x 2 square; the other
        // three show the black beneath.
        long wrong = 0;
        for (int dy = 0; dy < kHeight; ++dy)
            for (int dx = 0; dx < kWidth; ++dx) {
                const int x = Left(kZoom2) + dx, y = Top(kZoom2) + dy;
                const uint32_t expected = dx % 2 == 0 && dy % 2 == 0 ? solid.picture.At(x, y) : 0;
                wrong += (lines.picture.At(x, y) & 0xFFFFFF) != expected;
            }
        EXPECT_EQ(wrong, 0);
    }
}

// The filter blocks move every frame, so the shape keys are judged on the left part alone.
TEST_F(PrimitivesPageTest, EachShapeKeyStillChangesTheLeftPart) {
    for (int depth : kDepths) {
        SCOPED_TRACE("depth " + std::to_string(depth));
        const Shot base = Run(depth, 8, kToPage);
        for (int key : {int{'L'}, int{'R'}, int{'P'}, int{'B'}, int{'H'}, kVkUp}) {
            const Shot changed = Run(depth, 8, kToPage + Press(6, key));
            EXPECT_GT(RegionDifferences(base, changed, 0, kBodyTop, kRightPart, kBodyBottom - kBodyTop), 100)
                << "key " << key;
        }
    }
}

}  // namespace
