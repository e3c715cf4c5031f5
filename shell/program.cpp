// The program's entry: start values, single instance, the centred window, start-up, and the loop
// that handles one message per turn or, with an empty queue, runs one frame of the current scene.
#include "shell/program.h"

#include <cstdlib>
#include <ctime>

#include "engine/draw/display.h"
#include "engine/draw/refresh.h"
#include "engine/system/paths.h"
#include "platform/clock.h"
#include "platform/window.h"
#include "engine/system/engine_state.h"
#include "engine/system/frame_pacing.h"
#include "engine/system/input.h"
#include "engine/system/scenes.h"
#include "shell/window_procedure.h"

namespace {

constexpr int kShowHidden = 0;  // SW_HIDE

bool fixedSeedSet = false;
unsigned fixedSeed = 0;

bool SingleInstanceGuard(const char* title) {
    char name[256];
    std::snprintf(name, sizeof name, "%s:ElMutex", title);
    if (!platform::AcquireSingleInstance(name)) return false;
    Engine.HaveMutex = true;
    return true;
}

bool CreateCentredWindow(const char* title) {
    platform::ScreenMetrics m = platform::GetScreenMetrics();
    const int width = m.borderX + Engine.StartupWidth + m.edgeX + m.dialogFrameX;
    const int height = m.captionY + Engine.StartupHeight + m.edgeY + m.borderY + m.dialogFrameY;
    const int x = (m.screenWidth - width) / 2;
    const int y = (m.screenHeight - height) / 2;
    // The window system places the client area inside the frame it draws itself.
    return platform::CreateMainWindow(title, x + m.borderX + m.edgeX, y + m.captionY + m.edgeY,
                                      Engine.StartupWidth, Engine.StartupHeight, MainWindowProcedure);
}

void AdvanceBlink() {
    uint32_t now = platform::Ticks();
    if (static_cast<int32_t>(now - Engine.NextBlinkTime) < 0) return;  // wrap-safe: not yet
    Engine.BlinkFlag ^= 1;
    Engine.NextBlinkTime = platform::Ticks() + (Engine.BlinkFlag == 1 ? 1000u : 200u);
}

void UpdateCursorVisibility() {
    if (Engine.FullScreen != 0 || Engine.MessageBoxOpen != 0) return;
    int x = 0, y = 0;
    platform::GetCursorScreenPos(x, y);
    // The client area is the display's size once it is set up, the start-up size before.
    const int width = Display.present ? Display.ScreenWidth : Engine.StartupWidth;
    const int height = Display.present ? Display.ScreenHeight : Engine.StartupHeight;
    const bool inside = x >= Input.ClientOriginX && y >= Input.ClientOriginY &&
                        x < Input.ClientOriginX + width && y < Input.ClientOriginY + height;
    if (inside && Engine.CursorShown == 1) SetCursorShown(false);
    if (!inside && Engine.CursorShown == 0) SetCursorShown(true);
}

void RunFrame() {
    MeasureFrameStep();
    if (Engine.PreviousScene == 0 && Engine.Scene != 0) Engine.PreviousScene = Engine.Scene;

    if (Transition.fadeDirection == 1) {
        Refresh();
        if (Transition.fadeDirection == 0) Engine.Scene = Engine.NextScene;
    } else if (Engine.Scene != 0) {
        const bool sceneHasFrame = Engine.Scene > 0 && Engine.Scene < kSceneCount && Scenes.frames[Engine.Scene];
        RunSceneFrame(Engine.Scene);
        if (sceneHasFrame) WaitFrame();
    }

    if (Engine.Scene != Engine.PreviousScene && (Wipe.wipeState == 1 || Wipe.wipeState == 2)) {
        SetClipRect(Wipe.savedLeft, Wipe.savedTop, Wipe.savedRight, Wipe.savedBottom);
        Wipe.wipeState = 0;
    }
    Engine.PreviousScene = Engine.Scene;

    AdvanceBlink();
    Input.LeftClicked = Input.RightClicked = 0;
    Input.LeftDoubleClicked = Input.RightDoubleClicked = 0;
    UpdateCursorVisibility();
}

}  // namespace

void SetRandomSeedForReplay(unsigned seed) {
    fixedSeedSet = true;
    fixedSeed = seed;
}

bool RunLoopTurn() {
    platform::Message message;
    if (platform::PeekMessage(message)) {
        if (message.message == platform::WM_QUIT) return false;
        platform::DispatchMessage(message);
        return true;
    }
    if (Engine.AppActive == 0 && (Engine.WindowFlags & 2) == 0) {
        platform::WaitMessage();
        return true;
    }
    RunFrame();
    return true;
}

int WinMain(const char* commandLine, int showCommand, StartupProcedure startup, const char* caption) {
    EngineInit();
    if (!SingleInstanceGuard(caption)) return 0;
    StoreCommandLine(commandLine);

    Engine.WindowFlags = 3;
    Engine.FullScreen = 0;
    Engine.StartupWidth = 800;
    Engine.StartupHeight = 600;
    if (!CreateCentredWindow(caption)) return 0;
    Engine.HaveWindow = true;

    platform::ShowMainWindow((Engine.WindowFlags & 4) == 0 && showCommand != kShowHidden);
    // Bit 1 keeps the normal Z order; without it the window stays on top.
    if (Engine.FullScreen == 0) platform::SetMainWindowTopmost((Engine.WindowFlags & 1) == 0);

    std::srand(fixedSeedSet ? fixedSeed : static_cast<unsigned>(std::time(nullptr)));
    SetImeEnabled(0);
    if (startup != nullptr) startup();
    ResetFrameTimer();

    while (RunLoopTurn()) {
    }
    return 0;
}
