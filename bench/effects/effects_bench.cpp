// Effect blit speed at 16 and 32 bits in one run, against SDL on the same pixels: HalfBlt and
// AlphaBlt (0.5) against SDL_BlitSurface with SDL_BLENDMODE_BLEND (surface alpha 128, colour key),
// AddBlt against SDL_BLENDMODE_ADD (colour key), RotateZoomBlt against SDL2_gfx's rotozoomSurface
// without smoothing. Ours runs at the best level the processor has and at the one-pixel reference.
// Each benchmark's name ends in its depth; ELDRAW_DEPTH=16 or 32 runs only that one.
//
// Pictures (black = transparent for ours, and SDL's colour key):
//   sprite  256 x 256 with round transparent holes, drawn at (272, 172) of an 800 x 600 screen
//   layer   800 x 600 with the same kind of holes, over the whole screen
#include <SDL.h>
#include <SDL2_rotozoom.h>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_depth.h"
#include "engine/draw/blit.h"
#include "engine/draw/display.h"
#include "engine/draw/effects.h"
#include "engine/draw/objects.h"
#include "platform/blit.h"

namespace {

using platform::BlitLevel;
using platform::PixelFormat;
using platform::Surface;

constexpr int kScreenW = 800, kScreenH = 600;
constexpr ObjectNo kSprite = 4, kLayer = 5;

struct Rng {
    uint32_t state;
    uint32_t Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
};

// Random opaque colours with round holes of 0 (about a quarter of the picture).
Surface MakePicture(int w, int h, PixelFormat f) {
    Surface s = platform::CreateSurface(w, h, f);
    Rng rng{777};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t c = f == PixelFormat::RGB565 ? rng.Next() & 0xFFFF : rng.Next() & 0xFFFFFF;
            if (c == 0) c = 1;
            const int cx = x % 64 - 32, cy = y % 64 - 32;
            platform::SetRawPixel(s, x, y, cx * cx + cy * cy < 18 * 18 ? 0u : c);
        }
    return s;
}

// The display, set up directly at one depth with the two pictures as objects.
void SetUpDisplay(PixelFormat f) {
    ReleaseAllObjects();
    Display = DisplayState{};
    Tables = DrawTables{};
    Display.present = true;
    Display.ScreenWidth = kScreenW;
    Display.ScreenHeight = kScreenH;
    Display.depth = f == PixelFormat::RGB565 ? 16 : 32;
    Display.backBuffer = std::make_unique<Surface>(platform::CreateSurface(kScreenW, kScreenH, f));
    Display.format = f == PixelFormat::RGB565 ? DerivePixelFormat(0xF800, 0x07E0, 0x001F)
                                              : DerivePixelFormat(0xFF0000, 0x00FF00, 0x0000FF);
    for (int i = 0; i < kSineTableSize; ++i)
        Tables.SineTable[i] = static_cast<int32_t>(std::trunc(std::sin(2.0 * M_PI * i / 360.0) * 360.0));
    if (f == PixelFormat::RGB565) BuildSixteenBitTables();
    ObjectTable.records[kSprite].surface = std::make_unique<Surface>(MakePicture(256, 256, f));
    ObjectTable.records[kLayer].surface = std::make_unique<Surface>(MakePicture(kScreenW, kScreenH, f));
    SetClipRect(0, 0, kScreenW, kScreenH);
    platform::FillSurface(*Display.backBuffer, f == PixelFormat::RGB565 ? 0x528A : 0x505050);
}

enum class Op { Half, Alpha, Add, RotateZoom };
enum class Picture { Sprite, Layer };

// Turned by 30 degrees; the sprite enlarged by 1.25, the layer shrunk by 0.6 so that the turned
// picture (596 x 552) fits the screen and both sides draw every pixel of it.
constexpr float kAngle = 30.0f;
float Zoom(int w) {
    return w == 256 ? 1.25f : 0.6f;
}

// The size rotozoomSurface gives a picture turned and zoomed, so both draw the same area.
void RotatedSize(int w, int h, int* rw, int* rh) {
    rotozoomSurfaceSize(w, h, kAngle, Zoom(w), rw, rh);
}

void Ours(benchmark::State& state, Op op, Picture picture, PixelFormat f, BlitLevel level) {
    if (!platform::SetBlitLevel(level)) {
        state.SkipWithError("processor lacks this level");
        return;
    }
    SetUpDisplay(f);
    const ObjectNo o = picture == Picture::Sprite ? kSprite : kLayer;
    const int w = picture == Picture::Sprite ? 256 : kScreenW,
              h = picture == Picture::Sprite ? 256 : kScreenH;
    const int x = (kScreenW - w) / 2, y = (kScreenH - h) / 2;
    int rw = 0, rh = 0;
    RotatedSize(w, h, &rw, &rh);
    for (auto _ : state) {
        switch (op) {
            case Op::Half:
                HalfBlt(x, y, o, 0, 0, w, h);
                break;
            case Op::Alpha:
                AlphaBlt(x, y, o, 0, 0, w, h, 0.5f);
                break;
            case Op::Add:
                AddBlt(x, y, o, 0, 0, w, h);
                break;
            case Op::RotateZoom: {
                const int dx = (kScreenW - rw) / 2, dy = (kScreenH - rh) / 2;
                RotateZoomBlt(dx, dy, dx + rw, dy + rh, static_cast<int>(kAngle), Zoom(w), o, 0, 0, w, h);
                break;
            }
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() *
                            static_cast<int64_t>(op == Op::RotateZoom ? rw * rh : w * h));
    platform::SetBlitLevel(platform::BestBlitLevel());
}

SDL_Surface* ToSdl(Surface& s) {
    const Uint32 format = s.format == PixelFormat::RGB565 ? SDL_PIXELFORMAT_RGB565 : SDL_PIXELFORMAT_RGB888;
    return SDL_CreateRGBSurfaceWithFormatFrom(s.pixels.data(), s.width, s.height,
                                              s.format == PixelFormat::RGB565 ? 16 : 32, s.pitch, format);
}

void Sdl(benchmark::State& state, Op op, Picture picture, PixelFormat f) {
    Surface source =
        picture == Picture::Sprite ? MakePicture(256, 256, f) : MakePicture(kScreenW, kScreenH, f);
    Surface screen = platform::CreateSurface(kScreenW, kScreenH, f);
    platform::FillSurface(screen, f == PixelFormat::RGB565 ? 0x528A : 0x505050);
    SDL_Surface* src = ToSdl(source);
    SDL_Surface* dst = ToSdl(screen);
    if (src == nullptr || dst == nullptr) {
        state.SkipWithError(SDL_GetError());
        return;
    }
    SDL_SetColorKey(src, SDL_TRUE, 0);
    if (op == Op::Add) {
        SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_ADD);
    } else {
        SDL_SetSurfaceBlendMode(src, SDL_BLENDMODE_BLEND);
        SDL_SetSurfaceAlphaMod(src, 128);
    }
    const int x = (kScreenW - source.width) / 2, y = (kScreenH - source.height) / 2;
    int rw = 0, rh = 0;
    RotatedSize(source.width, source.height, &rw, &rh);
    for (auto _ : state) {
        if (op == Op::RotateZoom) {
            SDL_Surface* turned = rotozoomSurface(src, kAngle, Zoom(source.width), SMOOTHING_OFF);
            benchmark::DoNotOptimize(turned);
            SDL_FreeSurface(turned);
        } else {
            SDL_Rect d{x, y, 0, 0};
            SDL_BlitSurface(src, nullptr, dst, &d);
        }
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(op == Op::RotateZoom
                                                                          ? rw * rh
                                                                          : source.width * source.height));
    SDL_FreeSurface(src);
    SDL_FreeSurface(dst);
}

void RegisterAll() {
    const struct {
        Op op;
        const char* name;
    } ops[] = {{Op::Half, "half"}, {Op::Alpha, "alpha"}, {Op::Add, "add"}, {Op::RotateZoom, "rotozoom"}};
    const struct {
        Picture picture;
        const char* name;
    } pictures[] = {{Picture::Sprite, "sprite256"}, {Picture::Layer, "layer800"}};
    const BlitLevel best = platform::BestBlitLevel();
    for (const auto& o : ops)
        for (const auto& p : pictures)
            for (PixelFormat f : {PixelFormat::RGB565, PixelFormat::XRGB8888}) {
                if (!bench::DepthWanted(f == PixelFormat::RGB565 ? 16 : 32)) continue;
                const std::string suffix =
                    std::string("/") + o.name + "/" + p.name + (f == PixelFormat::RGB565 ? "/16" : "/32");
                std::vector<benchmark::internal::Benchmark*> added;
                added.push_back(benchmark::RegisterBenchmark(
                    ("ours_" + std::string(platform::BlitLevelName(best)) + suffix).c_str(), Ours, o.op,
                    p.picture, f, best));
                added.push_back(benchmark::RegisterBenchmark(("ours_scalar" + suffix).c_str(), Ours, o.op,
                                                             p.picture, f, BlitLevel::Scalar));
                added.push_back(benchmark::RegisterBenchmark(
                    ((o.op == Op::RotateZoom ? "sdl2gfx" : "sdl") + suffix).c_str(), Sdl, o.op, p.picture,
                    f));
                // On a shared machine the fastest repetition is the figure least disturbed by others.
                for (benchmark::internal::Benchmark* b : added)
                    b->Unit(benchmark::kMicrosecond)
                        ->ComputeStatistics("min", [](const std::vector<double>& v) {
                            return *std::min_element(v.begin(), v.end());
                        });
            }
}

}  // namespace

int main(int argc, char** argv) {
    if (!bench::CheckDepthsOfTheirOwn("bench_effects")) return 1;
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    ReleaseAllObjects();
    return 0;
}
