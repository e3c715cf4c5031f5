// Side by side in one run, at 16 and 32 bits: each row times one of our operations and the same
// work done the way a developer would otherwise do it (SDL2, SDL2_gfx, or a plain loop written
// here), checks that both give the same pixels (or says how many differ where the other side
// draws by its own rule), and prints both times and their ratio.
//
// Times are processor time of this thread (CLOCK_THREAD_CPUTIME_ID), the two sides alternating
// within every repetition so that both see the same load; minimum and median over the repetitions.
//
// Usage: bench_compare [repetitions [sections]]   repetitions default 9; sections a list of
// blur, lines, blits, rotate, present, text, mixer (default all), e.g. bench_compare 5 blur,rotate
#include <SDL.h>
#include <SDL2_gfxPrimitives.h>
#include <SDL2_rotozoom.h>
#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/draw/blit.h"
#include "engine/draw/display.h"
#include "engine/draw/effects.h"
#include "engine/draw/objects.h"
#include "engine/draw/primitives.h"
#include "platform/blit.h"
#include "platform/primitives.h"
#include "platform/text.h"

void MixerRows(int repetitions);                                  // bench/compare/mixer_rows.cpp
void PresentRows(platform::PixelFormat format, int repetitions);  // bench/compare/present_rows.cpp
void TextRows(platform::PixelFormat format, int repetitions);     // bench/compare/text_rows.cpp

namespace {

using platform::BlitLevel;
using platform::PixelFormat;
using platform::Surface;

constexpr int kScreenW = 800, kScreenH = 600;
constexpr ObjectNo kBlurPicture = 4, kSheet = 5, kSprite = 6;
int repetitions = 9;

struct Rng {
    uint32_t state;
    uint32_t Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
};

double ThreadMs() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

bool Wide(PixelFormat f) {
    return f == PixelFormat::XRGB8888;
}

// Random opaque colours with round holes of 0 (black: transparent to the effects, the key).
Surface MakePicture(int w, int h, PixelFormat f, uint32_t seed) {
    Surface s = platform::CreateSurface(w, h, f);
    Rng rng{seed};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t c = Wide(f) ? rng.Next() & 0xFFFFFF : rng.Next() & 0xFFFF;
            if (c == 0) c = 1;
            const int cx = x % 48 - 24, cy = y % 48 - 24;
            platform::SetRawPixel(s, x, y, cx * cx + cy * cy > 22 * 22 ? 0u : c);
        }
    return s;
}

void SetUpDisplay(PixelFormat f) {
    ReleaseAllObjects();
    Display = DisplayState{};
    Tables = DrawTables{};
    Display.present = true;
    Display.ScreenWidth = kScreenW;
    Display.ScreenHeight = kScreenH;
    Display.depth = Wide(f) ? 32 : 16;
    Display.backBuffer = std::make_unique<Surface>(platform::CreateSurface(kScreenW, kScreenH, f));
    Display.format =
        Wide(f) ? DerivePixelFormat(0xFF0000, 0x00FF00, 0x0000FF) : DerivePixelFormat(0xF800, 0x07E0, 0x001F);
    for (int i = 0; i < kSineTableSize; ++i)
        Tables.SineTable[i] = static_cast<int32_t>(std::trunc(std::sin(2.0 * M_PI * i / 360.0) * 360.0));
    if (!Wide(f)) BuildSixteenBitTables();
    ObjectTable.records[kBlurPicture].surface = std::make_unique<Surface>(MakePicture(384, 240, f, 777));
    ObjectTable.records[kSheet].surface = std::make_unique<Surface>(MakePicture(480, 480, f, 99));
    ObjectTable.records[kSheet].surface->colorKey = 0;
    ObjectTable.records[kSprite].surface = std::make_unique<Surface>(MakePicture(256, 256, f, 5));
    SetClipRect(0, 0, kScreenW, kScreenH);
}

Surface& Back() {
    return *Display.backBuffer;
}

void ClearBack() {
    platform::FillSurface(Back(), Wide(Back().format) ? 0x505050 : 0x528A);
}

// An SDL surface over the same memory as one of ours.
SDL_Surface* ToSdl(Surface& s) {
    return SDL_CreateRGBSurfaceWithFormatFrom(
        s.pixels.data(), s.width, s.height, Wide(s.format) ? 32 : 16, s.pitch,
        Wide(s.format) ? SDL_PIXELFORMAT_RGB888 : SDL_PIXELFORMAT_RGB565);
}

// SDL2_gfx draws through a software renderer onto an SDL surface over a screen of our own.
struct SdlScreen {
    Surface pixels;
    SDL_Surface* surface = nullptr;
    SDL_Renderer* renderer = nullptr;
    explicit SdlScreen(PixelFormat f) : pixels(platform::CreateSurface(kScreenW, kScreenH, f)) {
        surface = ToSdl(pixels);
        renderer = surface != nullptr ? SDL_CreateSoftwareRenderer(surface) : nullptr;
    }
    ~SdlScreen() {
        if (renderer != nullptr) SDL_DestroyRenderer(renderer);
        if (surface != nullptr) SDL_FreeSurface(surface);
    }
    void Clear() { platform::FillSurface(pixels, Wide(pixels.format) ? 0x505050 : 0x528A); }
};

int64_t DifferentPixels(const Surface& a, const Surface& b) {
    int64_t n = 0;
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x) {
            const uint32_t mask = Wide(a.format) ? 0xFFFFFF : 0xFFFF;
            n += ((platform::GetRawPixel(a, x, y) ^ platform::GetRawPixel(b, x, y)) & mask) != 0;
        }
    return n;
}

struct Timing {
    double min = 0, median = 0;
};

Timing Summarise(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return {v.front(), v[v.size() / 2]};
}

// Times `ours` and `anchor` alternately, each sample `inner` calls, in milliseconds per call.
void Time(int inner, const std::function<void()>& ours, const std::function<void()>& anchor, Timing& o,
          Timing& a) {
    ours();
    anchor();  // warm both
    std::vector<double> so, sa;
    for (int r = 0; r < repetitions; ++r) {
        double t0 = ThreadMs();
        for (int i = 0; i < inner; ++i) ours();
        double t1 = ThreadMs();
        for (int i = 0; i < inner; ++i) anchor();
        double t2 = ThreadMs();
        so.push_back((t1 - t0) / inner);
        sa.push_back((t2 - t1) / inner);
    }
    o = Summarise(so);
    a = Summarise(sa);
}

void Row(const char* name, const char* anchorName, int depth, const Timing& o, const Timing& a,
         const std::string& check) {
    std::printf("%-36s %2d  %9.1f %9.1f  %-26s %9.1f %9.1f  %5.2fx  %s\n", name, depth, o.min * 1e3,
                o.median * 1e3, anchorName, a.min * 1e3, a.median * 1e3, a.median / o.median, check.c_str());
}

std::string Same(int64_t differing) {
    return differing == 0 ? "same pixels" : "DIFFERENT PIXELS: " + std::to_string(differing);
}
std::string OwnRule(int64_t differing, int64_t total) {
    char text[96];
    std::snprintf(text, sizeof text, "own rule: %lld of %lld px differ", static_cast<long long>(differing),
                  static_cast<long long>(total));
    return text;
}

// ---- Blur: the textbook running-sum box blur of the same rule ----

// Levels of the three channels in planes, summed along rows then columns with windows of
// min(block, size) pixels that start at the pixel and move back at the far edge; zeros of the
// source are black.
template <typename Pixel>
void AnchorBlurOf(Surface& dst, int dx, int dy, const Surface& src, int block) {
    constexpr bool kWide = sizeof(Pixel) == 4;
    constexpr int32_t kTop = kWide ? 255 : 31;
    constexpr int kShift[3] = {kWide ? 16 : 11, kWide ? 8 : 6, 0};
    const int w = src.width, h = src.height;
    const int cw = std::min(block, w), ch = std::min(block, h);
    const size_t n = static_cast<size_t>(w) * h;
    static std::vector<int32_t> levels, across;
    levels.resize(3 * n);
    across.resize(3 * n);
    for (int y = 0; y < h; ++y) {
        const Pixel* row =
            reinterpret_cast<const Pixel*>(src.pixels.data() + static_cast<size_t>(y) * src.pitch);
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)
                levels[c * n + static_cast<size_t>(y) * w + x] = (row[x] >> kShift[c]) & kTop;
    }
    for (int c = 0; c < 3; ++c)
        for (int y = 0; y < h; ++y) {
            const int32_t* in = &levels[c * n + static_cast<size_t>(y) * w];
            int32_t* out = &across[c * n + static_cast<size_t>(y) * w];
            int32_t sum = 0;
            for (int x = 0; x < cw; ++x) sum += in[x];
            for (int x = 0; x < w; ++x) {
                if (x > 0 && x <= w - cw) sum += in[x + cw - 1] - in[x - 1];
                out[x] = sum;
            }
        }
    // Column sums, moved down a row at a time, reuse the level planes.
    const int32_t area = block * block;
    static std::vector<int32_t> column;
    column.assign(3 * static_cast<size_t>(w), 0);
    for (int c = 0; c < 3; ++c)
        for (int y = 0; y < ch; ++y)
            for (int x = 0; x < w; ++x) column[c * w + x] += across[c * n + static_cast<size_t>(y) * w + x];
    for (int y = 0; y < h; ++y) {
        if (y > 0 && y <= h - ch)
            for (int c = 0; c < 3; ++c)
                for (int x = 0; x < w; ++x)
                    column[c * w + x] += across[c * n + static_cast<size_t>(y + ch - 1) * w + x] -
                                         across[c * n + static_cast<size_t>(y - 1) * w + x];
        const Pixel* in =
            reinterpret_cast<const Pixel*>(src.pixels.data() + static_cast<size_t>(y) * src.pitch);
        Pixel* out =
            reinterpret_cast<Pixel*>(dst.pixels.data() + static_cast<size_t>(dy + y) * dst.pitch) + dx;
        for (int x = 0; x < w; ++x) {
            if ((in[x] & (kWide ? 0xFFFFFFu : 0xFFFFu)) == 0) continue;
            out[x] = static_cast<Pixel>((static_cast<uint32_t>(column[x] / area) << kShift[0]) |
                                        (static_cast<uint32_t>(column[w + x] / area) << kShift[1]) |
                                        (static_cast<uint32_t>(column[2 * w + x] / area) << kShift[2]));
        }
    }
}

void AnchorBlur(Surface& dst, int dx, int dy, const Surface& src, int block) {
    if (Wide(src.format))
        AnchorBlurOf<uint32_t>(dst, dx, dy, src, block);
    else
        AnchorBlurOf<uint16_t>(dst, dx, dy, src, block);
}

void BlurRows(PixelFormat f) {
    for (int block : {4, 8, 16}) {
        const Surface& picture = *ObjectSurface(kBlurPicture);
        Surface theirs = Back();
        Timing o, a;
        Time(
            5, [&] { BlurBlt(200, 180, block, kBlurPicture, 0, 0, 384, 240); },
            [&] { AnchorBlur(theirs, 200, 180, picture, block); }, o, a);
        ClearBack();
        theirs = Back();
        BlurBlt(200, 180, block, kBlurPicture, 0, 0, 384, 240);
        AnchorBlur(theirs, 200, 180, picture, block);
        const std::string name = "BlurBlt 384x240 block " + std::to_string(block);
        Row(name.c_str(), "running-sum box blur", Wide(f) ? 32 : 16, o, a,
            Same(DifferentPixels(Back(), theirs)));
    }
}

// ---- Lines, rectangles, polygons ----

struct Segment {
    int x1, y1, x2, y2;
};

std::vector<Segment> Lines() {
    std::vector<Segment> lines;
    unsigned seed = 12345;
    auto next = [&](int range) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 8) % range);
    };
    for (int i = 0; i < 64; ++i) lines.push_back({next(800), next(600), next(800), next(600)});
    return lines;
}

// The floor: a plain Bresenham walk with the same rounding and nothing else (every line lies on
// the screen, so nothing is clipped).
template <typename Pixel>
void PlainLine(Surface& s, const Segment& l, uint32_t raw) {
    const int dx = l.x2 - l.x1, dy = l.y2 - l.y1;
    const int adx = std::abs(dx), ady = std::abs(dy);
    const bool xMajor = adx >= ady;
    const int steps = xMajor ? adx : ady, minor = xMajor ? ady : adx;
    const ptrdiff_t sx = dx < 0 ? -static_cast<ptrdiff_t>(sizeof(Pixel)) : sizeof(Pixel);
    const ptrdiff_t sy = dy < 0 ? -static_cast<ptrdiff_t>(s.pitch) : s.pitch;
    const ptrdiff_t major = xMajor ? sx : sy, other = xMajor ? sy : sx;
    uint8_t* p = s.pixels.data() + static_cast<ptrdiff_t>(l.y1) * s.pitch + l.x1 * sizeof(Pixel);
    const Pixel v = static_cast<Pixel>(raw);
    int r = steps;
    for (int i = 0; i < steps; ++i) {
        std::memcpy(p, &v, sizeof(Pixel));
        r += 2 * minor;
        if (r >= 2 * steps) {
            r -= 2 * steps;
            p += other;
        }
        p += major;
    }
}

void LineRows(PixelFormat f) {
    const std::vector<Segment> lines = Lines();
    const int depth = Wide(f) ? 32 : 16;
    const uint32_t colour = 0x00FF8040;  // 0x00BBGGRR
    const uint32_t raw = platform::ColorToRaw(f, colour);
    SdlScreen sdl(f);
    if (sdl.renderer == nullptr) {
        std::printf("no SDL software renderer: %s\n", SDL_GetError());
        return;
    }
    Surface floor = platform::CreateSurface(kScreenW, kScreenH, f);
    auto ours = [&](int width) {
        for (const Segment& s : lines) DrawLine(s.x1, s.y1, s.x2, s.y2, colour, width);
    };
    auto theirs = [&](int width) {
        for (const Segment& s : lines) {
            if (width == 1)
                lineRGBA(sdl.renderer, s.x1, s.y1, s.x2, s.y2, 0x40, 0x80, 0xFF, 0xFF);
            else
                thickLineRGBA(sdl.renderer, s.x1, s.y1, s.x2, s.y2, static_cast<Uint8>(width), 0x40, 0x80,
                              0xFF, 0xFF);
        }
        SDL_RenderFlush(sdl.renderer);
    };
    auto plain = [&] {
        for (const Segment& s : lines)
            Wide(f) ? PlainLine<uint32_t>(floor, s, raw) : PlainLine<uint16_t>(floor, s, raw);
    };
    int64_t drawn = 0;
    auto counted = [&](const Surface& s) {
        Surface blank = platform::CreateSurface(kScreenW, kScreenH, f);
        platform::FillSurface(blank, Wide(f) ? 0x505050 : 0x528A);
        return DifferentPixels(s, blank);
    };
    for (int width : {1, 5}) {
        Timing o, a;
        Time(
            20, [&] { ours(width); }, [&] { theirs(width); }, o, a);
        ClearBack();
        sdl.Clear();
        ours(width);
        theirs(width);
        drawn = counted(Back());
        const std::string name = "DrawLine x64, pen " + std::to_string(width);
        Row(name.c_str(), width == 1 ? "SDL2_gfx lineRGBA" : "SDL2_gfx thickLineRGBA", depth, o, a,
            OwnRule(DifferentPixels(Back(), sdl.pixels), drawn));
        if (width == 1) {
            Time(
                20, [&] { ours(1); }, plain, o, a);
            ClearBack();
            platform::FillSurface(floor, Wide(f) ? 0x505050 : 0x528A);
            ours(1);
            plain();
            Row("DrawLine x64, pen 1", "plain Bresenham (floor)", depth, o, a,
                Same(DifferentPixels(Back(), floor)));
        }
    }

    // 64 filled rectangles, pen and brush of one colour.
    std::vector<SDL_Rect> boxes;
    Rng rng{4242};
    for (int i = 0; i < 64; ++i) {
        const int w = 8 + static_cast<int>(rng.Next() % 200), h = 8 + static_cast<int>(rng.Next() % 150);
        boxes.push_back({static_cast<int>(rng.Next() % (kScreenW - w)),
                         static_cast<int>(rng.Next() % (kScreenH - h)), w, h});
    }
    auto oursBoxes = [&] {
        for (const SDL_Rect& b : boxes) DrawRectangle(b.x, b.y, b.x + b.w, b.y + b.h, colour, colour, 1);
    };
    auto theirBoxes = [&] {
        for (const SDL_Rect& b : boxes)
            boxRGBA(sdl.renderer, static_cast<Sint16>(b.x), static_cast<Sint16>(b.y),
                    static_cast<Sint16>(b.x + b.w - 1), static_cast<Sint16>(b.y + b.h - 1), 0x40, 0x80, 0xFF,
                    0xFF);
        SDL_RenderFlush(sdl.renderer);
    };
    {
        Timing o, a;
        Time(20, oursBoxes, theirBoxes, o, a);
        ClearBack();
        sdl.Clear();
        oursBoxes();
        theirBoxes();
        Row("DrawRectangle x64, filled", "SDL2_gfx boxRGBA", depth, o, a,
            Same(DifferentPixels(Back(), sdl.pixels)));
    }

    // A 24-point star of radius 280, filled solid.
    std::vector<platform::Point> star;
    std::vector<Sint16> xs, ys;
    for (int i = 0; i < 24; ++i) {
        const double angle = i * M_PI / 12, radius = i % 2 == 0 ? 280 : 120;
        star.push_back({static_cast<int>(400 + radius * std::cos(angle)),
                        static_cast<int>(300 + radius * std::sin(angle))});
        xs.push_back(static_cast<Sint16>(star.back().x));
        ys.push_back(static_cast<Sint16>(star.back().y));
    }
    auto oursStar = [&] {
        platform::DeviceContext* dc = platform::GetDC(Back());
        platform::DrawPolygon(dc, platform::Pen{1, colour},
                              platform::Brush{platform::BrushStyle::Solid, colour}, star.data(),
                              static_cast<int>(star.size()));
        platform::ReleaseDC(dc);
    };
    auto theirStar = [&] {
        filledPolygonRGBA(sdl.renderer, xs.data(), ys.data(), static_cast<int>(xs.size()), 0x40, 0x80, 0xFF,
                          0xFF);
        SDL_RenderFlush(sdl.renderer);
    };
    {
        Timing o, a;
        Time(20, oursStar, theirStar, o, a);
        ClearBack();
        sdl.Clear();
        oursStar();
        theirStar();
        Row("DrawPolygon star, solid", "SDL2_gfx filledPolygonRGBA", depth, o, a,
            OwnRule(DifferentPixels(Back(), sdl.pixels), counted(Back())));
    }
}

// ---- Blits ----

struct Job {
    int sx, sy, w, h, x, y;
};

// 4,000 copies a frame of 8 to 48 pixel squares from the sheet to scattered places (larger
// squares for the rows that check every size).
std::vector<Job> SmallJobs() {
    std::vector<Job> jobs;
    Rng rng{31337};
    for (int i = 0; i < 4000; ++i) {
        const int w = 8 + static_cast<int>(rng.Next() % 41), h = 8 + static_cast<int>(rng.Next() % 41);
        jobs.push_back({static_cast<int>(rng.Next() % (480 - w)), static_cast<int>(rng.Next() % (480 - h)), w,
                        h, static_cast<int>(rng.Next() % (kScreenW - w)),
                        static_cast<int>(rng.Next() % (kScreenH - h))});
    }
    return jobs;
}

void BlitRows(PixelFormat f) {
    const int depth = Wide(f) ? 32 : 16;
    for (int size : {0, 8, 16, 32, 48, 96, 200}) {
        // size 0: the mixed sizes; otherwise every copy size x size.
        std::vector<Job> jobs = SmallJobs();
        if (size != 0)
            for (Job& j : jobs) {
                j.w = j.h = size;
                j.sx = std::min(j.sx, 480 - size);
                j.sy = std::min(j.sy, 480 - size);
                j.x = std::min(j.x, kScreenW - size);
                j.y = std::min(j.y, kScreenH - size);
            }
        auto opaque = [&] {
            for (const Job& j : jobs) BltObjectOpaque(j.x, j.y, kSheet, j.sx, j.sy, j.sx + j.w, j.sy + j.h);
        };
        auto keyed = [&] {
            for (const Job& j : jobs) BltObject(j.x, j.y, kSheet, j.sx, j.sy, j.sx + j.w, j.sy + j.h);
        };
        Surface& sheet = *ObjectSurface(kSheet);
        SDL_Surface* from = ToSdl(sheet);
        SdlScreen sdl(f);
        auto sdlOpaque = [&] {
            for (const Job& j : jobs) {
                SDL_Rect s{j.sx, j.sy, j.w, j.h}, d{j.x, j.y, 0, 0};
                SDL_BlitSurface(from, &s, sdl.surface, &d);
            }
        };
        const std::string name =
            "BltObjectOpaque x4000, " + (size == 0 ? std::string("8-48 px") : std::to_string(size) + " px");
        Timing o, a;
        Time(3, opaque, keyed, o, a);
        // The keyed copies leave out the sheet's black holes, so only the opaque ones are checked
        // (against SDL's, below).
        Row(name.c_str(), "our keyed BltObject", depth, o, a, "keyed leaves holes: not compared");
        Time(3, opaque, sdlOpaque, o, a);
        ClearBack();
        sdl.Clear();
        opaque();
        sdlOpaque();
        Row(name.c_str(), "SDL_BlitSurface, no key", depth, o, a, Same(DifferentPixels(Back(), sdl.pixels)));
        SDL_FreeSurface(from);
    }
}

// RotateZoomBlt of the 256 x 256 sprite turned by 30 degrees and enlarged 1.25 times, at each
// vector level against the one-pixel loop, and at the best level against SDL2_gfx's rotozoom.
void RotateRows(PixelFormat f) {
    const int depth = Wide(f) ? 32 : 16;
    constexpr double kAngle = 30.0, kZoom = 1.25;
    int rw = 0, rh = 0;
    rotozoomSurfaceSize(256, 256, kAngle, kZoom, &rw, &rh);
    const int dx = (kScreenW - rw) / 2, dy = (kScreenH - rh) / 2;
    const BlitLevel best = platform::BestBlitLevel();
    auto at = [&](BlitLevel level) {
        return [=] {
            platform::SetBlitLevel(level);
            RotateZoomBlt(dx, dy, dx + rw, dy + rh, static_cast<int>(kAngle), static_cast<float>(kZoom),
                          kSprite, 0, 0, 256, 256);
        };
    };
    Timing o, a;
    for (BlitLevel level : {BlitLevel::AVX2, BlitLevel::AVX512}) {
        if (level > best) continue;
        Time(10, at(level), at(BlitLevel::Scalar), o, a);
        ClearBack();
        at(BlitLevel::Scalar)();
        const Surface scalar = Back();
        ClearBack();
        at(level)();
        const std::string name = std::string("RotateZoomBlt 256 1.25x 30d ") + platform::BlitLevelName(level);
        Row(name.c_str(), "our scalar loop", depth, o, a, Same(DifferentPixels(Back(), scalar)));
    }
    const std::string name = std::string("RotateZoomBlt 256 1.25x 30d ") + platform::BlitLevelName(best);
    SDL_Surface* sprite = ToSdl(*ObjectSurface(kSprite));
    Time(
        10, at(best),
        [&] {
            SDL_Surface* turned = rotozoomSurface(sprite, kAngle, kZoom, SMOOTHING_OFF);
            SDL_FreeSurface(turned);
        },
        o, a);
    Row(name.c_str(), "SDL2_gfx rotozoomSurface", depth, o, a, "own rule (into a new surface)");
    SDL_FreeSurface(sprite);
    platform::SetBlitLevel(best);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) repetitions = std::max(1, std::atoi(argv[1]));
    const std::string sections = argc > 2 ? argv[2] : "blur,lines,blits,rotate,present,text,mixer";
    auto wanted = [&](const char* section) { return sections.find(section) != std::string::npos; };
    double load[3] = {0, 0, 0};
    if (FILE* in = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(in, "%lf %lf %lf", &load[0], &load[1], &load[2]) != 3) load[0] = -1;
        std::fclose(in);
    }
    std::printf(
        "thread CPU time per call in microseconds, min and median of %d repetitions; load %.2f %.2f %.2f; "
        "best level %s\n",
        repetitions, load[0], load[1], load[2], platform::BlitLevelName(platform::BestBlitLevel()));
    std::printf("%-36s %2s  %9s %9s  %-26s %9s %9s  %6s  %s\n", "ours", "bit", "min", "median", "anchor",
                "min", "median", "ratio", "check");
    for (PixelFormat f : {PixelFormat::RGB565, PixelFormat::XRGB8888}) {
        SetUpDisplay(f);
        ClearBack();
        if (wanted("blur")) BlurRows(f);
        if (wanted("lines")) LineRows(f);
        if (wanted("blits")) BlitRows(f);
        if (wanted("rotate")) RotateRows(f);
        if (wanted("present")) PresentRows(f, repetitions);
        if (wanted("text")) TextRows(f, repetitions);
    }
    if (wanted("mixer")) MixerRows(repetitions);
    ReleaseAllObjects();
    return 0;
}
