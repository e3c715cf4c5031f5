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

// A joystick line: stick 1 or 2 (index 0 or 1 here) plugged in with a reading, or unplugged.
struct JoystickEvent {
    int64_t frame = 0;  // the frame (1 = first) before which the stick reads this
    int joystick = 0;   // 0 for stick 1, 1 for stick 2
    bool present = false;
    uint32_t x = 32767, y = 32767;  // axes 0 (left, up) to 65535 (right, down)
    uint32_t buttons = 0;           // bit n: button n + 1 held
};

// Everything a script can hold.
struct Script {
    std::vector<KeyEvent> keys;
    std::vector<MouseEvent> mouse;
    std::vector<JoystickEvent> joysticks;
};

struct Options {
    std::string dataDir;  // empty: stay in the current directory
    int64_t frames = 60;
    unsigned seed = 1;
    int depth = 16;
    std::string inputPath, statePath, tracePath, shotPath;
    std::string audioPath;    // the mixer's output of the run, as a WAVE file
    bool soundDevice = true;  // false: the run starts as on a machine without a sound device
};

// Parses argv; false with a one-line reason in `error` on an unknown option, a missing value or a bad number.
bool ParseOptions(int argc, char** argv, Options& out, std::string& error);

// Parses the key script: lines "FRAME down VK" or "FRAME up VK", '#' starts a comment, blank lines
// are skipped. Events keep their file order within a frame. False with "line N: reason" in `error`.
bool ParseKeyScript(const std::string& text, std::vector<KeyEvent>& out, std::string& error);
// The same, also taking lines "FRAME mouse X Y" (X 0 to 799, Y 0 to 599) into `mouse`.
bool ParseKeyScript(const std::string& text, std::vector<KeyEvent>& out, std::vector<MouseEvent>& mouse,
                    std::string& error);
// The same, also taking joystick lines: "FRAME joy N X Y BUTTONS" plugs stick N (1 or 2) in if it is
// not and sets its reading (X and Y 0 to 65535, BUTTONS the button bits, decimal or 0x hex);
// "FRAME joy N off" unplugs it. Mouse lines only when `withMouse`. Each kind keeps file order
// within a frame.
bool ParseScript(const std::string& text, bool withMouse, Script& out, std::string& error);

}  // namespace replay
