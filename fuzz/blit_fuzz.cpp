// libFuzzer target: copies, stretches and fills with arbitrary rectangles and positions never
// touch memory outside the surfaces, and keyed and opaque copies and fills draw exactly the
// pixels a plain per-pixel model says, at every instruction-set level the processor has.
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "platform/blit.h"

namespace {

using platform::PixelFormat;
using platform::Rect;
using platform::Surface;

struct Input {
    const uint8_t* data;
    size_t size;
    size_t pos = 0;
    uint32_t Byte() { return pos < size ? data[pos++] : 0; }
    // Mostly small coordinates near the surfaces, sometimes extreme ones.
    int Coord() {
        uint32_t kind = Byte();
        if (kind < 200) return static_cast<int>(Byte() % 90) - 20;
        static const int extremes[] = {INT32_MIN, INT32_MIN + 1, -65536, 65536, INT32_MAX - 1, INT32_MAX};
        return extremes[kind % 6];
    }
};

Surface MakeSurface(Input& in, PixelFormat format) {
    Surface s =
        platform::CreateSurface(static_cast<int>(in.Byte() % 70), static_cast<int>(in.Byte() % 70), format);
    uint32_t seed = in.Byte() * 2654435761u + 1;
    for (size_t i = 0; i < s.pixels.size(); ++i) {
        seed = seed * 1103515245u + 12345u;
        // Few distinct values, so that keys occur often.
        s.pixels[i] = static_cast<uint8_t>((seed >> 16) & 3);
    }
    return s;
}

// The expected result of copying srcRect of src to (x, y) of dst, pixel by pixel.
Surface ModelCopy(const Surface& dst, int x, int y, const Surface& src, const Rect& r, bool keyed) {
    Surface out = dst;
    const uint32_t mask = src.format == PixelFormat::RGB565 ? 0xFFFF : 0xFFFFFF;
    for (int dy = 0; dy < dst.height; ++dy) {
        for (int dx = 0; dx < dst.width; ++dx) {
            int64_t sx = static_cast<int64_t>(dx) - x + r.left, sy = static_cast<int64_t>(dy) - y + r.top;
            if (sx < r.left || sx >= r.right || sy < r.top || sy >= r.bottom) continue;
            if (sx < 0 || sy < 0 || sx >= src.width || sy >= src.height) continue;
            uint32_t p = platform::GetRawPixel(src, static_cast<int>(sx), static_cast<int>(sy));
            if (keyed && ((p ^ src.colorKey) & mask) == 0) continue;
            platform::SetRawPixel(out, dx, dy, p);
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in{data, size};
    const PixelFormat format = (in.Byte() & 1) ? PixelFormat::XRGB8888 : PixelFormat::RGB565;
    Surface dst = MakeSurface(in, format);
    Surface src = MakeSurface(in, format);
    src.colorKey = in.Byte() & 3 ? platform::GetRawPixel(src, 0, 0) : in.Byte() * 0x01010101u;
    const uint32_t op = in.Byte() % 5;
    const int x = in.Coord(), y = in.Coord();
    Rect r{in.Coord(), in.Coord(), in.Coord(), in.Coord()};
    Rect d{in.Coord(), in.Coord(), in.Coord(), in.Coord()};

    if (op <= 1) {
        const bool keyed = op == 0;
        Surface expected = ModelCopy(dst, x, y, src, r, keyed);
        for (auto level : {platform::BlitLevel::Scalar, platform::BlitLevel::SSE2, platform::BlitLevel::AVX2,
                           platform::BlitLevel::AVX512}) {
            if (!platform::SetBlitLevel(level)) continue;
            Surface target = dst;
            int rc =
                keyed ? platform::BltKeyed(target, x, y, src, r) : platform::BltOpaque(target, x, y, src, r);
            if (rc != platform::BLIT_OK || target.pixels != expected.pixels) std::abort();
        }
        // Within one surface the copy reads the picture as it was before.
        Surface self = src;
        Surface expectedSelf = ModelCopy(src, x, y, src, r, keyed);
        keyed ? platform::BltKeyed(self, x, y, self, r) : platform::BltOpaque(self, x, y, self, r);
        if (self.pixels != expectedSelf.pixels) std::abort();
    } else if (op == 2) {
        Surface expected = dst;
        const uint32_t color = in.Byte() * 0x01010101u;
        for (int yy = 0; yy < dst.height; ++yy)
            for (int xx = 0; xx < dst.width; ++xx)
                if (xx >= d.left && xx < d.right && yy >= d.top && yy < d.bottom)
                    platform::SetRawPixel(expected, xx, yy, color);
        platform::FillRect(dst, d, color);
        if (dst.pixels != expected.pixels) std::abort();
    } else {
        // Stretches: only memory safety is checked here (and by the sanitizers).
        if (op == 3)
            platform::StretchBltKeyed(dst, d, src, r);
        else
            platform::StretchBltOpaque(src, d, src, r);
    }
    platform::SetBlitLevel(platform::BestBlitLevel());
    return 0;
}
