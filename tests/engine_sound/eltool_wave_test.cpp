// eltool's WAVE commands as a user runs them: what render-wave writes, what list-wave-pack prints
// for a pack that pack-waves built, and the exit codes of refused input and bad usage.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "tests/engine_sound/wave_builder.h"
#include "tests/support/run_program.h"
#include "tests/support/write_failures.h"

namespace {

using namespace wavetest;

class EltoolWaveTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = std::filesystem::temp_directory_path() / ("el_eltool_wave_" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder / "se");
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    // Runs eltool with the arguments; returns its exit code and keeps what it printed.
    int Run(const std::vector<std::string>& arguments) {
        const testsupport::ProgramRun run = testsupport::RunProgram(ELTOOL_PATH, arguments);
        output = run.out;
        errors = run.err;
        return run.status;
    }
    std::string Path(const std::string& name) const { return (folder / name).string(); }

    std::filesystem::path folder;
    std::string output, errors;
    static std::string ReadText(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
};

TEST_F(EltoolWaveTest, RenderWaveWritesWhatIsHeardAtTheOutputFormat) {
    const std::vector<int16_t> tone = Sine(1000.0, 48000, 4800, 20000.0);
    ASSERT_TRUE(WriteBytes(Path("tone.wav"), WaveFile(1, 48000, 16, Samples16(tone))));
    ASSERT_EQ(Run({Path("tone.wav"), Path("out.wav")}), 2);  // no command name: usage
    ASSERT_EQ(Run({"render-wave", Path("tone.wav"), Path("out.wav"), "--volume", "-6", "--pan", "100"}), 0);
    const std::vector<uint8_t> out = ReadBytes(Path("out.wav"));
    ASSERT_EQ(out.size(), 44u + 4800 * 4);  // 48000 Hz stereo 16-bit, as long as the sound
    int off = 0;
    for (size_t i = 0; i < 4800; ++i) {
        const int16_t left = static_cast<int16_t>(out[44 + i * 4] | out[45 + i * 4] << 8);
        const int16_t right = static_cast<int16_t>(out[46 + i * 4] | out[47 + i * 4] << 8);
        if (left != 0 || std::abs(right - tone[i] * 0.501187) > 1.5) ++off;
    }
    EXPECT_EQ(off, 0);

    ASSERT_EQ(Run({"render-wave", Path("tone.wav"), Path("fmt.wav"), "--format", "1,22,8", "--loop", "0.5"}),
              0);
    EXPECT_EQ(ReadBytes(Path("fmt.wav")).size(), 44u + 11025 * 2);  // mono 22050 Hz for half a second

    ASSERT_TRUE(WriteBytes(Path("bad.wav"), {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}));
    EXPECT_EQ(Run({"render-wave", Path("bad.wav"), Path("x.wav")}), 1);
    EXPECT_EQ(Run({"render-wave", Path("tone.wav"), Path("x.wav"), "--volume", "loud"}), 2);
    // A format is three whole numbers and nothing more.
    for (const char* format :
         {"2,48000,16junk", "2,48000", "2,,16", "2,48000,16,", " 2,48000,16", "-1,48000,16"}) {
        EXPECT_EQ(Run({"render-wave", Path("tone.wav"), Path("x.wav"), "--format", format}), 2) << format;
        EXPECT_EQ(Run({"render-wave", "--pack", Path("none.pak"), "--stream", "A.WAV", "--seconds", "1",
                       "--format", format, Path("x.wav")}),
                  2)
            << format;
    }
    EXPECT_EQ(Run({"render-wave", Path("tone.wav")}), 2);
}

TEST_F(EltoolWaveTest, PackWavesBuildsAPackThatListWavePackShowsInFileOrder) {
    ASSERT_TRUE(WriteBytes(Path("se/shot.wav"), WaveFile(1, 22050, 16, Samples16({1, 2, 3}))));
    ASSERT_TRUE(WriteBytes(Path("se/Bell.wav"), WaveFile(2, 44100, 8, {1, 2, 3, 4})));
    ASSERT_EQ(Run({"pack-waves", Path("se.pak"), Path("se"), "--fresh"}), 0);
    ASSERT_EQ(Run({"list-wave-pack", Path("se.pak")}), 0);
    EXPECT_EQ(output, "BELL.WAV\t2\t44100\t8\t4\nSHOT.WAV\t1\t22050\t16\t6\n");
    std::vector<uint8_t> pack = ReadBytes(Path("se.pak"));
    pack.pop_back();
    ASSERT_TRUE(WriteBytes(Path("cut.pak"), pack));
    EXPECT_EQ(Run({"list-wave-pack", Path("cut.pak")}), 1);
    EXPECT_EQ(Run({"pack-waves", Path("x.pak"), Path("none")}), 1);
    EXPECT_EQ(Run({"list-wave-pack"}), 2);
}

TEST_F(EltoolWaveTest, RenderWaveStreamsAPackEntryFromItsLoopPoint) {
    // Six seconds of 22050 Hz stereo whose frame i holds i & 0x7FFF and i >> 15.
    std::vector<int16_t> samples;
    const size_t frames = 6 * 22050;
    for (size_t i = 0; i < frames; ++i) {
        samples.push_back(static_cast<int16_t>(i & 0x7FFF));
        samples.push_back(static_cast<int16_t>(i >> 15));
    }
    ASSERT_TRUE(WriteBytes(Path("se/song.wav"), WaveFile(2, 22050, 16, Samples16(samples))));
    ASSERT_EQ(Run({"pack-waves", Path("music.pak"), Path("se"), "--fresh"}), 0);
    const std::vector<std::string> stream = {"render-wave", "--pack", Path("music.pak"), "--stream",
                                             "song.wav"};
    auto streamWith = [&stream](std::vector<std::string> more) {
        more.insert(more.begin(), stream.begin(), stream.end());
        return more;
    };
    ASSERT_EQ(Run(streamWith(
                  {"--loop-point", "176400", "--seconds", "8", "--format", "2,22,16", Path("loop.wav")})),
              0);
    const std::vector<uint8_t> out = ReadBytes(Path("loop.wav"));
    ASSERT_EQ(out.size(), 44u + 8 * 22050 * 4);
    size_t wrong = 0;
    for (size_t i = 0; i < 8 * 22050; ++i) {
        const size_t source = i < frames ? i : 2 * 22050 + (i - frames);  // on from the second second
        const int16_t left = static_cast<int16_t>(out[44 + i * 4] | out[45 + i * 4] << 8);
        const int16_t right = static_cast<int16_t>(out[46 + i * 4] | out[47 + i * 4] << 8);
        if (left != samples[2 * source] || right != samples[2 * source + 1]) ++wrong;
    }
    EXPECT_EQ(wrong, 0u);

    EXPECT_EQ(Run(streamWith({"--loop-point", "529200", "--seconds", "1", Path("x.wav")})),
              1);  // past the data
    EXPECT_EQ(Run({"render-wave", "--pack", Path("none.pak"), "--stream", "song.wav", "--seconds", "1",
                   Path("x.wav")}),
              1);
    EXPECT_EQ(Run(streamWith({Path("x.wav")})), 2);  // no --seconds
}

}  // namespace

namespace {

// A FIFO, a device or a folder in place of a file is refused at once with a reason (exit 1); none
// of them is read without end or waited on.
TEST_F(EltoolWaveTest, EveryCommandRefusesWhatIsNotARegularFileWithoutWaiting) {
    const std::string fifo = Path("pipe");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_TRUE(WriteBytes(Path("tone.wav"), WaveFile(1, 22050, 16, Samples16({1, 2, 3, 4}))));
    const std::vector<std::vector<std::string>> cases = {
        {"decode-bmp", fifo, Path("out.bmp")},
        {"decode-bmp", "/dev/zero", Path("out.bmp")},
        {"list-picture-pack", fifo},
        {"list-picture-pack", folder.string()},
        {"list-wave-pack", "/dev/zero"},
        {"unpack-picture", fifo, "A.BMP", Path("out.bmp")},
        {"render-midi", "/dev/zero", Path("out.wav")},
        {"render-midi", fifo, Path("out.wav")},
        {"render-wave", fifo, Path("out.wav")},
        {"pack-pictures", fifo, Path("se")},
        {"pack-waves", fifo, Path("se")},
        {"render-wave", Path("tone.wav"), fifo},
    };
    for (const std::vector<std::string>& arguments : cases) {
        const testsupport::ProgramRun run = testsupport::RunProgram(ELTOOL_PATH, arguments);
        EXPECT_EQ(run.status, 1) << arguments[0] << " " << arguments[1];
        EXPECT_NE(run.err.find("eltool " + arguments[0] + ": "), std::string::npos) << run.err;
    }
    // A pack made from a folder holding one sound it cannot read: the others are packed, the
    // refusal is said, and the exit status says that not everything went in.
    ASSERT_TRUE(WriteBytes(Path("se/good.wav"), WaveFile(1, 22050, 16, Samples16({1, 2}))));
    ASSERT_TRUE(WriteBytes(Path("se/broken.wav"), {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'W', 'A', 'V', 'E'}));
    const testsupport::ProgramRun packed =
        testsupport::RunProgram(ELTOOL_PATH, {"pack-waves", Path("se.pak"), Path("se"), "--fresh"});
    EXPECT_EQ(packed.status, 1);
    EXPECT_NE(packed.err.find("broken.wav"), std::string::npos) << packed.err;
    ASSERT_EQ(Run({"list-wave-pack", Path("se.pak")}), 0);
    EXPECT_EQ(output, "GOOD.WAV\t1\t22050\t16\t4\n");
}

}  // namespace

namespace {

using namespace wavetest;

// pack-waves replaces a pack only by a whole new one: on a full disk (a file-size limit) or in a
// folder that takes no file the old pack stays byte for byte with nothing beside it, the failure
// is said, the exit code is 1 and no "records added" line is printed.
TEST_F(EltoolWaveTest, PackWavesThatCannotBeWrittenLeavesTheOldPack) {
    WriteBytes(Path("se/a.wav"), WaveFile(1, 22050, 16, Samples16({1, 2})));
    ASSERT_EQ(Run({"pack-waves", Path("out/se.pak"), Path("se")}), 1);  // no folder "out" yet
    std::filesystem::create_directories(folder / "out");
    ASSERT_EQ(Run({"pack-waves", Path("out/se.pak"), Path("se")}), 0);
    const std::string old = ReadText(Path("out/se.pak"));
    std::filesystem::create_directories(folder / "big");
    WriteBytes(Path("big/b.wav"), WaveFile(1, 22050, 16, Samples16(std::vector<int16_t>(60000, 99))));
    for (const char* fresh : {"", "--fresh"}) {
        std::vector<std::string> arguments = {"pack-waves", Path("out/se.pak"), Path("big")};
        if (fresh[0] != '\0') arguments.push_back(fresh);
        const int status = testsupport::WithFileSizeLimit(64 * 1024, [&] { return Run(arguments); });
        EXPECT_EQ(status, 1) << fresh;
        EXPECT_EQ(output, "") << fresh;
        EXPECT_NE(errors.find("eltool pack-waves: " + Path("out/se.pak") + ": cannot write\n"),
                  std::string::npos)
            << errors;
        EXPECT_NE(errors.find("cannot write it whole ("), std::string::npos) << errors;
        EXPECT_EQ(ReadText(Path("out/se.pak")), old) << fresh;
        EXPECT_EQ(testsupport::FolderNames(folder / "out"), std::set<std::string>{"se.pak"});
    }
    const int refused = testsupport::InReadOnlyFolder(folder / "out", [&] {
        const int status = Run({"pack-waves", Path("out/se.pak"), Path("big")});
        const bool told = errors.find("cannot create a file in its folder") != std::string::npos;
        return status == 1 && told && output.empty() ? 0 : 1;
    });
    if (refused == testsupport::kCannotMakeReadOnly) GTEST_SKIP() << "no folder could be made read-only";
    EXPECT_EQ(refused, 0);
    EXPECT_EQ(ReadText(Path("out/se.pak")), old);
    EXPECT_EQ(testsupport::FolderNames(folder / "out"), std::set<std::string>{"se.pak"});
}

}  // namespace
