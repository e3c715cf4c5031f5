// Operations on pixel surfaces: creation, keyed and opaque copies, stretched copies, colour fills,
// raw access and colour conversion, and turning decoded pictures into surfaces.
//
// Every copy and fill is clipped against the surfaces it touches: whatever rectangle a caller
// passes (negative, reversed, larger than the picture), no pixel outside a surface is read or
// written. A reversed or empty rectangle draws nothing and is not an error.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/surface.h"
#include "platform/window.h"  // platform::Rect

namespace platform {

struct Picture;  // platform/bmp.h

// Result codes of the operations that the engine checks.
enum : int {
    BLIT_OK = 0,
    // A surface taking part has its lost flag raised; nothing was drawn. The engine answers with its
    // restore path. The value is the one the old display interface used for this error.
    SURFACE_LOST = static_cast<int>(0x887601C2u),
    // The surfaces differ in pixel format, or a surface's size, pitch and pixel store disagree.
    BLIT_INVALID = static_cast<int>(0x80070057u),
};

// Largest width or height CreateSurface accepts.
constexpr int kMaxSurfaceSide = 16384;

// A surface of the given size and format, every pixel 0, rows padded to a multiple of 4 bytes.
// A size below 1 or above kMaxSurfaceSide in either direction gives an empty 0 x 0 surface.
Surface CreateSurface(int width, int height, PixelFormat format);

// True when the surface's width, height, pitch and pixel store are consistent, so that every
// pixel (0..width-1, 0..height-1) lies inside the store. Operations refuse other surfaces.
bool IsSurfaceValid(const Surface& surface);

// Copies srcRect of src to (x, y) of dst, leaving out source pixels equal to src.colorKey
// (for XRGB8888 only the low 24 bits are compared). The rectangle is clipped against src and
// the copy against dst. src and dst may be the same surface, also with overlapping areas.
int BltKeyed(Surface& dst, int x, int y, const Surface& src, const Rect& srcRect);
// The same without colour key: every pixel of the rectangle is copied.
int BltOpaque(Surface& dst, int x, int y, const Surface& src, const Rect& srcRect);

// Nearest-neighbour stretched copies of srcRect onto dstRect. Destination pixel column i (0-based in
// dstRect) takes source column srcRect.left + floor((2i + 1) * srcWidth / (2 * dstWidth)), rows alike.
// The mapping is made on the rectangles as given; destination pixels outside dst, and those
// whose source pixel lies outside src, are left untouched. Reversed rectangles draw nothing.
int StretchBltKeyed(Surface& dst, const Rect& dstRect, const Surface& src, const Rect& srcRect);
int StretchBltOpaque(Surface& dst, const Rect& dstRect, const Surface& src, const Rect& srcRect);

// Fills rect (clipped to the surface) with a raw pixel value of the surface's format
// (RGB565 uses the low 16 bits).
int FillRect(Surface& dst, const Rect& rect, uint32_t rawColor);
// Fills the whole surface.
int FillSurface(Surface& dst, uint32_t rawColor);

// Raw access. Lock gives the surface's memory; SURFACE_LOST when the surface is lost,
// BLIT_INVALID when it is inconsistent. Unlock ends the access (kept for the engine's symmetry;
// surfaces stay in system memory, so nothing moves in between).
struct LockedPixels {
    uint8_t* bits = nullptr;
    int pitch = 0;  // bytes per row
    int width = 0;
    int height = 0;
    PixelFormat format = PixelFormat::RGB565;
};
int Lock(Surface& surface, LockedPixels& out);
void Unlock(Surface& surface);

// One raw pixel; outside the surface GetRawPixel gives 0 and SetRawPixel does nothing.
uint32_t GetRawPixel(const Surface& surface, int x, int y);
void SetRawPixel(Surface& surface, int x, int y, uint32_t rawColor);

// Colour conversion between 0x00BBGGRR colours and raw pixels.
// ColorToRaw stores a colour as the display would: RGB565 keeps the top 5, 6, 5 bits of red,
// green, blue, so near-black colours such as 0x00070307 fold into raw 0.
uint32_t ColorToRaw(PixelFormat format, uint32_t color);
// RawToColor widens each channel by shifting it up (565 white gives 0x00FCF8F8), so that
// ColorToRaw(RawToColor(raw)) == raw.
uint32_t RawToColor(PixelFormat format, uint32_t raw);
// The raw value the surface uses for a colour; the colour 0xFFFFFFFF (-1) stands for whatever
// the top-left pixel holds (0 for an empty surface).
uint32_t MatchColor(const Surface& surface, uint32_t color);

// 0x00RRGGBB (a decoded picture's pixel) to a raw pixel and back. RGB565 truncates.
uint32_t RgbToRaw(PixelFormat format, uint32_t rgb);
uint32_t RawToRgb(PixelFormat format, uint32_t raw);

// A new surface of the picture's size holding the picture in the given format.
Surface SurfaceFromPicture(const Picture& picture, PixelFormat format);
// Draws the whole picture over the whole surface, stretched by nearest neighbour where the sizes
// differ (the surface's own size and format are kept). SURFACE_LOST / BLIT_INVALID as above.
int CopyPictureToSurface(Surface& dst, const Picture& picture);

// The inner loops exist in several instruction-set levels; the best one the processor has is
// chosen at start. Tests and benchmarks may pin a lower level.
enum class BlitLevel : uint8_t { Scalar, SSE2, AVX2, AVX512 };
BlitLevel ActiveBlitLevel();
BlitLevel BestBlitLevel();           // the best level this processor supports
bool SetBlitLevel(BlitLevel level);  // false (and no change) when the processor lacks it
const char* BlitLevelName(BlitLevel level);

}  // namespace platform
