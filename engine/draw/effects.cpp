// The effect blits and screen filters on the back buffer, at 16 and 32 bits (rule in effects.h).
#include "engine/draw/effects.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <type_traits>
#include <vector>

#include "engine/draw/blit.h"
#include "engine/draw/display.h"
#include "engine/draw/objects.h"
#include "platform/blit.h"
#include "platform/effects.h"
#include "platform/soft/blit_rotate.h"

EffectState Effects;

namespace {

using platform::EffectArgs;
using platform::EffectFormat;
using platform::LockedPixels;
using platform::Surface;

// Destination and source coordinates beyond this are refused, so that no position arithmetic
// can overflow.
constexpr int64_t kFarthest = int64_t{1} << 20;

bool IsWide(const Surface& surface) {
    return surface.format == platform::PixelFormat::XRGB8888;
}

EffectFormat CurrentFormat() {
    const PixelFormatInfo& f = Display.format;
    return platform::EffectFormatFor(IsWide(*Display.backBuffer), f.redMask, f.greenMask, f.blueMask);
}

uint32_t ReadPixel(const uint8_t* p, bool wide) {
    if (wide) {
        uint32_t v;
        std::memcpy(&v, p, 4);
        return v;
    }
    uint16_t v;
    std::memcpy(&v, p, 2);
    return v;
}

void WritePixel(uint8_t* p, uint32_t v, bool wide) {
    if (wide) {
        std::memcpy(p, &v, 4);
    } else {
        const uint16_t s = static_cast<uint16_t>(v);
        std::memcpy(p, &s, 2);
    }
}

// A pixel split into its three channel levels, and put back together.
struct Levels {
    uint32_t c[3];
};

Levels Split(uint32_t p, const EffectFormat& f) {
    return {{(p >> f.position[0]) & f.maxLevel, (p >> f.position[1]) & f.maxLevel,
             (p >> f.position[2]) & f.maxLevel}};
}

uint32_t Join(const Levels& l, const EffectFormat& f) {
    return (l.c[0] << f.position[0]) | (l.c[1] << f.position[1]) | (l.c[2] << f.position[2]);
}

bool Transparent(uint32_t p, const EffectFormat& f) {
    return (p & f.colourMask) == 0;
}

uint32_t CutBy(uint32_t v, uint32_t cut) {
    return v > cut ? v - cut : 0;
}

// A weight or strength of 0 to 1; anything else (NaN included) is brought into that range.
float Unit(float v) {
    if (!(v >= 0.0f)) return 0.0f;
    return v > 1.0f ? 1.0f : v;
}

int ClampLevel(int level) {
    return level < 0 ? 0 : (level > 31 ? 31 : level);
}

// The common frame of the blits: clip, lock, clip to the surfaces.
struct Frame {
    Surface* source = nullptr;
    Surface* back = nullptr;
    LockedPixels src, dst;
    EffectFormat format;
    bool wide = false;
    int bytes = 2;
    int x = 0, y = 0, left = 0, top = 0, w = 0, h = 0;  // clipped; w, h >= 0

    uint8_t* Dest(int col, int row) const {
        return dst.bits + static_cast<ptrdiff_t>(y + row) * dst.pitch +
               static_cast<ptrdiff_t>(x + col) * bytes;
    }
    const uint8_t* Source(int col, int row) const {
        return src.bits + static_cast<ptrdiff_t>(top + row) * src.pitch +
               static_cast<ptrdiff_t>(left + col) * bytes;
    }
    uint32_t SourcePixel(int col, int row) const { return ReadPixel(Source(col, row), wide); }
    uint32_t DestPixel(int col, int row) const { return ReadPixel(Dest(col, row), wide); }
    void SetDest(int col, int row, uint32_t v) const { WritePixel(Dest(col, row), v, wide); }
    bool Empty() const { return w <= 0 || h <= 0; }
};

bool LockBoth(Frame& f) {
    if (platform::Lock(*f.source, f.src) != platform::BLIT_OK) return false;
    if (platform::Lock(*f.back, f.dst) != platform::BLIT_OK || f.src.format != f.dst.format) {
        if (f.dst.bits != nullptr) platform::Unlock(*f.back);
        platform::Unlock(*f.source);
        return false;
    }
    return true;
}

void UnlockBoth(Frame& f) {
    platform::Unlock(*f.back);
    platform::Unlock(*f.source);
}

// Starts a blit of (left, top, right, bottom) of the object to (x, y). Returns -1 with both
// surfaces locked when the member goes on, otherwise the member's result.
int Begin(Frame& f, int x, int y, ObjectNo object, int left, int top, int right, int bottom) {
    f.source = ObjectSurface(object);
    f.back = Display.backBuffer.get();
    if (f.source == nullptr || f.back == nullptr) return 0;
    int64_t X = x, Y = y, L = left, T = top;
    int64_t w = int64_t{right} - left, h = int64_t{bottom} - top;
    if (X + w > ClipRect.right) w = ClipRect.right - X;
    if (Y + h > ClipRect.bottom) h = ClipRect.bottom - Y;
    if (X < ClipRect.left) {
        w -= ClipRect.left - X;
        L += ClipRect.left - X;
        X = ClipRect.left;
    }
    if (Y < ClipRect.top) {
        h -= ClipRect.top - Y;
        T += ClipRect.top - Y;
        Y = ClipRect.top;
    }
    if (w < 0 || h < 0) return 1;
    if (!LockBoth(f)) return 0;
    // The source rectangle stays on its object and the destination on the back buffer.
    if (L < 0) {
        X -= L;
        w += L;
        L = 0;
    }
    if (T < 0) {
        Y -= T;
        h += T;
        T = 0;
    }
    if (X < 0) {
        L -= X;
        w += X;
        X = 0;
    }
    if (Y < 0) {
        T -= Y;
        h += Y;
        Y = 0;
    }
    if (L + w > f.src.width) w = f.src.width - L;
    if (T + h > f.src.height) h = f.src.height - T;
    if (X + w > f.dst.width) w = f.dst.width - X;
    if (Y + h > f.dst.height) h = f.dst.height - Y;
    f.format = CurrentFormat();
    f.wide = f.format.wide;
    f.bytes = f.wide ? 4 : 2;
    if (w <= 0 || h <= 0) return -1;  // w and h stay 0: nothing to draw
    f.x = static_cast<int>(X);
    f.y = static_cast<int>(Y);
    f.left = static_cast<int>(L);
    f.top = static_cast<int>(T);
    f.w = static_cast<int>(w);
    f.h = static_cast<int>(h);
    return -1;
}

int Finish(Frame& f) {
    UnlockBoth(f);
    return 1;
}

// A blit whose rows run through one of the vector loops.
using LoopPair = platform::EffectLoop[2];
int LoopBlit(LoopPair platform::EffectLoops::*member, int x, int y, ObjectNo object, int left, int top,
             int right, int bottom, const EffectArgs& args) {
    Frame f;
    if (int r = Begin(f, x, y, object, left, top, right, bottom); r >= 0) return r;
    if (!f.Empty()) {
        const platform::EffectLoop loop = (platform::ActiveEffectLoops().*member)[f.wide ? 1 : 0];
        loop(f.Dest(0, 0), f.dst.pitch, f.Source(0, 0), f.src.pitch, f.w, f.h, f.format, args);
    }
    return Finish(f);
}

// A blit that sets every pixel whose source is not transparent to rule(source, dest).
template <typename Rule>
int PixelBlit(int x, int y, ObjectNo object, int left, int top, int right, int bottom, const Rule& rule) {
    Frame f;
    if (int r = Begin(f, x, y, object, left, top, right, bottom); r >= 0) return r;
    for (int row = 0; row < f.h; ++row)
        for (int col = 0; col < f.w; ++col) {
            const uint32_t s = f.SourcePixel(col, row);
            if (!Transparent(s, f.format)) f.SetDest(col, row, rule(s, f.DestPixel(col, row), f.format));
        }
    return Finish(f);
}

EffectArgs FadeArgs(int red, int green, int blue) {
    EffectArgs a;
    const int levels[3] = {red, green, blue};
    const uint32_t top = Display.backBuffer && IsWide(*Display.backBuffer) ? 255 : 31;
    for (int c = 0; c < 3; ++c) {
        a.destCut[c] = static_cast<uint32_t>(EffectLevel(levels[c]));
        a.sourceCut[c] = top - a.destCut[c];
    }
    return a;
}

EffectArgs AlphaArgs(float red, float green, float blue) {
    EffectArgs a;
    const float alphas[3] = {Unit(red), Unit(green), Unit(blue)};
    for (int c = 0; c < 3; ++c) {
        a.alpha[c] = alphas[c];
        a.keep[c] = 1.0f - alphas[c];
    }
    return a;
}

uint32_t TopLevel() {
    return Display.backBuffer && IsWide(*Display.backBuffer) ? 255 : 31;
}

int Bright(int x, int y, ObjectNo object, int left, int top, int right, int bottom, float red, float green,
           float blue) {
    const float factors[3] = {red, green, blue};
    return PixelBlit(x, y, object, left, top, right, bottom,
                     [&](uint32_t s, uint32_t, const EffectFormat& f) {
                         uint32_t out = 0;
                         for (int c = 0; c < 3; ++c) {
                             // A product outside the channel is held at its ends.
                             float v = static_cast<float>((s >> f.shift[c]) & f.sizeMask[c]) * factors[c];
                             if (!(v >= 0.0f)) v = 0.0f;
                             if (v > static_cast<float>(f.sizeMask[c])) v = static_cast<float>(f.sizeMask[c]);
                             out |= static_cast<uint32_t>(v) << f.shift[c];
                         }
                         return out;
                     });
}

int Dark(int x, int y, int red, int green, int blue, ObjectNo object, int left, int top, int right,
         int bottom) {
    const uint32_t cuts[3] = {static_cast<uint32_t>(EffectLevel(red)),
                              static_cast<uint32_t>(EffectLevel(green)),
                              static_cast<uint32_t>(EffectLevel(blue))};
    return PixelBlit(x, y, object, left, top, right, bottom,
                     [&](uint32_t s, uint32_t, const EffectFormat& f) {
                         Levels l = Split(s, f);
                         for (int c = 0; c < 3; ++c) l.c[c] = CutBy(l.c[c], cuts[c]);
                         return Join(l, f);
                     });
}

// ---- BlurBlt: block averages by running sums ----
//
// Each non-transparent source pixel takes the average of the block of size x size source pixels
// that starts at it, moved back where it would pass the drawn area's right or bottom edge; what the
// block still leaves outside the drawn area counts as black, and the sum is divided by size * size.
// So every pixel's block spans the same cw = min(size, w) columns and ch = min(size, h) rows,
// starting at column min(col, w - cw) and row min(row, h - ch): column sums over the block's rows
// move down by one row at a time, and a running sum over cw column sums moves right.

// Three channel sums side by side in 21-bit fields, for blocks whose sums stay below 2^21.
struct PackedSums {
    using Sum = uint64_t;
    static constexpr int kField = 21;
    static constexpr uint64_t kFieldMask = (uint64_t{1} << kField) - 1;
    static Sum Of(uint32_t p, const EffectFormat& f) {
        return uint64_t{(p >> f.position[0]) & f.maxLevel} |
               (uint64_t{(p >> f.position[1]) & f.maxLevel} << kField) |
               (uint64_t{(p >> f.position[2]) & f.maxLevel} << (2 * kField));
    }
    static void Add(Sum& to, const Sum& a, const Sum& b) { to = to + a - b; }  // fields stay >= 0
    static uint64_t Channel(const Sum& s, int c) { return (s >> (kField * c)) & kFieldMask; }
};

// One 64-bit sum a channel, for any block.
struct SeparateSums {
    struct Sum {
        uint64_t c[3];
    };
    static Sum Of(uint32_t p, const EffectFormat& f) {
        return {{(p >> f.position[0]) & f.maxLevel, (p >> f.position[1]) & f.maxLevel,
                 (p >> f.position[2]) & f.maxLevel}};
    }
    static void Add(Sum& to, const Sum& a, const Sum& b) {
        for (int c = 0; c < 3; ++c) to.c[c] = to.c[c] + a.c[c] - b.c[c];
    }
    static uint64_t Channel(const Sum& s, int c) { return s.c[c]; }
};

// Division by a fixed area. A sum below 2^21 over an area below 2^21 is divided exactly by one
// multiplication with ceil(2^42 / area): the multiplier exceeds 2^42 / area by less than 1, which
// moves sum / area by less than sum / 2^42 < 1 / area, too little to pass the next whole number.
struct AreaDivider {
    uint64_t area, multiplier;
    bool exact;  // the multiplication may be used
    AreaDivider(uint64_t a, bool small)
        : area(a), multiplier(((uint64_t{1} << 42) + a - 1) / a), exact(small) {}
    uint64_t operator()(uint64_t sum) const { return exact ? (sum * multiplier) >> 42 : sum / area; }
};

template <typename Pixel, typename Sums>
void BoxBlurWith(const Frame& f, int64_t size) {
    using Sum = typename Sums::Sum;
    const int w = f.w, h = f.h;
    const int cw = static_cast<int>(size < w ? size : w), ch = static_cast<int>(size < h ? size : h);
    const EffectFormat& fmt = f.format;
    const AreaDivider divide(static_cast<uint64_t>(size * size), std::is_same_v<Sums, PackedSums>);
    auto pixel = [&](int col, int row) {
        Pixel p;
        std::memcpy(&p, f.Source(0, row) + static_cast<ptrdiff_t>(col) * sizeof(Pixel), sizeof(Pixel));
        return static_cast<uint32_t>(p);
    };
    thread_local std::vector<Sum> columns;
    columns.assign(static_cast<size_t>(w), Sum{});
    for (int row = 0; row < ch; ++row)
        for (int col = 0; col < w; ++col) Sums::Add(columns[col], Sums::Of(pixel(col, row), fmt), Sum{});
    for (int row = 0; row < h; ++row) {
        if (row > 0 && row <= h - ch) {
            // The block's rows move down by one.
            const uint8_t* enter = f.Source(0, row + ch - 1);
            const uint8_t* leave = f.Source(0, row - 1);
            for (int col = 0; col < w; ++col) {
                Pixel a, b;
                std::memcpy(&a, enter + static_cast<ptrdiff_t>(col) * sizeof(Pixel), sizeof(Pixel));
                std::memcpy(&b, leave + static_cast<ptrdiff_t>(col) * sizeof(Pixel), sizeof(Pixel));
                Sums::Add(columns[col], Sums::Of(a, fmt), Sums::Of(b, fmt));
            }
        }
        const uint8_t* src = f.Source(0, row);
        uint8_t* dst = f.Dest(0, row);
        Sum sum{};
        for (int col = 0; col < cw; ++col) Sums::Add(sum, columns[col], Sum{});
        for (int col = 0; col < w; ++col) {
            if (col > 0 && col <= w - cw) Sums::Add(sum, columns[col + cw - 1], columns[col - 1]);
            Pixel s;
            std::memcpy(&s, src + static_cast<ptrdiff_t>(col) * sizeof(Pixel), sizeof(Pixel));
            if ((s & fmt.colourMask) == 0) continue;
            const Pixel out = static_cast<Pixel>((divide(Sums::Channel(sum, 0)) << fmt.position[0]) |
                                                 (divide(Sums::Channel(sum, 1)) << fmt.position[1]) |
                                                 (divide(Sums::Channel(sum, 2)) << fmt.position[2]));
            std::memcpy(dst + static_cast<ptrdiff_t>(col) * sizeof(Pixel), &out, sizeof(Pixel));
        }
    }
}

template <typename Pixel>
void BoxBlur(const Frame& f, int64_t size) {
    const int64_t cw = size < f.w ? size : f.w, ch = size < f.h ? size : f.h;
    constexpr int64_t kFieldLimit = int64_t{1} << PackedSums::kField;
    if (cw * ch * f.format.maxLevel < kFieldLimit && size * size < kFieldLimit)
        BoxBlurWith<Pixel, PackedSums>(f, size);
    else
        BoxBlurWith<Pixel, SeparateSums>(f, size);
}

int64_t FloorDiv(int64_t a, int64_t b) {
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
    return q;
}

bool Far(int64_t v) {
    return v > kFarthest || v < -kFarthest;
}

int64_t Wrap(int64_t position, int64_t origin, int64_t size) {
    int64_t offset = position - origin;
    if (offset < 0) offset = -offset;
    return origin + offset % size;
}

// The source of a rotation: the object's pixels, the part of the rectangle on the object, and the
// rectangle as given (which tiling repeats).
struct RotateSource {
    const uint8_t* bits;
    int64_t pitch;
    size_t readable;  // bytes from bits on that lie in the picture's store
    int64_t sl, st, sr, sb;
    int64_t left, top, width, height;
};

// Where a + i * b, a position in 16.16 fixed point, lies in [lo, hi) of whole pixels, for i in
// [from, to): the first i and one past the last (equal when nowhere). The positions along a row are
// linear in i, so they form one run.
void InsideRun(int64_t a, int64_t b, int64_t lo, int64_t hi, int64_t& from, int64_t& to) {
    auto inside = [&](int64_t i) {
        const int64_t p = (a + i * b) >> 16;
        return p >= lo && p < hi;
    };
    int64_t i0 = from, i1 = to;
    if (b == 0) {
        if (!inside(0)) to = from;
        return;
    }
    const int64_t L = lo * 65536, H = hi * 65536;
    if (b > 0) {
        i0 = FloorDiv(L - a + b - 1, b);
        i1 = FloorDiv(H - a + b - 1, b);
    } else {
        i0 = FloorDiv(a - H, -b) + 1;
        i1 = FloorDiv(a - L, -b) + 1;
    }
    i0 = std::max(i0, from);
    i1 = std::min(i1, to);
    // Settle the ends exactly.
    while (i0 > from && inside(i0 - 1)) --i0;
    while (i0 < i1 && !inside(i0)) ++i0;
    while (i1 < to && i1 > i0 && inside(i1)) ++i1;
    while (i1 > i0 && !inside(i1 - 1)) --i1;
    from = i0;
    to = std::max(i0, i1);
}

template <typename Pixel, bool kTile>
void RotateRow(uint8_t* out, int64_t count, int64_t fx, int64_t fy, int64_t stepX, int64_t stepY,
               const RotateSource& s) {
    constexpr uint32_t kColour = sizeof(Pixel) == 4 ? 0xFFFFFF : 0xFFFF;
    Pixel* to = reinterpret_cast<Pixel*>(out);
    if (kTile) {
        for (int64_t i = 0; i < count; ++i, fx += stepX, fy += stepY) {
            const int64_t sx = Wrap(fx >> 16, s.left, s.width), sy = Wrap(fy >> 16, s.top, s.height);
            if (sx < s.sl || sx >= s.sr || sy < s.st || sy >= s.sb) continue;
            Pixel p;
            std::memcpy(&p, s.bits + sy * s.pitch + sx * static_cast<int64_t>(sizeof(Pixel)), sizeof(Pixel));
            if ((p & kColour) != 0) std::memcpy(to + i, &p, sizeof(Pixel));
        }
        return;
    }
    int64_t from = 0, end = count;
    InsideRun(fx, stepX, s.sl, s.sr, from, end);
    InsideRun(fy, stepY, s.st, s.sb, from, end);
    platform::RotateRun(out + from * static_cast<int64_t>(sizeof(Pixel)), end - from, fx + from * stepX,
                        fy + from * stepY, stepX, stepY, s.bits, s.pitch, s.readable, sizeof(Pixel) == 4);
}

int Rotate(int destLeft, int destTop, int destRight, int destBottom, int angle, bool zoomed, float zoom,
           bool tile, ObjectNo object, int left, int top, int right, int bottom) {
    Frame f;
    f.source = ObjectSurface(object);
    f.back = Display.backBuffer.get();
    if (f.source == nullptr || f.back == nullptr) return 0;
    // The destination rectangle, clipped.
    int64_t dl = destLeft > ClipRect.left ? destLeft : ClipRect.left;
    int64_t dt = destTop > ClipRect.top ? destTop : ClipRect.top;
    int64_t dr = destRight < ClipRect.right ? destRight : ClipRect.right;
    int64_t db = destBottom < ClipRect.bottom ? destBottom : ClipRect.bottom;
    if (dr < dl || db < dt) return 1;
    if (!LockBoth(f)) return 0;
    f.format = CurrentFormat();
    f.wide = f.format.wide;
    f.bytes = f.wide ? 4 : 2;
    if (dl < 0) dl = 0;
    if (dt < 0) dt = 0;
    if (dr > f.dst.width) dr = f.dst.width;
    if (db > f.dst.height) db = f.dst.height;
    const int64_t sw = int64_t{right} - left, sh = int64_t{bottom} - top;
    // A zoom that is not a positive number shows nothing; far-away rectangles are left out.
    const bool drawable = dr > dl && db > dt && sw > 0 && sh > 0 &&
                          !(zoomed && !(zoom > 0.0f && std::isfinite(zoom))) && !Far(destLeft) &&
                          !Far(destRight) && !Far(destTop) && !Far(destBottom) && !Far(left) && !Far(right) &&
                          !Far(top) && !Far(bottom);
    if (!drawable) return Finish(f);

    const int a = ((angle % 360) + 360) % 360;
    const int64_t sine = Tables.SineTable[a], cosine = Tables.SineTable[a + 90];
    // The zoom enters as its reciprocal in 16.16 fixed point, within 1/256 to 65536.
    int64_t inverse = 65536;
    if (zoomed) {
        const double r = std::round(65536.0 / static_cast<double>(zoom));
        inverse = r < 1.0 ? 1 : (r > 16777216.0 ? 16777216 : static_cast<int64_t>(r));
    }
    // Positions are doubled (pixel centres sit at odd values) and the sine table scales by 360.
    const int64_t centreX = (int64_t{left} + right) * 360 * 65536,
                  centreY = (int64_t{top} + bottom) * 360 * 65536;
    // The part of the source rectangle that lies on the object.
    const int64_t sl = left > 0 ? left : 0, st = top > 0 ? top : 0;
    const int64_t sr = right < f.src.width ? right : f.src.width,
                  sb = bottom < f.src.height ? bottom : f.src.height;
    if (sr <= sl || sb <= st) return Finish(f);  // the rectangle misses the object
    // Along a row the source position moves by fixed 16.16 steps.
    const int64_t stepX = FloorDiv(2 * cosine * inverse, 720), stepY = FloorDiv(-2 * sine * inverse, 720);
    const size_t readable = static_cast<size_t>(f.src.height - 1) * f.src.pitch +
                            static_cast<size_t>(f.src.width) * static_cast<size_t>(f.bytes);
    const RotateSource source{f.src.bits, f.src.pitch, readable, sl, st, sr, sb, left, top, sw, sh};
    for (int64_t Y = dt; Y < db; ++Y) {
        const int64_t dx2 = 2 * dl + 1 - (int64_t{destLeft} + destRight);
        const int64_t dy2 = 2 * Y + 1 - (int64_t{destTop} + destBottom);
        // The row's first position exactly, then fixed steps.
        const int64_t fx = FloorDiv((dx2 * cosine + dy2 * sine) * inverse + centreX, 720);
        const int64_t fy = FloorDiv((dy2 * cosine - dx2 * sine) * inverse + centreY, 720);
        uint8_t* out = f.dst.bits + Y * f.dst.pitch + dl * f.bytes;
        const int64_t count = dr - dl;
        if (f.wide)
            tile ? RotateRow<uint32_t, true>(out, count, fx, fy, stepX, stepY, source)
                 : RotateRow<uint32_t, false>(out, count, fx, fy, stepX, stepY, source);
        else
            tile ? RotateRow<uint16_t, true>(out, count, fx, fy, stepX, stepY, source)
                 : RotateRow<uint16_t, false>(out, count, fx, fy, stepX, stepY, source);
    }
    return Finish(f);
}

// ---- Screen filters ----

// The back buffer locked for a filter, and the filter's block cut to it.
struct Block {
    LockedPixels px;
    EffectFormat format;
    bool wide = false;
    int bytes = 2;
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;  // x0 <= x1, y0 <= y1

    uint8_t* At(int x, int y) const {
        return px.bits + static_cast<ptrdiff_t>(y) * px.pitch + static_cast<ptrdiff_t>(x) * bytes;
    }
    uint32_t Get(int x, int y) const { return ReadPixel(At(x, y), wide); }
    void Set(int x, int y, uint32_t v) const { WritePixel(At(x, y), v, wide); }
    Levels Split(int x, int y) const { return ::Split(Get(x, y), format); }
};

bool LockBlock(Block& b, int x, int y, int width, int height) {
    Surface* back = Display.backBuffer.get();
    if (back == nullptr || platform::Lock(*back, b.px) != platform::BLIT_OK) return false;
    b.format = CurrentFormat();
    b.wide = b.format.wide;
    b.bytes = b.wide ? 4 : 2;
    const int64_t x1 = int64_t{x} + width, y1 = int64_t{y} + height;
    b.x0 = x < 0 ? 0 : (x > b.px.width ? b.px.width : x);
    b.y0 = y < 0 ? 0 : (y > b.px.height ? b.px.height : y);
    b.x1 = static_cast<int>(x1 < b.x0 ? b.x0 : (x1 > b.px.width ? b.px.width : x1));
    b.y1 = static_cast<int>(y1 < b.y0 ? b.y0 : (y1 > b.px.height ? b.px.height : y1));
    return true;
}

int UnlockBlock() {
    platform::Unlock(*Display.backBuffer);
    return 1;
}

// The noise table at this depth: the display's, or drawn now at depths that have none.
const uint8_t* Noise() {
    if (Tables.NoiseTable.size() != static_cast<size_t>(kNoiseTableSize)) {
        Tables.NoiseTable.resize(kNoiseTableSize);
        for (uint8_t& n : Tables.NoiseTable) n = static_cast<uint8_t>(std::rand() % 3);
    }
    return Tables.NoiseTable.data();
}

uint8_t NextNoise() {
    const uint8_t* noise = Noise();
    if (Effects.noisePosition < 0 || Effects.noisePosition >= kNoiseTableSize) Effects.noisePosition = 0;
    const uint8_t n = noise[Effects.noisePosition];
    if (++Effects.noisePosition >= kNoiseTableSize) Effects.noisePosition = std::rand() % 1000;
    return n;
}

// The average of the four neighbours of (x, y), each channel darkened one step where flagged.
uint32_t Neighbours(const Block& b, int x, int y, const bool fade[3]) {
    const Levels l = b.Split(x - 1, y), r = b.Split(x + 1, y), u = b.Split(x, y - 1), d = b.Split(x, y + 1);
    const uint32_t step = static_cast<uint32_t>(EffectLevel(1));
    Levels out;
    for (int c = 0; c < 3; ++c) {
        out.c[c] = (l.c[c] + r.c[c] + u.c[c] + d.c[c]) >> 2;
        if (fade[c]) out.c[c] = CutBy(out.c[c], step);
    }
    return Join(out, b.format);
}

int Smear(bool red, bool green, bool blue, int x, int y, int width, int height) {
    Block b;
    if (!LockBlock(b, x, y, width, height)) return 0;
    const bool fade[3] = {red, green, blue};
    int run = 0;
    uint8_t length = NextNoise();
    for (int j = b.y0 + 1; j < b.y1 - 1; ++j)
        for (int i = b.x0 + 1; i < b.x1 - 1; ++i) {
            if (run < length) {
                b.Set(i, j - 1, Neighbours(b, i, j, fade));
                ++run;
            } else {
                b.Set(i, j - 1, b.Get(i, j));
                run = 0;
                length = NextNoise();
            }
        }
    return UnlockBlock();
}

int Blur(bool red, bool green, bool blue, int x, int y, int width, int height) {
    Block b;
    if (!LockBlock(b, x, y, width, height)) return 0;
    const bool fade[3] = {red, green, blue};
    for (int j = b.y0 + 1; j < b.y1 - 1; ++j)
        for (int i = b.x0 + 1; i < b.x1 - 1; ++i) b.Set(i, j, Neighbours(b, i, j, fade));
    return UnlockBlock();
}

int Noisy(bool red, bool green, bool blue, int shift, int x, int y, int width, int height) {
    Block b;
    if (!LockBlock(b, x, y, width, height)) return 0;
    const bool flagged[3] = {red, green, blue};
    if (shift < 0) shift = 0;
    if (shift > 8) shift = 8;
    const int extra = b.wide ? 3 : 0;
    const uint32_t top = b.format.maxLevel;
    for (int j = b.y0; j < b.y1; ++j)
        for (int i = b.x0; i < b.x1; ++i) {
            const uint32_t n = static_cast<uint32_t>(NextNoise()) << shift << extra;
            Levels l = b.Split(i, j);
            for (int c = 0; c < 3; ++c)
                if (flagged[c]) l.c[c] = l.c[c] + n > top ? top : l.c[c] + n;
            b.Set(i, j, Join(l, b.format));
        }
    return UnlockBlock();
}

}  // namespace

int EffectLevel(int level) {
    level = ClampLevel(level);
    return TopLevel() == 255 ? level * 255 / 31 : level;
}

int HalfBlt(int x, int y, ObjectNo object, int left, int top, int right, int bottom) {
    return LoopBlit(&platform::EffectLoops::half, x, y, object, left, top, right, bottom, {});
}

int MirrorBlt(int x, int y, int type, ObjectNo object, int left, int top, int right, int bottom) {
    Frame f;
    if (int r = Begin(f, x, y, object, left, top, right, bottom); r >= 0) return r;
    if (!f.Empty()) {
        const bool acrossRows = type == 2 || type == 3, acrossColumns = type == 1 || type == 3;
        const platform::EffectLoops& loops = platform::ActiveEffectLoops();
        const platform::EffectLoop loop = (acrossColumns ? loops.copyMirrored : loops.copy)[f.wide ? 1 : 0];
        const uint8_t* src = acrossRows ? f.Source(0, f.h - 1) : f.Source(0, 0);
        loop(f.Dest(0, 0), f.dst.pitch, src, acrossRows ? -f.src.pitch : f.src.pitch, f.w, f.h, f.format, {});
    }
    return Finish(f);
}

int AlphaBlt(int x, int y, ObjectNo object, int left, int top, int right, int bottom, float alpha) {
    return LoopBlit(&platform::EffectLoops::alpha, x, y, object, left, top, right, bottom,
                    AlphaArgs(alpha, alpha, alpha));
}

int AlphaBltRGB(int x, int y, ObjectNo object, int left, int top, int right, int bottom, float red,
                float green, float blue) {
    return LoopBlit(&platform::EffectLoops::alpha, x, y, object, left, top, right, bottom,
                    AlphaArgs(red, green, blue));
}

int FadeBlt(int x, int y, ObjectNo object, int left, int top, int right, int bottom, int level) {
    return LoopBlit(&platform::EffectLoops::fade, x, y, object, left, top, right, bottom,
                    FadeArgs(level, level, level));
}

int FadeBltRGB(int x, int y, ObjectNo object, int left, int top, int right, int bottom, int red, int green,
               int blue) {
    return LoopBlit(&platform::EffectLoops::fade, x, y, object, left, top, right, bottom,
                    FadeArgs(red, green, blue));
}

int AddBlt(int x, int y, ObjectNo object, int left, int top, int right, int bottom) {
    return LoopBlit(&platform::EffectLoops::addFade, x, y, object, left, top, right, bottom, {});
}

int AddFadeBlt(int x, int y, ObjectNo object, int left, int top, int right, int bottom, float intensity) {
    const float top31 = static_cast<float>(TopLevel());
    const uint32_t cut = static_cast<uint32_t>(top31 - top31 * Unit(intensity));
    EffectArgs a;
    for (uint32_t& c : a.sourceCut) c = cut;
    return LoopBlit(&platform::EffectLoops::addFade, x, y, object, left, top, right, bottom, a);
}

int ShadowBlt(int x, int y, ObjectNo object, int left, int top, int right, int bottom) {
    return LoopBlit(&platform::EffectLoops::shadow, x, y, object, left, top, right, bottom, {});
}

int GreyBlt(int x, int y, ObjectNo object, int left, int top, int right, int bottom) {
    return LoopBlit(&platform::EffectLoops::grey, x, y, object, left, top, right, bottom, {});
}

int EdgeBlt(int x, int y, ObjectNo object, int left, int top, int right, int bottom) {
    Frame f;
    if (int r = Begin(f, x, y, object, left, top, right, bottom); r >= 0) return r;
    static constexpr int kSteps[4][2] = {{-1, 0}, {1, 0}, {0, -1}, {0, 1}};
    for (int row = 0; row < f.h; ++row)
        for (int col = 0; col < f.w; ++col) {
            const uint32_t s = f.SourcePixel(col, row);
            if (Transparent(s, f.format)) continue;
            Levels sum = Split(s, f.format);
            uint32_t count = 1;
            for (const auto& step : kSteps) {
                const int nc = col + step[0], nr = row + step[1];
                if (nc < 0 || nc >= f.w || nr < 0 || nr >= f.h) continue;
                if (!Transparent(f.SourcePixel(nc, nr), f.format)) continue;
                const Levels n = Split(f.DestPixel(nc, nr), f.format);
                for (int c = 0; c < 3; ++c) sum.c[c] += n.c[c];
                ++count;
            }
            if (count == 1) {
                f.SetDest(col, row, s);
            } else {
                for (uint32_t& c : sum.c) c /= count;
                f.SetDest(col, row, Join(sum, f.format));
            }
        }
    return Finish(f);
}

int ChannelBlt(int x, int y, int keepRed, int keepGreen, int keepBlue, ObjectNo object, int left, int top,
               int right, int bottom) {
    const uint32_t mask = (keepRed ? Display.format.redMask : 0) |
                          (keepGreen ? Display.format.greenMask : 0) |
                          (keepBlue ? Display.format.blueMask : 0);
    return PixelBlit(x, y, object, left, top, right, bottom,
                     [mask](uint32_t s, uint32_t, const EffectFormat&) { return s & mask; });
}

int BrightBlt(int x, int y, ObjectNo object, int left, int top, int right, int bottom, float factor) {
    return Bright(x, y, object, left, top, right, bottom, factor, factor, factor);
}

int BrightBltRGB(int x, int y, ObjectNo object, int left, int top, int right, int bottom, float red,
                 float green, float blue) {
    return Bright(x, y, object, left, top, right, bottom, red, green, blue);
}

int DarkBlt(int x, int y, int level, ObjectNo object, int left, int top, int right, int bottom) {
    return Dark(x, y, level, level, level, object, left, top, right, bottom);
}

int DarkBltRGB(int x, int y, int red, int green, int blue, ObjectNo object, int left, int top, int right,
               int bottom) {
    return Dark(x, y, red, green, blue, object, left, top, right, bottom);
}

int BlurBlt(int x, int y, int block, ObjectNo object, int left, int top, int right, int bottom) {
    Frame f;
    if (int r = Begin(f, x, y, object, left, top, right, bottom); r >= 0) return r;
    if (!f.Empty()) {
        const int64_t size = block < 1 ? 1 : block;  // a block is at least one pixel
        if (f.wide)
            BoxBlur<uint32_t>(f, size);
        else
            BoxBlur<uint16_t>(f, size);
    }
    return Finish(f);
}

int DisplaceBlt(int x, int y, ObjectNo object, int left, int top, int right, int bottom, float strength) {
    Frame f;
    if (int r = Begin(f, x, y, object, left, top, right, bottom); r >= 0) return r;
    // A distance in rows, the same at both depths: the offset is not scaled, and an 8-bit red
    // counts in the 5-bit steps of a 16-bit one.
    const int64_t offset = static_cast<int64_t>(31.0f - 31.0f * Unit(strength));
    const int redShift = f.format.wide ? 3 : 0;
    for (int row = 0; row < f.h; ++row)
        for (int col = 0; col < f.w; ++col) {
            const uint32_t s = f.SourcePixel(col, row);
            if (Transparent(s, f.format)) continue;
            int64_t k = static_cast<int64_t>(Split(s, f.format).c[0] >> redShift) - offset;
            if (k < 1 || row + k >= f.h) k = 0;
            f.SetDest(col, row, f.DestPixel(col, row + static_cast<int>(k)));
        }
    return Finish(f);
}

int RotateBlt(int destLeft, int destTop, int destRight, int destBottom, int angle, ObjectNo object, int left,
              int top, int right, int bottom) {
    return Rotate(destLeft, destTop, destRight, destBottom, angle, false, 1.0f, false, object, left, top,
                  right, bottom);
}

int RotateZoomBlt(int destLeft, int destTop, int destRight, int destBottom, int angle, float zoom,
                  ObjectNo object, int left, int top, int right, int bottom) {
    return Rotate(destLeft, destTop, destRight, destBottom, angle, true, zoom, false, object, left, top,
                  right, bottom);
}

int RotateTileBlt(int destLeft, int destTop, int destRight, int destBottom, int angle, ObjectNo object,
                  int left, int top, int right, int bottom) {
    return Rotate(destLeft, destTop, destRight, destBottom, angle, false, 1.0f, true, object, left, top,
                  right, bottom);
}

int RotateZoomTileBlt(int destLeft, int destTop, int destRight, int destBottom, int angle, float zoom,
                      ObjectNo object, int left, int top, int right, int bottom) {
    return Rotate(destLeft, destTop, destRight, destBottom, angle, true, zoom, true, object, left, top, right,
                  bottom);
}

int SmearFilter(int x, int y, int width, int height) {
    return Smear(false, false, false, x, y, width, height);
}

int SmearFadeFilter(int red, int green, int blue, int x, int y, int width, int height) {
    return Smear(red != 0, green != 0, blue != 0, x, y, width, height);
}

int BlurFilter(int x, int y, int width, int height) {
    return Blur(false, false, false, x, y, width, height);
}

int BlurFadeFilter(int red, int green, int blue, int x, int y, int width, int height) {
    return Blur(red != 0, green != 0, blue != 0, x, y, width, height);
}

int Zoom2Filter(int x, int y, int width, int height, int lines) {
    Surface* buffer = ObjectSurface(kBufferSprite);
    if (buffer == nullptr) return 0;
    Block b;
    if (!LockBlock(b, x, y, width, height)) return 0;
    LockedPixels into;
    if (platform::Lock(*buffer, into) != platform::BLIT_OK || into.format != b.px.format) {
        UnlockBlock();
        return 0;
    }
    // Each pixel becomes a 2 x 2 square of the Buffer sprite (only its first pixel with lines set),
    // as far as the Buffer sprite reaches.
    auto put = [&](int64_t u, int64_t v, uint32_t value) {
        if (u < into.width && v < into.height)
            WritePixel(into.bits + v * into.pitch + u * b.bytes, value, b.wide);
    };
    for (int j = b.y0; j < b.y1; ++j)
        for (int i = b.x0; i < b.x1; ++i) {
            const int64_t u = 2 * int64_t{i - b.x0}, v = 2 * int64_t{j - b.y0};
            const uint32_t value = b.Get(i, j);
            put(u, v, value);
            if (!lines) {
                put(u + 1, v, value);
                put(u, v + 1, value);
                put(u + 1, v + 1, value);
            }
        }
    platform::Unlock(*buffer);
    UnlockBlock();
    BltObjectOpaque(b.x0, b.y0, kBufferSprite, 0, 0, 2 * (b.x1 - b.x0), 2 * (b.y1 - b.y0));
    return 1;
}

int NoiseFilter(int shift, int x, int y, int width, int height) {
    return Noisy(true, true, true, shift, x, y, width, height);
}

int NoiseFilterRGB(int red, int green, int blue, int shift, int x, int y, int width, int height) {
    return Noisy(red != 0, green != 0, blue != 0, shift, x, y, width, height);
}

int CircleMosaicFilter(int centreX, int centreY, int radius, int block) {
    Block b;
    if (!LockBlock(b, 0, 0, Display.ScreenWidth, Display.ScreenHeight)) return 0;
    if (block < 1 || radius < 1) return UnlockBlock();  // no block, or no circle, changes nothing
    const int64_t cx = centreX, cy = centreY, r = radius, c = block;
    const int64_t width = b.x1, height = b.y1;  // the screen, as far as the back buffer reaches
    for (int64_t dy = -r > -cy ? -r : -cy; dy < (r < height - cy ? r : height - cy); dy += c)
        for (int64_t dx = -r > -cx ? -r : -cx; dx < (r < width - cx ? r : width - cx); dx += c) {
            const uint32_t value = b.Get(static_cast<int>(cx + dx), static_cast<int>(cy + dy));
            const int64_t ex1 = dx + c < width - cx ? dx + c : width - cx;
            const int64_t ey1 = dy + c < height - cy ? dy + c : height - cy;
            for (int64_t ey = dy; ey < ey1; ++ey)
                for (int64_t ex = dx; ex < ex1; ++ex)
                    if (static_cast<int64_t>(std::sqrt(static_cast<double>(ex * ex + ey * ey))) < r)
                        b.Set(static_cast<int>(cx + ex), static_cast<int>(cy + ey), value);
        }
    return UnlockBlock();
}
