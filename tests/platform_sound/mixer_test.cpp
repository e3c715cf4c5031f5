// The mixer heard through the headless device: gains, pan, resampling and its images, ends and
// loops, sums and saturation, output formats, positions, the fade after a stop and the buffer
// operations' results.
#include "platform/soft/mixer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <numeric>

#include "platform/headless/headless.h"
#include "sound_test_support.h"

using namespace platform;
using namespace sound_test;

namespace {

class MixerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        CloseAudioDevice();
        headless::Audio = headless::HeadlessAudio{};
        ASSERT_TRUE(OpenAudioDevice());
    }
    void TearDown() override { CloseAudioDevice(); }

    static std::vector<int16_t> Render(uint32_t frames) {
        std::vector<int16_t> out(static_cast<size_t>(frames) * OutputFormat().channels);
        EXPECT_TRUE(headless::RenderAudio(out.data(), frames));
        return out;
    }
};

TEST_F(MixerTest, NoDeviceRefusesEverythingAndTheDefaultFormatIs48kStereo16) {
    CloseAudioDevice();
    headless::Audio.deviceAvailable = false;
    EXPECT_FALSE(OpenAudioDevice());
    EXPECT_FALSE(AudioDeviceOpen());
    SoundBuffer buffer = 123;
    EXPECT_EQ(CreateSoundBuffer(Pcm(1, 22050, 16), 100, &buffer), kAudioNoDevice);
    EXPECT_EQ(buffer, 0u);
    EXPECT_EQ(SetOutputFormat(Pcm(2, 22050, 16)), kAudioNoDevice);
    int16_t out[8] = {1, 1, 1, 1, 1, 1, 1, 1};
    EXPECT_FALSE(headless::RenderAudio(out, 4));
    EXPECT_EQ(std::count(out, out + 8, 0), 8);

    headless::Audio.deviceAvailable = true;
    ASSERT_TRUE(OpenAudioDevice());
    const WaveFormat f = OutputFormat();
    EXPECT_EQ(f.samplesPerSec, 48000u);
    EXPECT_EQ(f.channels, 2);
    EXPECT_EQ(f.bitsPerSample, 16);
    EXPECT_EQ(f.blockAlign, 4);
    EXPECT_EQ(f.avgBytesPerSec, 192000u);
}

TEST_F(MixerTest, CreationRefusesUnplayableFormatsAndSizes) {
    SoundBuffer buffer = 0;
    WaveFormat adpcm = Pcm(1, 22050, 16);
    adpcm.formatTag = 2;
    EXPECT_EQ(CreateSoundBuffer(adpcm, 100, &buffer), kAudioBadFormat);
    EXPECT_EQ(CreateSoundBuffer(Pcm(3, 22050, 16), 60, &buffer), kAudioBadFormat);
    EXPECT_EQ(CreateSoundBuffer(Pcm(1, 22050, 24), 60, &buffer), kAudioBadFormat);
    EXPECT_EQ(CreateSoundBuffer(Pcm(1, 99, 16), 60, &buffer), kAudioBadFormat);
    WaveFormat misaligned = Pcm(2, 22050, 16);
    misaligned.blockAlign = 2;
    EXPECT_EQ(CreateSoundBuffer(misaligned, 60, &buffer), kAudioBadFormat);
    EXPECT_EQ(CreateSoundBuffer(Pcm(2, 22050, 16), 0, &buffer), kAudioInvalidParam);
    EXPECT_EQ(CreateSoundBuffer(Pcm(2, 22050, 16), 6, &buffer), kAudioInvalidParam);
    EXPECT_EQ(CreateSoundBuffer(Pcm(2, 22050, 16), 8, nullptr), kAudioInvalidParam);
    ASSERT_EQ(CreateSoundBuffer(Pcm(2, 44100, 8), 8, &buffer), kAudioOk);
    EXPECT_NE(buffer, 0u);
    EXPECT_EQ(SoundBufferFrequency(buffer), 44100u);
    EXPECT_EQ(SoundBufferVolume(buffer), 0);
    EXPECT_EQ(SoundBufferPan(buffer), 0);
    EXPECT_FALSE(SoundBufferPlaying(buffer));
    EXPECT_EQ(SoundBufferPosition(buffer), 0u);
    // Out-of-range settings are refused and change nothing.
    EXPECT_EQ(SetSoundBufferVolume(buffer, 1), kAudioInvalidParam);
    EXPECT_EQ(SetSoundBufferVolume(buffer, -10001), kAudioInvalidParam);
    EXPECT_EQ(SetSoundBufferPan(buffer, 10001), kAudioInvalidParam);
    EXPECT_EQ(SetSoundBufferFrequency(buffer, 99), kAudioInvalidParam);
    EXPECT_EQ(SetSoundBufferFrequency(buffer, 100001), kAudioInvalidParam);
    EXPECT_EQ(SetSoundBufferPosition(buffer, 9), kAudioInvalidParam);
    EXPECT_EQ(SoundBufferFrequency(buffer), 44100u);
    // A released handle is dead, and a new buffer in its slot does not revive it.
    ReleaseSoundBuffer(buffer);
    EXPECT_EQ(PlaySoundBuffer(buffer, false), kAudioInvalidParam);
    SoundBuffer again = 0;
    ASSERT_EQ(CreateSoundBuffer(Pcm(2, 44100, 8), 8, &again), kAudioOk);
    EXPECT_NE(again, buffer);
    EXPECT_EQ(PlaySoundBuffer(buffer, false), kAudioInvalidParam);
    EXPECT_EQ(PlaySoundBuffer(0, false), kAudioInvalidParam);
}

TEST_F(MixerTest, LockReturnsTwoRegionsWhenTheRangeWraps) {
    SoundBuffer buffer = 0;
    ASSERT_EQ(CreateSoundBuffer(Pcm(1, 8000, 8), 100, &buffer), kAudioOk);
    LockedRegions r;
    ASSERT_EQ(LockSoundBuffer(buffer, 0, 0, &r), kAudioOk);
    EXPECT_EQ(r.firstBytes, 100u);
    EXPECT_EQ(r.second, nullptr);
    EXPECT_EQ(static_cast<uint8_t*>(r.first)[0], 0x80);  // 8-bit silence
    uint8_t* base = static_cast<uint8_t*>(r.first);
    UnlockSoundBuffer(buffer, r);
    ASSERT_EQ(LockSoundBuffer(buffer, 90, 30, &r), kAudioOk);
    EXPECT_EQ(r.first, base + 90);
    EXPECT_EQ(r.firstBytes, 10u);
    EXPECT_EQ(r.second, base);
    EXPECT_EQ(r.secondBytes, 20u);
    UnlockSoundBuffer(buffer, r);
    EXPECT_EQ(LockSoundBuffer(buffer, 100, 1, &r), kAudioInvalidParam);
    EXPECT_EQ(LockSoundBuffer(buffer, 0, 101, &r), kAudioInvalidParam);
}

TEST_F(MixerTest, AtTheOutputRateABufferPlaysBitExactAndStopsAtItsEnd) {
    std::vector<int16_t> samples(2 * 1000);
    for (size_t i = 0; i < samples.size(); ++i) samples[i] = static_cast<int16_t>((i * 7919) % 60001 - 30000);
    SoundBuffer buffer = Buffer16(samples, 2, 48000);
    ASSERT_EQ(PlaySoundBuffer(buffer, false), kAudioOk);
    EXPECT_TRUE(SoundBufferPlaying(buffer));
    std::vector<int16_t> first = Render(600);
    EXPECT_EQ(SoundBufferPosition(buffer), 600u * 4);
    EXPECT_TRUE(SoundBufferPlaying(buffer));
    std::vector<int16_t> rest = Render(600);
    first.insert(first.end(), rest.begin(), rest.end());
    EXPECT_TRUE(std::equal(samples.begin(), samples.end(), first.begin()));
    EXPECT_TRUE(std::all_of(first.begin() + 2000, first.end(), [](int16_t s) { return s == 0; }));
    EXPECT_FALSE(SoundBufferPlaying(buffer));
    EXPECT_EQ(SoundBufferPosition(buffer), 4000u);  // at its end
    // Rendering more moves nothing; playing again from the end stops at once.
    Render(100);
    EXPECT_EQ(SoundBufferPosition(buffer), 4000u);
    ASSERT_EQ(SetSoundBufferPosition(buffer, 3999), kAudioOk);  // rounded down to a whole frame
    EXPECT_EQ(SoundBufferPosition(buffer), 3996u);
}

TEST_F(MixerTest, PositionsMoveOnlyAsFramesAreRenderedInTheBuffersOwnFrames) {
    SoundBuffer buffer = Buffer16(std::vector<int16_t>(22050, 1000), 1, 24000);
    ASSERT_EQ(SetSoundBufferPosition(buffer, 2000), kAudioOk);
    ASSERT_EQ(PlaySoundBuffer(buffer, false), kAudioOk);
    EXPECT_EQ(SoundBufferPosition(buffer), 2000u);
    Render(480);  // 10 ms: 240 frames of the buffer
    EXPECT_EQ(SoundBufferPosition(buffer), 2000u + 240 * 2);
    ASSERT_EQ(StopSoundBuffer(buffer), kAudioOk);
    Render(480);
    EXPECT_EQ(SoundBufferPosition(buffer), 2000u + 240 * 2);
    EXPECT_FALSE(SoundBufferPlaying(buffer));
    // Playing again resumes there.
    ASSERT_EQ(PlaySoundBuffer(buffer, true), kAudioOk);
    Render(96);
    EXPECT_EQ(SoundBufferPosition(buffer), 2000u + 288 * 2);
}

TEST_F(MixerTest, VolumeGainIsTenToTheVolumeOver2000AndMinimumIsSilence) {
    const std::vector<int16_t> tone = Sine(48000, 1000, 48000, 20000);
    SoundBuffer a = Buffer16(tone, 1, 48000);
    ASSERT_EQ(SetSoundBufferVolume(a, -600), kAudioOk);
    EXPECT_EQ(SoundBufferVolume(a), -600);
    PlaySoundBuffer(a, false);
    std::vector<int16_t> out = Render(4800);
    const double ratio =
        Rms(Channel(out, 2, 0)) / Rms(Channel(std::vector<int16_t>(tone.begin(), tone.begin() + 4800), 1, 0));
    EXPECT_NEAR(ratio, 0.501187, 0.501187 * 0.005);
    EXPECT_NEAR(Rms(Channel(out, 2, 1)) / Rms(Channel(out, 2, 0)), 1.0, 1e-6);

    ASSERT_EQ(SetSoundBufferVolume(a, kVolumeMin), kAudioOk);
    Render(256);  // the change ramps over one block
    out = Render(4800);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](int16_t s) { return s == 0; }));
}

TEST_F(MixerTest, PanAttenuatesOnlyTheFarSide) {
    const std::vector<int16_t> tone = Sine(48000, 500, 48000, 16000);
    SoundBuffer a = Buffer16(tone, 1, 48000);
    PlaySoundBuffer(a, true);
    struct Case {
        int32_t pan;
        double left, right;
    } cases[] = {{0, 1, 1}, {-10000, 1, 0}, {10000, 0, 1}, {-600, 1, 0.501187}, {1200, 0.251189, 1}};
    const double reference = Rms(Channel(tone, 1, 0), 0, 9600);
    for (const Case& c : cases) {
        ASSERT_EQ(SetSoundBufferPan(a, c.pan), kAudioOk);
        Render(256);
        std::vector<int16_t> out = Render(9600);
        EXPECT_NEAR(Rms(Channel(out, 2, 0)) / reference, c.left, 0.003) << c.pan;
        EXPECT_NEAR(Rms(Channel(out, 2, 1)) / reference, c.right, 0.003) << c.pan;
        // A full pan silences the far side exactly.
        if (c.left == 0) {
            EXPECT_EQ(Rms(Channel(out, 2, 0)), 0.0);
        }
        if (c.right == 0) {
            EXPECT_EQ(Rms(Channel(out, 2, 1)), 0.0);
        }
    }
}

TEST_F(MixerTest, ResamplingKeepsA1kHzSineCleanAndDoublingTheFrequencyDoublesTheCrossings) {
    SoundBuffer a = Buffer16(Sine(22050 * 2, 1000, 22050, 16000), 1, 22050);
    PlaySoundBuffer(a, false);
    std::vector<int16_t> out = Render(48000);
    std::vector<double> left = Channel(out, 2, 0);
    std::vector<double> steady(left.begin() + 1000, left.end() - 1000);
    const double thd = ThdPlusNoiseDb(steady, 1000, 48000);
    EXPECT_LE(thd, -60.0);
    std::printf("THD+N of a 1 kHz sine, 22050 -> 48000 Hz: %.1f dB\n", thd);
    const int crossings = ZeroCrossings(left, 1000, 1000 + 24000);
    EXPECT_NEAR(crossings, 1000, 2);  // 500 ms of 1 kHz

    // Twice the frequency while playing: twice the crossings, and no jump where it changed.
    ASSERT_EQ(SetSoundBufferFrequency(a, 44100), kAudioOk);
    out = Render(24000);
    left = Channel(out, 2, 0);
    EXPECT_NEAR(ZeroCrossings(left, 0, 24000), 2000, 2);
    double largest = 0;
    for (size_t i = 1; i < left.size(); ++i) largest = std::max(largest, std::fabs(left[i] - left[i - 1]));
    EXPECT_LT(largest, 16000 * 2 * M_PI * 2000 / 48000 * 1.05);  // the steepest slope of the faster sine
}

TEST_F(MixerTest, ReadingFasterThanTheOutputRateFiltersWhatWouldFoldBack) {
    // 44100 Hz sounds into a 22050 Hz mix: 5 kHz passes; 17 kHz, half as high again as the mix's
    // Nyquist frequency (it would fold to 5050 Hz), goes.
    ASSERT_EQ(SetOutputFormat(Pcm(1, 22050, 16)), kAudioOk);
    SoundBuffer pass = Buffer16(Sine(44100, 5000, 44100, 10000), 1, 44100);
    SoundBuffer fold = Buffer16(Sine(44100, 17000, 44100, 10000), 1, 44100);
    PlaySoundBuffer(pass, false);
    std::vector<double> out = Channel(Render(22050), 1, 0);
    std::vector<double> middle(out.begin() + 1025, out.begin() + 1025 + 20000);
    EXPECT_NEAR(ToneAmplitude(middle, 5000, 22050), 10000, 10000 * 0.03);
    PlaySoundBuffer(fold, false);
    out = Channel(Render(22050), 1, 0);
    middle.assign(out.begin() + 1025, out.begin() + 1025 + 20000);
    const double folded = 20 * std::log10(ToneAmplitude(middle, 5050, 22050) / 10000);
    EXPECT_LT(folded, -40.0);
    std::printf("17 kHz read at twice the mix rate: folded image at %.1f dB\n", folded);

    // A 22050 Hz sound raised to 96000 Hz in a 48000 Hz mix: its 9 kHz becomes 39.2 kHz, far above
    // the mix's Nyquist frequency, and must not come back at 8.8 kHz.
    ASSERT_EQ(SetOutputFormat(Pcm(2, 48000, 16)), kAudioOk);
    SoundBuffer raised = Buffer16(Sine(22050, 9000, 22050, 10000), 1, 22050);
    ASSERT_EQ(SetSoundBufferFrequency(raised, 96000), kAudioOk);
    PlaySoundBuffer(raised, false);
    out = Channel(Render(10000), 2, 0);
    middle.assign(out.begin() + 500, out.begin() + 10000);
    const double raisedImage =
        20 * std::log10(ToneAmplitude(middle, 48000 - 9000 * 96000.0 / 22050, 48000) / 10000);
    EXPECT_LT(raisedImage, -40.0);
    std::printf("9 kHz raised to 39.2 kHz: folded image at %.1f dB\n", raisedImage);
}

TEST_F(MixerTest, ALoopingBufferWrapsWithoutAGapOrARepeatedFrame) {
    std::vector<int16_t> ramp(2 * 300);
    for (int i = 0; i < 300; ++i) {
        ramp[2 * i] = static_cast<int16_t>(i * 100 - 15000);
        ramp[2 * i + 1] = static_cast<int16_t>(-i * 50);
    }
    SoundBuffer a = Buffer16(ramp, 2, 48000);
    ASSERT_EQ(SetSoundBufferPosition(a, 250 * 4), kAudioOk);
    PlaySoundBuffer(a, true);
    std::vector<int16_t> out = Render(1000);
    for (int n = 0; n < 1000; ++n) {
        const int frame = (250 + n) % 300;
        ASSERT_EQ(out[2 * n], ramp[2 * frame]) << n;
        ASSERT_EQ(out[2 * n + 1], ramp[2 * frame + 1]) << n;
    }
    EXPECT_TRUE(SoundBufferPlaying(a));
    EXPECT_EQ(SoundBufferPosition(a), ((250 + 1000) % 300) * 4u);
}

TEST_F(MixerTest, ResampledLoopsRunAtTheRightRateAcrossTheSeam) {
    // 100 frames of a 441 Hz sine at 44100: a whole period, so the loop is one endless sine.
    SoundBuffer a = Buffer16(Sine(100, 441, 44100, 12000), 1, 44100);
    PlaySoundBuffer(a, true);
    std::vector<int16_t> out = Render(48000);
    std::vector<double> left = Channel(out, 2, 0);
    std::vector<double> steady(left.begin() + 100, left.end());
    EXPECT_LE(ThdPlusNoiseDb(steady, 441, 48000), -60.0);
    // One second of output read 44100 frames: 441 whole loops, back where it started.
    EXPECT_EQ(SoundBufferPosition(a), 0u);
}

TEST_F(MixerTest, AResampledLoopStartsFromSilenceNotFromItsEnd) {
    // Silence for 400 frames, then a loud last stretch: before the first pass nothing was heard,
    // so the start must not ring with the end, as if the loop had already come round.
    std::vector<int16_t> samples(1000, 0);
    std::fill(samples.begin() + 400, samples.end(), int16_t{20000});
    SoundBuffer a = Buffer16(samples, 1, 22050);
    PlaySoundBuffer(a, true);
    const std::vector<double> left = Channel(Render(4000), 2, 0);
    // 400 source frames of silence last 870 output frames; the kernel reaches 16 frames ahead
    // (35 output frames) and 15 behind.
    for (int n = 0; n < 830; ++n) ASSERT_EQ(left[n], 0.0) << n;
    EXPECT_NEAR(left[1500], 20000, 200);
    // The second pass (from output frame 2177 on) is silent again once past the seam's reach.
    for (int n = 2177 + 36; n < 2177 + 830; ++n) ASSERT_EQ(left[n], 0.0) << n;
    StopSoundBuffer(a);
}

TEST_F(MixerTest, OverlappingBuffersSumAndTheSumSaturates) {
    const std::vector<int16_t> tone = Sine(4800, 1000, 48000, 12000);
    SoundBuffer a = Buffer16(tone, 1, 48000);
    SoundBuffer b = Buffer16(tone, 1, 48000);
    PlaySoundBuffer(a, false);
    PlaySoundBuffer(b, false);
    std::vector<int16_t> out = Render(4800);
    for (int n = 0; n < 4800; ++n) ASSERT_EQ(out[2 * n], std::clamp(2 * tone[n], -32768, 32767)) << n;

    // Three at 24000 go far past full scale: the peaks flatten, never wrap.
    const std::vector<int16_t> loud = Sine(4800, 1000, 48000, 24000);
    SoundBuffer c[3] = {Buffer16(loud, 1, 48000), Buffer16(loud, 1, 48000), Buffer16(loud, 1, 48000)};
    for (SoundBuffer x : c) PlaySoundBuffer(x, false);
    out = Render(4800);
    for (int n = 0; n < 4800; ++n) ASSERT_EQ(out[2 * n], std::clamp(3 * loud[n], -32768, 32767)) << n;
}

TEST_F(MixerTest, TheOutputFormatIsReallyUsed) {
    ASSERT_EQ(SetOutputFormat(Pcm(1, 22050, 16)), kAudioOk);
    EXPECT_EQ(OutputFormat().channels, 1);
    EXPECT_EQ(OutputFormat().samplesPerSec, 22050u);
    std::vector<int16_t> samples(1000);
    for (int i = 0; i < 1000; ++i) samples[i] = static_cast<int16_t>(i * 30 - 15000);
    SoundBuffer a = Buffer16(samples, 1, 22050);
    PlaySoundBuffer(a, false);
    std::vector<int16_t> out = Render(1000);  // mono at the buffer's own rate: the samples unchanged
    EXPECT_EQ(out, samples);

    // 8 bits: every sample is on the 256-step grid, and a signal below half a step is gone.
    ASSERT_EQ(SetOutputFormat(Pcm(2, 48000, 8)), kAudioOk);
    SoundBuffer quiet = Buffer16(Sine(4800, 1000, 48000, 100), 1, 48000);
    SoundBuffer loud = Buffer16(Sine(4800, 1000, 48000, 10000), 1, 48000);
    PlaySoundBuffer(quiet, false);
    out = Render(4800);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](int16_t s) { return s == 0; }));
    PlaySoundBuffer(loud, false);
    out = Render(4800);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](int16_t s) { return s % 256 == 0; }));
    EXPECT_GT(Rms(Channel(out, 2, 0)), 6000);
    std::vector<uint8_t> bytes(100 * 2);
    ASSERT_TRUE(headless::RenderAudioBytes(bytes.data(), 100));
    EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](uint8_t s) { return s == 128; }));

    WaveFormat bad = Pcm(2, 48000, 16);
    bad.avgBytesPerSec = 1;
    EXPECT_EQ(SetOutputFormat(bad), kAudioOk);  // the rate of bytes is not the mixer's business
    bad.blockAlign = 2;
    EXPECT_EQ(SetOutputFormat(bad), kAudioBadFormat);
    EXPECT_EQ(SetOutputFormat(Pcm(2, 1000, 16)), kAudioBadFormat);
    EXPECT_EQ(OutputFormat().channels, 2);
    EXPECT_EQ(OutputFormat().bitsPerSample, 16);
}

TEST_F(MixerTest, EightBitBuffersPlayCentredOn128) {
    SoundBuffer a = 0;
    ASSERT_EQ(CreateSoundBuffer(Pcm(1, 48000, 8), 4, &a), kAudioOk);
    LockedRegions r;
    ASSERT_EQ(LockSoundBuffer(a, 0, 0, &r), kAudioOk);
    const uint8_t data[4] = {128, 255, 0, 192};
    std::memcpy(r.first, data, 4);
    UnlockSoundBuffer(a, r);
    PlaySoundBuffer(a, false);
    std::vector<int16_t> out = Render(4);
    EXPECT_EQ(Channel(out, 2, 0), (std::vector<double>{0, 127 * 256, -128 * 256, 64 * 256}));
}

TEST_F(MixerTest, CloseReleasesEveryBufferAndPlayWaveFileSyncRendersTheFile) {
    SoundBuffer a = Buffer16(std::vector<int16_t>(100, 5), 1, 22050);
    CloseAudioDevice();
    EXPECT_FALSE(AudioDeviceOpen());
    EXPECT_FALSE(SoundBufferPlaying(a));
    ASSERT_TRUE(OpenAudioDevice());
    EXPECT_EQ(PlaySoundBuffer(a, false), kAudioInvalidParam);

    // A file of 441 frames at 44100 Hz: 480 frames at 48000, a 1 kHz tone.
    const std::vector<int16_t> tone = Sine(441, 1000, 44100, 8000);
    std::vector<uint8_t> file(44 + tone.size() * 2);
    const uint32_t dataBytes = static_cast<uint32_t>(tone.size() * 2);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) file[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    std::memcpy(file.data(), "RIFF", 4);
    put32(4, 36 + dataBytes);
    std::memcpy(file.data() + 8, "WAVEfmt ", 8);
    put32(16, 16);
    const uint8_t fmt[16] = {1, 0, 1, 0, 0x44, 0xAC, 0, 0, 0x88, 0x58, 1, 0, 2, 0, 16, 0};
    std::memcpy(file.data() + 20, fmt, 16);
    std::memcpy(file.data() + 36, "data", 4);
    put32(40, dataBytes);
    std::memcpy(file.data() + 44, tone.data(), dataBytes);
    const std::string path = TempPath("sync_tone.wav");
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(file.data(), 1, file.size(), f);
    std::fclose(f);
    const bool played = PlayWaveFileSync(path.c_str());
    std::remove(path.c_str());
    EXPECT_TRUE(played);
    ASSERT_EQ(headless::Audio.syncPlays.size(), 1u);
    const std::vector<int16_t>& heard = headless::Audio.lastSyncRender;
    ASSERT_EQ(heard.size(), 480u * 2);
    EXPECT_NEAR(ZeroCrossings(Channel(heard, 2, 0), 0, 480), 20, 1);
    EXPECT_NEAR(Rms(Channel(heard, 2, 1), 10, 470), 8000 / std::sqrt(2.0), 60);
    EXPECT_FALSE(PlayWaveFileSync(TempPath("missing.wav").c_str()));
    EXPECT_FALSE(PlayWaveFileSync(nullptr));
}

}  // namespace

namespace {

// A source of a constant level that counts its calls.
struct ConstantSource {
    float level = 0.25f;
    int calls = 0;
    uint32_t lastRate = 0;
    static void Render(void* user, float* out, uint32_t frames, uint32_t channels, uint32_t rate) {
        auto* self = static_cast<ConstantSource*>(user);
        ++self->calls;
        self->lastRate = rate;
        for (uint32_t i = 0; i < frames * channels; ++i) out[i] = self->level;
    }
};

// Amplitude of the component at `hertz` under a Blackman-Harris window, whose side lobes (-92 dB)
// keep a loud tone from leaking onto a weak one a few hundred hertz away.
double WindowedAmplitude(const std::vector<double>& x, double hertz, double rate) {
    const size_t n = x.size();
    double s = 0, c = 0, sum = 0;
    for (size_t i = 0; i < n; ++i) {
        const double a = 2 * M_PI * static_cast<double>(i) / static_cast<double>(n - 1);
        const double w =
            0.35875 - 0.48829 * std::cos(a) + 0.14128 * std::cos(2 * a) - 0.01168 * std::cos(3 * a);
        s += w * x[i] * std::sin(2 * M_PI * hertz * i / rate);
        c += w * x[i] * std::cos(2 * M_PI * hertz * i / rate);
        sum += w;
    }
    return 2.0 * std::sqrt(s * s + c * c) / sum;
}

TEST_F(MixerTest, ResampledTonesLeaveFaintImagesAndAClean1kHz) {
    // A tone f of a sound at rate r, heard at 48000 Hz, has images at k r +- f, folded about the
    // output's Nyquist frequency. Up to 0.9 of the sound's own Nyquist frequency they stay 60 dB
    // below the tone; a 1 kHz tone keeps its THD+N under -70 dB.
    for (uint32_t rate : {8000u, 11025u, 22050u, 32000u, 44100u}) {
        SCOPED_TRACE(rate);
        for (double share : {0.5, 0.9}) {
            const double tone = std::round(share * rate / 2);
            SoundBuffer b = Buffer16(Sine(rate / 2, tone, rate, 16000), 1, rate);
            PlaySoundBuffer(b, false);
            const std::vector<double> left = Channel(Render(24000), 2, 0);
            const std::vector<double> middle(left.begin() + 2000, left.begin() + 22000);
            const double level = WindowedAmplitude(middle, tone, 48000);
            EXPECT_NEAR(level, 16000, 16000 * 0.25) << tone;  // 0.9 of Nyquist loses under 2.5 dB
            double worst = -200;
            for (int k = 1; k <= 12; ++k)
                for (double image : {k * double(rate) - tone, k * double(rate) + tone}) {
                    double heard = std::fmod(image, 48000.0);
                    if (heard > 24000) heard = 48000 - heard;
                    if (std::fabs(heard - tone) < 300) continue;
                    worst = std::max(worst, 20 * std::log10(WindowedAmplitude(middle, heard, 48000) / level));
                }
            EXPECT_LT(worst, -60.0) << tone;
            std::printf("%u Hz, tone %.0f Hz: strongest image %.1f dB\n", rate, tone, worst);
            ReleaseSoundBuffer(b);
        }
        SoundBuffer b = Buffer16(Sine(rate / 2, 1000, rate, 16000), 1, rate);
        PlaySoundBuffer(b, false);
        const std::vector<double> left = Channel(Render(24000), 2, 0);
        const double thd =
            ThdPlusNoiseDb(std::vector<double>(left.begin() + 2000, left.begin() + 22000), 1000, 48000);
        EXPECT_LT(thd, -70.0);
        std::printf("%u Hz, 1 kHz: THD+N %.1f dB\n", rate, thd);
        ReleaseSoundBuffer(b);
    }
}

TEST_F(MixerTest, StopFadesTheMixOutWhileTheBufferStopsAtOnce) {
    // A loud sine (0.8 of full scale) stopped at a crest: its position and state change at the
    // call, and what is heard falls to silence within 5 ms without a step larger than the sine's.
    const double peak = 0.8 * 32767;
    SoundBuffer b = Buffer16(Sine(48000, 1000, 48000, peak), 1, 48000);
    PlaySoundBuffer(b, true);
    std::vector<int16_t> heard = Render(12012);  // 250.25 periods: at a crest
    ASSERT_EQ(StopSoundBuffer(b), kAudioOk);
    EXPECT_FALSE(SoundBufferPlaying(b));
    EXPECT_EQ(SoundBufferPosition(b), 12012u * 2);
    const std::vector<int16_t> after = Render(1000);
    EXPECT_FALSE(SoundBufferPlaying(b));
    EXPECT_EQ(SoundBufferPosition(b), 12012u * 2);  // the fade moves nothing
    heard.insert(heard.end(), after.begin(), after.end());
    const std::vector<double> left = Channel(heard, 2, 0);
    double largest = 0;
    for (size_t i = 12000; i < left.size(); ++i)
        largest = std::max(largest, std::fabs(left[i] - left[i - 1]));
    const double sineStep = 2 * peak * std::sin(M_PI * 1000 / 48000);
    EXPECT_LT(largest, sineStep * 1.1);
    EXPECT_GT(std::fabs(left[12012 + 20]), 1000.0);  // still heard just after the call
    for (size_t i = 12012 + 240; i < left.size(); ++i) ASSERT_EQ(left[i], 0.0) << i;
    std::printf("largest step after Stop: %.0f (the sine's own: %.0f)\n", largest, sineStep);

    // Played again from where it stopped, it goes on from there at once.
    ASSERT_EQ(PlaySoundBuffer(b, true), kAudioOk);
    const std::vector<double> resumed = Channel(Render(48), 2, 0);
    const std::vector<int16_t> source = Sine(48000, 1000, 48000, peak);
    for (size_t i = 0; i < 48; ++i) ASSERT_EQ(resumed[i], source[12012 + i]) << i;
}

TEST(MixerSource, ARenderedSourceIsMixedLikeABufferWithItsVolumeAndPan) {
    soft::Mixer mixer;
    ConstantSource constant;
    SoundBuffer source = 0;
    ASSERT_EQ(mixer.CreateSource({&ConstantSource::Render, &constant}, 1, &source), kAudioOk);
    ASSERT_EQ(mixer.SetVolume(source, -600), kAudioOk);
    ASSERT_EQ(mixer.SetPan(source, 10000), kAudioOk);
    std::vector<int16_t> out(2 * 512);
    mixer.Render(out.data(), 512);
    EXPECT_EQ(constant.calls, 0);  // not playing: not asked
    ASSERT_EQ(mixer.Play(source, true), kAudioOk);
    mixer.Render(out.data(), 512);
    EXPECT_GT(constant.calls, 0);
    EXPECT_EQ(constant.lastRate, 48000u);
    for (int n = 0; n < 512; ++n) {
        ASSERT_EQ(out[2 * n], 0);
        ASSERT_NEAR(out[2 * n + 1], 8192 * 0.501187, 1.0);
    }
    EXPECT_EQ(mixer.Position(source), 512u * 2);
    EXPECT_TRUE(mixer.Playing(source));
    // Nothing of a buffer's own: no bytes, frequency or position to set.
    LockedRegions regions;
    EXPECT_EQ(mixer.Lock(source, 0, 0, &regions), kAudioInvalidParam);
    EXPECT_EQ(mixer.SetFrequency(source, 22050), kAudioInvalidParam);
    EXPECT_EQ(mixer.SetPosition(source, 0), kAudioInvalidParam);
    SoundBuffer refused = 0;
    EXPECT_EQ(mixer.CreateSource({nullptr, nullptr}, 1, &refused), kAudioInvalidParam);
    EXPECT_EQ(mixer.CreateSource({&ConstantSource::Render, &constant}, 3, &refused), kAudioInvalidParam);
    ASSERT_EQ(mixer.Stop(source), kAudioOk);
    const int calls = constant.calls;
    mixer.Render(out.data(), 512);
    EXPECT_EQ(constant.calls, calls);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](int16_t s) { return s == 0; }));
}

}  // namespace
