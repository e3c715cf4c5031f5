// Vector drawing on the back buffer: single pixels, lines, rectangles, polygons and Bézier curves.
// Colours are 0x00BBGGRR (see <el/colors.h>). Nothing is drawn between SetFont and ReleaseFont, while
// the text holds the back buffer: draw shapes first, text after them.
#pragma once
#include <cstdint>

namespace elDraw {

// A point of a polygon or curve, in screen pixels.
struct Point {
    int32_t x = 0;
    int32_t y = 0;
};

}  // namespace elDraw

// Hatch modes of DrawPolygon.
namespace elFill {
constexpr int Outline = 0;             // the outline only
constexpr int Hatched = 1;             // diagonal crosses on the background colour
constexpr int HatchedTransparent = 2;  // diagonal crosses, the background left as it is
}  // namespace elFill

// The pixel's colour as the back buffer shows it: red, green and blue bytes.
void GetPixelRGB(int x, int y, int* red, int* green, int* blue);
// Sets one pixel.
void PutPixel(int x, int y, uint32_t color);
// A line from (x1, y1) to (x2, y2) with a pen of that width.
void DrawLine(int x1, int y1, int x2, int y2, uint32_t color, int penWidth);
// A filled rectangle with an outline of the pen colour and width.
void DrawRectangle(int left, int top, int right, int bottom, uint32_t fillColor, uint32_t penColor,
                   int penWidth);
// Fill mode 0 draws the outline only; otherwise the inside is hatched with diagonal crosses in the
// colour, on the background colour, or on a transparent background in fill mode 2.
void DrawPolygon(const elDraw::Point* points, int count, uint32_t color, uint32_t backgroundColor,
                 int penWidth, int fillMode);
// A Bézier curve through count points (1 + 3n): start, two control points and end, and so on.
void DrawBezier(const elDraw::Point* points, int count, uint32_t color, int penWidth);
