// BMP files by name: reading one for the decoder and writing a 24-bit one.
#include <cstdio>

#include "platform/bmp.h"
#include "platform/files.h"

namespace platform {

BmpResult LoadBmpStream(FILE* file, Picture& out, const BmpLimits& limits) {
    out = Picture{};
    if (file == nullptr) return BmpResult{BmpError::FileNotFound, BmpErrorText(BmpError::FileNotFound)};
    std::vector<uint8_t> bytes;
    // The largest file worth reading: the biggest uncompressed picture the limits allow, plus headers
    // and a full palette. Anything longer is refused before it is read.
    const uint64_t maxBytes = limits.maxPixels * 4 + 4096 + 1024;
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        if (bytes.size() + n > maxBytes)
            return BmpResult{BmpError::TooLarge, BmpErrorText(BmpError::TooLarge)};
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    if (std::ferror(file) != 0)
        return BmpResult{BmpError::FileNotFound, BmpErrorText(BmpError::FileNotFound)};
    return DecodeBmp(bytes.data(), bytes.size(), out, limits);
}

BmpResult LoadBmpFile(const char* path, Picture& out, const BmpLimits& limits) {
    out = Picture{};
    FILE* f = path != nullptr ? OpenFile(path, "rb") : nullptr;
    if (f == nullptr) return BmpResult{BmpError::FileNotFound, BmpErrorText(BmpError::FileNotFound)};
    BmpResult result = LoadBmpStream(f, out, limits);
    std::fclose(f);
    return result;
}

bool SaveBmp24(const char* path, const Picture& picture, int filler) {
    std::vector<uint8_t> file = EncodeBmp24(picture, filler);
    if (file.empty() || path == nullptr) return false;
    return WriteWholeFile(ResolvePath(path), file.data(), file.size());
}

}  // namespace platform
