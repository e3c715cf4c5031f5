// Plain text blocks: cells laid out from the measured glyphs, punctuation hanging at the edge,
// line feeds, effects, lifted colours, the final copy and the reveal.
#include "engine/text/text_block.h"

#include <cstring>
#include <string>
#include <vector>

#include "text_block_fixture.h"

namespace {

struct Cell {
    int left, top, right, bottom;
    bool operator==(const Cell&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Cell& c) {
    return out << "(" << c.left << ", " << c.top << ", " << c.right << ", " << c.bottom << ")";
}

class TextBlocks : public TextBlockTest {
  protected:
    void SetUp() override {
        TextBlockTest::SetUp();
        SetFont(1, 16, 0, 0, 0, 0);
        SetTextColors(0xFFFFFF, 0x402000, 1);
        const platform::TextSize size = platform::GetTextExtent(Text.dc, "あ", 2);
        w = size.cx;
        h = size.cy;
        comma = platform::GetTextExtent(Text.dc, "、", 2).cx;
    }
    std::vector<Cell> Cells() const {
        std::vector<Cell> cells;
        for (int i = 1; i < TextBlock.charCount; ++i) {
            const TextBlockRect& r = TextBlock.rects[i];
            cells.push_back({r.left, r.top, r.right, r.bottom});
        }
        return cells;
    }
    static Cell Block() {
        const TextBlockRect& r = TextBlock.rects[0];
        return {r.left, r.top, r.right, r.bottom};
    }
    int w = 0, h = 0, comma = 0;
};

TEST_P(TextBlocks, CellsFollowTheMeasuredGlyphsAndWrapAtTheRightEdge) {
    ASSERT_GT(w, 8) << "a full-width glyph";
    ASSERT_GT(h, 0);
    const int left = 100, top = 50, right = left + 3 * w + w / 2;
    // Four characters in a block three and a half wide: the fourth starts the second line.
    LayoutTextBlock(left, top, right, 300, "あいうえ", 4);
    const int line = std::max(16 + 4, h);
    EXPECT_EQ(Cells(), (std::vector<Cell>{{left, top, left + w, top + h},
                                          {left + w, top, left + 2 * w, top + h},
                                          {left + 2 * w, top, left + 3 * w, top + h},
                                          {left, top + line, left + w, top + line + h}}));
    EXPECT_EQ(TextBlock.charCount, 5);
    // Entry 0 reaches one character width beyond the last cell of each line.
    EXPECT_EQ(Block(), (Cell{left, top, left + 4 * w, top + line + h}));
    EXPECT_EQ(InkCount(*Display.backBuffer, 0, 0, 800, 600), 0) << "a layout copies nothing";
    EXPECT_GT(InkCount(FontSprite(), left, top, left + w, top + h), 10);
    EXPECT_GT(InkCount(FontSprite(), left, top + line, left + w, top + line + h), 10);
    EXPECT_EQ(InkCount(FontSprite(), left + 3 * w, top, 800, 600), 0) << "nothing past the wrapped line";
}

TEST_P(TextBlocks, ACommaAtTheEdgeHangsAndALineFeedTakesNoCell) {
    const int left = 40, top = 20, right = left + 3 * w + w / 2;
    LayoutTextBlock(left, top, right, 300, "あいう、え\nお", 0);
    const int line = std::max(16, h);
    // The comma keeps its line, drawn past the edge without a cell; "え" starts the next line;
    // the line feed ends it and "お" opens the third.
    EXPECT_EQ(Cells(), (std::vector<Cell>{{left, top, left + w, top + h},
                                          {left + w, top, left + 2 * w, top + h},
                                          {left + 2 * w, top, left + 3 * w, top + h},
                                          {left, top + line, left + w, top + line + h},
                                          {left, top + 2 * line, left + w, top + 2 * line + h}}));
    EXPECT_GT(InkCount(FontSprite(), left + 3 * w, top, left + 3 * w + comma, top + h), 0)
        << "the hanging comma";
    EXPECT_EQ(Block(), (Cell{left, top, left + 4 * w, top + 2 * line + h}))
        << "the hanging comma lies inside entry 0 without growing it";
    // The comma as the first character past the edge of another block is not special otherwise:
    // "え" crossing the edge moves down.
    LayoutTextBlock(left, top, right, 300, "あいうえ、", 0);
    EXPECT_EQ(Cells().size(), 5u);
    EXPECT_EQ(Cells()[3], (Cell{left, top + line, left + w, top + line + h}));
    EXPECT_EQ(Cells()[4], (Cell{left + w, top + line, left + w + comma, top + line + h}));
}

TEST_P(TextBlocks, EffectsWidenTheCellsAndTheLinesStopAtTheBottom) {
    const int left = 0, top = 0;
    const uint16_t effects = TEXT_SHADOW | TEXT_BOLD_X | TEXT_BOLD_Y | 2;
    const int cw = w + 2, ch = h + 2;
    const int line = std::max(16 + 2, ch);
    // Two per line; the bottom lets two lines through (the third would reach it).
    LayoutTextBlock(left, top, 2 * cw + 1, 3 * line, "あいうえおか", effects);
    EXPECT_EQ(
        Cells(),
        (std::vector<Cell>{
            {0, 0, cw, ch}, {cw, 0, 2 * cw, ch}, {0, line, cw, line + ch}, {cw, line, 2 * cw, line + ch}}));
    // The shadow in the background colour two pixels right and down of the glyph's own pixels.
    const platform::Surface& sprite = FontSprite();
    int shadow = 0, text = 0;
    for (int y = 0; y < ch; ++y)
        for (int x = 0; x < cw; ++x) {
            shadow += Pixel(sprite, x, y) == Raw(0x002040);
            text += Pixel(sprite, x, y) == Raw(0xFFFFFF);
        }
    EXPECT_GT(shadow, 0);
    EXPECT_GT(text, 0);
}

TEST_P(TextBlocks, NearBlackIsLiftedSoTheCopyKeepsIt) {
    SetTextColors(0x000008, 0x000000, 1);
    DrawTextBlock(10, 10, 400, 100, "黒い字", TEXT_SHADOW);
    const uint32_t lifted = Raw(0x101010);
    ASSERT_NE(lifted, 0u);
    int ink = 0, other = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 400; ++x) {
            const uint32_t pixel = Pixel(*Display.backBuffer, x, y);
            ink += pixel == lifted;
            other += pixel != lifted && pixel != 0;
        }
    EXPECT_GT(ink, 50) << "text and shadow reach the back buffer as 0x101010";
    EXPECT_EQ(other, 0);
}

TEST_P(TextBlocks, DrawCopiesTheBlockAndTheBracketGoesOnAsBefore) {
    // Something under the block stays where the block is transparent.
    platform::FillRect(*Display.backBuffer, {0, 0, 800, 600}, Raw(0x00FF00));
    DrawTextBlock(200, 200, 600, 400, "見える字", 0);
    const Cell block = Block();
    int copied = 0, kept = 0;
    for (int y = block.top; y < block.bottom; ++y)
        for (int x = block.left; x < block.right; ++x) {
            const uint32_t sprite = Pixel(FontSprite(), x, y), back = Pixel(*Display.backBuffer, x, y);
            if (sprite != 0)
                copied += back == sprite;
            else
                kept += back == Raw(0x00FF00);
        }
    EXPECT_GT(copied, 50);
    EXPECT_EQ(copied + kept, (block.right - block.left) * (block.bottom - block.top));
    EXPECT_EQ(Pixel(*Display.backBuffer, block.right, block.top), Raw(0x00FF00));
    // The bracket is open on the back buffer again, in its own colours and background mode.
    ASSERT_NE(Text.dc, nullptr);
    EXPECT_EQ(platform::GetDCSurface(Text.dc), Display.backBuffer.get());
    platform::FillRect(*Display.backBuffer, {0, 0, 800, 600}, Raw(0x00FF00));
    PutText(0, 0, "字");
    const int white = InkCount(*Display.backBuffer, 0, 0, 16, 16, Raw(0x00FF00));
    EXPECT_GT(white, 10);
    EXPECT_EQ(white, 256 - InkCount(*Display.backBuffer, 0, 0, 16, 16, Raw(0xFFFFFF)))
        << "white text on a transparent background";
}

TEST_P(TextBlocks, RevealShowsOneMoreCharacterPerIntervalAndAllAtOnceWithZero) {
    LayoutTextBlock(0, 0, 800, 600, "一二三四", 0);
    ASSERT_EQ(TextBlock.charCount, 5);
    auto shownCells = [this] {
        int shown = 0;
        for (int i = 1; i < TextBlock.charCount; ++i) {
            const TextBlockRect& r = TextBlock.rects[i];
            if (InkCount(*Display.backBuffer, r.left, r.top, r.right, r.bottom) > 0) ++shown;
        }
        return shown;
    };
    // The expected count, worked out with the same float steps the frames take.
    float timer = 0.0f;
    int shown = 0, frames = 0, result = 0;
    while (result == 0 && frames < 100) {
        ClearScreen();
        result = RevealText(0.05f);
        const int visible = shownCells();
        const int expectedVisible = std::min(std::max(shown - 1, 0), 4);
        if (shown > 5) {
            EXPECT_EQ(result, 1);
            EXPECT_EQ(visible, 4);
            break;
        }
        EXPECT_EQ(result, 0) << "frame " << frames;
        EXPECT_EQ(visible, expectedVisible) << "frame " << frames;
        timer += FrameStep;
        if (timer >= 0.05f) {
            ++shown;
            timer = 0.0f;
        }
        ++frames;
    }
    EXPECT_EQ(result, 1);
    EXPECT_EQ(TextBlock.shown, 6);
    EXPECT_GE(frames, 18) << "six steps of three or four frames";
    EXPECT_LE(frames, 24);

    LayoutTextBlock(0, 0, 800, 600, "一二三四", 0);
    ClearScreen();
    EXPECT_EQ(RevealText(0.0f), 1);
    EXPECT_EQ(shownCells(), 4);
    EXPECT_EQ(TextBlock.shown, TextBlock.charCount + 1);
}

TEST_P(TextBlocks, ALongTextStopsAtTheLastCellOfTheList) {
    ReleaseFont();
    SetFont(1, 8, 0, 0, 0, 0);
    std::string text(5000, 'i');
    LayoutTextBlock(0, 0, 800, 600, text.c_str(), 0);
    EXPECT_EQ(TextBlock.charCount, kTextRectCount);
    const TextBlockRect& last = TextBlock.rects[kTextRectCount - 1];
    EXPECT_GT(last.right, last.left);
    EXPECT_GE(RevealText(0.0f), 1);
}

INSTANTIATE_TEST_SUITE_P(Depths, TextBlocks, ::testing::Values(16, 32));

}  // namespace
