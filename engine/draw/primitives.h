// Vector drawing on the back buffer: single pixels, lines, rectangles, polygons and Bézier curves,
// each through the back buffer's device context for the length of one call.
#pragma once
#include <cstdint>

#include "platform/primitives.h"

// The pixel's colour as the back buffer shows it: red, green and blue bytes.
void GetPixelRGB(int x, int y, int* red, int* green, int* blue);
void PutPixel(int x, int y, uint32_t color);
void DrawLine(int x1, int y1, int x2, int y2, uint32_t color, int penWidth);
void DrawRectangle(int left, int top, int right, int bottom, uint32_t fillColor, uint32_t penColor,
                   int penWidth);
// Fill mode 0 draws the outline only; otherwise the inside is hatched with diagonal crosses in the
// colour, on the background colour, or on a transparent background in fill mode 2.
void DrawPolygon(const platform::Point* points, int count, uint32_t color, uint32_t backgroundColor,
                 int penWidth, int fillMode);
void DrawBezier(const platform::Point* points, int count, uint32_t color, int penWidth);
