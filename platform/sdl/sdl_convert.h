// The back buffer turned into 32-bit pixels 0xFFRRGGBB for the screen, scaled by nearest neighbour.
#pragma once
#include <cstdint>

#include "platform/surface.h"

namespace platform::sdl {

// A rectangle of pixels.
struct Box {
    int x = 0, y = 0, width = 0, height = 0;
};

// Converts count pixels of one row. 5- and 6-bit channels widen to the nearest 8-bit value
// (v * 255 / 31 or / 63, rounded), the same values a graphics card gives an RGB565 texture.
// RGB565 rows take AVX2 steps at the blitter's AVX2 level and above (platform::SetBlitLevel).
void ConvertRow(const uint8_t* source, PixelFormat format, uint32_t* out, int count);

// Draws the source picture (width x height pixels of the given format, rows pitch bytes apart)
// into the target rectangle of a 32-bit buffer, nearest neighbour: whole-number factors repeat
// each pixel exactly, other sizes pick the source pixel under each target pixel's top-left corner.
// scratch holds at least source width pixels.
// Whole-number factors of 2 to 4 and multiples of 4 into rows on 16-byte boundaries go in one pass:
// each source row is read once, converted in registers and written factor times wide into its
// factor target rows with streaming stores; everything else goes through ScaleIntoByRows.
void ScaleInto(const uint8_t* source, int sourcePitch, PixelFormat format, int width, int height,
               uint8_t* target, int targetPitch, const Box& where, uint32_t* scratch);
// Whether a whole-number factor into rows from first, targetPitch bytes apart, goes in one pass.
bool OnePassTakes(const uint8_t* first, int targetPitch, int factor);
// The same pixels by rows: each source row converted into scratch, then widened a stretch at a
// time and streamed (whole-number factors) or picked column by column (other sizes).
void ScaleIntoByRows(const uint8_t* source, int sourcePitch, PixelFormat format, int width, int height,
                     uint8_t* target, int targetPitch, const Box& where, uint32_t* scratch);

// Fills the parts of a width x height 32-bit buffer outside the picture with black.
void FillBars(uint8_t* target, int targetPitch, int width, int height, const Box& picture);

}  // namespace platform::sdl
