// The cost of text through a device context once faces and glyphs are cached: a debug line (font
// created and deleted, context borrowed and returned, one short opaque line), font creation
// alone, a long line, and a wrapped Japanese box. Each drawing benchmark names the depth of the
// back buffer it draws into; ELDRAW_DEPTH=16 or 32 runs only that depth.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "bench/bench_depth.h"
#include "platform/soft/glyph_cache_stats.h"
#include "platform/text.h"

namespace {

platform::PixelFormat FormatOf(int64_t depth) {
    return depth == 16 ? platform::PixelFormat::RGB565 : platform::PixelFormat::XRGB8888;
}

// The depths to run: both, or the one ELDRAW_DEPTH asks for (main refuses any other value).
std::vector<int64_t> Depths() {
    std::vector<int64_t> depths;
    for (int depth : {16, 32})
        if (bench::AskedDepth() == 0 || bench::DepthWanted(depth)) depths.push_back(depth);
    return depths;
}

platform::Surface MakeBackBuffer(platform::PixelFormat format) {
    platform::Surface surface;
    surface.width = 800;
    surface.height = 600;
    surface.format = format;
    surface.pitch = 800 * platform::BytesPerPixel(format);
    surface.pixels.assign(static_cast<size_t>(surface.pitch) * surface.height, 0);
    return surface;
}

platform::FontDescription DebugFont() {
    platform::FontDescription description;
    description.height = 12;
    description.weight = 400;
    const char* gothic = "標準ゴシック";
    memcpy(description.faceName, gothic, strlen(gothic));
    return description;
}

void DebugLine(platform::Surface& surface, const platform::FontDescription& description, const char* text,
               int length) {
    platform::Font* font = platform::CreateFont(description);
    platform::DeviceContext* dc = platform::GetDC(surface);
    platform::Font* previous = platform::SelectFont(dc, font);
    platform::SetTextColor(dc, 0xFFFFFF);
    platform::SetBkColor(dc, 0x800000);
    platform::SetBkMode(dc, platform::OPAQUE);
    platform::TextOut(dc, 400, 300, text, length);
    platform::SelectFont(dc, previous);
    platform::ReleaseDC(dc);
    platform::DeleteFont(font);
}

void BM_DebugLine(benchmark::State& state) {
    platform::Surface surface = MakeBackBuffer(FormatOf(state.range(0)));
    const platform::FontDescription description = DebugFont();
    const char text[] = "x=123 y=45";
    DebugLine(surface, description, text, sizeof text - 1);
    uint64_t renders = platform::text::GetGlyphCacheStats().renders;
    for (auto _ : state) {
        DebugLine(surface, description, text, sizeof text - 1);
        benchmark::ClobberMemory();
    }
    state.counters["glyph_renders"] =
        static_cast<double>(platform::text::GetGlyphCacheStats().renders - renders);
}
BENCHMARK(BM_DebugLine)->ArgsProduct({Depths()})->ArgName("depth");

void BM_CreateDeleteFont(benchmark::State& state) {
    const platform::FontDescription description = DebugFont();
    platform::DeleteFont(platform::CreateFont(description));
    for (auto _ : state) {
        platform::Font* font = platform::CreateFont(description);
        benchmark::DoNotOptimize(font);
        platform::DeleteFont(font);
    }
    state.SetLabel("font made and deleted, nothing drawn");
}
BENCHMARK(BM_CreateDeleteFont);

void BM_LongLine(benchmark::State& state) {
    platform::Surface surface = MakeBackBuffer(FormatOf(state.range(1)));
    platform::FontDescription description = DebugFont();
    description.height = static_cast<int>(state.range(0));
    platform::Font* font = platform::CreateFont(description);
    platform::DeviceContext* dc = platform::GetDC(surface);
    platform::Font* previous = platform::SelectFont(dc, font);
    platform::SetBkMode(dc, platform::TRANSPARENT);
    const char* text = "ミルカネット！ 体力 18 敵を倒すとアイテムが出ることがある。The quick brown fox.";
    int length = static_cast<int>(strlen(text));
    for (auto _ : state) {
        platform::TextOut(dc, 0, 100, text, length);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * length);
    platform::SelectFont(dc, previous);
    platform::ReleaseDC(dc);
    platform::DeleteFont(font);
}
BENCHMARK(BM_LongLine)->ArgsProduct({{12, 24}, Depths()})->ArgNames({"height", "depth"});

void BM_WrappedBox(benchmark::State& state) {
    platform::Surface surface = MakeBackBuffer(FormatOf(state.range(1)));
    platform::FontDescription description = DebugFont();
    description.height = 16;
    platform::Font* font = platform::CreateFont(description);
    platform::DeviceContext* dc = platform::GetDC(surface);
    platform::Font* previous = platform::SelectFont(dc, font);
    const char* text =
        "吾輩は猫である。名前はまだ無い。どこで生れたかとんと見当がつかぬ。何でも薄暗いじめじめした所で"
        "ニャーニャー泣いていた事だけは記憶している。";
    const uint32_t format = static_cast<uint32_t>(state.range(0));
    for (auto _ : state) {
        platform::Rect rect{100, 100, 400, 500};
        benchmark::DoNotOptimize(platform::DrawText(dc, text, -1, rect, format));
        benchmark::ClobberMemory();
    }
    platform::SelectFont(dc, previous);
    platform::ReleaseDC(dc);
    platform::DeleteFont(font);
}
// Flags 2064 (0x810) lay out and draw; 3088 (0xC10, with DT_CALCRECT) only measure.
BENCHMARK(BM_WrappedBox)
    ->ArgsProduct({{platform::DT_WORDBREAK | platform::DT_NOPREFIX,
                    platform::DT_WORDBREAK | platform::DT_NOPREFIX | platform::DT_CALCRECT},
                   Depths()})
    ->ArgNames({"flags", "depth"});

}  // namespace

int main(int argc, char** argv) {
    if (!bench::CheckDepthsOfTheirOwn("bench_text")) return 1;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
