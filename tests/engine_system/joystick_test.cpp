// Joystick polling over scripted joysticks: centres, directions, button records, holds, ramps.
#include "engine/system/joystick.h"

#include <gtest/gtest.h>

#include "engine/draw/refresh.h"
#include "engine/system/frame_pacing.h"
#include "engine/system/input.h"
#include "platform/headless/headless.h"

namespace {

using platform::headless::Joysticks;

class JoystickTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::headless::Reset();
        Joy = JoystickState{};
        Transition = TransitionState{};
        Viewer = ViewerState{};
        Input = InputState{};
        FrameStep = 1.0f / 60.0f;
    }
    void Plug(int joystick, uint32_t x = 32767, uint32_t y = 32767) {
        Joysticks[joystick].present = true;
        Joysticks[joystick].reading = {x, y, 0};
    }
    void Stick(int joystick, uint32_t x, uint32_t y) {
        Joysticks[joystick].reading.x = x;
        Joysticks[joystick].reading.y = y;
    }
    void Buttons(int joystick, uint32_t bits) { Joysticks[joystick].reading.buttons = bits; }
};

TEST_F(JoystickTest, InitMeasuresTheCentresOfPresentSticksAndClearsTheRecords) {
    Plug(0, 32000, 33000);
    Joy.records[1].analogX = 50.0f;
    Joy.records[1].buttonState[2] = 3;
    Joy.records[0].holdRate = 7.0f;
    JoyInit();
    EXPECT_EQ(platform::headless::Headless.joystickRefreshes, 1);
    int32_t x = -1, y = -1;
    JoyGetCentre(0, &x, &y);
    EXPECT_EQ(x, 32000);
    EXPECT_EQ(y, 33000);
    JoyGetCentre(1, &x, &y);
    EXPECT_EQ(x, 0) << "an absent stick has centre 0";
    EXPECT_EQ(y, 0);
    EXPECT_EQ(Joy.records[1].analogX, 0.0f);
    EXPECT_EQ(Joy.records[1].buttonState[2], 0);
    EXPECT_EQ(Joy.records[0].holdRate, 0.0f);
}

TEST_F(JoystickTest, DirectionThresholdsAroundTheCentreAndTheKeypadDigits) {
    Plug(0);
    JoyInit();
    struct Case {
        uint32_t position;
        int side;
    } cases[] = {{0, -1}, {16383, -1}, {16384, 0}, {32767, 0}, {49149, 0}, {49150, 1}, {65535, 1}};
    for (const Case& c : cases) {
        Stick(0, c.position, 32767);
        int32_t dx = 9, dy = 9;
        JoyDirection(0, &dx, &dy);
        EXPECT_EQ(dx, c.side) << "x " << c.position;
        EXPECT_EQ(dy, 0);
        Stick(0, 32767, c.position);
        JoyDirection(0, &dx, &dy);
        EXPECT_EQ(dx, 0);
        EXPECT_EQ(dy, c.side) << "y " << c.position;
    }
    const int keypad[3][3] = {{7, 8, 9}, {4, 5, 6}, {1, 2, 3}};
    const uint32_t positions[3] = {0, 32767, 65535};
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            Stick(0, positions[column], positions[row]);
            EXPECT_EQ(JoyKeypadDirection(0), keypad[row][column]);
        }
    }
    int32_t x = 0, y = 0;
    Stick(0, 1234, 54321);
    JoyPosition(0, &x, &y);
    EXPECT_EQ(x, 1234);
    EXPECT_EQ(y, 54321);
}

TEST_F(JoystickTest, AnAbsentStickReadsZeroAndKeypadFiveAndLeavesItsRecord) {
    JoyInit();
    Joy.records[1].buttonState[0] = 3;
    Joy.records[1].analogX = 40.0f;
    Joy.records[1].hold[1] = 30.0f;
    Joy.records[1].hold[2] = 30.0f;
    EXPECT_EQ(JoyKeypadDirection(1), 5);
    int32_t a = 9, b = 9, c = 9, d = 9;
    JoyDirection(1, &a, &b);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(b, 0);
    JoyAnalog(1, &a, &b);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(Joy.records[1].analogX, 40.0f);
    JoyButtonStates(1, &a, &b, &c, &d);
    EXPECT_EQ(a, 0);
    EXPECT_EQ(Joy.records[1].buttonState[0], 3);
    EXPECT_EQ(JoyButtonState(1, 1), 0);
    EXPECT_EQ(Joy.records[1].buttonState[0], 3);
    JoyHolds(1, &a, &b, &c, &d);
    EXPECT_EQ(b, 0);
    EXPECT_EQ(Joy.records[1].hold[1], 30.0f) << "JoyHolds leaves the amounts";
    EXPECT_EQ(JoyHold(1, 3), 0);
    EXPECT_EQ(Joy.records[1].hold[2], 0.0f) << "JoyHold counts a failed reading as a release";
    EXPECT_EQ(JoyButton(5, 1), 0) << "only joysticks 0 and 1 exist";
    EXPECT_EQ(JoyKeypadDirection(-1), 5);
}

TEST_F(JoystickTest, ButtonsAsBitsAndFourStateRecordsSilencedDuringAFade) {
    Plug(0);
    JoyInit();
    Buttons(0, 0x80000005u);
    EXPECT_EQ(JoyButton(0, 1), 1);
    EXPECT_EQ(JoyButton(0, 2), 0);
    EXPECT_EQ(JoyButton(0, 3), 1);
    EXPECT_EQ(JoyButton(0, 32), 1);
    EXPECT_EQ(JoyButton(0, 33), 0);
    int32_t b[4] = {9, 9, 9, 9};
    JoyButtons(0, &b[0], &b[1], &b[2], &b[3]);
    EXPECT_EQ((std::vector<int32_t>{b[0], b[1], b[2], b[3]}), (std::vector<int32_t>{1, 0, 1, 0}));

    Buttons(0, 1);
    std::vector<int32_t> single;
    for (int i = 0; i < 3; ++i) single.push_back(JoyButtonState(0, 1));
    Buttons(0, 0);
    for (int i = 0; i < 2; ++i) single.push_back(JoyButtonState(0, 1));
    EXPECT_EQ(single, (std::vector<int32_t>{1, 3, 3, 2, 0}));

    // Buttons 2 and 4 through the four-at-once poll: button 4 goes down a poll later.
    std::vector<int32_t> two, four;
    const uint32_t script[] = {2, 10, 10, 8, 0, 0};
    for (uint32_t bits : script) {
        Buttons(0, bits);
        JoyButtonStates(0, &b[0], &b[1], &b[2], &b[3]);
        two.push_back(b[1]);
        four.push_back(b[3]);
    }
    EXPECT_EQ(two, (std::vector<int32_t>{1, 3, 3, 2, 0, 0}));
    EXPECT_EQ(four, (std::vector<int32_t>{0, 1, 3, 3, 2, 0}));

    Buttons(0, 1);
    Transition.fadeStep = 4;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(JoyButtonState(0, 1), 0) << "during a fade";
    Transition.fadeStep = 0;
    EXPECT_EQ(JoyButtonState(0, 1), 1) << "a button still held reads as a new press";
    Input.InputLocked = 1;
    EXPECT_EQ(JoyButtonState(0, 1), 0);
    Input.InputLocked = 0;
    Viewer.viewerOn = true;
    JoyButtonStates(0, &b[0], &b[1], &b[2], &b[3]);
    EXPECT_EQ(b[0], 0);
}

TEST_F(JoystickTest, HoldAmountsGrowToOneHundredAndDropOnRelease) {
    Plug(0);
    JoyInit();
    JoySetRates(0, 0.0f, 50.0f);
    Buttons(0, 1);
    float expected = 0.0f;
    int polls = 0;
    while (JoyHold(0, 1) < 100 && polls < 1000) {
        ++polls;
        expected += 50.0f * FrameStep;
        EXPECT_EQ(Joy.records[0].hold[0], expected >= 100.0f ? 100.0f : expected);
    }
    EXPECT_EQ(polls + 1, 120) << "the 120th poll reaches 100";
    EXPECT_EQ(JoyHold(0, 1), 100) << "and it stays there";
    Buttons(0, 0);
    EXPECT_EQ(JoyHold(0, 1), 0);

    // The four-at-once form, from one reading per poll.
    int32_t h[4] = {};
    Buttons(0, 4);
    for (int i = 0; i < 119; ++i) JoyHolds(0, &h[0], &h[1], &h[2], &h[3]);
    EXPECT_LT(h[2], 100);
    JoyHolds(0, &h[0], &h[1], &h[2], &h[3]);
    EXPECT_EQ(h[2], 100);
    EXPECT_EQ(h[0], 0);
    JoyReset();
    EXPECT_EQ(Joy.records[0].hold[2], 0.0f);
    EXPECT_EQ(Joy.records[0].holdRate, 50.0f) << "reset keeps the rates";
}

TEST_F(JoystickTest, AnalogueValuesRampToTheHeldSideAndBack) {
    Plug(0);
    JoyInit();
    int32_t ax = 0, ay = 0;
    Stick(0, 65535, 0);
    JoyAnalog(0, &ax, &ay);
    EXPECT_EQ(ax, 0) << "nothing ramps before the rates are set";
    JoySetRates(0, 200.0f, 0.0f);
    Joy.records[0].analogX = Joy.records[0].analogY = 0.0f;
    std::vector<int32_t> xs;
    for (int i = 0; i < 30; ++i) {
        JoyAnalog(0, &ax, &ay);
        xs.push_back(ax);
    }
    EXPECT_EQ(ax, 100);
    EXPECT_EQ(ay, -100);
    EXPECT_LT(xs[28], 100) << "30 polls, not fewer";
    Stick(0, 32767, 32767);
    for (int i = 0; i < 29; ++i) JoyAnalog(0, &ax, &ay);
    EXPECT_GT(ax, 0);
    EXPECT_LT(ay, 0);
    JoyAnalog(0, &ax, &ay);
    EXPECT_EQ(ax, 0);
    EXPECT_EQ(ay, 0);
    EXPECT_EQ(Joy.records[0].analogX, 0.0f) << "centred values stop at 0, not past it";
}

TEST_F(JoystickTest, AStickPluggedInAfterStartHasCentreZero) {
    JoyInit();
    Plug(1, 32767, 0);
    int32_t dx = 9, dy = 9;
    JoyDirection(1, &dx, &dy);
    EXPECT_EQ(dx, 1) << "with centre 0 every position is the high side";
    EXPECT_EQ(dy, -1) << "but 0 itself is the low side";
    Joysticks[1].present = false;
    EXPECT_EQ(JoyKeypadDirection(1), 5);
}

}  // namespace
