// Joystick polling: centres measured at start, button records and hold amounts, directions
// judged against the centres, analogue values that ramp towards the held side.
#include "engine/system/joystick.h"

#include "engine/draw/refresh.h"
#include "engine/system/frame_pacing.h"
#include "platform/joystick.h"

JoystickState Joy;

namespace {

bool Valid(int joystick) {
    return joystick >= 0 && joystick < kJoystickCount;
}

bool Read(int joystick, platform::JoystickReading& reading) {
    return Valid(joystick) && platform::ReadJoystick(joystick, reading);
}

// -1 low side, +1 high side, 0 centred; the centre halves towards zero.
int Side(uint32_t position, int32_t centre) {
    const int64_t p = position, half = centre / 2;
    if (p <= half) return -1;
    if (p >= half + centre) return 1;
    return 0;
}

void NextState(KeyState& state, bool down) {
    if (down)
        state = state == 0 ? 1 : 3;
    else
        state = (state == 1 || state == 3) ? 2 : 0;
    // Fades, the picture viewer and locked input hide the buttons as they hide keys.
    if (Transition.fadeStep != 0 || Viewer.viewerOn || Input.InputLocked == 1) state = 0;
}

void NextHold(float& hold, float rate, bool down) {
    if (!down) {
        hold = 0.0f;
        return;
    }
    hold += rate * FrameStep;
    if (hold >= 100.0f) hold = 100.0f;
}

void Ramp(float& value, int direction, float rate) {
    const float step = rate * FrameStep;
    if (direction != 0) {
        value += static_cast<float>(direction) * rate * FrameStep;
        if (value >= 100.0f) value = 100.0f;
        if (value <= -100.0f) value = -100.0f;
        return;
    }
    if (value > 0.0f) {
        value -= step;
        if (value < 0.0f) value = 0.0f;
    }
    if (value < 0.0f) {
        value += step;
        if (value > 0.0f) value = 0.0f;
    }
}

void Put(int32_t* out, int32_t value) {
    if (out != nullptr) *out = value;
}

}  // namespace

void JoyInit() {
    platform::RefreshJoysticks();
    JoyCalibrate();
    for (JoystickRecord& record : Joy.records) record = JoystickRecord{};
}

void JoyCalibrate() {
    for (int j = 0; j < kJoystickCount; ++j) {
        platform::JoystickReading reading;
        const bool ok = Read(j, reading);
        Joy.JoyCentreX[j] = ok ? static_cast<int32_t>(reading.x) : 0;
        Joy.JoyCentreY[j] = ok ? static_cast<int32_t>(reading.y) : 0;
    }
}

void JoyReset() {
    for (JoystickRecord& record : Joy.records) {
        record.analogX = record.analogY = 0.0f;
        for (float& hold : record.hold) hold = 0.0f;
    }
}

void JoySetRates(int joystick, float analogRate, float holdRate) {
    if (!Valid(joystick)) return;
    Joy.records[joystick].analogRate = analogRate;
    Joy.records[joystick].holdRate = holdRate;
}

void JoyGetCentre(int joystick, int32_t* x, int32_t* y) {
    Put(x, Valid(joystick) ? Joy.JoyCentreX[joystick] : 0);
    Put(y, Valid(joystick) ? Joy.JoyCentreY[joystick] : 0);
}

int JoyButton(int joystick, int n) {
    platform::JoystickReading reading;
    if (n < 1 || n > 32 || !Read(joystick, reading)) return 0;
    return (reading.buttons >> (n - 1)) & 1u;
}

KeyState JoyButtonState(int joystick, int n) {
    platform::JoystickReading reading;
    if (n < 1 || n > 4 || !Read(joystick, reading)) return 0;
    KeyState& state = Joy.records[joystick].buttonState[n - 1];
    NextState(state, (reading.buttons >> (n - 1)) & 1u);
    return state;
}

void JoyButtons(int joystick, int32_t* b1, int32_t* b2, int32_t* b3, int32_t* b4) {
    platform::JoystickReading reading;
    const uint32_t bits = Read(joystick, reading) ? reading.buttons : 0;
    Put(b1, bits & 1u);
    Put(b2, bits >> 1 & 1u);
    Put(b3, bits >> 2 & 1u);
    Put(b4, bits >> 3 & 1u);
}

void JoyButtonStates(int joystick, int32_t* s1, int32_t* s2, int32_t* s3, int32_t* s4) {
    int32_t* out[4] = {s1, s2, s3, s4};
    platform::JoystickReading reading;
    const bool ok = Read(joystick, reading);
    for (int i = 0; i < 4; ++i) {
        if (ok) NextState(Joy.records[joystick].buttonState[i], (reading.buttons >> i) & 1u);
        Put(out[i], ok ? Joy.records[joystick].buttonState[i] : 0);
    }
}

int JoyHold(int joystick, int n) {
    if (!Valid(joystick) || n < 1 || n > 4) return 0;
    JoystickRecord& record = Joy.records[joystick];
    // A failed reading counts as a released button.
    NextHold(record.hold[n - 1], record.holdRate, JoyButton(joystick, n) != 0);
    return static_cast<int>(record.hold[n - 1]);
}

void JoyHolds(int joystick, int32_t* h1, int32_t* h2, int32_t* h3, int32_t* h4) {
    int32_t* out[4] = {h1, h2, h3, h4};
    platform::JoystickReading reading;
    const bool ok = Read(joystick, reading);
    for (int i = 0; i < 4; ++i) {
        if (!ok) {
            Put(out[i], 0);
            continue;
        }
        JoystickRecord& record = Joy.records[joystick];
        NextHold(record.hold[i], record.holdRate, (reading.buttons >> i) & 1u);
        Put(out[i], static_cast<int32_t>(record.hold[i]));
    }
}

void JoyDirection(int joystick, int32_t* dx, int32_t* dy) {
    platform::JoystickReading reading;
    const bool ok = Read(joystick, reading);
    Put(dx, ok ? Side(reading.x, Joy.JoyCentreX[joystick]) : 0);
    Put(dy, ok ? Side(reading.y, Joy.JoyCentreY[joystick]) : 0);
}

int JoyKeypadDirection(int joystick) {
    platform::JoystickReading reading;
    if (!Read(joystick, reading)) return 5;
    const int dx = Side(reading.x, Joy.JoyCentreX[joystick]);
    const int dy = Side(reading.y, Joy.JoyCentreY[joystick]);
    // Rows from the top of the keypad: up 7 8 9, centred 4 5 6, down 1 2 3.
    return (1 - dy) * 3 + 2 + dx;
}

void JoyPosition(int joystick, int32_t* x, int32_t* y) {
    platform::JoystickReading reading;
    const bool ok = Read(joystick, reading);
    Put(x, ok ? static_cast<int32_t>(reading.x) : 0);
    Put(y, ok ? static_cast<int32_t>(reading.y) : 0);
}

void JoyAnalog(int joystick, int32_t* ax, int32_t* ay) {
    platform::JoystickReading reading;
    if (!Read(joystick, reading)) {
        Put(ax, 0);
        Put(ay, 0);
        return;
    }
    JoystickRecord& record = Joy.records[joystick];
    Ramp(record.analogX, Side(reading.x, Joy.JoyCentreX[joystick]), record.analogRate);
    Ramp(record.analogY, Side(reading.y, Joy.JoyCentreY[joystick]), record.analogRate);
    Put(ax, static_cast<int32_t>(record.analogX));
    Put(ay, static_cast<int32_t>(record.analogY));
}
