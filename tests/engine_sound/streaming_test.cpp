// Streamed playback: ring and refill sizes, the five-second rule, the split of the last chunks,
// and what a listener hears through the headless mixer with the output format equal to the data's
// (so every sample comes out as it went in): whole passes, the end of a stream played once, loops
// from a loop point, and streams that survive a rebuilt device.
#include <cstring>

#include "tests/engine_sound/sound_fixture.h"

namespace {

constexpr uint32_t kRate = 22050;
constexpr uint32_t kBytesPerSecond = kRate * 4;  // stereo, 16 bits
constexpr uint32_t kFramesPerTurn = kRate / 75;  // what the mixer plays in one frame at 75 frames a second

// Frame i holds i & 0x7FFF on the left and i >> 15 on the right: no two frames alike.
int16_t CountLeft(size_t frame) {
    return static_cast<int16_t>(frame & 0x7FFF);
}
int16_t CountRight(size_t frame) {
    return static_cast<int16_t>(frame >> 15);
}

std::vector<uint8_t> Counting(size_t frames) {
    std::vector<int16_t> samples;
    for (size_t i = 0; i < frames; ++i) {
        samples.push_back(CountLeft(i));
        samples.push_back(CountRight(i));
    }
    return wavetest::Samples16(samples);
}

class StreamingTest : public SoundTest {
  protected:
    void SetUp() override {
        SoundTest::SetUp();
        OpenDevice();
        ASSERT_EQ(elSound::SelectFormat(2, 22, 16), 1);
    }

    // A pack "music.pak" of entries made from counting patterns of the given lengths in seconds.
    void WritePack(const std::vector<std::pair<std::string, double>>& entries) {
        for (const auto& [name, seconds] : entries)
            WriteWave("waves/" + name, 2, kRate, 16, Counting(static_cast<size_t>(seconds * kRate)));
        ASSERT_EQ(elSound::Convert("music.pak", "waves", 1), 1);
        elSound::SetPackName("music.pak");
    }

    // Plays `frames` frames as a scene does: one frame's sound, then Streaming.
    std::vector<int16_t> Listen(size_t frames) {
        std::vector<int16_t> heard;
        for (size_t done = 0; done < frames; done += kFramesPerTurn) {
            const std::vector<int16_t> turn = Render(kFramesPerTurn);
            heard.insert(heard.end(), turn.begin(), turn.end());
            EXPECT_EQ(elSound::Streaming(), 1);
        }
        heard.resize(frames * 2);
        return heard;
    }

    // The first frame from `from` on where what was heard is not frame `first + k` of the pattern.
    static size_t FirstMismatch(const std::vector<int16_t>& heard, size_t from, size_t count, size_t first) {
        for (size_t k = 0; k < count; ++k) {
            const size_t i = from + k;
            if (heard[2 * i] != CountLeft(first + k) || heard[2 * i + 1] != CountRight(first + k)) return i;
        }
        return SIZE_MAX;
    }
};

TEST_F(StreamingTest, RingAndRefillSizesAndTheFiveSecondRule) {
    WritePack({{"four.wav", 4.0}, {"five.wav", 5.0}});
    const SoundNo four = elSound::LoadStream("four.wav", 0);
    const SoundNo five = elSound::LoadStream("five.wav", 0);
    ASSERT_GE(four, 0);
    ASSERT_GE(five, 0);
    EXPECT_EQ(SoundObjects.streams[four].dataSize, 0u);  // loaded whole, one copy
    EXPECT_EQ(SoundObjects.objects[four].copyCount, 1);
    EXPECT_EQ(SoundObjects.objects[four].fromPack, 1);
    const StreamRecord& stream = SoundObjects.streams[five];
    EXPECT_EQ(stream.dataSize, 5 * kBytesPerSecond);
    EXPECT_EQ(stream.ringSize, 352800u);
    EXPECT_EQ(stream.halfSize, 176400u);
    EXPECT_EQ(stream.consumed, 176400u);
    EXPECT_EQ(stream.nextWrite, 176400u);
    EXPECT_EQ(stream.loopPosition, stream.dataStart);
    EXPECT_STREQ(SoundObjects.objects[five].name, "five.wav");

    // With one and a half chunks left the next two refills share them: three quarters each.
    elSound::PlayLoop(five, -1);
    std::vector<uint32_t> consumed = {stream.consumed};
    for (int turn = 0; turn < 75 * 6 && consumed.size() < 4; ++turn) {
        Render(kFramesPerTurn);
        elSound::Streaming();
        if (stream.consumed != consumed.back()) consumed.push_back(stream.consumed);
    }
    EXPECT_EQ(consumed, (std::vector<uint32_t>{176400, 308700, 0, 176400}));
}

TEST_F(StreamingTest, ALoopPointAtOrPastTheEndIsRefused) {
    WritePack({{"song.wav", 6.0}});
    EXPECT_EQ(elSound::LoadStream("song.wav", 6 * kBytesPerSecond), -1);
    EXPECT_NE(LastMessage().find("elSound::LoadStream"), std::string::npos);
    EXPECT_NE(LastMessage().find("ストリーミング再生できません"), std::string::npos);
    EXPECT_EQ(SoundObjects.objects[0].inUse, 0);  // the number stays free
    EXPECT_GE(elSound::LoadStream("song.wav", 6 * kBytesPerSecond - 4), 0);
}

TEST_F(StreamingTest, PlayedOnceAStreamIsHeardWholeThenStopsRewound) {
    // Seven seconds end on a frame boundary of the loop; 150 frames more end inside a frame, so that
    // the silence written behind the end is heard before the stream stops.
    const size_t lengths[2] = {7 * kRate, 7 * kRate + 150};
    WriteWave("waves/seven.wav", 2, kRate, 16, Counting(lengths[0]));
    WriteWave("waves/odd.wav", 2, kRate, 16, Counting(lengths[1]));
    ASSERT_EQ(elSound::Convert("music.pak", "waves", 1), 1);
    elSound::SetPackName("music.pak");
    for (const char* name : {"seven.wav", "odd.wav"}) {
        SCOPED_TRACE(name);
        const size_t frames = std::strcmp(name, "odd.wav") == 0 ? lengths[1] : lengths[0];
        const SoundNo number = elSound::LoadStream(name, 0);
        ASSERT_GE(number, 0);
        elSound::Play(number, -1);
        const std::vector<int16_t> heard = Listen(frames + 5 * kRate);
        EXPECT_EQ(FirstMismatch(heard, 0, frames, 0), SIZE_MAX);
        for (size_t i = 2 * frames; i < heard.size(); ++i) ASSERT_EQ(heard[i], 0) << "frame " << i / 2;
        EXPECT_FALSE(CopyPlaying(number, 0));
        EXPECT_EQ(platform::SoundBufferPosition(SoundObjects.objects[number].copies[0].buffer), 0u);
        EXPECT_EQ(SoundObjects.streams[number].countdown, 0);

        // Played again it starts from the beginning of its data.
        elSound::Play(number, -1);
        EXPECT_EQ(FirstMismatch(Listen(kRate), 0, kRate, 0), SIZE_MAX);
        elSound::Stop(number, -1);
        Listen(kFramesPerTurn);  // the stopped stream fades out
    }
}

TEST_F(StreamingTest, LoopsContinueSeamlesslyAtTheLoopPoint) {
    WritePack({{"seven.wav", 7.0}});
    const size_t frames = 7 * kRate;
    const SoundNo whole = elSound::LoadStream("seven.wav", 0);
    ASSERT_GE(whole, 0);
    elSound::PlayLoop(whole, -1);
    std::vector<int16_t> heard = Listen(2 * frames + kRate);
    EXPECT_EQ(FirstMismatch(heard, 0, frames, 0), SIZE_MAX);
    EXPECT_EQ(FirstMismatch(heard, frames, frames, 0), SIZE_MAX);
    EXPECT_EQ(FirstMismatch(heard, 2 * frames, kRate, 0), SIZE_MAX);
    elSound::Stop(whole, -1);
    Listen(kFramesPerTurn);  // the stopped stream fades out

    const SoundNo fromThird = elSound::LoadStream("seven.wav", 3 * kBytesPerSecond);
    ASSERT_GE(fromThird, 0);
    elSound::PlayLoop(fromThird, -1);
    heard = Listen(frames + 2 * 4 * kRate);
    EXPECT_EQ(FirstMismatch(heard, 0, frames, 0), SIZE_MAX);
    EXPECT_EQ(FirstMismatch(heard, frames, 4 * kRate, 3 * kRate), SIZE_MAX);
    EXPECT_EQ(FirstMismatch(heard, frames + 4 * kRate, 4 * kRate, 3 * kRate), SIZE_MAX);
}

TEST_F(StreamingTest, AStreamThatDoesNotPlayIsNotRefilled) {
    WritePack({{"seven.wav", 7.0}});
    const SoundNo number = elSound::LoadStream("seven.wav", 0);
    ASSERT_GE(number, 0);
    const StreamRecord& stream = SoundObjects.streams[number];
    elSound::Streaming();  // loaded, never played
    EXPECT_EQ(stream.consumed, 176400u);
    elSound::PlayLoop(number, -1);
    Listen(kRate / 2);
    const uint32_t filled = stream.consumed;
    EXPECT_EQ(filled, 352800u);  // the second half was filled at once
    elSound::Pause(number, -1);
    for (int i = 0; i < 400; ++i) elSound::Streaming();
    EXPECT_EQ(stream.consumed, filled);
    elSound::Pause(number, -1);  // resumes, looping the ring
    Listen(3 * kRate);
    EXPECT_GT(stream.consumed, filled);
    elSound::Stop(number, -1);
    const uint32_t stopped = stream.consumed;
    Listen(3 * kRate);
    EXPECT_EQ(stream.consumed, stopped);
}

TEST_F(StreamingTest, StreamsKeepTheirNumbersThroughARebuiltDevice) {
    WritePack({{"seven.wav", 7.0}});
    ASSERT_EQ(elSound::LoadObject("waves/seven.wav", 1), 0);  // number 0 taken by a plain object
    const SoundNo number = elSound::LoadStream("seven.wav", 2 * kBytesPerSecond);
    ASSERT_EQ(number, 1);
    elSound::SetVolume(number, -3, 0);
    elSound::SetPackName("other.pak");  // the stream goes on reading its own pack

    elSound::Release();
    elSound::RestoreSounds();
    ASSERT_EQ(elSound::SelectFormat(2, 22, 16), 1);
    const StreamRecord& stream = SoundObjects.streams[number];
    EXPECT_EQ(stream.dataSize, 7 * kBytesPerSecond);
    EXPECT_EQ(static_cast<uint32_t>(stream.loopPosition - stream.dataStart), 2 * kBytesPerSecond);
    EXPECT_EQ(SoundObjects.objects[number].copies[0].volume, -300);
    EXPECT_EQ(MessageCount(), 0u);

    elSound::SetVolume(number, 0, 0);
    elSound::PlayLoop(number, -1);
    const std::vector<int16_t> heard = Listen(7 * kRate + kRate);
    EXPECT_EQ(FirstMismatch(heard, 0, 7 * kRate, 0), SIZE_MAX);
    EXPECT_EQ(FirstMismatch(heard, 7 * kRate, kRate, 2 * kRate), SIZE_MAX);
}

}  // namespace
