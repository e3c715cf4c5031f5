// The smooth block renderer: each line drawn at twice the size into the Font buffer sprite, then
// reduced into the Font sprite with its edges blended against the back buffer.
#include <algorithm>
#include <cstdio>

#include "engine/draw/blit.h"
#include "engine/draw/display.h"
#include "engine/draw/objects.h"
#include "engine/text/font_record.h"
#include "engine/text/fonts.h"
#include "engine/text/text_block.h"
#include "engine/text/text_output.h"
#include "platform/blit.h"
#include "platform/soft/text_reduce.h"
#include "platform/soft/text_touched.h"
#include "platform/text.h"

namespace {

using namespace text_block_detail;

constexpr const char* kSmoothFaces[] = {"標準明朝", "標準ゴシック"};

void OpenSmoothBracket(const char* faceName, int size, uint8_t charset) {
    FontDescription& record = CurrentFontRecord();
    if (faceName != nullptr) std::snprintf(record.lfFaceName, sizeof record.lfFaceName, "%s", faceName);
    record.lfHeight = size * 2;
    record.lfWidth = 0;
    record.lfWeight = 400;
    record.lfEscapement = 0;
    record.lfItalic = 0;
    record.lfUnderline = 0;
    record.lfCharSet = charset;
    Text.currentFontSize = size * 2;
    OpenBracketOn(ObjectSurface(kFontBufferSprite));
}

// The bracket's device context on the Font buffer sprite, given back and borrowed again.
void CloseBufferContext() {
    if (Text.dc == nullptr) return;
    platform::SelectFont(Text.dc, Text.previousFont);
    platform::ReleaseDC(Text.dc);
    Text.dc = nullptr;
    Text.previousFont = nullptr;
}

void OpenBufferContext() {
    platform::Surface* buffer = ObjectSurface(kFontBufferSprite);
    Text.dc = buffer != nullptr ? platform::GetDC(*buffer) : nullptr;
    Text.previousFont = Text.dc != nullptr ? platform::SelectFont(Text.dc, Text.font) : nullptr;
    platform::SetBkMode(Text.dc, platform::TRANSPARENT);
}

}  // namespace

// Reduces the double-size segment (0, 0, width, height) of the Font buffer sprite into the Font
// sprite at (x, y): each destination pixel sums the source pixel at twice its coordinates and
// those of its eight neighbours that are set, and lets the back buffer show through where fewer
// than eight are.
void text_block_detail::ReduceSegment(int x, int y, int width, int height) {
    platform::Surface* buffer = ObjectSurface(kFontBufferSprite);
    platform::Surface* sprite = ObjectSurface(kFontSprite);
    platform::Surface* back = Display.backBuffer.get();
    if (buffer == nullptr || sprite == nullptr || back == nullptr) return;
    const bool sixteen = back->format == platform::PixelFormat::RGB565;
    platform::ReduceFormat format;
    format.wide = !sixteen;
    if (sixteen) {
        // Five bits of each channel, the top five of a six-bit one.
        format.position[0] = Display.format.redPosition5;
        format.position[1] = Display.format.greenPosition5;
        format.position[2] = Display.format.bluePosition5;
    } else {
        format.position[0] = Display.format.redShift;
        format.position[1] = Display.format.greenShift;
        format.position[2] = Display.format.blueShift;
    }
    const int left = std::max({x, ClipRect.left, 0});
    const int top = std::max({y, ClipRect.top, 0});
    const int right = std::min({x + width / 2, ClipRect.right, sprite->width, back->width});
    const int bottom = std::min({y + height / 2, ClipRect.bottom, sprite->height, back->height});
    if (left >= right || top >= bottom) return;

    platform::LockedPixels source, target, background;
    if (platform::Lock(*buffer, source) != platform::BLIT_OK) return;
    if (platform::Lock(*sprite, target) != platform::BLIT_OK) {
        platform::Unlock(*buffer);
        return;
    }
    if (platform::Lock(*back, background) != platform::BLIT_OK) {
        platform::Unlock(*sprite);
        platform::Unlock(*buffer);
        return;
    }
    const size_t pixelBytes = sixteen ? 2 : 4;
    platform::ReduceJob job;
    job.source = source.bits;
    job.sourcePitch = source.pitch;
    job.sourceWidth = std::min(width, buffer->width);
    job.sourceHeight = std::min(height, buffer->height);
    job.firstX = left - x;
    job.firstY = top - y;
    job.width = right - left;
    job.height = bottom - top;
    job.target = target.bits + static_cast<size_t>(top) * target.pitch + left * pixelBytes;
    job.targetPitch = target.pitch;
    job.under = background.bits + static_cast<size_t>(top) * background.pitch + left * pixelBytes;
    job.underPitch = background.pitch;
    platform::ReduceText(job, format);
    platform::Unlock(*back);
    platform::Unlock(*sprite);
    platform::Unlock(*buffer);
}

namespace {

struct Pen {
    uint32_t text = 0, background = 0;
    uint16_t effects = 0;
};

// One character at double size at (x2, 0) of the Font buffer sprite.
void DrawDouble(const Pen& pen, int x2, const char* p, int length) {
    platform::DeviceContext* dc = Text.dc;
    const bool boldX = pen.effects & TEXT_BOLD_X, boldY = pen.effects & TEXT_BOLD_Y;
    if (pen.effects & TEXT_SHADOW) {
        platform::SetTextColor(dc, pen.background);
        platform::TextOut(dc, x2 + (boldX ? 3 : 2), boldY ? 3 : 2, p, length);
    }
    platform::SetTextColor(dc, pen.text);
    platform::TextOut(dc, x2, 0, p, length);
    if (boldX) platform::TextOut(dc, x2 + 1, 0, p, length);
    if (boldX && boldY) platform::TextOut(dc, x2 + 1, 1, p, length);
    if (boldY) platform::TextOut(dc, x2, 1, p, length);
}

struct Segment {
    int lineStart = 0, rowTop = 0;
    int width = 0;       // double-size pixels drawn on the Font buffer sprite
    int lineHeight = 0;  // double-size
};

// Cuts the segment at bottom, grows the block, reduces it and clears the Font buffer again.
void FinishSegment(const Segment& segment, int bottom) {
    int height = segment.lineHeight;
    if (segment.rowTop + height / 2 > bottom) height = (bottom - segment.rowTop) * 2;
    TextBlockRect& block = TextBlock.rects[0];
    block.right = std::max(block.right, segment.lineStart + segment.width / 2);
    block.bottom = std::max(block.bottom, segment.rowTop + height / 2);
    ReduceSegment(segment.lineStart, segment.rowTop, segment.width, height);
    // Only what the segment's text wrote needs clearing: the rest of the buffer is still clear from
    // the start of the block.
    const platform::Rect touched = platform::TakeTextTouched(Text.dc);
    CloseBufferContext();
    if (platform::Surface* buffer = ObjectSurface(kFontBufferSprite);
        buffer != nullptr && touched.left < touched.right && touched.top < touched.bottom)
        platform::FillRect(*buffer, touched, 0);
    OpenBufferContext();
}

void LaySmooth(const Pen& pen, int left, int top, int right, int bottom, const char* text) {
    platform::Surface* buffer = ObjectSurface(kFontBufferSprite);
    const int bufferWidth = buffer != nullptr ? buffer->width : 0;
    const uint16_t effects = pen.effects;
    const int baseHeight = (effects & 0xFF) + Text.currentFontSize;
    TextBlock.rects[0] = {left, top, left, top};
    int count = 1;
    Segment segment{left, top, 0, baseHeight};
    const char* p = text;
    bool stopped = top >= bottom;
    while (!stopped && *p != '\0' && count < kTextRectCount) {
        const int length = CharLength(p);
        const bool lineFeed = *p == '\n';
        int cx = 0, cy = 0;
        if (!lineFeed) {
            const platform::TextSize size = platform::GetTextExtent(Text.dc, p, length);
            cx = size.cx;
            cy = size.cy;
        }
        cx = (cx + 1) & ~1;
        cy = (cy + 1) & ~1;
        if (effects & TEXT_SHADOW) cx += 2, cy += 2;
        if (effects & TEXT_BOLD_X) cx += 1;
        if (effects & TEXT_BOLD_Y) cy += 1;
        const int x2 = segment.width;
        TextBlock.rects[count++] = {segment.lineStart + x2 / 2, segment.rowTop,
                                    segment.lineStart + (x2 + cx) / 2, segment.rowTop + cy / 2};
        segment.width += cx;
        segment.lineHeight = std::max(segment.lineHeight, cy);
        const bool atRight = segment.lineStart + segment.width / 2 >= right;
        if (!atRight && segment.width < bufferWidth && !lineFeed) {
            DrawDouble(pen, x2, p, length);
            p += length;
            continue;
        }
        --count;
        bool nextRow = lineFeed;
        if (atRight && !lineFeed && NoLineStart(p, length)) {
            // Hangs past the right edge: drawn and reduced with its segment, without a cell.
            DrawDouble(pen, x2, p, length);
            p += length;
            nextRow = true;
        } else {
            segment.width -= cx;  // starts the next segment
            if (lineFeed) p += length;
        }
        FinishSegment(segment, bottom);
        const bool empty = segment.width == 0;
        segment.lineStart += segment.width / 2;
        if (nextRow || segment.lineStart + cx / 2 >= right || empty) {
            if (segment.lineHeight / 2 <= 0 && !lineFeed) break;  // the rows would not move on
            segment.lineStart = left;
            segment.rowTop += segment.lineHeight / 2;
        }
        segment.width = 0;
        segment.lineHeight = baseHeight;
        stopped = segment.rowTop >= bottom;
    }
    if (!stopped && segment.width > 0) FinishSegment(segment, bottom);
    TextBlock.charCount = count;
}

}  // namespace

void SetSmoothFont(int face, int size) {
    const char* name = face == 0 || face == 1 ? kSmoothFaces[face] : nullptr;
    OpenSmoothBracket(name, size, platform::SHIFTJIS_CHARSET);
}

void SetSmoothFontName(const char* faceName, int size) {
    if (faceName == nullptr) faceName = "";
    OpenSmoothBracket(faceName, size, ListedCharset(faceName));
}

void ReleaseSmoothFont() {
    ReleaseFont();
}

void DrawSmoothText(int left, int top, int right, int bottom, const char* text, uint16_t effects) {
    const bool bracketOpen = Text.font != nullptr;
    ReleaseFont();
    ClearObject(kFontSprite);
    ClearObject(kFontBufferSprite);
    Text.font = CreateRecordFont();
    OpenBufferContext();
    Pen pen{LiftColor(Text.textColor), LiftColor(Text.backgroundColor), effects};
    // Only 16- and 32-bit pixels can be reduced; every surface here has one of the two.
    LaySmooth(pen, left, top, right, bottom, text != nullptr ? text : "");
    if (TextBlock.blitFlag == 1) {
        const TextBlockRect& r = TextBlock.rects[0];
        BltObject(r.left, r.top, kFontSprite, r.left, r.top, r.right, r.bottom);
    }
    if (!bracketOpen) ReleaseFont();  // nothing was open to go on with
    TextBlock.shown = 0;
    TextBlock.revealTimer = 0.0f;
    TextBlock.blitFlag = 1;
}

void LayoutSmoothText(int left, int top, int right, int bottom, const char* text, uint16_t effects) {
    TextBlock.blitFlag = 0;
    DrawSmoothText(left, top, right, bottom, text, effects);
}
