// Command line and key script parsing of the replay runner.
#include "replay_script.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <sstream>
#include <string_view>
#include <vector>

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
                           name == "--audio" || name == "--sound-device";
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
        } else if (name == "--sound-device") {
            if (value != "on" && value != "off") {
                error = "bad sound device '" + value + "' (on or off)";
                return false;
            }
            out.soundDevice = value == "on";
        } else {
            out.audioPath = value;
        }
    }
    return true;
}

namespace {

// Button bits: a whole decimal number, or 0x (or 0X) and hex digits, up to 32 bits.
bool ParseButtons(std::string_view text, uint32_t& out) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    if (text.empty()) return false;
    uint64_t value = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (ec != std::errc() || end != text.data() + text.size() || value > 0xFFFFFFFFull) return false;
    out = static_cast<uint32_t>(value);
    return true;
}

// The words after "FRAME joy": "N off" or "N X Y BUTTONS". False with the reason after "line N: ".
bool ParseJoystickLine(const std::vector<std::string>& words, JoystickEvent& event, std::string& reason) {
    int64_t stick = 0, x = 0, y = 0;
    if (!ParseNumber(words[0], 1, 2, stick)) {
        reason = "bad joystick '" + words[0] + "' (1 or 2)";
        return false;
    }
    event.joystick = static_cast<int>(stick) - 1;
    if (words.size() == 2) {
        event.present = false;
        return true;
    }
    if (!ParseNumber(words[1], 0, 65535, x) || !ParseNumber(words[2], 0, 65535, y)) {
        reason = "bad joystick position '" + words[1] + " " + words[2] + "' (0 to 65535)";
        return false;
    }
    if (!ParseButtons(words[3], event.buttons)) {
        reason = "bad buttons '" + words[3] + "' (0 to 0xFFFFFFFF)";
        return false;
    }
    event.present = true;
    event.x = static_cast<uint32_t>(x);
    event.y = static_cast<uint32_t>(y);
    return true;
}

// Mouse and joystick lines are taken only when their output is given; otherwise they are refused
// like any other unknown line.
bool ParseLines(const std::string& text, std::vector<KeyEvent>& out, std::vector<MouseEvent>* mouseOut,
                std::vector<JoystickEvent>* joyOut, std::string& error) {
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
        const bool hasAction = static_cast<bool>(words >> action);
        if (hasAction && action == "joy" && joyOut != nullptr) {
            std::vector<std::string> rest;
            for (std::string word; words >> word;) rest.push_back(word);
            if (!(rest.size() == 2 && rest[1] == "off") && rest.size() != 4) {
                error = where + "expected 'FRAME joy N X Y BUTTONS' or 'FRAME joy N off'";
                return false;
            }
            if (!ParseNumber(frameWord, 1, 100000000, number)) {
                error = where + "bad frame '" + frameWord + "'";
                return false;
            }
            JoystickEvent joystick;
            joystick.frame = number;
            std::string reason;
            if (!ParseJoystickLine(rest, joystick, reason)) {
                error = where + reason;
                return false;
            }
            joyOut->push_back(joystick);
            continue;
        }
        // A mouse line carries two numbers; a key line exactly one.
        std::string yWord;
        const bool mouse = hasAction && action == "mouse" && mouseOut != nullptr;
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
    const auto byFrame = [](const auto& a, const auto& b) { return a.frame < b.frame; };
    std::stable_sort(out.begin(), out.end(), byFrame);
    if (mouseOut != nullptr) std::stable_sort(mouseOut->begin(), mouseOut->end(), byFrame);
    if (joyOut != nullptr) std::stable_sort(joyOut->begin(), joyOut->end(), byFrame);
    return true;
}

}  // namespace

bool ParseKeyScript(const std::string& text, std::vector<KeyEvent>& out, std::string& error) {
    return ParseLines(text, out, nullptr, nullptr, error);
}

bool ParseKeyScript(const std::string& text, std::vector<KeyEvent>& out, std::vector<MouseEvent>& mouse,
                    std::string& error) {
    return ParseLines(text, out, &mouse, nullptr, error);
}

bool ParseScript(const std::string& text, bool withMouse, Script& out, std::string& error) {
    return ParseLines(text, out.keys, withMouse ? &out.mouse : nullptr, &out.joysticks, error);
}

}  // namespace replay
