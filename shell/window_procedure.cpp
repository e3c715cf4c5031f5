// The main window's procedure: keys, mouse, activation, moves, closing and the MIDI end report.
#include "shell/window_procedure.h"

#include "engine/draw/display.h"
#include "engine/draw/refresh.h"
#include "engine/sound/midi.h"
#include "platform/window.h"
#include "engine/system/engine_state.h"
#include "engine/system/frame_pacing.h"
#include "engine/system/input.h"

using namespace platform;

namespace {

constexpr uintptr_t kHotKeyPrintScreen = 48897;  // 0xBF01
constexpr uintptr_t kHotKeyAltPrintScreen = 48898;

bool escapeEnds = true;

void KeyPress(int key) {
    if (Input.InputLocked == 1) {
        Input.LockedKey = key;
        return;  // Esc does not end the program while input is locked
    }
    if (Viewer.viewerOn) {
        Input.ViewerKey = key;
    } else {
        Input.CurrentKey = key;
        Input.LastKey = key;
    }
    if (key == VK_ESCAPE && escapeEnds) ExitProgram();
}

void KeyRelease(int key) {
    if (Input.CurrentKey == key) Input.CurrentKey = 0;
    if (Input.ViewerKey == key) Input.ViewerKey = 0;
    if (Input.LockedKey == key) Input.LockedKey = 0;
    if (key == VK_SHIFT) Input.ShiftToggle ^= 1;
    if (key == Input.CountedKey) ++Input.CountedKeyReleases;
}

// Window positions arrive as unsigned 16-bit words; values above 0x8000 are negative.
int SignedWord(unsigned word) { return word > 0x8000u ? static_cast<int>(word) - 65536 : static_cast<int>(word); }

void Move(intptr_t lParam) {
    Input.ClientOriginX = SignedWord(LowWord(lParam));
    Input.ClientOriginY = SignedWord(HighWord(lParam));
    Display.PresentRect = {Input.ClientOriginX, Input.ClientOriginY, Input.ClientOriginX + Display.ScreenWidth,
                           Input.ClientOriginY + Display.ScreenHeight};
    if (Engine.ClipCursorMode == 1) ConfineCursor();
}

void ActivateApp(bool active) {
    if (!active) {
        Engine.AppActive = 0;
        SetCursorShown(true);
        if (Engine.ClipCursorMode == 1) FreeCursor();
    } else {
        Engine.AppActive = 1;
        ResetFrameTimer();
        if (Engine.ClipCursorMode == 1) ConfineCursor();
    }
}

void Close() {
    if (Engine.ExitState == 0) Engine.ExitState = 1;
    if (Engine.ExitState < 2) ExitProgram();
    DestroyMainWindow();
}

void ButtonDown(bool left) {
    if (Input.InputLocked) {
        if (left) Input.LockedLeftDown = 1;
        return;
    }
    if (left) {
        Input.LeftDown = Input.LeftClicked = Input.LeftPressedOnce = 1;
        Input.HeldButton = Input.LastClick = 1;
    } else {
        Input.RightDown = Input.RightClicked = Input.RightPressedOnce = 1;
        Input.HeldButton = Input.LastClick = 2;
    }
}

}  // namespace

void SetEscapeEnds(bool ends) {
    escapeEnds = ends;
}
bool EscapeEnds() {
    return escapeEnds;
}

intptr_t MainWindowProcedure(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    switch (message) {
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        case WM_MOVE:
            Move(lParam);
            break;
        case WM_CLOSE:
            Close();
            return 0;
        case WM_ACTIVATEAPP:
            ActivateApp(wParam != 0);
            return 0;
        case WM_SETCURSOR:
            if (Engine.FullScreen == 1 && Engine.MessageBoxOpen == 0) {
                HideCursorNow();
                return 1;
            }
            break;
        case WM_KEYDOWN:
            KeyPress(static_cast<int>(wParam));
            break;
        case WM_KEYUP:
            KeyRelease(static_cast<int>(wParam));
            break;
        case WM_SYSKEYDOWN:
            // Mode 0 swallows every system key, so Alt+F4 does not close the window.
            if (Input.AltKeyMode == 0) return 0;
            if (Input.AltKeyMode == 2 && wParam == VK_MENU) return 0;
            KeyPress(static_cast<int>(wParam));
            break;
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_SCREENSAVE) return 0;
            break;
        case WM_MOUSEMOVE:
            Input.MouseX = static_cast<int32_t>(LowWord(lParam));
            Input.MouseY = static_cast<int32_t>(HighWord(lParam));
            break;
        case WM_LBUTTONDOWN:
            ButtonDown(true);
            break;
        case WM_LBUTTONUP:
            Input.LeftDown = 0;
            if (Input.HeldButton == 1) Input.HeldButton = 0;
            Input.LockedLeftDown = 0;
            break;
        case WM_LBUTTONDBLCLK:
            if (!Input.InputLocked) Input.LeftDoubleClicked = 1;
            return 0;
        case WM_RBUTTONDOWN:
            if (!Input.InputLocked) ButtonDown(false);
            break;
        case WM_RBUTTONUP:
            Input.RightDown = 0;
            if (Input.HeldButton == 2) Input.HeldButton = 0;
            break;
        case WM_RBUTTONDBLCLK:
            if (!Input.InputLocked) Input.RightDoubleClicked = 1;
            if (Engine.ClipCursorMode == 1) {
                if (Input.CursorClipped) {
                    FreeCursor();
                } else {
                    ConfineCursor();
                }
            }
            return 0;
        case WM_HOTKEY:
            if (!Input.InputLocked) {
                if (wParam == kHotKeyPrintScreen) KeyPress(44);
                if (wParam == kHotKeyAltPrintScreen) KeyPress(257);
            }
            return 0;
        case MM_MCINOTIFY:
            HandleMidiEndReport(wParam);
            break;
        default:
            break;
    }
    return DefWindowProc(message, wParam, lParam);
}
