// Single lines through a device context: glyphs, colours in both formats, background modes,
// clipping, underline, weight, rotation and bad Shift-JIS bytes.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "text_test_support.h"

using platform::PixelFormat;
using text_test::Face;
using text_test::InkOf;
using text_test::MakeSurface;
using text_test::PixelAt;
using text_test::TextContext;

namespace {

constexpr uint32_t kWhite = 0xFFFFFF;

// The pixels of a line drawn in white on black, transparent, on a fresh 32-bit surface.
platform::Surface Render(const std::string& text, const platform::FontDescription& font, int width = 200,
                         int height = 64, int x = 4, int y = 4) {
    platform::Surface surface = MakeSurface(width, height, PixelFormat::XRGB8888);
    TextContext context(surface, font);
    context.Colors(kWhite, 0, platform::TRANSPARENT);
    context.Out(x, y, text);
    return surface;
}

TEST(TextLine, JapaneseCharactersDrawDistinctGlyphsInsideTheirCell) {
    for (int height : {12, 24}) {
        platform::Surface a = Render("あ", Face("標準ゴシック", height));
        platform::Surface i = Render("い", Face("標準ゴシック", height));
        platform::Surface kanji = Render("漢", Face("標準ゴシック", height));
        text_test::Ink inkA = InkOf(a, 0), inkI = InkOf(i, 0), inkKanji = InkOf(kanji, 0);
        EXPECT_GT(inkA.count, height) << height;
        EXPECT_GT(inkI.count, height / 2) << height;
        EXPECT_GT(inkKanji.count, inkA.count) << "a dense kanji has more ink than a kana, size " << height;
        EXPECT_NE(a.pixels, i.pixels);
        // A full-width character fills most of its square cell but stays inside it.
        EXPECT_GE(inkA.left, 4);
        EXPECT_GE(inkA.top, 4);
        EXPECT_LE(inkA.right, 4 + height);
        EXPECT_LE(inkA.bottom, 4 + height);
        EXPECT_GT(inkA.bottom - inkA.top, height / 2);
    }
}

TEST(TextLine, ExtentAndMetricsFollowTheCellHeight) {
    platform::Surface surface = MakeSurface(64, 64, PixelFormat::RGB565);
    for (int height : {12, 16, 24, 33}) {
        TextContext context(surface, Face("標準ゴシック", height));
        platform::TextMetrics metrics = platform::GetTextMetrics(context.dc());
        EXPECT_EQ(metrics.height, height);
        EXPECT_EQ(metrics.ascent + metrics.descent, height);
        EXPECT_GT(metrics.ascent, metrics.descent);
        const std::string line = "あいA";
        platform::TextSize size = platform::GetTextExtent(context.dc(), line.data(), static_cast<int>(line.size()));
        EXPECT_EQ(size.cy, height);
        // A line is as wide as its characters' advances together; a double-byte character of the
        // standard Gothic face is about twice as wide as a single-byte one.
        EXPECT_EQ(size.cx, 2 * context.Width("あ") + context.Width("A"));
        EXPECT_NEAR(context.Width("あ"), 2 * context.Width("A"), 1);
    }
    TextContext em(surface, Face("標準ゴシック", -20));
    EXPECT_GE(platform::GetTextMetrics(em.dc()).height, 20) << "a negative height is the character height";
}

TEST(TextLine, TransparentModeTouchesOnlyGlyphPixels) {
    for (PixelFormat format : {PixelFormat::RGB565, PixelFormat::XRGB8888}) {
        const uint32_t backdrop = format == PixelFormat::RGB565 ? 0x1234 : 0x00123456;
        platform::Surface surface = MakeSurface(120, 40, format, backdrop);
        TextContext context(surface, Face("標準ゴシック", 16));
        context.Colors(kWhite, 0x0000FF, platform::TRANSPARENT);
        context.Out(10, 10, "文字 Text");
        const uint32_t white = format == PixelFormat::RGB565 ? 0xFFFF : 0xFFFFFF;
        int glyphPixels = 0;
        for (int y = 0; y < surface.height; ++y) {
            for (int x = 0; x < surface.width; ++x) {
                uint32_t pixel = PixelAt(surface, x, y);
                ASSERT_TRUE(pixel == backdrop || pixel == white) << x << "," << y;
                glyphPixels += pixel == white;
            }
        }
        EXPECT_GT(glyphPixels, 40);
    }
}

TEST(TextLine, OpaqueModeFillsExactlyTheTextCellsWithTheBackground) {
    platform::Surface surface = MakeSurface(120, 40, PixelFormat::XRGB8888, 0x00123456);
    TextContext context(surface, Face("標準ゴシック", 16));
    context.Colors(kWhite, 0x800000, platform::OPAQUE);
    context.Out(10, 10, "文字 Text");
    int width = context.Width("文字 Text");
    int height = context.Height();
    int background = 0;
    for (int y = 0; y < surface.height; ++y) {
        for (int x = 0; x < surface.width; ++x) {
            uint32_t pixel = PixelAt(surface, x, y);
            bool inCell = x >= 10 && x < 10 + width && y >= 10 && y < 10 + height;
            if (inCell) {
                ASSERT_TRUE(pixel == 0x000080 || pixel == 0xFFFFFF) << x << "," << y;
                background += pixel == 0x000080;
            } else {
                ASSERT_EQ(pixel, 0x00123456u) << x << "," << y;
            }
        }
    }
    EXPECT_GT(background, width * height / 2);
}

TEST(TextLine, ColoursAreConvertedToEachSurfaceFormat) {
    struct Case {
        uint32_t color;  // 0x00BBGGRR
        uint32_t rgb565, xrgb;
    };
    const Case cases[] = {
        {0x00336699, (0x99 >> 3) << 11 | (0x66 >> 2) << 5 | (0x33 >> 3), 0x996633},
        {0x000000FF, 0xF800, 0xFF0000},
        {0x0000FF00, 0x07E0, 0x00FF00},
        {0x00FF0000, 0x001F, 0x0000FF},
        {0x00070307, 0x0000, 0x070307},  // below one step of 565: black there
    };
    for (const Case& c : cases) {
        for (PixelFormat format : {PixelFormat::RGB565, PixelFormat::XRGB8888}) {
            const uint32_t expectText = format == PixelFormat::RGB565 ? c.rgb565 : c.xrgb;
            const uint32_t marker = format == PixelFormat::RGB565 ? 0xAAAA : 0xAAAAAA;
            platform::Surface surface = MakeSurface(60, 30, format, marker);
            TextContext context(surface, Face("標準ゴシック", 16));
            context.Colors(c.color, c.color, platform::OPAQUE);
            context.Out(2, 2, "あA");
            // Text and background in the same colour: the whole cell is that one raw value.
            int width = context.Width("あA");
            for (int y = 2; y < 2 + 16; ++y)
                for (int x = 2; x < 2 + width; ++x) ASSERT_EQ(PixelAt(surface, x, y), expectText) << std::hex << c.color;
            EXPECT_EQ(PixelAt(surface, 2 + width, 2), marker);
        }
    }
}

// Drawing partly off the surface gives the same pixels as the visible part of an unclipped
// drawing, and never touches the row padding or the bytes after the last row.
TEST(TextLine, ClipsAtEveryEdgeWithoutWritingOutsideTheSurface) {
    const std::string text = "端の文字 Edge";
    const platform::FontDescription font = Face("標準ゴシック", 24);
    const int bigOffset = 300;
    platform::Surface big = MakeSurface(900, 700, PixelFormat::XRGB8888);
    {
        TextContext context(big, font);
        context.Colors(kWhite, 0x800000, platform::OPAQUE);
        context.Out(bigOffset, bigOffset, text);
    }
    struct Position {
        int x, y;
    };
    for (PixelFormat format : {PixelFormat::RGB565, PixelFormat::XRGB8888}) {
        const uint32_t sentinel = format == PixelFormat::RGB565 ? 0x5A5A : 0x005A5A5A;
        const int width = 80, height = 30;
        const Position positions[] = {{-7, 3}, {3, -9}, {width - 30, 8}, {5, height - 11},
                                      {-40, -12}, {width - 20, height - 6}, {-5000, 5}, {5, 4000}};
        for (const Position& at : positions) {
            platform::Surface small = MakeSurface(width, height, format, sentinel, /*padBytes=*/6, /*extraRows=*/2);
            const std::vector<uint8_t> before = small.pixels;
            {
                TextContext context(small, font);
                context.Colors(kWhite, 0x800000, platform::OPAQUE);
                context.Out(at.x, at.y, text);
            }
            const int bytes = platform::BytesPerPixel(format);
            for (size_t offset = 0; offset < small.pixels.size(); ++offset) {
                size_t row = offset / small.pitch, column = offset % small.pitch;
                bool inside = row < static_cast<size_t>(height) && column < static_cast<size_t>(width * bytes);
                if (!inside) {
                    ASSERT_EQ(small.pixels[offset], before[offset]) << "wrote outside at " << offset;
                }
            }
            int visible = 0;
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    int bx = x - at.x + bigOffset, by = y - at.y + bigOffset;
                    bool covered = bx >= 0 && by >= 0 && bx < big.width && by < big.height;
                    uint32_t expected = covered ? PixelAt(big, bx, by) : 0;
                    uint32_t actual = PixelAt(small, x, y);
                    if (expected == 0) {
                        ASSERT_EQ(actual, sentinel) << at.x << "," << at.y << " pixel " << x << "," << y;
                        continue;
                    }
                    ++visible;
                    uint32_t converted = format == PixelFormat::RGB565
                                             ? (expected == 0xFFFFFF ? 0xFFFFu : 0x0010u)
                                             : expected;
                    ASSERT_EQ(actual, converted) << at.x << "," << at.y << " pixel " << x << "," << y;
                }
            }
            bool onSurface = at.x > -1000 && at.y < height;
            EXPECT_EQ(visible > 0, onSurface) << at.x << "," << at.y;
        }
    }
}

TEST(TextLine, UnderlineRunsUnderTheWholeLineInsideTheCell) {
    platform::FontDescription underlined = Face("標準ゴシック", 16);
    underlined.underline = 1;
    platform::Surface plain = Render("あ a", Face("標準ゴシック", 16));
    platform::Surface lined = Render("あ a", underlined);
    platform::Surface measure = MakeSurface(8, 8, PixelFormat::XRGB8888);
    int width = TextContext(measure, Face("標準ゴシック", 16)).Width("あ a");
    int fullRows = 0;
    for (int y = 0; y < plain.height; ++y) {
        bool full = true;
        for (int x = 4; x < 4 + width && full; ++x) full = PixelAt(lined, x, y) == 0xFFFFFF;
        if (!full) continue;
        ++fullRows;
        EXPECT_GE(y, 4 + 8) << "the underline is in the lower half of the cell";
        EXPECT_LT(y, 4 + 16);
        EXPECT_EQ(PixelAt(lined, 4 + width, y), 0u) << "and ends with the text";
    }
    EXPECT_GE(fullRows, 1);
    // Apart from the line the glyphs are the same.
    for (int y = 0; y < plain.height; ++y)
        for (int x = 0; x < plain.width; ++x)
            if (PixelAt(plain, x, y) != PixelAt(lined, x, y)) {
                EXPECT_EQ(PixelAt(lined, x, y), 0xFFFFFFu);
            }
}

TEST(TextLine, BoldIsWiderAndDarkerAndWeightZeroIsNormal) {
    platform::Surface surface = MakeSurface(8, 8, PixelFormat::RGB565);
    const std::string text = "太字 Bold";
    int normal = TextContext(surface, Face("標準ゴシック", 16, 400)).Width(text);
    int byDefault = TextContext(surface, Face("標準ゴシック", 16, 0)).Width(text);
    int bold = TextContext(surface, Face("標準ゴシック", 16, 700)).Width(text);
    EXPECT_EQ(byDefault, normal);
    EXPECT_GT(bold, normal);
    EXPECT_GT(InkOf(Render(text, Face("標準ゴシック", 16, 700)), 0).count,
              InkOf(Render(text, Face("標準ゴシック", 16, 400)), 0).count * 5 / 4);
    EXPECT_EQ(Render(text, Face("標準ゴシック", 16, 0)).pixels, Render(text, Face("標準ゴシック", 16, 400)).pixels);
}

// Escapement 900 turns the line a quarter anticlockwise about the top-left of its first cell:
// every pixel (u, v) of the upright line lands on (x + v, y - u - 1).
TEST(TextLine, EscapementTurnsTheLineInQuarterSteps) {
    const std::string text = "上へ Up";
    platform::Surface upright = Render(text, Face("標準ゴシック", 16), 120, 24, 0, 0);
    struct Turn {
        int escapement;
        int x, y;
    };
    const Turn turns[] = {{900, 10, 110}, {1800, 110, 20}, {2700, 20, 5}, {-900, 20, 5}};
    for (const Turn& turn : turns) {
        platform::Surface turned = Render(text, Face("標準ゴシック", 16, 400, turn.escapement), 130, 130, turn.x, turn.y);
        int expected = 0;
        for (int v = 0; v < upright.height; ++v) {
            for (int u = 0; u < upright.width; ++u) {
                if (PixelAt(upright, u, v) == 0) continue;
                ++expected;
                int sx = 0, sy = 0;
                switch ((turn.escapement + 3600) % 3600) {
                    case 900: sx = turn.x + v, sy = turn.y - u - 1; break;
                    case 1800: sx = turn.x - u - 1, sy = turn.y - v - 1; break;
                    default: sx = turn.x - v - 1, sy = turn.y + u; break;
                }
                ASSERT_EQ(PixelAt(turned, sx, sy), 0xFFFFFFu) << turn.escapement << ": " << u << "," << v;
            }
        }
        EXPECT_EQ(InkOf(turned, 0).count, expected) << turn.escapement;
    }
}

TEST(TextLine, FreeAngleRunsAlongTheTurnedBaseline) {
    const std::string text = "斜めの線 slant";
    platform::Surface surface = Render(text, Face("標準ゴシック", 16, 400, 450), 200, 200, 20, 180);
    platform::Surface measure = MakeSurface(8, 8, PixelFormat::XRGB8888);
    const double width = TextContext(measure, Face("標準ゴシック", 16)).Width(text), height = 16, half = 0.7071;
    // The turned cell box has its corners at (20, 180), (20 + w/√2, 180 - w/√2),
    // (20 + h/√2, 180 + h/√2) and (20 + (w + h)/√2, 180 + (h - w)/√2).
    text_test::Ink ink = InkOf(surface, 0);
    ASSERT_GT(ink.count, 100);
    EXPECT_GE(ink.left, 20 - 1);
    EXPECT_LE(ink.right, 20 + (width + height) * half + 2);
    EXPECT_GE(ink.top, 180 - width * half - 2);
    EXPECT_LE(ink.bottom, 180 + height * half + 2);
    // and the glyphs fill it from end to end.
    EXPECT_GT(ink.right - 20, width * half * 0.9);
    EXPECT_LT(ink.top, 180 - width * half * 0.8);
}

TEST(TextLine, BadShiftJisBytesDrawAReplacementAndNeverCrash) {
    platform::Surface surface = MakeSurface(200, 30, PixelFormat::RGB565);
    TextContext context(surface, Face("標準ゴシック", 16));
    const int dot = context.Width("・");
    const int letter = context.Width("A");
    ASSERT_GT(dot, 0);
    // A lead byte at the end, a lead byte before a byte that cannot follow it (which then stands
    // on its own), an unassigned double-byte code (one replacement), and single bytes without a
    // character.
    EXPECT_EQ(context.Width("A\x82"), letter + dot);
    EXPECT_EQ(context.Width("\x82" "0"), dot + context.Width("0"));
#ifndef EL_TEXT_UTF8
    EXPECT_EQ(context.Width("\x85\x40"), dot);
    EXPECT_EQ(context.Width("\xA0"), dot);
    EXPECT_EQ(context.Width("\xFD"), dot);
#endif
    const std::string bad[] = {"\x82", "\x82\x20", "\x85\x40", "\x80\xA0\xFD\xFE\xFF", "\xFC", std::string("\x81\0", 2)};
    for (const std::string& text : bad) {
        std::vector<uint8_t> before = surface.pixels;
        context.Colors(kWhite, 0, platform::TRANSPARENT);
        EXPECT_TRUE(platform::TextOut(context.dc(), 0, 0, text.data(), static_cast<int>(text.size())));
        EXPECT_NE(surface.pixels, before) << "a replacement is drawn";
        std::fill(surface.pixels.begin(), surface.pixels.end(), 0);
    }
}

// Random bytes, positions, sizes, angles and box formats: nothing is written outside the surface.
TEST(TextLine, RandomTextsAnglesAndBoxesStayInsideTheSurface) {
    std::mt19937 random(20240611);
    const int escapements[] = {0, 900, 1800, 2700, 450, 1234, -300};
    const uint32_t formatBits[] = {platform::DT_WORDBREAK, platform::DT_CENTER,   platform::DT_RIGHT,
                                   platform::DT_NOCLIP,    platform::DT_SINGLELINE, platform::DT_VCENTER,
                                   platform::DT_BOTTOM,    platform::DT_NOPREFIX};
    for (PixelFormat format : {PixelFormat::RGB565, PixelFormat::XRGB8888}) {
        platform::Surface surface = MakeSurface(61, 37, format, 0, /*padBytes=*/3, /*extraRows=*/1);
        const int bytes = platform::BytesPerPixel(format);
        for (int round = 0; round < 300; ++round) {
            std::string text(random() % 40, ' ');
            for (char& c : text) c = static_cast<char>(random() % 256);
            platform::FontDescription font =
                Face("標準ゴシック", static_cast<int>(random() % 48) - 8, 400, escapements[random() % 7]);
            font.italic = random() % 4 == 0;
            font.underline = random() % 4 == 0;
            font.weight = random() % 3 == 0 ? 700 : 400;
            TextContext context(surface, font);
            context.Colors(0xFFFFFF, 0x00FF00, random() % 2 ? platform::OPAQUE : platform::TRANSPARENT);
            int x = static_cast<int>(random() % 300) - 120, y = static_cast<int>(random() % 300) - 120;
            if (round % 2 == 0) {
                context.Out(x, y, text);
            } else {
                uint32_t flags = 0;
                for (uint32_t bit : formatBits) flags |= random() % 3 == 0 ? bit : 0;
                platform::Rect rect{x, y, x + static_cast<int>(random() % 90) - 10, y + static_cast<int>(random() % 90)};
                platform::DrawText(context.dc(), text.data(), static_cast<int>(text.size()), rect, flags);
            }
            for (size_t offset = 0; offset < surface.pixels.size(); ++offset) {
                size_t row = offset / surface.pitch, column = offset % surface.pitch;
                if (row >= 37 || column >= static_cast<size_t>(61 * bytes)) {
                    ASSERT_EQ(surface.pixels[offset], 0xEE) << "round " << round << " offset " << offset;
                }
            }
        }
    }
}

TEST(TextContexts, NullLostAndBusySurfacesAreRefusedAndCallsOnNullDoNothing) {
    platform::Surface surface = MakeSurface(32, 32, PixelFormat::RGB565);
    surface.lost = true;
    EXPECT_EQ(platform::GetDC(surface), nullptr);
    surface.lost = false;
    platform::DeviceContext* dc = platform::GetDC(surface);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(platform::GetDC(surface), nullptr) << "one context per surface";
    EXPECT_EQ(platform::GetDCSurface(dc), &surface);
    platform::ReleaseDC(dc);
    dc = platform::GetDC(surface);
    EXPECT_NE(dc, nullptr);
    platform::ReleaseDC(dc);

    platform::Surface empty;
    EXPECT_EQ(platform::GetDC(empty), nullptr);
    EXPECT_FALSE(platform::TextOut(nullptr, 0, 0, "a", 1));
    EXPECT_EQ(platform::GetTextExtent(nullptr, "a", 1).cx, 0);
    platform::Rect rect{0, 0, 10, 10};
    EXPECT_EQ(platform::DrawText(nullptr, "a", 1, rect, platform::DT_CALCRECT), 0);
    EXPECT_EQ(platform::SelectFont(nullptr, nullptr), nullptr);
    platform::SetTextColor(nullptr, 1);
    platform::SetBkMode(nullptr, 1);
    platform::ReleaseDC(nullptr);
}

TEST(TextContexts, SelectionReturnsThePreviousFontAndASelectedFontIsNotDeleted) {
    platform::Surface surface = MakeSurface(32, 32, PixelFormat::RGB565);
    platform::DeviceContext* dc = platform::GetDC(surface);
    platform::Font* font = platform::CreateFont(Face("標準ゴシック", 12));
    EXPECT_EQ(platform::SelectFont(dc, font), nullptr) << "a new context holds the default font";
    EXPECT_EQ(platform::GetTextMetrics(dc).height, 12);
    EXPECT_FALSE(platform::DeleteFont(font));
    EXPECT_EQ(platform::GetTextMetrics(dc).height, 12);
    EXPECT_EQ(platform::SelectFont(dc, nullptr), font);
    EXPECT_EQ(platform::GetTextMetrics(dc).height, 16);
    EXPECT_TRUE(platform::DeleteFont(font));
    EXPECT_FALSE(platform::DeleteFont(font)) << "deleted twice";

    EXPECT_EQ(platform::SetTextColor(dc, 0x123456), 0x000000u);
    EXPECT_EQ(platform::SetTextColor(dc, 0), 0x123456u);
    EXPECT_EQ(platform::SetBkColor(dc, 0x800000), 0xFFFFFFu);
    EXPECT_EQ(platform::SetBkMode(dc, platform::TRANSPARENT), platform::OPAQUE);
    EXPECT_EQ(platform::SetBkMode(dc, 7), 0) << "an unknown mode is refused";
    platform::ReleaseDC(dc);
}

}  // namespace
