// The BMP decoder: common variants read pixel for pixel, malformed files refused cleanly.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/bmp.h"

namespace {

using platform::BmpError;
using platform::Picture;

using Bytes = std::vector<uint8_t>;

void Put16(Bytes& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A BMP file put together field by field.
struct BmpLayout {
    uint32_t headerSize = 40;
    int32_t width = 0, height = 0;  // height < 0: rows stored top first
    uint16_t planes = 1, bitCount = 24;
    uint32_t compression = 0, colorsUsed = 0;
    std::vector<uint32_t> masks;  // in the header (V4/V5) or after a 40-byte header
    Bytes palette;                // raw palette bytes
    Bytes data;                   // pixel data exactly as stored
    int64_t dataOffset = -1;      // -1: right after the palette
};

BmpLayout Layout(int32_t width, int32_t height, uint16_t bitCount, uint32_t compression = 0,
             uint32_t headerSize = 40) {
    BmpLayout s;
    s.width = width;
    s.height = height;
    s.bitCount = bitCount;
    s.compression = compression;
    s.headerSize = headerSize;
    return s;
}

Bytes Build(const BmpLayout& s) {
    Bytes h;
    Put32(h, s.headerSize);
    if (s.headerSize == 12) {
        Put16(h, static_cast<uint32_t>(s.width));
        Put16(h, static_cast<uint32_t>(s.height));
        Put16(h, s.planes);
        Put16(h, s.bitCount);
    } else {
        Put32(h, static_cast<uint32_t>(s.width));
        Put32(h, static_cast<uint32_t>(s.height));
        Put16(h, s.planes);
        Put16(h, s.bitCount);
        Put32(h, s.compression);
        Put32(h, static_cast<uint32_t>(s.data.size()));
        Put32(h, 2834);
        Put32(h, 2834);
        Put32(h, s.colorsUsed);
        Put32(h, 0);
        for (uint32_t m : s.masks) Put32(h, m);  // in the header for V4/V5, after it for 40 bytes
        if (s.headerSize > 40) h.resize(s.headerSize, 0);
    }
    const uint32_t offset = s.dataOffset >= 0 ? static_cast<uint32_t>(s.dataOffset)
                                              : static_cast<uint32_t>(14 + h.size() + s.palette.size());
    Bytes file = {'B', 'M'};
    Put32(file, static_cast<uint32_t>(14 + h.size() + s.palette.size() + s.data.size()));
    Put32(file, 0);
    Put32(file, offset);
    file.insert(file.end(), h.begin(), h.end());
    file.insert(file.end(), s.palette.begin(), s.palette.end());
    file.insert(file.end(), s.data.begin(), s.data.end());
    return file;
}

Bytes Palette(const std::vector<uint32_t>& rgb, bool core = false) {
    Bytes p;
    for (uint32_t c : rgb) {
        p.push_back(static_cast<uint8_t>(c));
        p.push_back(static_cast<uint8_t>(c >> 8));
        p.push_back(static_cast<uint8_t>(c >> 16));
        if (!core) p.push_back(0);
    }
    return p;
}

Picture Decode(const Bytes& file, BmpError expected = BmpError::None) {
    Picture p;
    platform::BmpResult r = platform::DecodeBmp(file.data(), file.size(), p);
    EXPECT_EQ(r.error, expected) << r.reason;
    return p;
}

void ExpectPixels(const Picture& p, int w, int h, const std::vector<uint32_t>& rows) {
    ASSERT_EQ(p.width, w);
    ASSERT_EQ(p.height, h);
    ASSERT_EQ(p.pixels.size(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(p.pixels[i], rows[i]) << "pixel " << i % w << "," << i / w;
}

TEST(BmpDecode, TrueColourRowsWithPaddingBothOrders) {
    // 24 bits, 3 x 2, bottom row stored first, rows padded to 12 bytes.
    BmpLayout s = Layout(3, 2, 24);
    s.data = {1,    2,    3,    4,    5,    6,    7,    8,    9,    0xEE, 0xEE, 0xEE,  // bottom row
              0x10, 0x20, 0x30, 0x40, 0x50, 0x60, 0x70, 0x80, 0x90, 0,    0,    0};
    ExpectPixels(Decode(Build(s)), 3, 2, {0x302010, 0x605040, 0x908070, 0x030201, 0x060504, 0x090807});

    // 32 bits, top row first; the fourth byte is ignored.
    BmpLayout t = Layout(2, -2, 32);
    t.data = {1, 2, 3, 0xFF, 4, 5, 6, 0x80, 7, 8, 9, 0, 10, 11, 12, 1};
    ExpectPixels(Decode(Build(t)), 2, 2, {0x030201, 0x060504, 0x090807, 0x0C0B0A});

    // The same in a V5 header, and 24 bits in a V4 header.
    t.headerSize = 124;
    ExpectPixels(Decode(Build(t)), 2, 2, {0x030201, 0x060504, 0x090807, 0x0C0B0A});
    s.headerSize = 108;
    ExpectPixels(Decode(Build(s)), 3, 2, {0x302010, 0x605040, 0x908070, 0x030201, 0x060504, 0x090807});
}

TEST(BmpDecode, PalettedOneFourAndEightBits) {
    const std::vector<uint32_t> colours = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
    // 1 bit, 10 x 1: bits 1011001110 then padding.
    BmpLayout one = Layout(10, 1, 1);
    one.palette = Palette({0x112233, 0x445566});
    one.data = {0xB3, 0x80, 0, 0};
    const uint32_t a = 0x112233, b = 0x445566;
    ExpectPixels(Decode(Build(one)), 10, 1, {b, a, b, b, a, a, b, b, b, a});

    // 4 bits, 3 x 2, two used colours listed.
    BmpLayout four = Layout(3, 2, 4);
    four.colorsUsed = 4;
    four.palette = Palette(colours);
    four.data = {0x12, 0x30, 0, 0, 0x01, 0x20, 0, 0};
    ExpectPixels(Decode(Build(four)), 3, 2, {0x000000, 0xFF0000, 0x00FF00, 0xFF0000, 0x00FF00, 0x0000FF});

    // 8 bits in a core header: 3-byte palette entries, 16-bit sizes, bottom-up.
    BmpLayout core = Layout(2, 2, 8, 0, 12);
    std::vector<uint32_t> full(256);
    for (int i = 0; i < 256; ++i) full[i] = 0x010101u * i;
    core.palette = Palette(full, true);
    core.data = {7, 200, 0, 0, 255, 0, 0, 0};
    ExpectPixels(Decode(Build(core)), 2, 2, {0xFFFFFF, 0x000000, 0x070707, 0xC8C8C8});
}

TEST(BmpDecode, ShortPalettesGiveBlackForMissingEntries) {
    // colorsUsed 2: index 3 has no entry.
    BmpLayout s = Layout(4, 1, 8);
    s.colorsUsed = 2;
    s.palette = Palette({0x102030, 0x405060});
    s.data = {0, 1, 3, 1};
    ExpectPixels(Decode(Build(s)), 4, 1, {0x102030, 0x405060, 0, 0x405060});
    // No count given and the pixel data starting after two entries: only those two exist.
    s.colorsUsed = 0;
    ExpectPixels(Decode(Build(s)), 4, 1, {0x102030, 0x405060, 0, 0x405060});
}

TEST(BmpDecode, SixteenBitsAndBitFields) {
    // 5-5-5 by default: each 5-bit channel widened by repeating its bits (31 -> 255, 16 -> 132).
    BmpLayout s = Layout(2, 1, 16);
    s.data = {0xFF, 0x7F, 0x10, 0x42};  // 0x7FFF white; 0x4210 = (16, 16, 16)
    ExpectPixels(Decode(Build(s)), 2, 1, {0xFFFFFF, 0x848484});

    // 5-6-5 by bit fields after a 40-byte header.
    s.compression = 3;
    s.masks = {0xF800, 0x07E0, 0x001F};
    s.data = {0x00, 0xF8, 0xE0, 0x07};  // pure red, pure green
    ExpectPixels(Decode(Build(s)), 2, 1, {0xFF0000, 0x00FF00});

    // 32 bits with unusual masks in a V4 header: red in the top byte, blue in the second.
    BmpLayout t = Layout(1, 1, 32, 3, 108);
    t.masks = {0xFF000000, 0x000000FF, 0x00FF0000};
    t.data = {0x22, 0x33, 0x44, 0x11};  // value 0x11443322
    ExpectPixels(Decode(Build(t)), 1, 1, {0x112244});
}

TEST(BmpDecode, RunLengthEncodedEightAndFourBits) {
    const Bytes palette = Palette({0x000010, 0x000020, 0x000030, 0x000040, 0x000050, 0x000060});
    const uint32_t p0 = 0x10, p1 = 0x20, p2 = 0x30, p3 = 0x40, p4 = 0x50, p5 = 0x60;
    // 5 x 3, bottom row first: run of 3 x index 1, absolute run (2, 3, 4) padded, end of line;
    // a delta of (2, 1) skips to the top row; run of 2 x index 5; end of picture.
    BmpLayout r8 = Layout(5, 3, 8, 1);
    r8.palette = palette;
    r8.data = {3, 1, 0, 3, 2, 3, 4, 0, 0, 0, 0, 2, 2, 1, 2, 5, 0, 1};
    // Skipped pixels take palette entry 0; the middle row is skipped entirely.
    ExpectPixels(Decode(Build(r8)), 5, 3,
                 {p0, p0, p5, p5, p0,  // top
                  p0, p0, p0, p0, p0, p1, p1, p1, p2, p3});

    // RLE4: run of 5 alternating (1, 2), end of line, absolute run of 3 nibbles (3, 4, 5) padded.
    BmpLayout r4 = Layout(5, 2, 4, 2);
    r4.palette = palette;
    r4.data = {5, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 1};
    ExpectPixels(Decode(Build(r4)), 5, 2, {p3, p4, p5, p0, p0, p1, p2, p1, p2, p1});

    // Runs longer than the row are cut at its end and do not spill into the next row.
    BmpLayout wide = Layout(2, 2, 8, 1);
    wide.palette = palette;
    wide.data = {9, 3, 0, 0, 1, 2, 0, 1};
    ExpectPixels(Decode(Build(wide)), 2, 2, {p2, p0, p3, p3});
}

TEST(BmpDecode, RefusesMalformedHeaders) {
    BmpLayout good = Layout(3, 2, 24);
    good.data.assign(24, 0x55);
    auto refused = [&](BmpLayout s, BmpError why) {
        Picture p = Decode(Build(s), why);
        EXPECT_TRUE(p.pixels.empty());
        EXPECT_EQ(p.width, 0);
    };
    BmpLayout s = good;
    s.headerSize = 20;
    refused(s, BmpError::BadHeaderSize);
    s = good, s.width = 0;
    refused(s, BmpError::BadDimensions);
    s = good, s.height = 0;
    refused(s, BmpError::BadDimensions);
    s = good, s.width = -3;
    refused(s, BmpError::BadDimensions);
    s = good, s.width = 16385;
    refused(s, BmpError::TooLarge);
    s = good, s.width = 10000, s.height = -10000;  // 100M pixels, each side within limits
    refused(s, BmpError::TooLarge);
    s = good, s.height = INT32_MIN;
    refused(s, BmpError::TooLarge);
    s = good, s.planes = 2;
    refused(s, BmpError::BadPlanes);
    s = good, s.bitCount = 7;
    refused(s, BmpError::BadBitCount);
    s = good, s.compression = 1;  // RLE8 needs 8 bits
    refused(s, BmpError::BadCompression);
    s = good, s.compression = 4;  // embedded JPEG
    refused(s, BmpError::BadCompression);
    s = good, s.bitCount = 8, s.compression = 1, s.height = -2;  // compressed rows cannot run top-down
    refused(s, BmpError::BadCompression);
    s = good, s.bitCount = 16, s.compression = 3, s.masks = {0xF800, 0x0FE0, 0x001F};  // overlap
    refused(s, BmpError::BadBitFields);
    s.masks = {0xF000, 0x0A00, 0x001F};  // not contiguous
    refused(s, BmpError::BadBitFields);
    s.masks = {0x1F0000, 0x07E0, 0x001F};  // beyond 16 bits
    refused(s, BmpError::BadBitFields);
    s = good, s.dataOffset = 20;  // inside the headers
    refused(s, BmpError::BadDataOffset);
    s = good, s.dataOffset = 1000;  // past the end
    refused(s, BmpError::Truncated);
    s = good, s.data.resize(23);  // one byte short of the last row
    refused(s, BmpError::Truncated);
    s = good, s.bitCount = 8, s.compression = 1, s.data = {2, 1, 0, 0};  // no end marker, rows missing
    refused(s, BmpError::BadRle);
    s.data = {0, 5, 1, 2};  // absolute run longer than the data
    refused(s, BmpError::BadRle);

    Bytes notBmp = Build(good);
    notBmp[1] = 'A';
    Decode(notBmp, BmpError::NotBmp);
    Decode({}, BmpError::Truncated);
}

TEST(BmpDecode, EveryTruncationOfAValidFileIsRefused) {
    BmpLayout s = Layout(5, 3, 8, 0, 124);
    s.colorsUsed = 4;
    s.palette = Palette({1, 2, 3, 4});
    s.data.assign(24, 2);
    const Bytes file = Build(s);
    ASSERT_EQ(Decode(file).width, 5);
    for (size_t n = 0; n < file.size(); ++n) {
        // A copy of exactly n bytes, so that the sanitizers see any read past it.
        std::vector<uint8_t> prefix(file.begin(), file.begin() + static_cast<ptrdiff_t>(n));
        Picture p;
        EXPECT_FALSE(platform::DecodeBmp(prefix.data(), prefix.size(), p)) << n << " bytes";
        EXPECT_TRUE(p.pixels.empty());
    }
}

TEST(BmpDecode, LimitsAreTheCallersToChoose) {
    BmpLayout s = Layout(40, 30, 24);
    s.data.assign(120 * 30, 0);
    platform::BmpLimits small;
    small.maxPixels = 1000;
    Picture p;
    const Bytes file = Build(s);
    EXPECT_EQ(platform::DecodeBmp(file.data(), file.size(), p, small).error, BmpError::TooLarge);
    small.maxPixels = 1200;
    EXPECT_TRUE(platform::DecodeBmp(file.data(), file.size(), p, small));
}

}  // namespace
