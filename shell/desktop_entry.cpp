// The entry of a program on the real backend: a window on the desktop, the real clock.
#include "shell/desktop_entry.h"

#include <cstdio>
#include <string>

#include "engine/draw/display.h"
#include "engine/system/engine_state.h"
#include "engine/system/error_report.h"
#include "platform/window.h"

namespace {

struct EntryRun {
    StartupProcedure startup = nullptr;
    const char* name = "";
    bool noDisplay = false;
};

EntryRun entry;

// The program's start-up, then the check that it gave the loop a display to show: without one
// the window would stay black and say nothing, so the program ends with a line saying why.
void CheckedStartup() {
    if (entry.startup != nullptr) entry.startup();
    // A start-up that ended the program itself (a refused question, an error it ended on) is left alone.
    if (Display.present || Engine.ExitState != 0 || Engine.ExitDone != 0) return;
    entry.noDisplay = true;
    constexpr const char* kLine = "the start-up procedure did not set up the display with elDraw::Screen";
    std::fprintf(stderr, "%s: %s\n", entry.name, kLine);
    DebugLog("%s: %s", entry.name, kLine);
    ExitProgram();
}

}  // namespace

int RunOnDesktop(int argc, char** argv, const char* name, StartupProcedure startup, const char* caption) {
    if (name == nullptr) name = "";
    if (!platform::Initialise()) {
        std::fprintf(stderr, "%s: %s\n", name, platform::ErrorText());
        return 1;
    }
    std::string commandLine;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) commandLine += ' ';
        commandLine += argv[i];
    }
    entry = EntryRun{startup, name, false};
    constexpr int kShowNormal = 1;
    const int result = WinMain(commandLine.c_str(), kShowNormal, CheckedStartup, caption);
    platform::Shutdown();
    return entry.noDisplay ? 1 : result;
}
