// Faces: the standard names, family names, the fallback for unknown names and missing glyphs,
// the installed-face list, and the caches that make a font per call cheap.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <vector>

#include "platform/soft/glyph_cache_stats.h"
#include "text_test_support.h"

using platform::PixelFormat;
using text_test::Face;
using text_test::InkOf;
using text_test::MakeSurface;
using text_test::PixelAt;
using text_test::TextContext;

namespace {

platform::Surface Render(const std::string& text, const platform::FontDescription& font) {
    platform::Surface surface = MakeSurface(240, 40, PixelFormat::RGB565);
    TextContext context(surface, font);
    context.Colors(0xFFFFFF, 0, platform::TRANSPARENT);
    context.Out(2, 2, text);
    return surface;
}

// The ink cut to its bounding box, one string per row: the shape wherever it was drawn.
std::vector<std::string> Shape(const platform::Surface& surface) {
    text_test::Ink ink = InkOf(surface, 0);
    std::vector<std::string> rows;
    for (int y = ink.top; y < ink.bottom; ++y) {
        std::string row;
        for (int x = ink.left; x < ink.right; ++x) row += PixelAt(surface, x, y) != 0 ? '#' : '.';
        rows.push_back(row);
    }
    return rows;
}

TEST(FontFaces, StandardNamesUnknownNamesAndEmptyNames) {
    const std::string sample = "標準の字 Face 123";
    platform::Surface gothic = Render(sample, Face("標準ゴシック", 16));
    platform::Surface mincho = Render(sample, Face("標準明朝", 16));
    EXPECT_GT(InkOf(gothic, 0).count, 100);
    EXPECT_GT(InkOf(mincho, 0).count, 100);
    EXPECT_NE(gothic.pixels, mincho.pixels) << "Mincho is a face of its own";
    EXPECT_EQ(Render(sample, Face("No Such Face 123", 16)).pixels, gothic.pixels) << "unknown names get Gothic";
    EXPECT_EQ(Render(sample, Face("", 16)).pixels, gothic.pixels);
    platform::FontDescription symbolCharset = Face("No Such Face 123", 16);
    symbolCharset.charset = platform::SYMBOL_CHARSET;
    EXPECT_EQ(Render(sample, symbolCharset).pixels, gothic.pixels);
}

TEST(FontFaces, InstalledListStartsWithTheStandardNamesAndHoldsUsableFaceNames) {
    std::vector<platform::FontFace> faces = platform::EnumerateFontFaces();
    ASSERT_GE(faces.size(), 3u);
    EXPECT_STREQ(faces[0].faceName, "標準ゴシック");
    EXPECT_EQ(faces[0].charset, platform::SHIFTJIS_CHARSET);
    EXPECT_STREQ(faces[1].faceName, "標準明朝");
    EXPECT_EQ(faces[1].charset, platform::SHIFTJIS_CHARSET);
    std::set<std::string> names;
    int japanese = 0;
    for (const platform::FontFace& face : faces) {
        ASSERT_NE(memchr(face.faceName, 0, sizeof face.faceName), nullptr);
        EXPECT_GT(strlen(face.faceName), 0u);
        EXPECT_TRUE(names.insert(face.faceName).second) << face.faceName << " listed twice";
        EXPECT_TRUE(face.charset == platform::SHIFTJIS_CHARSET || face.charset == platform::ANSI_CHARSET ||
                    face.charset == platform::SYMBOL_CHARSET);
        japanese += face.charset == platform::SHIFTJIS_CHARSET;
    }
    EXPECT_GE(japanese, 3) << "the installed Japanese faces are listed as such";
    // A listed Japanese family draws what its standard name draws, since that name resolves to it.
    const std::string sample = "ゴシック体";
    std::vector<std::string> gothic = Shape(Render(sample, Face("標準ゴシック", 16)));
    bool found = false;
    for (const platform::FontFace& face : faces) {
        if (face.charset != platform::SHIFTJIS_CHARSET || &face - faces.data() < 2) continue;
        if (Shape(Render(sample, Face(face.faceName, 16))) == gothic) found = true;
    }
    EXPECT_TRUE(found);
}

TEST(FontFaces, AWesternFamilyDrawsItsOwnLettersAndGothicForJapanese) {
    std::vector<platform::FontFace> faces = platform::EnumerateFontFaces();
    const platform::FontFace* western = nullptr;
    for (const platform::FontFace& face : faces) {
        if (face.charset != platform::ANSI_CHARSET) continue;
        if (western == nullptr || strcmp(face.faceName, "DejaVu Sans") == 0) western = &face;
    }
    if (western == nullptr) GTEST_SKIP() << "no western face installed";
    SCOPED_TRACE(western->faceName);
    EXPECT_NE(Shape(Render("Latin", Face(western->faceName, 16))), Shape(Render("Latin", Face("標準ゴシック", 16))));
    EXPECT_EQ(Shape(Render("漢字", Face(western->faceName, 16))), Shape(Render("漢字", Face("標準ゴシック", 16))))
        << "characters the face lacks come from the standard Gothic face";
}

// A debug line's whole sequence, once warm, renders no glyph: faces, sizes and glyphs are cached.
TEST(TextCaches, AWarmDebugLineRendersNothingNew) {
    platform::Surface surface = MakeSurface(800, 600, PixelFormat::RGB565);
    auto debugLine = [&surface](int i) {
        platform::Font* font = platform::CreateFont(Face("標準ゴシック", 12));
        platform::DeviceContext* dc = platform::GetDC(surface);
        platform::Font* previous = platform::SelectFont(dc, font);
        platform::SetTextColor(dc, 0xFFFFFF);
        platform::SetBkColor(dc, 0x800000);
        platform::SetBkMode(dc, platform::OPAQUE);
        char text[32];
        int length = snprintf(text, sizeof text, "x=%d y=%d", 100 + i % 10, 45);
        platform::TextOut(dc, 4, 4 + i % 50, text, length);
        platform::SelectFont(dc, previous);
        platform::ReleaseDC(dc);
        platform::DeleteFont(font);
    };
    for (int i = 0; i < 10; ++i) debugLine(i);
    platform::text::GlyphCacheStats warm = platform::text::GetGlyphCacheStats();
    for (int i = 0; i < 500; ++i) debugLine(i);
    platform::text::GlyphCacheStats after = platform::text::GetGlyphCacheStats();
    EXPECT_EQ(after.renders, warm.renders);
    EXPECT_EQ(after.flushes, warm.flushes);
}

TEST(TextCaches, ManyDistinctGlyphsStayWithinTheBoundsAndStillDrawRight) {
    const platform::FontDescription large = Face("標準明朝", 40);
    const platform::Surface before = Render("あ漢", large);
    platform::text::GlyphCacheStats start = platform::text::GetGlyphCacheStats();
    platform::Surface surface = MakeSurface(64, 64, PixelFormat::RGB565);
    // The printable single-byte characters at sixty sizes: more glyphs than the cache holds.
    std::string printable;
    for (char c = ' '; c <= '~'; ++c) printable += c;
    for (int height = 10; height < 70; ++height) {
        TextContext context(surface, Face("標準明朝", height));
        for (char c : printable) {
            platform::TextOut(context.dc(), 0, 0, &c, 1);
            platform::text::GlyphCacheStats now = platform::text::GetGlyphCacheStats();
            ASSERT_LE(now.entries, platform::text::kGlyphCacheMaxEntries);
            ASSERT_LE(now.arenaBytes, platform::text::kGlyphCacheArenaBytes);
        }
    }
    EXPECT_GT(platform::text::GetGlyphCacheStats().flushes, start.flushes);
    EXPECT_EQ(Render("あ漢", large).pixels, before.pixels);
}

}  // namespace
