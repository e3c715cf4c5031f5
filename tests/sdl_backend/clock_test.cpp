// The real clock's pause for the end of a frame wait: it never ends before the clock reaches its
// target, ends at once for a target already passed, and never hangs on a far or wrapped target.
// How late it wakes is the scheduler's business and is measured by the frame-pacing benchmark.
#include "platform/clock.h"

#include <gtest/gtest.h>
#include <time.h>

#include <cstdint>

#include "platform/pause.h"

namespace {

uint64_t NowNs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000000000u + static_cast<uint64_t>(now.tv_nsec);
}

TEST(RealClockPause, EndsOnlyOnceTheClockHasReachedItsTarget) {
    for (uint32_t ahead : {1u, 2u, 5u, 20u}) {
        const uint32_t target = platform::Ticks() + ahead;
        platform::PauseUntil(target);
        EXPECT_GE(static_cast<int32_t>(platform::Ticks() - target), 0) << ahead << " ms ahead";
    }
}

TEST(RealClockPause, APassedTargetIsNotReadAsAFarOneAndAFarOneIsCutToTheLongestPause) {
    // A passed target, the difference wrapping below zero, must not be taken for one almost the
    // clock's whole range ahead, which would pause for the whole longest pause.
    uint64_t start = NowNs();
    platform::PauseUntil(platform::Ticks() - 5);
    platform::PauseUntil(platform::Ticks());
    EXPECT_LT(NowNs() - start, uint64_t{platform::kLongestPause} * 1000000u);

    // Half the clock's range ahead reads as the future; the pause lasts the longest pause and then
    // gives the caller back control (a pause to the target itself would last 24 days).
    start = NowNs();
    const uint32_t far = platform::Ticks() + 0x7FFFFFFFu;
    platform::PauseUntil(far);
    const uint64_t took = NowNs() - start;
    EXPECT_GE(took, uint64_t{platform::kLongestPause - 1} * 1000000u);
    EXPECT_LT(static_cast<int32_t>(platform::Ticks() - far), 0) << "returned before its target";
}

}  // namespace
