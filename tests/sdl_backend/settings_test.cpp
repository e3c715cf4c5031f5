// The player's settings: lines, broken lines, the environment, the file written on first start.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/sdl/sdl_settings.h"
#include "tests/support/write_failures.h"

namespace {

using platform::sdl::Settings;

TEST(SettingsTest, LinesSetWhatTheyNameAndBrokenLinesChangeNothing) {
    Settings settings;
    EXPECT_TRUE(platform::sdl::ApplySettingLine(settings, "  scale = 3  "));
    EXPECT_TRUE(platform::sdl::ApplySettingLine(settings, "fullscreen=yes\r"));
    EXPECT_TRUE(platform::sdl::ApplySettingLine(settings, "fullscreen_scaling = aspect"));
    EXPECT_TRUE(platform::sdl::ApplySettingLine(settings, "present = surface"));
    EXPECT_TRUE(platform::sdl::ApplySettingLine(settings, "gamepad = 0"));
    EXPECT_TRUE(platform::sdl::ApplySettingLine(settings, "# scale = 9"));
    EXPECT_TRUE(platform::sdl::ApplySettingLine(settings, ""));
    EXPECT_EQ(settings.scale, 3);
    EXPECT_TRUE(settings.fullScreen);
    EXPECT_FALSE(settings.wholeNumberFullScreen);
    EXPECT_EQ(settings.present, platform::sdl::PresentPath::Surface);
    EXPECT_FALSE(settings.gamepadKeys);

    const Settings before = settings;
    for (const char* broken : {"scale = 0", "scale = 2x", "scale =", "scale = 17", "fullscreen = maybe",
                               "colour = red", "just words", "present = gpu"})
        EXPECT_FALSE(platform::sdl::ApplySettingLine(settings, broken)) << broken;
    // A NUL byte inside the value is part of it, not its end.
    EXPECT_FALSE(platform::sdl::ApplySettingLine(settings, std::string("scale = 1\0junk", 15)));
    EXPECT_EQ(settings.scale, before.scale);
    EXPECT_EQ(settings.fullScreen, before.fullScreen);
    EXPECT_EQ(settings.present, before.present);
    EXPECT_TRUE(platform::sdl::ApplySettingLine(settings, "scale = auto"));
    EXPECT_EQ(settings.scale, 0);
}

TEST(SettingsTest, TheDefaultsTextReadsBackAsTheDefaults) {
    Settings settings;
    settings.scale = 5;
    settings.gamepadKeys = false;
    testing::internal::CaptureStderr();
    platform::sdl::ApplySettingsText(settings, platform::sdl::DefaultSettingsText(), "settings.ini");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(settings.scale, 0);
    EXPECT_TRUE(settings.gamepadKeys);
    EXPECT_FALSE(settings.fullScreen);
    EXPECT_TRUE(settings.wholeNumberFullScreen);
}

TEST(SettingsTest, DefaultsThatCannotBeWrittenWholeLeaveNoFile) {
    const std::string config = testing::TempDir() + "milkanet-settings-full." + std::to_string(::getpid());
    std::filesystem::remove_all(config);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    unsetenv("MILKANET_SCALE");
    const std::string path = config + "/milkanet/settings.ini";
    // A full disk: the defaults take far more than 100 bytes.
    const std::string said = testsupport::StandardErrorOf(
        [] { testsupport::WithFileSizeLimit(100, [] { platform::sdl::LoadSettings(); }); });
    EXPECT_EQ(said, "milkanet: cannot write " + path + "\n");
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_EQ(platform::sdl::Options.scale, Settings{}.scale);

    // The next start writes them whole.
    platform::sdl::LoadSettings();
    EXPECT_GT(std::filesystem::file_size(path), 100u);
    std::filesystem::remove_all(config);
    unsetenv("XDG_CONFIG_HOME");
}

TEST(SettingsTest, FirstStartWritesTheDefaultsThenTheFileAndTheEnvironmentCount) {
    const std::string config = testing::TempDir() + "milkanet-settings-test." + std::to_string(::getpid());
    std::filesystem::remove_all(config);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    unsetenv("MILKANET_SCALE");
    const std::string path = config + "/milkanet/settings.ini";
    EXPECT_EQ(platform::sdl::SettingsPath(), path);
    platform::sdl::LoadSettings();
    FILE* file = std::fopen(path.c_str(), "r");
    ASSERT_NE(file, nullptr) << "no defaults written";
    std::fclose(file);

    file = std::fopen(path.c_str(), "w");
    std::fputs("scale = 2\nscale: 4\nfullscreen = 1\n", file);
    std::fclose(file);
    testing::internal::CaptureStderr();
    platform::sdl::LoadSettings();
    const std::string said = testing::internal::GetCapturedStderr();
    EXPECT_NE(said.find("settings.ini:2:"), std::string::npos) << said;
    EXPECT_EQ(platform::sdl::Options.scale, 2);
    EXPECT_TRUE(platform::sdl::Options.fullScreen);

    setenv("MILKANET_SCALE", "1", 1);
    setenv("MILKANET_FULLSCREEN", "0", 1);
    platform::sdl::LoadSettings();
    EXPECT_EQ(platform::sdl::Options.scale, 1);
    EXPECT_FALSE(platform::sdl::Options.fullScreen);
    unsetenv("MILKANET_SCALE");
    unsetenv("MILKANET_FULLSCREEN");
    platform::sdl::Options = Settings{};
    std::filesystem::remove_all(config);
}

// A settings file that is no file (a FIFO nobody writes into, a link to a device that never ends)
// is not waited on or read: the start goes on with the defaults and says why.
TEST(SettingsTest, ASettingsPathThatIsNoRegularFileGivesTheDefaultsAtOnce) {
    const std::string config = testing::TempDir() + "milkanet-settings-odd." + std::to_string(::getpid());
    std::filesystem::remove_all(config);
    std::filesystem::create_directories(config + "/milkanet");
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    const std::string path = config + "/milkanet/settings.ini";
    for (int kind = 0; kind < 2; ++kind) {
        std::filesystem::remove(path);
        if (kind == 0) {
            ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
        } else {
            std::filesystem::create_symlink("/dev/zero", path);
        }
        platform::sdl::Options.scale = 7;
        testing::internal::CaptureStderr();
        platform::sdl::LoadSettings();
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find("is not a regular file of settings; the defaults are used"), std::string::npos)
            << kind << ": " << said;
        EXPECT_EQ(platform::sdl::Options.scale, 0) << kind;
    }
    platform::sdl::Options = Settings{};
    unsetenv("XDG_CONFIG_HOME");
    std::filesystem::remove_all(config);
}

}  // namespace
