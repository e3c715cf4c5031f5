// libFuzzer target: the replay runner's key script (keys alone, and with mouse and joystick lines)
// and command line. Any text is either refused with a "line N: " reason or gives events in frame
// order with frames, keys, positions and sticks in range; any argument list
// is either refused with a reason or gives options in range.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "replay_script.h"

namespace {

void CheckScript(const std::string& text) {
    std::vector<replay::KeyEvent> events;
    std::string error;
    if (!replay::ParseKeyScript(text, events, error)) {
        if (error.rfind("line ", 0) != 0) std::abort();
        return;
    }
    if (!error.empty()) std::abort();
    size_t lines = 1;
    for (char c : text) lines += c == '\n';
    if (events.size() > lines) std::abort();
    for (size_t i = 0; i < events.size(); ++i) {
        const replay::KeyEvent& e = events[i];
        if (e.frame < 1 || e.frame > 100000000 || e.virtualKey < 1 || e.virtualKey > 255) std::abort();
        if (i > 0 && events[i - 1].frame > e.frame) std::abort();
    }
}

// The whole script form, with mouse and joystick lines: every event in range and frame order.
template <typename Event>
void CheckFrameOrder(const std::vector<Event>& events) {
    for (size_t i = 0; i < events.size(); ++i) {
        if (events[i].frame < 1 || events[i].frame > 100000000) std::abort();
        if (i > 0 && events[i - 1].frame > events[i].frame) std::abort();
    }
}

void CheckFullScript(const std::string& text) {
    replay::Script script;
    std::string error;
    if (!replay::ParseScript(text, true, script, error)) {
        if (error.rfind("line ", 0) != 0) std::abort();
        return;
    }
    CheckFrameOrder(script.keys);
    CheckFrameOrder(script.mouse);
    CheckFrameOrder(script.joysticks);
    for (const replay::MouseEvent& m : script.mouse)
        if (m.x < 0 || m.x > 799 || m.y < 0 || m.y > 599) std::abort();
    for (const replay::JoystickEvent& j : script.joysticks)
        if (j.joystick < 0 || j.joystick > 1 || j.x > 65535 || j.y > 65535) std::abort();
}

// The same bytes as an argument list, split at NUL bytes.
void CheckOptions(const std::string& text) {
    std::vector<std::string> words{"milkanet-replay"};
    std::string word;
    for (char c : text) {
        if (c == '\0') {
            words.push_back(word);
            word.clear();
        } else {
            word += c;
        }
    }
    words.push_back(word);
    std::vector<char*> argv;
    for (std::string& w : words) argv.push_back(w.data());
    argv.push_back(nullptr);
    replay::Options options;
    std::string error;
    if (!replay::ParseOptions(static_cast<int>(words.size()), argv.data(), options, error)) {
        if (error.empty()) std::abort();
        return;
    }
    if (options.frames < 0 || options.frames > 100000000) std::abort();
    if (options.depth != 16 && options.depth != 32) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckScript(text);
    CheckFullScript(text);
    CheckOptions(text);
    return 0;
}
