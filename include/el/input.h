// Keyboard and mouse for scene code: key polling into four-state records, virtual-key codes, the
// wait for a release, the input lock, counted keys, the mouse and the cursor.
#pragma once
#include <cstdint>

// Four-state record of one key, kept by the caller (values in elKeyState).
using KeyState = int32_t;

// The states PollKey leaves in a KeyState.
namespace elKeyState {
constexpr KeyState Up = 0;
constexpr KeyState Pressed = 1;   // went down since the last poll
constexpr KeyState Released = 2;  // went up since the last poll
constexpr KeyState Held = 3;
}  // namespace elKeyState

// Virtual-key codes of PollKey, WaitForRelease and SetCountedKey.
namespace elKey {
constexpr int LeftButton = 1;   // WaitForRelease only: the left mouse button
constexpr int RightButton = 2;  // WaitForRelease only: the right mouse button
constexpr int Backspace = 8;
constexpr int Tab = 9;
constexpr int Return = 13;
constexpr int Shift = 16;
constexpr int Control = 17;
constexpr int Alt = 18;
constexpr int Pause = 19;
constexpr int CapsLock = 20;
constexpr int Escape = 27;
constexpr int Space = 32;
constexpr int PageUp = 33;
constexpr int PageDown = 34;
constexpr int End = 35;
constexpr int Home = 36;
constexpr int Left = 37;
constexpr int Up = 38;
constexpr int Right = 39;
constexpr int Down = 40;
constexpr int PrintScreen = 44;
constexpr int Insert = 45;
constexpr int Delete = 46;
constexpr int Digit0 = '0';
constexpr int Digit1 = '1';
constexpr int Digit2 = '2';
constexpr int Digit3 = '3';
constexpr int Digit4 = '4';
constexpr int Digit5 = '5';
constexpr int Digit6 = '6';
constexpr int Digit7 = '7';
constexpr int Digit8 = '8';
constexpr int Digit9 = '9';
constexpr int A = 'A';
constexpr int B = 'B';
constexpr int C = 'C';
constexpr int D = 'D';
constexpr int E = 'E';
constexpr int F = 'F';
constexpr int G = 'G';
constexpr int H = 'H';
constexpr int I = 'I';
constexpr int J = 'J';
constexpr int K = 'K';
constexpr int L = 'L';
constexpr int M = 'M';
constexpr int N = 'N';
constexpr int O = 'O';
constexpr int P = 'P';
constexpr int Q = 'Q';
constexpr int R = 'R';
constexpr int S = 'S';
constexpr int T = 'T';
constexpr int U = 'U';
constexpr int V = 'V';
constexpr int W = 'W';
constexpr int X = 'X';
constexpr int Y = 'Y';
constexpr int Z = 'Z';
constexpr int Numpad0 = 96;
constexpr int Numpad1 = 97;
constexpr int Numpad2 = 98;
constexpr int Numpad3 = 99;
constexpr int Numpad4 = 100;
constexpr int Numpad5 = 101;
constexpr int Numpad6 = 102;
constexpr int Numpad7 = 103;
constexpr int Numpad8 = 104;
constexpr int Numpad9 = 105;
constexpr int F1 = 112;
constexpr int F2 = 113;
constexpr int F3 = 114;
constexpr int F4 = 115;
constexpr int F5 = 116;
constexpr int F6 = 117;
constexpr int F7 = 118;
constexpr int F8 = 119;
constexpr int F9 = 120;
constexpr int F10 = 121;
constexpr int F11 = 122;
constexpr int F12 = 123;
}  // namespace elKey

// Brings a key's record one step on: Up, then Pressed once, Held while down, Released once.
void PollKey(int virtualKey, KeyState* state);
// Codes ended by 0: 1 left button, 2 right button, others virtual keys. Returns the code once one
// of them has been pressed and released, else 0; call once per frame.
int WaitForRelease(const int* codes);
// The same with the codes as arguments: WaitForRelease(elKey::Return, elKey::Space).
template <typename... Codes>
int WaitForRelease(Codes... codes) {
    const int list[] = {static_cast<int>(codes)..., 0};
    return WaitForRelease(list);
}
// Hides every key from the scene (PollKey reads them as up) until UnlockInput.
void LockInput();
// Ends LockInput.
void UnlockInput();
// System keys (with Alt): 0 swallows them all (Alt+F4 does not close), 2 swallows Alt alone, other
// values pass them on as keys.
void SetAltKeyMode(int mode);
// The key whose releases GetCountedKeyReleases counts (0: none).
void SetCountedKey(int virtualKey);
// The releases of the counted key since the last call.
int GetCountedKeyReleases();
// Keeps the mouse cursor inside the window's client area.
void ConfineCursor();
// Lets the cursor leave the client area again.
void FreeCursor();
// 1 while the cursor is confined.
int IsCursorClipped();
// Moves the cursor to (x, y) of the client area.
int SetCursorInClient(int x, int y);
// The mouse position in the client area.
void GetMousePosition(int* x, int* y);
// 1 while the left (button 1) or right (button 2) mouse button is down.
int IsMouseButtonDown(int button);
// The key held down while the picture viewer shows (0: none); the viewer takes every key.
int GetViewerKey();
