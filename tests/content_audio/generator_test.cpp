// The generator: the same sources give the same bytes, and a mistake in a source stops it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/content_audio/audio_files.h"
#include "tests/support/run_program.h"

namespace audio_test {
namespace {

namespace fs = std::filesystem;

testsupport::ProgramRun RunGenerator(const fs::path& assets, const fs::path& out) {
    return testsupport::RunProgram(EL_PROGRAM_DIR "/audiogen", {"--assets", assets, "--out", out});
}

TEST(DemoAudioGenerator, SameSourcesGiveByteIdenticalFiles) {
    const fs::path root =
        fs::temp_directory_path() / ("content_audio_regenerated." + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root);
    const testsupport::ProgramRun run = RunGenerator(AssetsDir(), root / "demo");
    ASSERT_EQ(run.status, 0) << run.err;
    int files = 0;
    for (const auto& entry : fs::directory_iterator(root / "demo")) {
        ++files;
        SCOPED_TRACE(entry.path().filename().string());
        EXPECT_EQ(ReadBytes(entry.path().string()),
                  ReadBytes(DemoDir() + "/" + entry.path().filename().string()));
    }
    int effects = 0;
    for (const auto& e : fs::directory_iterator(AssetsDir() + "/effects"))
        effects += e.path().extension() == ".txt";
    EXPECT_EQ(files, effects + 3);  // the effects, music.wav, music.loop and theme.mid
    fs::remove_all(root);
}

struct Run {
    int status = 0;
    std::string message;  // what the generator wrote to its error output
};

// Copies the sources, changes the first `from` in one of them to `to` (or appends `to` when `from`
// is empty) and runs the generator on the copy.
Run RunEdited(const std::string& file, const std::string& from, const std::string& to) {
    const fs::path root = fs::temp_directory_path() / ("content_audio_broken." + std::to_string(::getpid()));
    fs::remove_all(root);
    fs::create_directories(root);
    fs::copy(AssetsDir(), root / "audio", fs::copy_options::recursive);
    std::vector<uint8_t> bytes = ReadBytes((root / "audio" / file).string());
    std::string text(bytes.begin(), bytes.end());
    if (from.empty())
        text += "\n" + to + "\n";
    else if (size_t at = text.find(from); at != std::string::npos)
        text.replace(at, from.size(), to);
    else
        ADD_FAILURE() << "no '" << from << "' in " << file;
    std::ofstream(root / "audio" / file, std::ios::trunc) << text;
    const testsupport::ProgramRun generator = RunGenerator(root / "audio", root / "out");
    Run run;
    run.status = generator.status;
    run.message = generator.err;
    fs::remove_all(root);
    return run;
}

// The generator fails, naming the file and line and saying what is wrong.
void ExpectFailure(const Run& run, const std::string& where, const std::string& what) {
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.message.find(where), std::string::npos) << run.message;
    EXPECT_NE(run.message.find(what), std::string::npos) << run.message;
}

TEST(DemoAudioGenerator, MistakesInTheSourcesStopIt) {
    EXPECT_EQ(RunEdited("effects/shot.txt", "", "# a comment is fine").status, 0);
    ExpectFailure(RunEdited("effects/shot.txt", "release 0.02", "relase 0.02"),
                  "shot.txt:", "unknown key 'relase'");
    ExpectFailure(RunEdited("effects/shot.txt", "", "voice\nwave sine\npitch 440 x 0.1"),
                  "shot.txt:", "'x' is not a number");
    ExpectFailure(RunEdited("effects/shot.txt", "pitch 1400 240 0.16", "pitch 1400 240"),
                  "shot.txt:", "needs its length in seconds");
    ExpectFailure(RunEdited("theme.txt", "", "section extra\nflute: C5/4 D5/4 E5/4"),
                  "theme.txt:", "a bar of 12 steps, not 16");
    ExpectFailure(RunEdited("theme.txt", "", "section extra\nflute: H5/16"),
                  "theme.txt:", "'H5' is not a note");
    ExpectFailure(RunEdited("theme.txt", "channel 1 ", "chanel 1 "),
                  "theme.txt:", "unknown track option 'chanel'");
    ExpectFailure(RunEdited("theme.txt", "play theme", "play theme missing"),
                  "theme.txt:", "no section 'missing'");
    // A lead-in note still ringing at the loop point would sound every time round.
    ExpectFailure(RunEdited("music.txt", "play intro", "play intro late\nsection late\nlead: r/12 A4/4"),
                  "music.txt:", "still sounds at the loop point");
}

}  // namespace
}  // namespace audio_test
