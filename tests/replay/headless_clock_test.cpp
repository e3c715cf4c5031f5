// The replay runner's virtual clock: sleeps move it on and only the latest ones are kept.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/clock.h"
#include "platform/headless/headless.h"

namespace {

using platform::headless::Headless;
using platform::headless::HeadlessState;

TEST(HeadlessClock, ALongRunKeepsOnlyTheLatestSleeps) {
    platform::headless::Reset();
    const uint32_t start = platform::Ticks();
    constexpr uint32_t kFrames = 100000;
    uint64_t total = 0;
    for (uint32_t i = 0; i < kFrames; ++i) {
        platform::Sleep(i % 17);
        total += i % 17;
    }
    EXPECT_EQ(Headless.sleepCount, kFrames);
    ASSERT_EQ(Headless.sleeps.size(), HeadlessState::kSleepRecordLimit);
    for (size_t k = 0; k < Headless.sleeps.size(); ++k) {
        const uint32_t i = kFrames - HeadlessState::kSleepRecordLimit + static_cast<uint32_t>(k);
        EXPECT_EQ(Headless.sleeps[k], i % 17) << k;
    }
    EXPECT_LE(Headless.sleeps.capacity(), 2 * HeadlessState::kSleepRecordLimit);
    EXPECT_EQ(platform::Ticks() - start, static_cast<uint32_t>(total));
    platform::headless::Reset();
    EXPECT_TRUE(Headless.sleeps.empty());
    EXPECT_EQ(Headless.sleepCount, 0u);
}

}  // namespace
