// BMP files by name: reading one for the decoder and writing a 24-bit one.
#include <cstdio>

#include "platform/bmp.h"
#include "platform/files.h"

namespace platform {

BmpResult LoadBmpFile(const char* path, Picture& out, const BmpLimits& limits) {
    out = Picture{};
    if (path == nullptr) return BmpResult{BmpError::FileNotFound, BmpErrorText(BmpError::FileNotFound)};
    FILE* f = OpenFile(path, "rb");
    if (f == nullptr) return BmpResult{BmpError::FileNotFound, BmpErrorText(BmpError::FileNotFound)};
    std::vector<uint8_t> bytes;
    // The largest file worth reading: the biggest uncompressed picture the limits allow, plus headers
    // and a full palette. Anything longer is refused before it is read.
    const uint64_t maxBytes = limits.maxPixels * 4 + 4096 + 1024;
    uint8_t chunk[65536];
    size_t n;
    bool tooLarge = false;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
        if (bytes.size() + n > maxBytes) {
            tooLarge = true;
            break;
        }
        bytes.insert(bytes.end(), chunk, chunk + n);
    }
    bool readError = std::ferror(f) != 0;
    std::fclose(f);
    if (tooLarge) return BmpResult{BmpError::TooLarge, BmpErrorText(BmpError::TooLarge)};
    if (readError) return BmpResult{BmpError::FileNotFound, BmpErrorText(BmpError::FileNotFound)};
    return DecodeBmp(bytes.data(), bytes.size(), out, limits);
}

bool SaveBmp24(const char* path, const Picture& picture, int filler) {
    std::vector<uint8_t> file = EncodeBmp24(picture, filler);
    if (file.empty() || path == nullptr) return false;
    FILE* f = OpenFile(path, "wb");
    if (f == nullptr) return false;
    bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
    ok = (std::fclose(f) == 0) && ok;
    return ok;
}

}  // namespace platform
