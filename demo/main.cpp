// eldemo's entry on the real backend: a window on the desktop, the real clock.
#include <cstdio>
#include <string>

#include "demo/demo.h"
#include "engine/system/frame_pacing.h"
#include "platform/window.h"
#include "shell/program.h"

// Holds the 1 ms timer resolution from before the entry runs until after it returns.
static TimerPeriodGuard timerPeriodGuard;

int main(int argc, char** argv) {
    if (!platform::Initialise()) {
        std::fprintf(stderr, "eldemo: %s\n", platform::ErrorText());
        return 1;
    }
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += ' ';
        commandLine += argv[i];
    }
    constexpr int kShowNormal = 1;
    int result = WinMain(commandLine.c_str(), kShowNormal, DemoStartup, kDemoCaption);
    platform::Shutdown();
    return result;
}
