// Text blocks: DrawTextBlock and DrawSmoothText of 200 Japanese characters, and RevealText per
// frame over such a block. Run with ELDRAW_DEPTH=16 or 32; it prints the depth it runs at and
// stops when the display chose another.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "bench/bench_depth.h"
#include "engine/draw/display.h"
#include "engine/system/engine_state.h"
#include "engine/system/frame_pacing.h"
#include "engine/text/fonts.h"
#include "engine/text/text_block.h"
#include "engine/text/text_output.h"
#include "platform/headless/headless.h"

namespace {

std::string TwoHundredCharacters() {
    const std::string line = "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。";  // 33
    std::string text;
    while (text.size() < 400) text += line;
    return text.substr(0, 400);  // 200 double-byte characters
}

void SetUpDisplay() {
    platform::headless::Reset();
    EngineInit();
    bench::UseWindowedDisplay();  // windowed: the depth is the desktop's (ELDRAW_DEPTH)
    elDraw::Screen(800, 600, 1);
    FrameStep = 1.0f / 60.0f;
}

// The benchmark's label: what one iteration did, at the display's depth.
void Label(benchmark::State& state, const std::string& work) {
    state.SetLabel(work + ", " + std::to_string(bench::RealDepth()) + "-bit");
}

void BM_DrawTextBlock(benchmark::State& state) {
    SetUpDisplay();
    const std::string text = TwoHundredCharacters();
    SetFont(1, static_cast<int>(state.range(0)), 0, 0, 0, 0);
    SetTextColors(0xFFFFFF, 0x000000, 1);
    for (auto _ : state) DrawTextBlock(20, 20, 780, 580, text.c_str(), TEXT_SHADOW | TEXT_BOLD_X | 4);
    Label(state, "200 characters, shadow and bold, plain");
    ReleaseFont();
    ReleaseDisplay();
}
BENCHMARK(BM_DrawTextBlock)->Arg(16)->Arg(24)->Unit(benchmark::kMicrosecond);

void BM_DrawSmoothText(benchmark::State& state) {
    SetUpDisplay();
    const std::string text = TwoHundredCharacters();
    SetSmoothFont(1, static_cast<int>(state.range(0)));
    SetTextColors(0xFFFFFF, 0x000000, 1);
    for (auto _ : state) DrawSmoothText(20, 20, 780, 580, text.c_str(), TEXT_SHADOW | TEXT_BOLD_X | 4);
    Label(state, "200 characters, shadow and bold, smoothed");
    ReleaseSmoothFont();
    ReleaseDisplay();
}
BENCHMARK(BM_DrawSmoothText)->Arg(16)->Arg(24)->Unit(benchmark::kMicrosecond);

// One frame of a reveal half-way through: the cells shown so far are copied one by one.
void BM_RevealTextFrame(benchmark::State& state) {
    SetUpDisplay();
    const std::string text = TwoHundredCharacters();
    SetFont(1, 24, 0, 0, 0, 0);
    SetTextColors(0xFFFFFF, 0x000000, 1);
    LayoutTextBlock(20, 20, 780, 580, text.c_str(), TEXT_SHADOW);
    ReleaseFont();
    for (auto _ : state) {
        TextBlock.shown = 100;
        TextBlock.revealTimer = 0.0f;
        benchmark::DoNotOptimize(RevealText(1.0f));
    }
    Label(state, "one frame of a reveal, 100 of 200 characters shown");
    ReleaseDisplay();
}
BENCHMARK(BM_RevealTextFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    SetUpDisplay();
    const bool depthAsAsked = bench::CheckDepth("bench_text_block");
    ReleaseDisplay();
    if (!depthAsAsked) return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
