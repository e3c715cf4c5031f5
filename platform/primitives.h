// Vector drawing through a surface's device context (platform/text.h lends the contexts): single
// pixels, lines with one-pixel or wide pens, rectangles, filled polygons and Bézier curves.
//
// Coordinates are surface pixels; a point names the pixel itself. Everything is clipped to the
// surface, whatever the coordinates. Colours are 0x00BBGGRR and reach the surface in its format.
// Pens and brushes are plain values handed to each call; the background mode and colour of
// hatched brushes are the context's own (SetBkMode, SetBkColor).
#pragma once
#include <cstdint>

#include "platform/text.h"

namespace platform {

struct Point {
    int32_t x = 0, y = 0;
};

// A solid pen. A width of 1 or less draws one-pixel lines: from the start point up to but not
// including the end point. Wider pens draw every pixel whose centre lies within width / 2 of the
// segment (round ends and joins); even widths lie half a pixel up and to the left.
struct Pen {
    int width = 1;
    uint32_t color = 0x000000;
};

enum class BrushStyle : uint8_t {
    Solid,    // every pixel in the brush colour
    Hollow,   // nothing is filled
    Hatched,  // the diagonal cross: 8 x 8 pattern aligned to the surface origin, lines in the brush
              // colour, the gaps in the context's background colour unless its mode is TRANSPARENT
};

struct Brush {
    BrushStyle style = BrushStyle::Solid;
    uint32_t color = 0xFFFFFF;
};

constexpr uint32_t CLR_INVALID = 0xFFFFFFFF;

// The colour the pixel shows (each channel widened from the surface's format); CLR_INVALID
// outside the surface or for a null context.
uint32_t GetPixel(DeviceContext* dc, int x, int y);
// Writes the colour; returns the colour the pixel now shows, CLR_INVALID when nothing was written.
uint32_t SetPixel(DeviceContext* dc, int x, int y, uint32_t color);

// A line from (x1, y1) to (x2, y2).
bool DrawLine(DeviceContext* dc, const Pen& pen, int x1, int y1, int x2, int y2);
// The shape (left, top, right, bottom), right and bottom exclusive: the pen runs inside its
// edges, the brush fills what lies within the pen. A reversed rectangle is put in order first.
bool DrawRectangle(DeviceContext* dc, const Pen& pen, const Brush& brush, int left, int top, int right,
                   int bottom);
// A closed polygon: the inside (alternate rule; a pixel is inside when its centre is, pixels on a
// left or top edge count, on a right or bottom edge not) filled with the brush, then the outline
// drawn with the pen. Fewer than 2 points draw nothing.
bool DrawPolygon(DeviceContext* dc, const Pen& pen, const Brush& brush, const Point* points, int count);
// Cubic Bézier curves through 3n + 1 points (each curve starts where the last ended), flattened into
// short chords and drawn as one line with the pen. Any other count draws nothing.
bool DrawBezier(DeviceContext* dc, const Pen& pen, const Point* points, int count);

}  // namespace platform
