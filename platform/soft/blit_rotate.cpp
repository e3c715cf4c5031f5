// The row loop of the rotated copies: one pixel at a time, and at the AVX2 and AVX-512 levels with
// offsets worked out in vectors and the pixels read one by one into them (gathers for 32-bit
// pixels at the AVX2 level), compiled with per-function target attributes, like the keyed copies.
#include "platform/soft/blit_rotate.h"

#include <cstring>

#include "platform/blit.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define EL_ROTATE_X86 1
#endif

namespace platform {
namespace {

template <typename Pixel>
void OnePixel(uint8_t* out, int64_t i, int64_t fx, int64_t fy, int64_t stepX, int64_t stepY,
              const uint8_t* bits, ptrdiff_t pitch) {
    constexpr uint32_t kColour = sizeof(Pixel) == 4 ? 0xFFFFFF : 0xFFFF;
    const int64_t x = (fx + i * stepX) >> 16, y = (fy + i * stepY) >> 16;
    Pixel p;
    std::memcpy(&p, bits + y * pitch + x * static_cast<int64_t>(sizeof(Pixel)), sizeof(Pixel));
    if ((p & kColour) != 0) std::memcpy(out + i * static_cast<int64_t>(sizeof(Pixel)), &p, sizeof(Pixel));
}

template <typename Pixel>
void RunScalar(uint8_t* out, int64_t count, int64_t fx, int64_t fy, int64_t stepX, int64_t stepY,
               const uint8_t* bits, ptrdiff_t pitch) {
    constexpr uint32_t kColour = sizeof(Pixel) == 4 ? 0xFFFFFF : 0xFFFF;
    Pixel* to = reinterpret_cast<Pixel*>(out);
    for (int64_t i = 0; i < count; ++i, fx += stepX, fy += stepY) {
        Pixel p;
        std::memcpy(&p, bits + (fy >> 16) * pitch + (fx >> 16) * static_cast<int64_t>(sizeof(Pixel)),
                    sizeof(Pixel));
        if ((p & kColour) != 0) std::memcpy(to + i, &p, sizeof(Pixel));
    }
}

#if EL_ROTATE_X86

// The vector loops keep positions in 32-bit lanes. A position on the picture is below 2^30 (sides
// of at most 16384 pixels in 16.16 fixed point), so lane arithmetic that wraps modulo 2^32 still
// gives it exactly, and so does a byte offset (row * pitch + column * size) into the picture.

#define EL_TARGET_AVX2 __attribute__((target("avx2")))
#define EL_TARGET_AVX512 __attribute__((target("avx512f,avx512bw")))

// Whole pixels of 16.16 positions (the intrinsic shifts draw false warnings from this compiler's
// headers when only a function, not the file, targets the level).
typedef uint32_t Lanes16 __attribute__((vector_size(64)));
EL_TARGET_AVX512 inline __m512i Whole(__m512i v) {
    return (__m512i)((Lanes16)v >> 16);
}

// 16-bit pixels: a hardware gather costs about as much per lane as the one-pixel loop saves, so
// the vector code works out the byte offsets of a block of pixels, each pixel is inserted into a
// vector straight from the picture with a two-byte load (never past the picture's last pixel), and
// the block is written back in one go, transparent pixels keeping the destination. The end of a
// row goes in blocks of 8, then one pixel at a time.
inline int Load16(const uint8_t* bits, uint32_t offset) {
    uint16_t p;
    std::memcpy(&p, bits + offset, 2);
    return p;
}

// Eight pixels, inserted into the vector straight from the picture.
inline __m128i Eight16(const uint8_t* bits, const uint32_t* o) {
    __m128i v = _mm_cvtsi32_si128(Load16(bits, o[0]));
    v = _mm_insert_epi16(v, Load16(bits, o[1]), 1);
    v = _mm_insert_epi16(v, Load16(bits, o[2]), 2);
    v = _mm_insert_epi16(v, Load16(bits, o[3]), 3);
    v = _mm_insert_epi16(v, Load16(bits, o[4]), 4);
    v = _mm_insert_epi16(v, Load16(bits, o[5]), 5);
    v = _mm_insert_epi16(v, Load16(bits, o[6]), 6);
    return _mm_insert_epi16(v, Load16(bits, o[7]), 7);
}

// Two 256-bit halves joined (the intrinsic draws the same false warnings).
typedef long long Quads4 __attribute__((vector_size(32)));

// Sixteen destination pixels walking through the picture: their fixed-point source positions, and
// how far the next sixteen are from them.
struct Walk16 {
    __m512i x, y, advanceX, advanceY, pitch;
};

EL_TARGET_AVX512 inline Walk16 StartWalk16(int64_t fx, int64_t fy, int64_t stepX, int64_t stepY,
                                           ptrdiff_t pitch) {
    const __m512i iota = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    Walk16 w;
    w.x = _mm512_add_epi32(_mm512_set1_epi32(static_cast<int32_t>(fx)),
                           _mm512_mullo_epi32(iota, _mm512_set1_epi32(static_cast<int32_t>(stepX))));
    w.y = _mm512_add_epi32(_mm512_set1_epi32(static_cast<int32_t>(fy)),
                           _mm512_mullo_epi32(iota, _mm512_set1_epi32(static_cast<int32_t>(stepY))));
    w.advanceX = _mm512_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(stepX) * 16u));
    w.advanceY = _mm512_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(stepY) * 16u));
    w.pitch = _mm512_set1_epi32(static_cast<int32_t>(pitch));
    return w;
}

// The byte offsets of the next 16 pixels of 1 << shift bytes, and the walk moved on past them.
template <int shift>
EL_TARGET_AVX512 inline __m512i NextOffsets(Walk16& w) {
    const __m512i offset =
        _mm512_add_epi32(_mm512_mullo_epi32(Whole(w.y), w.pitch), (__m512i)((Lanes16)Whole(w.x) << shift));
    w.x = _mm512_add_epi32(w.x, w.advanceX);
    w.y = _mm512_add_epi32(w.y, w.advanceY);
    return offset;
}

EL_TARGET_AVX512 inline void Offsets16(Walk16& w, uint32_t* to) {
    _mm512_store_si512(to, NextOffsets<1>(w));
}

// Four 32-bit pixels, read one by one.
EL_TARGET_AVX512 inline __m128i Four32(const uint8_t* bits, const uint32_t* o) {
    int32_t p[4];
    for (int k = 0; k < 4; ++k) std::memcpy(p + k, bits + o[k], 4);
    __m128i v = _mm_cvtsi32_si128(p[0]);
    v = _mm_insert_epi32(v, p[1], 1);
    v = _mm_insert_epi32(v, p[2], 2);
    return _mm_insert_epi32(v, p[3], 3);
}

// 32-bit pixels at the AVX-512 level: 16 at a time read one by one as the 16-bit ones below (a
// 16-lane gather costs more), and the end of a row by a gather.
EL_TARGET_AVX512 void Run32Avx512(uint8_t* out, int64_t count, int64_t fx, int64_t fy, int64_t stepX,
                                  int64_t stepY, const uint8_t* bits, ptrdiff_t pitch) {
    Walk16 walk = StartWalk16(fx, fy, stepX, stepY, pitch);
    const __m512i colour = _mm512_set1_epi32(0xFFFFFF);
    alignas(64) uint32_t offsets[16];
    for (int64_t i = 0; i < count; i += 16) {
        const __m512i offset = NextOffsets<2>(walk);
        if (count - i < 16) {
            const __mmask16 live = static_cast<__mmask16>((1u << (count - i)) - 1);
            const __m512i p = _mm512_mask_i32gather_epi32(_mm512_setzero_si512(), live, offset, bits, 1);
            _mm512_mask_storeu_epi32(out + 4 * i, _mm512_mask_test_epi32_mask(live, p, colour), p);
            break;
        }
        _mm512_store_si512(offsets, offset);
        __asm__ volatile("" : : "r"(offsets) : "memory");
        const __m256i low = _mm256_inserti128_si256(_mm256_zextsi128_si256(Four32(bits, offsets)),
                                                    Four32(bits, offsets + 4), 1);
        const __m256i high = _mm256_inserti128_si256(_mm256_zextsi128_si256(Four32(bits, offsets + 8)),
                                                     Four32(bits, offsets + 12), 1);
        const __m512i p = (__m512i)__builtin_shufflevector((Quads4)low, (Quads4)high, 0, 1, 2, 3, 4, 5, 6, 7);
        _mm512_mask_storeu_epi32(out + 4 * i, _mm512_test_epi32_mask(p, colour), p);
    }
}

EL_TARGET_AVX512 void Run16Avx512(uint8_t* out, int64_t count, int64_t fx, int64_t fy, int64_t stepX,
                                  int64_t stepY, const uint8_t* bits, ptrdiff_t pitch) {
    Walk16 walk = StartWalk16(fx, fy, stepX, stepY, pitch);
    alignas(64) uint32_t offsets[32];
    int64_t i = 0;
    for (; i + 32 <= count; i += 32) {
        Offsets16(walk, offsets);
        Offsets16(walk, offsets + 16);
        // Read the offsets back from memory: taking lanes out of the vector one by one is slower.
        __asm__ volatile("" : : "r"(offsets) : "memory");
        const __m256i low = _mm256_inserti128_si256(_mm256_zextsi128_si256(Eight16(bits, offsets)),
                                                    Eight16(bits, offsets + 8), 1);
        const __m256i high = _mm256_inserti128_si256(_mm256_zextsi128_si256(Eight16(bits, offsets + 16)),
                                                     Eight16(bits, offsets + 24), 1);
        const __m512i p = (__m512i)__builtin_shufflevector((Quads4)low, (Quads4)high, 0, 1, 2, 3, 4, 5, 6, 7);
        _mm512_mask_storeu_epi16(out + 2 * i, _mm512_test_epi16_mask(p, p), p);
    }
    // What is left: blocks of 8 pixels where they fit, then one pixel at a time.
    if (i + 8 <= count) {
        Offsets16(walk, offsets);
        Offsets16(walk, offsets + 16);
        __asm__ volatile("" : : "r"(offsets) : "memory");
        for (int k = 0; i + 8 <= count; ++k, i += 8) {
            const __m512i p = _mm512_zextsi128_si512(Eight16(bits, offsets + 8 * k));
            _mm512_mask_storeu_epi16(out + 2 * i, _mm512_test_epi16_mask(p, p) & 0xFFu, p);
        }
    }
    if (i < count)
        RunScalar<uint16_t>(out + 2 * i, count - i, fx + i * stepX, fy + i * stepY, stepX, stepY, bits,
                            pitch);
}

// 32-bit pixels at the AVX2 level, 8 at a time by gathers (cheaper here than single loads).
EL_TARGET_AVX2 void Run32Avx2(uint8_t* out, int64_t count, int64_t fx, int64_t fy, int64_t stepX,
                              int64_t stepY, const uint8_t* bits, ptrdiff_t pitch) {
    const __m256i iota = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    __m256i x = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int32_t>(fx)),
                                 _mm256_mullo_epi32(iota, _mm256_set1_epi32(static_cast<int32_t>(stepX))));
    __m256i y = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int32_t>(fy)),
                                 _mm256_mullo_epi32(iota, _mm256_set1_epi32(static_cast<int32_t>(stepY))));
    const __m256i advanceX = _mm256_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(stepX) * 8u));
    const __m256i advanceY = _mm256_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(stepY) * 8u));
    const __m256i pitchV = _mm256_set1_epi32(static_cast<int32_t>(pitch));
    const __m256i colour = _mm256_set1_epi32(0xFFFFFF);
    int64_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256i offset = _mm256_add_epi32(_mm256_mullo_epi32(_mm256_srai_epi32(y, 16), pitchV),
                                                _mm256_slli_epi32(_mm256_srai_epi32(x, 16), 2));
        x = _mm256_add_epi32(x, advanceX);
        y = _mm256_add_epi32(y, advanceY);
        const __m256i p = _mm256_i32gather_epi32(reinterpret_cast<const int*>(bits), offset, 1);
        const __m256i clear = _mm256_cmpeq_epi32(_mm256_and_si256(p, colour), _mm256_setzero_si256());
        // A blend with the destination (a masked store is slow on some processors).
        const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(out + 4 * i));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + 4 * i), _mm256_blendv_epi8(p, d, clear));
    }
    for (; i < count; ++i) OnePixel<uint32_t>(out, i, fx, fy, stepX, stepY, bits, pitch);
}

// 16-bit pixels at the AVX2 level: as at the AVX-512 one, 16 at a time.
EL_TARGET_AVX2 void Run16Avx2(uint8_t* out, int64_t count, int64_t fx, int64_t fy, int64_t stepX,
                              int64_t stepY, const uint8_t* bits, ptrdiff_t pitch) {
    const __m256i iota = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    __m256i x = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int32_t>(fx)),
                                 _mm256_mullo_epi32(iota, _mm256_set1_epi32(static_cast<int32_t>(stepX))));
    __m256i y = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int32_t>(fy)),
                                 _mm256_mullo_epi32(iota, _mm256_set1_epi32(static_cast<int32_t>(stepY))));
    const __m256i advanceX = _mm256_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(stepX) * 8u));
    const __m256i advanceY = _mm256_set1_epi32(static_cast<int32_t>(static_cast<uint32_t>(stepY) * 8u));
    const __m256i pitchV = _mm256_set1_epi32(static_cast<int32_t>(pitch));
    alignas(32) uint32_t offsets[32];
    // `n` blocks of 16 pixels from pixel `at` on.
    auto blocks = [&](int64_t at, int n) EL_TARGET_AVX2 {
        for (int k = 0; k < 2 * n; ++k) {
            const __m256i offset = _mm256_add_epi32(_mm256_mullo_epi32(_mm256_srai_epi32(y, 16), pitchV),
                                                    _mm256_slli_epi32(_mm256_srai_epi32(x, 16), 1));
            _mm256_store_si256(reinterpret_cast<__m256i*>(offsets + 8 * k), offset);
            x = _mm256_add_epi32(x, advanceX);
            y = _mm256_add_epi32(y, advanceY);
        }
        __asm__ volatile("" : : "r"(offsets) : "memory");
        for (int k = 0; k < n; ++k) {
            const __m256i p = _mm256_inserti128_si256(_mm256_zextsi128_si256(Eight16(bits, offsets + 16 * k)),
                                                      Eight16(bits, offsets + 16 * k + 8), 1);
            const __m256i clear = _mm256_cmpeq_epi16(p, _mm256_setzero_si256());
            uint8_t* to = out + 2 * (at + 16 * k);
            const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(to));
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(to), _mm256_blendv_epi8(p, d, clear));
        }
    };
    int64_t i = 0;
    for (; i + 32 <= count; i += 32) blocks(i, 2);
    if (i + 16 <= count) {
        blocks(i, 1);
        i += 16;
    }
    if (i + 8 <= count) {
        _mm256_store_si256(reinterpret_cast<__m256i*>(offsets),
                           _mm256_add_epi32(_mm256_mullo_epi32(_mm256_srai_epi32(y, 16), pitchV),
                                            _mm256_slli_epi32(_mm256_srai_epi32(x, 16), 1)));
        __asm__ volatile("" : : "r"(offsets) : "memory");
        const __m128i p = Eight16(bits, offsets);
        const __m128i clear = _mm_cmpeq_epi16(p, _mm_setzero_si128());
        const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i*>(out + 2 * i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 2 * i), _mm_blendv_epi8(p, d, clear));
        i += 8;
    }
    if (i < count)
        RunScalar<uint16_t>(out + 2 * i, count - i, fx + i * stepX, fy + i * stepY, stepX, stepY, bits,
                            pitch);
}

#endif  // EL_ROTATE_X86

}  // namespace

void RotateRun(uint8_t* out, int64_t count, int64_t fx, int64_t fy, int64_t stepX, int64_t stepY,
               const uint8_t* bits, ptrdiff_t pitch, size_t readable, bool wide) {
    // Every load reads just the bytes of one pixel on the picture, so `readable` limits none.
    static_cast<void>(readable);
    if (count <= 0) return;
#if EL_ROTATE_X86
    switch (ActiveBlitLevel()) {
        case BlitLevel::AVX512:
            return wide ? Run32Avx512(out, count, fx, fy, stepX, stepY, bits, pitch)
                        : Run16Avx512(out, count, fx, fy, stepX, stepY, bits, pitch);
        case BlitLevel::AVX2:
            return wide ? Run32Avx2(out, count, fx, fy, stepX, stepY, bits, pitch)
                        : Run16Avx2(out, count, fx, fy, stepX, stepY, bits, pitch);
        default:
            break;
    }
#endif
    if (wide)
        RunScalar<uint32_t>(out, count, fx, fy, stepX, stepY, bits, pitch);
    else
        RunScalar<uint16_t>(out, count, fx, fy, stepX, stepY, bits, pitch);
}

}  // namespace platform
