// BMP decoder: core, info, V4 and V5 headers; 1/4/8/16/24/32 bits; RLE4, RLE8 and bit fields.
// Every size and offset read from the file is checked against the buffer before it is used.
#include "platform/bmp.h"

namespace platform {
namespace {

constexpr uint32_t kCompressionRgb = 0;
constexpr uint32_t kCompressionRle8 = 1;
constexpr uint32_t kCompressionRle4 = 2;
constexpr uint32_t kCompressionBitFields = 3;
constexpr uint32_t kCompressionAlphaBitFields = 6;

constexpr size_t kFileHeaderSize = 14;

uint16_t ReadU16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t ReadU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
int32_t ReadS32(const uint8_t* p) {
    return static_cast<int32_t>(ReadU32(p));
}

BmpResult Fail(BmpError error) {
    return BmpResult{error, BmpErrorText(error)};
}

// One colour channel described by a mask: where it sits and how many bits it has.
struct Channel {
    uint32_t mask = 0;
    int shift = 0;
    int bits = 0;
};

// False when the mask's bits are not one contiguous run.
bool MakeChannel(uint32_t mask, Channel& out) {
    out = Channel{mask, 0, 0};
    if (mask == 0) return true;
    while (((mask >> out.shift) & 1u) == 0) ++out.shift;
    uint32_t run = mask >> out.shift;
    while (out.bits < 32 && ((run >> out.bits) & 1u) != 0) ++out.bits;
    return out.bits == 32 || (run >> out.bits) == 0;
}

// Widens a channel value of `bits` bits to 8 bits by repeating its bit pattern, so that the
// largest value gives 255 and 0 gives 0.
uint32_t Expand(uint32_t value, int bits) {
    if (bits == 0) return 0;
    if (bits >= 8) return (value >> (bits - 8)) & 0xFF;
    uint32_t result = 0;
    int filled = 0;
    while (filled < 8) {
        result = (result << bits) | value;
        filled += bits;
    }
    return (result >> (filled - 8)) & 0xFF;
}

// Maps raw values of a bit-field pixel to 0x00RRGGBB. Pixels of up to 16 bits go through a table.
struct BitFieldConverter {
    Channel red, green, blue;
    std::vector<uint32_t> table;  // filled for 16-bit pixels

    uint32_t Convert(uint32_t v) const {
        uint32_t r = Expand((v & red.mask) >> red.shift, red.bits);
        uint32_t g = Expand((v & green.mask) >> green.shift, green.bits);
        uint32_t b = Expand((v & blue.mask) >> blue.shift, blue.bits);
        return (r << 16) | (g << 8) | b;
    }
};

struct Header {
    uint32_t headerSize = 0;
    int64_t width = 0;
    int64_t height = 0;  // positive; topDown says the row order
    bool topDown = false;
    uint32_t planes = 1;
    uint32_t bitCount = 0;
    uint32_t compression = kCompressionRgb;
    uint32_t colorsUsed = 0;
    uint32_t masks[3] = {0, 0, 0};
    bool hasMasks = false;
    size_t paletteOffset = 0;  // where the palette starts in the buffer
    size_t paletteEntrySize = 4;
};

BmpResult ReadHeader(const uint8_t* data, size_t size, Header& h) {
    if (size < kFileHeaderSize + 4) return Fail(BmpError::Truncated);
    if (data[0] != 'B' || data[1] != 'M') return Fail(BmpError::NotBmp);
    h.headerSize = ReadU32(data + kFileHeaderSize);
    const uint32_t hs = h.headerSize;
    if (hs != 12 && hs != 40 && hs != 52 && hs != 56 && hs != 64 && hs != 108 && hs != 124)
        return Fail(BmpError::BadHeaderSize);
    if (size - kFileHeaderSize < hs) return Fail(BmpError::Truncated);
    const uint8_t* p = data + kFileHeaderSize;

    if (hs == 12) {  // core header: unsigned 16-bit sizes, 3-byte palette entries
        h.width = ReadU16(p + 4);
        h.height = ReadU16(p + 6);
        h.planes = ReadU16(p + 8);
        h.bitCount = ReadU16(p + 10);
        h.paletteEntrySize = 3;
        h.paletteOffset = kFileHeaderSize + hs;
        if (h.bitCount != 1 && h.bitCount != 4 && h.bitCount != 8 && h.bitCount != 24)
            return Fail(BmpError::BadBitCount);
    } else {
        h.width = ReadS32(p + 4);
        int64_t height = ReadS32(p + 8);
        h.topDown = height < 0;
        h.height = height < 0 ? -height : height;
        h.planes = ReadU16(p + 12);
        h.bitCount = ReadU16(p + 14);
        h.compression = ReadU32(p + 16);
        h.colorsUsed = ReadU32(p + 32);
        h.paletteOffset = kFileHeaderSize + hs;
        if (h.bitCount != 1 && h.bitCount != 4 && h.bitCount != 8 && h.bitCount != 16 && h.bitCount != 24 &&
            h.bitCount != 32)
            return Fail(BmpError::BadBitCount);
        switch (h.compression) {
            case kCompressionRgb:
                break;
            case kCompressionRle8:
                if (h.bitCount != 8 || h.topDown) return Fail(BmpError::BadCompression);
                break;
            case kCompressionRle4:
                if (h.bitCount != 4 || h.topDown) return Fail(BmpError::BadCompression);
                break;
            case kCompressionBitFields:
            case kCompressionAlphaBitFields:
                if (h.bitCount != 16 && h.bitCount != 32) return Fail(BmpError::BadCompression);
                // The 64-byte header of the other family has no masks and means something else.
                if (hs == 64) return Fail(BmpError::BadCompression);
                h.hasMasks = true;
                if (hs >= 52) {
                    for (int i = 0; i < 3; ++i) h.masks[i] = ReadU32(p + 40 + 4 * i);
                } else {
                    // Masks follow a 40-byte header: three of them, four with alpha.
                    size_t maskBytes = h.compression == kCompressionAlphaBitFields ? 16 : 12;
                    if (size - h.paletteOffset < maskBytes) return Fail(BmpError::Truncated);
                    for (int i = 0; i < 3; ++i) h.masks[i] = ReadU32(data + h.paletteOffset + 4 * i);
                    h.paletteOffset += maskBytes;
                }
                break;
            default:
                return Fail(BmpError::BadCompression);
        }
    }
    if (h.planes != 1) return Fail(BmpError::BadPlanes);
    if (h.width <= 0 || h.height <= 0) return Fail(BmpError::BadDimensions);
    return BmpResult{BmpError::None, BmpErrorText(BmpError::None)};
}

// Reads up to `count` palette entries that lie between the palette offset and `end`; entries
// the file does not hold stay black.
std::vector<uint32_t> ReadPalette(const uint8_t* data, const Header& h, size_t end, uint32_t count) {
    std::vector<uint32_t> palette(count, 0);
    size_t available = end > h.paletteOffset ? (end - h.paletteOffset) / h.paletteEntrySize : 0;
    size_t n = count < available ? count : available;
    for (size_t i = 0; i < n; ++i) {
        const uint8_t* e = data + h.paletteOffset + i * h.paletteEntrySize;
        palette[i] = (static_cast<uint32_t>(e[2]) << 16) | (static_cast<uint32_t>(e[1]) << 8) | e[0];
    }
    return palette;
}

// Decodes RLE8 or RLE4 data into `pixels` (bottom-up rows, already filled with the colour of
// palette entry 0 for the pixels the data skips). Fails when the data ends before the picture is
// complete without an end marker.
bool DecodeRle(const uint8_t* src, size_t size, bool four, int width, int height,
               const std::vector<uint32_t>& palette, std::vector<uint32_t>& pixels) {
    size_t pos = 0;
    int64_t x = 0;
    int64_t y = 0;  // counted from the bottom row
    auto put = [&](uint32_t index) {
        if (x < width && y < height)
            pixels[static_cast<size_t>(height - 1 - y) * width + static_cast<size_t>(x)] =
                index < palette.size() ? palette[index] : 0;
        ++x;
    };
    while (y < height) {
        if (size - pos < 2) return false;
        uint8_t count = src[pos];
        uint8_t value = src[pos + 1];
        pos += 2;
        if (count > 0) {  // encoded run
            for (int i = 0; i < count && x < width; ++i)
                put(four ? ((i & 1) ? (value & 0x0F) : (value >> 4)) : value);
            continue;
        }
        switch (value) {
            case 0:  // end of line
                x = 0;
                ++y;
                break;
            case 1:  // end of picture
                return true;
            case 2: {  // delta
                if (size - pos < 2) return false;
                x += src[pos];
                y += src[pos + 1];
                pos += 2;
                break;
            }
            default: {  // absolute run of `value` pixels, padded to a 16-bit boundary
                size_t bytes = four ? (static_cast<size_t>(value) + 1) / 2 : value;
                size_t padded = (bytes + 1) & ~static_cast<size_t>(1);
                if (size - pos < padded) return false;
                for (int i = 0; i < value && x < width; ++i) {
                    uint8_t b = src[pos + (four ? i / 2 : i)];
                    put(four ? ((i & 1) ? (b & 0x0F) : (b >> 4)) : b);
                }
                pos += padded;
                break;
            }
        }
    }
    return true;
}

}  // namespace

const char* BmpErrorText(BmpError error) {
    switch (error) {
        case BmpError::None:
            return "ok";
        case BmpError::FileNotFound:
            return "file cannot be read";
        case BmpError::Truncated:
            return "truncated file";
        case BmpError::NotBmp:
            return "not a BMP file";
        case BmpError::BadHeaderSize:
            return "unknown header size";
        case BmpError::BadDimensions:
            return "bad picture size";
        case BmpError::TooLarge:
            return "picture too large";
        case BmpError::BadPlanes:
            return "bad plane count";
        case BmpError::BadBitCount:
            return "unsupported bits per pixel";
        case BmpError::BadCompression:
            return "unsupported compression";
        case BmpError::BadBitFields:
            return "bad colour masks";
        case BmpError::BadDataOffset:
            return "bad pixel data offset";
        case BmpError::BadRle:
            return "broken compressed data";
    }
    return "unknown error";
}

BmpResult DecodeBmp(const uint8_t* data, size_t size, Picture& out, const BmpLimits& limits) {
    out = Picture{};
    if (data == nullptr) return Fail(BmpError::Truncated);
    Header h;
    BmpResult r = ReadHeader(data, size, h);
    if (!r) return r;
    if (h.width > limits.maxWidth || h.height > limits.maxHeight ||
        static_cast<uint64_t>(h.width) * static_cast<uint64_t>(h.height) > limits.maxPixels)
        return Fail(BmpError::TooLarge);
    const int width = static_cast<int>(h.width);
    const int height = static_cast<int>(h.height);

    // Where the pixel data starts. A zero offset (some writers leave it out) means right after
    // the palette; otherwise it must lie beyond the headers and inside the buffer.
    const uint32_t dataOffsetField = ReadU32(data + 10);
    size_t paletteCount = 0;
    if (h.bitCount <= 8) {
        paletteCount = size_t{1} << h.bitCount;
        if (h.colorsUsed != 0 && h.colorsUsed < paletteCount) paletteCount = h.colorsUsed;
    }
    size_t dataOffset = dataOffsetField;
    if (dataOffset == 0) dataOffset = h.paletteOffset + paletteCount * h.paletteEntrySize;
    if (dataOffset < h.paletteOffset) return Fail(BmpError::BadDataOffset);
    if (dataOffset >= size) return Fail(BmpError::Truncated);
    // Short palettes: only the entries that fit before the pixel data exist.
    std::vector<uint32_t> palette;
    if (h.bitCount <= 8) palette = ReadPalette(data, h, dataOffset, static_cast<uint32_t>(paletteCount));

    const uint8_t* pixelData = data + dataOffset;
    const size_t pixelBytes = size - dataOffset;

    if (h.compression == kCompressionRle8 || h.compression == kCompressionRle4) {
        out.pixels.assign(static_cast<size_t>(width) * height, palette.empty() ? 0 : palette[0]);
        if (!DecodeRle(pixelData, pixelBytes, h.compression == kCompressionRle4, width, height, palette,
                       out.pixels)) {
            out.pixels = {};
            return Fail(BmpError::BadRle);
        }
        out.width = width;
        out.height = height;
        return BmpResult{BmpError::None, BmpErrorText(BmpError::None)};
    }

    // Uncompressed rows of 32-bit aligned length; all of them must be in the buffer.
    const uint64_t stride = ((static_cast<uint64_t>(width) * h.bitCount + 31) / 32) * 4;
    if (stride * static_cast<uint64_t>(height) > pixelBytes) return Fail(BmpError::Truncated);

    BitFieldConverter fields;
    if (h.bitCount == 16 || h.bitCount == 32) {
        uint32_t masks[3];
        if (h.hasMasks) {
            for (int i = 0; i < 3; ++i) masks[i] = h.masks[i];
        } else if (h.bitCount == 16) {
            masks[0] = 0x7C00;
            masks[1] = 0x03E0;
            masks[2] = 0x001F;
        } else {
            masks[0] = 0xFF0000;
            masks[1] = 0x00FF00;
            masks[2] = 0x0000FF;
        }
        const uint64_t limit = h.bitCount == 16 ? 0xFFFFull : 0xFFFFFFFFull;
        if ((masks[0] & masks[1]) || (masks[0] & masks[2]) || (masks[1] & masks[2]) || masks[0] > limit ||
            masks[1] > limit || masks[2] > limit)
            return Fail(BmpError::BadBitFields);
        if (!MakeChannel(masks[0], fields.red) || !MakeChannel(masks[1], fields.green) ||
            !MakeChannel(masks[2], fields.blue))
            return Fail(BmpError::BadBitFields);
        // A table pays off for pictures with more pixels than it has entries to fill.
        if (h.bitCount == 16 && static_cast<uint64_t>(width) * height >= 65536) {
            fields.table.resize(65536);
            for (uint32_t v = 0; v < 65536; ++v) fields.table[v] = fields.Convert(v);
        }
    }

    out.width = width;
    out.height = height;
    out.pixels.resize(static_cast<size_t>(width) * height);
    const uint32_t lastIndex = static_cast<uint32_t>(palette.size());
    for (int row = 0; row < height; ++row) {
        const uint8_t* s = pixelData + static_cast<size_t>(stride) * row;
        const int y = h.topDown ? row : height - 1 - row;
        uint32_t* d = out.pixels.data() + static_cast<size_t>(y) * width;
        switch (h.bitCount) {
            case 1:
            case 4:
            case 8: {
                const int bits = static_cast<int>(h.bitCount);
                const uint32_t mask = (1u << bits) - 1;
                for (int x = 0; x < width; ++x) {
                    size_t bit = static_cast<size_t>(x) * bits;
                    uint32_t index = (s[bit / 8] >> (8 - bits - bit % 8)) & mask;
                    d[x] = index < lastIndex ? palette[index] : 0;
                }
                break;
            }
            case 16:
                if (!fields.table.empty()) {
                    for (int x = 0; x < width; ++x) d[x] = fields.table[ReadU16(s + 2 * x)];
                } else {
                    for (int x = 0; x < width; ++x) d[x] = fields.Convert(ReadU16(s + 2 * x));
                }
                break;
            case 24:
                for (int x = 0; x < width; ++x) {
                    const uint8_t* px = s + 3 * x;
                    d[x] = (static_cast<uint32_t>(px[2]) << 16) | (static_cast<uint32_t>(px[1]) << 8) | px[0];
                }
                break;
            case 32:
                if (!h.hasMasks) {
                    for (int x = 0; x < width; ++x) d[x] = ReadU32(s + 4 * x) & 0x00FFFFFF;
                } else {
                    for (int x = 0; x < width; ++x) d[x] = fields.Convert(ReadU32(s + 4 * x));
                }
                break;
        }
    }
    return BmpResult{BmpError::None, BmpErrorText(BmpError::None)};
}

}  // namespace platform
