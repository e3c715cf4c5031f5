// Helpers of the surface tests: patterned surfaces and a per-pixel model of a clipped copy.
#pragma once
#include <cstdint>
#include <string>

#include "platform/blit.h"

namespace gfx_test {

using platform::PixelFormat;
using platform::Rect;
using platform::Surface;

// A surface whose pixel (x, y) holds a value that names its position (never 0).
inline Surface Numbered(int w, int h, PixelFormat f) {
    Surface s = platform::CreateSurface(w, h, f);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) platform::SetRawPixel(s, x, y, static_cast<uint32_t>(0x100 + x + 64 * y));
    return s;
}

// What a copy of rect r of src to (x, y) of dst must give: each destination pixel takes the
// source pixel that lies over it, if that one is inside both r and src (and is not the key).
inline Surface Model(const Surface& dst, int x, int y, const Surface& src, const Rect& r, bool keyed) {
    Surface out = dst;
    const uint32_t mask = src.format == PixelFormat::RGB565 ? 0xFFFF : 0xFFFFFF;
    for (int dy = 0; dy < dst.height; ++dy) {
        for (int dx = 0; dx < dst.width; ++dx) {
            const int64_t sx = int64_t{dx} - x + r.left, sy = int64_t{dy} - y + r.top;
            if (sx < r.left || sx >= r.right || sy < r.top || sy >= r.bottom) continue;
            if (sx < 0 || sy < 0 || sx >= src.width || sy >= src.height) continue;
            const uint32_t p = platform::GetRawPixel(src, static_cast<int>(sx), static_cast<int>(sy));
            if (keyed && ((p ^ src.colorKey) & mask) == 0) continue;
            platform::SetRawPixel(out, dx, dy, p);
        }
    }
    return out;
}

// The first differing pixel, for readable failures ("" when equal).
inline std::string Diff(const Surface& a, const Surface& b) {
    if (a.width != b.width || a.height != b.height) return "sizes differ";
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if (platform::GetRawPixel(a, x, y) != platform::GetRawPixel(b, x, y))
                return "pixel (" + std::to_string(x) + "," + std::to_string(y) +
                       "): " + std::to_string(platform::GetRawPixel(a, x, y)) + " vs " +
                       std::to_string(platform::GetRawPixel(b, x, y));
    return "";
}

}  // namespace gfx_test
