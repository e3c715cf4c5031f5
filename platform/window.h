// The program's one window, its message queue, key state, cursor, message boxes and the single-instance lock.
#pragma once
#include <cstdint>

#include "platform/messages.h"

namespace platform {

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// Screen size and the frame the window system adds around a client area (0 where the window
// manager draws decorations outside the client area).
struct ScreenMetrics {
    int screenWidth = 0, screenHeight = 0;
    int borderX = 0, edgeX = 0, dialogFrameX = 0;
    int captionY = 0, borderY = 0, edgeY = 0, dialogFrameY = 0;
};

// Starts the backend (display connection). False with a one-line reason in ErrorText() when there is none.
bool Initialise();
const char* ErrorText();
// Stops the backend; the window must be gone.
void Shutdown();

ScreenMetrics GetScreenMetrics();

// Creates the main window: caption in Shift-JIS, client area of the given size with its top-left at
// (x, y) on the screen, not resizable, hidden until ShowMainWindow. False when no window could be made.
bool CreateMainWindow(const char* captionSjis, int x, int y, int clientWidth, int clientHeight,
                      WindowProcedure procedure);
bool MainWindowExists();
void ShowMainWindow(bool visible);
void SetMainWindowTopmost(bool topmost);
void RaiseMainWindow();
// Calls the window procedure with WM_DESTROY, then closes the window.
void DestroyMainWindow();
// Gives the main window a client area of this size, its middle kept where it was (the display
// set-up asks for the size of its back buffer); the new client position comes as WM_MOVE.
// False without a window.
bool SetMainWindowClientSize(int clientWidth, int clientHeight);

// Message queue. PeekMessage removes the next message (false when the queue is empty);
// key messages update the key state as they are taken.
bool PeekMessage(Message& out);
void WaitMessage();
intptr_t DispatchMessage(const Message& message);
void PostMessage(uint32_t message, uintptr_t wParam, intptr_t lParam);
void PostQuitMessage(int exitCode);
// What the system does with a message the window procedure does not handle.
intptr_t DefWindowProc(uint32_t message, uintptr_t wParam, intptr_t lParam);

// The GetKeyState bit 0x80: true while the key is down in the messages taken so far.
bool IsKeyDown(int virtualKey);

// Cursor. ShowCursor moves the display counter by one step; the cursor shows while it is >= 0.
void ShowCursor(bool show);
void HideCursorNow();  // SetCursor (NULL)
void GetCursorScreenPos(int& x, int& y);
bool SetCursorScreenPos(int x, int y);
void ConfineCursor(const Rect* screenRect);  // nullptr frees it

// Message box styles and answers.
enum : uint32_t {
    MB_OK = 0x0,
    MB_YESNO = 0x4,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_SYSTEMMODAL = 0x1000,
};
enum : int { IDOK = 1, IDYES = 6, IDNO = 7 };

// Shows a modal box (texts in Shift-JIS) and returns the button pressed. Never blocks without a display.
int MessageBox(const char* textSjis, const char* captionSjis, uint32_t style);
void Beep();

void SetImeEnabled(bool enabled);

// Single instance: true when this is the first copy. A second copy asks the first to raise its window.
bool AcquireSingleInstance(const char* nameSjis);
void ReleaseSingleInstance();

}  // namespace platform
