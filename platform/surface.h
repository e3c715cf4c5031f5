// Pixel surfaces in the display's format (RGB565 or XRGB8888) held in system memory.
// The operations on surfaces (copies, fills, stretches, locks) are declared in platform/blit.h.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace platform {

enum class PixelFormat : uint8_t {
    RGB565,    // 16 bits: rrrrrggg gggbbbbb
    XRGB8888,  // 32 bits: 0x00RRGGBB
};

inline int BytesPerPixel(PixelFormat format) { return format == PixelFormat::RGB565 ? 2 : 4; }

struct Surface {
    int width = 0;
    int height = 0;
    int pitch = 0;  // bytes per row
    PixelFormat format = PixelFormat::RGB565;
    uint32_t colorKey = 0;     // raw pixel value that keyed copies leave out
    bool lost = false;         // raised by tests to exercise the restore path
    std::vector<uint8_t> pixels;

    uint8_t* Row(int y) { return pixels.data() + static_cast<size_t>(y) * pitch; }
    const uint8_t* Row(int y) const { return pixels.data() + static_cast<size_t>(y) * pitch; }
};

}  // namespace platform
