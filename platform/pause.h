// A pause that ends exactly when the millisecond clock reaches a given value, for the last
// milliseconds of a wait that must not end late.
#pragma once
#include <cstdint>

namespace platform {

// Gives the processor away until Ticks reaches `ticks` (compared with wrap-around), and returns at
// once when it already has. Never longer than kLongestPause ms, so that a caller who watches the
// clock itself stays in charge. The headless clock does not move.
constexpr uint32_t kLongestPause = 1000;
void PauseUntil(uint32_t ticks);

}  // namespace platform
