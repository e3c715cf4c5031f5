// The entry of a scene program on the desktop: RunScene and the options it takes.
#pragma once

namespace elSystem {

// How RunScene runs a scene program.
struct SceneOptions {
    bool escapeEnds = true;             // Esc ends the program (what the game does)
    const char* programName = nullptr;  // prefix of standard-error lines; null: argv[0]'s file name
};

// Runs a scene program on the desktop: platform up, 1 ms timer period held, the program's
// start-up, the loop until the window closes. Returns the exit status.
int RunScene(int argc, char** argv, const char* caption, void (*startup)(), const SceneOptions& options = {});

}  // namespace elSystem
