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

constexpr Kernels kScalar{BlitLevel::Scalar, Keyed16Scalar, Keyed32Scalar};

#if EL_BLIT_X86

// A keyed copy is idempotent (writing a source pixel twice gives the same result), so the
// vector loops finish a row with one last vector that ends exactly at the row's end and may
// overlap the previous one; only rows narrower than one vector fall back to the scalar loop.

// ---- SSE2: 16 bytes at a time (every x86-64 processor) ----

// Writes the non-key lanes of sv over d. `eq` holds all-ones in the key lanes.
inline void MergeSse2(uint8_t* d, __m128i sv, __m128i eq) {
    const int m = _mm_movemask_epi8(eq);
    if (m == 0xFFFF) return;  // all transparent: leave the destination alone
    if (m != 0) {
        const __m128i dv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d));
        sv = _mm_or_si128(_mm_and_si128(eq, dv), _mm_andnot_si128(eq, sv));
    }
    _mm_storeu_si128(reinterpret_cast<__m128i*>(d), sv);
}

inline void Step16Sse2(uint8_t* d, const uint8_t* s, __m128i k) {
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    MergeSse2(d, sv, _mm_cmpeq_epi16(sv, k));
}

inline void Step32Sse2(uint8_t* d, const uint8_t* s, __m128i k, __m128i rgb) {
    const __m128i sv = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s));
    MergeSse2(d, sv, _mm_cmpeq_epi32(_mm_and_si128(sv, rgb), k));
}

void Keyed16Sse2(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int w, int h, uint32_t key) {
    if (w < 8) return Keyed16Scalar(dst, dp, src, sp, w, h, key);
    const __m128i k = _mm_set1_epi16(static_cast<short>(key));
    const int bytes = 2 * w;
    for (int y = 0; y < h; ++y, dst += dp, src += sp) {
        int x = 0;
        for (; x + 16 <= bytes; x += 16) Step16Sse2(dst + x, src + x, k);
        if (x < bytes) Step16Sse2(dst + bytes - 16, src + bytes - 16, k);
    }
}

void Keyed32Sse2(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int w, int h, uint32_t key) {
    if (w < 4) return Keyed32Scalar(dst, dp, src, sp, w, h, key);
    const __m128i k = _mm_set1_epi32(static_cast<int>(key & 0xFFFFFF));
    const __m128i rgb = _mm_set1_epi32(0xFFFFFF);
    const int bytes = 4 * w;
    for (int y = 0; y < h; ++y, dst += dp, src += sp) {
        int x = 0;
        for (; x + 16 <= bytes; x += 16) Step32Sse2(dst + x, src + x, k, rgb);
        if (x < bytes) Step32Sse2(dst + bytes - 16, src + bytes - 16, k, rgb);
    }
}

constexpr Kernels kSse2{BlitLevel::SSE2, Keyed16Sse2, Keyed32Sse2};

// ---- AVX2: 32 bytes at a time ----

#define EL_TARGET_AVX2 __attribute__((target("avx2")))

EL_TARGET_AVX2 inline void MergeAvx2(uint8_t* d, __m256i sv, __m256i eq) {
    const uint32_t m = static_cast<uint32_t>(_mm256_movemask_epi8(eq));
    if (m == 0xFFFFFFFFu) return;
    if (m != 0) sv = _mm256_blendv_epi8(sv, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(d)), eq);
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(d), sv);
}

EL_TARGET_AVX2 inline void Step16Avx2(uint8_t* d, const uint8_t* s, __m256i k) {
    const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s));
    MergeAvx2(d, sv, _mm256_cmpeq_epi16(sv, k));
}

EL_TARGET_AVX2 inline void Step32Avx2(uint8_t* d, const uint8_t* s, __m256i k, __m256i rgb) {
    const __m256i sv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s));
    MergeAvx2(d, sv, _mm256_cmpeq_epi32(_mm256_and_si256(sv, rgb), k));
}

EL_TARGET_AVX2 void Keyed16Avx2(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int w, int h,
                                uint32_t key) {
    if (w < 16) return Keyed16Sse2(dst, dp, src, sp, w, h, key);
    const __m256i k = _mm256_set1_epi16(static_cast<short>(key));
    const int bytes = 2 * w;
    for (int y = 0; y < h; ++y, dst += dp, src += sp) {
        int x = 0;
        for (; x + 32 <= bytes; x += 32) Step16Avx2(dst + x, src + x, k);
        if (x < bytes) Step16Avx2(dst + bytes - 32, src + bytes - 32, k);
    }
}

EL_TARGET_AVX2 void Keyed32Avx2(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int w, int h,
                                uint32_t key) {
    if (w < 8) return Keyed32Sse2(dst, dp, src, sp, w, h, key);
    const __m256i k = _mm256_set1_epi32(static_cast<int>(key & 0xFFFFFF));
    const __m256i rgb = _mm256_set1_epi32(0xFFFFFF);
    const int bytes = 4 * w;
    for (int y = 0; y < h; ++y, dst += dp, src += sp) {
        int x = 0;
        for (; x + 32 <= bytes; x += 32) Step32Avx2(dst + x, src + x, k, rgb);
        if (x < bytes) Step32Avx2(dst + bytes - 32, src + bytes - 32, k, rgb);
    }
}

constexpr Kernels kAvx2{BlitLevel::AVX2, Keyed16Avx2, Keyed32Avx2};

// ---- AVX-512 (F + BW): 64 bytes at a time; masked stores write only the opaque lanes and
// masked loads finish each row without touching memory past it ----

#define EL_TARGET_AVX512 __attribute__((target("avx512f,avx512bw")))

EL_TARGET_AVX512 void Keyed16Avx512(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int w, int h,
                                    uint32_t key) {
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

EL_TARGET_AVX512 void Keyed32Avx512(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int w, int h,
                                    uint32_t key) {
    const __m512i k = _mm512_set1_epi32(static_cast<int>(key & 0xFFFFFF));
    const __m512i rgb = _mm512_set1_epi32(0xFFFFFF);
    const int tailCount = w % 16;
    const __mmask16 tail = static_cast<__mmask16>((1u << tailCount) - 1);
    const int full = w - tailCount;
    for (int y = 0; y < h; ++y, dst += dp, src += sp) {
        int x = 0;
        for (; x < full; x += 16) {
            const __m512i sv = _mm512_loadu_si512(src + 4 * x);
            // Lanes whose low 24 bits differ from the key are drawn.
            const __mmask16 opaque = _mm512_test_epi32_mask(_mm512_xor_si512(sv, k), rgb);
            if (opaque != 0) _mm512_mask_storeu_epi32(dst + 4 * x, opaque, sv);
        }
        if (tail != 0) {
            const __m512i sv = _mm512_maskz_loadu_epi32(tail, src + 4 * x);
            const __mmask16 opaque = _mm512_mask_test_epi32_mask(tail, _mm512_xor_si512(sv, k), rgb);
            if (opaque != 0) _mm512_mask_storeu_epi32(dst + 4 * x, opaque, sv);
        }
    }
}

constexpr Kernels kAvx512{BlitLevel::AVX512, Keyed16Avx512, Keyed32Avx512};

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
        case BlitLevel::SSE2: return kSse2;
        case BlitLevel::AVX2: return kAvx2;
        case BlitLevel::AVX512: return kAvx512;
#endif
        default: return kScalar;
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

BlitLevel ActiveBlitLevel() { return blit_detail::ActiveKernels().level; }
BlitLevel BestBlitLevel() { return blit_detail::Best(); }

bool SetBlitLevel(BlitLevel level) {
    if (!blit_detail::Supports(level)) return false;
    blit_detail::g_active.store(&blit_detail::KernelsFor(level), std::memory_order_relaxed);
    return true;
}

const char* BlitLevelName(BlitLevel level) {
    switch (level) {
        case BlitLevel::Scalar: return "scalar";
        case BlitLevel::SSE2: return "sse2";
        case BlitLevel::AVX2: return "avx2";
        case BlitLevel::AVX512: return "avx512";
    }
    return "?";
}

}  // namespace platform
