// Frame pacing, the measured frame step, wait timers and the delay, on the virtual clock.
#include "tests/shell/shell_fixture.h"

namespace {

class PacingTest : public ShellTest {};

TEST_F(PacingTest, FrameRatesBecomeWholeMillisecondIntervals) {
    SetFrameRate(75);
    EXPECT_EQ(Pacing.FrameInterval, 13u);
    SetFrameRate(60);
    EXPECT_EQ(Pacing.FrameInterval, 16u);
    EXPECT_FALSE(SetFrameRate(0));  // no division by zero: the rate stays
    EXPECT_EQ(Pacing.FrameRate, 60u);
    EXPECT_EQ(Pacing.FrameInterval, 16u);
}

TEST_F(PacingTest, WaitFrameSleepsUntilThreeMillisecondsBeforeTheEndAndSpinsTheRest) {
    headless.clock = 1000;
    SetFrameRate(75);  // frame starts at 1000
    headless.clock = 1004;
    headless.tickStep = 1;
    WaitFrame();
    ASSERT_EQ(headless.sleeps.size(), 1u);
    EXPECT_EQ(headless.sleeps[0], 6u);  // 13 - 4 - 3
    EXPECT_EQ(Pacing.FrameStart, 1013u);

    headless.sleeps.clear();
    headless.clock = 1013 + 2;
    SetFrameRate(60);
    headless.clock = Pacing.FrameStart;
    WaitFrame();
    EXPECT_EQ(headless.sleeps, std::vector<uint32_t>{13u});
    EXPECT_EQ(Pacing.FrameStart - 1015u, 16u);
}

TEST_F(PacingTest, AnOverrunFrameIsFollowedAtOnceWithoutCatchingUp) {
    headless.clock = 500;
    SetFrameRate(75);
    headless.clock = 530;  // the frame took 30 ms
    headless.tickStep = 1;
    WaitFrame();
    EXPECT_EQ(headless.sleeps, std::vector<uint32_t>{0u});
    EXPECT_EQ(Pacing.FrameStart, 530u);  // no spinning: the next frame starts now
}

TEST_F(PacingTest, PacingOffReturnsAtOnceAndAsksForTheVerticalBlank) {
    SetFramePacing(false);
    EXPECT_EQ(Pacing.WaitForVBlank, 1);
    headless.clock = 100;
    WaitFrame();
    EXPECT_TRUE(headless.sleeps.empty());
    SetFramePacing(true);
    EXPECT_EQ(Pacing.WaitForVBlank, 0);
}

TEST_F(PacingTest, FrameStepIsMeasuredAcrossTheClockWrap) {
    headless.clock = 0xFFFFFFF0u;
    ResetFrameTimer();
    headless.clock = 0x00000010u;
    MeasureFrameStep();
    EXPECT_EQ(Pacing.FrameStep, 0.032f);
}

TEST_F(PacingTest, WaitTimersReachTheirDeadlinesAlsoAcrossTheWrap) {
    ResetWaitTable();
    headless.clock = 0xFFFFFF00u;
    ASSERT_EQ(elSystem::SetWait(3, 0x200), 1);
    EXPECT_EQ(Pacing.WaitTable[3], 0x100u);
    // The deadline wrapped with the clock: it is reached only once the clock has wrapped too.
    headless.clock = 0x000000FFu;
    EXPECT_EQ(IsWaitOver(3), 0);
    headless.clock = 0x00000100u;
    EXPECT_EQ(IsWaitOver(3), 1);
    // A timer set just before the wrap is not over before the clock wraps.
    headless.clock = 0xFFFFFFF0u;
    ASSERT_EQ(elSystem::SetWait(4, 0x20), 1);
    EXPECT_EQ(IsWaitOver(4), 0);
    headless.clock = 0xFFFFFFFFu;
    EXPECT_EQ(IsWaitOver(4), 0);
    headless.clock = 0x0000000Fu;
    EXPECT_EQ(IsWaitOver(4), 0);
    headless.clock = 0x00000010u;
    EXPECT_EQ(IsWaitOver(4), 1);
}

TEST_F(PacingTest, AResetTimerWaitsUntilTheNeverDeadline) {
    headless.clock = 5000;
    elSystem::InitWait(2);
    EXPECT_EQ(IsWaitOver(2), 0);
    headless.clock = 999999998u;
    EXPECT_EQ(IsWaitOver(2), 0);
    headless.clock = 999999999u;
    EXPECT_EQ(IsWaitOver(2), 1);
    headless.clock = 0xF0000000u;  // a system that has run longer than that: over at once
    elSystem::InitWait(2);
    EXPECT_EQ(IsWaitOver(2), 1);
    EXPECT_EQ(IsWaitOver(0), 1);  // numbers outside the table never read past it
    EXPECT_EQ(IsWaitOver(12), 1);
}

TEST_F(PacingTest, BadTimerNumbersAreReportedAndChangeNothing) {
    ResetWaitTable();
    EXPECT_EQ(elSystem::SetWait(0, 100), 0);
    EXPECT_EQ(elSystem::InitWait(11), 0);
    ASSERT_EQ(headless.messageBoxes.size(), 2u);
    EXPECT_EQ(headless.messageBoxes[0].text, "elSystem::SetWait : ウェイトNoが範囲外です");
    EXPECT_EQ(headless.messageBoxes[1].text, "elSystem::InitWait : ウェイトNoが範囲外です");
    for (int i = 1; i <= 11; ++i) EXPECT_EQ(Pacing.WaitTable[i], kWaitNever);
}

TEST_F(PacingTest, DelayRunsPastItsDeadlineAndResetsTheFrameTimer) {
    headless.clock = 100;
    headless.tickStep = 1;
    Pacing.FrameStep = 0.25f;
    Delay(0);
    EXPECT_EQ(Pacing.WaitTable[kDelayTimer], 100u);
    EXPECT_EQ(Pacing.FrameStep, 0.0f);
    EXPECT_GT(Pacing.FrameTimer, 100u);
}

TEST_F(PacingTest, DelayRunsUntilTheClockHasPassedItsDeadlineAlsoAtTheWrap) {
    headless.tickStep = 1;
    // A deadline on the clock's last value: over once the clock reads 0.
    headless.clock = 0xFFFFFFF0u;
    Delay(0x0F);
    EXPECT_EQ(Pacing.WaitTable[kDelayTimer], 0xFFFFFFFFu);
    EXPECT_EQ(Pacing.FrameTimer, 1u);  // read just after the one that ended the delay
    // A deadline past the wrap: the clock runs on to 0x11 first.
    headless.clock = 0xFFFFFFF0u;
    Delay(0x20);
    EXPECT_EQ(Pacing.WaitTable[kDelayTimer], 0x10u);
    EXPECT_EQ(Pacing.FrameTimer, 0x12u);
}

TEST_F(PacingTest, TheTimerGuardStartsAtSixtyFramesWithPacingOn) {
    Pacing = FramePacingState{};
    Pacing.FrameRate = 1;
    SetFramePacing(false);
    { TimerPeriodGuard guard; }
    EXPECT_EQ(Pacing.FrameRate, 60u);
    EXPECT_TRUE(Pacing.PacingEnabled);
    EXPECT_EQ(Pacing.WaitForVBlank, 0);
}

}  // namespace
