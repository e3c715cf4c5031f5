// eltool render-midi end to end: the passes asked for, the tail after the close, refusals.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/midi/midi_builder.h"
#include "tests/support/run_program.h"

#ifdef EL_ELTOOL_PATH
namespace {

namespace fs = std::filesystem;

int RunTool(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "render-midi");
    return testsupport::RunProgram(EL_ELTOOL_PATH, arguments).status;
}

std::vector<int16_t> ReadSamples(const fs::path& path, uint32_t& rate, uint16_t& channels) {
    std::ifstream file(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.size() < 44) return {};
    std::memcpy(&channels, bytes.data() + 22, 2);
    std::memcpy(&rate, bytes.data() + 24, 4);
    std::vector<int16_t> samples((bytes.size() - 44) / 2);
    std::memcpy(samples.data(), bytes.data() + 44, samples.size() * 2);
    return samples;
}

TEST(RenderMidi, WritesEveryPassAskedForAndTheFadingTail) {
    const fs::path folder = fs::temp_directory_path() / ("el_render_midi_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    miditest::WriteFile((folder / "piece.mid").string(), miditest::ShortPiece());
    ASSERT_EQ(RunTool({folder / "piece.mid", folder / "three.wav", "--loops", "3"}), 0);
    uint32_t rate = 0;
    uint16_t channels = 0;
    const std::vector<int16_t> samples = ReadSamples(folder / "three.wav", rate, channels);
    EXPECT_EQ(rate, 48000u);
    EXPECT_EQ(channels, 2);
    const size_t frames = samples.size() / 2;
    EXPECT_GE(frames, 3u * 96000 + 23000);  // three passes of two seconds and about half a second of tail
    EXPECT_LE(frames, 3u * 96000 + 5 * 48000);
    int peakLastPass = 0, peakTail = 0;
    for (size_t i = 2 * 2 * 96000; i < 2 * 2 * 96000 + 2 * 48000; ++i)
        peakLastPass = std::max(peakLastPass, std::abs(int(samples[i])));
    for (size_t i = samples.size() - 2 * 640; i < samples.size(); ++i)
        peakTail = std::max(peakTail, std::abs(int(samples[i])));
    EXPECT_GT(peakLastPass, 300);
    EXPECT_LE(peakTail, 3);  // it stops once the sound has died away (its last 1/75 s)

    EXPECT_EQ(RunTool({folder / "missing.mid", folder / "x.wav"}), 1);
    miditest::WriteFile((folder / "bad.mid").string(), {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 1});
    EXPECT_EQ(RunTool({folder / "bad.mid", folder / "x.wav"}), 1);
    EXPECT_EQ(RunTool({folder / "piece.mid", folder / "x.wav", "--loops", "0"}), 2);
    EXPECT_EQ(RunTool({folder / "piece.mid"}), 2);
    EXPECT_EQ(RunTool({folder / "piece.mid", folder / "no" / "x.wav"}), 1);
    fs::remove_all(folder);
}

}  // namespace
#endif
