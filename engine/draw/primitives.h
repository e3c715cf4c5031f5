// Vector drawing on the back buffer: single pixels, lines, rectangles, polygons and Bézier curves,
// each through the back buffer's device context for the length of one call.
#pragma once
#include <el/primitives.h>

#include <cstdint>

#include "platform/primitives.h"

// The polygon and curve of <el/primitives.h> with the platform's points (what the public forms
// call after copying their points).
void DrawPolygon(const platform::Point* points, int count, uint32_t color, uint32_t backgroundColor,
                 int penWidth, int fillMode);
void DrawBezier(const platform::Point* points, int count, uint32_t color, int penWidth);
