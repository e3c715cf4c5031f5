// Game controllers acting as keys: the real backend turns a controller's d-pad and left stick into
// the arrow keys, its face buttons into C, V and B and Start into Esc, as key messages.
#pragma once

namespace platform {

// On by default unless the player's settings turn it off. A program that reads controllers
// through the joystick interface itself switches it off; held keys are released then.
void SetGamepadKeys(bool on);
bool GamepadKeysOn();

}  // namespace platform
