// The SDL backend's joysticks over SDL's virtual devices: scaling, buttons, attach order and
// hot-plugging; the scripted stick of MILKANET_VIRTUAL_JOYSTICK and its timelines.
#include <SDL.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/gamepad_keys.h"
#include "platform/joystick.h"
#include "platform/sdl/sdl_gamepad_keys.h"
#include "platform/sdl/sdl_virtual_joystick.h"
#include "platform/soft/message_queue.h"

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

// Timelines: what a good one holds, and the line and reason of each kind of bad line.
TEST(SdlVirtualJoystick, ATimelineParsesItsStepsAndNamesTheLineItCannotUse) {
    using platform::sdl::VirtualJoystickStep;
    platform::sdl::VirtualJoystickTimeline timeline;
    int line = -1;
    std::string reason;
    ASSERT_TRUE(platform::sdl::ParseVirtualJoystickTimeline(
        "# warm up\r\n\n  gamepad\n0 axis 1 -32768 # up\n\t250\tbutton 14 1\r\n250 detach", timeline, line,
        reason))
        << line << ": " << reason;
    EXPECT_TRUE(timeline.gamepad);
    ASSERT_EQ(timeline.steps.size(), 3u);
    EXPECT_EQ(timeline.steps[0].kind, VirtualJoystickStep::kAxis);
    EXPECT_EQ(timeline.steps[0].at, 0u);
    EXPECT_EQ(timeline.steps[0].index, 1);
    EXPECT_EQ(timeline.steps[0].value, -32768);
    EXPECT_EQ(timeline.steps[1].kind, VirtualJoystickStep::kButton);
    EXPECT_EQ(timeline.steps[1].at, 250u);
    EXPECT_EQ(timeline.steps[1].index, 14) << "a controller has SDL's standard buttons";
    EXPECT_EQ(timeline.steps[1].value, 1);
    EXPECT_EQ(timeline.steps[2].kind, VirtualJoystickStep::kDetach);

    ASSERT_TRUE(platform::sdl::ParseVirtualJoystickTimeline("", timeline, line, reason));
    EXPECT_FALSE(timeline.gamepad);
    EXPECT_TRUE(timeline.steps.empty());

    struct Bad {
        const char* text;
        int line;
        const char* reasonHas;
    };
    const Bad bad[] = {
        {"10 axis 0 5\nfast axis 0 5", 2, "'fast'"},
        {"10 axis 2 5", 1, "axis number '2'"},
        {"10 axis -1 5", 1, "axis number '-1'"},
        {"10 axis 0 32768", 1, "'32768'"},
        {"10 axis 0 -32769", 1, "'-32769'"},
        {"10 axis 0 1x", 1, "'1x'"},
        {"10 axis 0", 1, "axis takes"},
        {"10 button 8 1", 1, "button number '8' is not 0 to 7"},
        {"10 button 0 2", 1, "button state '2'"},
        {"10 button 0 1 1", 1, "button takes"},
        {"10 wiggle 0 1", 1, "unknown step 'wiggle'"},
        {"10", 1, "without a step"},
        {"-5 axis 0 0", 1, "'-5'"},
        {"\n# fine\n200 axis 0 0\n100 axis 0 0", 4, "time 100 comes before the previous step's 200"},
        {"0 axis 0 0\ngamepad", 2, "before the first step"},
        {"gamepad\ngamepad", 2, "once"},
        {"gamepad now", 1, "alone"},
        {"10 detach\n20 button 0 1", 2, "follow detach"},
        {"10 detach 1", 1, "nothing after"},
    };
    for (const Bad& b : bad) {
        SCOPED_TRACE(b.text);
        line = -1;
        reason.clear();
        EXPECT_FALSE(platform::sdl::ParseVirtualJoystickTimeline(b.text, timeline, line, reason));
        EXPECT_EQ(line, b.line);
        EXPECT_NE(reason.find(b.reasonHas), std::string::npos) << reason;
    }
}

uint64_t fakeNow = 0;
uint64_t FakeClock() {
    return fakeNow;
}

// Each test starts the subsystem, writes its timeline beside the others and leaves no device.
class SdlVirtualJoystickTest : public ::testing::Test {
  protected:
    void SetUp() override {
        platform::RefreshJoysticks();
        if (SDL_WasInit(SDL_INIT_JOYSTICK) == 0) GTEST_SKIP() << "no joystick subsystem: " << SDL_GetError();
        ASSERT_EQ(SDL_NumJoysticks(), 0) << "an earlier test left a device behind";
        fakeNow = 5000;
        platform::sdl::SetVirtualJoystickClock(FakeClock);
    }
    void TearDown() override {
        platform::sdl::StopVirtualJoystick();
        platform::sdl::SetVirtualJoystickClock(nullptr);
        unsetenv("MILKANET_VIRTUAL_JOYSTICK");
        for (const std::string& path : written) std::remove(path.c_str());
    }
    // A timeline file of this test run alone (another run may share the temporary folder).
    std::string Write(const char* name, const char* text) {
        std::string path = ::testing::TempDir() + "el_joystick_" + std::to_string(::getpid()) + "_" + name;
        std::ofstream(path, std::ios::binary) << text;
        written.push_back(path);
        return path;
    }
    std::vector<std::string> written;
    bool Read(platform::JoystickReading& reading) {
        reading = platform::JoystickReading{};
        return platform::ReadJoystick(0, reading);
    }
};

TEST_F(SdlVirtualJoystickTest, APlainStickMovesAndPressesWhenItsStepsAreDueAndThenGoes) {
    const std::string path = Write("plain.txt",
                                   "# left from the start, then down with button 6, back to rest, gone\n"
                                   "0 axis 0 -32768\n"
                                   "100 axis 1 32767\n"
                                   "100 button 5 1\n"
                                   "250 button 5 0\n"
                                   "250 axis 0 0\n"
                                   "400 detach\n");
    ASSERT_TRUE(platform::sdl::AttachVirtualJoystick(path.c_str()));
    ASSERT_EQ(SDL_NumJoysticks(), 1);
    EXPECT_FALSE(SDL_IsGameController(0)) << "the plain stick is read by its own axes and buttons";
    platform::JoystickReading reading;
    ASSERT_TRUE(Read(reading));
    EXPECT_EQ(reading.x, 0u);
    EXPECT_EQ(reading.y, 32768u);
    EXPECT_EQ(reading.buttons, 0u);
    EXPECT_FALSE(platform::ReadJoystick(1, reading)) << "one stick only";

    fakeNow = 5099;
    ASSERT_TRUE(Read(reading));
    EXPECT_EQ(reading.y, 32768u) << "not due for another millisecond";
    EXPECT_EQ(reading.buttons, 0u);
    fakeNow = 5100;
    ASSERT_TRUE(Read(reading));
    EXPECT_EQ(reading.x, 0u);
    EXPECT_EQ(reading.y, 65535u);
    EXPECT_EQ(reading.buttons, 0x20u);

    fakeNow = 5390;  // both steps at 250 have come due together
    ASSERT_TRUE(Read(reading));
    EXPECT_EQ(reading.x, 32768u);
    EXPECT_EQ(reading.y, 65535u);
    EXPECT_EQ(reading.buttons, 0u);

    fakeNow = 5400;
    EXPECT_FALSE(Read(reading)) << "detached";
    EXPECT_EQ(SDL_NumJoysticks(), 0);
    fakeNow = 9000;
    EXPECT_FALSE(Read(reading));
}

TEST_F(SdlVirtualJoystickTest, AGamepadTimelineAttachesAControllerReadInItsStandardLayout) {
    const std::string path = Write("gamepad.txt",
                                   "gamepad\n"
                                   "10 button 0 1\n"     // A
                                   "10 button 6 1\n"     // start
                                   "20 axis 0 16384\n"   // left stick right
                                   "30 button 13 1\n");  // d-pad left
    ASSERT_TRUE(platform::sdl::AttachVirtualJoystick(path.c_str()));
    ASSERT_EQ(SDL_NumJoysticks(), 1);
    EXPECT_TRUE(SDL_IsGameController(0));
    platform::JoystickReading reading;
    fakeNow += 20;
    ASSERT_TRUE(Read(reading));
    EXPECT_EQ(reading.buttons, 1u | 0x80u) << "A as button 1, start as button 8";
    EXPECT_EQ(reading.x, 32768u + 16384u);
    fakeNow += 10;
    ASSERT_TRUE(Read(reading));
    EXPECT_EQ(reading.x, 0u) << "the pad pushes the stick to its end";
}

// Nothing reads the sticks: SDL's event pump alone plays the steps, the removal included.
TEST_F(SdlVirtualJoystickTest, TheEventPumpPlaysTheStepsWithoutAReading) {
    const std::string path = Write("pump.txt", "50 axis 1 -20000\n50 button 2 1\n80 detach\n");
    ASSERT_TRUE(platform::sdl::AttachVirtualJoystick(path.c_str()));
    SDL_Joystick* watcher = SDL_JoystickOpen(0);
    ASSERT_NE(watcher, nullptr);
    SDL_PumpEvents();
    EXPECT_EQ(SDL_JoystickGetAxis(watcher, 1), 0);
    fakeNow += 50;
    SDL_PumpEvents();
    EXPECT_EQ(SDL_JoystickGetAxis(watcher, 1), -20000);
    EXPECT_EQ(SDL_JoystickGetButton(watcher, 2), 1);

    fakeNow += 30;
    bool attached = true;
    for (int tries = 0; tries < 4000 && attached; ++tries) {
        SDL_PumpEvents();
        attached = SDL_JoystickGetAttached(watcher) == SDL_TRUE;
        if (attached) SDL_Delay(5);
    }
    EXPECT_FALSE(attached) << "the removal happens soon after the pump found it due";
    SDL_JoystickClose(watcher);
    platform::JoystickReading reading;
    EXPECT_FALSE(Read(reading));
    EXPECT_EQ(SDL_NumJoysticks(), 0);
}

// The controller keys see the timeline through the event pump alone, its removal included
// (the keys are started first, as the first presented frame starts them).
TEST_F(SdlVirtualJoystickTest, TheControllerKeysFollowAGamepadTimelineThroughTheEventPump) {
    using Keys = std::vector<std::pair<uint32_t, int>>;
    platform::sdl::StartGamepadKeys();
    ASSERT_TRUE(platform::GamepadKeysOn());
    platform::queue::Reset();
    auto keyMessages = [] {
        SDL_Event event;
        while (SDL_PollEvent(&event)) platform::sdl::TranslateGamepadEvent(event);
        Keys keys;
        platform::Message message;
        while (platform::queue::Take(message))
            if (message.message == platform::WM_KEYDOWN || message.message == platform::WM_KEYUP)
                keys.emplace_back(message.message, static_cast<int>(message.wParam));
        return keys;
    };
    const std::string path =
        Write("keys.txt", "gamepad\n100 button 0 1\n200 axis 0 -30000\n300 button 0 0\n400 detach\n");
    ASSERT_TRUE(platform::sdl::AttachVirtualJoystick(path.c_str()));
    EXPECT_EQ(keyMessages(), Keys{}) << "the controller is taken on and rests";
    fakeNow += 100;
    EXPECT_EQ(keyMessages(), (Keys{{platform::WM_KEYDOWN, 'C'}}));
    fakeNow += 100;
    EXPECT_EQ(keyMessages(), (Keys{{platform::WM_KEYDOWN, platform::VK_LEFT}}));
    fakeNow += 100;
    EXPECT_EQ(keyMessages(), (Keys{{platform::WM_KEYUP, 'C'}}));
    fakeNow += 100;
    Keys released;
    for (int tries = 0; tries < 4000 && released.empty(); ++tries) {
        released = keyMessages();
        if (released.empty()) SDL_Delay(5);
    }
    EXPECT_EQ(released, (Keys{{platform::WM_KEYUP, platform::VK_LEFT}}))
        << "unplugged, the held arrow goes up";
    platform::queue::Reset();
}

TEST_F(SdlVirtualJoystickTest, ABadOrMissingTimelineIsReportedOnOneLineAndAttachesNothing) {
    const std::string path = Write("bad.txt", "# fine so far\n0 axis 0 100\n100 axis 7 0\n200 button 0 1\n");
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(platform::sdl::AttachVirtualJoystick(path.c_str()));
    std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, "virtual joystick: " + path + ":3: axis number '7' is not 0 to 1\n");
    EXPECT_EQ(SDL_NumJoysticks(), 0);
    platform::JoystickReading reading;
    EXPECT_FALSE(Read(reading));

    const std::string missing = ::testing::TempDir() + "no-such-timeline.txt";
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(platform::sdl::AttachVirtualJoystick(missing.c_str()));
    said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(said, "virtual joystick: " + missing + ": cannot be read (No such file or directory)\n");
    EXPECT_EQ(SDL_NumJoysticks(), 0);

    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(platform::sdl::AttachVirtualJoystick(::testing::TempDir().c_str()));
    said = ::testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find(": cannot be read (a folder, not a file)"), std::string::npos) << said;
    EXPECT_EQ(SDL_NumJoysticks(), 0);

    // Neither waited on nor read without end: a FIFO nobody writes into, and a device.
    const std::string fifo = ::testing::TempDir() + "timeline-fifo-" + std::to_string(::getpid());
    ::unlink(fifo.c_str());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    for (const std::string& device : {fifo, std::string("/dev/zero")}) {
        ::testing::internal::CaptureStderr();
        EXPECT_FALSE(platform::sdl::AttachVirtualJoystick(device.c_str()));
        said = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(said, "virtual joystick: " + device + ": cannot be read (not a regular file)\n");
    }
    ::unlink(fifo.c_str());
    const std::string huge = Write("huge.txt", "0 button 0 1\n");
    std::filesystem::resize_file(huge, (16u << 20) + 1);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(platform::sdl::AttachVirtualJoystick(huge.c_str()));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "virtual joystick: " + huge + ": cannot be read (larger than 16 MiB)\n");
    EXPECT_EQ(SDL_NumJoysticks(), 0);
}

TEST_F(SdlVirtualJoystickTest, TheVariableNamesTheTimelineAndUnsetAttachesNothing) {
    unsetenv("MILKANET_VIRTUAL_JOYSTICK");
    platform::sdl::StartVirtualJoystick();
    EXPECT_EQ(SDL_NumJoysticks(), 0);
    platform::JoystickReading reading;
    EXPECT_FALSE(Read(reading));

    const std::string path = Write("env.txt", "0 button 7 1\n");
    setenv("MILKANET_VIRTUAL_JOYSTICK", path.c_str(), 1);
    platform::sdl::StartVirtualJoystick();
    ASSERT_TRUE(Read(reading));
    EXPECT_EQ(reading.buttons, 0x80u);
}

}  // namespace
