// eltool new-scene: the files of a new scene project, and the refused folders and names that leave
// nothing behind.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/audio.h"
#include "platform/bmp.h"
#include "tests/support/run_program.h"

namespace {

class NewSceneTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() / ("el_new_scene_" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    testsupport::ProgramRun Run(const std::vector<std::string>& arguments) {
        std::vector<std::string> all = {"new-scene"};
        all.insert(all.end(), arguments.begin(), arguments.end());
        return testsupport::RunProgram(EL_ELTOOL_PATH, all);
    }
    static std::string Text(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    static std::vector<std::string> Listing(const std::filesystem::path& folder) {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    std::filesystem::path dir;
};

TEST_F(NewSceneTest, WritesAProjectThatFindsTheInstalledEngine) {
    const std::filesystem::path project = dir / "deeper" / "my scene";
    const testsupport::ProgramRun run = Run({project.string(), "Bouncing_Ball2"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(Listing(project),
              (std::vector<std::string>{"CMakeLists.txt", "main.cpp", "picture.bmp", "sound.wav"}));

    const std::string cmake = Text(project / "CMakeLists.txt");
    EXPECT_NE(cmake.find("project(Bouncing_Ball2 LANGUAGES CXX)"), std::string::npos) << cmake;
    EXPECT_NE(cmake.find("find_package(ElEngine CONFIG REQUIRED)"), std::string::npos);
    EXPECT_NE(cmake.find("add_executable(Bouncing_Ball2 main.cpp)"), std::string::npos);
    EXPECT_NE(cmake.find("target_link_libraries(Bouncing_Ball2 PRIVATE El::Desktop)"), std::string::npos);
    EXPECT_EQ(cmake.find("@NAME@"), std::string::npos);

    // The program is UTF-8 source whatever the tool's own texts are compiled to.
    const std::string main = Text(project / "main.cpp");
    EXPECT_NE(main.find("#include <el/el.h>"), std::string::npos);
    EXPECT_NE(main.find("elSystem::RunScene(argc, argv, \"Bouncing_Ball2\", Startup)"), std::string::npos);
    EXPECT_NE(main.find("\xE7\x9F\xA2\xE5\x8D\xB0"), std::string::npos) << "the UTF-8 of the arrow's word";
    EXPECT_NE(main.find("\"picture.bmp\""), std::string::npos);
    EXPECT_NE(main.find("\"sound.wav\""), std::string::npos);

    // A 32 x 32 picture keyed on black at its corners, coloured in its middle.
    const std::string bmp = Text(project / "picture.bmp");
    platform::Picture picture;
    ASSERT_TRUE(platform::DecodeBmp(reinterpret_cast<const uint8_t*>(bmp.data()), bmp.size(), picture));
    EXPECT_EQ(picture.width, 32);
    EXPECT_EQ(picture.height, 32);
    EXPECT_EQ(picture.At(0, 0), 0u);
    EXPECT_EQ(picture.At(31, 31), 0u);
    EXPECT_NE(picture.At(16, 16), 0u);

    // A short mono 16-bit sound that the mixer can play, not silence.
    const std::string wav = Text(project / "sound.wav");
    platform::WaveFile wave;
    ASSERT_EQ(platform::ReadWave(reinterpret_cast<const uint8_t*>(wav.data()), wav.size(), &wave),
              platform::WaveError::kNone);
    EXPECT_TRUE(platform::PlayableFormat(wave.format));
    EXPECT_EQ(wave.format.channels, 1);
    EXPECT_EQ(wave.format.bitsPerSample, 16);
    EXPECT_EQ(wave.data.size(), 2u * wave.format.samplesPerSec / 5);
    int peak = 0;
    for (size_t i = 0; i + 1 < wave.data.size(); i += 2)
        peak = std::max(peak, std::abs(static_cast<int16_t>(wave.data[i] | wave.data[i + 1] << 8)));
    EXPECT_GT(peak, 4000);

    // An existing empty folder is taken too.
    std::filesystem::create_directories(dir / "empty");
    EXPECT_EQ(Run({(dir / "empty").string(), "_x"}).status, 0);
    EXPECT_TRUE(std::filesystem::exists(dir / "empty" / "main.cpp"));
}

TEST_F(NewSceneTest, RefusesNamesThatAreNotIdentifiersAndWritesNothing) {
    for (const std::string& name : std::vector<std::string>{"", "2fast", "my-scene", "my scene",
                                                            "caf\xC3\xA9", "a.b", std::string(65, 'a')}) {
        const testsupport::ProgramRun run = Run({(dir / "p").string(), name});
        EXPECT_EQ(run.status, 1) << name;
        EXPECT_NE(run.err.find("not a valid name"), std::string::npos) << name << ": " << run.err;
        EXPECT_FALSE(std::filesystem::exists(dir / "p")) << name;
    }
    EXPECT_EQ(Run({(dir / "p").string(), std::string(64, 'a')}).status, 0);
}

TEST_F(NewSceneTest, RefusesAFolderInUseAndLeavesItAsItWas) {
    std::filesystem::create_directories(dir / "used");
    std::ofstream(dir / "used" / "notes.txt") << "mine";
    testsupport::ProgramRun run = Run({(dir / "used").string(), "scene"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("is not empty"), std::string::npos) << run.err;
    EXPECT_EQ(Listing(dir / "used"), std::vector<std::string>{"notes.txt"});
    EXPECT_EQ(Text(dir / "used" / "notes.txt"), "mine");

    // A file in the folder's place is no folder.
    std::ofstream(dir / "plain") << "x";
    run = Run({(dir / "plain").string(), "scene"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("is not a folder"), std::string::npos) << run.err;

    // Wrong arguments are a usage error, as for every command.
    EXPECT_EQ(Run({(dir / "q").string()}).status, 2);
    EXPECT_EQ(Run({(dir / "q").string(), "a", "b"}).status, 2);
    EXPECT_FALSE(std::filesystem::exists(dir / "q"));
}

}  // namespace
