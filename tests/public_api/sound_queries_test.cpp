// What a scene reads of elSound through the public interface: the device, objects and their
// copies (round robin, echo, volume, pan, frequency) and a stream's progress.
#include <el/sound.h>
#include <el/streaming.h>

#include "tests/engine_sound/sound_fixture.h"

namespace {

class SoundQueriesTest : public SoundTest {};

TEST_F(SoundQueriesTest, WithoutADeviceNothingLoadsAndEveryQueryAnswersEmpty) {
    EXPECT_EQ(elSound::IsAvailable(), 0);
    WriteShortWave("a.wav");
    EXPECT_EQ(elSound::LoadObject("a.wav", 2), -1);
    EXPECT_EQ(elSound::IsLoaded(0), 0);
    EXPECT_EQ(elSound::GetCopyCount(0), 0);
    EXPECT_EQ(elSound::GetEchoState(0), -1);
    EXPECT_EQ(elSound::GetVolume(0, 0), 0);
    EXPECT_EQ(elSound::GetFrequency(0, 0), 0u);
}

TEST_F(SoundQueriesTest, CopiesRoundRobinAndTheirLevelsReadBack) {
    OpenDevice();
    EXPECT_EQ(elSound::IsAvailable(), 1);
    WriteShortWave("a.wav", 22050);
    const SoundNo n = elSound::LoadObject("a.wav", 3);
    ASSERT_GE(n, 0);
    EXPECT_EQ(elSound::IsLoaded(n), 1);
    EXPECT_EQ(elSound::IsLoaded(n + 1), 0);
    EXPECT_EQ(elSound::GetCopyCount(n), 3);
    EXPECT_EQ(elSound::GetEchoState(n), 0);  // more than one copy: the echo is ready
    const uint32_t own = elSound::GetFrequency(n, 0);
    EXPECT_GT(own, 0u);

    EXPECT_EQ(elSound::GetNextCopy(n), 0);
    elSound::Play(n, elCopy::Every);  // Play with every copy takes the next one
    EXPECT_EQ(elSound::GetNextCopy(n), 1);
    elSound::Play(n, 2);  // a named copy leaves the round robin alone
    EXPECT_EQ(elSound::GetNextCopy(n), 1);

    elSound::SetVolume(n, -12, 1);
    elSound::SetPan(n, 25, 2);
    elSound::AddFrequency(n, 30, 0);
    EXPECT_EQ(elSound::GetVolume(n, 1), -1200);
    EXPECT_EQ(elSound::GetVolume(n, 0), 0);
    EXPECT_EQ(elSound::GetPan(n, 2), 2500);
    EXPECT_EQ(elSound::GetPan(n, 1), 0);
    EXPECT_EQ(elSound::GetFrequency(n, 0), own + 3000);
    EXPECT_EQ(elSound::GetFrequency(n, 1), own);
    // Each query reads what the table holds.
    for (int copy = 0; copy < 3; ++copy) {
        EXPECT_EQ(elSound::GetVolume(n, copy), SoundObjects.objects[n].copies[copy].volume);
        EXPECT_EQ(elSound::GetPan(n, copy), SoundObjects.objects[n].copies[copy].pan);
        EXPECT_EQ(elSound::GetFrequency(n, copy), SoundObjects.objects[n].copies[copy].frequency);
    }
    elSound::SetVolume(n, -5, elCopy::Every);
    for (int copy = 0; copy < 3; ++copy) EXPECT_EQ(elSound::GetVolume(n, copy), -500);
    // Copies that do not exist, and numbers out of the table.
    EXPECT_EQ(elSound::GetVolume(n, 3), 0);
    EXPECT_EQ(elSound::GetPan(n, -1), 0);
    EXPECT_EQ(elSound::GetFrequency(n, kMaxSoundCopies), 0u);
    EXPECT_EQ(elSound::IsLoaded(-1), 0);
    EXPECT_EQ(elSound::IsLoaded(kSoundObjectCount), 0);

    EXPECT_EQ(elSound::IsPlaying(n, 0), 1);  // one second long: still playing
    EXPECT_EQ(elSound::IsPlaying(n, 1), 0);
    EXPECT_EQ(elSound::IsPlaying(n, 2), 1);
    EXPECT_EQ(elSound::IsPlaying(n, 3), 0);  // no such copy
    EXPECT_EQ(elSound::IsLooping(n), 0);
    elSound::PlayLoop(n, 1);
    EXPECT_EQ(elSound::IsLooping(n), 1);
    EXPECT_EQ(elSound::IsPlaying(n, 1), 1);
    elSound::Stop(n, elCopy::Every);
    for (int copy = 0; copy < 3; ++copy) EXPECT_EQ(elSound::IsPlaying(n, copy), 0);

    elSound::Play(n, elCopy::RoundRobin);  // starts the echo
    EXPECT_EQ(elSound::GetEchoState(n), 1);
    elSound::FreeObject(n);
    EXPECT_EQ(elSound::IsLoaded(n), 0);
    EXPECT_EQ(elSound::GetCopyCount(n), 0);
}

TEST_F(SoundQueriesTest, AStreamReportsWhatItHasReadAndAnObjectIsNoStream) {
    OpenDevice();
    ASSERT_EQ(elSound::SelectFormat(2, 22, 16), 1);
    constexpr uint32_t kBytesPerSecond = 22050 * 4;
    WriteWave("waves/song.wav", 2, 22050, 16, std::vector<uint8_t>(6 * kBytesPerSecond, 0x10));
    WriteWave("waves/blip.wav", 2, 22050, 16, std::vector<uint8_t>(kBytesPerSecond / 2, 0x10));
    ASSERT_EQ(elSound::Convert("music.pak", "waves", 1), 1);
    elSound::SetPackName("music.pak");
    const SoundNo song = elSound::LoadStream("song.wav", 1000);
    const SoundNo blip = elSound::LoadStream("blip.wav", 0);  // short: loaded whole
    ASSERT_GE(song, 0);
    ASSERT_GE(blip, 0);

    elSound::StreamStatus status;
    EXPECT_EQ(elSound::GetStreamStatus(song, &status), 1);
    EXPECT_EQ(status.dataSize, 6 * kBytesPerSecond);
    EXPECT_EQ(status.loopPoint, 1000u);
    EXPECT_EQ(status.halfRing, 2 * kBytesPerSecond);
    EXPECT_EQ(status.consumed, status.halfRing);  // the first half of the ring is filled at once
    EXPECT_EQ(status.consumed, SoundObjects.streams[song].consumed);

    status.dataSize = 99;
    EXPECT_EQ(elSound::GetStreamStatus(blip, &status), 0);
    EXPECT_EQ(status.dataSize, 0u);
    EXPECT_EQ(status.consumed, 0u);
    EXPECT_EQ(elSound::GetStreamStatus(-1, &status), 0);
    EXPECT_EQ(elSound::GetStreamStatus(kSoundObjectCount, nullptr), 0);
}

}  // namespace
