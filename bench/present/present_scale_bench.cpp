// ScaleInto as a Present runs it: an 800 x 600 back buffer into a buffer the size of the window
// (factor 1, 2 or 3, or the aspect-correct 1440-line full screen), from a 16-bit (rgb565) and a
// 32-bit (xrgb8888) back buffer; ELDRAW_DEPTH=16 or 32 runs only that depth. ScaleByRows times the
// conversion and scaling by rows that the one pass replaced for whole-number factors.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "bench/bench_depth.h"
#include "platform/sdl/sdl_convert.h"

namespace {

constexpr int kWidth = 800, kHeight = 600;

void Scale(benchmark::State& state, platform::PixelFormat format, int outWidth, int outHeight, bool byRows) {
    const int bytes = format == platform::PixelFormat::RGB565 ? 2 : 4;
    std::vector<uint8_t> source(static_cast<size_t>(kWidth) * kHeight * bytes);
    for (size_t i = 0; i < source.size(); ++i) source[i] = static_cast<uint8_t>(i * 131 + (i >> 9));
    // A window's buffer is not in the cache when the next frame is drawn into it (the X server
    // read it last): turn among buffers larger together than the last-level cache.
    const size_t targetBytes = static_cast<size_t>(outWidth) * outHeight * 4;
    const int kTargets = static_cast<int>((size_t{64} << 20) / targetBytes + 1);
    std::vector<std::vector<uint8_t>> targets(kTargets, std::vector<uint8_t>(targetBytes, 1));
    std::vector<uint32_t> scratch(static_cast<size_t>(kWidth) * 4);
    const platform::sdl::Box where{0, 0, outWidth, outHeight};
    int next = 0;
    for (auto _ : state) {
        std::vector<uint8_t>& target = targets[next];
        next = (next + 1) % kTargets;
        (byRows ? platform::sdl::ScaleIntoByRows : platform::sdl::ScaleInto)(
            source.data(), kWidth * bytes, format, kWidth, kHeight, target.data(), outWidth * 4, where,
            scratch.data());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * outWidth * outHeight * 4);
}

void RegisterAll() {
    using platform::PixelFormat;
    const struct {
        PixelFormat format;
        const char* name;
        int width, height;
    } cases[] = {{PixelFormat::RGB565, "rgb565_x1", 800, 600},
                 {PixelFormat::RGB565, "rgb565_x2", 1600, 1200},
                 {PixelFormat::RGB565, "rgb565_x3", 2400, 1800},
                 {PixelFormat::RGB565, "rgb565_aspect_1920x1440", 1920, 1440},
                 {PixelFormat::XRGB8888, "xrgb8888_x1", 800, 600},
                 {PixelFormat::XRGB8888, "xrgb8888_x2", 1600, 1200},
                 {PixelFormat::XRGB8888, "xrgb8888_x3", 2400, 1800}};
    for (const auto& c : cases)
        if (bench::DepthWanted(c.format == PixelFormat::RGB565 ? 16 : 32))
            for (bool byRows : {false, true})
                benchmark::RegisterBenchmark((std::string(byRows ? "ScaleByRows/" : "Scale/") + c.name +
                                              (c.format == PixelFormat::RGB565 ? "/16" : "/32"))
                                                 .c_str(),
                                             Scale, c.format, c.width, c.height, byRows);
}

}  // namespace

int main(int argc, char** argv) {
    if (!bench::CheckDepthsOfTheirOwn("bench_present_scale")) return 1;
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
