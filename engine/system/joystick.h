// Joysticks 1 and 2 for scene code: buttons as bits, as four-state records and as hold amounts,
// the stick as directions, keypad digits, raw coordinates and ramped analogue values.
#pragma once
#include <el/joystick.h>

#include <cstdint>

#include "engine/system/input.h"

struct JoystickRecord {
    float analogX = 0.0f, analogY = 0.0f;  // -100 to 100
    float analogRate = 0.0f;               // units per second
    float hold[4] = {};                    // 0 to 100, buttons 1 to 4
    float holdRate = 0.0f;                 // units per second
    KeyState buttonState[4] = {};
};

struct JoystickState {
    int32_t JoyCentreX[kJoystickCount] = {};
    int32_t JoyCentreY[kJoystickCount] = {};
    JoystickRecord records[kJoystickCount];
};

extern JoystickState Joy;
