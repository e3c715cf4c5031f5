// libFuzzer target: the BMP decoder must refuse or decode any input without touching memory it does
// not own, and what it decodes must survive a 24-bit write and read back unchanged.
#include <cstdint>
#include <cstdlib>

#include "platform/blit.h"
#include "platform/bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Smaller limits than the real ones keep each run fast; the checks are the same code.
    platform::BmpLimits limits;
    limits.maxPixels = 4u * 1024 * 1024;
    platform::Picture picture;
    platform::BmpResult result = platform::DecodeBmp(data, size, picture, limits);
    if (!result) {
        if (!picture.pixels.empty() || picture.width != 0 || picture.height != 0) std::abort();
        if (result.reason == nullptr || result.reason[0] == 0) std::abort();
        return 0;
    }
    if (picture.width <= 0 || picture.height <= 0 || picture.width > limits.maxWidth ||
        picture.height > limits.maxHeight ||
        picture.pixels.size() != static_cast<size_t>(picture.width) * picture.height)
        std::abort();
    for (uint32_t p : picture.pixels)
        if (p > 0xFFFFFF) std::abort();

    std::vector<uint8_t> file = platform::EncodeBmp24(picture);
    platform::Picture again;
    if (!platform::DecodeBmp(file.data(), file.size(), again, limits)) std::abort();
    if (again.width != picture.width || again.height != picture.height || again.pixels != picture.pixels)
        std::abort();

    // Both surface formats take the picture.
    for (platform::PixelFormat format : {platform::PixelFormat::RGB565, platform::PixelFormat::XRGB8888}) {
        platform::Surface s = platform::SurfaceFromPicture(picture, format);
        if (s.width != picture.width || s.height != picture.height) std::abort();
        const int x = picture.width - 1, y = picture.height - 1;
        if (platform::GetRawPixel(s, x, y) != platform::RgbToRaw(format, picture.At(x, y))) std::abort();
    }
    return 0;
}
