// Pixel conversion and nearest-neighbour scaling for presentation, eight pixels at a time with SSE2
// (sixteen for RGB565 at the blitter's AVX2 level and above); whole-number factors in one pass
// that writes around the cache.
#include "platform/sdl/sdl_convert.h"

#include <immintrin.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "platform/blit.h"

namespace platform::sdl {
namespace {

constexpr uint32_t kOpaque = 0xFF000000u;

inline uint32_t Widen565(uint16_t pixel) {
    uint32_t r = ((pixel >> 11) * 527u + 23u) >> 6;
    uint32_t g = (((pixel >> 5) & 0x3Fu) * 259u + 33u) >> 6;
    uint32_t b = ((pixel & 0x1Fu) * 527u + 23u) >> 6;
    return kOpaque | (r << 16) | (g << 8) | b;
}

// Sixteen RGB565 pixels widened to opaque 8-8-8 with AVX2 (the arithmetic of Widen565). The unpacks
// work within each 128-bit half: `low` holds pixels 0-3 and 8-11, `high` pixels 4-7 and 12-15.
__attribute__((target("avx2"))) inline void Widen565x16(const uint8_t* in, __m256i& low, __m256i& high) {
    const __m256i mask5 = _mm256_set1_epi16(0x1F), mask6 = _mm256_set1_epi16(0x3F);
    const __m256i mul5 = _mm256_set1_epi16(527), mul6 = _mm256_set1_epi16(259);
    const __m256i round5 = _mm256_set1_epi16(23), round6 = _mm256_set1_epi16(33);
    const __m256i alpha = _mm256_set1_epi16(static_cast<short>(0xFF00));
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(in));
    __m256i r = _mm256_srli_epi16(v, 11);
    __m256i g = _mm256_and_si256(_mm256_srli_epi16(v, 5), mask6);
    __m256i b = _mm256_and_si256(v, mask5);
    r = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(r, mul5), round5), 6);
    g = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(g, mul6), round6), 6);
    b = _mm256_srli_epi16(_mm256_add_epi16(_mm256_mullo_epi16(b, mul5), round5), 6);
    const __m256i greenBlue = _mm256_or_si256(_mm256_slli_epi16(g, 8), b);
    const __m256i alphaRed = _mm256_or_si256(alpha, r);
    low = _mm256_unpacklo_epi16(greenBlue, alphaRed);
    high = _mm256_unpackhi_epi16(greenBlue, alphaRed);
}

// Sixteen pixels at a time where the processor has AVX2; the same arithmetic as below.
__attribute__((target("avx2"))) int Convert565Avx2(const uint8_t* source, uint32_t* out, int count) {
    int x = 0;
    for (; x + 16 <= count; x += 16) {
        __m256i low, high;
        Widen565x16(source + 2 * x, low, high);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), _mm256_permute2x128_si256(low, high, 0x20));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x + 8),
                            _mm256_permute2x128_si256(low, high, 0x31));
    }
    return x;
}

void Convert565(const uint8_t* source, uint32_t* out, int count) {
    // The blitter's instruction-set level rules here too, so one setting (and one test switch)
    // covers every pixel loop.
    int x = platform::ActiveBlitLevel() >= platform::BlitLevel::AVX2 ? Convert565Avx2(source, out, count) : 0;
    const __m128i mask5 = _mm_set1_epi16(0x1F);
    const __m128i mask6 = _mm_set1_epi16(0x3F);
    const __m128i mul5 = _mm_set1_epi16(527);
    const __m128i mul6 = _mm_set1_epi16(259);
    const __m128i round5 = _mm_set1_epi16(23);
    const __m128i round6 = _mm_set1_epi16(33);
    const __m128i alpha = _mm_set1_epi16(static_cast<short>(0xFF00));
    for (; x + 8 <= count; x += 8) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 2 * x));
        __m128i r = _mm_srli_epi16(v, 11);
        __m128i g = _mm_and_si128(_mm_srli_epi16(v, 5), mask6);
        __m128i b = _mm_and_si128(v, mask5);
        r = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(r, mul5), round5), 6);
        g = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(g, mul6), round6), 6);
        b = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(b, mul5), round5), 6);
        __m128i greenBlue = _mm_or_si128(_mm_slli_epi16(g, 8), b);
        __m128i alphaRed = _mm_or_si128(alpha, r);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_unpacklo_epi16(greenBlue, alphaRed));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x + 4), _mm_unpackhi_epi16(greenBlue, alphaRed));
    }
    for (; x < count; ++x) {
        uint16_t pixel;
        std::memcpy(&pixel, source + 2 * x, 2);
        out[x] = Widen565(pixel);
    }
}

void Convert8888(const uint8_t* source, uint32_t* out, int count) {
    int x = 0;
    const __m128i opaque = _mm_set1_epi32(static_cast<int>(kOpaque));
    for (; x + 4 <= count; x += 4) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + 4 * x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_or_si128(v, opaque));
    }
    for (; x < count; ++x) {
        uint32_t pixel;
        std::memcpy(&pixel, source + 4 * x, 4);
        out[x] = pixel | kOpaque;
    }
}

// Repeats each of count pixels factor times.
void Widen(const uint32_t* row, int count, int factor, uint32_t* out) {
    if (factor == 2) {
        int x = 0;
        for (; x + 4 <= count; x += 4) {
            __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * x), _mm_unpacklo_epi32(v, v));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * x + 4), _mm_unpackhi_epi32(v, v));
        }
        for (; x < count; ++x) out[2 * x] = out[2 * x + 1] = row[x];
        return;
    }
    for (int x = 0; x < count; ++x) {
        uint32_t pixel = row[x];
        for (int k = 0; k < factor; ++k) *out++ = pixel;
    }
}

// Copies count pixels into a row of the window's buffer with streaming stores, which write around
// the cache: the buffer goes to the display next, and fetching each line of it for the write
// would double the memory traffic of a frame.
void StreamRow(const uint32_t* row, int count, uint32_t* out) {
    int x = 0;
    for (; x < count && (reinterpret_cast<uintptr_t>(out + x) & 15) != 0; ++x) out[x] = row[x];
    for (; x + 4 <= count; x += 4)
        _mm_stream_si128(reinterpret_cast<__m128i*>(out + x),
                         _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x)));
    for (; x < count; ++x) out[x] = row[x];
}

// One source row (converted in scratch) into `factor` target rows, each pixel repeated factor
// times, a stretch at a time through a buffer that stays in the first-level cache.
void StreamWideRows(const uint32_t* row, int count, int factor, uint8_t* out, int targetPitch) {
    constexpr int kStretch = 64, kMaxFactor = 16;
    auto targetRow = [&](int k) {
        return reinterpret_cast<uint32_t*>(out + static_cast<size_t>(k) * targetPitch);
    };
    if (factor > kMaxFactor) {  // beyond any screen's need: plainly
        for (int k = 0; k < factor; ++k) Widen(row, count, factor, targetRow(k));
        return;
    }
    uint32_t wide[kStretch * kMaxFactor];
    for (int x = 0; x < count; x += kStretch) {
        const int n = std::min(kStretch, count - x);
        Widen(row + x, n, factor, wide);
        for (int k = 0; k < factor; ++k) StreamRow(wide, n * factor, targetRow(k) + x * factor);
    }
}

// A converted row of `width` pixels stretched to `count`: target column x shows source column
// x * width / count, stepped without dividing.
void PickRow(const uint32_t* row, int width, int count, uint32_t* out) {
    int sourceX = 0, remainder = 0;
    for (int x = 0; x < count; ++x) {
        out[x] = row[sourceX];
        remainder += width;
        while (remainder >= count) {
            remainder -= count;
            ++sourceX;
        }
    }
}

// Eight RGB565 pixels widened as Widen565 does, in two registers of four.
inline void Widen565x8(__m128i v, __m128i& low, __m128i& high) {
    const __m128i mask5 = _mm_set1_epi16(0x1F), mask6 = _mm_set1_epi16(0x3F);
    const __m128i mul5 = _mm_set1_epi16(527), mul6 = _mm_set1_epi16(259);
    const __m128i round5 = _mm_set1_epi16(23), round6 = _mm_set1_epi16(33);
    __m128i r = _mm_srli_epi16(v, 11);
    __m128i g = _mm_and_si128(_mm_srli_epi16(v, 5), mask6);
    __m128i b = _mm_and_si128(v, mask5);
    r = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(r, mul5), round5), 6);
    g = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(g, mul6), round6), 6);
    b = _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(b, mul5), round5), 6);
    const __m128i greenBlue = _mm_or_si128(_mm_slli_epi16(g, 8), b);
    const __m128i alphaRed = _mm_or_si128(_mm_set1_epi16(static_cast<short>(0xFF00)), r);
    low = _mm_unpacklo_epi16(greenBlue, alphaRed);
    high = _mm_unpackhi_epi16(greenBlue, alphaRed);
}

// Writes four converted pixels, each `factor` (2 or more) times, at out in `factor` rows pitch bytes apart;
// out is on a 16-byte boundary and so is every row.
inline void StreamWide(__m128i v, int factor, uint8_t* out, ptrdiff_t pitch) {
    auto put = [&](int slot, __m128i value) {
        uint8_t* at = out + 16 * slot;
        for (int k = 0; k < factor; ++k, at += pitch) _mm_stream_si128(reinterpret_cast<__m128i*>(at), value);
    };
    switch (factor) {
        case 2:
            put(0, _mm_unpacklo_epi32(v, v));
            put(1, _mm_unpackhi_epi32(v, v));
            return;
        case 3:
            put(0, _mm_shuffle_epi32(v, _MM_SHUFFLE(1, 0, 0, 0)));
            put(1, _mm_shuffle_epi32(v, _MM_SHUFFLE(2, 2, 1, 1)));
            put(2, _mm_shuffle_epi32(v, _MM_SHUFFLE(3, 3, 3, 2)));
            return;
        default: {  // a multiple of four
            const __m128i each[4] = {_mm_shuffle_epi32(v, 0x00), _mm_shuffle_epi32(v, 0x55),
                                     _mm_shuffle_epi32(v, 0xAA), _mm_shuffle_epi32(v, 0xFF)};
            const int per = factor / 4;
            for (int i = 0; i < 4; ++i)
                for (int j = 0; j < per; ++j) put(i * per + j, each[i]);
        }
    }
}

// One source row converted and written `factor` times wide into `factor` target rows.
// Sixteen RGB565 pixels at a time widened with AVX2 (the arithmetic of Widen565x8), then written
// four at a time as above; returns the pixels done.
__attribute__((target("avx2"))) int OnePass565Avx2(const uint8_t* in, int width, int factor, uint8_t* out,
                                                   int targetPitch) {
    const size_t step = static_cast<size_t>(factor) * 16;
    int x = 0;
    for (; x + 16 <= width; x += 16) {
        __m256i low, high;
        Widen565x16(in + 2 * x, low, high);
        uint8_t* at = out + static_cast<size_t>(x) / 4 * step;
        StreamWide(_mm256_castsi256_si128(low), factor, at, targetPitch);
        StreamWide(_mm256_castsi256_si128(high), factor, at + step, targetPitch);
        StreamWide(_mm256_extracti128_si256(low, 1), factor, at + 2 * step, targetPitch);
        StreamWide(_mm256_extracti128_si256(high, 1), factor, at + 3 * step, targetPitch);
    }
    return x;
}

void OnePassRow(const uint8_t* in, PixelFormat format, int width, int factor, uint8_t* out, int targetPitch) {
    int x = 0;
    const size_t step = static_cast<size_t>(factor) * 16;  // target bytes of four source pixels
    if (format == PixelFormat::RGB565) {
        if (platform::ActiveBlitLevel() >= platform::BlitLevel::AVX2)
            x = OnePass565Avx2(in, width, factor, out, targetPitch);
        for (; x + 8 <= width; x += 8) {
            __m128i low, high;
            Widen565x8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 2 * x)), low, high);
            uint8_t* at = out + static_cast<size_t>(x) / 4 * step;
            StreamWide(low, factor, at, targetPitch);
            StreamWide(high, factor, at + step, targetPitch);
        }
    } else {
        const __m128i opaque = _mm_set1_epi32(static_cast<int>(kOpaque));
        for (; x + 4 <= width; x += 4) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 4 * x));
            StreamWide(_mm_or_si128(v, opaque), factor, out + static_cast<size_t>(x) / 4 * step, targetPitch);
        }
    }
    for (; x < width; ++x) {
        uint32_t pixel;
        if (format == PixelFormat::RGB565) {
            uint16_t narrow;
            std::memcpy(&narrow, in + 2 * x, 2);
            pixel = Widen565(narrow);
        } else {
            std::memcpy(&pixel, in + 4 * x, 4);
            pixel |= kOpaque;
        }
        for (int k = 0; k < factor; ++k) {
            uint32_t* row =
                reinterpret_cast<uint32_t*>(out + static_cast<size_t>(k) * targetPitch) + x * factor;
            for (int i = 0; i < factor; ++i) row[i] = pixel;
        }
    }
}

}  // namespace

// At the window's own size, converting in place with plain stores measured quicker than streaming.
bool OnePassTakes(const uint8_t* first, int targetPitch, int factor) {
    return (reinterpret_cast<uintptr_t>(first) & 15) == 0 && targetPitch % 16 == 0 && factor >= 2 &&
           (factor <= 4 || factor % 4 == 0);
}

void ConvertRow(const uint8_t* source, PixelFormat format, uint32_t* out, int count) {
    if (format == PixelFormat::RGB565) {
        Convert565(source, out, count);
    } else {
        Convert8888(source, out, count);
    }
}

void ScaleInto(const uint8_t* source, int sourcePitch, PixelFormat format, int width, int height,
               uint8_t* target, int targetPitch, const Box& where, uint32_t* scratch) {
    if (width <= 0 || height <= 0 || where.width <= 0 || where.height <= 0) return;
    uint8_t* first = target + static_cast<size_t>(where.y) * targetPitch + static_cast<size_t>(where.x) * 4;
    const bool whole = where.width % width == 0 && where.height % height == 0 &&
                       where.width / width == where.height / height;
    if (whole && OnePassTakes(first, targetPitch, where.width / width)) {
        const int factor = where.width / width;
        for (int y = 0; y < height; ++y)
            OnePassRow(source + static_cast<size_t>(y) * sourcePitch, format, width, factor,
                       first + static_cast<size_t>(y) * factor * targetPitch, targetPitch);
        _mm_sfence();  // the streamed rows are in memory before the display is told to read them
        return;
    }
    ScaleIntoByRows(source, sourcePitch, format, width, height, target, targetPitch, where, scratch);
}

void ScaleIntoByRows(const uint8_t* source, int sourcePitch, PixelFormat format, int width, int height,
                     uint8_t* target, int targetPitch, const Box& where, uint32_t* scratch) {
    if (width <= 0 || height <= 0 || where.width <= 0 || where.height <= 0) return;
    uint8_t* first = target + static_cast<size_t>(where.y) * targetPitch + static_cast<size_t>(where.x) * 4;
    const bool whole = where.width % width == 0 && where.height % height == 0 &&
                       where.width / width == where.height / height;
    if (whole) {
        const int factor = where.width / width;
        for (int y = 0; y < height; ++y) {
            uint8_t* out = first + static_cast<size_t>(y) * factor * targetPitch;
            const uint8_t* in = source + static_cast<size_t>(y) * sourcePitch;
            // At the window's own size converting in place is quicker than a pass through scratch.
            if (factor == 1) {
                ConvertRow(in, format, reinterpret_cast<uint32_t*>(out), width);
                continue;
            }
            ConvertRow(in, format, scratch, width);
            StreamWideRows(scratch, width, factor, out, targetPitch);
        }
        _mm_sfence();  // the streamed rows are in memory before the display is told to read them
        return;
    }
    // Stretched (not whole-number) rows: measured, plain stores and copies of the row just drawn
    // are quicker here than streaming, which only pays for the repeated whole-number rows.
    const size_t rowBytes = static_cast<size_t>(where.width) * 4;
    int converted = -1;
    const uint8_t* previous = nullptr;
    for (int y = 0; y < where.height; ++y) {
        const int sourceY = static_cast<int>(static_cast<int64_t>(y) * height / where.height);
        uint8_t* out = first + static_cast<size_t>(y) * targetPitch;
        if (sourceY == converted) {
            std::memcpy(out, previous, rowBytes);
        } else {
            ConvertRow(source + static_cast<size_t>(sourceY) * sourcePitch, format, scratch, width);
            PickRow(scratch, width, where.width, reinterpret_cast<uint32_t*>(out));
            converted = sourceY;
        }
        previous = out;
    }
}

void FillBars(uint8_t* target, int targetPitch, int width, int height, const Box& picture) {
    const uint32_t black = kOpaque;
    for (int y = 0; y < height; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(target + static_cast<size_t>(y) * targetPitch);
        const bool inside = y >= picture.y && y < picture.y + picture.height;
        for (int x = 0; x < width; ++x) {
            if (inside && picture.width > 0 && x == picture.x) {
                x += picture.width - 1;
                continue;
            }
            row[x] = black;
        }
    }
}

}  // namespace platform::sdl
