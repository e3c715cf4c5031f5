// The headless clock: virtual milliseconds that only move when read with a step or slept on.
#include "platform/clock.h"
#include "platform/headless/headless.h"
#include "platform/pause.h"

namespace platform {

using headless::Headless;
using headless::HeadlessState;

uint32_t Ticks() {
    uint32_t now = Headless.clock;
    Headless.clock += Headless.tickStep;
    return now;
}

void Sleep(uint32_t milliseconds) {
    std::vector<uint32_t>& sleeps = Headless.sleeps;
    if (sleeps.size() >= HeadlessState::kSleepRecordLimit) sleeps.erase(sleeps.begin());
    sleeps.push_back(milliseconds);
    Headless.sleepCount += 1;
    Headless.clock += milliseconds;
}

// Virtual time moves only through Ticks and Sleep, so a pause takes none.
void PauseUntil(uint32_t) {}

void BeginTimerPeriod(uint32_t) {}
void EndTimerPeriod(uint32_t) {}

}  // namespace platform
