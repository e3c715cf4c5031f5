// The scene programs' entry on the headless backend: Esc ends the program or not as the options
// say, a start-up without a display ends at once with one line, and the display takes every size
// a window shows whole (and refuses the others with their line and the box).
#include <el/entry.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "tests/shell/shell_fixture.h"

using namespace platform;

namespace {

namespace fs = std::filesystem;

class SceneEntryTest : public ShellTest {
  protected:
    static SceneEntryTest* current;
    int frames = 0;
    int idleCalls = 0;
    bool closePosted = false;

    void SetUp() override {
        ShellTest::SetUp();
        current = this;
        // The debug log goes to the current folder: a private one for each test.
        folder = fs::temp_directory_path() / ("el_scene_entry_" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        previous = fs::current_path();
        fs::current_path(folder);
        headless::Reset();
        headless.tickStep = 1;
    }
    void TearDown() override {
        fs::current_path(previous);
        std::error_code ignored;
        fs::remove_all(folder, ignored);
        SetEscapeEnds(true);
        ShellTest::TearDown();
    }

    static void CountingScene() { ++current->frames; }
    static void SceneStartup() {
        elDraw::Screen(640, 480, 1);
        RegisterScene(1, CountingScene);
        Engine.Scene = 1;
    }
    static void EmptyStartup() {}

    // Presses Esc once the scene has run five frames; closes the window once it has run forty.
    void PressEscapeThenClose() {
        headless.idleHook = [this] {
            ++idleCalls;
            if (frames == 5 && !escapePressed) {
                escapePressed = true;
                PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
            }
            if (frames >= 40 && !closePosted) {
                closePosted = true;
                PostMessage(WM_CLOSE, 0, 0);
            }
        };
    }

    int Run(void (*startup)(), const elSystem::SceneOptions& options) {
        char program[] = "/usr/games/my-scene";
        char* argv[] = {program, nullptr};
        return elSystem::RunScene(1, argv, "scene", startup, options);
    }

    std::string DebugLogText() {
        std::ifstream file(folder / "DEBUG.TXT");
        return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    }

    bool escapePressed = false;
    fs::path folder, previous;
};
SceneEntryTest* SceneEntryTest::current = nullptr;

TEST_F(SceneEntryTest, EscEndsTheProgramByDefaultAndIsAKeyLikeAnyOtherWhenSwitchedOff) {
    PressEscapeThenClose();
    EXPECT_EQ(Run(SceneStartup, {}), 0);
    EXPECT_TRUE(escapePressed);
    EXPECT_FALSE(closePosted);  // Esc ended it: no frame ran after it
    EXPECT_EQ(frames, 5);
    EXPECT_EQ(Engine.ExitState, 2);
    EXPECT_FALSE(headless.windowExists);
    EXPECT_TRUE(EscapeEnds());  // the entry leaves the switch as it found it

    headless::Reset();
    headless.tickStep = 1;
    frames = 0;
    escapePressed = false;
    PressEscapeThenClose();
    elSystem::SceneOptions keepRunning;
    keepRunning.escapeEnds = false;
    EXPECT_EQ(Run(SceneStartup, keepRunning), 0);
    EXPECT_TRUE(escapePressed);
    EXPECT_TRUE(closePosted);  // frames went on after Esc until the window was closed
    EXPECT_EQ(frames, 40);
    EXPECT_EQ(Input.LastKey, VK_ESCAPE);  // the scene saw the key
    EXPECT_TRUE(EscapeEnds());
}

TEST_F(SceneEntryTest, AStartUpWithoutADisplayEndsAtOnceWithOneLineAndStatusOne) {
    testing::internal::CaptureStderr();
    const int status = Run(EmptyStartup, {});
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, 1);
    const std::string line =
        "my-scene: the start-up procedure did not set up the display with elDraw::Screen\n";
    EXPECT_EQ(said, line);
    EXPECT_EQ(DebugLogText(), line);
    EXPECT_TRUE(headless.messageBoxes.empty());  // no box of its own
    EXPECT_FALSE(headless.windowExists);
    EXPECT_EQ(headless.caption, "scene");

    // The options' name replaces argv[0]'s; a start-up that ends the program itself is left alone.
    headless::Reset();
    elSystem::SceneOptions named;
    named.programName = "named";
    testing::internal::CaptureStderr();
    EXPECT_EQ(Run(EmptyStartup, named), 1);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "named: the start-up procedure did not set up the display with elDraw::Screen\n");
    headless::Reset();
    testing::internal::CaptureStderr();
    EXPECT_EQ(Run([] { ExitProgram(); }, named), 0);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

class ScreenSizeTest : public ShellTest {
  protected:
    // A refused size is written to the debug log in the current folder: a private one.
    void SetUp() override {
        ShellTest::SetUp();
        folder = fs::temp_directory_path() / ("el_screen_size_" + std::to_string(::getpid()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        previous = fs::current_path();
        fs::current_path(folder);
    }
    void TearDown() override {
        ReleaseDisplay();
        fs::current_path(previous);
        std::error_code ignored;
        fs::remove_all(folder, ignored);
        ShellTest::TearDown();
    }
    fs::path folder, previous;
};

TEST_F(ScreenSizeTest, EverySizeFromQuarterVgaToFullHdGetsItsBackBufferAndWindow) {
    const int sizes[][2] = {{320, 240}, {640, 480},  {1280, 720}, {1920, 1080},
                            {800, 600}, {1920, 240}, {320, 1080}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(std::to_string(size[0]) + "x" + std::to_string(size[1]));
        testing::internal::CaptureStderr();
        ASSERT_EQ(elDraw::Screen(size[0], size[1], 1), 1);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
        ASSERT_NE(Display.backBuffer, nullptr);
        EXPECT_EQ(Display.backBuffer->width, size[0]);
        EXPECT_EQ(Display.backBuffer->height, size[1]);
        EXPECT_EQ(headless.clientWidth, size[0]);
        EXPECT_EQ(headless.clientHeight, size[1]);
        // The frame presented is the whole back buffer.
        Refresh();
        EXPECT_EQ(headless::Presented.last.width, size[0]);
        EXPECT_EQ(headless::Presented.last.height, size[1]);
        // The window reports where its client area went, and the presentation follows it.
        Drain();
        EXPECT_EQ(Display.PresentRect.right - Display.PresentRect.left, size[0]);
        EXPECT_EQ(Display.PresentRect.bottom - Display.PresentRect.top, size[1]);
        EXPECT_EQ(Input.ClientOriginX, headless.windowX);
    }
    EXPECT_TRUE(headless.messageBoxes.empty());
}

TEST_F(ScreenSizeTest, ASizeOutsideTheRangeIsRefusedWithItsLineAndTheBoxAndKeepsTheDisplay) {
    ASSERT_EQ(elDraw::Screen(800, 600, 1), 1);
    const int sizes[][2] = {{319, 240}, {320, 239}, {1921, 1080}, {1920, 1081}, {0, 0}, {-5, 480}, {640, -1}};
    for (const auto& size : sizes) {
        const std::string text = std::to_string(size[0]) + " x " + std::to_string(size[1]);
        SCOPED_TRACE(text);
        headless.messageBoxes.clear();
        testing::internal::CaptureStderr();
        EXPECT_EQ(elDraw::Screen(size[0], size[1], 1), 0);
        const std::string said = testing::internal::GetCapturedStderr();
        const std::string line = "elDraw::Screen: " + text +
                                 " is outside the sizes the display takes (320 x 240 to 1920 x 1080)\n";
        EXPECT_EQ(said.substr(0, said.find('\n') + 1), line);
        std::ifstream log(folder / "DEBUG.TXT");
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(log), std::istreambuf_iterator<char>()), line);
        fs::remove(folder / "DEBUG.TXT");
        ASSERT_EQ(headless.messageBoxes.size(), 1u);
        EXPECT_EQ(headless.messageBoxes[0].text, "elDraw::Screen : 裏画面が生成できません");
        EXPECT_EQ(HasError(), 1);
        // The display that was there stays, in its window.
        ASSERT_NE(Display.backBuffer, nullptr);
        EXPECT_EQ(Display.backBuffer->width, 800);
        EXPECT_EQ(headless.clientWidth, 800);
    }
}

}  // namespace
