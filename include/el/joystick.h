// Joysticks 1 and 2 for scene code: buttons as bits, as four-state records and as hold amounts,
// the stick as directions, keypad digits, raw coordinates and ramped analogue values. Joystick
// numbers are 0 and 1, button numbers 1-based. An absent joystick reads as all 0 (keypad 5) and
// leaves its record as it was.
#pragma once
#include <el/input.h>

#include <cstdint>

constexpr int kJoystickCount = 2;

// Looks for joysticks again, takes their centres and clears both records.
void JoyInit();
// Takes the sticks' present positions as their centres.
void JoyCalibrate();
// Brings the analogue values and hold amounts of both records back to 0.
void JoyReset();
// How fast (units per second) JoyAnalog's values and JoyHold's amounts ramp towards their ends.
void JoySetRates(int joystick, float analogRate, float holdRate);
// The centre JoyCalibrate took.
void JoyGetCentre(int joystick, int32_t* x, int32_t* y);
// 1 while button n (1 to 32) is down.
int JoyButton(int joystick, int n);
// The four-state record (elKeyState) of button n (1 to 4), brought one step on.
KeyState JoyButtonState(int joystick, int n);
// Buttons 1 to 4 as 1 (down) or 0.
void JoyButtons(int joystick, int32_t* b1, int32_t* b2, int32_t* b3, int32_t* b4);
// The four-state records of buttons 1 to 4, brought one step on.
void JoyButtonStates(int joystick, int32_t* s1, int32_t* s2, int32_t* s3, int32_t* s4);
// How long button n (1 to 4) has been held, ramped from 0 to 100.
int JoyHold(int joystick, int n);
// The hold amounts of buttons 1 to 4.
void JoyHolds(int joystick, int32_t* h1, int32_t* h2, int32_t* h3, int32_t* h4);
// The stick as -1, 0 or 1 on each axis.
void JoyDirection(int joystick, int32_t* dx, int32_t* dy);
// The stick as a keypad digit: 5 at rest, 8 up, 6 right, and so on.
int JoyKeypadDirection(int joystick);
// The stick's raw coordinates.
void JoyPosition(int joystick, int32_t* x, int32_t* y);
// The stick's direction ramped to -100 .. 100 on each axis.
void JoyAnalog(int joystick, int32_t* ax, int32_t* ay);
// 1 when the joystick answers a reading now, else 0.
int JoyPresent(int joystick);
// 1 while controllers also press keys (arrows and the like; on unless the player turned it off), else 0.
int GetGamepadKeys();
// Switches the controllers' keys on (1) or off (0), as a scene that reads the sticks itself does;
// keys held by a controller are released.
void SetGamepadKeys(int on);
