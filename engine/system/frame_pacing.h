// The engine's clocks: frame pacing, the measured frame step, wait timers and a busy delay.
#pragma once
#include <cstdint>

constexpr int kWaitTimerCount = 10;
constexpr int kDelayTimer = 11;
constexpr uint32_t kWaitNever = 999999999u;

struct FramePacingState {
    uint32_t FrameRate = 60;
    uint32_t FrameInterval = 1000 / 60;
    uint32_t FrameStart = 0;
    bool PacingEnabled = true;
    int32_t WaitForVBlank = 0;
    float FrameStep = 0.0f;  // seconds covered by the current frame
    uint32_t FrameTimer = 0;
    uint32_t WaitTable[kDelayTimer + 1] = {};  // entries 1..10 wait timers, 11 the delay; 0 unused
};

extern FramePacingState Pacing;

// The current frame step in seconds (shorthand for Pacing.FrameStep).
inline float& FrameStep = Pacing.FrameStep;

bool SetFrameRate(uint32_t rate);
bool WaitFrame();
void SetFramePacing(bool on);
void ResetFrameTimer();
void MeasureFrameStep();
int IsWaitOver(int timer);
void Delay(uint32_t milliseconds);
void ResetWaitTable();

namespace elSystem {
int SetWait(int timer, uint32_t milliseconds);
int InitWait(int timer);
}  // namespace elSystem

// Holds the 1 ms timer resolution for the whole run and sets the start frame rate and pacing.
class TimerPeriodGuard {
  public:
    TimerPeriodGuard();
    ~TimerPeriodGuard();
    TimerPeriodGuard(const TimerPeriodGuard&) = delete;
    TimerPeriodGuard& operator=(const TimerPeriodGuard&) = delete;
};
