// libFuzzer target: the player's settings text (settings.ini). Any text leaves every setting at a
// value it can take; a refused line changes nothing; reading the whole text is reading its lines one
// after another; blanks, tabs and a carriage return around a line change nothing; a line read twice
// gives what it gave once.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/sdl/sdl_settings.h"

using platform::sdl::ApplySettingLine;
using platform::sdl::PresentPath;
using platform::sdl::Settings;

namespace {

bool SameSettings(const Settings& a, const Settings& b) {
    return a.scale == b.scale && a.fullScreen == b.fullScreen &&
           a.wholeNumberFullScreen == b.wholeNumberFullScreen && a.present == b.present &&
           a.gamepadKeys == b.gamepadKeys;
}

bool InRange(const Settings& s) {
    return s.scale >= 0 && s.scale <= 16 &&
           (s.present == PresentPath::Automatic || s.present == PresentPath::Renderer ||
            s.present == PresentPath::Surface);
}

// The text as the player's file: a start from the defaults, then the text written on first start.
const Settings& DefaultsRead() {
    static const Settings read = [] {
        Settings s;
        platform::sdl::ApplySettingsText(s, platform::sdl::DefaultSettingsText(), "defaults");
        return s;
    }();
    return read;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The lines the program writes on first start are all taken and give the defaults.
    if (!SameSettings(DefaultsRead(), Settings{})) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    // Line by line, with the checks of a single line.
    Settings byLine;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;

        const Settings before = byLine;
        const bool taken = ApplySettingLine(byLine, line);
        if (!taken && !SameSettings(before, byLine)) std::abort();
        if (!InRange(byLine)) std::abort();

        Settings again = byLine;
        if (ApplySettingLine(again, line) != taken || !SameSettings(again, byLine)) std::abort();

        Settings padded = before;
        if (ApplySettingLine(padded, " \t" + line + "\t \r") != taken || !SameSettings(padded, byLine))
            std::abort();
    }

    Settings whole;
    platform::sdl::ApplySettingsText(whole, text, "fuzz.ini");
    if (!SameSettings(whole, byLine)) std::abort();
    return 0;
}
