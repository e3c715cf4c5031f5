// The replay runner for any scene program: its own start-up, loop and window procedure on the
// headless backend with a virtual clock and a fixed seed, fed keys, mouse moves and joystick readings
// from a script, writing the program's state, a per-frame trace and the last picture.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace replay {

// What a program brings to the runner.
struct Program {
    const char* name;     // in messages and in the name of the private lock folder
    const char* caption;  // the window caption and single-instance lock handed to the entry
    void (*startup)();    // the program's own start-up
    // Frames the program has run so far: the keys of frame N + 1 are delivered once it says N, and
    // the exit procedure starts once it reaches the frame count. Null: the runner counts the scene
    // frames the engine runs.
    int64_t (*framesDone)() = nullptr;
    // One JSON object of the program's state, with the errors reported so far; no line end. Null:
    // the runner writes {"frame":N,"errors":[...]} with the frames done and the errors.
    void (*writeState)(FILE* out, const std::vector<std::string>& errors) = nullptr;
    // Whether the script may move the mouse ("FRAME mouse X Y"); a program without it refuses such lines.
    // Joystick lines ("FRAME joy N ...") are taken for every program.
    bool mouseInScript = false;
    // Whether Esc ends the program, as elSystem::SceneOptions::escapeEnds says on the desktop.
    bool escapeEnds = true;
};

// Parses the command line and runs the program. Exit status: 0 done, 1 the run or an output
// failed, 2 bad command line or unreadable input.
int RunReplay(const Program& program, int argc, char** argv);

}  // namespace replay
