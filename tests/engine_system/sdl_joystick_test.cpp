// The SDL backend's joysticks over SDL's virtual devices: scaling, buttons, attach order and
// hot-plugging.
#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/joystick.h"

namespace {

int DeviceIndexOf(SDL_JoystickID id) {
    for (int i = 0; i < SDL_NumJoysticks(); ++i)
        if (SDL_JoystickGetDeviceInstanceID(i) == id) return i;
    return -1;
}

// A virtual stick with two axes and six buttons, and a handle of the test's own to move it.
struct VirtualStick {
    SDL_Joystick* handle = nullptr;
    SDL_JoystickID id = -1;

    bool Attach() {
        int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_ARCADE_STICK, 2, 6, 0);
        if (index < 0) return false;
        handle = SDL_JoystickOpen(index);
        id = handle != nullptr ? SDL_JoystickInstanceID(handle) : -1;
        return handle != nullptr;
    }
    void Detach() {
        int index = DeviceIndexOf(id);
        SDL_JoystickClose(handle);
        handle = nullptr;
        if (index >= 0) SDL_JoystickDetachVirtual(index);
    }
};

TEST(SdlJoystick, VirtualSticksAnswerInAttachOrderAndFollowHotPlugging) {
    platform::RefreshJoysticks();
    if (SDL_WasInit(SDL_INIT_JOYSTICK) == 0) GTEST_SKIP() << "no joystick subsystem: " << SDL_GetError();
    platform::JoystickReading reading;
    EXPECT_FALSE(platform::ReadJoystick(0, reading)) << "nothing attached yet";

    VirtualStick first, second, third;
    ASSERT_TRUE(first.Attach()) << SDL_GetError();
    ASSERT_TRUE(platform::ReadJoystick(0, reading));
    EXPECT_EQ(reading.x, 32768u) << "a resting axis sits in the middle of 0..65535";
    EXPECT_EQ(reading.y, 32768u);
    EXPECT_EQ(reading.buttons, 0u);
    EXPECT_FALSE(platform::ReadJoystick(1, reading));

    SDL_JoystickSetVirtualAxis(first.handle, 0, SDL_JOYSTICK_AXIS_MIN);
    SDL_JoystickSetVirtualAxis(first.handle, 1, SDL_JOYSTICK_AXIS_MAX);
    SDL_JoystickSetVirtualButton(first.handle, 0, SDL_PRESSED);
    SDL_JoystickSetVirtualButton(first.handle, 5, SDL_PRESSED);
    ASSERT_TRUE(platform::ReadJoystick(0, reading));
    EXPECT_EQ(reading.x, 0u);
    EXPECT_EQ(reading.y, 65535u);
    EXPECT_EQ(reading.buttons, 0x21u);

    ASSERT_TRUE(second.Attach());
    ASSERT_TRUE(platform::ReadJoystick(1, reading)) << "a stick attached later answers";
    EXPECT_EQ(reading.buttons, 0u);

    first.Detach();
    EXPECT_FALSE(platform::ReadJoystick(0, reading)) << "a removed stick fails";
    SDL_JoystickSetVirtualButton(second.handle, 2, SDL_PRESSED);
    ASSERT_TRUE(platform::ReadJoystick(1, reading)) << "the second keeps its number";
    EXPECT_EQ(reading.buttons, 0x4u);

    ASSERT_TRUE(third.Attach());
    ASSERT_TRUE(platform::ReadJoystick(0, reading)) << "the free number goes to the next device";
    EXPECT_EQ(reading.buttons, 0u);
    SDL_JoystickSetVirtualButton(third.handle, 1, SDL_PRESSED);
    ASSERT_TRUE(platform::ReadJoystick(0, reading));
    EXPECT_EQ(reading.buttons, 0x2u);
    EXPECT_FALSE(platform::ReadJoystick(2, reading));

    second.Detach();
    third.Detach();
    EXPECT_FALSE(platform::ReadJoystick(0, reading));
    EXPECT_FALSE(platform::ReadJoystick(1, reading));
}

TEST(SdlJoystick, AGameControllerAnswersWithItsFaceButtonsFirstAndItsPadAsTheStick) {
    platform::RefreshJoysticks();
    if (SDL_WasInit(SDL_INIT_JOYSTICK) == 0) GTEST_SKIP() << "no joystick subsystem: " << SDL_GetError();
    // SDL's virtual controller maps its buttons and axes in the standard order.
    int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                          SDL_CONTROLLER_BUTTON_MAX, 0);
    ASSERT_GE(index, 0) << SDL_GetError();
    ASSERT_TRUE(SDL_IsGameController(index));
    SDL_Joystick* handle = SDL_JoystickOpen(index);
    ASSERT_NE(handle, nullptr);
    const SDL_JoystickID id = SDL_JoystickInstanceID(handle);
    platform::JoystickReading reading;
    ASSERT_TRUE(platform::ReadJoystick(0, reading));
    EXPECT_EQ(reading.x, 32768u);
    SDL_JoystickSetVirtualButton(handle, SDL_CONTROLLER_BUTTON_A, SDL_PRESSED);
    SDL_JoystickSetVirtualButton(handle, SDL_CONTROLLER_BUTTON_Y, SDL_PRESSED);
    SDL_JoystickSetVirtualButton(handle, SDL_CONTROLLER_BUTTON_START, SDL_PRESSED);
    SDL_JoystickSetVirtualAxis(handle, SDL_CONTROLLER_AXIS_LEFTX, 16384);
    SDL_JoystickSetVirtualAxis(handle, SDL_CONTROLLER_AXIS_LEFTY, -16384);
    ASSERT_TRUE(platform::ReadJoystick(0, reading));
    EXPECT_EQ(reading.buttons, 1u | 8u | 0x80u) << "A, Y as buttons 1 and 4, start as button 8";
    EXPECT_EQ(reading.x, 16384u + 32768u);
    EXPECT_EQ(reading.y, 32768u - 16384u);
    SDL_JoystickSetVirtualButton(handle, SDL_CONTROLLER_BUTTON_DPAD_LEFT, SDL_PRESSED);
    SDL_JoystickSetVirtualButton(handle, SDL_CONTROLLER_BUTTON_DPAD_DOWN, SDL_PRESSED);
    ASSERT_TRUE(platform::ReadJoystick(0, reading));
    EXPECT_EQ(reading.x, 0u) << "the pad pushes the stick to its end";
    EXPECT_EQ(reading.y, 65535u);
    SDL_JoystickClose(handle);
    SDL_JoystickDetachVirtual(DeviceIndexOf(id));
    EXPECT_FALSE(platform::ReadJoystick(0, reading));
}

}  // namespace
