// The main of every test program: each run gets a home, config, data, cache and runtime folder of
// its own, the build's test font configuration, and none of a player's settings from the
// environment, so that the tests see the same world on every machine and leave the user's alone.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;

// Variables through which a player tunes the program (scale, full screen, depth, presentation,
// game pad, ...). Tests that need one set it themselves.
bool IsPlayerSetting(const std::string& name) {
    return name.rfind("MILKANET_", 0) == 0 || name.rfind("ELDRAW_", 0) == 0;
}

void ClearPlayerSettings() {
    std::vector<std::string> names;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const char* equals = std::strchr(*entry, '=');
        if (equals == nullptr) continue;
        std::string name(*entry, static_cast<size_t>(equals - *entry));
        if (IsPlayerSetting(name)) names.push_back(name);
    }
    for (const std::string& name : names) ::unsetenv(name.c_str());
}

// A fresh folder under the temporary folder holding the user folders; empty when it cannot be made.
fs::path MakePrivateFolders() {
    std::error_code error;
    fs::path base = fs::temp_directory_path(error);
    if (error) base = "/tmp";
    std::string pattern = (base / "el-test-env.XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) return {};
    const fs::path root = pattern;
    const struct {
        const char* variable;
        const char* folder;
    } folders[] = {{"HOME", "home"},
                   {"XDG_CONFIG_HOME", "config"},
                   {"XDG_DATA_HOME", "data"},
                   {"XDG_CACHE_HOME", "cache"},
                   {"XDG_STATE_HOME", "state"},
                   {"XDG_RUNTIME_DIR", "runtime"}};
    for (const auto& f : folders) {
        const fs::path folder = root / f.folder;
        fs::create_directory(folder, error);
        ::chmod(folder.c_str(), 0700);
        ::setenv(f.variable, folder.c_str(), 1);
    }
    // Folders the user named for pictures and the like come from their config, which is now empty.
    ::unsetenv("XDG_PICTURES_DIR");
    return root;
}

}  // namespace

int main(int argc, char** argv) {
    ClearPlayerSettings();
    ::setenv("FONTCONFIG_FILE", EL_TEST_FONTCONFIG_FILE, 1);
    // Headless unless the person running a test program by hand chose otherwise.
    ::setenv("SDL_VIDEODRIVER", "dummy", 0);
    ::setenv("SDL_AUDIODRIVER", "dummy", 0);
    const fs::path root = MakePrivateFolders();
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::error_code ignored;
    if (!root.empty()) fs::remove_all(root, ignored);
    return result;
}
