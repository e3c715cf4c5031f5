// The headless window: messages come from the queue and the idle hook, boxes are recorded and
// written to standard error, nothing blocks.
#include <cstdio>

#include "platform/gamepad_keys.h"
#include "platform/headless/headless.h"
#include "platform/sjis.h"
#include "platform/soft/message_queue.h"
#include "platform/soft/quit_signals.h"
#include "platform/soft/single_instance.h"

namespace platform {

namespace headless {

HeadlessState Headless;

void Reset() {
    Headless = HeadlessState{};
    Presented = PresentedFrames{};
    for (ScriptedJoystick& stick : Joysticks) stick = ScriptedJoystick{};
    queue::Reset();
}

}  // namespace headless

using headless::Headless;

bool Initialise() { return true; }
const char* ErrorText() { return ""; }
void Shutdown() {}

ScreenMetrics GetScreenMetrics() { return Headless.metrics; }

bool CreateMainWindow(const char* captionSjis, int x, int y, int clientWidth, int clientHeight,
                      WindowProcedure procedure) {
    Headless.windowExists = true;
    Headless.caption = captionSjis;
    Headless.windowX = x;
    Headless.windowY = y;
    Headless.clientWidth = clientWidth;
    Headless.clientHeight = clientHeight;
    queue::Queue.procedure = procedure;
    // The window system reports the new window's client position and activation.
    queue::Push(Message{WM_MOVE, 0, MakeLParam(x, y)});
    queue::Push(Message{WM_ACTIVATEAPP, 1, 0});
    return true;
}

bool SetMainWindowClientSize(int clientWidth, int clientHeight) {
    if (!Headless.windowExists || clientWidth < 1 || clientHeight < 1) return false;
    if (Headless.clientWidth == clientWidth && Headless.clientHeight == clientHeight) return true;
    // The middle stays where it was, the window on the screen.
    Headless.windowX += (Headless.clientWidth - clientWidth) / 2;
    Headless.windowY += (Headless.clientHeight - clientHeight) / 2;
    if (Headless.windowX < 0) Headless.windowX = 0;
    if (Headless.windowY < 0) Headless.windowY = 0;
    Headless.clientWidth = clientWidth;
    Headless.clientHeight = clientHeight;
    queue::Push(Message{WM_MOVE, 0, MakeLParam(Headless.windowX, Headless.windowY)});
    return true;
}

bool MainWindowExists() { return Headless.windowExists; }
void ShowMainWindow(bool visible) { Headless.windowVisible = visible; }
void SetMainWindowTopmost(bool topmost) { Headless.windowTopmost = topmost; }
void RaiseMainWindow() { ++Headless.raiseCount; }

void DestroyMainWindow() {
    if (!Headless.windowExists) return;
    DispatchMessage(Message{WM_DESTROY, 0, 0});
    Headless.windowExists = false;
    Headless.windowVisible = false;
}

bool PeekMessage(Message& out) {
    if (instance::TakeRaiseRequest()) RaiseMainWindow();
    // A quit signal (caught only once CatchQuitSignals ran) ends the program as the close box does.
    if (TakeQuitSignal()) queue::Push(Message{WM_CLOSE, 0, 0});
    if (queue::Queue.messages.empty() && Headless.idleHook) Headless.idleHook();
    return queue::Take(out);
}

void WaitMessage() {
    ++Headless.waitMessageCalls;
    if (queue::Queue.messages.empty() && Headless.idleHook) Headless.idleHook();
}

void ShowCursor(bool show) { Headless.cursorCounter += show ? 1 : -1; }
void HideCursorNow() { ++Headless.hideNowCount; }

void GetCursorScreenPos(int& x, int& y) {
    x = Headless.cursorX;
    y = Headless.cursorY;
}

bool SetCursorScreenPos(int x, int y) {
    Headless.cursorX = x;
    Headless.cursorY = y;
    return true;
}

void ConfineCursor(const Rect* screenRect) {
    ++Headless.confineCalls;
    Headless.cursorConfined = screenRect != nullptr;
    Headless.confineRect = screenRect ? *screenRect : Rect{};
}

int MessageBox(const char* textSjis, const char* captionSjis, uint32_t style) {
    std::fprintf(stderr, "[%s] %s\n", SjisToUtf8(captionSjis).c_str(), SjisToUtf8(textSjis).c_str());
    // As on a display: after a quit signal no box is shown, and one open when it comes is closed
    // unanswered (the boxes shown are recorded, those held back are not).
    const int unanswered = (style & MB_YESNO) ? IDNO : IDOK;
    if (QuitSignalled()) return unanswered;
    Headless.messageBoxes.push_back({textSjis, captionSjis, style});
    if (Headless.whileBoxOpen) Headless.whileBoxOpen();
    if (QuitSignalled()) return unanswered;
    return (style & MB_YESNO) ? Headless.messageBoxAnswer : IDOK;
}

void Beep() { ++Headless.beeps; }
void SetImeEnabled(bool enabled) { Headless.imeEnabled = enabled; }

// No controllers here: the switch is only remembered, so code that turns it off runs headless too.
namespace {
bool gamepadKeys = true;
}  // namespace
void SetGamepadKeys(bool on) { gamepadKeys = on; }
bool GamepadKeysOn() { return gamepadKeys; }

}  // namespace platform
