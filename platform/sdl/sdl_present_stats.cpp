// Presentation figures for the measuring scripts, written to standard error: the time from the
// moment named by MILKANET_EXEC_NS (CLOCK_REALTIME nanoseconds, taken by the script just before it
// starts the program) to the first presented frame and the process's processor time until then, and every 750
// calls the main thread's processor time per Present (median and mean) and how many of those calls reached
// the screen.
#include "platform/sdl/sdl_present_stats.h"

#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace platform::sdl {
namespace {

constexpr int kBatch = 750;

struct PresentStats {
    int enabled = -1;  // -1 not yet read from the environment
    bool firstShown = false;
    double started = 0.0;
    double samples[kBatch] = {};
    int count = 0;
    int presented = 0;
};

PresentStats stats;

double ThreadMilliseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

bool Enabled() {
    if (stats.enabled < 0) {
        const char* value = std::getenv("MILKANET_PRESENT_STATS");
        stats.enabled = (value != nullptr && std::strcmp(value, "0") != 0) ? 1 : 0;
    }
    return stats.enabled == 1;
}

}  // namespace

void PresentStatsBegin() {
    if (!Enabled()) return;
    stats.started = ThreadMilliseconds();
}

void PresentStatsEnd(bool presented) {
    if (!Enabled()) return;
    stats.samples[stats.count++] = ThreadMilliseconds() - stats.started;
    if (presented) ++stats.presented;
    if (presented && !stats.firstShown) {
        stats.firstShown = true;
        if (const char* exec = std::getenv("MILKANET_EXEC_NS")) {
            timespec now{};
            ::clock_gettime(CLOCK_REALTIME, &now);
            double nowNs = static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
            timespec used{};
            ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
            std::fprintf(stderr, "present-stats: first frame %.1f ms after exec, %.1f ms of processor time\n",
                         (nowNs - std::strtod(exec, nullptr)) / 1e6,
                         static_cast<double>(used.tv_sec) * 1e3 + static_cast<double>(used.tv_nsec) / 1e6);
        }
    }
    if (stats.count == kBatch) {
        double sum = 0.0;
        for (double sample : stats.samples) sum += sample;
        std::sort(stats.samples, stats.samples + kBatch);
        std::fprintf(
            stderr,
            "present-stats: %d calls, %d presented, main-thread CPU per call median %.3f ms mean %.3f ms\n",
            kBatch, stats.presented, stats.samples[kBatch / 2], sum / kBatch);
        stats.count = 0;
        stats.presented = 0;
    }
}

}  // namespace platform::sdl
