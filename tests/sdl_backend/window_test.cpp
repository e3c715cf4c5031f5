// The scaled window on SDL's dummy driver: clicks at scaled positions reach the window procedure
// at client coordinates, the backend's own keys never reach it, full screen letterboxes, and a
// virtual game controller presses keys.
#include "platform/window.h"

#include <SDL.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/blit.h"
#include "platform/gamepad_keys.h"
#include "platform/present.h"
#include "platform/sdl/sdl_backend.h"
#include "platform/sdl/sdl_gamepad_keys.h"
#include "platform/sdl/sdl_presenter.h"
#include "platform/sdl/sdl_settings.h"
#include "platform/sdl/sdl_view.h"
#include "platform/soft/message_queue.h"

namespace {

using namespace platform;

intptr_t Ignore(uint32_t, uintptr_t, intptr_t) {
    return 0;
}

class WindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        config = testing::TempDir() + "milkanet-window-test." + std::to_string(::getpid());
        setenv("XDG_CONFIG_HOME", config.c_str(), 1);
        setenv("MILKANET_SCALE", "2", 1);
        queue::Reset();
        ASSERT_TRUE(Initialise()) << ErrorText();
        ASSERT_TRUE(CreateMainWindow("test", 100, 100, 800, 600, Ignore));
        ShowMainWindow(true);
        Drain();
    }
    void TearDown() override {
        DestroyMainWindow();
        Shutdown();
        unsetenv("MILKANET_SCALE");
        queue::Reset();
        std::filesystem::remove_all(config);
    }
    // Every message the window procedure would be handed now.
    std::vector<Message> Drain() {
        std::vector<Message> taken;
        Message message;
        while (PeekMessage(message)) taken.push_back(message);
        return taken;
    }
    static void Click(int x, int y) {
        SDL_Event event{};
        event.type = SDL_MOUSEBUTTONDOWN;
        event.button.windowID = SDL_GetWindowID(sdl::Sdl.window);
        event.button.button = SDL_BUTTON_LEFT;
        event.button.state = SDL_PRESSED;
        event.button.clicks = 1;
        event.button.x = x;
        event.button.y = y;
        SDL_PushEvent(&event);
    }
    static void Key(SDL_Keycode code, bool down, Uint16 mod = 0) {
        SDL_Event event{};
        event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
        event.key.windowID = SDL_GetWindowID(sdl::Sdl.window);
        event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
        event.key.keysym.sym = code;
        event.key.keysym.mod = mod;
        SDL_PushEvent(&event);
    }
    static std::vector<Message> Only(const std::vector<Message>& messages, uint32_t type) {
        std::vector<Message> kept;
        for (const Message& message : messages)
            if (message.message == type) kept.push_back(message);
        return kept;
    }
    std::string config;
};

TEST_F(WindowTest, AClickOnTheScaledWindowReachesTheProcedureAtClientCoordinates) {
    int width = 0, height = 0;
    SDL_GetWindowSize(sdl::Sdl.window, &width, &height);
    EXPECT_EQ(width, 1600);
    EXPECT_EQ(height, 1200);
    Click(601, 401);
    Click(1599, 1199);
    Click(0, 0);
    std::vector<Message> clicks = Only(Drain(), WM_LBUTTONDOWN);
    ASSERT_EQ(clicks.size(), 3u);
    EXPECT_EQ(clicks[0].lParam, MakeLParam(300, 200));
    EXPECT_EQ(clicks[1].lParam, MakeLParam(799, 599));
    EXPECT_EQ(clicks[2].lParam, MakeLParam(0, 0));

    // Confinement to the client area covers the whole scaled window.
    int x = 0, y = 0;
    SDL_GetWindowPosition(sdl::Sdl.window, &x, &y);
    Rect client{x, y, x + 800, y + 600};
    ConfineCursor(&client);
    const SDL_Rect* area = SDL_GetWindowMouseRect(sdl::Sdl.window);
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->x, 0);
    EXPECT_EQ(area->w, 1600);
    EXPECT_EQ(area->h, 1200);
    ConfineCursor(nullptr);
    EXPECT_EQ(SDL_GetWindowMouseRect(sdl::Sdl.window), nullptr);
}

TEST_F(WindowTest, FullScreenAndScreenshotKeysNeverReachTheProcedureAndPrintScreenIsTheHotKey) {
    std::vector<Message> messages;
    auto take = [&]() {
        for (const Message& message : Drain()) messages.push_back(message);
    };
    Key(SDLK_F11, true);
    Key(SDLK_F11, false);
    take();
    EXPECT_TRUE(sdl::View.fullScreen);
    Key(SDLK_RETURN, true, KMOD_LALT);
    Key(SDLK_RETURN, false);  // Alt already let go: the release still belongs to the switch
    take();
    EXPECT_FALSE(sdl::View.fullScreen);
    Key(SDLK_F12, true);
    Key(SDLK_F12, false);
    take();
    EXPECT_TRUE(sdl::View.screenshotRequested);
    sdl::View.screenshotRequested = false;
    Key(SDLK_RETURN, true);
    Key(SDLK_RETURN, false);
    Key(SDLK_PRINTSCREEN, true);
    Key(SDLK_PRINTSCREEN, false);
    take();
    std::vector<int> keys;
    std::vector<uintptr_t> hotKeys;
    for (const Message& message : messages) {
        if (message.message >= WM_KEYDOWN && message.message <= WM_SYSKEYUP)
            keys.push_back(static_cast<int>(message.wParam));
        if (message.message == WM_HOTKEY) hotKeys.push_back(message.wParam);
    }
    EXPECT_EQ(keys, (std::vector<int>{VK_RETURN, VK_RETURN}));  // only the plain Enter
    EXPECT_EQ(hotKeys, std::vector<uintptr_t>{0xBF01u});        // Print Screen, once
}

// The window surface at 2x: a changed pixel reaches it, and after the window has lost what it showed
// (drawn over here by hand), an exposure brings the whole frame back though the frame did not change.
TEST_F(WindowTest, ChangedRowsReachTheWindowAndAnExposureRedrawsEverything) {
    ASSERT_STREQ(sdl::PresentPathName(), "surface");
    Surface back = CreateSurface(800, 600, PixelFormat::XRGB8888);
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            reinterpret_cast<uint32_t*>(back.Row(y))[x] = 0x010203u * ((x + y) % 80);
    const Rect all{0, 0, 800, 600};
    SDL_Surface* window = SDL_GetWindowSurface(sdl::Sdl.window);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(window->w, 1600);
    auto shownAt = [&](int x,
                       int y) {  // the window's pixel for back buffer pixel x, y (its lower right copy)
        return reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(window->pixels) +
                                                 static_cast<size_t>(2 * y + 1) * window->pitch)[2 * x + 1] &
               0xFFFFFFu;
    };
    auto expectShowsBack = [&] {
        for (int y = 0; y < 600; y += 7)
            for (int x = 0; x < 800; x += 5)
                ASSERT_EQ(shownAt(x, y), reinterpret_cast<uint32_t*>(back.Row(y))[x]) << x << "," << y;
    };
    Present(back, all);
    expectShowsBack();
    reinterpret_cast<uint32_t*>(back.Row(599))[799] = 0xABCDEF;
    reinterpret_cast<uint32_t*>(back.Row(0))[0] = 0x123456;
    Present(back, all);
    EXPECT_EQ(shownAt(799, 599), 0xABCDEFu);
    EXPECT_EQ(shownAt(0, 0), 0x123456u);
    expectShowsBack();

    std::memset(window->pixels, 0x55, static_cast<size_t>(window->pitch) * window->h);
    SDL_Event exposed{};
    exposed.type = SDL_WINDOWEVENT;
    exposed.window.windowID = SDL_GetWindowID(sdl::Sdl.window);
    exposed.window.event = SDL_WINDOWEVENT_EXPOSED;
    SDL_PushEvent(&exposed);
    Drain();
    Present(back, all);
    expectShowsBack();
}

TEST_F(WindowTest, FullScreenCentresThePictureAndMapsClicksInsideTheBars) {
    sdl::SetFullScreen(true);
    Drain();
    int width = 0, height = 0;
    SDL_GetWindowSize(sdl::Sdl.window, &width, &height);
    const sdl::Box picture = sdl::CurrentPicture();
    const int factor = width / 800 < height / 600 ? width / 800 : height / 600;
    EXPECT_EQ(picture.width, 800 * (factor < 1 ? 1 : factor));
    EXPECT_EQ(picture.x, (width - picture.width) / 2);
    EXPECT_EQ(picture.y, (height - picture.height) / 2);
    Click(picture.x + 10 * picture.width / 800, picture.y + 20 * picture.height / 600);
    Click(picture.x - 1, picture.y);  // in the left bar: left of the client area
    std::vector<Message> clicks = Only(Drain(), WM_LBUTTONDOWN);
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[0].lParam, MakeLParam(10, 20));
    if (picture.x > 0) {
        EXPECT_EQ(static_cast<int16_t>(LowWord(clicks[1].lParam)), -1);
    }
    sdl::SetFullScreen(false);
    SDL_GetWindowSize(sdl::Sdl.window, &width, &height);
    EXPECT_EQ(width, 1600);
}

TEST(LayoutTest, ScaleAndPicturePlacementFollowTheOutput) {
    EXPECT_EQ(sdl::ChooseScale(800, 600, 1920, 1080), 1);
    EXPECT_EQ(sdl::ChooseScale(800, 600, 2560, 1440), 2);
    EXPECT_EQ(sdl::ChooseScale(800, 600, 3840, 2160), 3);
    EXPECT_EQ(sdl::ChooseScale(800, 600, 640, 480), 1);
    sdl::Box whole = sdl::PictureBox(800, 600, 2560, 1440, true);
    EXPECT_EQ(whole.x, 480);
    EXPECT_EQ(whole.y, 120);
    EXPECT_EQ(whole.width, 1600);
    sdl::Box aspect = sdl::PictureBox(800, 600, 2560, 1440, false);
    EXPECT_EQ(aspect.x, 320);
    EXPECT_EQ(aspect.y, 0);
    EXPECT_EQ(aspect.width, 1920);
    EXPECT_EQ(aspect.height, 1440);
    // An output smaller than the picture shrinks it to fit instead of drawing past its edges.
    for (bool wholeNumber : {true, false}) {
        const sdl::Box small = sdl::PictureBox(800, 600, 640, 480, wholeNumber);
        EXPECT_EQ(small.x, 0);
        EXPECT_EQ(small.y, 0);
        EXPECT_EQ(small.width, 640);
        EXPECT_EQ(small.height, 480);
        const sdl::Box wide = sdl::PictureBox(1280, 720, 800, 600, wholeNumber);
        EXPECT_EQ(wide.x, 0);
        EXPECT_EQ(wide.y, 75);
        EXPECT_EQ(wide.width, 800);
        EXPECT_EQ(wide.height, 450);
    }
    // Every client position survives the way out and back, whole-number or not.
    for (const sdl::Box& box : {whole, aspect}) {
        for (int x = 0; x < 800; ++x) {
            int outX = 0, outY = 0, backX = 0, backY = 0;
            sdl::ClientToOutput(box, 800, 600, x, x % 600, outX, outY);
            sdl::OutputToClient(box, 800, 600, outX, outY, backX, backY);
            ASSERT_EQ(backX, x);
            ASSERT_EQ(backY, x % 600);
        }
    }
}

class GamepadTest : public WindowTest {};

TEST_F(GamepadTest, AVirtualControllerPressesArrowsAndActionKeysUntilSwitchedOff) {
    // The dummy driver's window never has the keyboard focus, without which SDL holds back
    // controller events.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER), 0) << SDL_GetError();
    const int device = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                                 SDL_CONTROLLER_BUTTON_MAX, 0);
    ASSERT_GE(device, 0) << SDL_GetError();
    // As at start-up: the controller is there, and its device-added event has gone by, before the
    // keys start after the first frame.
    Drain();
    sdl::StartGamepadKeys();
    ASSERT_TRUE(GamepadKeysOn());
    SDL_Joystick* stick = SDL_JoystickOpen(device);
    ASSERT_NE(stick, nullptr);
    Drain();

    auto keyMessages = [&]() {
        std::vector<std::pair<uint32_t, int>> keys;
        SDL_JoystickUpdate();
        for (const Message& message : Drain())
            if (message.message == WM_KEYDOWN || message.message == WM_KEYUP)
                keys.emplace_back(message.message, static_cast<int>(message.wParam));
        return keys;
    };
    using Keys = std::vector<std::pair<uint32_t, int>>;
    SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_A, 1);
    EXPECT_EQ(keyMessages(), (Keys{{WM_KEYDOWN, 'C'}}));
    EXPECT_TRUE(IsKeyDown('C'));
    SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_A, 0);
    SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_START, 1);
    EXPECT_EQ(keyMessages(), (Keys{{WM_KEYUP, 'C'}, {WM_KEYDOWN, VK_ESCAPE}}));
    SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_START, 0);
    keyMessages();

    // The d-pad and the stick share the left arrow: it goes up when both have let go.
    SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_DPAD_LEFT, 1);
    SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_LEFTX, -30000);
    EXPECT_EQ(keyMessages(), (Keys{{WM_KEYDOWN, VK_LEFT}}));
    SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_DPAD_LEFT, 0);
    EXPECT_EQ(keyMessages(), Keys{});
    SDL_JoystickSetVirtualAxis(stick, SDL_CONTROLLER_AXIS_LEFTX, 0);
    EXPECT_EQ(keyMessages(), (Keys{{WM_KEYUP, VK_LEFT}}));

    // Switched off, held keys are let go and nothing more comes.
    SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_X, 1);
    EXPECT_EQ(keyMessages(), (Keys{{WM_KEYDOWN, 'B'}}));
    SetGamepadKeys(false);
    EXPECT_EQ(keyMessages(), (Keys{{WM_KEYUP, 'B'}}));
    SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_X, 0);
    SDL_JoystickSetVirtualButton(stick, SDL_CONTROLLER_BUTTON_B, 1);
    EXPECT_EQ(keyMessages(), Keys{});
    SetGamepadKeys(true);
    SDL_JoystickClose(stick);
    SDL_JoystickDetachVirtual(device);
}

}  // namespace
