// The player's settings: parsing "name = value" lines, the environment overrides, the file itself.
#include "platform/sdl/sdl_settings.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/files.h"

namespace platform::sdl {

Settings Options;

namespace {

std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return std::string();
    size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool ParseBool(const std::string& value, bool& out) {
    if (value == "1" || value == "yes" || value == "on" || value == "true") {
        out = true;
        return true;
    }
    if (value == "0" || value == "no" || value == "off" || value == "false") {
        out = false;
        return true;
    }
    return false;
}

bool ApplySetting(Settings& settings, const std::string& name, const std::string& value) {
    if (name == "scale") {
        if (value == "auto") {
            settings.scale = 0;
            return true;
        }
        char* end = nullptr;
        long factor = std::strtol(value.c_str(), &end, 10);
        // The whole value is the number: a NUL byte and what follows it is not ignored.
        if (value.empty() || end != value.c_str() + value.size() || factor < 1 || factor > 16) return false;
        settings.scale = static_cast<int>(factor);
        return true;
    }
    if (name == "fullscreen") return ParseBool(value, settings.fullScreen);
    if (name == "fullscreen_scaling") {
        if (value == "integer") {
            settings.wholeNumberFullScreen = true;
        } else if (value == "aspect") {
            settings.wholeNumberFullScreen = false;
        } else {
            return false;
        }
        return true;
    }
    if (name == "present") {
        if (value == "auto") {
            settings.present = PresentPath::Automatic;
        } else if (value == "renderer") {
            settings.present = PresentPath::Renderer;
        } else if (value == "surface") {
            settings.present = PresentPath::Surface;
        } else {
            return false;
        }
        return true;
    }
    if (name == "gamepad") return ParseBool(value, settings.gamepadKeys);
    return false;
}

bool MakeFolders(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
        std::string part = path.substr(0, slash);
        if (::mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
    }
    return true;
}

// A settings file is small: anything larger is not read.
constexpr size_t kLargestSettings = 64 * 1024;

}  // namespace

bool ApplySettingLine(Settings& settings, const std::string& line) {
    std::string text = Trim(line);
    if (text.empty() || text[0] == '#') return true;
    size_t equals = text.find('=');
    if (equals == std::string::npos) return false;
    Settings changed = settings;
    if (!ApplySetting(changed, Trim(text.substr(0, equals)), Trim(text.substr(equals + 1)))) return false;
    settings = changed;
    return true;
}

void ApplySettingsText(Settings& settings, const std::string& text, const std::string& fileName) {
    size_t start = 0;
    int number = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        ++number;
        std::string line = text.substr(start, end - start);
        if (!ApplySettingLine(settings, line))
            std::fprintf(stderr, "milkanet: %s:%d: cannot use \"%s\", line ignored\n", fileName.c_str(),
                         number, Trim(line).c_str());
        start = end + 1;
    }
}

void ApplyEnvironment(Settings& settings) {
    static const struct {
        const char* variable;
        const char* name;
    } overrides[] = {{"MILKANET_SCALE", "scale"},
                     {"MILKANET_FULLSCREEN", "fullscreen"},
                     {"MILKANET_FULLSCREEN_SCALING", "fullscreen_scaling"},
                     {"MILKANET_PRESENT", "present"},
                     {"MILKANET_GAMEPAD", "gamepad"}};
    for (const auto& entry : overrides) {
        const char* value = std::getenv(entry.variable);
        if (value == nullptr) continue;
        if (!ApplySettingLine(settings, std::string(entry.name) + "=" + value))
            std::fprintf(stderr, "milkanet: cannot use %s=%s, ignored\n", entry.variable, value);
    }
}

std::string SettingsPath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    std::string folder;
    if (config != nullptr && config[0] == '/') {
        folder = config;
    } else {
        const char* home = std::getenv("HOME");
        if (home == nullptr || home[0] == '\0') return std::string();
        folder = std::string(home) + "/.config";
    }
    return folder + "/milkanet/settings.ini";
}

const char* DefaultSettingsText() {
    return "# Settings of milkanet. Each can also be given in the environment, e.g. MILKANET_SCALE=1.\n"
           "# Window scale: auto (the largest whole number that fits the desktop) or a factor, 1 the classic "
           "size.\n"
           "scale = auto\n"
           "# Start in full screen (F11 or Alt+Enter switch at any time): 0 or 1.\n"
           "fullscreen = 0\n"
           "# Full-screen picture: integer (whole-number factors, sharpest) or aspect (fills the height or "
           "width).\n"
           "fullscreen_scaling = integer\n"
           "# Presentation: auto, renderer (through the graphics card) or surface (through the window).\n"
           "present = auto\n"
           "# A game controller acts as the arrow keys, C, V, B and Esc: 0 or 1.\n"
           "gamepad = 1\n";
}

void LoadSettings() {
    Settings settings;
    std::string path = SettingsPath();
    if (!path.empty()) {
        std::string text;
        const SmallFile read = ReadSmallFile(path, kLargestSettings, text);
        if (read == SmallFile::kRead) {
            ApplySettingsText(settings, text, path);
        } else if (read == SmallFile::kFailed) {
            std::fprintf(stderr, "milkanet: %s cannot be read (%s); the defaults are used\n", path.c_str(),
                         std::strerror(errno));
        } else if (read != SmallFile::kMissing) {
            // A FIFO is not waited on, a device (a link to /dev/zero) or a large file is not read.
            std::fprintf(stderr, "milkanet: %s is not a regular file of settings; the defaults are used\n",
                         path.c_str());
        } else if (errno == ENOENT && MakeFolders(path)) {
            // First start: write the defaults so the player finds every setting in one place.
            if (FILE* out = std::fopen(path.c_str(), "wx")) {
                const bool written = std::fputs(DefaultSettingsText(), out) >= 0;
                if (std::fclose(out) != 0 || !written) {
                    // No partial file: the next start writes the defaults again.
                    std::fprintf(stderr, "milkanet: cannot write %s\n", path.c_str());
                    std::remove(path.c_str());
                }
            }
        }
    }
    ApplyEnvironment(settings);
    Options = settings;
}

}  // namespace platform::sdl
