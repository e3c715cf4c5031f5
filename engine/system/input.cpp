// Key polling, wait-for-release, input lock, counted key and cursor confinement.
#include "engine/system/input.h"

#include "engine/draw/display.h"
#include "engine/draw/refresh.h"
#include "engine/system/engine_state.h"
#include "platform/window.h"

InputState Input;

void PollKey(int virtualKey, KeyState* state) {
    if (state == nullptr) return;
    const bool down = platform::IsKeyDown(virtualKey);
    if (down) {
        *state = (*state == 0) ? 1 : 3;
    } else {
        *state = (*state == 1 || *state == 3) ? 2 : 0;
    }
    // Fades, the picture viewer and locked input hide every key from the scene.
    if (Transition.fadeStep != 0 || Viewer.viewerOn || Input.InputLocked == 1) *state = 0;
}

static bool IsButtonCode(int code) {
    return code == 1 || code == 2;
}

int WaitForRelease(const int* codes) {
    static const int kNoCodes[] = {0};
    if (codes == nullptr) codes = kNoCodes;
    if (Input.ReleasePhase == 0 && Input.CurrentKey == 0 && Input.HeldButton == 0) Input.ReleasePhase = 1;

    if (Input.ReleasePhase == 1) {
        for (const int* code = codes; *code != 0; ++code) {
            if (*code == Input.LastKey || *code == Input.LastClick) {
                Input.ReleaseCode = *code;
                Input.ReleasePhase = 2;
                break;
            }
        }
    }

    if (Input.ReleasePhase == 2) {
        const int caught = Input.ReleaseCode;
        const bool button = IsButtonCode(caught);
        // Another press came in between: this one no longer counts.
        if ((!button && Input.LastKey != caught) || (button && Input.LastClick != caught))
            Input.ReleasePhase = 0;
        if ((!button && Input.CurrentKey == 0) || (button && Input.HeldButton == 0)) {
            Input.ReleasePhase = 0;
            Input.LastKey = 0;
            Input.LastClick = 0;
            return caught;
        }
    }
    return 0;
}

void LockInput() {
    Input.InputLocked = 1;
}

void UnlockInput() {
    Input.InputLocked = 0;
    Input.CurrentKey = 0;
}

void SetAltKeyMode(int mode) {
    Input.AltKeyMode = mode;
}

void SetCountedKey(int virtualKey) {
    Input.CountedKey = virtualKey;
    Input.CountedKeyReleases = 0;
}

int GetCountedKeyReleases() {
    return Input.CountedKeyReleases;
}

void ConfineCursor() {
    platform::Rect area;
    if (Engine.FullScreen) {
        area = {0, 0, Display.ScreenWidth, Display.ScreenHeight};
    } else {
        area = {Input.ClientOriginX, Input.ClientOriginY, Input.ClientOriginX + Display.ScreenWidth,
                Input.ClientOriginY + Display.ScreenHeight};
    }
    platform::ConfineCursor(&area);
    Input.CursorClipped = 1;
}

void FreeCursor() {
    platform::ConfineCursor(nullptr);
    Input.CursorClipped = 0;
}

int IsCursorClipped() {
    return Input.CursorClipped;
}

int SetCursorInClient(int x, int y) {
    return platform::SetCursorScreenPos(x + Input.ClientOriginX, y + Input.ClientOriginY) ? 1 : 0;
}
