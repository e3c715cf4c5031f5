// The entry of a program on the real backend: a window on the desktop, the real clock.
#include "shell/desktop_entry.h"

#include <cstdio>
#include <string>

#include "platform/window.h"

int RunOnDesktop(int argc, char** argv, const char* name, StartupProcedure startup, const char* caption) {
    if (!platform::Initialise()) {
        std::fprintf(stderr, "%s: %s\n", name, platform::ErrorText());
        return 1;
    }
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += ' ';
        commandLine += argv[i];
    }
    constexpr int kShowNormal = 1;
    const int result = WinMain(commandLine.c_str(), kShowNormal, startup, caption);
    platform::Shutdown();
    return result;
}
