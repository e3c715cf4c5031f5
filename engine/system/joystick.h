// Joysticks 1 and 2 for scene code: buttons as bits, as four-state records and as hold amounts,
// the stick as directions, keypad digits, raw coordinates and ramped analogue values.
#pragma once
#include <cstdint>

#include "engine/system/input.h"

constexpr int kJoystickCount = 2;

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

// Joystick numbers are 0 and 1, button numbers 1-based. An absent joystick reads as all 0
// (keypad 5) and leaves its record as it was.
void JoyInit();
void JoyCalibrate();
void JoyReset();
void JoySetRates(int joystick, float analogRate, float holdRate);
void JoyGetCentre(int joystick, int32_t* x, int32_t* y);
int JoyButton(int joystick, int n);
KeyState JoyButtonState(int joystick, int n);
void JoyButtons(int joystick, int32_t* b1, int32_t* b2, int32_t* b3, int32_t* b4);
void JoyButtonStates(int joystick, int32_t* s1, int32_t* s2, int32_t* s3, int32_t* s4);
int JoyHold(int joystick, int n);
void JoyHolds(int joystick, int32_t* h1, int32_t* h2, int32_t* h3, int32_t* h4);
void JoyDirection(int joystick, int32_t* dx, int32_t* dy);
int JoyKeypadDirection(int joystick);
void JoyPosition(int joystick, int32_t* x, int32_t* y);
void JoyAnalog(int joystick, int32_t* ax, int32_t* ay);
