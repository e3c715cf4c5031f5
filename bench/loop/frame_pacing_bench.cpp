// Runs the program's loop with the real clock and an empty scene at 75 frames per second for a few
// seconds and prints the median and 99th-percentile frame period. Needs no display:
// SDL_VIDEODRIVER=dummy ./bench_frame_pacing [seconds]
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "engine/system/engine_state.h"
#include "engine/system/frame_pacing.h"
#include "engine/system/scenes.h"
#include "platform/window.h"
#include "shell/program.h"

namespace {

std::vector<double> frameStarts;
double runSeconds = 5.0;

double NowMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
}

void MeasuredScene() {
    frameStarts.push_back(NowMilliseconds());
    if (frameStarts.back() - frameStarts.front() >= runSeconds * 1000.0)
        platform::PostMessage(platform::WM_KEYDOWN, platform::VK_ESCAPE, 0);
}

void Startup() {
    frameStarts.reserve(4096);
    SetFrameRate(75);
    RegisterScene(1, MeasuredScene);
    Engine.Scene = 1;
}

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    size_t index = static_cast<size_t>(p * static_cast<double>(values.size() - 1) + 0.5);
    return values[index];
}

}  // namespace

static TimerPeriodGuard timerPeriodGuard;

int main(int argc, char** argv) {
    if (argc > 1) runSeconds = std::atof(argv[1]);
    if (!platform::Initialise()) {
        std::fprintf(stderr, "bench_frame_pacing: %s\n", platform::ErrorText());
        return 1;
    }
    WinMain("", 1, Startup);
    platform::Shutdown();
    std::vector<double> periods;
    for (size_t i = 1; i < frameStarts.size(); ++i) periods.push_back(frameStarts[i] - frameStarts[i - 1]);
    if (periods.empty()) return 1;
    std::printf(
        "empty scene at 75 frames a second, nothing drawn: frames %zu  median %.3f ms  p99 %.3f ms  "
        "max %.3f ms\n",
        periods.size(), Percentile(periods, 0.5), Percentile(periods, 0.99),
        *std::max_element(periods.begin(), periods.end()));
    return 0;
}
