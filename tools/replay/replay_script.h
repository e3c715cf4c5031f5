// The replay runner's command line and its key script.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace replay {

struct KeyEvent {
    int64_t frame = 0;  // the frame (1 = first) before which the message is delivered
    bool down = false;
    int virtualKey = 0;
};

struct MouseEvent {
    int64_t frame = 0;  // the frame (1 = first) before which the mouse moves
    int x = 0, y = 0;   // in the client area
};

struct Options {
    std::string dataDir;  // empty: stay in the current directory
    int64_t frames = 60;
    unsigned seed = 1;
    int depth = 16;
    std::string inputPath, statePath, tracePath, shotPath;
    std::string audioPath;  // the mixer's output of the run, as a WAVE file
};

// Parses argv; false with a one-line reason in `error` on an unknown option, a missing value or a bad number.
bool ParseOptions(int argc, char** argv, Options& out, std::string& error);

// Parses the key script: lines "FRAME down VK" or "FRAME up VK", '#' starts a comment, blank lines
// are skipped. Events keep their file order within a frame. False with "line N: reason" in `error`.
bool ParseKeyScript(const std::string& text, std::vector<KeyEvent>& out, std::string& error);
// The same, also taking lines "FRAME mouse X Y" (X 0 to 799, Y 0 to 599) into `mouse`.
bool ParseKeyScript(const std::string& text, std::vector<KeyEvent>& out, std::vector<MouseEvent>& mouse,
                    std::string& error);

}  // namespace replay
