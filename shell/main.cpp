// The game's entry on the real backend: a window on the desktop, the real clock.
#include "engine/system/engine_state.h"
#include "engine/system/frame_pacing.h"
#include "game/game_startup.h"
#include "shell/desktop_entry.h"

// Holds the 1 ms timer resolution from before the entry runs until after it returns.
static TimerPeriodGuard timerPeriodGuard;

int main(int argc, char** argv) { return RunOnDesktop(argc, argv, "milkanet", GameStartup, kWindowTitle); }
