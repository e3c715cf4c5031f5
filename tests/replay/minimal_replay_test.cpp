// The replay runner for a scene program that brings only its start-up: the runner counts the scene
// frames, writes the frame count and the reported errors as the state, and ends the run at the
// frame count or at Esc as the program's option says.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/bmp.h"
#include "tests/support/run_program.h"

namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class MinimalReplayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "minimal-replay-test.XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        ::unsetenv("MINIMAL_SCENE_ESCAPE");
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    testsupport::ProgramRun Run(const std::string& frames, const std::string& script = "") {
        std::vector<std::string> arguments = {"--data",   dir.string(),
                                              "--frames", frames,
                                              "--state",  (dir / "state.json").string(),
                                              "--trace",  (dir / "trace.jsonl").string(),
                                              "--shot",   (dir / "shot.bmp").string()};
        if (!script.empty()) {
            std::ofstream(dir / "keys.txt") << script;
            arguments.insert(arguments.end(), {"--input", (dir / "keys.txt").string()});
        }
        return testsupport::RunProgram(EL_MINIMAL_REPLAY_BINARY, arguments);
    }
    fs::path dir;
};

// The state is UTF-8 (this file's plain literals are the program's Shift-JIS).
const std::string kMissingPicture =
    reinterpret_cast<const char*>(u8"\"elDraw::LoadObject : BMPファイルを読み込めません\"");

TEST_F(MinimalReplayTest, TheRunnerCountsTheFramesAndWritesTheErrorsAsTheState) {
    const testsupport::ProgramRun run = Run("6");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadText(dir / "state.json"), "{\"frame\":6,\"errors\":[" + kMissingPicture + "]}\n");
    // One trace line a frame, each with the frames done so far; the error from the third on.
    std::string expected;
    for (int frame = 1; frame <= 6; ++frame)
        expected += "{\"frame\":" + std::to_string(frame) + ",\"errors\":[" +
                    (frame >= 3 ? kMissingPicture : "") + "]}\n";
    EXPECT_EQ(ReadText(dir / "trace.jsonl"), expected);
    // The last picture is the scene's own size, the rectangle in it.
    platform::Picture shot;
    ASSERT_TRUE(platform::LoadBmpFile((dir / "shot.bmp").c_str(), shot).ok());
    EXPECT_EQ(shot.width, 320);
    EXPECT_EQ(shot.height, 240);
    EXPECT_EQ(shot.At(50, 30) & 0xF8F8F8, 0xF80000u);
    EXPECT_EQ(shot.At(200, 200), 0u);
}

TEST_F(MinimalReplayTest, EscEndsTheRunUnlessTheProgramKeepsItAsAKey) {
    const std::string script = "4 down 27\n5 up 27\n";
    testsupport::ProgramRun run = Run("8", script);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadText(dir / "state.json"), "{\"frame\":3,\"errors\":[" + kMissingPicture + "]}\n");

    ::setenv("MINIMAL_SCENE_ESCAPE", "keep", 1);
    run = Run("8", script);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadText(dir / "state.json"), "{\"frame\":8,\"errors\":[" + kMissingPicture + "]}\n");
}

}  // namespace
