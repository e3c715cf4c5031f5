// Page 7, joystick: both sticks through the engine's joystick calls, every reading they give as
// text (directions, keypad digit, raw position and button bits, four-state buttons, hold amounts,
// analogue values) and a box per stick with a cross at the raw position and a dot at the analogue
// value. Controllers stop acting as arrow keys while the page is shown.
#include <el/el.h>

#include <cstdio>

#include "demo/demo.h"

namespace {

constexpr int kColumnWidth = 392;
constexpr int kBoxSize = 160, kBoxTop = kBodyTop + 196;
constexpr float kAnalogRate = 200.0f, kHoldRate = 100.0f;  // units per second
constexpr int kButtonBits = 8;                             // raw buttons shown

struct JoystickPageState {
    bool previousGamepadKeys = true;
    bool present[kJoystickCount] = {};
};

JoystickPageState State;

bool Present(int joystick) {
    return JoyPresent(joystick) != 0;
}

// Short enough for the title band: the action, then each stick and the gamepad-keys switch.
void ShowStatus(const char* action) {
    SetStatus("%s: 1 %s, 2 %s, pad keys %s", action, State.present[0] ? "present" : "absent",
              State.present[1] ? "present" : "absent", GetGamepadKeys() ? "on" : "off");
}

// JoyInit clears the records, the rates with them.
void InitSticks() {
    JoyInit();
    for (int j = 0; j < kJoystickCount; ++j) JoySetRates(j, kAnalogRate, kHoldRate);
}

void Enter() {
    State.previousGamepadKeys = GetGamepadKeys() != 0;
    SetGamepadKeys(0);
    InitSticks();
    for (int j = 0; j < kJoystickCount; ++j) State.present[j] = Present(j);
    ShowStatus("read");
}

void HandleKeys() {
    if (KeyPressed(elKey::C)) {
        JoyCalibrate();
        ShowStatus("calibrated");
    } else if (KeyPressed(elKey::I)) {
        InitSticks();
        ShowStatus("re-init");
    } else if (KeyPressed(elKey::R)) {
        JoyReset();
        ShowStatus("reset");
    }
}

// Raw axes 0 to 65535 and analogue values -100 to 100 onto the box.
int RawOnBox(int32_t value) {
    return static_cast<int>(static_cast<int64_t>(value) * (kBoxSize - 1) / 65535);
}
int AnalogOnBox(int32_t value) {
    return (value + 100) * (kBoxSize - 1) / 200;
}

void DrawBox(int joystick, int left, int32_t x, int32_t y, int32_t ax, int32_t ay) {
    const int right = left + kBoxSize, bottom = kBoxTop + kBoxSize;
    if (!State.present[joystick]) {
        DrawRectangle(left, kBoxTop, right, bottom, 0x303030, 0x808080, 1);
        DrawLine(left, kBoxTop, right - 1, bottom - 1, 0x808080, 1);
        DrawLine(right - 1, kBoxTop, left, bottom - 1, 0x808080, 1);
        return;
    }
    DrawRectangle(left, kBoxTop, right, bottom, 0x302010, 0xC0A080, 1);
    int32_t cx = 0, cy = 0;
    JoyGetCentre(joystick, &cx, &cy);
    PutPixel(left + RawOnBox(cx), kBoxTop + RawOnBox(cy), 0x00FFFF);
    const int px = left + RawOnBox(x), py = kBoxTop + RawOnBox(y);
    DrawLine(px - 6, py, px + 7, py, 0x40FF40, 1);
    DrawLine(px, py - 6, px, py + 7, 0x40FF40, 1);
    const int dx = left + AnalogOnBox(ax), dy = kBoxTop + AnalogOnBox(ay);
    DrawRectangle(dx - 2, dy - 2, dx + 3, dy + 3, 0x4060FF, 0x4060FF, 1);
}

void ShowStick(int joystick) {
    const int left = 16 + joystick * (kColumnWidth + 16);
    int line = kBodyTop + 12;
    char text[128];
    auto print = [&](const char* value) {
        DebugText(left, line, value);
        line += 18;
    };

    // Every call reads the device; the state and hold calls also step their records, once a frame.
    int32_t dx = 0, dy = 0, x = 0, y = 0, cx = 0, cy = 0, ax = 0, ay = 0;
    int32_t b[4] = {}, s[4] = {}, h[4] = {};
    JoyDirection(joystick, &dx, &dy);
    const int keypad = JoyKeypadDirection(joystick);
    JoyPosition(joystick, &x, &y);
    JoyGetCentre(joystick, &cx, &cy);
    JoyButtons(joystick, &b[0], &b[1], &b[2], &b[3]);
    JoyButtonStates(joystick, &s[0], &s[1], &s[2], &s[3]);
    JoyHolds(joystick, &h[0], &h[1], &h[2], &h[3]);
    JoyAnalog(joystick, &ax, &ay);
    char bits[kButtonBits + 1] = {};
    for (int n = 1; n <= kButtonBits; ++n) bits[n - 1] = JoyButton(joystick, n) ? '1' : '0';

    std::snprintf(text, sizeof text, "stick %d: %s", joystick + 1,
                  State.present[joystick] ? "present" : "absent");
    print(text);
    std::snprintf(text, sizeof text, "direction %+d %+d, keypad %d", dx, dy, keypad);
    print(text);
    std::snprintf(text, sizeof text, "raw %5d %5d, centre %5d %5d", x, y, cx, cy);
    print(text);
    std::snprintf(text, sizeof text, "buttons 1-%d %s, 1-4 %d %d %d %d", kButtonBits, bits, b[0], b[1], b[2],
                  b[3]);
    print(text);
    std::snprintf(text, sizeof text, "states %d %d %d %d", s[0], s[1], s[2], s[3]);
    print(text);
    std::snprintf(text, sizeof text, "holds %3d %3d %3d %3d", h[0], h[1], h[2], h[3]);
    print(text);
    std::snprintf(text, sizeof text, "analogue %+4d %+4d", ax, ay);
    print(text);
    DrawBox(joystick, left, x, y, ax, ay);
}

void Frame() {
    HandleKeys();
    bool changed = false;
    for (int j = 0; j < kJoystickCount; ++j) {
        const bool present = Present(j);
        changed |= present != State.present[j];
        State.present[j] = present;
    }
    if (changed) ShowStatus("plugged");
    for (int j = 0; j < kJoystickCount; ++j) ShowStick(j);
}

void Leave() {
    SetGamepadKeys(State.previousGamepadKeys ? 1 : 0);
}

const char* const kKeys[] = {
    "C  measure the centres (JoyCalibrate)    I  look for devices again (JoyInit)    R  reset the records",
    "box: cross = raw position, yellow = centre, dot = analogue value; controllers are not arrow keys here",
    nullptr,
};

}  // namespace

extern const DemoPage JoystickPage{"Joystick", kKeys, Enter, Frame, nullptr, Leave};
