// Keyed blit throughput: our copy at each instruction-set level against SDL_BlitSurface with a
// colour key (plain and RLE-accelerated), on the same pixels in the same run, at 16 and 32 bits
// (each benchmark's name ends in its depth; ELDRAW_DEPTH=16 or 32 runs only that one).
//
// Pictures:
//   runs   768 x 576, about half key pixels in runs of 1 to 48 (a room picture with holes)
//   noise  768 x 576, each pixel key or not at random (half and half): the hardest case for both
//   cells  2000 copies of 48 x 48 sprite cells (round figures on a transparent ground, about 40 %
//          opaque) from a 480 x 480 sheet to scattered places of an 800 x 600 screen
//   sprites  the same 2000 copies, each cell its own 48 x 48 surface (what RLE encoding suits best:
//          a cell of a sheet makes SDL's RLE blit walk the runs of every row above the cell)
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "bench/bench_depth.h"
#include "platform/blit.h"

namespace {

using platform::PixelFormat;
using platform::Rect;
using platform::Surface;

constexpr uint32_t kKey16 = 0xF81F;  // magenta
constexpr uint32_t kKey32 = 0x00FF00FF;

struct Rng {  // xorshift32: every bit is usable, so "random" keys are not a short repeating pattern
    uint32_t state;
    uint32_t Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
};

uint32_t Key(PixelFormat f) {
    return f == PixelFormat::RGB565 ? kKey16 : kKey32;
}

// An opaque colour that is never the key.
uint32_t Colour(PixelFormat f, Rng& rng) {
    uint32_t c = f == PixelFormat::RGB565 ? rng.Next() & 0xFFFF : rng.Next() & 0xFFFFFF;
    return c == Key(f) ? c ^ 1 : c;
}

enum class PictureKind { Runs, Noise, Cells, Sprites };

Surface MakePicture(PictureKind kind, PixelFormat f) {
    Rng rng{12345};
    if (kind == PictureKind::Cells || kind == PictureKind::Sprites) {
        Surface s = platform::CreateSurface(480, 480, f);
        platform::FillSurface(s, Key(f));
        for (int cy = 0; cy < 10; ++cy) {
            for (int cx = 0; cx < 10; ++cx) {
                const int r = 14 + static_cast<int>(rng.Next() % 8);  // radius 14..21
                const uint32_t body = Colour(f, rng), edge = Colour(f, rng);
                for (int y = 0; y < 48; ++y) {
                    for (int x = 0; x < 48; ++x) {
                        const int ddx = x - 24, ddy = y - 26, d2 = ddx * ddx + ddy * ddy;
                        if (d2 > r * r) continue;
                        platform::SetRawPixel(s, cx * 48 + x, cy * 48 + y,
                                              d2 > (r - 2) * (r - 2) ? edge : body);
                    }
                }
            }
        }
        return s;
    }
    Surface s = platform::CreateSurface(768, 576, f);
    for (int y = 0; y < s.height; ++y) {
        bool opaque = rng.Next() & 1;
        int x = 0;
        while (x < s.width) {
            const int run = kind == PictureKind::Runs ? 1 + static_cast<int>(rng.Next() % 48) : 1;
            const bool on = kind == PictureKind::Runs ? opaque : (rng.Next() & 1);
            const uint32_t c = Colour(f, rng);
            for (int i = 0; i < run && x < s.width; ++i, ++x)
                platform::SetRawPixel(s, x, y,
                                      on ? (kind == PictureKind::Runs ? c : Colour(f, rng)) : Key(f));
            opaque = !opaque;
        }
    }
    return s;
}

// The copies one iteration makes: (source rectangle, destination position).
struct Job {
    size_t source;  // index into the source surfaces
    Rect src;
    int x, y;
};

// The source surfaces: one picture, or one surface per cell of the sheet for Sprites.
std::vector<Surface> Sources(PictureKind kind, PixelFormat f) {
    Surface picture = MakePicture(kind, f);
    picture.colorKey = Key(f);
    if (kind != PictureKind::Sprites) return {picture};
    std::vector<Surface> cells;
    for (int cell = 0; cell < 100; ++cell) {
        Surface s = platform::CreateSurface(48, 48, f);
        platform::BltOpaque(
            s, 0, 0, picture,
            Rect{(cell % 10) * 48, (cell / 10) * 48, (cell % 10) * 48 + 48, (cell / 10) * 48 + 48});
        s.colorKey = Key(f);
        cells.push_back(std::move(s));
    }
    return cells;
}

std::vector<Job> Jobs(PictureKind kind) {
    if (kind == PictureKind::Runs || kind == PictureKind::Noise) return {{0, Rect{0, 0, 768, 576}, 16, 12}};
    std::vector<Job> jobs;
    Rng rng{777};
    for (int i = 0; i < 2000; ++i) {
        const int cell = static_cast<int>(rng.Next() % 100);
        const int x = static_cast<int>(rng.Next() % (800 - 48)),
                  y = static_cast<int>(rng.Next() % (600 - 48));
        if (kind == PictureKind::Sprites) {
            jobs.push_back({static_cast<size_t>(cell), Rect{0, 0, 48, 48}, x, y});
        } else {
            const int sx = (cell % 10) * 48, sy = (cell / 10) * 48;
            jobs.push_back({0, Rect{sx, sy, sx + 48, sy + 48}, x, y});
        }
    }
    return jobs;
}

int64_t PixelsPerIteration(PictureKind kind) {
    return kind == PictureKind::Cells || kind == PictureKind::Sprites ? 2000 * 48 * 48 : 768 * 576;
}

void Ours(benchmark::State& state, PictureKind kind, PixelFormat f, platform::BlitLevel level) {
    if (!platform::SetBlitLevel(level)) {
        state.SkipWithError("processor lacks this level");
        return;
    }
    const std::vector<Surface> sources = Sources(kind, f);
    Surface screen = platform::CreateSurface(800, 600, f);
    const std::vector<Job> jobs = Jobs(kind);
    for (auto _ : state) {
        for (const Job& j : jobs) platform::BltKeyed(screen, j.x, j.y, sources[j.source], j.src);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * PixelsPerIteration(kind));
    platform::SetBlitLevel(platform::BestBlitLevel());
}

SDL_Surface* ToSdl(const Surface& s) {
    const Uint32 format = s.format == PixelFormat::RGB565 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
    SDL_Surface* out = SDL_CreateRGBSurfaceWithFormat(0, s.width, s.height,
                                                      s.format == PixelFormat::RGB565 ? 16 : 32, format);
    if (out == nullptr) return nullptr;
    const int rowBytes = s.width * platform::BytesPerPixel(s.format);
    for (int y = 0; y < s.height; ++y)
        std::memcpy(static_cast<uint8_t*>(out->pixels) + static_cast<size_t>(y) * out->pitch, s.Row(y),
                    rowBytes);
    return out;
}

void Sdl(benchmark::State& state, PictureKind kind, PixelFormat f, bool rle) {
    std::vector<SDL_Surface*> sources;
    for (const Surface& s : Sources(kind, f)) {
        SDL_Surface* src = ToSdl(s);
        if (src == nullptr) {
            state.SkipWithError(SDL_GetError());
            return;
        }
        SDL_SetColorKey(src, SDL_TRUE, Key(f));
        SDL_SetSurfaceRLE(src, rle ? 1 : 0);
        SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_NONE);
        sources.push_back(src);
    }
    SDL_Surface* screen = ToSdl(platform::CreateSurface(800, 600, f));
    const std::vector<Job> jobs = Jobs(kind);
    std::vector<SDL_Rect> srcRects, dstRects;
    for (const Job& j : jobs) {
        srcRects.push_back({j.src.left, j.src.top, j.src.right - j.src.left, j.src.bottom - j.src.top});
        dstRects.push_back({j.x, j.y, 0, 0});
    }
    // The first blit builds SDL's blitter (and the RLE encoding); keep it out of the timing.
    for (SDL_Surface* src : sources) {
        SDL_Rect warmDst{0, 0, 0, 0};
        SDL_BlitSurface(src, nullptr, screen, &warmDst);
    }
    for (auto _ : state) {
        for (size_t i = 0; i < jobs.size(); ++i) {
            SDL_Rect d = dstRects[i];  // SDL writes the clipped rectangle back
            SDL_BlitSurface(sources[jobs[i].source], &srcRects[i], screen, &d);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * PixelsPerIteration(kind));
    for (SDL_Surface* src : sources) SDL_FreeSurface(src);
    SDL_FreeSurface(screen);
}

// Our result must equal SDL's on every picture before any figure means anything.
bool SameResult(PictureKind kind, PixelFormat f) {
    const std::vector<Surface> sources = Sources(kind, f);
    Surface ours = platform::CreateSurface(800, 600, f);
    platform::FillSurface(ours, 0x1234);
    std::vector<SDL_Surface*> sdlSources;
    for (const Surface& src : sources) {
        sdlSources.push_back(ToSdl(src));
        SDL_SetColorKey(sdlSources.back(), SDL_TRUE, Key(f));
    }
    SDL_Surface* screen = ToSdl(ours);
    for (const Job& j : Jobs(kind)) {
        platform::BltKeyed(ours, j.x, j.y, sources[j.source], j.src);
        SDL_Rect sr{j.src.left, j.src.top, j.src.right - j.src.left, j.src.bottom - j.src.top},
            dr{j.x, j.y, 0, 0};
        SDL_BlitSurface(sdlSources[j.source], &sr, screen, &dr);
    }
    bool same = true;
    const int rowBytes = ours.width * platform::BytesPerPixel(f);
    for (int y = 0; y < ours.height && same; ++y)
        same = std::memcmp(static_cast<uint8_t*>(screen->pixels) + static_cast<size_t>(y) * screen->pitch,
                           ours.Row(y), rowBytes) == 0;
    for (SDL_Surface* s : sdlSources) SDL_FreeSurface(s);
    SDL_FreeSurface(screen);
    return same;
}

void RegisterAll() {
    const struct {
        PictureKind kind;
        const char* name;
    } pictures[] = {{PictureKind::Runs, "runs768x576"},
                    {PictureKind::Noise, "noise768x576"},
                    {PictureKind::Cells, "cells2000x48"},
                    {PictureKind::Sprites, "sprites2000x48"}};
    const struct {
        PixelFormat format;
        const char* name;
    } formats[] = {{PixelFormat::RGB565, "16"}, {PixelFormat::XRGB8888, "32"}};
    const platform::BlitLevel levels[] = {platform::BlitLevel::Scalar, platform::BlitLevel::SSE2,
                                          platform::BlitLevel::AVX2, platform::BlitLevel::AVX512};
    for (const auto& p : pictures) {
        for (const auto& f : formats) {
            if (!bench::DepthWanted(f.format == PixelFormat::RGB565 ? 16 : 32)) continue;
            const std::string suffix = std::string("/") + p.name + "/" + f.name;
            std::vector<benchmark::internal::Benchmark*> added;
            for (platform::BlitLevel level : levels)
                added.push_back(benchmark::RegisterBenchmark(
                    (std::string("ours_") + platform::BlitLevelName(level) + suffix).c_str(), Ours, p.kind,
                    f.format, level));
            added.push_back(
                benchmark::RegisterBenchmark(("sdl_plain" + suffix).c_str(), Sdl, p.kind, f.format, false));
            added.push_back(
                benchmark::RegisterBenchmark(("sdl_rle" + suffix).c_str(), Sdl, p.kind, f.format, true));
            // On a shared machine the fastest repetition is the figure least disturbed by others.
            for (benchmark::internal::Benchmark* b : added)
                b->ComputeStatistics("min", [](const std::vector<double>& v) {
                    return *std::min_element(v.begin(), v.end());
                });
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    for (PictureKind kind : {PictureKind::Runs, PictureKind::Noise, PictureKind::Cells, PictureKind::Sprites})
        for (PixelFormat f : {PixelFormat::RGB565, PixelFormat::XRGB8888})
            if (!SameResult(kind, f)) {
                std::fprintf(stderr, "bench_blit: our keyed blit and SDL's differ\n");
                return 1;
            }
    if (!bench::CheckDepthsOfTheirOwn("bench_blit")) return 1;
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
