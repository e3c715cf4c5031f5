// Screen transitions step by step: the strip fades, every step of each clip wipe, the inversion,
// and a viewer reloaded after its background failed.
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <ostream>
#include <utility>
#include <vector>

#include "tests/engine_draw/draw_fixture.h"

namespace {

constexpr int W = 800, H = 600;
constexpr uint32_t kBackground = 0x0000FF;

class TransitionTest : public DrawTest {
  protected:
    // A picture whose colour tells the column modulo 31 and the row modulo 61; it has no blue.
    static uint32_t Pattern(int x, int y) {
        return (static_cast<uint32_t>(x % 31) * 8) << 16 | (static_cast<uint32_t>(y % 61) * 4) << 8;
    }
    void FillScreenSprite() {
        platform::Surface& screen = *ObjectSurface(kScreenSprite);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) platform::SetRawPixel(screen, x, y, Raw(Pattern(x, y)));
    }
};

using Source = std::optional<std::pair<int, int>>;

// Where a pixel of a strip-fade step comes from: a pixel (sx, sy) of the Screen sprite, or nothing
// (the back buffer keeps its own). shifts holds the random shifts of the torn patterns: per copied
// row for type 3, per block (indexed by its first row) for type 4.
Source FadeSource(int type, int k, int N, const std::vector<int>& shifts, int x, int y) {
    auto inside = [](int sx, int sy, int top, int bottom) -> Source {
        if (sx < 0 || sx >= W || sy < top || sy >= bottom) return std::nullopt;
        return std::make_pair(sx, sy);
    };
    const int slide = N - k + 1;
    switch (type) {
        case 1:
            return y % k != 0 ? inside(x, y, 0, H) : std::nullopt;
        case 2:
            return y % N <= k ? inside(x, y, 0, H) : std::nullopt;
        case 3:
            return y % k != 0 ? inside(x - shifts[y], y, 0, H) : std::nullopt;
        case 4: {
            // Blocks overlap once k reaches N; a later block hides an earlier one where it reaches.
            for (int first = y / N * N; first >= 0 && y - first <= k; first -= N)
                if (Source from = inside(x - shifts[first], y, 0, H)) return from;
            return std::nullopt;
        }
        case 5:
            return inside(x, y - (-H / N) * slide, 0, H);
        case 6:
            return inside(x, y - (H / N) * slide, 0, H);
        case 7:
            return inside(x - (-W / N) * slide, y, 0, H);
        case 8:
            return inside(x - (W / N) * slide, y, 0, H);
        case 9: {
            // The bottom half is drawn after the top half.
            if (Source bottom = inside(x, y - (H / 2 + ((H / 2) / N) * slide) + H / 2, H / 2, H))
                return bottom;
            return inside(x, y - (-(H / 2) / N) * slide, 0, H / 2);
        }
        case 10: {
            const int rightX = x - (W / 2 + ((W / 2) / N) * slide) + W / 2;
            if (rightX >= W / 2 && rightX < W) return std::make_pair(rightX, y);
            const int leftX = x - (-(W / 2) / N) * slide;
            if (leftX >= 0 && leftX < W / 2) return std::make_pair(leftX, y);
            return std::nullopt;
        }
        case 11:
            return x < (W / N) * k ? inside(x, y, 0, H) : std::nullopt;
        case 12:
            return x >= (W / N) * slide ? inside(x, y, 0, H) : std::nullopt;
        default:
            return std::nullopt;
    }
}

TEST_P(TransitionTest, EveryStripFadeDrawsEachOfItsTenStepsByItsRule) {
    FillScreenSprite();
    const int N = 7;  // steps 9 and 10 lie past the strips, step 8 has an empty tear range
    for (int type = 1; type <= 12; ++type) {
        for (int k = 1; k <= 10; ++k) {
            SCOPED_TRACE(testing::Message() << "type " << type << " step " << k);
            const unsigned seed = 100u * type + k;
            // The torn patterns draw rand() % (2N - 2k + 2) + k - N - 1 per row or block, except
            // where that range is empty; the remainder keeps the sign of the random number.
            std::srand(seed);
            std::vector<int> shifts(H, 0);
            const int range = 2 * N - 2 * k + 2;
            auto draw = [&] { return range == 0 ? 0 : std::rand() % range + k - N - 1; };
            if (type == 3)
                for (int y = 0; y < H; ++y)
                    if (y % k != 0) shifts[y] = draw();
            if (type == 4)
                for (int y = 0; y < H; y += N) shifts[y] = draw();
            const int nextRandom = std::rand();

            platform::FillSurface(*Display.backBuffer, Raw(kBackground));
            Transition.fadeType = type;
            Transition.fadeStrips = N;
            Transition.fadeStep = k;
            Transition.fadeDirection = 1;
            std::srand(seed);
            Refresh();
            ASSERT_EQ(std::rand(), nextRandom) << "random numbers drawn";
            EXPECT_EQ(Transition.fadeStep, k == 10 ? 0 : k + 1);

            int wrong = 0;
            for (int y = 0; y < H; ++y)
                for (int x = 0; x < W; x += x == 792 ? 7 : 9) {
                    Source from = FadeSource(type, k, N, shifts, x, y);
                    uint32_t expected = from ? Raw(Pattern(from->first, from->second)) : Raw(kBackground);
                    if (BackPixel(x, y) != expected && ++wrong <= 3)
                        ADD_FAILURE() << "pixel (" << x << ", " << y << ")";
                }
            EXPECT_EQ(wrong, 0);
        }
    }
}

struct ClipBox {
    int left, top, right, bottom;
    bool operator==(const ClipBox&) const = default;
};
std::ostream& operator<<(std::ostream& out, const ClipBox& b) {
    return out << "(" << b.left << ", " << b.top << ", " << b.right << ", " << b.bottom << ")";
}

// Saved rectangle, step and band of the wipes below: centre (400, 300), band half 20.
constexpr ClipBox S{41, 30, 760, 571};
constexpr int kStep = 11;  // trunc(0.5 s * 20 px/s) + 1
constexpr int CX = 400, CY = 300, HALF = 20;

// The number of steps an edge needs to cover a distance.
constexpr int Reach(int distance) {
    return (distance + kStep - 1) / kStep;
}
// An edge moved by a step per call for at most `steps` calls.
constexpr int Moved(int from, int direction, int i, int steps) {
    return from + direction * kStep * (i < steps ? i : steps);
}

// The clip rectangle after step i of an opening wipe, and the number of steps it takes. The
// step that completes it puts the saved rectangle back.
std::pair<ClipBox, int> Opening(int type, int i) {
    const int up = Reach(CY - S.top), down = Reach(S.bottom - CY);  // out from the centre row
    const int leftOut = Reach(CX - S.left), rightOut = Reach(S.right - CX);
    const int vertical = std::min(up, down), horizontal = std::min(leftOut, rightOut);
    auto fromCentreRow = [&](int j) {
        return j >= vertical ? std::make_pair(S.top, S.bottom)
                             : std::make_pair(CY - kStep * j, CY + kStep * j);
    };
    auto fromCentreColumn = [&](int j) {
        return j >= horizontal ? std::make_pair(S.left, S.right)
                               : std::make_pair(CX - kStep * j, CX + kStep * j);
    };
    switch (type) {
        case 1:
            return {{S.left, S.bottom - kStep * i, S.right, S.bottom}, Reach(S.bottom - S.top)};
        case 2:
            return {{S.left, S.top, S.right, S.top + kStep * i}, Reach(S.bottom - S.top)};
        case 3:
            return {{S.right - kStep * i, S.top, S.right, S.bottom}, Reach(S.right - S.left)};
        case 4:
            return {{S.left, S.top, S.left + kStep * i, S.bottom}, Reach(S.right - S.left)};
        case 5: {
            auto [t, b] = fromCentreRow(i);
            return {{S.left, t, S.right, b}, vertical};
        }
        case 6: {
            auto [l, r] = fromCentreColumn(i);
            return {{l, S.top, r, S.bottom}, horizontal};
        }
        case 7: {
            auto [t, b] = fromCentreRow(i);
            auto [l, r] = fromCentreColumn(i);
            return {{l, t, r, b}, std::max(vertical, horizontal)};
        }
        case 8: {
            // Top and bottom out first, then left and right out from the band.
            auto [t, b] = fromCentreRow(i);
            const int j = i - vertical,
                      wide = std::min(Reach(CX - HALF - S.left), Reach(S.right - CX - HALF));
            if (j <= 0) return {{CX - HALF, t, CX + HALF, b}, vertical + wide};
            if (j >= wide) return {S, vertical + wide};
            return {{CX - HALF - kStep * j, S.top, CX + HALF + kStep * j, S.bottom}, vertical + wide};
        }
        case 9: {
            auto [l, r] = fromCentreColumn(i);
            const int j = i - horizontal,
                      tall = std::min(Reach(CY - HALF - S.top), Reach(S.bottom - CY - HALF));
            if (j <= 0) return {{l, CY - HALF, r, CY + HALF}, horizontal + tall};
            if (j >= tall) return {S, horizontal + tall};
            return {{S.left, CY - HALF - kStep * j, S.right, CY + HALF + kStep * j}, horizontal + tall};
        }
        default:
            return {S, 0};
    }
}

// The clip rectangle after step i of a closing wipe, and its number of steps. Edges stay where
// their last step left them; only the four-edge wipe puts a pair that meets on the centre.
std::pair<ClipBox, int> Closing(int type, int i) {
    const int rowsMeet = Reach((S.bottom - S.top + 1) / 2), columnsMeet = Reach((S.right - S.left + 1) / 2);
    switch (type) {
        case 1:
            return {{S.left, S.top + kStep * i, S.right, S.bottom}, Reach(S.bottom - S.top)};
        case 2:
            return {{S.left, S.top, S.right, S.bottom - kStep * i}, Reach(S.bottom - S.top)};
        case 3:
            return {{S.left + kStep * i, S.top, S.right, S.bottom}, Reach(S.right - S.left)};
        case 4:
            return {{S.left, S.top, S.right - kStep * i, S.bottom}, Reach(S.right - S.left)};
        case 5:
            return {{S.left, S.top + kStep * i, S.right, S.bottom - kStep * i}, rowsMeet};
        case 6:
            return {{S.left + kStep * i, S.top, S.right - kStep * i, S.bottom}, columnsMeet};
        case 7: {
            ClipBox b{S.left + kStep * i, S.top + kStep * i, S.right - kStep * i, S.bottom - kStep * i};
            if (i >= rowsMeet) b.top = b.bottom = CY;
            if (i >= columnsMeet) b.left = b.right = CX;
            return {b, std::max(rowsMeet, columnsMeet)};
        }
        case 8: {
            // Left and right in until each has reached its side of the band, then top and bottom.
            const int l = Reach(CX - HALF - S.left), r = Reach(S.right - (CX + HALF)), band = std::max(l, r);
            const int j = i > band ? i - band : 0;
            return {
                {Moved(S.left, 1, i, l), S.top + kStep * j, Moved(S.right, -1, i, r), S.bottom - kStep * j},
                band + rowsMeet};
        }
        case 9: {
            const int t = Reach(CY - HALF - S.top), b = Reach(S.bottom - (CY + HALF)), band = std::max(t, b);
            const int j = i > band ? i - band : 0;
            return {
                {S.left + kStep * j, Moved(S.top, 1, i, t), S.right - kStep * j, Moved(S.bottom, -1, i, b)},
                band + columnsMeet};
        }
        default:
            return {S, 0};
    }
}

TEST_P(TransitionTest, EveryStepOfEachClipWipeMovesTheEdgesByItsRule) {
    Pacing.FrameStep = 0.5f;
    for (int hide = 0; hide <= 1; ++hide) {
        for (int type = 1; type <= 9; ++type) {
            SCOPED_TRACE(testing::Message() << (hide ? "closing" : "opening") << " type " << type);
            Wipe = ClipWipeState{};
            SetClipRect(S.left, S.top, S.right, S.bottom);
            ASSERT_EQ(StartClipWipe(hide, type, 20.0f, 2 * HALF), 1);
            const ClipBox start = hide ? S : Opening(type, 0).first;
            EXPECT_EQ((ClipBox{ClipRect.left, ClipRect.top, ClipRect.right, ClipRect.bottom}), start);
            const int steps = hide ? Closing(type, 0).second : Opening(type, 0).second;
            ASSERT_GT(steps, 1);
            for (int i = 1; i <= steps; ++i) {
                ASSERT_EQ(StepClipWipe(), 1) << "step " << i;
                const bool last = i == steps;
                const ClipBox expected = hide ? Closing(type, i).first : last ? S : Opening(type, i).first;
                ASSERT_EQ((ClipBox{ClipRect.left, ClipRect.top, ClipRect.right, ClipRect.bottom}), expected)
                    << "step " << i;
                ASSERT_EQ(Wipe.wipeState, last ? (hide ? -1 : 0) : (hide ? 2 : 1)) << "step " << i;
                EXPECT_EQ(hide ? Wipe.wipeClosed : Wipe.wipeOpened, last ? 1 : 0);
            }
            EXPECT_EQ(StepClipWipe(), 0);
        }
    }
}

TEST_P(TransitionTest, InvertAreaFlipsEveryBitOfTheColourInsideTheBackBufferOnly) {
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) platform::SetRawPixel(*Display.backBuffer, x, y, Raw(Pattern(x, y)));
    InvertArea(-10, 580, 25, 700);  // reaches past the left and bottom edges
    InvertArea(100, 100, 140, 110);
    InvertArea(100, 105, 120, 120);  // overlaps the last one: inverted twice there
    InvertArea(300, 300, 290, 310);  // reversed: nothing
    for (int y = 90; y < H; ++y)
        for (int x = 0; x < 320; ++x) {
            const int flips = (x < 25 && y >= 580) + (x >= 100 && x < 140 && y >= 100 && y < 110) +
                              (x >= 100 && x < 120 && y >= 105 && y < 120);
            const uint32_t original = Raw(Pattern(x, y));
            const uint32_t expected = flips % 2 ? ~original & Display.format.fullMask : original;
            ASSERT_EQ(BackPixel(x, y), expected) << "(" << x << ", " << y << ")";
        }
}

TEST_P(TransitionTest, AViewerReloadedAfterItsBackgroundFailedLeavesTheInternalSpritesAlone) {
    WritePicture("BMP/long.bmp", 64, 900, [](int, int y) { return static_cast<uint32_t>(y % 200 + 10); });
    LoadViewer("BMP\\long.bmp", "BMP\\nothing.bmp", 900);
    ASSERT_NE(Viewer.viewerPicture, 0);
    ASSERT_EQ(Viewer.viewerBackground, 0);
    const platform::Surface* buffer = ObjectSurface(kBufferSprite);

    WritePicture("BMP/back.bmp", 64, 48, [](int, int) { return 0xFF0000u; });
    LoadViewer("BMP\\long.bmp", "BMP\\back.bmp", 900);
    EXPECT_STREQ(ObjectTable.records[kBufferSprite].name, "内部用１");
    EXPECT_EQ(ObjectSurface(kBufferSprite), buffer);
    EXPECT_EQ(buffer->width, W);
    ASSERT_GE(Viewer.viewerBackground, 4);
    EXPECT_STREQ(ObjectTable.records[Viewer.viewerBackground].name, "BMP\\back.bmp");
}

INSTANTIATE_TEST_SUITE_P(Depths, TransitionTest, ::testing::Values(16, 32));

}  // namespace
