// The program's loop and exit: the exit-state table, whole runs through the entry, blink flag,
// cursor visibility, the single-instance lock and the window's place.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/shell/shell_fixture.h"

using namespace platform;

namespace {

class LoopTest : public ShellTest {
  protected:
    int frames = 0;
    static LoopTest* current;
    static void CountingScene() { ++current->frames; }
    void SetUp() override {
        ShellTest::SetUp();
        current = this;
    }
};
LoopTest* LoopTest::current = nullptr;

TEST_F(LoopTest, EscRunsTheExitProcedureOnceAndThePostedCloseOnlyDestroys) {
    KeyDown(VK_ESCAPE);
    EXPECT_EQ(Engine.ExitState, 2);
    EXPECT_EQ(Engine.ExitDone, 1);
    EXPECT_FALSE(headless.windowExists);  // the posted WM_CLOSE arrived and destroyed the window
    EXPECT_TRUE(quitSeen);
    EXPECT_EQ(headless.confineCalls, 1);  // the cursor was freed by exactly one exit procedure
}

TEST_F(LoopTest, CloseBoxRunsTheExitProcedureWithoutPostingAnything) {
    platform::PostMessage(WM_CLOSE, 0, 0);
    Message message;
    ASSERT_TRUE(PeekMessage(message));
    DispatchMessage(message);
    EXPECT_EQ(Engine.ExitState, 2);
    EXPECT_FALSE(headless.windowExists);
    // Only the quit message is left: no second WM_CLOSE was posted.
    ASSERT_TRUE(PeekMessage(message));
    EXPECT_EQ(message.message, WM_QUIT);
    EXPECT_FALSE(PeekMessage(message));
    EXPECT_EQ(headless.confineCalls, 1);
}

TEST_F(LoopTest, DestroyPostsQuitAndEndsTheLoop) {
    platform::PostMessage(WM_DESTROY, 0, 0);
    EXPECT_TRUE(RunLoopTurn());   // WM_DESTROY handled
    EXPECT_FALSE(RunLoopTurn());  // WM_QUIT ends the loop
    EXPECT_EQ(Engine.ExitState, 0);
}

// A start-up like the game's that runs a counting scene; a script presses Esc on frame 5.
void TestStartup() {
    SetFrameRate(75);
    RegisterScene(1, [] {});
    Engine.Scene = 1;
}

TEST_F(LoopTest, AWholeRunEndsWithZeroAfterEscAndTheExitProcedureRanOnce) {
    platform::headless::Reset();
    headless.tickStep = 1;
    int idleCalls = 0;
    headless.idleHook = [&] {
        if (++idleCalls == 5) platform::PostMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    };
    int result = WinMain("", 1, TestStartup);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(Engine.ExitState, 2);
    EXPECT_FALSE(headless.windowExists);
    EXPECT_EQ(headless.confineCalls, 1);
    EXPECT_EQ(headless.caption, kWindowTitle);
    EXPECT_FALSE(headless.imeEnabled);
    EXPECT_TRUE(headless.windowVisible == false);  // destroyed windows are not visible
    EXPECT_EQ(Engine.Scene, 1);
}

TEST_F(LoopTest, TheWindowIsCentredWithAnEightHundredBySixHundredClientArea) {
    platform::headless::Reset();
    headless.metrics = {1366, 768, 1, 2, 3, 20, 1, 2, 3};
    bool closed = false;
    headless.idleHook = [&] {
        if (!closed) platform::PostMessage(WM_CLOSE, 0, 0);
        closed = true;
    };
    WinMain("", 1, nullptr);
    const int width = 1 + 800 + 2 + 3, height = 20 + 600 + 2 + 1 + 3;
    EXPECT_EQ(headless.clientWidth, 800);
    EXPECT_EQ(headless.clientHeight, 600);
    EXPECT_EQ(headless.windowX, (1366 - width) / 2 + 1 + 2);
    EXPECT_EQ(headless.windowY, (768 - height) / 2 + 20 + 2);
    EXPECT_FALSE(headless.windowTopmost);  // bit 1 of the window flags keeps the normal order
}

TEST_F(LoopTest, EveryQueuedMessageIsHandledBeforeAFrameRuns) {
    RegisterScene(1, CountingScene);
    Engine.Scene = 1;
    headless.tickStep = 1;
    for (int i = 0; i < 5; ++i) platform::PostMessage(WM_MOUSEMOVE, 0, MakeLParam(i, i));
    for (int i = 0; i < 5; ++i) RunLoopTurn();
    EXPECT_EQ(frames, 0);
    RunLoopTurn();
    EXPECT_EQ(frames, 1);
}

TEST_F(LoopTest, AnInactiveWindowWaitsForMessagesUnlessFramesRunInTheBackground) {
    RegisterScene(1, CountingScene);
    Engine.Scene = 1;
    headless.tickStep = 1;
    Engine.AppActive = 0;
    RunLoopTurn();
    EXPECT_EQ(frames, 1);  // bit 2 set: frames keep running
    Engine.WindowFlags = 1;
    RunLoopTurn();
    EXPECT_EQ(frames, 1);
    EXPECT_EQ(headless.waitMessageCalls, 1);
}

TEST_F(LoopTest, BlinkFlagIsOnForASecondAndOffForTwoHundredMilliseconds) {
    // Also when the engine starts just before the clock wraps: the toggle times wrap with it.
    for (uint32_t start : {1000u, 0xFFFFFE00u}) {
        SCOPED_TRACE(start);
        headless.clock = start;
        EngineInit();  // next toggle a second later
        Engine.WindowFlags = 3;
        std::vector<std::pair<uint32_t, int>> changes;
        int last = Engine.BlinkFlag;
        for (uint32_t t = 0; t < 3500; t += 50) {
            headless.clock = start + t;
            RunLoopTurn();
            if (Engine.BlinkFlag != last) {
                changes.push_back({t, Engine.BlinkFlag});
                last = Engine.BlinkFlag;
            }
        }
        EXPECT_EQ(changes, (std::vector<std::pair<uint32_t, int>>{
                               {1000, 0}, {1200, 1}, {2200, 0}, {2400, 1}, {3400, 0}}));
    }
}

TEST_F(LoopTest, TheCursorHidesOverTheClientAreaAndStaysWhileABoxIsOpen) {
    Send(WM_MOVE, 0, MakeLParam(100, 100));
    headless.cursorX = 500;
    headless.cursorY = 400;
    RunLoopTurn();
    EXPECT_EQ(Engine.CursorShown, 0);
    EXPECT_EQ(headless.cursorCounter, -1);
    headless.cursorX = 900;  // right of the client area (100 + 800)
    RunLoopTurn();
    EXPECT_EQ(Engine.CursorShown, 1);
    EXPECT_EQ(headless.cursorCounter, 0);
    headless.cursorX = 500;
    Engine.MessageBoxOpen = 1;
    RunLoopTurn();
    EXPECT_EQ(Engine.CursorShown, 1);
}

TEST_F(LoopTest, TheClickFlagsLastOneFrame) {
    Send(WM_LBUTTONDOWN, 0, 0);
    EXPECT_EQ(Input.LeftClicked, 1);
    RunLoopTurn();
    EXPECT_EQ(Input.LeftClicked, 0);
    EXPECT_EQ(Input.LeftDown, 1);
}

TEST(SingleInstance, ASecondCopyIsRefusedAndRaisesTheFirstWindow) {
    std::filesystem::path runtime =
        std::filesystem::temp_directory_path() / ("el_single_instance_test_" + std::to_string(::getpid()));
    std::filesystem::create_directories(runtime);
    setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
    platform::headless::Reset();
    ASSERT_TRUE(platform::AcquireSingleInstance("ミルカネット！:ElMutex"));
    platform::CreateMainWindow("first", 0, 0, 800, 600, MainWindowProcedure);
    // Another copy: its own lock attempt fails and it asks the first one to come to the front.
    // It says so on standard error, in the caption's own letters.
    EngineInit();
    testing::internal::CaptureStderr();
    EXPECT_EQ(WinMain("", 1, nullptr), 0);
    const std::string said = testing::internal::GetCapturedStderr();
    const std::string expected = reinterpret_cast<const char*>(
        u8": ミルカネット！ is already running; its window is brought to the front\n");
    EXPECT_NE(said.find(expected), std::string::npos) << said;
    EXPECT_FALSE(Engine.HaveWindow);
    Message message;
    while (PeekMessage(message)) {
    }
    EXPECT_EQ(platform::headless::Headless.raiseCount, 1);
    platform::ReleaseSingleInstance();
    EXPECT_TRUE(platform::AcquireSingleInstance("ミルカネット！:ElMutex"));
    platform::ReleaseSingleInstance();
    unsetenv("XDG_RUNTIME_DIR");
    std::filesystem::remove_all(runtime);
}

}  // namespace
