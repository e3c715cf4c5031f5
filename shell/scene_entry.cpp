// elSystem::RunScene: a scene program's whole main on the desktop entry, with the 1 ms timer
// period held for the run and Esc ending the program or not as the scene asks.
#include <el/entry.h>

#include <cstring>

#include "engine/system/frame_pacing.h"
#include "shell/desktop_entry.h"
#include "shell/window_procedure.h"

namespace elSystem {

int RunScene(int argc, char** argv, const char* caption, void (*startup)(), const SceneOptions& options) {
    const char* name = options.programName;
    if (name == nullptr) {
        name = argc > 0 && argv != nullptr && argv[0] != nullptr ? argv[0] : "";
        if (const char* slash = std::strrchr(name, '/')) name = slash + 1;
    }
    // Without a caption the window and its single-instance lock take the program's name.
    if (caption == nullptr || caption[0] == '\0') caption = name;
    TimerPeriodGuard timerPeriod;
    const bool escapeEnded = EscapeEnds();
    SetEscapeEnds(options.escapeEnds);
    const int status = RunOnDesktop(argc, argv, name, startup, caption);
    SetEscapeEnds(escapeEnded);
    return status;
}

}  // namespace elSystem
