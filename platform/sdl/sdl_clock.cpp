// The real clock: milliseconds since system start (CLOCK_MONOTONIC, cut to 32 bits) and sleeping.
#include <time.h>

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

// Wakes exactly when Ticks moves on to its next value: one wake-up per millisecond, and none late
// by more than the scheduler's slack.
void PauseBriefly() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    timespec until{now.tv_sec, (now.tv_nsec / 1000000L + 1) * 1000000L};
    if (until.tv_nsec >= 1000000000L) {
        until.tv_sec += 1;
        until.tv_nsec -= 1000000000L;
    }
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) {
    }
}

// Sleeps on this system are already accurate to well under a millisecond.
void BeginTimerPeriod(uint32_t) {}
void EndTimerPeriod(uint32_t) {}

}  // namespace platform
