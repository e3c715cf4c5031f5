// Word-wrapped boxes: wrapping at spaces and between double-byte characters, line breaks,
// alignment, measuring, clipping to the box and "&" prefixes. Each drawn box is compared with the
// lines it should consist of, drawn one by one with TextOut.
#include <gtest/gtest.h>

#include <vector>

#include "text_test_support.h"

using platform::PixelFormat;
using text_test::Face;
using text_test::InkOf;
using text_test::MakeSurface;
using text_test::PixelAt;
using text_test::TextContext;

namespace {

constexpr int kWidth = 240, kHeight = 120;
constexpr uint32_t kWrapFormat = platform::DT_WORDBREAK | platform::DT_NOPREFIX;

struct Box {
    platform::Surface surface;
    platform::Rect rect;
    int result = 0;
};

Box DrawBox(const std::string& text, platform::Rect rect, uint32_t format) {
    Box box{MakeSurface(kWidth, kHeight, PixelFormat::RGB565), rect};
    TextContext context(box.surface, Face("標準ゴシック", 16));
    context.Colors(0xFFFFFF, 0, platform::TRANSPARENT);
    box.result = platform::DrawText(context.dc(), text.c_str(), -1, box.rect, format);
    return box;
}

struct Line {
    int x, y;
    std::string text;
};

platform::Surface DrawLines(const std::vector<Line>& lines) {
    platform::Surface surface = MakeSurface(kWidth, kHeight, PixelFormat::RGB565);
    TextContext context(surface, Face("標準ゴシック", 16));
    context.Colors(0xFFFFFF, 0, platform::TRANSPARENT);
    for (const Line& line : lines) context.Out(line.x, line.y, line.text);
    return surface;
}

int Width(const std::string& text) {
    platform::Surface surface = MakeSurface(4, 4, PixelFormat::RGB565);
    return TextContext(surface, Face("標準ゴシック", 16)).Width(text);
}

void ExpectSamePixels(const platform::Surface& actual, const platform::Surface& expected) {
    for (int y = 0; y < actual.height; ++y)
        for (int x = 0; x < actual.width; ++x)
            ASSERT_EQ(PixelAt(actual, x, y), PixelAt(expected, x, y)) << "pixel " << x << "," << y;
    EXPECT_GT(InkOf(actual, 0).count, 0);
}

TEST(TextBox, WrapsAtSpacesDroppingTheSpacesAtTheBreak) {
    const int left = 10, top = 5;
    const int right = left + Width("aaa bbb") + 3;
    Box box = DrawBox("aaa bbb   ccc dd", {left, top, right, 100}, kWrapFormat);
    EXPECT_EQ(box.result, 2 * 16);
    ExpectSamePixels(box.surface, DrawLines({{left, top, "aaa bbb"}, {left, top + 16, "ccc dd"}}));

    platform::Rect measured{left, top, right, 100};
    Box measure = DrawBox("aaa bbb   ccc dd", measured, kWrapFormat | platform::DT_CALCRECT);
    EXPECT_EQ(measure.result, 32);
    EXPECT_EQ(measure.rect.left, left);
    EXPECT_EQ(measure.rect.top, top);
    EXPECT_EQ(measure.rect.right, left + Width("aaa bbb")) << "the widest line, without the spaces at the break";
    EXPECT_EQ(measure.rect.bottom, top + 32);
    EXPECT_EQ(InkOf(measure.surface, 0).count, 0) << "measuring draws nothing";
}

TEST(TextBox, JapaneseWrapsBetweenAnyTwoCharacters) {
    const int charWidth = Width("あ");
    Box box = DrawBox("あいうえおかきくけこ", {0, 0, 4 * charWidth + charWidth / 2, 100}, kWrapFormat);
    EXPECT_EQ(box.result, 3 * 16);
    ExpectSamePixels(box.surface, DrawLines({{0, 0, "あいうえ"}, {0, 16, "おかきく"}, {0, 32, "けこ"}}));

    // Between a double-byte character and a Latin word too, but not inside the word.
    Box mixed = DrawBox("日本語word test", {0, 0, Width("日本語wo"), 100}, kWrapFormat);
    ExpectSamePixels(mixed.surface, DrawLines({{0, 0, "日本語"}, {0, 16, "word"}, {0, 32, "test"}}));
    EXPECT_EQ(mixed.result, 48);
}

TEST(TextBox, AWordLongerThanTheBoxStaysWholeAndWidensTheMeasure) {
    platform::Rect rect{0, 0, Width("abc"), 100};
    Box measure = DrawBox("abcdefghij xy", rect, kWrapFormat | platform::DT_CALCRECT);
    EXPECT_EQ(measure.result, 32);
    EXPECT_EQ(measure.rect.right, Width("abcdefghij"));
    Box drawn = DrawBox("abcdefghij xy", {0, 0, 200, 100}, kWrapFormat | platform::DT_CALCRECT);
    EXPECT_EQ(drawn.result, 16) << "with room it is one line";
}

TEST(TextBox, LineFeedsAndReturnsBreakLines) {
    struct Case {
        const char* text;
        int lines;
        const char* widest;
    };
    const Case cases[] = {
        {"a\nbbb\r\ncc", 3, "bbb"}, {"abc\n", 1, "abc"}, {"\n\nx", 3, "x"}, {"a\rb", 2, "a"}, {"a\n\r\nb", 3, "a"},
    };
    for (const Case& c : cases) {
        Box box = DrawBox(c.text, {0, 0, 200, 100}, kWrapFormat | platform::DT_CALCRECT);
        EXPECT_EQ(box.result, c.lines * 16) << c.text;
        EXPECT_EQ(box.rect.right, Width(c.widest)) << c.text;
    }
    Box drawn = DrawBox("a\nbbb\r\ncc", {3, 4, 200, 100}, kWrapFormat);
    ExpectSamePixels(drawn.surface, DrawLines({{3, 4, "a"}, {3, 20, "bbb"}, {3, 36, "cc"}}));
    // On a single line they are characters like any other.
    Box single = DrawBox("a\nb", {0, 0, 200, 100}, platform::DT_SINGLELINE | platform::DT_CALCRECT);
    EXPECT_EQ(single.result, 16);
    EXPECT_EQ(single.rect.right, Width("a\nb"));
}

TEST(TextBox, CentreAndRightAlignEachLine) {
    const int left = 10, right = 150;
    const int narrow = Width("ab"), wide = Width("abcde");
    Box centred = DrawBox("ab\nabcde", {left, 0, right, 100}, kWrapFormat | platform::DT_CENTER);
    ExpectSamePixels(centred.surface, DrawLines({{(left + right - narrow) / 2, 0, "ab"},
                                                 {(left + right - wide) / 2, 16, "abcde"}}));
    Box flush = DrawBox("ab\nabcde", {left, 0, right, 100}, kWrapFormat | platform::DT_RIGHT);
    ExpectSamePixels(flush.surface, DrawLines({{right - narrow, 0, "ab"}, {right - wide, 16, "abcde"}}));
    // A wrapped line is aligned without the spaces at its break.
    const int boxRight = left + Width("one two") + 4;
    Box wrapped = DrawBox("one two three", {left, 0, boxRight, 100}, kWrapFormat | platform::DT_RIGHT);
    ExpectSamePixels(wrapped.surface, DrawLines({{boxRight - Width("one two"), 0, "one two"},
                                                 {boxRight - Width("three"), 16, "three"}}));
}

TEST(TextBox, DrawingIsClippedToTheBoxUnlessNoClip) {
    const platform::Rect rect{20, 10, 20 + Width("abc"), 10 + 24};
    Box clipped = DrawBox("abcdefghij\nsecond\nthird", rect, kWrapFormat);
    text_test::Ink ink = InkOf(clipped.surface, 0);
    EXPECT_GT(ink.count, 0);
    EXPECT_GE(ink.left, rect.left);
    EXPECT_GE(ink.top, rect.top);
    EXPECT_LE(ink.right, rect.right);
    EXPECT_LE(ink.bottom, rect.bottom);
    EXPECT_EQ(clipped.result, 48) << "the height covers every line, drawn or not";

    Box unclipped = DrawBox("abcdefghij\nsecond\nthird", rect, kWrapFormat | platform::DT_NOCLIP);
    ExpectSamePixels(unclipped.surface,
                     DrawLines({{rect.left, 10, "abcdefghij"}, {rect.left, 26, "second"}, {rect.left, 42, "third"}}));
}

TEST(TextBox, PrefixUnderlinesTheNextCharacterUnlessNoPrefix) {
    Box prefixed = DrawBox("&Save", {0, 0, 200, 100}, 0);
    platform::Surface plain = DrawLines({{0, 0, "Save"}});
    const int first = Width("S");
    // Only the "S" column range gains pixels, all of them in the lower part of the cell.
    int added = 0;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (PixelAt(prefixed.surface, x, y) == PixelAt(plain, x, y)) continue;
            ASSERT_EQ(PixelAt(plain, x, y), 0u) << "nothing of the text is lost";
            EXPECT_LT(x, first);
            EXPECT_GE(y, 8);
            EXPECT_LT(y, 16);
            ++added;
        }
    }
    EXPECT_GE(added, first - 1);

    ExpectSamePixels(DrawBox("A&&B", {0, 0, 200, 100}, 0).surface, DrawLines({{0, 0, "A&B"}}));
    ExpectSamePixels(DrawBox("&Save", {0, 0, 200, 100}, platform::DT_NOPREFIX).surface, DrawLines({{0, 0, "&Save"}}));
}

TEST(TextBox, EmptyTextAndSingleLinePlacement) {
    Box empty = DrawBox("", {5, 6, 100, 100}, kWrapFormat | platform::DT_CALCRECT);
    EXPECT_EQ(empty.result, 0);
    EXPECT_EQ(empty.rect.right, 5);
    EXPECT_EQ(empty.rect.bottom, 6);

    const uint32_t single = platform::DT_SINGLELINE | platform::DT_NOPREFIX;
    Box centred = DrawBox("mid", {0, 10, 100, 50}, single | platform::DT_VCENTER | platform::DT_CENTER);
    ExpectSamePixels(centred.surface, DrawLines({{(100 - Width("mid")) / 2, 10 + (40 - 16) / 2, "mid"}}));
    EXPECT_EQ(centred.result, (40 - 16) / 2 + 16) << "offset from the top to the bottom of the text";
    Box bottom = DrawBox("low", {0, 10, 100, 50}, single | platform::DT_BOTTOM);
    ExpectSamePixels(bottom.surface, DrawLines({{0, 34, "low"}}));
}

TEST(TextBox, OpaqueBoxesFillOnlyTheLinesCells) {
    platform::Surface surface = MakeSurface(kWidth, kHeight, PixelFormat::XRGB8888, 0x00505050);
    TextContext context(surface, Face("標準ゴシック", 16));
    context.Colors(0xFFFFFF, 0x800000, platform::OPAQUE);
    platform::Rect rect{10, 10, 150, 100};
    platform::DrawText(context.dc(), "ab\nabcdef", -1, rect, kWrapFormat | platform::DT_CENTER);
    int narrow = context.Width("ab"), wide = context.Width("abcdef");
    auto inCell = [&](int x, int y) {
        if (y >= 10 && y < 26) return x >= (160 - narrow) / 2 && x < (160 - narrow) / 2 + narrow;
        if (y >= 26 && y < 42) return x >= (160 - wide) / 2 && x < (160 - wide) / 2 + wide;
        return false;
    };
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            ASSERT_EQ(PixelAt(surface, x, y) != 0x00505050, inCell(x, y)) << x << "," << y;
}

}  // namespace
