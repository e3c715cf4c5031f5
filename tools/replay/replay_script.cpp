// Command line and key script parsing of the replay runner.
#include "replay_script.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <sstream>
#include <string_view>

namespace replay {
namespace {

// A whole decimal number within [low, high]; no sign, no spaces, nothing after it.
bool ParseNumber(std::string_view text, int64_t low, int64_t high, int64_t& out) {
    if (text.empty()) return false;
    int64_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) return false;
    if (value < low || value > high) return false;
    out = value;
    return true;
}

}  // namespace

bool ParseOptions(int argc, char** argv, Options& out, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        const bool known = name == "--data" || name == "--frames" || name == "--seed" || name == "--input" ||
                           name == "--state" || name == "--trace" || name == "--shot" || name == "--depth" ||
                           name == "--audio";
        if (!known) {
            error = "unknown option '" + name + "'";
            return false;
        }
        if (i + 1 >= argc) {
            error = "option " + name + " needs a value";
            return false;
        }
        const std::string value = argv[++i];
        int64_t number = 0;
        if (name == "--data") {
            out.dataDir = value;
        } else if (name == "--frames") {
            if (!ParseNumber(value, 0, 100000000, number)) {
                error = "bad frame count '" + value + "'";
                return false;
            }
            out.frames = number;
        } else if (name == "--seed") {
            if (!ParseNumber(value, 0, 0xFFFFFFFFll, number)) {
                error = "bad seed '" + value + "'";
                return false;
            }
            out.seed = static_cast<unsigned>(number);
        } else if (name == "--depth") {
            if (value != "16" && value != "32") {
                error = "bad depth '" + value + "' (16 or 32)";
                return false;
            }
            out.depth = value == "16" ? 16 : 32;
        } else if (name == "--input") {
            out.inputPath = value;
        } else if (name == "--state") {
            out.statePath = value;
        } else if (name == "--trace") {
            out.tracePath = value;
        } else if (name == "--shot") {
            out.shotPath = value;
        } else {
            out.audioPath = value;
        }
    }
    return true;
}

namespace {

// Mouse lines are taken only when `mouseOut` is given; otherwise they are refused like any other
// unknown line.
bool ParseScript(const std::string& text, std::vector<KeyEvent>& out, std::vector<MouseEvent>* mouseOut,
                 std::string& error) {
    std::istringstream lines(text);
    std::string line;
    int lineNumber = 0;
    while (std::getline(lines, line)) {
        ++lineNumber;
        if (auto hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        std::istringstream words(line);
        std::string frameWord, action, keyWord, extra;
        if (!(words >> frameWord)) continue;  // blank or comment only
        KeyEvent event;
        int64_t number = 0;
        const std::string where = "line " + std::to_string(lineNumber) + ": ";
        // A mouse line carries two numbers; a key line exactly one.
        std::string yWord;
        const bool mouse = (words >> action) && action == "mouse" && mouseOut != nullptr;
        if (!(words >> keyWord) || (mouse && !(words >> yWord)) || (words >> extra)) {
            error = where + (mouse ? "expected 'FRAME mouse X Y'" : "expected 'FRAME down|up VK'");
            return false;
        }
        if (!ParseNumber(frameWord, 1, 100000000, number)) {
            error = where + "bad frame '" + frameWord + "'";
            return false;
        }
        event.frame = number;
        if (mouse) {
            int64_t x = 0, y = 0;
            if (!ParseNumber(keyWord, 0, 799, x) || !ParseNumber(yWord, 0, 599, y)) {
                error = where + "bad mouse position '" + keyWord + " " + yWord + "' (inside 800 x 600)";
                return false;
            }
            mouseOut->push_back({event.frame, static_cast<int>(x), static_cast<int>(y)});
            continue;
        }
        if (action != "down" && action != "up") {
            error = where + "expected 'down' or 'up', got '" + action + "'";
            return false;
        }
        event.down = action == "down";
        if (!ParseNumber(keyWord, 1, 255, number)) {
            error = where + "bad virtual key '" + keyWord + "'";
            return false;
        }
        event.virtualKey = static_cast<int>(number);
        out.push_back(event);
    }
    std::stable_sort(out.begin(), out.end(),
                     [](const KeyEvent& a, const KeyEvent& b) { return a.frame < b.frame; });
    if (mouseOut != nullptr)
        std::stable_sort(mouseOut->begin(), mouseOut->end(),
                         [](const MouseEvent& a, const MouseEvent& b) { return a.frame < b.frame; });
    return true;
}

}  // namespace

bool ParseKeyScript(const std::string& text, std::vector<KeyEvent>& out, std::string& error) {
    return ParseScript(text, out, nullptr, error);
}

bool ParseKeyScript(const std::string& text, std::vector<KeyEvent>& out, std::vector<MouseEvent>& mouse,
                    std::string& error) {
    return ParseScript(text, out, &mouse, error);
}

}  // namespace replay
