// The replay runner's streamed recording: the finished file has the bytes of the recording written
// whole, and while it is being made the file on disk is a whole WAVE file up to its last block.
#include "wave_stream.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tests/support/write_failures.h"
#include "tools/eltool/wave_output.h"

namespace fs = std::filesystem;

namespace {

std::string ReadBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t Le32(const std::string& bytes, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<uint8_t>(bytes[at + i]);
    return v;
}

// Samples that differ from one to the next, negative ones included.
std::vector<int16_t> Ramp(size_t count) {
    std::vector<int16_t> samples(count);
    for (size_t i = 0; i < count; ++i) samples[i] = static_cast<int16_t>(i * 7919u);
    return samples;
}

class WaveStreamTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder =
            fs::temp_directory_path() / ("el_wave_stream_" + std::to_string(::getpid()) + "_" +
                                         ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(folder);
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    // The same samples written whole, the way eltool writes its WAVE files.
    std::string Whole(uint16_t channels, uint32_t rate, const std::vector<int16_t>& samples) {
        const fs::path path = folder / "whole.wav";
        EXPECT_TRUE(eltool::WriteWave16(path.c_str(), channels, rate, samples));
        return ReadBytes(path);
    }

    fs::path folder;
};

TEST_F(WaveStreamTest, FinishedFileHasTheBytesOfTheWholeRecording) {
    // Blocks of a frame's sound (800 stereo frames) across several of the stream's blocks, and a
    // recording shorter than one block, and one with no samples at all.
    const size_t blockSamples = replay::WaveStream::kBlockBytes / 2;
    for (size_t total : {size_t{0}, size_t{1600} * 3, blockSamples * 2 + 1600 * 5}) {
        SCOPED_TRACE(total);
        const std::vector<int16_t> samples = Ramp(total);
        const fs::path path = folder / "stream.wav";
        replay::WaveStream stream;
        ASSERT_TRUE(stream.Open(path.string()));
        stream.SetFormat(2, 48000);
        for (size_t at = 0; at < samples.size(); at += 1600)
            stream.Append(samples.data() + at, std::min<size_t>(1600, samples.size() - at));
        ASSERT_TRUE(stream.Finish());
        EXPECT_EQ(ReadBytes(path), Whole(2, 48000, samples));
    }
}

TEST_F(WaveStreamTest, FormatGivenLateAndNoFormatAtAll) {
    // Mono at 22050 Hz, given after the file was opened.
    const std::vector<int16_t> samples = Ramp(5000);
    const fs::path mono = folder / "mono.wav";
    replay::WaveStream stream;
    ASSERT_TRUE(stream.Open(mono.string()));
    stream.SetFormat(1, 22050);
    stream.Append(samples.data(), samples.size());
    ASSERT_TRUE(stream.Finish());
    EXPECT_EQ(ReadBytes(mono), Whole(1, 22050, samples));

    // A run that made no sound: the header of an empty stereo 48 kHz recording.
    const fs::path silent = folder / "silent.wav";
    replay::WaveStream none;
    ASSERT_TRUE(none.Open(silent.string()));
    ASSERT_TRUE(none.Finish());
    EXPECT_EQ(ReadBytes(silent), Whole(2, 48000, {}));
}

TEST_F(WaveStreamTest, FileIsWholeUpToItsLastBlockWhileItIsMade) {
    // As a run that is killed leaves it: after each block the header counts exactly the samples
    // on disk, and those are the first samples appended.
    const size_t blockSamples = replay::WaveStream::kBlockBytes / 2;
    const std::vector<int16_t> samples = Ramp(blockSamples * 2 + 3000);
    // The recording grows in the temporary file beside its name, which takes that name at the end.
    const fs::path path = folder / "growing.wav";
    replay::WaveStream stream;
    ASSERT_TRUE(stream.Open(path.string()));
    const fs::path part = stream.partPath();
    ASSERT_EQ(part.parent_path(), folder);
    stream.SetFormat(2, 44100);
    EXPECT_EQ(ReadBytes(part), Whole(2, 44100, {}));
    EXPECT_FALSE(fs::exists(path));

    const std::string expected = Whole(2, 44100, samples);
    size_t appended = 0;
    for (size_t blocks = 1; blocks <= 2; ++blocks) {
        const size_t upTo = blockSamples * blocks + 1000;
        stream.Append(samples.data() + appended, upTo - appended);
        appended = upTo;
        const std::string onDisk = ReadBytes(part);
        ASSERT_EQ(onDisk.size(), 44 + blockSamples * blocks * 2);
        EXPECT_EQ(Le32(onDisk, 40), blockSamples * blocks * 2);
        EXPECT_EQ(Le32(onDisk, 4), 36 + blockSamples * blocks * 2);
        EXPECT_EQ(onDisk.substr(44), expected.substr(44, blockSamples * blocks * 2));
    }
    stream.Append(samples.data() + appended, samples.size() - appended);
    ASSERT_TRUE(stream.Finish());
    EXPECT_EQ(ReadBytes(path), expected);
    EXPECT_FALSE(fs::exists(part));
}

TEST_F(WaveStreamTest, PipeGetsTheWholeRecordingAtTheEnd) {
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const std::vector<int16_t> samples = Ramp(3000);
    replay::WaveStream stream;
    ASSERT_TRUE(stream.Open("/dev/fd/" + std::to_string(ends[1])));
    ::close(ends[1]);
    stream.SetFormat(2, 48000);
    stream.Append(samples.data(), samples.size());
    ASSERT_TRUE(stream.Finish());
    std::string got;
    char chunk[4096];
    for (ssize_t n; (n = ::read(ends[0], chunk, sizeof chunk)) > 0;)
        got.append(chunk, static_cast<size_t>(n));
    ::close(ends[0]);
    EXPECT_EQ(got, Whole(2, 48000, samples));
}

TEST_F(WaveStreamTest, FailedWritesAreReported) {
    if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    const std::vector<int16_t> samples = Ramp(replay::WaveStream::kBlockBytes);
    replay::WaveStream stream;
    ASSERT_TRUE(stream.Open("/dev/full"));
    stream.SetFormat(2, 48000);
    stream.Append(samples.data(), samples.size());
    EXPECT_FALSE(stream.Finish());

    replay::WaveStream nowhere;
    EXPECT_FALSE(nowhere.Open((folder / "missing" / "a.wav").string()));
}

// A recording that cannot be finished (a full disk) leaves the old file byte for byte and nothing
// beside it, and says why; one in a folder that takes no file cannot be begun.
TEST_F(WaveStreamTest, AFailedRecordingLeavesTheOldFileAndNoPartialOne) {
    const fs::path path = folder / "old.wav";
    std::ofstream(path, std::ios::binary) << "an older recording";
    const std::vector<int16_t> samples = Ramp(replay::WaveStream::kBlockBytes * 2);
    std::string reason;
    const bool finished = testsupport::WithFileSizeLimit(replay::WaveStream::kBlockBytes + 4096, [&] {
        replay::WaveStream stream;
        if (!stream.Open(path.string())) return true;
        stream.Append(samples.data(), samples.size());
        return stream.Finish(&reason);
    });
    EXPECT_FALSE(finished);
    EXPECT_EQ(reason.rfind("cannot write it whole (", 0), 0u) << reason;
    EXPECT_EQ(ReadBytes(path), "an older recording");
    EXPECT_EQ(testsupport::FolderNames(folder), std::set<std::string>{"old.wav"});

    const int refused = testsupport::InReadOnlyFolder(folder, [&] {
        replay::WaveStream stream;
        return stream.Open(path.string()) ? 1 : 0;
    });
    if (refused == testsupport::kCannotMakeReadOnly) GTEST_SKIP() << "no folder could be made read-only";
    EXPECT_EQ(refused, 0);
    EXPECT_EQ(ReadBytes(path), "an older recording");
    EXPECT_EQ(testsupport::FolderNames(folder), std::set<std::string>{"old.wav"});
}

}  // namespace
