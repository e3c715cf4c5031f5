// Colour conversion between 0x00BBGGRR colours, 0x00RRGGBB picture pixels and raw surface
// pixels, and turning decoded pictures into surfaces.
#include <cstring>

#include "platform/blit.h"
#include "platform/bmp.h"

namespace platform {

uint32_t RgbToRaw(PixelFormat format, uint32_t rgb) {
    if (format == PixelFormat::XRGB8888) return rgb & 0x00FFFFFF;
    const uint32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
}

uint32_t RawToRgb(PixelFormat format, uint32_t raw) {
    if (format == PixelFormat::XRGB8888) return raw & 0x00FFFFFF;
    const uint32_t r = (raw >> 11) & 0x1F, g = (raw >> 5) & 0x3F, b = raw & 0x1F;
    return (r << 19) | (g << 10) | (b << 3);
}

// 0x00BBGGRR and 0x00RRGGBB differ by the order of red and blue.
static uint32_t SwapRedBlue(uint32_t c) {
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

uint32_t ColorToRaw(PixelFormat format, uint32_t color) {
    return RgbToRaw(format, SwapRedBlue(color));
}
uint32_t RawToColor(PixelFormat format, uint32_t raw) {
    return SwapRedBlue(RawToRgb(format, raw));
}

uint32_t MatchColor(const Surface& surface, uint32_t color) {
    if (color == 0xFFFFFFFFu) return GetRawPixel(surface, 0, 0);
    return ColorToRaw(surface.format, color);
}

namespace {

// Converts one row of picture pixels into raw pixels of the format.
void ConvertRow(const uint32_t* from, uint8_t* to, int count, PixelFormat format) {
    if (format == PixelFormat::XRGB8888) {
        for (int x = 0; x < count; ++x) {
            const uint32_t v = from[x] & 0x00FFFFFF;
            std::memcpy(to + 4 * x, &v, 4);
        }
    } else {
        for (int x = 0; x < count; ++x) {
            const uint16_t v = static_cast<uint16_t>(RgbToRaw(PixelFormat::RGB565, from[x]));
            std::memcpy(to + 2 * x, &v, 2);
        }
    }
}

bool PictureIsValid(const Picture& p) {
    return p.width > 0 && p.height > 0 &&
           p.pixels.size() >= static_cast<size_t>(p.width) * static_cast<size_t>(p.height);
}

}  // namespace

Surface SurfaceFromPicture(const Picture& picture, PixelFormat format) {
    if (!PictureIsValid(picture)) return CreateSurface(0, 0, format);
    Surface s = CreateSurface(picture.width, picture.height, format);
    for (int y = 0; y < s.height; ++y)
        ConvertRow(picture.pixels.data() + static_cast<size_t>(y) * picture.width, s.Row(y), s.width, format);
    return s;
}

int CopyPictureToSurface(Surface& dst, const Picture& picture) {
    if (dst.lost) return SURFACE_LOST;
    if (!IsSurfaceValid(dst)) return BLIT_INVALID;
    if (!PictureIsValid(picture) || dst.width == 0 || dst.height == 0) return BLIT_OK;
    if (picture.width == dst.width && picture.height == dst.height) {
        for (int y = 0; y < dst.height; ++y)
            ConvertRow(picture.pixels.data() + static_cast<size_t>(y) * picture.width, dst.Row(y), dst.width,
                       dst.format);
        return BLIT_OK;
    }
    Surface converted = SurfaceFromPicture(picture, dst.format);
    return StretchBltOpaque(dst, Rect{0, 0, dst.width, dst.height}, converted,
                            Rect{0, 0, converted.width, converted.height});
}

}  // namespace platform
