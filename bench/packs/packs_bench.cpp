// Loading the default pictures from a pack against loading them from their BMP files, and our
// lines and polygons against SDL2_gfx's thick lines and filled polygons on the same shapes and
// the same pixel format. Runs in its own program folder, where the default content lies, on a
// windowed display at the depth ELDRAW_DEPTH asks for (16 or 32); it prints that depth and the
// work of each benchmark, and stops when the display chose another depth.
#include <SDL.h>
#include <SDL2_gfxPrimitives.h>
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/bench_depth.h"
#include "engine/draw/display.h"
#include "engine/draw/objects.h"
#include "engine/draw/pack.h"
#include "engine/draw/pack_format.h"
#include "engine/draw/primitives.h"
#include "engine/system/engine_state.h"
#include "platform/bmp.h"
#include "platform/headless/headless.h"

namespace {

constexpr const char* kPackName = "bench_packs.pak";
std::vector<std::string> pictures;
std::string programFolder;
long picturePixels = 0;  // of all the default pictures together

// The pack of the default pictures, written as eltool pack-pictures writes it.
bool WriteDefaultPack() {
    pictures = pack::ListPictures(programFolder + "/BMP");
    std::FILE* out = std::fopen((programFolder + "/" + kPackName).c_str(), "wb");
    if (out == nullptr) return false;
    for (const std::string& name : pictures) {
        platform::Picture picture;
        if (!platform::LoadBmpFile((programFolder + "/BMP/" + name).c_str(), picture)) return false;
        picturePixels += static_cast<long>(picture.width) * picture.height;
        pack::WriteEntryHeader(out, picture.width, picture.height, pack::UpperCased(name.c_str()).c_str());
        for (uint32_t pixel : picture.pixels) pack::WritePixel(out, pack::EncodePixel(pixel));
    }
    return std::fclose(out) == 0;
}

// The benchmark's label: what one iteration did, at the display's depth.
void Label(benchmark::State& state, const std::string& work) {
    state.SetLabel(work + ", " + std::to_string(bench::RealDepth()) + "-bit");
}

void BM_LoadPack(benchmark::State& state) {
    SetPackFile(kPackName);
    for (auto _ : state)
        for (const std::string& name : pictures) {
            const ObjectNo object = elDraw::LoadPack(name.c_str(), 2);
            if (object == 0) state.SkipWithError("LoadPack failed");
            ReleaseObject(object);
        }
    state.SetItemsProcessed(state.iterations() * pictures.size());
    Label(state, std::to_string(pictures.size()) + " pictures from the pack");
}

void BM_LoadObject(benchmark::State& state) {
    for (auto _ : state)
        for (const std::string& name : pictures) {
            const ObjectNo object = elDraw::LoadObject(("BMP\\" + name).c_str(), 2);
            if (object == 0) state.SkipWithError("LoadObject failed");
            ReleaseObject(object);
        }
    state.SetItemsProcessed(state.iterations() * pictures.size());
    Label(state, std::to_string(pictures.size()) + " pictures from BMP files");
}

// The shapes: 64 lines across the screen from a fixed seed, and a 24-point star of radius 280.
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
std::vector<platform::Point> Star() {
    std::vector<platform::Point> star;
    for (int i = 0; i < 24; ++i) {
        const double angle = i * M_PI / 12, radius = i % 2 == 0 ? 280 : 120;
        star.push_back({static_cast<int>(400 + radius * std::cos(angle)),
                        static_cast<int>(300 + radius * std::sin(angle))});
    }
    return star;
}

// SDL2_gfx draws through a software renderer onto a surface of the back buffer's format.
struct SdlTarget {
    SDL_Surface* surface = nullptr;
    SDL_Renderer* renderer = nullptr;
    SdlTarget() {
        const Uint32 format = Display.depth == 32 ? SDL_PIXELFORMAT_RGB888 : SDL_PIXELFORMAT_RGB565;
        surface = SDL_CreateRGBSurfaceWithFormat(0, 800, 600, Display.depth, format);
        renderer = surface != nullptr ? SDL_CreateSoftwareRenderer(surface) : nullptr;
    }
    ~SdlTarget() {
        if (renderer != nullptr) SDL_DestroyRenderer(renderer);
        if (surface != nullptr) SDL_FreeSurface(surface);
    }
};

void BM_DrawLine(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const std::vector<Segment> lines = Lines();
    for (auto _ : state)
        for (const Segment& s : lines) DrawLine(s.x1, s.y1, s.x2, s.y2, 0x00FF8040, width);
    state.SetItemsProcessed(state.iterations() * lines.size());
    Label(state, std::to_string(lines.size()) + " lines of width " + std::to_string(width));
}

void BM_SdlGfxThickLine(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const std::vector<Segment> lines = Lines();
    SdlTarget target;
    if (target.renderer == nullptr) return state.SkipWithError("no software renderer");
    for (auto _ : state)
        for (const Segment& s : lines)
            thickLineRGBA(target.renderer, s.x1, s.y1, s.x2, s.y2, static_cast<Uint8>(width), 0x40, 0x80,
                          0xFF, 0xFF);
    state.SetItemsProcessed(state.iterations() * lines.size());
    Label(state, std::to_string(lines.size()) + " lines of width " + std::to_string(width));
}

void BM_DrawPolygonHatched(benchmark::State& state) {
    const std::vector<platform::Point> star = Star();
    for (auto _ : state)
        DrawPolygon(star.data(), static_cast<int>(star.size()), 0x00FF8040, 0x00102030, 1, 1);
    Label(state, "hatched star with outline (no SDL2_gfx counterpart)");
}

// Our rasterizer with a solid brush: the same work as SDL2_gfx's filled polygon.
void BM_DrawPolygonSolid(benchmark::State& state) {
    const std::vector<platform::Point> star = Star();
    for (auto _ : state) {
        platform::DeviceContext* dc = platform::GetDC(*Display.backBuffer);
        platform::DrawPolygon(dc, platform::Pen{1, 0xFF8040},
                              platform::Brush{platform::BrushStyle::Solid, 0xFF8040}, star.data(),
                              static_cast<int>(star.size()));
        platform::ReleaseDC(dc);
    }
    Label(state, "solid star");
}

void BM_SdlGfxFilledPolygon(benchmark::State& state) {
    const std::vector<platform::Point> star = Star();
    std::vector<Sint16> xs, ys;
    for (const platform::Point& p : star) {
        xs.push_back(static_cast<Sint16>(p.x));
        ys.push_back(static_cast<Sint16>(p.y));
    }
    SdlTarget target;
    if (target.renderer == nullptr) return state.SkipWithError("no software renderer");
    for (auto _ : state)
        filledPolygonRGBA(target.renderer, xs.data(), ys.data(), static_cast<int>(xs.size()), 0x40, 0x80,
                          0xFF, 0xFF);
    Label(state, "solid star");
}

BENCHMARK(BM_LoadPack)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadObject)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DrawLine)->Arg(1)->Arg(5)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SdlGfxThickLine)->Arg(1)->Arg(5)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawPolygonHatched)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawPolygonSolid)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SdlGfxFilledPolygon)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    char exe[4096];
    const ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (length <= 0) return 1;
    exe[length] = '\0';
    programFolder = exe;
    programFolder.resize(programFolder.rfind('/'));

    platform::headless::Reset();
    EngineInit();
    // Full screen would choose 16 bits whatever ELDRAW_DEPTH asks.
    bench::UseWindowedDisplay();
    if (elDraw::Screen(800, 600, 1) != 1 || !WriteDefaultPack()) {
        std::fprintf(stderr, "bench_packs: cannot set up the display or the pack\n");
        return 1;
    }
    if (!bench::CheckDepth("bench_packs")) {
        ReleaseDisplay();
        std::remove((programFolder + "/" + kPackName).c_str());
        return 1;
    }
    std::printf(
        "bench_packs: each load pass makes %zu objects of the default pictures (%ld pixels) at depth %d, "
        "from the pack or from the BMP files; lines: %zu segments of width 1 and 5; polygons: a %zu-point "
        "star filled at depth %d (ours on the back buffer, SDL2_gfx on a surface of the same format)\n",
        pictures.size(), picturePixels, bench::RealDepth(), Lines().size(), Star().size(),
        bench::RealDepth());
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    ReleaseDisplay();
    std::remove((programFolder + "/" + kPackName).c_str());
    return 0;
}
