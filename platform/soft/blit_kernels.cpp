// Keyed-copy inner loops for each instruction-set level, and the choice of level at run time.
// The wider levels are compiled with per-function target attributes, so the rest of the program
// keeps the baseline instruction set and runs on any x86-64 processor.
#include "platform/soft/blit_kernels.h"

#include <atomic>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define EL_BLIT_X86 1
#endif

namespace platform::blit_detail {
namespace {

// ---- Scalar: one pixel at a time (the reference; also the path for other processors) ----

template <typename Pixel>
void KeyedScalar(uint8_t* dst, ptrdiff_t dstPitch, const uint8_t* src, ptrdiff_t srcPitch, int w, int h,
                 uint32_t key, uint32_t compareMask) {
    for (int y = 0; y < h; ++y, dst += dstPitch, src += srcPitch) {
        for (int x = 0; x < w; ++x) {
            Pixel p;
            std::memcpy(&p, src + x * sizeof(Pixel), sizeof(Pixel));
            if (((p ^ key) & compareMask) != 0) std::memcpy(dst + x * sizeof(Pixel), &p, sizeof(Pixel));
        }
    }
}

void Keyed16Scalar(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int w, int h, uint32_t key) {
    KeyedScalar<uint16_t>(dst, dp, src, sp, w, h, key & 0xFFFF, 0xFFFF);
}
void Keyed32Scalar(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int w, int h, uint32_t key) {
    KeyedScalar<uint32_t>(dst, dp, src, sp, w, h, key & 0xFFFFFF, 0xFFFFFF);
}

// Opaque rows. Rows longer than a few vectors go to the library's copy, which streams long rows
// well; shorter ones are copied in place with fixed-size moves, the last one ending exactly at the
// row's end (overlapping the one before it, which writes the same bytes).
constexpr int kLongRowBytes = 512;

void CopyRowsLong(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int bytes, int h) {
    for (int y = 0; y < h; ++y, dst += dp, src += sp) std::memcpy(dst, src, static_cast<size_t>(bytes));
}

// Rows below 16 bytes: two overlapping moves of 8, 4 or 2 bytes.
void CopyRowsTiny(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int bytes, int h) {
    auto rows = [&](auto unit) {
        constexpr size_t kUnit = sizeof(unit);
        const size_t last = static_cast<size_t>(bytes) - kUnit;
        for (int y = 0; y < h; ++y, dst += dp, src += sp) {
            decltype(unit) a, b;
            std::memcpy(&a, src, kUnit);
            std::memcpy(&b, src + last, kUnit);
            std::memcpy(dst, &a, kUnit);
            std::memcpy(dst + last, &b, kUnit);
        }
    };
    if (bytes >= 8)
        rows(uint64_t{});
    else if (bytes >= 4)
        rows(uint32_t{});
    else
        rows(uint16_t{});
}

void OpaqueScalar(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int bytes, int h) {
    if (bytes < 16) return CopyRowsTiny(dst, dp, src, sp, bytes, h);
    CopyRowsLong(dst, dp, src, sp, bytes, h);
}

constexpr Kernels kScalar{BlitLevel::Scalar, Keyed16Scalar, Keyed32Scalar, OpaqueScalar};

#if EL_BLIT_X86

// A keyed copy is idempotent (writing a source pixel twice gives the same result), so the
// vector loops finish a row with one last vector that ends exactly at the row's end and may
// overlap the previous one; only rows narrower than one vector fall back to the scalar loop.
//
// Rows are walked in blocks of 64 bytes (one cache line's worth). A block that is all key is
// skipped without touching the destination, an all-opaque block is stored without reading the
// destination, and only mixed blocks read, blend and write. Sprites (transparent margins, opaque
// bodies) thus touch little destination memory, and pictures with fine key patterns pay one
// predictable branch per block instead of one per vector.

// ---- SSE2: 16 bytes per vector (every x86-64 processor) ----

struct KeyEq16Sse2 {
    static constexpr int kBytesPerPixel = 2;
    __m128i key;
    __m128i operator()(__m128i v) const { return _mm_cmpeq_epi16(v, key); }
};
struct KeyEq32Sse2 {
    static constexpr int kBytesPerPixel = 4;
    __m128i key, rgb;
    __m128i operator()(__m128i v) const { return _mm_cmpeq_epi32(_mm_and_si128(v, rgb), key); }
};

// The source vector where eq is clear, the destination's where it is set.
inline void MergeSse2(uint8_t* d, __m128i sv, __m128i eq) {
    const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d),
                     _mm_or_si128(_mm_and_si128(eq, dv), _mm_andnot_si128(eq, sv)));
}

// One bit per pixel of a 64-byte block from its four key masks (1 = key).
inline int KeyBits(__m128i e0, __m128i e1, __m128i e2, __m128i e3, int bytesPerPixel) {
    if (bytesPerPixel == 2)
        return _mm_movemask_epi8(_mm_packs_epi16(e0, e1)) |
               (_mm_movemask_epi8(_mm_packs_epi16(e2, e3)) << 16);
    return _mm_movemask_epi8(_mm_packs_epi16(_mm_packs_epi32(e0, e1), _mm_packs_epi32(e2, e3)));
}

template <typename KeyEq>
inline void Block64Sse2(uint8_t* d, const uint8_t* s, const KeyEq& isKey) {
    const __m128i s0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    const __m128i s1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 16));
    const __m128i s2 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 32));
    const __m128i s3 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 48));
    const __m128i e0 = isKey(s0), e1 = isKey(s1), e2 = isKey(s2), e3 = isKey(s3);
    const int bits = KeyBits(e0, e1, e2, e3, KeyEq::kBytesPerPixel);
    constexpr int kAllKey = KeyEq::kBytesPerPixel == 2 ? -1 : 0xFFFF;
    if (bits == kAllKey) return;  // all transparent
    if (bits == 0) {              // all opaque
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), s0);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 16), s1);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 32), s2);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 48), s3);
        return;
    }
    MergeSse2(d, s0, e0);
    MergeSse2(d + 16, s1, e1);
    MergeSse2(d + 32, s2, e2);
    MergeSse2(d + 48, s3, e3);
}

template <typename KeyEq>
inline void Block32Sse2(uint8_t* d, const uint8_t* s, const KeyEq& isKey) {
    const __m128i s0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    const __m128i s1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 16));
    const __m128i e0 = isKey(s0), e1 = isKey(s1);
    if (_mm_movemask_epi8(_mm_and_si128(e0, e1)) == 0xFFFF) return;
    if (_mm_movemask_epi8(_mm_or_si128(e0, e1)) == 0) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d), s0);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 16), s1);
        return;
    }
    MergeSse2(d, s0, e0);
    MergeSse2(d + 16, s1, e1);
}

template <typename KeyEq>
inline void StepSse2(uint8_t* d, const uint8_t* s, const KeyEq& isKey) {
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    MergeSse2(d, sv, isKey(sv));
}

// bytes >= 16.
template <typename KeyEq>
void KeyedRowsSse2(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int bytes, int h,
                   const KeyEq& isKey) {
    for (int y = 0; y < h; ++y, dst += dp, src += sp) {
        int x = 0;
        for (; x + 64 <= bytes; x += 64) Block64Sse2(dst + x, src + x, isKey);
        if (x + 32 <= bytes) {
            Block32Sse2(dst + x, src + x, isKey);
            x += 32;
        }
        if (x + 16 <= bytes) {
            StepSse2(dst + x, src + x, isKey);
            x += 16;
        }
        if (x < bytes) StepSse2(dst + bytes - 16, src + bytes - 16, isKey);
    }
}

// Short rows (sprite cells): the branches of the block walk mispredict at every sprite edge, and
// a row of a few vectors gains little from skipping. Each row is instead exactly N vectors, all
// blended without a branch: N - 1 from the row's start and the last one ending at the row's end.
// The last vector's destination is read before any store of the row, so an overlap with the
// vector before it neither stalls on store forwarding nor changes the result (both blend the
// same source over the same original destination). (N - 1) * 16 < bytes <= N * 16.
template <int N, typename KeyEq>
void ShortRowsSse2(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int bytes, int h,
                   const KeyEq& isKey) {
    const ptrdiff_t last = bytes - 16;
    for (int y = 0; y < h; ++y, dst += dp, src += sp) {
        const __m128i dl = _mm_loadu_si128(reinterpret_cast<const __m128i*>(dst + last));
        const __m128i sl = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + last));
#pragma GCC unroll 16
        for (int i = 0; i < N - 1; ++i) StepSse2(dst + 16 * i, src + 16 * i, isKey);
        const __m128i el = isKey(sl);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + last),
                         _mm_or_si128(_mm_and_si128(el, dl), _mm_andnot_si128(el, sl)));
    }
}

// Rows up to this many bytes take the branch-free short-row path.
constexpr int kShortRowBytes = 256;

// bytes >= 16.
template <typename KeyEq>
void KeyedSse2(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int bytes, int h,
               const KeyEq& isKey) {
    switch ((bytes + 15) / 16) {
#define EL_SHORT_CASE(n) \
    case n:              \
        return ShortRowsSse2<n>(dst, dp, src, sp, bytes, h, isKey);
        EL_SHORT_CASE(1) EL_SHORT_CASE(2) EL_SHORT_CASE(3) EL_SHORT_CASE(4)
        EL_SHORT_CASE(5) EL_SHORT_CASE(6) EL_SHORT_CASE(7) EL_SHORT_CASE(8)
        EL_SHORT_CASE(9) EL_SHORT_CASE(10) EL_SHORT_CASE(11) EL_SHORT_CASE(12)
        EL_SHORT_CASE(13) EL_SHORT_CASE(14) EL_SHORT_CASE(15) EL_SHORT_CASE(16)
#undef EL_SHORT_CASE
        default:
            return KeyedRowsSse2(dst, dp, src, sp, bytes, h, isKey);
    }
}
static_assert(kShortRowBytes == 16 * 16);

void Keyed16Sse2(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int w, int h, uint32_t key) {
    if (w < 8) return Keyed16Scalar(dst, dp, src, sp, w, h, key);
    KeyedSse2(dst, dp, src, sp, 2 * w, h, KeyEq16Sse2{_mm_set1_epi16(static_cast<short>(key))});
}

void Keyed32Sse2(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int w, int h, uint32_t key) {
    if (w < 4) return Keyed32Scalar(dst, dp, src, sp, w, h, key);
    KeyedSse2(dst, dp, src, sp, 4 * w, h,
              KeyEq32Sse2{_mm_set1_epi32(static_cast<int>(key & 0xFFFFFF)), _mm_set1_epi32(0xFFFFFF)});
}

// Opaque rows of 16 to kLongRowBytes bytes: whole vectors and one last vector ending at the row's end,
// all loaded before any is stored.
void OpaqueSse2(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int bytes, int h) {
    if (bytes < 16) return CopyRowsTiny(dst, dp, src, sp, bytes, h);
    if (bytes > kLongRowBytes) return CopyRowsLong(dst, dp, src, sp, bytes, h);
    const ptrdiff_t last = bytes - 16;
    for (int y = 0; y < h; ++y, dst += dp, src += sp) {
        const __m128i tail = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + last));
        for (ptrdiff_t x = 0; x < last; x += 16)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + x),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + x)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + last), tail);
    }
}

constexpr Kernels kSse2{BlitLevel::SSE2, Keyed16Sse2, Keyed32Sse2, OpaqueSse2};

// ---- AVX2: 32 bytes per vector ----

#define EL_TARGET_AVX2 __attribute__((target("avx2")))

struct KeyEq16Avx2 {
    __m256i key;
    EL_TARGET_AVX2 __m256i operator()(__m256i v) const { return _mm256_cmpeq_epi16(v, key); }
};
struct KeyEq32Avx2 {
    __m256i key, rgb;
    EL_TARGET_AVX2 __m256i operator()(__m256i v) const {
        return _mm256_cmpeq_epi32(_mm256_and_si256(v, rgb), key);
    }
};

EL_TARGET_AVX2 inline void MergeAvx2(uint8_t* d, __m256i sv, __m256i eq) {
    const __m256i dv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), _mm256_blendv_epi8(sv, dv, eq));
}

template <typename KeyEq>
EL_TARGET_AVX2 inline void Block64Avx2(uint8_t* d, const uint8_t* s, const KeyEq& isKey) {
    const __m256i s0 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s));
    const __m256i s1 = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + 32));
    const __m256i e0 = isKey(s0), e1 = isKey(s1);
    if (static_cast<uint32_t>(_mm256_movemask_epi8(_mm256_and_si256(e0, e1))) == 0xFFFFFFFFu) return;
    if (_mm256_movemask_epi8(_mm256_or_si256(e0, e1)) == 0) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), s0);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + 32), s1);
        return;
    }
    MergeAvx2(d, s0, e0);
    MergeAvx2(d + 32, s1, e1);
}

template <typename KeyEq>
EL_TARGET_AVX2 inline void Block32Avx2(uint8_t* d, const uint8_t* s, const KeyEq& isKey) {
    const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s));
    const __m256i eq = isKey(sv);
    const uint32_t m = static_cast<uint32_t>(_mm256_movemask_epi8(eq));
    if (m == 0xFFFFFFFFu) return;
    if (m == 0) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), sv);
        return;
    }
    MergeAvx2(d, sv, eq);
}

template <typename KeyEq>
EL_TARGET_AVX2 inline void StepAvx2(uint8_t* d, const uint8_t* s, const KeyEq& isKey) {
    const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s));
    MergeAvx2(d, sv, isKey(sv));
}

// bytes >= 32.
template <typename KeyEq>
EL_TARGET_AVX2 void KeyedRowsAvx2(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int bytes,
                                  int h, const KeyEq& isKey) {
    for (int y = 0; y < h; ++y, dst += dp, src += sp) {
        int x = 0;
        for (; x + 64 <= bytes; x += 64) Block64Avx2(dst + x, src + x, isKey);
        if (x + 32 <= bytes) {
            Block32Avx2(dst + x, src + x, isKey);
            x += 32;
        }
        if (x < bytes) StepAvx2(dst + bytes - 32, src + bytes - 32, isKey);
    }
}

// The short-row path of the SSE2 loops with 32-byte vectors. (N - 1) * 32 < bytes <= N * 32.
template <int N, typename KeyEq>
EL_TARGET_AVX2 void ShortRowsAvx2(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int bytes,
                                  int h, const KeyEq& isKey) {
    const ptrdiff_t last = bytes - 32;
    for (int y = 0; y < h; ++y, dst += dp, src += sp) {
        const __m256i dl = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(dst + last));
        const __m256i sl = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + last));
#pragma GCC unroll 8
        for (int i = 0; i < N - 1; ++i) StepAvx2(dst + 32 * i, src + 32 * i, isKey);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + last), _mm256_blendv_epi8(sl, dl, isKey(sl)));
    }
}

// bytes >= 32.
template <typename KeyEq>
EL_TARGET_AVX2 void KeyedAvx2(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int bytes, int h,
                              const KeyEq& isKey) {
    static_assert(kShortRowBytes == 8 * 32);
    switch ((bytes + 31) / 32) {
#define EL_SHORT_CASE(n) \
    case n:              \
        return ShortRowsAvx2<n>(dst, dp, src, sp, bytes, h, isKey);
        EL_SHORT_CASE(1) EL_SHORT_CASE(2) EL_SHORT_CASE(3) EL_SHORT_CASE(4)
        EL_SHORT_CASE(5) EL_SHORT_CASE(6) EL_SHORT_CASE(7) EL_SHORT_CASE(8)
#undef EL_SHORT_CASE
        default:
            return KeyedRowsAvx2(dst, dp, src, sp, bytes, h, isKey);
    }
}

EL_TARGET_AVX2 void Keyed16Avx2(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int w, int h,
                                uint32_t key) {
    if (w < 16) return Keyed16Sse2(dst, dp, src, sp, w, h, key);
    KeyedAvx2(dst, dp, src, sp, 2 * w, h, KeyEq16Avx2{_mm256_set1_epi16(static_cast<short>(key))});
}

EL_TARGET_AVX2 void Keyed32Avx2(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int w, int h,
                                uint32_t key) {
    if (w < 8) return Keyed32Sse2(dst, dp, src, sp, w, h, key);
    KeyedAvx2(
        dst, dp, src, sp, 4 * w, h,
        KeyEq32Avx2{_mm256_set1_epi32(static_cast<int>(key & 0xFFFFFF)), _mm256_set1_epi32(0xFFFFFF)});
}

EL_TARGET_AVX2 void OpaqueAvx2(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int bytes,
                               int h) {
    if (bytes < 32) return OpaqueSse2(dst, dp, src, sp, bytes, h);
    if (bytes > kLongRowBytes) return CopyRowsLong(dst, dp, src, sp, bytes, h);
    const ptrdiff_t last = bytes - 32;
    for (int y = 0; y < h; ++y, dst += dp, src += sp) {
        const __m256i tail = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + last));
        for (ptrdiff_t x = 0; x < last; x += 32)
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + x),
                                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(src + x)));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(dst + last), tail);
    }
}

constexpr Kernels kAvx2{BlitLevel::AVX2, Keyed16Avx2, Keyed32Avx2, OpaqueAvx2};

// ---- AVX-512 (F + BW): 64 bytes at a time; masked stores write only the opaque lanes and
// masked loads finish each row without touching memory past it ----

#define EL_TARGET_AVX512 __attribute__((target("avx512f,avx512bw")))

EL_TARGET_AVX512 void Keyed16Avx512(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int w,
                                    int h, uint32_t key) {
    const __m512i k = _mm512_set1_epi16(static_cast<short>(key));
    const int tailCount = w % 32;
    const __mmask32 tail = static_cast<__mmask32>((1ull << tailCount) - 1);
    const int full = w - tailCount;
    for (int y = 0; y < h; ++y, dst += dp, src += sp) {
        int x = 0;
        for (; x < full; x += 32) {
            const __m512i sv = _mm512_loadu_si512(src + 2 * x);
            const __mmask32 opaque = _mm512_cmpneq_epi16_mask(sv, k);
            if (opaque != 0) _mm512_mask_storeu_epi16(dst + 2 * x, opaque, sv);
        }
        if (tail != 0) {
            const __m512i sv = _mm512_maskz_loadu_epi16(tail, src + 2 * x);
            const __mmask32 opaque = _mm512_mask_cmpneq_epi16_mask(tail, sv, k);
            if (opaque != 0) _mm512_mask_storeu_epi16(dst + 2 * x, opaque, sv);
        }
    }
}

// Up to 16 pixels (the lanes of m) at s, compared and stored with one mask: no blend, and a
// block of key pixels leaves its destination line alone.
struct Keyed32Zmm {
    __m512i key, rgb;
    EL_TARGET_AVX512 void operator()(uint8_t* d, const uint8_t* s, __mmask16 m) const {
        const __m512i sv = _mm512_maskz_loadu_epi32(m, s);
        // Lanes whose low 24 bits differ from the key are drawn.
        const __mmask16 opaque = _mm512_mask_test_epi32_mask(m, _mm512_xor_si512(sv, key), rgb);
        if (opaque != 0) _mm512_mask_storeu_epi32(d, opaque, sv);
    }
    EL_TARGET_AVX512 void operator()(uint8_t* d, const uint8_t* s) const {
        const __m512i sv = _mm512_loadu_si512(s);
        const __mmask16 opaque = _mm512_test_epi32_mask(_mm512_xor_si512(sv, key), rgb);
        if (opaque != 0) _mm512_mask_storeu_epi32(d, opaque, sv);
    }
};

// Sprite rows (up to 64 pixels) as N - 1 whole vectors and a masked last one: no loop over the
// row, no classification, and no alignment peeling, which costs a fourth vector on a 48-pixel
// row for fewer split stores. 16 * (N - 1) < w <= 16 * N.
template <int N>
EL_TARGET_AVX512 void ShortRows32Avx512(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int w,
                                        int h, const Keyed32Zmm& copy) {
    const __mmask16 last = static_cast<__mmask16>((1u << (w - 16 * (N - 1))) - 1);
    for (int y = 0; y < h; ++y, dst += dp, src += sp) {
#pragma GCC unroll 8
        for (int i = 0; i < N - 1; ++i) copy(dst + 64 * i, src + 64 * i);
        copy(dst + 64 * (N - 1), src + 64 * (N - 1), last);
    }
}

// Longer rows are walked in destination-aligned blocks of 16 pixels: a first partial block up
// to the next 64-byte boundary of the destination, whole blocks, and a partial last one, so that
// no store is split over two cache lines (the source loads may be; loads split more cheaply).
EL_TARGET_AVX512 void Keyed32Avx512(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int w,
                                    int h, uint32_t key) {
    const Keyed32Zmm copy{_mm512_set1_epi32(static_cast<int>(key & 0xFFFFFF)), _mm512_set1_epi32(0xFFFFFF)};
    switch ((w + 15) / 16) {
        case 1: return ShortRows32Avx512<1>(dst, dp, src, sp, w, h, copy);
        case 2: return ShortRows32Avx512<2>(dst, dp, src, sp, w, h, copy);
        case 3: return ShortRows32Avx512<3>(dst, dp, src, sp, w, h, copy);
        case 4: return ShortRows32Avx512<4>(dst, dp, src, sp, w, h, copy);
        default: break;
    }
    for (int y = 0; y < h; ++y, dst += dp, src += sp) {
        int head = static_cast<int>((-reinterpret_cast<uintptr_t>(dst) & 63) / 4);
        if (head > w) head = w;
        if (head != 0) copy(dst, src, static_cast<__mmask16>((1u << head) - 1));
        int x = head;
        for (; x + 16 <= w; x += 16) copy(dst + 4 * x, src + 4 * x);
        if (x < w) copy(dst + 4 * x, src + 4 * x, static_cast<__mmask16>((1u << (w - x)) - 1));
    }
}

// Rows of 64 bytes or more as the AVX2 rows with 64-byte vectors; shorter ones as AVX2 rows
// (plain overlapping moves are quicker than masked ones on some processors).
EL_TARGET_AVX512 void OpaqueAvx512(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int bytes,
                                   int h) {
    if (bytes < 64) return OpaqueAvx2(dst, dp, src, sp, bytes, h);
    if (bytes > kLongRowBytes) return CopyRowsLong(dst, dp, src, sp, bytes, h);
    const ptrdiff_t last = bytes - 64;
    for (int y = 0; y < h; ++y, dst += dp, src += sp) {
        const __m512i tail = _mm512_loadu_si512(src + last);
        for (ptrdiff_t x = 0; x < last; x += 64) _mm512_storeu_si512(dst + x, _mm512_loadu_si512(src + x));
        _mm512_storeu_si512(dst + last, tail);
    }
}

constexpr Kernels kAvx512{BlitLevel::AVX512, Keyed16Avx512, Keyed32Avx512, OpaqueAvx512};

#endif  // EL_BLIT_X86

bool Supports(BlitLevel level) {
    switch (level) {
        case BlitLevel::Scalar:
            return true;
#if EL_BLIT_X86
        case BlitLevel::SSE2:
            return true;
        case BlitLevel::AVX2:
            __builtin_cpu_init();
            return __builtin_cpu_supports("avx2");
        case BlitLevel::AVX512:
            __builtin_cpu_init();
            return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
#endif
        default:
            return false;
    }
}

BlitLevel Best() {
    for (BlitLevel level : {BlitLevel::AVX512, BlitLevel::AVX2, BlitLevel::SSE2})
        if (Supports(level)) return level;
    return BlitLevel::Scalar;
}

std::atomic<const Kernels*> g_active{nullptr};

}  // namespace

const Kernels& KernelsFor(BlitLevel level) {
    switch (level) {
#if EL_BLIT_X86
        case BlitLevel::SSE2:
            return kSse2;
        case BlitLevel::AVX2:
            return kAvx2;
        case BlitLevel::AVX512:
            return kAvx512;
#endif
        default:
            return kScalar;
    }
}

const Kernels& ActiveKernels() {
    const Kernels* k = g_active.load(std::memory_order_relaxed);
    if (k == nullptr) {
        k = &KernelsFor(Best());
        g_active.store(k, std::memory_order_relaxed);
    }
    return *k;
}

}  // namespace platform::blit_detail

namespace platform {

BlitLevel ActiveBlitLevel() {
    return blit_detail::ActiveKernels().level;
}
BlitLevel BestBlitLevel() {
    return blit_detail::Best();
}

bool SetBlitLevel(BlitLevel level) {
    if (!blit_detail::Supports(level)) return false;
    blit_detail::g_active.store(&blit_detail::KernelsFor(level), std::memory_order_relaxed);
    return true;
}

const char* BlitLevelName(BlitLevel level) {
    switch (level) {
        case BlitLevel::Scalar:
            return "scalar";
        case BlitLevel::SSE2:
            return "sse2";
        case BlitLevel::AVX2:
            return "avx2";
        case BlitLevel::AVX512:
            return "avx512";
    }
    return "?";
}

}  // namespace platform
