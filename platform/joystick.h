// Joysticks 1 and 2 as the engine polls them: a stick position on two axes and a set of buttons.
// Window thread only.
#pragma once
#include <cstdint>

namespace platform {

constexpr int kJoysticks = 2;

// One reading of a joystick. The axes run from 0 (left, up) to 65535 (right, down) with the
// resting position near 32767; bit n of buttons is button n + 1 held down.
struct JoystickReading {
    uint32_t x = 0, y = 0;
    uint32_t buttons = 0;
};

// Joystick 0 or 1; false (and out untouched) when that joystick is not there or does not answer.
// A device attached while the program runs answers from its next reading on; a removed one fails.
bool ReadJoystick(int joystick, JoystickReading& out);

// Asks the system to look at the attached devices again (start-up calls it before calibration).
void RefreshJoysticks();

}  // namespace platform
