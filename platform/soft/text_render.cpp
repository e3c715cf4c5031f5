// Device contexts of surfaces and the text drawn through them: single lines, measurement and
// word-wrapped boxes, in upright, quarter-turned and freely rotated directions.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

#include "platform/soft/font_cache.h"
#include "platform/soft/glyph_cache.h"
#include "platform/soft/text_encoding.h"
#include "platform/soft/text_touched.h"
#include "platform/text.h"

namespace platform {

struct DeviceContext {
    Surface* surface = nullptr;
    Font* font = nullptr;  // null: the default font
    uint32_t textColor = 0x000000, bkColor = 0xFFFFFF;
    uint32_t textPixel = 0, bkPixel = 0;
    int bkMode = OPAQUE;
    bool inUse = false;
    int touchedLeft = 0, touchedTop = 0, touchedRight = 0, touchedBottom = 0;  // empty: left >= right
};

namespace {

using text::Char;
using text::Glyph;

constexpr int kContexts = 16;
// Coordinates and widths beyond this reach no surface; keeping within it keeps the sums in range.
constexpr int kFar = 1 << 28;

struct TextRenderState {
    DeviceContext contexts[kContexts];
    Font* defaultFont = nullptr;
    // Work buffers of DrawText and TextOut, kept between calls.
    std::vector<Char> chars;
    std::vector<int> advances;
};
TextRenderState g_text;

uint32_t ToPixel(uint32_t color, PixelFormat format) {
    uint32_t r = color & 0xFF, g = color >> 8 & 0xFF, b = color >> 16 & 0xFF;
    if (format == PixelFormat::RGB565) return (r >> 3) << 11 | (g >> 2) << 5 | b >> 3;
    return r << 16 | g << 8 | b;
}

Font& ActiveFont(const DeviceContext& dc) {
    if (dc.font != nullptr) return *dc.font;
    if (g_text.defaultFont == nullptr) g_text.defaultFont = CreateFont(FontDescription{});
    return *g_text.defaultFont;
}

struct Box {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
};

// The pixels a drawing call may write: the part of the surface that its pixel buffer really
// holds, cut to the call's clip box.
class Canvas {
  public:
    Canvas(Surface& surface, const Box* clip, DeviceContext* touched = nullptr)
        : surface_(surface), bytes_(BytesPerPixel(surface.format)), touched_(touched) {
        int rows = surface.pitch > 0 ? static_cast<int>(surface.pixels.size() / surface.pitch) : 0;
        clip_ = Box{0, 0, std::min(surface.width, surface.pitch / bytes_), std::min(surface.height, rows)};
        if (clip != nullptr) {
            clip_.left = std::max(clip_.left, clip->left);
            clip_.top = std::max(clip_.top, clip->top);
            clip_.right = std::min(clip_.right, clip->right);
            clip_.bottom = std::min(clip_.bottom, clip->bottom);
        }
    }

    const Box& clip() const { return clip_; }
    bool empty() const { return clip_.left >= clip_.right || clip_.top >= clip_.bottom; }

    void Put(int x, int y, uint32_t pixel) {
        if (x >= clip_.left && x < clip_.right && y >= clip_.top && y < clip_.bottom) {
            Touch(x, y, x + 1, y + 1);
            Store(Address(x, y), pixel);
        }
    }

    void Fill(int left, int top, int right, int bottom, uint32_t pixel) {
        left = std::max(left, clip_.left);
        top = std::max(top, clip_.top);
        right = std::min(right, clip_.right);
        bottom = std::min(bottom, clip_.bottom);
        Touch(left, top, right, bottom);
        for (int y = top; y < bottom; ++y) {
            uint8_t* p = Address(left, y);
            for (int x = left; x < right; ++x, p += bytes_) Store(p, pixel);
        }
    }

    // An upright glyph bitmap with its top-left pixel at (x, y).
    void Bitmap(int x, int y, const Glyph& glyph, uint32_t pixel) {
        if (glyph.bits == nullptr) return;
        int i0 = std::max(0, clip_.left - x), i1 = std::min(glyph.width, clip_.right - x);
        int j0 = std::max(0, clip_.top - y), j1 = std::min(glyph.rows, clip_.bottom - y);
        Touch(x + i0, y + j0, x + i1, y + j1);
        for (int j = j0; j < j1; ++j) {
            const uint8_t* bits = glyph.bits + static_cast<size_t>(j) * glyph.pitch;
            uint8_t* row = Address(x, y + j);
            for (int i = i0; i < i1; ++i) {
                if (bits[i >> 3] & (0x80 >> (i & 7))) Store(row + static_cast<ptrdiff_t>(i) * bytes_, pixel);
            }
        }
    }

  private:
    // Grows the context's box of written pixels by a box that may be written.
    void Touch(int left, int top, int right, int bottom) {
        if (touched_ == nullptr || left >= right || top >= bottom) return;
        DeviceContext& dc = *touched_;
        if (dc.touchedLeft >= dc.touchedRight) {
            dc.touchedLeft = left, dc.touchedTop = top, dc.touchedRight = right, dc.touchedBottom = bottom;
            return;
        }
        dc.touchedLeft = std::min(dc.touchedLeft, left);
        dc.touchedTop = std::min(dc.touchedTop, top);
        dc.touchedRight = std::max(dc.touchedRight, right);
        dc.touchedBottom = std::max(dc.touchedBottom, bottom);
    }
    uint8_t* Address(int x, int y) {
        return surface_.pixels.data() + static_cast<size_t>(y) * surface_.pitch +
               static_cast<size_t>(x) * bytes_;
    }
    void Store(uint8_t* p, uint32_t pixel) {
        if (bytes_ == 2) {
            uint16_t value = static_cast<uint16_t>(pixel);
            memcpy(p, &value, 2);
        } else {
            memcpy(p, &pixel, 4);
        }
    }

    Surface& surface_;
    int bytes_;
    Box clip_;
    DeviceContext* touched_;
};

// Where a line goes: text space has u along the baseline and v downwards across it, both from the
// top-left corner of the first cell, which sits at (x, y) on the surface.
struct Placement {
    int x = 0, y = 0;
    int quarter = 0;  // 0..3: quarter turns anticlockwise; -1: a free angle
    int angle = 0;    // tenths of a degree
    double cosine = 1, sine = 0;

    Placement(int x, int y, int escapement) : x(x), y(y), angle(escapement) {
        if (escapement % 900 == 0) {
            quarter = escapement / 900;
            static const int kCos[4] = {1, 0, -1, 0};
            static const int kSin[4] = {0, 1, 0, -1};
            cosine = kCos[quarter];
            sine = kSin[quarter];
        } else {
            quarter = -1;
            double radians = escapement * std::numbers::pi / 1800.0;
            cosine = std::cos(radians);
            sine = std::sin(radians);
        }
    }

    // The surface pixel covered by the text-space pixel whose top-left corner is (u, v).
    void Map(int u, int v, int& sx, int& sy) const {
        switch (quarter) {
            case 1:
                sx = x + v, sy = y - u - 1;
                break;
            case 2:
                sx = x - u - 1, sy = y - v - 1;
                break;
            case 3:
                sx = x - v - 1, sy = y + u;
                break;
            default:
                sx = x + u, sy = y + v;
                break;
        }
    }
};

// Fills the text-space rectangle [u0, u1) x [v0, v1).
void FillTextBox(Canvas& canvas, const Placement& at, int u0, int v0, int u1, int v1, uint32_t pixel) {
    if (u0 >= u1 || v0 >= v1) return;
    if (at.quarter >= 0) {
        int ax, ay, bx, by;
        at.Map(u0, v0, ax, ay);
        at.Map(u1 - 1, v1 - 1, bx, by);
        canvas.Fill(std::min(ax, bx), std::min(ay, by), std::max(ax, bx) + 1, std::max(ay, by) + 1, pixel);
        return;
    }
    // Free angle: every pixel whose centre lies inside the turned rectangle.
    double xs[4], ys[4];
    const int us[4] = {u0, u1, u1, u0}, vs[4] = {v0, v0, v1, v1};
    for (int i = 0; i < 4; ++i) {
        xs[i] = at.x + us[i] * at.cosine + vs[i] * at.sine;
        ys[i] = at.y - us[i] * at.sine + vs[i] * at.cosine;
    }
    const Box& clip = canvas.clip();
    int left = std::max(clip.left, static_cast<int>(std::floor(*std::min_element(xs, xs + 4))));
    int right = std::min(clip.right, static_cast<int>(std::ceil(*std::max_element(xs, xs + 4))));
    int top = std::max(clip.top, static_cast<int>(std::floor(*std::min_element(ys, ys + 4))));
    int bottom = std::min(clip.bottom, static_cast<int>(std::ceil(*std::max_element(ys, ys + 4))));
    for (int sy = top; sy < bottom; ++sy) {
        for (int sx = left; sx < right; ++sx) {
            double dx = sx + 0.5 - at.x, dy = sy + 0.5 - at.y;
            double u = dx * at.cosine - dy * at.sine, v = dx * at.sine + dy * at.cosine;
            if (u >= u0 && u < u1 && v >= v0 && v < v1) canvas.Put(sx, sy, pixel);
        }
    }
}

// The glyph of a character in the font, from the standard Gothic face when the font's face lacks it.
const Glyph& LookUp(const Font& font, char32_t code, int angle) {
    text::GlyphStyle style{font.syntheticBold, font.syntheticItalic, angle};
    const Glyph& glyph = text::GetGlyph(font.size, code, style);
    if (!glyph.missing || font.fallbackSize == nullptr || code < 0x20) return glyph;
    text::GlyphStyle fallbackStyle{font.fallbackBold, font.fallbackItalic, angle};
    const Glyph& fallback = text::GetGlyph(font.fallbackSize, code, fallbackStyle);
    if (!fallback.missing) return fallback;
    // Neither face has it: the font's own default glyph (looked up again, as the fallback's
    // lookup may have emptied the cache).
    return text::GetGlyph(font.size, code, style);
}

int Advance(const Font& font, char32_t code) {
    return LookUp(font, code, 0).advanceX;
}

int Extent(const Font& font, const Char* chars, int count) {
    int width = 0;
    for (int i = 0; i < count && width < kFar; ++i) width += Advance(font, chars[i].code);
    return std::min(width, kFar);
}

int ClampFar(int64_t value) {
    return static_cast<int>(std::clamp<int64_t>(value, -kFar, kFar));
}

void UnderlineBox(Canvas& canvas, const Placement& at, const Font& font, int u0, int u1, uint32_t pixel) {
    int top = font.size != nullptr ? font.size->underlineTop : font.ascent + 1;
    int thickness = font.size != nullptr ? font.size->underlineThickness : 1;
    FillTextBox(canvas, at, u0, top, u1, top + thickness, pixel);
}

// Draws one line of decoded characters whose width is already known.
void DrawRun(DeviceContext& dc, Canvas& canvas, int x, int y, const Char* chars, int count, int extent) {
    const Font& font = ActiveFont(dc);
    Placement at(x, y, font.escapement);
    if (dc.bkMode == OPAQUE) FillTextBox(canvas, at, 0, 0, extent, font.height, dc.bkPixel);
    if (at.quarter == 0) {
        int pen = x;
        int baseline = y + font.ascent;
        for (int i = 0; i < count && pen - 1024 < canvas.clip().right; ++i) {
            const Glyph& glyph = LookUp(font, chars[i].code, 0);
            int advance = glyph.advanceX;
            canvas.Bitmap(pen + glyph.left, baseline - glyph.top, glyph, dc.textPixel);
            if (chars[i].prefixed) UnderlineBox(canvas, at, font, pen - x, pen - x + advance, dc.textPixel);
            pen += advance;
        }
    } else if (at.quarter > 0) {
        int pen = 0;
        for (int i = 0; i < count && pen < kFar; ++i) {
            const Glyph& glyph = LookUp(font, chars[i].code, 0);
            int advance = glyph.advanceX;
            if (glyph.bits != nullptr) {
                for (int j = 0; j < glyph.rows; ++j) {
                    const uint8_t* bits = glyph.bits + static_cast<size_t>(j) * glyph.pitch;
                    for (int k = 0; k < glyph.width; ++k) {
                        if (!(bits[k >> 3] & (0x80 >> (k & 7)))) continue;
                        int sx, sy;
                        at.Map(pen + glyph.left + k, font.ascent - glyph.top + j, sx, sy);
                        canvas.Put(sx, sy, dc.textPixel);
                    }
                }
            }
            if (chars[i].prefixed) UnderlineBox(canvas, at, font, pen, pen + advance, dc.textPixel);
            pen += advance;
        }
    } else {
        // Free angle: the pen runs along the turned baseline in 1/64 pixels.
        int64_t penX = int64_t{x} * 64 + std::lround(font.ascent * at.sine * 64);
        int64_t penY = int64_t{y} * 64 + std::lround(font.ascent * at.cosine * 64);
        int u = 0;
        for (int i = 0; i < count && u < kFar; ++i) {
            const Glyph& glyph = LookUp(font, chars[i].code, at.angle);
            int gx = static_cast<int>((penX + 32) >> 6) + glyph.left;
            int gy = static_cast<int>((penY + 32) >> 6) - glyph.top;
            int advanceX = glyph.advanceX, advanceY = glyph.advanceY;
            canvas.Bitmap(gx, gy, glyph, dc.textPixel);
            int advance = static_cast<int>(std::lround(std::hypot(advanceX, advanceY) / 64));
            if (chars[i].prefixed) UnderlineBox(canvas, at, font, u, u + advance, dc.textPixel);
            u += advance;
            penX += advanceX;
            penY -= advanceY;
        }
    }
    if (font.underline) UnderlineBox(canvas, at, font, 0, extent, dc.textPixel);
}

bool IsSpace(const Char& c) {
    return c.code == ' ' || c.code == 0x3000;
}
bool IsLineBreak(const Char& c) {
    return c.code == '\r' || c.code == '\n';
}

// Lines may break after spaces and before or after a double-byte character, never before a space.
bool CanBreakBefore(const Char* chars, int i) {
    const Char& previous = chars[i - 1];
    const Char& current = chars[i];
    if (IsSpace(current)) return false;
    return IsSpace(previous) || previous.wide || current.wide;
}

// Turns "&x" into an underlined x and "&&" into "&".
void ApplyPrefixes(std::vector<Char>& chars) {
    size_t out = 0;
    for (size_t i = 0; i < chars.size(); ++i) {
        if (chars[i].code == '&') {
            if (i + 1 == chars.size()) break;
            ++i;
            chars[out] = chars[i];
            chars[out].prefixed = chars[i].code != '&';
            ++out;
            continue;
        }
        chars[out++] = chars[i];
    }
    chars.resize(out);
}

struct LineSpan {
    int begin = 0, end = 0;  // characters drawn
    int next = 0;            // first character of the next line
    int width = 0;
};

// Finds the line that starts at begin.
LineSpan NextLine(const std::vector<Char>& chars, const std::vector<int>& advances, int begin,
                  int64_t maxWidth, uint32_t format) {
    int count = static_cast<int>(chars.size());
    bool wrap = (format & DT_WORDBREAK) && !(format & DT_SINGLELINE);
    LineSpan line{begin, count, count, 0};
    int64_t width = 0;
    int breakAt = -1;
    for (int i = begin; i < count; ++i) {
        if (!(format & DT_SINGLELINE) && IsLineBreak(chars[i])) {
            line.end = i;
            line.next = i + 1 < count && chars[i].code == '\r' && chars[i + 1].code == '\n' ? i + 2 : i + 1;
            line.width = ClampFar(width);
            return line;
        }
        if (wrap && i > begin) {
            if (CanBreakBefore(chars.data(), i)) breakAt = i;
            if (width + advances[i] > maxWidth && !IsSpace(chars[i]) && breakAt > begin) {
                // A soft break: the spaces before it are neither drawn nor counted.
                int end = breakAt;
                while (end > begin && IsSpace(chars[end - 1])) --end;
                line.end = end;
                line.next = breakAt;
                int64_t drawn = 0;
                for (int k = begin; k < end; ++k) drawn += advances[k];
                line.width = ClampFar(drawn);
                return line;
            }
        }
        width += advances[i];
    }
    line.width = ClampFar(width);
    return line;
}

}  // namespace

Rect TakeTextTouched(DeviceContext* dc) {
    if (dc == nullptr || dc->touchedLeft >= dc->touchedRight) return Rect{0, 0, 0, 0};
    const Rect touched{dc->touchedLeft, dc->touchedTop, dc->touchedRight, dc->touchedBottom};
    dc->touchedLeft = dc->touchedTop = dc->touchedRight = dc->touchedBottom = 0;
    return touched;
}

DeviceContext* GetDC(Surface& surface) {
    if (surface.lost || surface.width <= 0 || surface.height <= 0 || surface.pitch <= 0 ||
        surface.pixels.empty())
        return nullptr;
    DeviceContext* spare = nullptr;
    for (DeviceContext& dc : g_text.contexts) {
        if (dc.inUse && dc.surface == &surface) return nullptr;
        if (!dc.inUse && spare == nullptr) spare = &dc;
    }
    if (spare == nullptr) return nullptr;
    *spare = DeviceContext{};
    spare->inUse = true;
    spare->surface = &surface;
    spare->textPixel = ToPixel(spare->textColor, surface.format);
    spare->bkPixel = ToPixel(spare->bkColor, surface.format);
    return spare;
}

void ReleaseDC(DeviceContext* dc) {
    if (dc == nullptr || !dc->inUse) return;
    if (dc->font != nullptr) --dc->font->selectedCount;
    *dc = DeviceContext{};
}

Surface* GetDCSurface(DeviceContext* dc) {
    return dc != nullptr && dc->inUse ? dc->surface : nullptr;
}

Font* SelectFont(DeviceContext* dc, Font* font) {
    if (dc == nullptr || !dc->inUse || (font != nullptr && !font->alive)) return nullptr;
    Font* previous = dc->font;
    if (previous != nullptr) --previous->selectedCount;
    dc->font = font;
    if (font != nullptr) ++font->selectedCount;
    return previous;
}

uint32_t SetTextColor(DeviceContext* dc, uint32_t color) {
    if (dc == nullptr || !dc->inUse) return 0;
    uint32_t previous = dc->textColor;
    dc->textColor = color & 0xFFFFFF;
    dc->textPixel = ToPixel(dc->textColor, dc->surface->format);
    return previous;
}

uint32_t SetBkColor(DeviceContext* dc, uint32_t color) {
    if (dc == nullptr || !dc->inUse) return 0;
    uint32_t previous = dc->bkColor;
    dc->bkColor = color & 0xFFFFFF;
    dc->bkPixel = ToPixel(dc->bkColor, dc->surface->format);
    return previous;
}

int SetBkMode(DeviceContext* dc, int mode) {
    if (dc == nullptr || !dc->inUse || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    int previous = dc->bkMode;
    dc->bkMode = mode;
    return previous;
}

bool TextOut(DeviceContext* dc, int x, int y, const char* text, int length) {
    if (dc == nullptr || !dc->inUse || length < 0 || (text == nullptr && length > 0)) return false;
    if (length == 0 || x < -kFar || x > kFar || y < -kFar || y > kFar) return true;
    text::DecodeText(text, static_cast<size_t>(length), g_text.chars);
    const Font& font = ActiveFont(*dc);
    int count = static_cast<int>(g_text.chars.size());
    int extent = dc->bkMode == OPAQUE || font.underline ? Extent(font, g_text.chars.data(), count) : 0;
    Canvas canvas(*dc->surface, nullptr, dc);
    if (!canvas.empty()) DrawRun(*dc, canvas, x, y, g_text.chars.data(), count, extent);
    return true;
}

TextSize GetTextExtent(DeviceContext* dc, const char* text, int length) {
    if (dc == nullptr || !dc->inUse) return TextSize{};
    const Font& font = ActiveFont(*dc);
    TextSize size{0, font.height};
    if (text == nullptr || length <= 0) return size;
    text::DecodeText(text, static_cast<size_t>(length), g_text.chars);
    size.cx = Extent(font, g_text.chars.data(), static_cast<int>(g_text.chars.size()));
    return size;
}

TextMetrics GetTextMetrics(DeviceContext* dc) {
    if (dc == nullptr || !dc->inUse) return TextMetrics{};
    const Font& font = ActiveFont(*dc);
    TextMetrics metrics;
    metrics.height = font.height;
    metrics.ascent = font.ascent;
    metrics.descent = font.descent;
    if (font.size != nullptr) {
        metrics.averageCharWidth = font.size->averageCharWidth + (font.syntheticBold ? 1 : 0);
        metrics.maxCharWidth = font.size->maxCharWidth + (font.syntheticBold ? 1 : 0);
    }
    return metrics;
}

int DrawText(DeviceContext* dc, const char* text, int length, Rect& rect, uint32_t format) {
    if (dc == nullptr || !dc->inUse || text == nullptr) return 0;
    if (length < 0) length = static_cast<int>(strlen(text));
    std::vector<Char>& chars = g_text.chars;
    text::DecodeText(text, static_cast<size_t>(length), chars);
    if (!(format & DT_NOPREFIX)) ApplyPrefixes(chars);
    if (chars.empty()) {
        if (format & DT_CALCRECT) {
            rect.right = rect.left;
            rect.bottom = rect.top;
        }
        return 0;
    }
    const Font& font = ActiveFont(*dc);
    std::vector<int>& advances = g_text.advances;
    advances.resize(chars.size());
    bool single = format & DT_SINGLELINE;
    for (size_t i = 0; i < chars.size(); ++i)
        advances[i] = !single && IsLineBreak(chars[i]) ? 0 : Advance(font, chars[i].code);

    const int64_t lineHeight = font.height;
    const int64_t left = rect.left, right = rect.right, boxTop = rect.top, boxBottom = rect.bottom;
    int count = static_cast<int>(chars.size());
    int64_t top = boxTop;
    if (single && (format & DT_VCENTER)) top = boxTop + (boxBottom - boxTop - lineHeight) / 2;
    if (single && (format & DT_BOTTOM)) top = boxBottom - lineHeight;

    Box clip{rect.left, rect.top, rect.right, rect.bottom};
    Canvas canvas(*dc->surface, (format & DT_NOCLIP) ? nullptr : &clip, dc);
    bool draw = !(format & DT_CALCRECT) && !canvas.empty();
    int64_t y = top;
    int widest = 0;
    for (int begin = 0; begin < count;) {
        LineSpan line = NextLine(chars, advances, begin, right - left, format);
        widest = std::max(widest, line.width);
        if (draw && line.end > line.begin) {
            int64_t x = left;
            if (format & DT_CENTER)
                x = (left + right - line.width) / 2;
            else if (format & DT_RIGHT)
                x = right - line.width;
            if (y >= -kFar && y <= kFar && x >= -kFar && x <= kFar)
                DrawRun(*dc, canvas, static_cast<int>(x), static_cast<int>(y), chars.data() + line.begin,
                        line.end - line.begin, line.width);
        }
        y += lineHeight;
        begin = line.next;
        if (single) break;
    }
    auto toInt = [](int64_t value) {
        return static_cast<int>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
    };
    if (format & DT_CALCRECT) {
        rect.right = toInt(left + widest);
        rect.bottom = toInt(y);
    }
    return toInt(single && (format & (DT_VCENTER | DT_BOTTOM)) ? y - boxTop : y - top);
}

}  // namespace platform
