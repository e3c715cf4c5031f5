// Scripted joysticks of the headless backend: tests plug them in, move them and press buttons.
#include "platform/headless/headless.h"
#include "platform/joystick.h"

namespace platform::headless {

ScriptedJoystick Joysticks[kJoysticks];

}  // namespace platform::headless

namespace platform {

bool ReadJoystick(int joystick, JoystickReading& out) {
    if (joystick < 0 || joystick >= kJoysticks) return false;
    headless::ScriptedJoystick& stick = headless::Joysticks[joystick];
    ++stick.reads;
    if (!stick.present) return false;
    out = stick.reading;
    return true;
}

void RefreshJoysticks() {
    ++headless::Headless.joystickRefreshes;
}

}  // namespace platform
