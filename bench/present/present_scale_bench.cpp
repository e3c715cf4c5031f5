// ScaleInto as a Present runs it: an 800 x 600 back buffer into a buffer the size of the window
// (factor 1, 2 or 3, or the aspect-correct 1440-line full screen), RGB565 and 32-bit.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>


#include "platform/sdl/sdl_convert.h"

namespace {

constexpr int kWidth = 800, kHeight = 600;

void Scale(benchmark::State& state, platform::PixelFormat format, int outWidth, int outHeight) {
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
        platform::sdl::ScaleInto(source.data(), kWidth * bytes, format, kWidth, kHeight, target.data(),
                                 outWidth * 4, where, scratch.data());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * outWidth * outHeight * 4);
}

using platform::PixelFormat;
BENCHMARK_CAPTURE(Scale, rgb565_x1, PixelFormat::RGB565, 800, 600);
BENCHMARK_CAPTURE(Scale, rgb565_x2, PixelFormat::RGB565, 1600, 1200);
BENCHMARK_CAPTURE(Scale, rgb565_x3, PixelFormat::RGB565, 2400, 1800);
BENCHMARK_CAPTURE(Scale, rgb565_aspect_1920x1440, PixelFormat::RGB565, 1920, 1440);
BENCHMARK_CAPTURE(Scale, xrgb8888_x1, PixelFormat::XRGB8888, 800, 600);
BENCHMARK_CAPTURE(Scale, xrgb8888_x2, PixelFormat::XRGB8888, 1600, 1200);
BENCHMARK_CAPTURE(Scale, xrgb8888_x3, PixelFormat::XRGB8888, 2400, 1800);

}  // namespace

BENCHMARK_MAIN();
