// Keyboard and mouse state kept by the window procedure, key polling, input lock and cursor confinement.
#pragma once
#include <el/input.h>

#include <cstdint>

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
