// eldemo's entry on the real backend: a window on the desktop, the real clock.
#include "demo/demo.h"
#include "engine/system/frame_pacing.h"
#include "shell/desktop_entry.h"

// Holds the 1 ms timer resolution from before the entry runs until after it returns.
static TimerPeriodGuard timerPeriodGuard;

int main(int argc, char** argv) { return RunOnDesktop(argc, argv, "eldemo", DemoStartup, kDemoCaption); }
