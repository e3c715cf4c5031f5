// The plain block renderer and the reveal: cells measured one character at a time, wrapped at
// the right edge with Japanese punctuation kept on its line, drawn with shadow and emboldening.
#include "engine/text/text_block.h"

#include <algorithm>
#include <cstring>

#include "engine/draw/blit.h"
#include "engine/draw/display.h"
#include "engine/draw/objects.h"
#include "engine/system/frame_pacing.h"
#include "engine/text/text_output.h"
#include "platform/text.h"

TextBlockState TextBlock;

namespace text_block_detail {

uint32_t LiftColor(uint32_t color) {
    const uint32_t r = color & 0xFF, g = color >> 8 & 0xFF, b = color >> 16 & 0xFF;
    return r < 16 && g < 16 && b < 16 ? 0x101010 : color;
}

int CharLength(const char* p) {
    const auto lead = static_cast<unsigned char>(p[0]);
    const bool isLead = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
    return isLead && p[1] != '\0' ? 2 : 1;
}

bool NoLineStart(const char* p, int length) {
    static const char* const kNoLineStart[] = {"、", "。", "，", "．", "・", "…",  "‥", "”",
                                               "’",  "（", "」", ",",  ".",  "　", " "};
    for (const char* entry : kNoLineStart) {
        if (static_cast<int>(std::strlen(entry)) == length && std::memcmp(entry, p, length) == 0) return true;
    }
    return false;
}

}  // namespace text_block_detail

namespace {

using namespace text_block_detail;

struct Pen {
    platform::DeviceContext* dc = nullptr;
    uint32_t text = 0, background = 0;
    uint16_t effects = 0;
};

// One character at its cell's top-left: shadow first, then the glyph and its emboldening copies.
void DrawCharacter(const Pen& pen, int x, int y, const char* p, int length) {
    const bool boldX = pen.effects & TEXT_BOLD_X, boldY = pen.effects & TEXT_BOLD_Y;
    if (pen.effects & TEXT_SHADOW) {
        platform::SetTextColor(pen.dc, pen.background);
        platform::TextOut(pen.dc, x + (boldX ? 2 : 1), y + (boldY ? 2 : 1), p, length);
    }
    platform::SetTextColor(pen.dc, pen.text);
    platform::TextOut(pen.dc, x, y, p, length);
    if (boldX) platform::TextOut(pen.dc, x + 1, y, p, length);
    if (boldX && boldY) platform::TextOut(pen.dc, x + 1, y + 1, p, length);
    if (boldY) platform::TextOut(pen.dc, x, y + 1, p, length);
}

void Lay(const Pen& pen, int left, int top, int right, int bottom, const char* text) {
    const uint16_t effects = pen.effects;
    int x = left, y = top;
    int lineHeight = (effects & 0xFF) + Text.currentFontSize;
    TextBlock.rects[0] = {left, top, left, top};
    int count = 1;
    const char* p = text;
    while (*p != '\0' && count < kTextRectCount) {
        const int length = CharLength(p);
        const bool lineFeed = *p == '\n';
        int cx = 0, cy = 0;
        if (!lineFeed) {
            const platform::TextSize size = platform::GetTextExtent(pen.dc, p, length);
            cx = size.cx;
            cy = size.cy;
        }
        if (effects & TEXT_SHADOW) ++cx, ++cy;
        if (effects & TEXT_BOLD_X) ++cx;
        if (effects & TEXT_BOLD_Y) ++cy;
        const int cellLeft = x;
        TextBlock.rects[count++] = {x, y, x + cx, y + cy};
        x += cx;
        lineHeight = std::max(lineHeight, cy);
        if (x > right || lineFeed) {
            --count;
            const bool wrapped = x > right;
            if (wrapped && NoLineStart(p, length)) {
                DrawCharacter(pen, cellLeft, y, p, length);  // hangs past the right edge
                p += length;
            } else if (lineFeed) {
                p += length;
            } else if (cellLeft == left && lineHeight <= 0) {
                break;  // fits on no line and the lines do not move on
            }
            x = left;
            y += lineHeight;
            if (y + lineHeight >= bottom) break;
            continue;
        }
        DrawCharacter(pen, cellLeft, y, p, length);
        TextBlockRect& block = TextBlock.rects[0];
        block.right = std::max(block.right, x + cx);
        block.bottom = std::max(block.bottom, y + cy);
        p += length;
    }
    TextBlock.charCount = count;
}

void CopyFromFontSprite(const TextBlockRect& r) {
    BltObject(r.left, r.top, kFontSprite, r.left, r.top, r.right, r.bottom);
}

}  // namespace

void DrawTextBlock(int left, int top, int right, int bottom, const char* text, uint16_t effects) {
    const bool bracketOpen = Text.dc != nullptr || Text.font != nullptr;
    ReleaseFont();
    ClearObject(kFontSprite);
    platform::Surface* sprite = ObjectSurface(kFontSprite);
    platform::Font* font = CreateRecordFont();
    Pen pen;
    pen.dc = sprite != nullptr ? platform::GetDC(*sprite) : nullptr;
    platform::Font* previous = platform::SelectFont(pen.dc, font);
    platform::SetBkMode(pen.dc, platform::TRANSPARENT);
    pen.text = LiftColor(Text.textColor);
    pen.background = LiftColor(Text.backgroundColor);
    pen.effects = effects;

    Lay(pen, left, top, right, bottom, text != nullptr ? text : "");

    if (pen.dc != nullptr) {
        platform::SelectFont(pen.dc, previous);
        platform::ReleaseDC(pen.dc);
    }
    platform::DeleteFont(font);
    if (TextBlock.blitFlag == 1) CopyFromFontSprite(TextBlock.rects[0]);

    // The caller's bracket goes on as it was, colours and background mode included.
    if (bracketOpen) {
        OpenBracketOn(Display.backBuffer.get());
        SetTextColors(Text.textColor, Text.backgroundColor, Text.transparent);
    }
    TextBlock.shown = 0;
    TextBlock.revealTimer = 0.0f;
    TextBlock.blitFlag = 1;
}

void LayoutTextBlock(int left, int top, int right, int bottom, const char* text, uint16_t effects) {
    TextBlock.blitFlag = 0;
    DrawTextBlock(left, top, right, bottom, text, effects);
}

int RevealText(float interval) {
    TextBlockState& block = TextBlock;
    if (interval == 0.0f || block.shown > block.charCount) {
        CopyFromFontSprite(block.rects[0]);
        block.shown = block.charCount + 1;
    } else {
        const int last = std::min(block.shown, kTextRectCount);
        for (int i = 1; i < last; ++i) CopyFromFontSprite(block.rects[i]);
    }
    if (block.shown > block.charCount) return 1;
    block.revealTimer += FrameStep;
    if (block.revealTimer >= interval) {
        block.shown += 1;
        block.revealTimer = 0.0f;
    }
    return 0;
}
