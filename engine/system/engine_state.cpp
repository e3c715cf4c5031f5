// Engine start values, the guarded cursor switch and the exit procedure.
#include "engine/system/engine_state.h"

#include "engine/draw/display.h"
#include "engine/sound/sound_device.h"
#include "engine/system/error_report.h"
#include "engine/system/frame_pacing.h"
#include "engine/system/input.h"
#include "engine/text/fonts.h"
#include "platform/clock.h"
#include "platform/window.h"

EngineState Engine;

void EngineInit() {
    Engine = EngineState{};
    Engine.NextBlinkTime = platform::Ticks() + 1000u;
    Input = InputState{};
    Errors = ErrorState{};
    Pacing.FrameStep = 0.0f;
    Pacing.FrameTimer = platform::Ticks();
}

void SetCursorShown(bool shown) {
    if (shown && Engine.CursorShown == 0) {
        platform::ShowCursor(true);
        Engine.CursorShown = 1;
    } else if (!shown && Engine.CursorShown == 1) {
        platform::ShowCursor(false);
        Engine.CursorShown = 0;
    }
}

int ExitProgram() {
    if (Engine.ExitDone) return 1;
    Engine.ExitDone = 1;
    FreeCursor();
    ReleaseFonts();
    elSound::Release();
    ReleaseDisplay();
    if (Engine.HaveMutex) {
        platform::ReleaseSingleInstance();
        Engine.HaveMutex = false;
    }
    if (Engine.ExitState == 0) platform::PostMessage(platform::WM_CLOSE, 0, 0);
    Engine.ExitState = 2;
    return 1;
}
