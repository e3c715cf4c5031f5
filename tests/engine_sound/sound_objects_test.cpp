// The sound object table and the device: numbers, counts, names, resources, the silent engine
// without a device, release and restore, the output format and the synchronous player.
#include <cstring>

#include "engine/draw/display.h"
#include "engine/system/engine_state.h"
#include "platform/present.h"
#include "tests/engine_sound/sound_fixture.h"

namespace {

using namespace wavetest;

TEST_F(SoundTest, SeventyObjectsFitAndAFreedNumberIsTheNextOneTaken) {
    OpenDevice();
    WriteShortWave("SE/shot.wav");
    for (int i = 0; i < kSoundObjectCount; ++i) ASSERT_EQ(elSound::LoadObject("SE\\shot.wav", 1), i);
    EXPECT_EQ(MessageCount(), 0u);
    EXPECT_EQ(elSound::LoadObject("SE\\shot.wav", 1), -1);
    EXPECT_EQ(LastMessage(), "elSound::LoadObject : オブジェクト数が多過ぎます");
    elSound::FreeObject(41);
    elSound::FreeObject(12);
    EXPECT_EQ(SoundObjects.objects[12].copies[0].buffer, 0u);
    EXPECT_EQ(elSound::LoadObject("se\\SHOT.WAV", 1), 12);  // any case finds the file
    EXPECT_EQ(elSound::LoadObject("SE\\shot.wav", 1), 41);
    EXPECT_EQ(platform::soft::DeviceMixer().BufferCount(), kSoundObjectCount);
}

TEST_F(SoundTest, CountsGiveCopiesAndTheirSignTheEcho) {
    OpenDevice();
    WriteShortWave("a.wav");
    struct Case {
        int count;
        SoundNo expected;
        int copies;
        int echo;
    } cases[] = {{10, 0, 10, 0}, {-10, 1, 10, -1}, {4, 2, 4, 0},
                 {-4, 3, 4, -1}, {1, 4, 1, -1},    {0, 5, 1, -1}};
    for (const Case& c : cases) {
        ASSERT_EQ(elSound::LoadObject("a.wav", c.count), c.expected) << c.count;
        const SoundObject& object = SoundObjects.objects[c.expected];
        EXPECT_EQ(object.copyCount, c.copies) << c.count;
        EXPECT_EQ(object.echoState, c.echo) << c.count;
        for (int i = 0; i < kMaxSoundCopies; ++i)
            EXPECT_EQ(object.copies[i].buffer != 0, i < c.copies) << c.count;
        EXPECT_EQ(object.defaultFrequency, 22050u);
        EXPECT_EQ(object.copies[c.copies - 1].frequency, 22050u);
    }
    for (int count : {11, -11}) {
        EXPECT_EQ(elSound::LoadObject("a.wav", count), -1);
        EXPECT_EQ(LastMessage(), "elSound::LoadObject : ミックス数が多過ぎます");
    }
    EXPECT_EQ(SoundObjects.objects[6].inUse, 0);
}

TEST_F(SoundTest, ThirtyByteNamesAreKeptAndLongerOnesLoadWithoutAName) {
    OpenDevice();
    const std::string name30 = std::string(26, 'n') + ".wav";
    const std::string name31 = std::string(27, 'n') + ".wav";
    WriteShortWave(name30);
    WriteShortWave(name31);
    EXPECT_EQ(elSound::LoadObject(name30.c_str(), 1), 0);
    EXPECT_STREQ(SoundObjects.objects[0].name, name30.c_str());
    EXPECT_EQ(elSound::LoadObject(name31.c_str(), 2), -1);
    EXPECT_EQ(LastMessage(), "elSound::LoadObject : ファイル名またはリソース名が長すぎます");
    EXPECT_EQ(SoundObjects.objects[1].inUse, 1);
    EXPECT_EQ(SoundObjects.objects[1].name[0], '\0');
    elSound::Play(1, 0);  // it is loaded and plays
    EXPECT_TRUE(CopyPlaying(1, 0));
}

TEST_F(SoundTest, AResourceIsFoundWhenNoFileIsAndMustHoldItsData) {
    OpenDevice();
    const std::vector<uint8_t> data = Samples16({100, 200, 300, 400});
    static std::vector<uint8_t> whole, cut;
    whole = WaveFile(1, 11025, 16, data);
    cut = whole;
    cut.resize(46);  // says 8 bytes of data, holds 2
    static platform::Resource table[2];
    table[0] = {"CHIME.WAV", whole.data(), whole.size()};
    table[1] = {"CUT.WAV", cut.data(), cut.size()};
    platform::RegisterResources(table, 2);

    ASSERT_EQ(elSound::LoadObject("chime.wav", 1), 0);
    EXPECT_EQ(SoundObjects.objects[0].defaultFrequency, 11025u);
    platform::LockedRegions regions;
    ASSERT_EQ(platform::LockSoundBuffer(SoundObjects.objects[0].copies[0].buffer, 0, 0, &regions),
              platform::kAudioOk);
    ASSERT_EQ(regions.firstBytes, data.size());
    EXPECT_EQ(std::memcmp(regions.first, data.data(), data.size()), 0);
    platform::UnlockSoundBuffer(SoundObjects.objects[0].copies[0].buffer, regions);

    EXPECT_EQ(elSound::LoadObject("CUT.WAV", 1), -1);
    EXPECT_EQ(LastMessage(), "elSound::LoadObject : WAVEリソースが見つかりません");
    EXPECT_EQ(elSound::LoadObject("NONE.WAV", 1), -1);
    EXPECT_EQ(LastMessage(), "elSound::LoadObject : WAVEリソースが見つかりません");
    platform::RegisterResources(nullptr, 0);
    EXPECT_EQ(SoundObjects.objects[1].inUse, 0);
}

TEST_F(SoundTest, ARefusedBufferLeavesNoCopyBehindAndTheNumberFree) {
    OpenDevice();
    WriteWave("wide.wav", 1, 22050, 24, std::vector<uint8_t>(30, 1));  // 24-bit: not mixable
    WriteShortWave("ok.wav");
    EXPECT_EQ(elSound::LoadObject("wide.wav", 5), -1);
    EXPECT_EQ(LastMessage(), "elSound::LoadObject : サウンドバッファが生成できません");
    EXPECT_EQ(SoundObjects.objects[0].inUse, 0);
    EXPECT_EQ(platform::soft::DeviceMixer().BufferCount(), 0);

    // The mixer full but for two buffers: the third copy is refused and the two made go again.
    std::vector<platform::SoundBuffer> others;
    const platform::WaveFormat mono;
    platform::SoundBuffer buffer = 0;
    while (platform::soft::DeviceMixer().BufferCount() <
           static_cast<int>(platform::soft::Mixer::kMaxBuffers) - 2) {
        ASSERT_EQ(platform::CreateSoundBuffer(mono, 4, &buffer), platform::kAudioOk);
        others.push_back(buffer);
    }
    EXPECT_EQ(elSound::LoadObject("ok.wav", 5), -1);
    EXPECT_EQ(LastMessage(), "elSound::LoadObject : サウンドバッファが生成できません");
    EXPECT_EQ(platform::soft::DeviceMixer().BufferCount(), static_cast<int>(others.size()));
    EXPECT_EQ(SoundObjects.objects[0].inUse, 0);
    for (platform::SoundBuffer b : others) platform::ReleaseSoundBuffer(b);
    EXPECT_EQ(elSound::LoadObject("ok.wav", 5), 0);
}

TEST_F(SoundTest, WithoutADeviceEverythingIsSilentAndNothingIsReported) {
    platform::headless::Audio.deviceAvailable = false;
    EXPECT_EQ(elSound::Init(), 0);
    ResetSoundObjects();
    WriteShortWave("a.wav");
    elSound::SetPackName("none.pak");
    EXPECT_EQ(elSound::LoadObject("a.wav", 1), -1);
    EXPECT_EQ(elSound::LoadObject("a.wav", 11), -1);
    EXPECT_EQ(elSound::LoadPack("a.wav", 1), -1);
    EXPECT_EQ(elSound::SelectFormat(5, 1, 3), 1);
    elSound::Play(0, -2);
    elSound::SetVolume(0, -5, -1);
    elSound::UpdateEcho(0, 200, 3, 10);
    EXPECT_EQ(elSound::GetPosition(0), 0u);
    elSound::FreeObject(0);
    elSound::Release();
    elSound::RestoreSounds();
    EXPECT_EQ(MessageCount(), 0u);
    EXPECT_EQ(HasError(), 0);
    EXPECT_FALSE(platform::AudioDeviceOpen());
    EXPECT_EQ(SoundObjects.objects[0].inUse, 0);
}

TEST_F(SoundTest, ReleaseAndRestoreKeepNumbersCountsAndEachCopysSettings) {
    OpenDevice();
    WriteShortWave("a.wav");
    WriteShortWave("b.wav");
    ASSERT_EQ(elSound::LoadObject("a.wav", 3), 0);
    ASSERT_EQ(elSound::LoadObject("b.wav", -2), 1);
    ASSERT_EQ(elSound::LoadObject("a.wav", 1), 2);
    elSound::FreeObject(1);
    ASSERT_EQ(elSound::LoadObject("b.wav", -2), 1);
    elSound::SetVolume(0, -12, 1);
    elSound::SetPan(0, 35, 2);
    elSound::SetFrequency(0, 50, 0);
    elSound::AddFrequency(1, -20, -1);
    elSound::Play(0, -1);  // next copy 1

    elSound::Release();
    EXPECT_FALSE(platform::AudioDeviceOpen());
    EXPECT_EQ(SoundObjects.objects[0].copies[0].buffer, 0u);
    EXPECT_EQ(SoundDevice.soundAvailable, 1);
    elSound::Play(0, 0);  // safe while released
    elSound::RestoreSounds();

    EXPECT_TRUE(platform::AudioDeviceOpen());
    EXPECT_EQ(MessageCount(), 0u);
    const int copies[] = {3, 2, 1};
    const int echo[] = {0, -1, -1};
    for (SoundNo n = 0; n < 3; ++n) {
        const SoundObject& object = SoundObjects.objects[n];
        EXPECT_EQ(object.inUse, 1);
        EXPECT_EQ(object.copyCount, copies[n]);
        EXPECT_EQ(object.echoState, echo[n]);
        for (int c = 0; c < object.copyCount; ++c) {
            const SoundCopy& copy = object.copies[c];
            ASSERT_NE(copy.buffer, 0u);
            EXPECT_EQ(platform::SoundBufferVolume(copy.buffer), copy.volume);
            EXPECT_EQ(platform::SoundBufferPan(copy.buffer), copy.pan);
            EXPECT_EQ(platform::SoundBufferFrequency(copy.buffer), copy.frequency);
        }
    }
    EXPECT_EQ(SoundObjects.objects[0].copies[1].volume, -1200);
    EXPECT_EQ(SoundObjects.objects[0].copies[2].pan, 3500);
    EXPECT_EQ(SoundObjects.objects[0].copies[0].frequency, 27050u);
    EXPECT_EQ(SoundObjects.objects[1].copies[1].frequency, 20050u);
    EXPECT_EQ(SoundObjects.objects[0].nextCopy, 1);
    EXPECT_STREQ(SoundObjects.objects[1].name, "b.wav");
    EXPECT_EQ(SoundObjects.objects[3].inUse, 0);
}

TEST_F(SoundTest, SelectFormatMapsRateCodesAndRebuildsTheObjects) {
    OpenDevice();
    WriteShortWave("a.wav");
    ASSERT_EQ(elSound::LoadObject("a.wav", 2), 0);
    elSound::SetVolume(0, -3, 1);

    EXPECT_EQ(elSound::SelectFormat(2, 22, 16), 1);
    platform::WaveFormat format = platform::OutputFormat();
    EXPECT_EQ(format.samplesPerSec, 22050u);
    EXPECT_EQ(format.blockAlign, 4);
    EXPECT_EQ(format.avgBytesPerSec, 88200u);
    EXPECT_EQ(SoundObjects.objects[0].copies[1].volume, -300);
    EXPECT_EQ(platform::SoundBufferVolume(SoundObjects.objects[0].copies[1].buffer), -300);

    EXPECT_EQ(elSound::SelectFormat(1, 32000, 8), 1);
    format = platform::OutputFormat();
    EXPECT_EQ(format.samplesPerSec, 32000u);
    EXPECT_EQ(format.channels, 1);
    EXPECT_EQ(format.bitsPerSample, 8);
    EXPECT_EQ(format.blockAlign, 1);
    for (int rate : {8, 11, 44}) {
        ASSERT_EQ(elSound::SelectFormat(2, rate, 16), 1);
        EXPECT_EQ(platform::OutputFormat().samplesPerSec, rate == 8 ? 8000u : rate == 11 ? 11025u : 44100u);
    }
    EXPECT_EQ(MessageCount(), 0u);
    elSound::Play(0, 0);
    std::vector<int16_t> heard = Render(200);
    EXPECT_TRUE(std::any_of(heard.begin(), heard.end(), [](int16_t s) { return s != 0; }));
}

TEST_F(SoundTest, ARefusedFormatKeepsTheOldOneAndTheObjectsPlayable) {
    OpenDevice();
    WriteShortWave("a.wav");
    ASSERT_EQ(elSound::LoadObject("a.wav", 2), 0);
    ASSERT_EQ(elSound::SelectFormat(1, 22, 16), 1);
    for (auto [channels, rate, bits] : {std::tuple{3, 22, 16}, {2, 22, 24}, {2, 0, 16}, {65537, 22, 16}}) {
        EXPECT_EQ(elSound::SelectFormat(channels, rate, bits), 0);
        EXPECT_EQ(LastMessage(), "elSound::SelectFormat : 再生フォーマットを変更できません");
        EXPECT_EQ(platform::OutputFormat().channels, 1);
        EXPECT_EQ(platform::OutputFormat().samplesPerSec, 22050u);
    }
    ASSERT_NE(SoundObjects.objects[0].copies[1].buffer, 0u);
    elSound::Play(0, 1);
    std::vector<int16_t> heard = Render(200);
    EXPECT_TRUE(std::any_of(heard.begin(), heard.end(), [](int16_t s) { return s != 0; }));
}

TEST_F(SoundTest, PlayWaveSyncPlaysAFileOnItsOwnAndBeepsForAnythingElse) {
    OpenDevice();
    WriteShortWave("a.wav");
    ASSERT_EQ(elSound::LoadObject("a.wav", 2), 0);
    elSound::SetPan(0, 20, 1);
    const std::string path = (folder / "a.wav").string();
    elSound::PlayWaveSync(path.c_str());
    ASSERT_EQ(platform::headless::Audio.syncPlays.size(), 1u);
    EXPECT_EQ(platform::headless::Audio.syncPlays[0], path);
    EXPECT_EQ(platform::headless::Audio.lastSyncRender.size(), 960u * 2);  // 20 ms at 48000 Hz stereo
    EXPECT_EQ(platform::headless::Headless.beeps, 0);

    for (const char* name : {"SystemAsterisk", "missing.wav"}) elSound::PlayWaveSync(name);
    EXPECT_EQ(platform::headless::Headless.beeps, 2);
    EXPECT_EQ(platform::headless::Audio.syncPlays.size(), 1u);
    EXPECT_TRUE(platform::AudioDeviceOpen());
    EXPECT_EQ(platform::SoundBufferPan(SoundObjects.objects[0].copies[1].buffer), 2000);
    EXPECT_EQ(MessageCount(), 0u);
}

TEST_F(SoundTest, TheDisplaySetUpOpensTheDeviceAndTheExitProcedureReleasesIt) {
    WriteShortWave("a.wav");
    EngineInit();
    Engine.FullScreen = 0;
    ASSERT_EQ(elDraw::Screen(800, 600, 1), 1);
    EXPECT_EQ(SoundDevice.soundAvailable, 1);
    EXPECT_TRUE(platform::AudioDeviceOpen());
    EXPECT_EQ(elSound::LoadObject("a.wav", 1), 0);
    ExitProgram();
    EXPECT_FALSE(platform::AudioDeviceOpen());
    EXPECT_EQ(SoundObjects.objects[0].copies[0].buffer, 0u);
    EXPECT_EQ(SoundObjects.objects[0].inUse, 1);
    ReleaseDisplay();
}

}  // namespace
