// Smoothed blocks: the reduction worked out on single pixels, and double-size layouts in cells
// of single size, wrapped at the right edge and split at the Font buffer's width.
#include <string>
#include <vector>

#include "engine/text/text_block.h"
#include "text_block_fixture.h"

namespace {

using text_block_detail::ReduceSegment;

class SmoothText : public TextBlockTest {
  protected:
    bool Sixteen() const { return Display.backBuffer->format == platform::PixelFormat::RGB565; }
    // A raw pixel of the display from channel levels of its reduction (5 bits at 16, 8 at 32).
    uint32_t FromLevels(uint32_t r, uint32_t g, uint32_t b) const {
        return Sixteen() ? (r << 11 | g << 6 | b) : (r << 16 | g << 8 | b);
    }
    platform::Surface& Buffer() { return *ObjectSurface(kFontBufferSprite); }
};

TEST_P(SmoothText, ReductionBlendsNineSourcePixelsWithTheBackground) {
    ClearObject(kFontSprite);
    ClearObject(kFontBufferSprite);
    platform::FillRect(*Display.backBuffer, {0, 0, 800, 600}, Raw(0x204080));
    const uint32_t ink = Raw(0xF88040);
    // Two diagonal source pixels.
    platform::SetRawPixel(Buffer(), 2, 2, ink);
    platform::SetRawPixel(Buffer(), 3, 3, ink);
    ReduceSegment(100, 50, 8, 6);
    // Levels: ink (31, 16, 8) / (248, 128, 64), background (4, 8, 16) / (32, 64, 128).
    // (1, 1) sees both: n = 2, each level (2 ink + full + 6 background) / 8.
    // (2, 1), (1, 2), (2, 2) see the second only: n = 1, (ink + full + 7 background) / 8.
    uint32_t two, one;
    if (Sixteen()) {
        two = FromLevels((62 + 31 + 24) / 8, (32 + 31 + 48) / 8, (16 + 31 + 96) / 8);
        one = FromLevels((31 + 31 + 28) / 8, (16 + 31 + 56) / 8, (8 + 31 + 112) / 8);
        EXPECT_EQ(two, 0x7351u) << "14, 13, 17";
    } else {
        two = FromLevels((496 + 255 + 192) / 8, (256 + 255 + 384) / 8, (128 + 255 + 768) / 8);
        one = FromLevels((248 + 255 + 224) / 8, (128 + 255 + 448) / 8, (64 + 255 + 896) / 8);
    }
    const platform::Surface& sprite = FontSprite();
    EXPECT_EQ(Pixel(sprite, 101, 51), two);
    EXPECT_EQ(Pixel(sprite, 102, 51), one);
    EXPECT_EQ(Pixel(sprite, 101, 52), one);
    EXPECT_EQ(Pixel(sprite, 102, 52), one);
    EXPECT_EQ(InkCount(sprite, 0, 0, 800, 600), 4) << "pixels that see nothing stay transparent";

    // A filled square: inside all nine are set and the level is capped at full scale; at the
    // corner four are, and half of the background shows.
    ClearObject(kFontSprite);
    platform::FillRect(Buffer(), {0, 0, 6, 6}, Raw(0xFFFFFF));
    ReduceSegment(200, 60, 6, 6);
    const uint32_t full = Sixteen() ? 31 : 255;
    EXPECT_EQ(Pixel(sprite, 201, 61), FromLevels(full, full, full)) << "a six-bit green keeps its top five";
    const uint32_t corner =
        Sixteen() ? FromLevels((124 + 31 + 16) / 8, (124 + 31 + 32) / 8, (124 + 31 + 64) / 8)
                  : FromLevels((1020 + 255 + 128) / 8, (1020 + 255 + 256) / 8, (1020 + 255 + 512) / 8);
    EXPECT_EQ(Pixel(sprite, 200, 60), corner);
    if (Sixteen()) EXPECT_EQ(corner, FromLevels(21, 23, 27));

    // The clip rectangle bounds the destination; a surface that cannot be locked draws nothing.
    ClearObject(kFontSprite);
    SetClipRect(0, 0, 202, 800);
    ReduceSegment(200, 60, 6, 6);
    EXPECT_EQ(InkCount(sprite, 0, 0, 800, 600), 2 * 3);
    SetClipRect(0, 0, 800, 600);
    ClearObject(kFontSprite);
    Buffer().lost = true;
    ReduceSegment(200, 60, 6, 6);
    Buffer().lost = false;
    EXPECT_EQ(InkCount(sprite, 0, 0, 800, 600), 0);
}

TEST_P(SmoothText, DoubleSizeCellsInSingleSizeAndTheBlockCopied) {
    SetSmoothFont(1, 16);
    ASSERT_NE(Text.dc, nullptr);
    EXPECT_EQ(platform::GetDCSurface(Text.dc), &Buffer()) << "the smooth bracket draws on the Font buffer";
    EXPECT_EQ(Text.currentFontSize, 32);
    SetTextColors(0xFFFFFF, 0x000000, 1);
    const platform::TextSize glyph = platform::GetTextExtent(Text.dc, "あ", 2);
    const int cx = ((glyph.cx + 1) & ~1) + 2 + 1, cy = ((glyph.cy + 1) & ~1) + 2;  // shadow, bold right
    const uint16_t effects = TEXT_SHADOW | TEXT_BOLD_X;
    const int left = 100, top = 100;
    // Three fit before the right edge; the comma hangs; "え" goes to the next row.
    const int right = left + (3 * cx) / 2 + cx / 4;
    platform::FillRect(*Display.backBuffer, {0, 0, 800, 600}, Raw(0x0000FF));
    DrawSmoothText(left, top, right, 400, "あいう、え", effects);
    const int row = std::max(32, cy) / 2;
    std::vector<std::vector<int>> cells;
    for (int i = 1; i < TextBlock.charCount; ++i) {
        const TextBlockRect& r = TextBlock.rects[i];
        cells.push_back({r.left, r.top, r.right, r.bottom});
    }
    EXPECT_EQ(cells, (std::vector<std::vector<int>>{{left, top, left + cx / 2, top + cy / 2},
                                                    {left + cx / 2, top, left + cx, top + cy / 2},
                                                    {left + cx, top, left + 3 * cx / 2, top + cy / 2},
                                                    {left, top + row, left + cx / 2, top + row + cy / 2}}));
    const TextBlockRect& block = TextBlock.rects[0];
    EXPECT_EQ(block.left, left);
    EXPECT_EQ(block.top, top);
    EXPECT_EQ(block.bottom, top + row + row);
    EXPECT_GE(block.right, left + 3 * cx / 2) << "the first row with its hanging comma";
    // Each cell holds ink in the Font sprite, and the back buffer shows it over the blue.
    for (const auto& c : cells) EXPECT_GT(InkCount(FontSprite(), c[0], c[1], c[2], c[3]), 10);
    EXPECT_GT(InkCount(FontSprite(), left + 3 * cx / 2, top, block.right, top + row), 0) << "the comma";
    int shown = 0;
    for (int y = block.top; y < block.bottom; ++y)
        for (int x = block.left; x < block.right; ++x)
            if (Pixel(FontSprite(), x, y) != 0)
                shown += Pixel(*Display.backBuffer, x, y) == Pixel(FontSprite(), x, y);
    EXPECT_EQ(shown, InkCount(FontSprite(), block.left, block.top, block.right, block.bottom));
    // Edges blend with the blue under them: some reduced pixels are neither white nor the shadow.
    int blended = 0;
    for (int y = block.top; y < block.bottom; ++y)
        for (int x = block.left; x < block.right; ++x) {
            const uint32_t p = Pixel(FontSprite(), x, y);
            blended += p != 0 && p != Raw(0xFFFFFF) && p != Raw(0x101010);
        }
    EXPECT_GT(blended, 20);
    ReleaseSmoothFont();
    EXPECT_EQ(Text.dc, nullptr);
}

TEST_P(SmoothText, ALineWiderThanTheBufferGoesOnInSegmentsOfTheSameRow) {
    SetSmoothFont(0, 16);
    SetTextColors(0xFFFFFF, 0, 1);
    const int w2 = (platform::GetTextExtent(Text.dc, "あ", 2).cx + 1) & ~1;
    ASSERT_GT(w2, 0);
    const int perSegment = (800 - 1) / w2;  // a segment ends when its width reaches 800
    std::string text;
    for (int i = 0; i < perSegment + 3; ++i) text += "あ";
    text += "\nい";
    LayoutSmoothText(0, 0, 790, 600, text.c_str(), 0);
    EXPECT_EQ(InkCount(*Display.backBuffer, 0, 0, 800, 600), 0) << "a layout copies nothing";
    ASSERT_EQ(TextBlock.charCount, perSegment + 3 + 1 + 1);
    const TextBlockRect& next = TextBlock.rects[perSegment + 1];
    EXPECT_EQ(next.left, perSegment * w2 / 2) << "the next segment continues the row";
    EXPECT_EQ(next.top, 0);
    const TextBlockRect& last = TextBlock.rects[perSegment + 4];
    EXPECT_EQ(last.left, 0) << "the line feed starts a new row";
    EXPECT_GT(last.top, 0);
    EXPECT_GT(InkCount(FontSprite(), next.left, next.top, next.right, next.bottom), 10);
    EXPECT_EQ(RevealText(0.0f), 1);
    EXPECT_GT(InkCount(*Display.backBuffer, next.left, next.top, next.right, next.bottom), 10);
    ReleaseSmoothFont();
}

INSTANTIATE_TEST_SUITE_P(Depths, SmoothText, ::testing::Values(16, 32));

}  // namespace
