// A frame like the game's (clear, one room picture, 60 sprites, 10 debug texts, an 800 x 600 keyed
// overlay, present to the headless backend) against the floor of copying the same bytes with memcpy,
// and a single DebugPrint. Run with ELDRAW_DEPTH=16 or 32; it prints the depth it runs at and stops
// when the display chose another.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "engine/draw/blit.h"
#include "engine/draw/display.h"
#include "engine/draw/objects.h"
#include "engine/draw/refresh.h"
#include "engine/text/text_output.h"
#include "platform/blit.h"
#include "platform/headless/headless.h"
#include "engine/system/engine_state.h"
#include "bench/bench_depth.h"

namespace {

struct Scene {
    ObjectNo room = 0, sprites = 0, overlay = 0;
};

// Pictures made in memory: a room of cells, a sprite sheet with transparent margins, and an overlay
// whose middle is transparent like the game's frame.
Scene MakeScene() {
    platform::headless::Reset();
    EngineInit();
    bench::UseWindowedDisplay();
    elDraw::Screen(800, 600, 1);
    Scene scene;
    scene.room = elDraw::CreateObject(768, 576, 2);
    scene.sprites = elDraw::CreateObject(480, 96, 2);
    scene.overlay = elDraw::CreateObject(800, 600, 2);
    platform::Surface& room = *ObjectSurface(scene.room);
    for (int y = 0; y < 576; ++y)
        for (int x = 0; x < 768; ++x) platform::SetRawPixel(room, x, y, ((x / 8 + y / 8) % 2) ? 0x4A69 : 0x2945);
    platform::Surface& sprites = *ObjectSurface(scene.sprites);
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 480; ++x) {
            int cx = x % 48 - 24, cy = y % 48 - 24;
            platform::SetRawPixel(sprites, x, y, cx * cx + cy * cy < 400 ? 0xF800 | (x & 0x3F) : 0);
        }
    platform::Surface& overlay = *ObjectSurface(scene.overlay);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            platform::SetRawPixel(overlay, x, y, (x < 16 || x >= 784 || y < 12 || y >= 588) ? 0x8410 : 0);
    return scene;
}

void GameLikeFrame(benchmark::State& state) {
    Scene scene = MakeScene();
    for (auto _ : state) {
        ClearScreen();
        BltObject(16, 12, scene.room, 0, 0, 768, 576);
        for (int i = 0; i < 60; ++i)
            BltObject(20 + (i * 97) % 720, 20 + (i * 53) % 520, scene.sprites, 48 * (i % 10), 48 * (i % 2),
                      48 * (i % 10) + 48, 48 * (i % 2) + 48);
        for (int i = 0; i < 10; ++i) DebugPrint(40 + i * 60, 50 + i * 40, "x=%d y=%d", i * 7, i * 11);
        BltObject(0, 0, scene.overlay, 0, 0, 800, 600);
        Refresh();
    }
    ReleaseDisplay();
}
BENCHMARK(GameLikeFrame)->Unit(benchmark::kMicrosecond);

// The floor: every byte the frame writes, copied once per picture drawn over the whole screen
// (clear, room, overlay, present), with memcpy.
void MemcpyFloor(benchmark::State& state) {
    const size_t bytes = 800 * 600 * (bench::AskedDepth() == 32 ? 4 : 2);
    std::vector<uint8_t> from(bytes, 1), to(bytes);
    for (auto _ : state) {
        for (int pass = 0; pass < 4; ++pass) {
            std::memcpy(to.data(), from.data(), bytes);
            benchmark::DoNotOptimize(to.data());
        }
    }
}
BENCHMARK(MemcpyFloor)->Unit(benchmark::kMicrosecond);

void ShortDebugPrint(benchmark::State& state) {
    MakeScene();
    for (auto _ : state) DebugPrint(100, 100, "x=%d y=%d", 123, 45);
    ReleaseDisplay();
}
BENCHMARK(ShortDebugPrint)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    MakeScene();
    const bool depthAsAsked = bench::CheckDepth("bench_frame");
    ReleaseDisplay();
    if (!depthAsAsked) return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
