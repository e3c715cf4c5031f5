// Surface creation, clipped keyed and opaque copies, stretched copies, fills and raw access.
#include "platform/blit.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/soft/blit_kernels.h"

namespace platform {
namespace {

// A copy that survived clipping: w x h pixels from (sx, sy) of the source to (dx, dy).
struct ClippedCopy {
    int dx, dy, sx, sy, w, h;
};

// Clips a copy of srcRect to (x, y) against the source picture and the destination surface.
// 64-bit arithmetic, so that no rectangle a caller passes can overflow. False when nothing is left.
bool ClipCopy(const Surface& dst, int x, int y, const Surface& src, const Rect& srcRect, ClippedCopy& out) {
    int64_t left = srcRect.left, top = srcRect.top, right = srcRect.right, bottom = srcRect.bottom;
    int64_t dx = x, dy = y;
    if (right <= left || bottom <= top) return false;
    // Clip against the source picture too: a rectangle past the sheet reads nothing.
    if (left < 0) {
        dx -= left;
        left = 0;
    }
    if (top < 0) {
        dy -= top;
        top = 0;
    }
    right = std::min<int64_t>(right, src.width);
    bottom = std::min<int64_t>(bottom, src.height);
    // Then against the destination.
    if (dx < 0) {
        left -= dx;
        dx = 0;
    }
    if (dy < 0) {
        top -= dy;
        dy = 0;
    }
    if (dx + (right - left) > dst.width) right = left + dst.width - dx;
    if (dy + (bottom - top) > dst.height) bottom = top + dst.height - dy;
    if (right <= left || bottom <= top) return false;
    out = ClippedCopy{static_cast<int>(dx),  static_cast<int>(dy),           static_cast<int>(left),
                      static_cast<int>(top), static_cast<int>(right - left), static_cast<int>(bottom - top)};
    return true;
}

// Checks shared by every two-surface operation.
int CheckPair(const Surface& dst, const Surface& src) {
    if (dst.lost || src.lost) return SURFACE_LOST;
    if (dst.format != src.format || !IsSurfaceValid(dst) || !IsSurfaceValid(src)) return BLIT_INVALID;
    return BLIT_OK;
}

bool SharesPixels(const Surface& a, const Surface& b) {
    return !a.pixels.empty() && a.pixels.data() == b.pixels.data();
}

bool Overlaps(const ClippedCopy& c) {
    return c.dx < c.sx + c.w && c.sx < c.dx + c.w && c.dy < c.sy + c.h && c.sy < c.dy + c.h;
}

// Scratch memory for copies within one surface; it grows to the largest such copy and stays.
std::vector<uint8_t>& Scratch() {
    thread_local std::vector<uint8_t> scratch;
    return scratch;
}

int Copy(Surface& dst, int x, int y, const Surface& src, const Rect& srcRect, bool keyed) {
    if (int r = CheckPair(dst, src); r != BLIT_OK) return r;
    ClippedCopy c;
    if (!ClipCopy(dst, x, y, src, srcRect, c)) return BLIT_OK;
    const size_t bpp = static_cast<size_t>(BytesPerPixel(dst.format));
    const size_t rowBytes = c.w * bpp;
    uint8_t* d = dst.pixels.data() + static_cast<size_t>(c.dy) * dst.pitch + c.dx * bpp;
    const uint8_t* s = src.pixels.data() + static_cast<size_t>(c.sy) * src.pitch + c.sx * bpp;
    ptrdiff_t srcPitch = src.pitch;
    const bool overlap = SharesPixels(dst, src) && Overlaps(c);

    if (!keyed) {
        if (!overlap) {
            blit_detail::ActiveKernels().opaque(d, dst.pitch, s, srcPitch, static_cast<int>(rowBytes), c.h);
        } else if (c.dy > c.sy) {  // moving down: take the rows from the bottom up
            for (int row = c.h - 1; row >= 0; --row)
                std::memmove(d + row * static_cast<ptrdiff_t>(dst.pitch), s + row * srcPitch, rowBytes);
        } else {
            for (int row = 0; row < c.h; ++row)
                std::memmove(d + row * static_cast<ptrdiff_t>(dst.pitch), s + row * srcPitch, rowBytes);
        }
        return BLIT_OK;
    }

    if (overlap) {  // keyed copy within one surface: read the source block before writing
        std::vector<uint8_t>& scratch = Scratch();
        if (scratch.size() < rowBytes * c.h) scratch.resize(rowBytes * c.h);
        for (int row = 0; row < c.h; ++row)
            std::memcpy(scratch.data() + row * rowBytes, s + row * srcPitch, rowBytes);
        s = scratch.data();
        srcPitch = static_cast<ptrdiff_t>(rowBytes);
    }
    const blit_detail::Kernels& k = blit_detail::ActiveKernels();
    if (dst.format == PixelFormat::RGB565)
        k.keyed16(d, dst.pitch, s, srcPitch, c.w, c.h, src.colorKey & 0xFFFF);
    else
        k.keyed32(d, dst.pitch, s, srcPitch, c.w, c.h, src.colorKey);
    return BLIT_OK;
}

// Source coordinate of destination step i (0-based) when `srcSize` pixels from `srcStart` are
// spread over `dstSize` pixels: the source pixel under the centre of the destination pixel.
int64_t StretchSource(int64_t srcStart, int64_t srcSize, int64_t dstSize, int64_t i) {
    __int128 num = static_cast<__int128>(2 * i + 1) * srcSize;
    return srcStart + static_cast<int64_t>(num / (2 * static_cast<__int128>(dstSize)));
}

template <typename Pixel>
void StretchRows(Surface& dst, const Surface& src, const std::vector<int32_t>& columns, int x0,
                 const std::vector<int32_t>& rows, int y0, bool keyed) {
    const uint32_t mask = sizeof(Pixel) == 2 ? 0xFFFFu : 0xFFFFFFu;
    const uint32_t key = src.colorKey & mask;
    for (size_t j = 0; j < rows.size(); ++j) {
        if (rows[j] < 0) continue;
        const uint8_t* s = src.Row(rows[j]);
        uint8_t* d = dst.Row(y0 + static_cast<int>(j)) + static_cast<size_t>(x0) * sizeof(Pixel);
        for (size_t i = 0; i < columns.size(); ++i) {
            if (columns[i] < 0) continue;
            Pixel p;
            std::memcpy(&p, s + static_cast<size_t>(columns[i]) * sizeof(Pixel), sizeof(Pixel));
            if (keyed && ((p ^ key) & mask) == 0) continue;
            std::memcpy(d + i * sizeof(Pixel), &p, sizeof(Pixel));
        }
    }
}

int Stretch(Surface& dst, const Rect& dstRect, const Surface& src, const Rect& srcRect, bool keyed) {
    if (int r = CheckPair(dst, src); r != BLIT_OK) return r;
    const int64_t dw = static_cast<int64_t>(dstRect.right) - dstRect.left;
    const int64_t dh = static_cast<int64_t>(dstRect.bottom) - dstRect.top;
    const int64_t sw = static_cast<int64_t>(srcRect.right) - srcRect.left;
    const int64_t sh = static_cast<int64_t>(srcRect.bottom) - srcRect.top;
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return BLIT_OK;
    // The part of the destination rectangle that lies on the surface.
    const int64_t x0 = std::max<int64_t>(dstRect.left, 0), x1 = std::min<int64_t>(dstRect.right, dst.width);
    const int64_t y0 = std::max<int64_t>(dstRect.top, 0), y1 = std::min<int64_t>(dstRect.bottom, dst.height);
    if (x1 <= x0 || y1 <= y0) return BLIT_OK;

    // Source column and row of every destination column and row; -1 where it is off the source.
    thread_local std::vector<int32_t> columns, rows;
    columns.resize(static_cast<size_t>(x1 - x0));
    rows.resize(static_cast<size_t>(y1 - y0));
    for (int64_t x = x0; x < x1; ++x) {
        int64_t sx = StretchSource(srcRect.left, sw, dw, x - dstRect.left);
        columns[x - x0] = (sx >= 0 && sx < src.width) ? static_cast<int32_t>(sx) : -1;
    }
    for (int64_t y = y0; y < y1; ++y) {
        int64_t sy = StretchSource(srcRect.top, sh, dh, y - dstRect.top);
        rows[y - y0] = (sy >= 0 && sy < src.height) ? static_cast<int32_t>(sy) : -1;
    }

    // Within one surface, read from a copy so that no written pixel is read again.
    const Surface* from = &src;
    Surface copy;
    if (SharesPixels(dst, src)) {
        copy = src;
        from = &copy;
    }
    if (dst.format == PixelFormat::RGB565)
        StretchRows<uint16_t>(dst, *from, columns, static_cast<int>(x0), rows, static_cast<int>(y0), keyed);
    else
        StretchRows<uint32_t>(dst, *from, columns, static_cast<int>(x0), rows, static_cast<int>(y0), keyed);
    return BLIT_OK;
}

}  // namespace

Surface CreateSurface(int width, int height, PixelFormat format) {
    Surface s;
    s.format = format;
    if (width < 1 || height < 1 || width > kMaxSurfaceSide || height > kMaxSurfaceSide) return s;
    s.width = width;
    s.height = height;
    s.pitch = (width * BytesPerPixel(format) + 3) & ~3;
    s.pixels.assign(static_cast<size_t>(s.pitch) * height, 0);
    return s;
}

bool IsSurfaceValid(const Surface& s) {
    if (s.width < 0 || s.height < 0 || s.pitch < 0) return false;
    if (s.width == 0 || s.height == 0) return true;
    const uint64_t rowBytes = static_cast<uint64_t>(s.width) * BytesPerPixel(s.format);
    if (static_cast<uint64_t>(s.pitch) < rowBytes) return false;
    return s.pixels.size() >= static_cast<uint64_t>(s.height - 1) * s.pitch + rowBytes;
}

int BltKeyed(Surface& dst, int x, int y, const Surface& src, const Rect& srcRect) {
    return Copy(dst, x, y, src, srcRect, true);
}

int BltOpaque(Surface& dst, int x, int y, const Surface& src, const Rect& srcRect) {
    return Copy(dst, x, y, src, srcRect, false);
}

int StretchBltKeyed(Surface& dst, const Rect& dstRect, const Surface& src, const Rect& srcRect) {
    return Stretch(dst, dstRect, src, srcRect, true);
}

int StretchBltOpaque(Surface& dst, const Rect& dstRect, const Surface& src, const Rect& srcRect) {
    return Stretch(dst, dstRect, src, srcRect, false);
}

int FillRect(Surface& dst, const Rect& rect, uint32_t rawColor) {
    if (dst.lost) return SURFACE_LOST;
    if (!IsSurfaceValid(dst)) return BLIT_INVALID;
    const int left = std::max(rect.left, 0), right = std::min(rect.right, dst.width);
    const int top = std::max(rect.top, 0), bottom = std::min(rect.bottom, dst.height);
    if (right <= left || bottom <= top) return BLIT_OK;
    const int bpp = BytesPerPixel(dst.format);
    const size_t rowBytes = static_cast<size_t>(right - left) * bpp;
    // An 8-byte pattern of the colour: four 16-bit or two 32-bit pixels.
    uint64_t pattern = dst.format == PixelFormat::RGB565 ? (rawColor & 0xFFFFu) * 0x0001000100010001ull
                                                         : rawColor * 0x0000000100000001ull;
    uint8_t* first = dst.Row(top) + static_cast<size_t>(left) * bpp;
    size_t i = 0;
    for (; i + 8 <= rowBytes; i += 8) std::memcpy(first + i, &pattern, 8);
    if (i < rowBytes) std::memcpy(first + i, &pattern, rowBytes - i);  // the last 2 to 6 bytes
    for (int y = top + 1; y < bottom; ++y)
        std::memcpy(dst.Row(y) + static_cast<size_t>(left) * bpp, first, rowBytes);
    return BLIT_OK;
}

int FillSurface(Surface& dst, uint32_t rawColor) {
    return FillRect(dst, Rect{0, 0, dst.width, dst.height}, rawColor);
}

int Lock(Surface& surface, LockedPixels& out) {
    out = LockedPixels{};
    if (surface.lost) return SURFACE_LOST;
    if (!IsSurfaceValid(surface)) return BLIT_INVALID;
    out.bits = surface.pixels.data();
    out.pitch = surface.pitch;
    out.width = surface.width;
    out.height = surface.height;
    out.format = surface.format;
    return BLIT_OK;
}

void Unlock(Surface&) {}

uint32_t GetRawPixel(const Surface& s, int x, int y) {
    if (x < 0 || y < 0 || x >= s.width || y >= s.height || !IsSurfaceValid(s)) return 0;
    const uint8_t* p = s.Row(y) + static_cast<size_t>(x) * BytesPerPixel(s.format);
    if (s.format == PixelFormat::RGB565) {
        uint16_t v;
        std::memcpy(&v, p, 2);
        return v;
    }
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

void SetRawPixel(Surface& s, int x, int y, uint32_t raw) {
    if (x < 0 || y < 0 || x >= s.width || y >= s.height || !IsSurfaceValid(s)) return;
    uint8_t* p = s.Row(y) + static_cast<size_t>(x) * BytesPerPixel(s.format);
    if (s.format == PixelFormat::RGB565) {
        uint16_t v = static_cast<uint16_t>(raw);
        std::memcpy(p, &v, 2);
    } else {
        std::memcpy(p, &raw, 4);
    }
}

}  // namespace platform
