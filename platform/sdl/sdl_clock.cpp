// The real clock: milliseconds since system start (CLOCK_MONOTONIC, cut to 32 bits) and sleeping.
#include <time.h>

#include <algorithm>
#include <cerrno>

#include "platform/clock.h"
#include "platform/pause.h"

namespace platform {

uint32_t Ticks() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    return static_cast<uint32_t>(ms);
}

void Sleep(uint32_t milliseconds) {
    timespec wait{static_cast<time_t>(milliseconds / 1000), static_cast<long>(milliseconds % 1000) * 1000000L};
    while (::clock_nanosleep(CLOCK_MONOTONIC, 0, &wait, &wait) == EINTR) {
    }
}

// One wake-up at the start of the millisecond in which Ticks first reads `ticks`, and none late
// by more than the scheduler's slack.
void PauseUntil(uint32_t ticks) {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    const uint64_t nowMs = static_cast<uint64_t>(now.tv_sec) * 1000u + static_cast<uint64_t>(now.tv_nsec) / 1000000u;
    const int32_t ahead = static_cast<int32_t>(ticks - static_cast<uint32_t>(nowMs));
    if (ahead <= 0) return;
    const uint64_t untilMs = nowMs + std::min<uint32_t>(static_cast<uint32_t>(ahead), kLongestPause);
    const timespec until{static_cast<time_t>(untilMs / 1000u), static_cast<long>(untilMs % 1000u) * 1000000L};
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}

// Sleeps on this system are already accurate to well under a millisecond.
void BeginTimerPeriod(uint32_t) {}
void EndTimerPeriod(uint32_t) {}

}  // namespace platform
