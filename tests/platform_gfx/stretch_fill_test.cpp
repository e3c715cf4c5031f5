// Stretched copies (nearest neighbour, keyed and opaque, clipped on both sides), colour fills
// and turning pictures into surfaces.
#include <gtest/gtest.h>

#include <climits>

#include "gfx_test_util.h"
#include "platform/bmp.h"

namespace {

using namespace gfx_test;

class StretchFillTest : public ::testing::TestWithParam<PixelFormat> {};

TEST_P(StretchFillTest, StretchDoublesAndHalves) {
    const PixelFormat f = GetParam();
    const Surface src = Numbered(4, 2, f);
    Surface dst = platform::CreateSurface(8, 4, f);
    ASSERT_EQ(platform::StretchBltOpaque(dst, Rect{0, 0, 8, 4}, src, Rect{0, 0, 4, 2}), platform::BLIT_OK);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            ASSERT_EQ(platform::GetRawPixel(dst, x, y), platform::GetRawPixel(src, x / 2, y / 2))
                << x << "," << y;

    // Halving takes the source pixel under each destination pixel's centre: columns 1 and 3.
    Surface half = platform::CreateSurface(2, 1, f);
    ASSERT_EQ(platform::StretchBltOpaque(half, Rect{0, 0, 2, 1}, src, Rect{0, 0, 4, 2}), platform::BLIT_OK);
    EXPECT_EQ(platform::GetRawPixel(half, 0, 0), platform::GetRawPixel(src, 1, 1));
    EXPECT_EQ(platform::GetRawPixel(half, 1, 0), platform::GetRawPixel(src, 3, 1));
}

TEST_P(StretchFillTest, KeyedStretchLeavesKeyPixels) {
    const PixelFormat f = GetParam();
    Surface src = Numbered(2, 2, f);
    src.colorKey = platform::GetRawPixel(src, 1, 0);
    Surface dst = platform::CreateSurface(6, 6, f);
    platform::FillSurface(dst, 0x5);
    ASSERT_EQ(platform::StretchBltKeyed(dst, Rect{0, 0, 6, 6}, src, Rect{0, 0, 2, 2}), platform::BLIT_OK);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) {
            const uint32_t s = platform::GetRawPixel(src, x / 3, y / 3);
            ASSERT_EQ(platform::GetRawPixel(dst, x, y), s == src.colorKey ? 0x5u : s) << x << "," << y;
        }
}

TEST_P(StretchFillTest, StretchClipsBothSurfaces) {
    const PixelFormat f = GetParam();
    const Surface src = Numbered(4, 4, f);
    // Destination rectangle hanging over the top-left corner: the mapping stays that of the whole
    // rectangle, only the part on the surface is drawn.
    Surface dst = platform::CreateSurface(8, 8, f);
    ASSERT_EQ(platform::StretchBltOpaque(dst, Rect{-4, -4, 4, 4}, src, Rect{0, 0, 4, 4}), platform::BLIT_OK);
    EXPECT_EQ(platform::GetRawPixel(dst, 0, 0), platform::GetRawPixel(src, 2, 2));
    EXPECT_EQ(platform::GetRawPixel(dst, 3, 3), platform::GetRawPixel(src, 3, 3));
    EXPECT_EQ(platform::GetRawPixel(dst, 4, 4), 0u);

    // Source rectangle reaching past the picture: the destination pixels it would feed stay as they were.
    Surface dst2 = platform::CreateSurface(8, 2, f);
    ASSERT_EQ(platform::StretchBltOpaque(dst2, Rect{0, 0, 8, 2}, src, Rect{2, 0, 6, 1}), platform::BLIT_OK);
    EXPECT_EQ(platform::GetRawPixel(dst2, 0, 0), platform::GetRawPixel(src, 2, 0));
    EXPECT_EQ(platform::GetRawPixel(dst2, 3, 1), platform::GetRawPixel(src, 3, 0));
    EXPECT_EQ(platform::GetRawPixel(dst2, 4, 0), 0u);
    EXPECT_EQ(platform::GetRawPixel(dst2, 7, 1), 0u);

    // Extreme and reversed rectangles neither crash nor draw outside.
    for (const Rect& d : {Rect{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, Rect{4, 4, 0, 0}, Rect{0, 0, 8, 8}})
        for (const Rect& s :
             {Rect{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, Rect{3, 0, 1, 4}, Rect{100, 100, 200, 200}}) {
            Surface dst3 = platform::CreateSurface(8, 8, f);
            EXPECT_EQ(platform::StretchBltKeyed(dst3, d, src, s), platform::BLIT_OK);
            EXPECT_EQ(platform::StretchBltOpaque(dst3, d, src, s), platform::BLIT_OK);
        }
    // Equal huge rectangles map each pixel onto itself; a source rectangle off the picture draws nothing.
    Surface same = platform::CreateSurface(8, 8, f);
    const Rect huge{INT_MIN, INT_MIN, INT_MAX, INT_MAX};
    ASSERT_EQ(platform::StretchBltOpaque(same, huge, src, huge), platform::BLIT_OK);
    EXPECT_EQ(platform::GetRawPixel(same, 3, 2), platform::GetRawPixel(src, 3, 2));
    EXPECT_EQ(platform::GetRawPixel(same, 4, 2), 0u);
    Surface none = platform::CreateSurface(8, 8, f);
    ASSERT_EQ(platform::StretchBltOpaque(none, Rect{0, 0, 8, 8}, src, Rect{100, 100, 200, 200}),
              platform::BLIT_OK);
    EXPECT_EQ(Diff(none, platform::CreateSurface(8, 8, f)), "");
}

TEST_P(StretchFillTest, FillsAreClippedToTheSurface) {
    const PixelFormat f = GetParam();
    const uint32_t colour = f == PixelFormat::RGB565 ? 0xABCD : 0x00ABCDEF;
    for (const Rect& r :
         {Rect{1, 1, 4, 3}, Rect{-3, -3, 2, 2}, Rect{5, 6, 100, 100}, Rect{0, 0, 7, 9},
          Rect{INT_MIN, 2, INT_MAX, 3}, Rect{3, 3, 3, 9}, Rect{4, 4, 2, 2}, Rect{2, 0, 3, 9}}) {
        Surface s = platform::CreateSurface(7, 9, f);
        ASSERT_EQ(platform::FillRect(s, r, colour | 0xFF000000u), platform::BLIT_OK);
        for (int y = 0; y < 9; ++y)
            for (int x = 0; x < 7; ++x) {
                const bool inside = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
                // 16 bits take the low 16 bits of the value; 32 bits store it whole.
                const uint32_t want = f == PixelFormat::RGB565 ? 0xABCD : 0xFFABCDEF;
                ASSERT_EQ(platform::GetRawPixel(s, x, y), inside ? want : 0u) << x << "," << y;
            }
        // Row padding is never written.
        if (f == PixelFormat::RGB565) {
            EXPECT_EQ(s.pixels[14] | s.pixels[15], 0);
        }
    }
    Surface s = platform::CreateSurface(3, 3, f);
    s.lost = true;
    EXPECT_EQ(platform::FillSurface(s, 1), platform::SURFACE_LOST);
    EXPECT_EQ(platform::StretchBltOpaque(s, Rect{0, 0, 3, 3}, Numbered(3, 3, f), Rect{0, 0, 3, 3}),
              platform::SURFACE_LOST);
    s.lost = false;
    EXPECT_EQ(Diff(s, platform::CreateSurface(3, 3, f)), "");
}

TEST_P(StretchFillTest, PicturesBecomeSurfaces) {
    const PixelFormat f = GetParam();
    const platform::Picture picture{2, 2, {0xFF0000, 0x00FF00, 0x0000FF, 0x123456}};
    const Surface s = platform::SurfaceFromPicture(picture, f);
    ASSERT_EQ(s.width, 2);
    ASSERT_EQ(s.format, f);
    EXPECT_EQ(platform::GetRawPixel(s, 0, 0), f == PixelFormat::RGB565 ? 0xF800u : 0xFF0000u);
    EXPECT_EQ(platform::GetRawPixel(s, 1, 1), f == PixelFormat::RGB565 ? 0x11AAu : 0x123456u);

    // Onto a larger surface the picture is stretched over all of it.
    Surface big = platform::CreateSurface(4, 4, f);
    ASSERT_EQ(platform::CopyPictureToSurface(big, picture), platform::BLIT_OK);
    EXPECT_EQ(platform::GetRawPixel(big, 3, 0), platform::GetRawPixel(s, 1, 0));
    EXPECT_EQ(platform::GetRawPixel(big, 2, 3), platform::GetRawPixel(s, 1, 1));
    // A picture that says it holds more pixels than it does is not read.
    const platform::Picture lying{3, 3, {1, 2}};
    EXPECT_EQ(platform::SurfaceFromPicture(lying, f).width, 0);
    EXPECT_EQ(platform::CopyPictureToSurface(big, lying), platform::BLIT_OK);
    EXPECT_EQ(platform::GetRawPixel(big, 3, 0), platform::GetRawPixel(s, 1, 0));
}

INSTANTIATE_TEST_SUITE_P(BothFormats, StretchFillTest,
                         ::testing::Values(PixelFormat::RGB565, PixelFormat::XRGB8888), [](const auto& info) {
                             return info.param == PixelFormat::RGB565 ? "rgb565" : "xrgb8888";
                         });

}  // namespace
