// The line effects built from one-row copies: the drum, the waves, the wave band, the mosaic and the
// scrolling tiles, each over several calls so that their phases and offsets move on.
#include <cmath>
#include <functional>
#include <optional>
#include <utility>

#include "tests/engine_draw/draw_fixture.h"

namespace {

using Texel = std::optional<std::pair<int, int>>;  // a pixel (column, row) of the picture, or none

class LineEffectTest : public DrawTest {
  protected:
    void SetUp() override {
        DrawTest::SetUp();
        LineEffects = LineEffectState{};
        Pacing.FrameStep = 0.5f;
        // Column and row can be told apart at both depths; nothing is black, so nothing is keyed out.
        WritePicture("BMP/rows.bmp", 20, 48, Colour);
        WritePicture("BMP/tile.bmp", 31, 30, Colour);
        picture = elDraw::LoadObject("BMP\\rows.bmp", 2);
        tile = elDraw::LoadObject("BMP\\tile.bmp", 2);
        ASSERT_NE(picture, 0);
        ASSERT_NE(tile, 0);
    }
    static uint32_t Colour(int x, int y) {
        return static_cast<uint32_t>((x + 1) * 8) << 16 | static_cast<uint32_t>((y + 1) * 5) << 8;
    }
    // Compares the back buffer over a region with what each pixel should show; reports the first few.
    void ExpectRegion(int left, int top, int right, int bottom, int step,
                      const std::function<Texel(int, int)>& shows) {
        int wrong = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; x += step) {
                Texel texel = shows(x, y);
                uint32_t expected = texel ? Raw(Colour(texel->first, texel->second)) : 0u;
                if (BackPixel(x, y) != expected && ++wrong <= 3)
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ")";
            }
        EXPECT_EQ(wrong, 0);
    }
    // The horizontal offset of a wave row: trunc(A cos(angle)) with the angle in degrees.
    static int WaveShift(int amplitude, int period, int row, float phase) {
        const int angle =
            period != 0 ? row / period + static_cast<int>(phase) : static_cast<int>(phase) + row;
        return static_cast<int>(amplitude * std::cos(angle * M_PI / 180.0));
    }
    static float Degrees(float phase) { return phase >= 360.0f ? phase - 360.0f : phase; }
    ObjectNo picture = 0, tile = 0;
};

TEST_P(LineEffectTest, DrumRowsStartBelowThePreviousRowsEndAtEveryPhase) {
    constexpr int H = 48, X = 100, Y = 50;
    float phase = 0.0f;
    for (int call = 0; call < 2 * H; ++call) {
        SCOPED_TRACE(testing::Message() << "phase " << phase);
        int end[H];
        for (int k = 0; k < H; ++k)
            end[k] = static_cast<int>(H / 2 + H / 2 * std::cos((phase + k) * 2.0 * M_PI / (H - 1)));
        ClearScreen();
        DrumRows(X, Y, 1, 1.0f, picture, 0, 0, 20, H);
        // Destination row d shows the last source row k whose span, from the previous row's end + 1
        // to its own end, holds d.
        ExpectRegion(X - 2, Y - 2, X + 22, Y + H + 3, 1, [&](int x, int y) -> Texel {
            if (x < X || x >= X + 20) return std::nullopt;
            const int d = y - Y;
            for (int k = H - 1; k >= 0; --k)
                if (d >= (k == 0 ? 0 : end[k - 1] + 1) && d <= end[k]) return std::make_pair(x - X, k);
            return std::nullopt;
        });
        phase += 0.5f;
        if (phase >= H) phase -= H;
        ASSERT_EQ(LineEffects.drumPhase, phase);
    }
    DrumRows(X, Y, 0, 1.0f, picture, 0, 0, 20, H);  // backwards from 0 wraps to the bottom
    EXPECT_EQ(LineEffects.drumPhase, H - 0.5f);
}

TEST_P(LineEffectTest, InterlacedWaveRowsAlternateTheirOffsetAcrossCalls) {
    constexpr int X = 200, Y = 100, A = 10, P = 3, top = 5, bottom = 36;  // 31 rows: the sign carries over
    float phase = 0.0f;
    int sign = 1;
    for (int call = 0; call < 24; ++call) {
        SCOPED_TRACE(testing::Message() << "call " << call);
        ClearScreen();
        WaveRows(X, Y, A, P, 37.0f, picture, 0, top, 20, bottom, 1);
        ExpectRegion(X - A - 2, Y - 1, X + 20 + A + 2, Y + bottom - top + 1, 1, [&](int x, int y) -> Texel {
            const int r = y - Y + top;
            if (r < top || r >= bottom) return std::nullopt;
            const int rowSign = (r - top) % 2 == 0 ? sign : -sign;
            const int column = x - X - WaveShift(A, P, r, phase) * rowSign;
            if (column < 0 || column >= 20) return std::nullopt;
            return std::make_pair(column, r);
        });
        sign = -sign;  // an odd number of rows flipped it
        phase = Degrees(phase + 0.5f * 37.0f);
    }
    ClearScreen();
    WaveRows(X, Y, A, P, 37.0f, picture, 0, top, 20, bottom,
             0);  // without interlace every row keeps its sign
    ExpectRegion(X - A - 2, Y, X + 20 + A + 2, Y + bottom - top, 1, [&](int x, int y) -> Texel {
        const int r = y - Y + top, column = x - X - WaveShift(A, P, r, phase);
        if (column < 0 || column >= 20) return std::nullopt;
        return std::make_pair(column, r);
    });
}

TEST_P(LineEffectTest, WaveScrollRowsScrollTheirSourceRowsAndWrapByTheHeight) {
    constexpr int X = 300, Y = 60, A = 6, top = 4, bottom = 34, height = bottom - top;
    float phase = 0.0f, scroll = 0.0f;
    for (int call = 0; call < 12; ++call) {
        SCOPED_TRACE(testing::Message() << "call " << call);
        ClearScreen();
        WaveScrollRows(X, Y, A, 0, 50.0f, 13.0f, picture, 0, top, 20, bottom);
        // Row r lands on y + r, not y + r - top.
        ExpectRegion(X - A - 2, Y + top - 1, X + 20 + A + 2, Y + bottom + 1, 1, [&](int x, int y) -> Texel {
            const int r = y - Y;
            if (r < top || r >= bottom) return std::nullopt;
            int source = r + static_cast<int>(scroll);
            if (source >= bottom) source -= height;
            const int column = x - X - WaveShift(A, 0, r, phase);
            if (column < 0 || column >= 20) return std::nullopt;
            return std::make_pair(column, source);
        });
        phase = Degrees(phase + 0.5f * 50.0f);
        scroll -= 0.5f * 13.0f;
        if (scroll < 0.0f) scroll += height;
    }
}

TEST_P(LineEffectTest, AWaveBandTilesItsRowsAcrossTheWholeScreen) {
    constexpr int bandTop = 200, bandBottom = 237, A = 5, P = 4, top = 3, bottom = 13, height = bottom - top;
    float phase = 0.0f, scroll = 0.0f;
    for (int call = 0; call < 8; ++call) {
        SCOPED_TRACE(testing::Message() << "call " << call);
        ClearScreen();
        WaveBand(bandTop, bandBottom, A, P, 30.0f, -9.0f, picture, 0, top, 20, bottom);
        ExpectRegion(0, bandTop - 1, 800, bandBottom + 1, 1, [&](int x, int y) -> Texel {
            const int k = y - bandTop;
            if (k < 0 || y >= bandBottom) return std::nullopt;
            const int source = top + (k % height + static_cast<int>(scroll)) % height;
            const int start = WaveShift(A, P, k, phase) - A;  // copy n starts at 20 n + start
            return std::make_pair(((x - start) % 20 + 20) % 20, source);
        });
        phase = Degrees(phase + 0.5f * 30.0f);
        scroll += 0.5f * 9.0f;
        if (scroll >= height) scroll -= height;
    }
}

TEST_P(LineEffectTest, MosaicRowsRepeatTheFirstRowOfEachBlockEvenPastTheBottom) {
    constexpr int X = 50, Y = 300, top = 2, bottom = 12;
    for (int block : {1, 3, 4}) {
        SCOPED_TRACE(testing::Message() << "block " << block);
        ClearScreen();
        MosaicRows(X, Y, block, picture, 0, top, 20, bottom);
        const int blocks = (bottom - top + block - 1) / block;
        ExpectRegion(X - 1, Y - 1, X + 21, Y + 14, 1, [&](int x, int y) -> Texel {
            const int j = y - Y;
            if (x < X || x >= X + 20 || j < 0 || j >= blocks * block) return std::nullopt;
            return std::make_pair(x - X, top + j / block * block);
        });
    }
}

TEST_P(LineEffectTest, ScrollingTilesCoverTheScreenAndTheirOffsetsWrapByATile) {
    constexpr int left = 1, top = 1, w = 30, h = 20;
    float offsetX = 0.0f, offsetY = 0.0f;
    for (int call = 0; call < 8; ++call) {
        SCOPED_TRACE(testing::Message() << "offsets " << offsetX << ", " << offsetY);
        ClearScreen();
        TileScroll(-37.0f, 23.0f, tile, left, top, left + w, top + h);
        const int ox = static_cast<int>(offsetX), oy = static_cast<int>(offsetY);
        for (int row = 0; row < 600; row += 3)
            ExpectRegion(0, row, 800, row + 1, 3, [&](int x, int y) -> Texel {
                return std::make_pair(left + ((x - ox) % w + w) % w, top + ((y - oy) % h + h) % h);
            });
        offsetX += 0.5f * -37.0f;
        offsetY += 0.5f * 23.0f;
        if (offsetX < -w) offsetX += w;
        if (offsetX > 0) offsetX -= w;
        if (offsetY < -h) offsetY += h;
        if (offsetY > 0) offsetY -= h;
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, LineEffectTest, ::testing::Values(16, 32));

}  // namespace
