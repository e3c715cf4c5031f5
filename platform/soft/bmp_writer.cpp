// Writer of 24-bit bottom-up BMP files from 0x00RRGGBB pixels (screen captures, tools).
#include "platform/bmp.h"

namespace platform {
namespace {

void PutU16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void PutU32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

std::vector<uint8_t> EncodeBmp24(const uint32_t* pixels, int width, int height, int stride, int filler) {
    if (width < 0 || height < 0 || filler < 0 || (pixels == nullptr && width > 0 && height > 0)) return {};
    const size_t rowSize = (static_cast<size_t>(width) * 3 + 3) & ~static_cast<size_t>(3);
    const size_t headers = 14 + 40 + static_cast<size_t>(filler);
    const size_t imageSize = rowSize * static_cast<size_t>(height);
    std::vector<uint8_t> file(headers + imageSize, 0);
    uint8_t* p = file.data();
    p[0] = 'B';
    p[1] = 'M';
    PutU32(p + 2, static_cast<uint32_t>(file.size()));
    PutU32(p + 10, static_cast<uint32_t>(headers));
    PutU32(p + 14, 40);
    PutU32(p + 18, static_cast<uint32_t>(width));
    PutU32(p + 22, static_cast<uint32_t>(height));
    PutU16(p + 26, 1);
    PutU16(p + 28, 24);
    PutU32(p + 30, 0);
    PutU32(p + 34, static_cast<uint32_t>(imageSize));
    PutU32(p + 38, 2834);  // 72 dots per inch
    PutU32(p + 42, 2834);
    for (int row = 0; row < height; ++row) {
        const uint32_t* s = pixels + static_cast<size_t>(height - 1 - row) * stride;
        uint8_t* d = p + headers + rowSize * row;
        for (int x = 0; x < width; ++x) {
            d[3 * x + 0] = static_cast<uint8_t>(s[x]);
            d[3 * x + 1] = static_cast<uint8_t>(s[x] >> 8);
            d[3 * x + 2] = static_cast<uint8_t>(s[x] >> 16);
        }
    }
    return file;
}

std::vector<uint8_t> EncodeBmp24(const Picture& picture, int filler) {
    if (picture.pixels.size() < static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height))
        return {};
    return EncodeBmp24(picture.pixels.data(), picture.width, picture.height, picture.width, filler);
}

}  // namespace platform
