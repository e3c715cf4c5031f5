// Frame pacing, the measured frame step, the numbered wait timers and the busy delay.
#include "engine/system/frame_pacing.h"

#include "engine/system/error_report.h"
#include "platform/clock.h"
#include "platform/pause.h"

FramePacingState Pacing;

bool SetFrameRate(uint32_t rate) {
    if (rate == 0) return false;  // no period to wait out: the rate stays as it was
    Pacing.FrameRate = rate;
    Pacing.FrameInterval = 1000u / rate;
    Pacing.FrameStart = platform::Ticks();
    return true;
}

bool WaitFrame() {
    if (!Pacing.PacingEnabled) return true;
    uint32_t now = platform::Ticks();
    uint32_t elapsed = now - Pacing.FrameStart;
    // Sleep until about 3 ms before the end of the period, then watch the clock for the rest,
    // pausing until it reaches the end of the period rather than spinning.
    int32_t sleepFor = static_cast<int32_t>(Pacing.FrameInterval - elapsed - 3u);
    platform::Sleep(sleepFor > 0 ? static_cast<uint32_t>(sleepFor) : 0u);
    while (elapsed < Pacing.FrameInterval) {
        platform::PauseUntil(Pacing.FrameStart + Pacing.FrameInterval);
        now = platform::Ticks();
        elapsed = now - Pacing.FrameStart;
    }
    Pacing.FrameStart = now;
    return true;
}

void SetFramePacing(bool on) {
    Pacing.PacingEnabled = on;
    Pacing.WaitForVBlank = on ? 0 : 1;
}

void ResetFrameTimer() {
    Pacing.FrameStep = 0.0f;
    Pacing.FrameTimer = platform::Ticks();
}

void MeasureFrameStep() {
    uint32_t now = platform::Ticks();
    Pacing.FrameStep = static_cast<float>(static_cast<double>(now - Pacing.FrameTimer) / 1000.0);
    Pacing.FrameTimer = platform::Ticks();
    ++Pacing.FrameCount;
}

int IsWaitOver(int timer) {
    // Timer numbers outside the table answer "over" rather than read past it.
    if (timer < 1 || timer > kWaitTimerCount) return 1;
    const uint32_t now = platform::Ticks(), deadline = Pacing.WaitTable[timer];
    // The reset value is a moment of the clock, not a span: it is reached once, about 11.6 days
    // after system start, and stays reached. Real deadlines wrap with the clock.
    if (deadline == kWaitNever) return now >= deadline ? 1 : 0;
    return static_cast<int32_t>(now - deadline) >= 0 ? 1 : 0;
}

void Delay(uint32_t milliseconds) {
    uint32_t last = platform::Ticks();
    Pacing.WaitTable[kDelayTimer] = last + milliseconds;
    // Wait until the clock has moved on by more than the delay, counted in steps so that neither the
    // wrap nor a deadline at the clock's last value can hold it.
    uint64_t elapsed = 0;
    while (elapsed <= milliseconds) {
        const uint32_t now = platform::Ticks();
        elapsed += now - last;
        last = now;
    }
    ResetFrameTimer();
}

void ResetWaitTable() {
    for (uint32_t& deadline : Pacing.WaitTable) deadline = kWaitNever;
}

namespace elSystem {

int SetWait(int timer, uint32_t milliseconds) {
    if (timer < 1 || timer > kWaitTimerCount)
        return ReportError("elSystem::SetWait", "ウェイトNoが範囲外です");
    Pacing.WaitTable[timer] = platform::Ticks() + milliseconds;
    return 1;
}

int InitWait(int timer) {
    if (timer < 1 || timer > kWaitTimerCount)
        return ReportError("elSystem::InitWait", "ウェイトNoが範囲外です");
    Pacing.WaitTable[timer] = kWaitNever;
    return 1;
}

}  // namespace elSystem

TimerPeriodGuard::TimerPeriodGuard() {
    platform::BeginTimerPeriod(1);
    SetFrameRate(60);
    SetFramePacing(true);
}

TimerPeriodGuard::~TimerPeriodGuard() {
    platform::EndTimerPeriod(1);
}
