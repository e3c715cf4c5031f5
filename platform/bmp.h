// BMP pictures: a decoder from memory into 32-bit pixels, a file loader on top of it, and a
// writer of 24-bit BMP files.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace platform {

// A decoded picture: width x height pixels 0x00RRGGBB, top row first, no padding.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Why a file was refused.
enum class BmpError : uint8_t {
    None,
    FileNotFound,    // the file could not be opened or read
    Truncated,       // the buffer ends before a header, the palette or the pixel data
    NotBmp,          // no "BM" signature
    BadHeaderSize,   // unknown info header size
    BadDimensions,   // zero or negative width, zero height
    TooLarge,        // width, height or pixel count above the limits
    BadPlanes,       // planes field is not 1
    BadBitCount,     // bits per pixel not one of 1, 4, 8, 16, 24, 32
    BadCompression,  // unknown compression, or one that does not fit the bit count or row order
    BadBitFields,    // colour masks overlap, are not contiguous or exceed the pixel
    BadDataOffset,   // the pixel data offset points into the headers or past the end
    BadRle,          // compressed data runs past its buffer or never ends
};

struct BmpResult {
    BmpError error = BmpError::None;
    const char* reason = "";  // short English text, also for None ("ok")
    bool ok() const { return error == BmpError::None; }
    explicit operator bool() const { return ok(); }
};

// Limits against hostile headers: nothing larger is decoded or allocated.
struct BmpLimits {
    int maxWidth = 16384;
    int maxHeight = 16384;
    uint64_t maxPixels = 64ull * 1024 * 1024;
};

// Short English text for a reason, e.g. "truncated file".
const char* BmpErrorText(BmpError error);

// Decodes a whole BMP file held in memory. On failure `out` is left empty (0 x 0).
// Pixels that compressed data skips take palette entry 0.
BmpResult DecodeBmp(const uint8_t* data, size_t size, Picture& out, const BmpLimits& limits = {});

// Reads the file at path (a name of the system, Shift-JIS, "\" or "/" separators, resolved
// without regard to case like every file name) and decodes it.
BmpResult LoadBmpFile(const char* path, Picture& out, const BmpLimits& limits = {});
// Reads an open file from its current position to its end and decodes it; the file stays open.
BmpResult LoadBmpStream(std::FILE* file, Picture& out, const BmpLimits& limits = {});

// Encodes width x height pixels 0x00RRGGBB (rows `stride` pixels apart, top row first) as a
// 24-bit bottom-up BMP with a 40-byte info header. `filler` zero bytes are put between the
// info header and the pixel rows (the screen capture writes 4); the data offset counts them.
std::vector<uint8_t> EncodeBmp24(const uint32_t* pixels, int width, int height, int stride, int filler = 0);
std::vector<uint8_t> EncodeBmp24(const Picture& picture, int filler = 0);
// Writes EncodeBmp24 to a file named like LoadBmpFile's; false when it cannot be written completely.
bool SaveBmp24(const char* path, const Picture& picture, int filler = 0);

}  // namespace platform
