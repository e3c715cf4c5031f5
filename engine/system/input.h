// Keyboard and mouse state kept by the window procedure, key polling, input lock and cursor confinement.
#pragma once
#include <cstdint>

// Four-state record of one key, kept by the caller: 0 up, 1 pressed since the last poll,
// 3 held, 2 released since the last poll.
using KeyState = int32_t;

struct InputState {
    int32_t CurrentKey = 0;
    int32_t LastKey = 0;
    int32_t ViewerKey = 0;
    int32_t LockedKey = 0;
    int32_t InputLocked = 0;
    int32_t AltKeyMode = 0;
    int32_t ShiftToggle = 0;
    int32_t CountedKey = 0;
    int32_t CountedKeyReleases = 0;
    int32_t MouseX = 0, MouseY = 0;
    int32_t LeftDown = 0, RightDown = 0;
    int32_t LeftClicked = 0, RightClicked = 0;
    int32_t LeftDoubleClicked = 0, RightDoubleClicked = 0;
    int32_t LeftPressedOnce = 0, RightPressedOnce = 0;
    int32_t HeldButton = 0;
    int32_t LastClick = 0;
    int32_t LockedLeftDown = 0;
    int32_t ClientOriginX = 0, ClientOriginY = 0;
    int32_t CursorClipped = 0;
    // WaitForRelease's own progress: 0 idle, 1 armed, 2 caught, and the caught code.
    int32_t ReleasePhase = 0;
    int32_t ReleaseCode = 0;
};

extern InputState Input;

void PollKey(int virtualKey, KeyState* state);
// Codes ended by 0: 1 left button, 2 right button, others virtual keys. Returns the code once one
// of them has been pressed and released, else 0; call once per frame.
int WaitForRelease(const int* codes);
template <typename... Codes>
int WaitForRelease(Codes... codes) {
    const int list[] = {static_cast<int>(codes)..., 0};
    return WaitForRelease(list);
}
void LockInput();
void UnlockInput();
void SetAltKeyMode(int mode);
void SetCountedKey(int virtualKey);
int GetCountedKeyReleases();
void ConfineCursor();
void FreeCursor();
int IsCursorClipped();
int SetCursorInClient(int x, int y);
