// Keyed and opaque copies: clipping on both sides, keys, copies within one surface, lost and
// inconsistent surfaces; every instruction-set level the processor has must give the same pixels.
#include <gtest/gtest.h>

#include <climits>
#include <tuple>

#include "gfx_test_util.h"
#include "platform/bmp.h"

namespace {

using namespace gfx_test;
using platform::BlitLevel;

class CopyTest : public ::testing::TestWithParam<std::tuple<PixelFormat, BlitLevel>> {
  protected:
    void SetUp() override {
        if (!platform::SetBlitLevel(std::get<1>(GetParam()))) GTEST_SKIP() << "processor lacks this level";
    }
    void TearDown() override { platform::SetBlitLevel(platform::BestBlitLevel()); }
    PixelFormat Format() const { return std::get<0>(GetParam()); }

    // Copies and compares with the model; the destination starts filled with a marker value.
    void Check(int dstW, int dstH, const Surface& src, int x, int y, const Rect& r, bool keyed) {
        Surface dst = platform::CreateSurface(dstW, dstH, Format());
        platform::FillSurface(dst, 0x7);
        const Surface expected = Model(dst, x, y, src, r, keyed);
        const int rc = keyed ? platform::BltKeyed(dst, x, y, src, r) : platform::BltOpaque(dst, x, y, src, r);
        EXPECT_EQ(rc, platform::BLIT_OK);
        EXPECT_EQ(Diff(dst, expected), "")
            << "at (" << x << "," << y << ") rect " << r.left << "," << r.top << "," << r.right << ","
            << r.bottom << (keyed ? " keyed" : " opaque");
    }
};

TEST_P(CopyTest, ClipsAtEveryDestinationEdge) {
    const Surface src = Numbered(40, 12, Format());
    const Rect all{0, 0, 40, 12};
    for (bool keyed : {false, true}) {
        // Half off the left edge: drawn from its visible column onward at x = 0.
        Check(64, 32, src, -15, 3, all, keyed);
        Check(64, 32, src, 30, -5, all, keyed);  // off the top
        Check(64, 32, src, 50, 4, all, keyed);   // off the right
        Check(64, 32, src, 3, 25, all, keyed);   // off the bottom
        Check(30, 8, src, -3, -2, all, keyed);   // larger than the destination on all sides
        Check(64, 32, src, 64, 0, all, keyed);   // entirely right of it: nothing
        Check(64, 32, src, -40, 0, all, keyed);  // ends exactly at the left edge: nothing
        Check(64, 32, src, INT_MIN, INT_MAX, all, keyed);
        Check(64, 32, src, INT_MAX - 5, 2, all, keyed);
    }
    Surface dst = platform::CreateSurface(64, 32, Format());
    ASSERT_EQ(platform::BltOpaque(dst, -15, 3, src, all), platform::BLIT_OK);
    EXPECT_EQ(platform::GetRawPixel(dst, 0, 3), platform::GetRawPixel(src, 15, 0));
    EXPECT_EQ(platform::GetRawPixel(dst, 24, 14), platform::GetRawPixel(src, 39, 11));
    EXPECT_EQ(platform::GetRawPixel(dst, 25, 3), 0u);
}

TEST_P(CopyTest, EmptyAndReversedRectanglesDrawNothing) {
    const Surface src = Numbered(16, 16, Format());
    for (const Rect& r : {Rect{4, 4, 4, 10}, Rect{4, 4, 10, 4}, Rect{10, 4, 4, 10}, Rect{4, 10, 10, 4},
                          Rect{INT_MAX, INT_MAX, INT_MIN, INT_MIN}}) {
        Surface dst = platform::CreateSurface(16, 16, Format());
        const Surface before = dst;
        EXPECT_EQ(platform::BltKeyed(dst, 0, 0, src, r), platform::BLIT_OK);
        EXPECT_EQ(platform::BltOpaque(dst, 0, 0, src, r), platform::BLIT_OK);
        EXPECT_EQ(dst.pixels, before.pixels);
    }
}

TEST_P(CopyTest, ClipsTheSourceRectangleAgainstThePicture) {
    // A sheet of 16 x 16 chips, 3 across and 2 down.
    const Surface sheet = Numbered(48, 32, Format());
    for (bool keyed : {false, true}) {
        Check(64, 64, sheet, 8, 8, Rect{48, 0, 64, 16}, keyed);         // chip 3: past the sheet's right
        Check(64, 64, sheet, 8, 8, Rect{0, 32, 16, 48}, keyed);         // chip 6: below the sheet
        Check(64, 64, sheet, 8, 8, Rect{40, 24, 56, 40}, keyed);        // straddles the corner
        Check(64, 64, sheet, 8, 8, Rect{-5, -3, 11, 13}, keyed);        // starts before the sheet
        Check(64, 64, sheet, -4, -4, Rect{-10, -10, 100, 100}, keyed);  // both sides at once
        Check(64, 64, sheet, 0, 0, Rect{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, keyed);
    }
    // A rectangle starting left of the picture shifts the visible part right.
    Surface dst = platform::CreateSurface(64, 64, Format());
    ASSERT_EQ(platform::BltOpaque(dst, 8, 8, sheet, Rect{-5, -3, 11, 13}), platform::BLIT_OK);
    EXPECT_EQ(platform::GetRawPixel(dst, 13, 11), platform::GetRawPixel(sheet, 0, 0));
    EXPECT_EQ(platform::GetRawPixel(dst, 12, 11), 0u);
}

TEST_P(CopyTest, LeavesOutKeyPixels) {
    // Rows of many widths, so that every vector length and row end of the inner loops is met.
    Surface src = platform::CreateSurface(131, 9, Format());
    const uint32_t keys[] = {0, platform::ColorToRaw(Format(), 0x00FF00FF),
                             platform::ColorToRaw(Format(), 0x00123456)};
    for (uint32_t key : keys) {
        uint32_t seed = 99;
        for (int y = 0; y < src.height; ++y)
            for (int x = 0; x < src.width; ++x) {
                seed = seed * 1103515245u + 12345u;
                // Runs of key and of colour of varying lengths.
                const bool isKey = ((seed >> 20) % 3) == 0 || (x / 7) % 2 == 0;
                platform::SetRawPixel(src, x, y, isKey ? key : platform::ColorToRaw(Format(), seed >> 8) ^ 1);
            }
        src.colorKey = key;
        for (int w = 1; w <= 131; w += (w < 40 ? 1 : 13)) Check(140, 12, src, 3, 1, Rect{0, 0, w, 9}, true);
    }
}

TEST_P(CopyTest, SpriteRowsOfEveryShortWidth) {
    // Short rows (up to 256 bytes keyed, 512 opaque) are copied as whole vectors, the last one
    // ending at the row's end; every width on both sides of those limits, with key margins, a
    // key-only row, an opaque-only row and a single opaque pixel at either end, must leave the
    // pixels around alone, keyed and opaque.
    constexpr int kW = 160, kH = 6;
    Surface src = platform::CreateSurface(kW, kH, Format());
    const uint32_t key = platform::ColorToRaw(Format(), 0x00FF00FF);
    src.colorKey = key;
    uint32_t seed = 7;
    for (int w = 1; w <= kW; ++w) {
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                seed = seed * 1103515245u + 12345u;
                const uint32_t colour = platform::ColorToRaw(Format(), seed >> 8) ^ 1;
                bool opaque = false;
                switch (y) {
                    case 0: opaque = false; break;                                      // all key
                    case 1: opaque = true; break;                                       // all opaque
                    case 2: opaque = x == 0 || x == w - 1; break;                       // ends only
                    case 3: opaque = x >= w / 4 && x < w - w / 4; break;                // key margins
                    case 4: opaque = (seed >> 20) % 2 == 0; break;                      // noise
                    default: opaque = x != 0 && x != w - 1 && (x / 3) % 2 == 0; break;  // short runs
                }
                platform::SetRawPixel(src, x, y, opaque ? colour : key);
            }
        for (bool keyed : {true, false}) {
            Check(kW + 8, kH + 2, src, 3, 1, Rect{0, 0, w, kH}, keyed);
            Check(kW + 8, kH + 2, src, 0, 0, Rect{0, 0, w, kH}, keyed);
        }
    }
}

TEST_P(CopyTest, RowsAtEveryDestinationAlignment) {
    // Long rows may be split where the destination crosses a 64-byte boundary; every offset of
    // the destination within such a block, for widths on both sides of the short-row limit, must
    // draw exactly the opaque pixels and leave the pixels around alone.
    constexpr int kW = 150, kH = 4;
    Surface src = platform::CreateSurface(kW, kH, Format());
    const uint32_t key = platform::ColorToRaw(Format(), 0x00FF00FF);
    src.colorKey = key;
    uint32_t seed = 11;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            seed = seed * 1103515245u + 12345u;
            const uint32_t colour = platform::ColorToRaw(Format(), seed >> 8) ^ 1;
            bool opaque = false;
            switch (y) {
                case 0: opaque = true; break;                              // all opaque
                case 1: opaque = (seed >> 20) % 2 == 0; break;             // noise
                case 2: opaque = (x / 5) % 3 != 0; break;                  // short runs
                default: opaque = x == 0 || x == kW - 1 || x == 70; break;  // lone pixels
            }
            platform::SetRawPixel(src, x, y, opaque ? colour : key);
        }
    for (int dx = 0; dx < 34; ++dx)
        for (int w : {15, 16, 17, 33, 63, 64, 65, 66, 79, 80, 81, 127, 128, 129, 150})
            for (bool keyed : {true, false})
                Check(kW + 40, kH + 2, src, dx, 1, Rect{kW - w, 0, kW, kH}, keyed);
}

TEST_P(CopyTest, KeyComparesOnlyColourBits) {
    Surface src = platform::CreateSurface(4, 1, Format());
    src.colorKey = 0;
    if (Format() == PixelFormat::XRGB8888) {
        // The unused top byte does not make a black pixel opaque.
        platform::SetRawPixel(src, 0, 0, 0xFF000000u);
        platform::SetRawPixel(src, 1, 0, 0x00000001u);
        src.colorKey = 0xAB000000u;  // nor does it in the key
    } else {
        platform::SetRawPixel(src, 1, 0, 0x0001u);
        src.colorKey = 0xFFFF0000u;  // bits above 16 are not part of a 16-bit key
    }
    Surface dst = platform::CreateSurface(4, 1, Format());
    platform::FillSurface(dst, 0x42);
    ASSERT_EQ(platform::BltKeyed(dst, 0, 0, src, Rect{0, 0, 4, 1}), platform::BLIT_OK);
    EXPECT_EQ(platform::GetRawPixel(dst, 0, 0), 0x42u);
    EXPECT_EQ(platform::GetRawPixel(dst, 1, 0), 1u);
    EXPECT_EQ(platform::GetRawPixel(dst, 2, 0), 0x42u);
}

TEST_P(CopyTest, CopiesWithinOneSurfaceReadThePictureAsItWas) {
    for (bool keyed : {false, true}) {
        for (auto [x, y] :
             {std::pair{3, 2}, std::pair{-3, -2}, std::pair{5, 0}, std::pair{0, -4}, std::pair{-1, 1}}) {
            Surface s = Numbered(37, 21, Format());
            s.colorKey = platform::GetRawPixel(s, 4, 4);
            const Rect r{2, 2, 30, 17};
            const Surface expected = Model(s, x + 2, y + 2, s, r, keyed);
            keyed ? platform::BltKeyed(s, x + 2, y + 2, s, r) : platform::BltOpaque(s, x + 2, y + 2, s, r);
            EXPECT_EQ(Diff(s, expected), "") << "shift " << x << "," << y << (keyed ? " keyed" : "");
        }
    }
}

TEST_P(CopyTest, LostOrMismatchedSurfacesDrawNothing) {
    Surface src = Numbered(8, 8, Format());
    Surface dst = platform::CreateSurface(8, 8, Format());
    const Rect r{0, 0, 8, 8};
    src.lost = true;
    EXPECT_EQ(platform::BltKeyed(dst, 0, 0, src, r), platform::SURFACE_LOST);
    EXPECT_EQ(platform::BltOpaque(dst, 0, 0, src, r), platform::SURFACE_LOST);
    EXPECT_EQ(platform::BltOpaque(dst, 0, 0, src, Rect{}), platform::SURFACE_LOST);  // also when empty
    src.lost = false;
    dst.lost = true;
    EXPECT_EQ(platform::BltOpaque(dst, 0, 0, src, r), platform::SURFACE_LOST);
    dst.lost = false;
    EXPECT_EQ(dst.pixels, platform::CreateSurface(8, 8, Format()).pixels);

    const PixelFormat other = Format() == PixelFormat::RGB565 ? PixelFormat::XRGB8888 : PixelFormat::RGB565;
    Surface foreign = Numbered(8, 8, other);
    EXPECT_EQ(platform::BltOpaque(dst, 0, 0, foreign, r), platform::BLIT_INVALID);
    // A surface whose store is smaller than its size says is refused, not read.
    Surface broken = Numbered(8, 8, Format());
    broken.pixels.resize(broken.pixels.size() - 1);
    EXPECT_EQ(platform::BltOpaque(dst, 0, 0, broken, r), platform::BLIT_INVALID);
    EXPECT_EQ(platform::BltOpaque(broken, 0, 0, src, r), platform::BLIT_INVALID);
    broken = Numbered(8, 8, Format());
    broken.pitch = 2;
    EXPECT_EQ(platform::BltKeyed(dst, 0, 0, broken, r), platform::BLIT_INVALID);
    EXPECT_EQ(dst.pixels, platform::CreateSurface(8, 8, Format()).pixels);
}

std::string ParamName(const ::testing::TestParamInfo<CopyTest::ParamType>& info) {
    return std::string(std::get<0>(info.param) == PixelFormat::RGB565 ? "rgb565_" : "xrgb8888_") +
           platform::BlitLevelName(std::get<1>(info.param));
}

INSTANTIATE_TEST_SUITE_P(AllLevels, CopyTest,
                         ::testing::Combine(::testing::Values(PixelFormat::RGB565, PixelFormat::XRGB8888),
                                            ::testing::Values(BlitLevel::Scalar, BlitLevel::SSE2,
                                                              BlitLevel::AVX2, BlitLevel::AVX512)),
                         ParamName);

TEST(ColourTest, BlackKeyAtBothDepthsAndNearBlackFolding) {
    // Near-black colours keep their identity at 32 bits but fold into the black key at 16 bits,
    // as they did on a 16-bit display.
    const uint32_t nearBlack[] = {0x00070307, 0x00000007, 0x00030000};
    for (uint32_t c : nearBlack) {
        EXPECT_EQ(platform::ColorToRaw(PixelFormat::RGB565, c), 0u) << std::hex << c;
        EXPECT_NE(platform::ColorToRaw(PixelFormat::XRGB8888, c), 0u) << std::hex << c;
    }
    EXPECT_NE(platform::ColorToRaw(PixelFormat::RGB565, 0x00000800), 0u);  // green keeps 6 bits

    for (PixelFormat f : {PixelFormat::RGB565, PixelFormat::XRGB8888}) {
        platform::Picture picture{3, 1, {0x000000, 0x070307, 0xFFFFFF}};  // 0x00RRGGBB
        Surface src = platform::SurfaceFromPicture(picture, f);
        src.colorKey = platform::MatchColor(src, 0x000000);
        Surface dst = platform::CreateSurface(3, 1, f);
        platform::FillSurface(dst, platform::ColorToRaw(f, 0x0000FF));
        ASSERT_EQ(platform::BltKeyed(dst, 0, 0, src, Rect{0, 0, 3, 1}), platform::BLIT_OK);
        EXPECT_EQ(platform::GetRawPixel(dst, 0, 0), platform::ColorToRaw(f, 0x0000FF));
        const bool folded = platform::GetRawPixel(dst, 1, 0) == platform::ColorToRaw(f, 0x0000FF);
        EXPECT_EQ(folded, f == PixelFormat::RGB565);
        EXPECT_EQ(platform::GetRawPixel(dst, 2, 0), platform::ColorToRaw(f, 0xFFFFFF));
    }
}

TEST(ColourTest, ConversionsBetweenColoursAndRawPixels) {
    EXPECT_EQ(platform::ColorToRaw(PixelFormat::RGB565, 0x00FFFFFF), 0xFFFFu);
    EXPECT_EQ(platform::ColorToRaw(PixelFormat::RGB565, 0x000000FF), 0xF800u);  // 0x00BBGGRR: pure red
    EXPECT_EQ(platform::ColorToRaw(PixelFormat::RGB565, 0x0000FF00), 0x07E0u);
    EXPECT_EQ(platform::ColorToRaw(PixelFormat::RGB565, 0x00FF0000), 0x001Fu);
    EXPECT_EQ(platform::ColorToRaw(PixelFormat::XRGB8888, 0x00332211), 0x00112233u);
    EXPECT_EQ(platform::RawToColor(PixelFormat::RGB565, 0xFFFF), 0x00F8FCF8u);
    EXPECT_EQ(platform::RawToColor(PixelFormat::XRGB8888, 0xFF112233u), 0x00332211u);
    EXPECT_EQ(platform::RgbToRaw(PixelFormat::RGB565, 0x00FF0000), 0xF800u);
    for (uint32_t raw = 0; raw < 65536; ++raw)
        ASSERT_EQ(platform::ColorToRaw(PixelFormat::RGB565, platform::RawToColor(PixelFormat::RGB565, raw)),
                  raw);

    Surface s = platform::CreateSurface(2, 2, PixelFormat::RGB565);
    platform::SetRawPixel(s, 0, 0, 0x1234);
    EXPECT_EQ(platform::MatchColor(s, 0xFFFFFFFFu), 0x1234u);  // -1: the top-left pixel's value
    EXPECT_EQ(platform::MatchColor(s, 0x000000FF), 0xF800u);
    EXPECT_EQ(platform::MatchColor(Surface{}, 0xFFFFFFFFu), 0u);
}

TEST(SurfaceTest, CreationLockAndPixelAccess) {
    Surface s = platform::CreateSurface(5, 3, PixelFormat::RGB565);
    EXPECT_EQ(s.width, 5);
    EXPECT_EQ(s.pitch, 12);  // 10 bytes padded to a multiple of 4
    EXPECT_EQ(s.pixels.size(), 36u);
    EXPECT_TRUE(platform::IsSurfaceValid(s));
    EXPECT_EQ(platform::CreateSurface(3, 1, PixelFormat::XRGB8888).pitch, 12);
    for (auto [w, h] : {std::pair{0, 5}, std::pair{5, -1}, std::pair{platform::kMaxSurfaceSide + 1, 1}}) {
        Surface empty = platform::CreateSurface(w, h, PixelFormat::RGB565);
        EXPECT_EQ(empty.width, 0);
        EXPECT_EQ(empty.height, 0);
        EXPECT_TRUE(empty.pixels.empty());
    }

    platform::LockedPixels locked;
    ASSERT_EQ(platform::Lock(s, locked), platform::BLIT_OK);
    EXPECT_EQ(locked.bits, s.pixels.data());
    EXPECT_EQ(locked.pitch, 12);
    locked.bits[12 * 2 + 2 * 4] = 0x34;  // pixel (4, 2), low byte
    platform::Unlock(s);
    EXPECT_EQ(platform::GetRawPixel(s, 4, 2), 0x34u);
    EXPECT_EQ(platform::GetRawPixel(s, 5, 2), 0u);  // outside: 0, nothing read
    platform::SetRawPixel(s, -1, 0, 0xFFFF);        // outside: nothing written
    int nonZero = 0;
    for (uint8_t b : s.pixels) nonZero += b != 0;
    EXPECT_EQ(nonZero, 1);
    s.lost = true;
    EXPECT_EQ(platform::Lock(s, locked), platform::SURFACE_LOST);
    EXPECT_EQ(locked.bits, nullptr);
}

}  // namespace
