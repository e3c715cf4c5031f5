// Times the game frame on the default stage on the headless backend and counts the allocations
// each frame makes. Run from anywhere: it works in its own program folder, where the default
// content lies. Usage: bench_game_frame [frames] (ELDRAW_DEPTH=32 for the 32-bit display); it stops
// when the display chose another depth than the one asked.
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "game/game_startup.h"
#include "platform/headless/headless.h"
#include "engine/system/engine_state.h"
#include "bench/bench_depth.h"

namespace {

long allocations = 0;

double NowMicroseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1e6 + now.tv_nsec / 1e3;
}

}  // namespace

void* operator new(size_t size) {
    ++allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::atoi(argv[1]) : 2000;
    char exe[4096];
    ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (length <= 0) return 1;
    exe[length] = '\0';
    std::string folder(exe);
    folder.resize(folder.rfind('/'));
    if (chdir(folder.c_str()) != 0) return 1;

    platform::headless::Reset();
    platform::headless::Headless.tickStep = 1;
    EngineInit();
    bench::UseWindowedDisplay();
    std::srand(1);
    GameStartup();
    if (!bench::CheckDepth("bench_game_frame")) return 1;

    std::vector<double> times;
    std::vector<long> counts;
    times.reserve(frames);
    counts.reserve(frames);
    for (int i = 0; i < frames; ++i) {
        long before = allocations;
        double start = NowMicroseconds();
        GameFrame();
        times.push_back(NowMicroseconds() - start);
        counts.push_back(allocations - before);
    }
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    long afterFirst = 0;
    for (size_t i = 1; i < counts.size(); ++i) afterFirst += counts[i];
    std::printf("depth %d  frames %d  first frame %.0f us  median %.1f us  p99 %.1f us  allocations: first %ld, after %ld\n",
                bench::RealDepth(), frames, times[0],
                sorted[sorted.size() / 2], sorted[sorted.size() * 99 / 100], counts[0], afterFirst);
    return 0;
}
