// Screen capture to a 24-bit BMP file: 5-bit channels times 8 at 16 bits, the bytes of each channel
// at 32 bits, rows bottom-up after the two headers and four zero bytes.
#include "engine/draw/capture.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/draw/display.h"
#include "engine/system/error_report.h"
#include "engine/system/paths.h"
#include "platform/blit.h"
#include "platform/bmp.h"
#include "platform/files.h"

namespace {

constexpr int kHeaderFiller = 4;  // zero bytes between the info header and the pixel rows

// A back-buffer pixel as 0x00RRGGBB for the file.
uint32_t FilePixel(const platform::LockedPixels& locked, int x, int y) {
    const uint8_t* row = locked.bits + static_cast<size_t>(y) * locked.pitch;
    const PixelFormatInfo& f = Display.format;
    uint32_t r, g, b;
    if (locked.format == platform::PixelFormat::RGB565) {
        uint16_t pixel;
        std::memcpy(&pixel, row + 2 * x, 2);
        // The channels as 5-bit values (a six-bit one halved), written times 8.
        r = (pixel >> f.redShift & f.redSizeMask) >> (f.redSizeMask == 63 ? 1 : 0);
        g = (pixel >> f.greenShift & f.greenSizeMask) >> (f.greenSizeMask == 63 ? 1 : 0);
        b = (pixel >> f.blueShift & f.blueSizeMask) >> (f.blueSizeMask == 63 ? 1 : 0);
        r *= 8, g *= 8, b *= 8;
    } else {
        uint32_t pixel;
        std::memcpy(&pixel, row + 4 * x, 4);
        r = pixel >> f.redShift & 0xFF;
        g = pixel >> f.greenShift & 0xFF;
        b = pixel >> f.blueShift & 0xFF;
    }
    return r << 16 | g << 8 | b;
}

}  // namespace

int SaveScreenBMP(const char* name, int width, int height) {
    if (name == nullptr) name = "";  // no name: refused like an empty one, which names no file
    platform::Surface* back = Display.backBuffer.get();
    platform::LockedPixels locked;
    if (back == nullptr || platform::Lock(*back, locked) != platform::BLIT_OK) return 0;
    // Nothing beyond the back buffer can be captured.
    width = std::clamp(width, 0, locked.width);
    height = std::clamp(height, 0, locked.height);

    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels[static_cast<size_t>(y) * width + x] = FilePixel(locked, x, y);
    const std::vector<uint8_t> file =
        platform::EncodeBmp24(pixels.data(), width, height, width, kHeaderFiller);

    // Written whole or not at all; a failure keeps the capture's result but is said and logged.
    const std::string path = std::string(ModulePath(0)) + name;
    std::string reason;
    if (!platform::WriteWholeFile(platform::ResolvePath(path.c_str()), file.data(), file.size(), &reason)) {
        platform::WriteFileProblem("elDraw::SaveScreenBMP", name, reason.c_str());
        DebugLog("elDraw::SaveScreenBMP: %s: %s", name, reason.c_str());
    }
    platform::Unlock(*back);
    return 1;
}
