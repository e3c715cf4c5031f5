// The player's settings of the SDL backend: one plain file under $XDG_CONFIG_HOME/milkanet/, each
// setting overridable by an environment variable.
#pragma once
#include <string>

namespace platform::sdl {

enum class PresentPath { Automatic, Renderer, Surface };

struct Settings {
    int scale = 0;                      // window scale factor; 0 picks the largest that fits the desktop
    bool fullScreen = false;            // start in full screen
    bool wholeNumberFullScreen = true;  // full screen by whole-number factors, else by aspect
    PresentPath present = PresentPath::Automatic;
    bool gamepadKeys = true;  // a game controller acts as arrows, C, V, B and Esc
};

extern Settings Options;

// Reads one "name = value" line into settings. Empty lines and lines starting with '#' are fine.
// False (settings untouched) for a line that names no setting or holds a value it cannot take.
bool ApplySettingLine(Settings& settings, const std::string& line);
// Reads the settings text (the file's contents); each broken line is reported on standard error
// with its number and the file name, and ignored.
void ApplySettingsText(Settings& settings, const std::string& text, const std::string& fileName);
// Environment overrides: MILKANET_SCALE, MILKANET_FULLSCREEN, MILKANET_FULLSCREEN_SCALING,
// MILKANET_PRESENT, MILKANET_GAMEPAD take the same values as the file.
void ApplyEnvironment(Settings& settings);
// The settings file's path: $XDG_CONFIG_HOME/milkanet/settings.ini, else ~/.config/milkanet/...
std::string SettingsPath();
// The text written on first start: every setting at its default, with a word on each.
const char* DefaultSettingsText();
// Loads Options: reads the file (writing the defaults when there is none), then the environment.
void LoadSettings();

}  // namespace platform::sdl
