// The real clock's pause for the end of a frame wait: it ends in the millisecond the clock reaches
// its target, at once for a target already passed, and never hangs on a wrapped target.
#include <gtest/gtest.h>
#include <time.h>

#include <cstdint>

#include "platform/clock.h"
#include "platform/pause.h"

namespace {

uint64_t NowNs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
}

TEST(RealClockPause, EndsWhenTheClockReachesItsTargetAndNotBefore) {
    for (uint32_t ahead : {1u, 2u, 5u}) {
        const uint32_t target = platform::Ticks() + ahead;
        platform::PauseUntil(target);
        const uint32_t after = platform::Ticks();
        EXPECT_GE(static_cast<int32_t>(after - target), 0) << ahead << " ms ahead";
        // Scheduler slack on a loaded machine, not a whole frame.
        EXPECT_LE(static_cast<int32_t>(after - target), 3) << ahead << " ms ahead";
    }
}

TEST(RealClockPause, ReturnsAtOnceForAPassedTargetAndBoundsAFarOne) {
    uint64_t start = NowNs();
    platform::PauseUntil(platform::Ticks() - 5);  // passed, with the difference wrapping below zero
    platform::PauseUntil(platform::Ticks());
    EXPECT_LT(NowNs() - start, 1000000u);

    // Half the clock's range ahead reads as the future; the pause gives the caller back control.
    start = NowNs();
    platform::PauseUntil(platform::Ticks() + 0x7FFFFFFFu);
    const uint64_t took = NowNs() - start;
    EXPECT_GE(took, uint64_t{platform::kLongestPause - 1} * 1000000u);
    EXPECT_LT(took, uint64_t{platform::kLongestPause + 200} * 1000000u);
}

}  // namespace
