// Key polling, wait-for-release, window moves and the input-side messages of the window procedure.
#include "tests/shell/shell_fixture.h"

using namespace platform;

namespace {

constexpr int kEnter = 13;
constexpr int kKeyA = 'A';

class InputTest : public ShellTest {};

TEST_F(InputTest, PollKeyGoesThroughItsFourStatesAcrossHoldAndRelease) {
    KeyState state = 0;
    PollKey(kKeyA, &state);
    EXPECT_EQ(state, 0);
    KeyDown(kKeyA);
    std::vector<int> seen;
    for (int i = 0; i < 3; ++i) {
        PollKey(kKeyA, &state);
        seen.push_back(state);
    }
    KeyUp(kKeyA);
    for (int i = 0; i < 2; ++i) {
        PollKey(kKeyA, &state);
        seen.push_back(state);
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 3, 3, 2, 0}));
}

TEST_F(InputTest, SuppressionReportsNothingAndAHeldKeyReadsPressedAgainAfterwards) {
    KeyState state = 0;
    KeyDown(kKeyA);
    PollKey(kKeyA, &state);
    ASSERT_EQ(state, 1);

    Transition.fadeStep = 4;
    PollKey(kKeyA, &state);
    EXPECT_EQ(state, 0);
    Transition.fadeStep = 0;
    PollKey(kKeyA, &state);
    EXPECT_EQ(state, 1);

    Viewer.viewerOn = true;
    PollKey(kKeyA, &state);
    EXPECT_EQ(state, 0);
    Viewer.viewerOn = false;

    LockInput();
    PollKey(kKeyA, &state);
    EXPECT_EQ(state, 0);
    UnlockInput();
    PollKey(kKeyA, &state);
    EXPECT_EQ(state, 1);
    PollKey(kKeyA, &state);
    EXPECT_EQ(state, 3);
}

TEST_F(InputTest, CurrentKeyKeepsTheSecondKeyWhenTheFirstIsReleased) {
    KeyDown(kKeyA);
    KeyDown('B');
    KeyUp(kKeyA);
    EXPECT_EQ(Input.CurrentKey, 'B');
    EXPECT_EQ(Input.LastKey, 'B');
    KeyUp('B');
    EXPECT_EQ(Input.CurrentKey, 0);
    EXPECT_EQ(Input.LastKey, 'B');
}

TEST_F(InputTest, WaitForReleaseReturnsTheKeyOnceAfterPressAndRelease) {
    EXPECT_EQ(WaitForRelease(kEnter, 1), 0);  // arms: everything is released
    KeyDown(kEnter);
    EXPECT_EQ(WaitForRelease(kEnter, 1), 0);  // caught, still held
    KeyUp(kEnter);
    EXPECT_EQ(WaitForRelease(kEnter, 1), kEnter);
    EXPECT_EQ(Input.LastKey, 0);
    EXPECT_EQ(WaitForRelease(kEnter, 1), 0);
}

TEST_F(InputTest, WaitForReleaseDropsAPressInterruptedByAnotherKey) {
    WaitForRelease(kEnter, 0);
    KeyDown(kEnter);
    EXPECT_EQ(WaitForRelease(kEnter, 0), 0);
    KeyDown(kKeyA);  // another press while Enter is held
    EXPECT_EQ(WaitForRelease(kEnter, 0), 0);
    KeyUp(kEnter);
    KeyUp(kKeyA);
    EXPECT_EQ(WaitForRelease(kEnter, 0), 0);
}

TEST_F(InputTest, WaitForReleaseCatchesMouseButtons) {
    WaitForRelease(1, 0);
    Send(WM_LBUTTONDOWN, 0, MakeLParam(5, 5));
    EXPECT_EQ(WaitForRelease(kEnter, 1, 0), 0);
    Send(WM_LBUTTONUP, 0, MakeLParam(5, 5));
    EXPECT_EQ(WaitForRelease(kEnter, 1, 0), 1);
    EXPECT_EQ(Input.LastClick, 0);
}

TEST_F(InputTest, MoveTurnsWordsAbove32768IntoNegativePositions) {
    Display.ScreenWidth = 800;
    Display.ScreenHeight = 600;
    Send(WM_MOVE, 0, MakeLParam(65526, 32768));
    EXPECT_EQ(Input.ClientOriginX, -10);
    EXPECT_EQ(Input.ClientOriginY, 32768);
    EXPECT_EQ(Display.PresentRect.left, -10);
    EXPECT_EQ(Display.PresentRect.right, 790);
    EXPECT_EQ(Display.PresentRect.bottom, 32768 + 600);
}

TEST_F(InputTest, LockedInputOnlyRecordsTheLockedKeyAndEscDoesNotExit) {
    LockInput();
    KeyDown(VK_ESCAPE);
    EXPECT_EQ(Input.LockedKey, VK_ESCAPE);
    EXPECT_EQ(Input.CurrentKey, 0);
    EXPECT_EQ(Engine.ExitState, 0);
    Send(WM_LBUTTONDOWN, 0, 0);
    EXPECT_EQ(Input.LockedLeftDown, 1);
    EXPECT_EQ(Input.LeftClicked, 0);
    KeyUp(VK_ESCAPE);
    EXPECT_EQ(Input.LockedKey, 0);
}

TEST_F(InputTest, SystemKeysAreSwallowedSoAltF4DoesNotClose) {
    Send(WM_SYSKEYDOWN, VK_F4, 0);
    EXPECT_EQ(Engine.ExitState, 0);
    EXPECT_TRUE(headless.windowExists);
    // Other modes let system keys through; Alt+F4 then closes the window as usual.
    SetAltKeyMode(1);
    Send(WM_SYSKEYDOWN, VK_F4, 0);
    EXPECT_EQ(Engine.ExitState, 2);
    EXPECT_FALSE(headless.windowExists);
}

TEST_F(InputTest, ShiftReleasesToggleAndTheCountedKeyCountsReleases) {
    SetCountedKey(kKeyA);
    for (int i = 0; i < 3; ++i) {
        KeyDown(kKeyA);
        KeyUp(kKeyA);
    }
    KeyDown(VK_SHIFT);
    KeyUp(VK_SHIFT);
    EXPECT_EQ(GetCountedKeyReleases(), 3);
    EXPECT_EQ(Input.ShiftToggle, 1);
}

TEST_F(InputTest, MouseButtonsSetTheirFlagsAndDoubleClicks) {
    Send(WM_MOUSEMOVE, 0, MakeLParam(700, 65535));
    EXPECT_EQ(Input.MouseX, 700);
    EXPECT_EQ(Input.MouseY, 65535);
    Send(WM_RBUTTONDOWN, 0, 0);
    EXPECT_EQ(Input.RightDown, 1);
    EXPECT_EQ(Input.HeldButton, 2);
    EXPECT_EQ(Input.LastClick, 2);
    Send(WM_LBUTTONDOWN, 0, 0);
    Send(WM_RBUTTONUP, 0, 0);
    EXPECT_EQ(Input.HeldButton, 1);  // the right release leaves the left hold alone
    Send(WM_LBUTTONDBLCLK, 0, 0);
    EXPECT_EQ(Input.LeftDoubleClicked, 1);
}

TEST_F(InputTest, DeactivationShowsTheCursorAndReactivationResetsTheFrameTimer) {
    SetCursorShown(false);
    ASSERT_EQ(headless.cursorCounter, -1);
    Send(WM_ACTIVATEAPP, 0, 0);
    EXPECT_EQ(Engine.AppActive, 0);
    EXPECT_EQ(Engine.CursorShown, 1);
    EXPECT_EQ(headless.cursorCounter, 0);
    headless.clock = 5000;
    Pacing.FrameStep = 0.5f;
    Send(WM_ACTIVATEAPP, 1, 0);
    EXPECT_EQ(Engine.AppActive, 1);
    EXPECT_EQ(Pacing.FrameStep, 0.0f);
    EXPECT_EQ(Pacing.FrameTimer, 5000u);
}

TEST_F(InputTest, ConfinementFollowsTheClientAreaAndIsFreedAgain) {
    Display.ScreenWidth = 800;
    Display.ScreenHeight = 600;
    Send(WM_MOVE, 0, MakeLParam(100, 50));
    ConfineCursor();
    EXPECT_EQ(IsCursorClipped(), 1);
    EXPECT_TRUE(headless.cursorConfined);
    EXPECT_EQ(headless.confineRect.left, 100);
    EXPECT_EQ(headless.confineRect.bottom, 650);
    FreeCursor();
    EXPECT_EQ(IsCursorClipped(), 0);
    EXPECT_FALSE(headless.cursorConfined);
    EXPECT_EQ(SetCursorInClient(10, 20), 1);
    EXPECT_EQ(headless.cursorX, 110);
    EXPECT_EQ(headless.cursorY, 70);
}

}  // namespace
