// The millisecond clock (32-bit, wraps) and sleeping.
#pragma once
#include <cstdint>

namespace platform {

uint32_t Ticks();
void Sleep(uint32_t milliseconds);
// Timer resolution for sleeps; kept for the whole run by the shell.
void BeginTimerPeriod(uint32_t milliseconds);
void EndTimerPeriod(uint32_t milliseconds);

}  // namespace platform
