// The effect loops one pixel at a time (the reference every vector level must equal, and the path
// of processors without vectors), the channel layout of a pixel format, and the choice of level.
#include <cstring>

#include "platform/effects.h"

namespace platform {
namespace effect_detail {
void FillSse2Loops(EffectLoops& loops);
void FillAvx2Loops(EffectLoops& loops);
void FillAvx512Loops(EffectLoops& loops);
}  // namespace effect_detail

namespace {

template <typename Pixel>
Pixel LoadPixel(const uint8_t* p) {
    Pixel v;
    std::memcpy(&v, p, sizeof(Pixel));
    return v;
}

// Applies rule(s, d) to every pixel whose source is not transparent; mirrored reads each source
// row from its right end.
template <typename Pixel, typename Rule>
void PixelRows(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int w, int h,
               const EffectFormat& f, bool mirrored, const Rule& rule) {
    for (int y = 0; y < h; ++y, dst += dp, src += sp) {
        for (int x = 0; x < w; ++x) {
            const uint32_t s = LoadPixel<Pixel>(src + (mirrored ? w - 1 - x : x) * sizeof(Pixel));
            if ((s & f.colourMask) == 0) continue;
            const uint32_t d = LoadPixel<Pixel>(dst + x * sizeof(Pixel));
            const Pixel out = static_cast<Pixel>(rule(s, d));
            std::memcpy(dst + x * sizeof(Pixel), &out, sizeof(Pixel));
        }
    }
}

template <typename Rule>
void ByDepth(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int w, int h,
             const EffectFormat& f, bool mirrored, const Rule& rule) {
    if (f.wide)
        PixelRows<uint32_t>(dst, dp, src, sp, w, h, f, mirrored, rule);
    else
        PixelRows<uint16_t>(dst, dp, src, sp, w, h, f, mirrored, rule);
}

uint32_t Level(uint32_t p, const EffectFormat& f, int c) {
    return (p >> f.position[c]) & f.maxLevel;
}
uint32_t CutBy(uint32_t v, uint32_t cut) {
    return v > cut ? v - cut : 0;
}

void HalfRef(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int w, int h,
             const EffectFormat& f, const EffectArgs&) {
    ByDepth(dst, dp, src, sp, w, h, f, false,
            [&](uint32_t s, uint32_t d) { return ((s >> 1) & f.halfMask) + ((d >> 1) & f.halfMask); });
}

void AlphaRef(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int w, int h,
              const EffectFormat& f, const EffectArgs& a) {
    ByDepth(dst, dp, src, sp, w, h, f, false, [&](uint32_t s, uint32_t d) {
        uint32_t out = 0;
        for (int c = 0; c < 3; ++c) {
            const float sc = static_cast<float>((s >> f.shift[c]) & f.sizeMask[c]);
            const float dc = static_cast<float>((d >> f.shift[c]) & f.sizeMask[c]);
            const float mixed = a.alpha[c] * sc + a.keep[c] * dc;
            out |= static_cast<uint32_t>(static_cast<int32_t>(mixed)) << f.shift[c];
        }
        return out;
    });
}

void FadeRef(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int w, int h,
             const EffectFormat& f, const EffectArgs& a) {
    ByDepth(dst, dp, src, sp, w, h, f, false, [&](uint32_t s, uint32_t d) {
        uint32_t out = 0;
        for (int c = 0; c < 3; ++c)
            out |= (CutBy(Level(s, f, c), a.sourceCut[c]) + CutBy(Level(d, f, c), a.destCut[c]))
                   << f.position[c];
        return out;
    });
}

void AddFadeRef(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int w, int h,
                const EffectFormat& f, const EffectArgs& a) {
    ByDepth(dst, dp, src, sp, w, h, f, false, [&](uint32_t s, uint32_t d) {
        uint32_t out = 0;
        for (int c = 0; c < 3; ++c) {
            uint32_t v = CutBy(Level(s, f, c), a.sourceCut[c]) + Level(d, f, c);
            out |= (v > f.maxLevel ? f.maxLevel : v) << f.position[c];
        }
        return out;
    });
}

void ShadowRef(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int w, int h,
               const EffectFormat& f, const EffectArgs&) {
    ByDepth(dst, dp, src, sp, w, h, f, false, [&](uint32_t s, uint32_t d) {
        const uint32_t red = Level(s, f, 0);
        uint32_t out = 0;
        for (int c = 0; c < 3; ++c) out |= CutBy(Level(d, f, c), red) << f.position[c];
        return out;
    });
}

void GreyRef(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int w, int h,
             const EffectFormat& f, const EffectArgs&) {
    ByDepth(dst, dp, src, sp, w, h, f, false, [&](uint32_t s, uint32_t) {
        const uint32_t g = (Level(s, f, 0) + Level(s, f, 1) + Level(s, f, 2)) / 3;
        return (g << f.position[0]) | (g << f.position[1]) | (g << f.position[2]);
    });
}

void CopyRef(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int w, int h,
             const EffectFormat& f, const EffectArgs&) {
    ByDepth(dst, dp, src, sp, w, h, f, false, [](uint32_t s, uint32_t) { return s; });
}

void MirroredRef(uint8_t* dst, ptrdiff_t dp, const uint8_t* src, ptrdiff_t sp, int w, int h,
                 const EffectFormat& f, const EffectArgs&) {
    ByDepth(dst, dp, src, sp, w, h, f, true, [](uint32_t s, uint32_t) { return s; });
}

constexpr EffectLoops kReference{BlitLevel::Scalar,  {HalfRef, HalfRef},       {AlphaRef, AlphaRef},
                                 {FadeRef, FadeRef}, {AddFadeRef, AddFadeRef}, {ShadowRef, ShadowRef},
                                 {GreyRef, GreyRef}, {CopyRef, CopyRef},       {MirroredRef, MirroredRef}};

EffectLoops Filled(BlitLevel level, void (*fill)(EffectLoops&)) {
    EffectLoops loops = kReference;
    loops.level = level;
    fill(loops);
    return loops;
}

int TrailingZeros(uint32_t mask) {
    int n = 0;
    while (mask != 0 && (mask & 1) == 0) {
        mask >>= 1;
        ++n;
    }
    return n;
}

}  // namespace

EffectFormat EffectFormatFor(bool wide, uint32_t redMask, uint32_t greenMask, uint32_t blueMask) {
    EffectFormat f;
    f.wide = wide;
    const uint32_t masks[3] = {redMask, greenMask, blueMask};
    for (int c = 0; c < 3; ++c) {
        f.shift[c] = TrailingZeros(masks[c]);
        f.sizeMask[c] = masks[c] >> f.shift[c];
        // A 6-bit channel's level sits one bit up; an 8-bit channel is its own level.
        f.position[c] = f.shift[c] + (f.sizeMask[c] == 63 ? 1 : 0);
    }
    f.maxLevel = wide ? 255 : 31;
    f.colourMask = wide ? 0xFFFFFF : 0xFFFF;
    f.halfMask = 0;
    for (int c = 0; c < 3; ++c) f.halfMask |= (f.sizeMask[c] >> 1) << f.shift[c];
    return f;
}

const EffectLoops& EffectLoopsFor(BlitLevel level) {
#if defined(__x86_64__) || defined(__i386__)
    static const EffectLoops sse2 = Filled(BlitLevel::SSE2, effect_detail::FillSse2Loops);
    static const EffectLoops avx2 = Filled(BlitLevel::AVX2, effect_detail::FillAvx2Loops);
    static const EffectLoops avx512 = Filled(BlitLevel::AVX512, effect_detail::FillAvx512Loops);
    switch (level) {
        case BlitLevel::SSE2:
            return sse2;
        case BlitLevel::AVX2:
            return avx2;
        case BlitLevel::AVX512:
            return avx512;
        default:
            break;
    }
#endif
    return kReference;
}

const EffectLoops& ActiveEffectLoops() {
    return EffectLoopsFor(ActiveBlitLevel());
}

}  // namespace platform
