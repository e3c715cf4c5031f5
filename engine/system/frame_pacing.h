// The engine's clocks: frame pacing, the measured frame step, wait timers and a busy delay.
#pragma once
#include <el/scenes.h>

#include <cstdint>

constexpr int kDelayTimer = 11;

struct FramePacingState {
    uint32_t FrameRate = 60;
    uint32_t FrameInterval = 1000 / 60;
    uint32_t FrameStart = 0;
    bool PacingEnabled = true;
    int32_t WaitForVBlank = 0;
    float FrameStep = 0.0f;  // seconds covered by the current frame
    uint32_t FrameTimer = 0;
    uint32_t WaitTable[kDelayTimer + 1] = {};  // entries 1..10 wait timers, 11 the delay; 0 unused
    uint32_t FrameCount = 0;                   // frames measured since the start
};

extern FramePacingState Pacing;

// The current frame step in seconds (shorthand for Pacing.FrameStep).
inline float& FrameStep = Pacing.FrameStep;

// Waits out the rest of the frame period (when pacing is on).
bool WaitFrame();
// Measures the frame step since the last call and counts the frame.
void MeasureFrameStep();
void ResetWaitTable();

// Holds the 1 ms timer resolution for the whole run and sets the start frame rate and pacing.
class TimerPeriodGuard {
  public:
    TimerPeriodGuard();
    ~TimerPeriodGuard();
    TimerPeriodGuard(const TimerPeriodGuard&) = delete;
    TimerPeriodGuard& operator=(const TimerPeriodGuard&) = delete;
};
