// Text through a surface's device context: font descriptions and fonts, colours and background
// mode, single lines, word-wrapped boxes and measurement, and the list of installed faces.
//
// Texts are the system's own bytes (Shift-JIS; a double-byte character counts two), lengths are
// byte counts. Colours are colour values 0x00BBGGRR. Faces, sizes and glyphs are cached inside
// the platform, so creating a font, borrowing a context and drawing a short line per call is cheap.
// Window thread only: nothing here is guarded against other threads.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/surface.h"
#include "platform/window.h"  // Rect

namespace platform {

// Character sets of a font description and of the installed-face list.
enum : uint8_t {
    ANSI_CHARSET = 0,
    SYMBOL_CHARSET = 2,
    SHIFTJIS_CHARSET = 128,
};

// Background modes.
enum : int {
    TRANSPARENT = 1,  // only the glyphs' pixels are written
    OPAQUE = 2,       // the text's cells are filled with the background colour first
};

// DrawText format bits.
enum : uint32_t {
    DT_LEFT = 0x0000,
    DT_TOP = 0x0000,
    DT_CENTER = 0x0001,
    DT_RIGHT = 0x0002,
    DT_VCENTER = 0x0004,     // with DT_SINGLELINE
    DT_BOTTOM = 0x0008,      // with DT_SINGLELINE
    DT_WORDBREAK = 0x0010,   // wrap at spaces and between double-byte characters
    DT_SINGLELINE = 0x0020,  // line feeds and returns do not break the line
    DT_NOCLIP = 0x0100,      // draw outside the rectangle too (never outside the surface)
    DT_CALCRECT = 0x0400,    // measure only: right and bottom grow or shrink to the text
    DT_NOPREFIX = 0x0800,    // "&" is an ordinary character (else "&x" underlines x, "&&" is "&")
};

constexpr int LF_FACESIZE = 32;

// What a font is made from; the fields of the old font description that the engine sets.
struct FontDescription {
    // > 0: cell height (ascent + descent) in pixels; < 0: character (em) height; 0: the default (16).
    int32_t height = 0;
    int32_t escapement = 0;  // tenths of a degree, anticlockwise: 900 runs upwards
    int32_t weight = 0;      // 0 the face's own weight, 400 normal, 700 bold (600 and above are bold)
    uint8_t italic = 0;      // non-zero: italic (slanted when the face has no italic style)
    uint8_t underline = 0;   // non-zero: underlined
    uint8_t charset = SHIFTJIS_CHARSET;
    // Shift-JIS, NUL-terminated. "標準ゴシック" and "標準明朝" are the standard Gothic (sans-serif)
    // and Mincho (serif) Japanese faces; any other name is a family name, and a name that is not
    // installed (or an empty one) gets the standard Gothic face.
    char faceName[LF_FACESIZE] = {};
};

struct Font;           // a created font
struct DeviceContext;  // a surface lent out for text drawing

// Never null. Glyphs that the chosen face lacks are taken from the standard Gothic face.
Font* CreateFont(const FontDescription& description);
// False (and the font stays) while the font is selected into a device context. Null is ignored.
bool DeleteFont(Font* font);

// Borrows the surface for drawing until ReleaseDC. Null when the surface is lost, has no pixels,
// or already lends a context; every call below does nothing with a null context. A new context
// holds the default font (standard Gothic, 16 pixels), black text on white, opaque background.
// The surface must stay in place and keep its size while the context is out.
DeviceContext* GetDC(Surface& surface);
void ReleaseDC(DeviceContext* dc);
Surface* GetDCSurface(DeviceContext* dc);

// Returns the font selected before; null selects the default font (and is what a new context's
// first SelectFont returns).
Font* SelectFont(DeviceContext* dc, Font* font);
// Each returns the previous value. Colours reach the surface in its format (RGB565 keeps the top
// 5, 6 and 5 bits of red, green and blue).
uint32_t SetTextColor(DeviceContext* dc, uint32_t color);
uint32_t SetBkColor(DeviceContext* dc, uint32_t color);
int SetBkMode(DeviceContext* dc, int mode);

// Draws one line with the top-left corner of its first cell at (x, y) (the cell's top-left in the
// direction of the escapement). Control characters are drawn as glyphs, never interpreted; invalid
// or cut-off double-byte sequences are drawn as "・". Clipped at the surface's edges.
bool TextOut(DeviceContext* dc, int x, int y, const char* text, int length);

struct TextSize {
    int cx = 0, cy = 0;
};
// Width (sum of the advances) and cell height of one line in the selected font.
TextSize GetTextExtent(DeviceContext* dc, const char* text, int length);

struct TextMetrics {
    int height = 0, ascent = 0, descent = 0;
    int averageCharWidth = 0, maxCharWidth = 0;
};
TextMetrics GetTextMetrics(DeviceContext* dc);

// Draws (or with DT_CALCRECT measures) text in a rectangle; length -1 means NUL-terminated.
// Returns the height of the text (with DT_VCENTER or DT_BOTTOM on a single line: the offset from
// rect.top to the bottom of the text); 0 for an empty text or a null context.
int DrawText(DeviceContext* dc, const char* text, int length, Rect& rect, uint32_t format);

// One installed face as a face name the fonts accept.
struct FontFace {
    char faceName[LF_FACESIZE] = {};  // Shift-JIS, NUL-terminated
    uint8_t charset = ANSI_CHARSET;   // SHIFTJIS_CHARSET for faces with Japanese, SYMBOL_CHARSET, ANSI_CHARSET
};
// The standard Gothic and Mincho names first, then every installed family once, in byte order:
// by its Japanese name where it has one, else by its first family name, cut to the face-name
// field on a whole character. Every name listed selects its family. The system is asked once.
std::vector<FontFace> EnumerateFontFaces();

}  // namespace platform
