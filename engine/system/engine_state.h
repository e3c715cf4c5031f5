// Engine-wide state of elSystem: window flags, scene numbers, exit state, blink flag.
#pragma once
#include <cstdint>

constexpr const char* kWindowTitle = "ミルカネット！";
constexpr const char* kWindowClassName = "DEFAULT";
constexpr int kCommandLineSize = 1024;

struct EngineState {
    // bit 1: keep the normal Z order; bit 2: run frames while inactive; bit 4: keep the window hidden
    int32_t WindowFlags = 0;
    int32_t FullScreen = 1;
    int32_t ClipCursorMode = 0;
    int32_t StartupWidth = 800;
    int32_t StartupHeight = 600;
    int32_t AppActive = 0;
    int32_t CursorShown = 1;
    int32_t MessageBoxOpen = 0;
    int32_t Scene = 0;
    int32_t PreviousScene = 0;
    int32_t NextScene = 0;
    int32_t ExitState = 0;  // 0 running, 1 close started by the window, 2 exit procedure done
    int32_t ExitDone = 0;
    int32_t BlinkFlag = 1;
    uint32_t NextBlinkTime = 0;
    bool HaveWindow = false;
    bool HaveMutex = false;
    char CommandLine[kCommandLineSize] = {};
};

extern EngineState Engine;

// Gives every item of the engine state, the frame clock and the input state its start value.
void EngineInit();

// Shows or hides the system cursor by exactly one step, guarded by CursorShown.
void SetCursorShown(bool shown);

// The exit procedure: frees the cursor, the font record, the sound device and the display, releases
// the single-instance lock and closes the window. Runs once; returns 1.
int ExitProgram();
