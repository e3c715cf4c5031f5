// The smooth-text reduction alone at each instruction-set level and both depths: a line of text at
// 24 px (a 1520 x 48 double-size drawing into 760 x 24 pixels), a third of it set.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "platform/soft/text_reduce.h"

namespace {

using platform::BlitLevel;

void BM_Reduce(benchmark::State& state) {
    const auto level = static_cast<BlitLevel>(state.range(0));
    const bool wide = state.range(1) == 32;
    if (level > platform::BestBlitLevel()) {
        state.SkipWithError("level not supported here");
        return;
    }
    const int bytes = wide ? 4 : 2, w = 760, h = 24;
    std::vector<uint8_t> source(static_cast<size_t>(2 * w) * 2 * h * bytes),
        under(static_cast<size_t>(w) * h * bytes), target(under.size());
    std::mt19937 rng(7);
    for (size_t i = 0; i < source.size(); i += bytes)
        if (rng() % 3 == 0)
            for (int b = 0; b < bytes; ++b) source[i + b] = static_cast<uint8_t>(rng() | 1);
    for (uint8_t& b : under) b = static_cast<uint8_t>(rng());
    platform::ReduceFormat format{wide, {wide ? 16 : 11, wide ? 8 : 6, 0}};
    platform::ReduceJob job;
    job.source = source.data();
    job.sourcePitch = 2 * w * bytes;
    job.sourceWidth = 2 * w;
    job.sourceHeight = 2 * h;
    job.width = w;
    job.height = h;
    job.target = target.data();
    job.targetPitch = w * bytes;
    job.under = under.data();
    job.underPitch = w * bytes;
    const platform::ReduceLoop loop = platform::ReduceLoopFor(level, format);
    for (auto _ : state) {
        loop(job, format);
        benchmark::DoNotOptimize(target.data());
    }
    state.SetLabel(std::string(platform::BlitLevelName(level)) + ", " + (wide ? "32" : "16") +
                   "-bit, 760 x 24");
}
BENCHMARK(BM_Reduce)->ArgsProduct({{0, 1, 2, 3}, {16, 32}})->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
