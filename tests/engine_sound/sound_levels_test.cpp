// What a listener hears of elSound through the headless mixer: volume and pan gains, pitch,
// loops without a seam, overlapping copies and the echo's onsets and levels.
#include <cmath>

#include "tests/engine_sound/sound_fixture.h"

namespace {

using namespace wavetest;

constexpr uint32_t kRate = 48000;  // the output rate: sounds at it are mixed without resampling

double Rms(const std::vector<int16_t>& stereo, int channel, size_t from, size_t to) {
    double sum = 0.0;
    for (size_t i = from; i < to; ++i) sum += std::pow(static_cast<double>(stereo[i * 2 + channel]), 2.0);
    return std::sqrt(sum / static_cast<double>(to - from));
}

int ZeroCrossings(const std::vector<int16_t>& stereo, size_t from, size_t to) {
    int crossings = 0;
    for (size_t i = from + 1; i < to; ++i)
        if ((stereo[(i - 1) * 2] < 0) != (stereo[i * 2] < 0)) ++crossings;
    return crossings;
}

class SoundLevelsTest : public SoundTest {
  protected:
    void SetUp() override {
        SoundTest::SetUp();
        OpenDevice();
    }
};

TEST_F(SoundLevelsTest, VolumeAndPanScaleTheChannelsAsTheirDecibelsSay) {
    WriteWave("tone.wav", 1, kRate, 16, Samples16(Sine(1000.0, kRate, kRate / 2, 16000.0)));
    const SoundNo n = elSound::LoadObject("tone.wav", 1);
    elSound::Play(n, 0);
    const std::vector<int16_t> full = Render(9600);
    const double reference = Rms(full, 0, 480, 9600);
    EXPECT_NEAR(reference, 16000.0 / std::sqrt(2.0), 16000.0 * 0.01);
    EXPECT_NEAR(Rms(full, 1, 480, 9600), reference, reference * 1e-3);

    elSound::SetVolume(n, -6, 0);
    elSound::Play(n, 0);
    const std::vector<int16_t> quieter = Render(9600);
    RecordProperty("ratio_at_minus_600", std::to_string(Rms(quieter, 0, 480, 9600) / reference));
    EXPECT_NEAR(Rms(quieter, 0, 480, 9600) / reference, std::pow(10.0, -600.0 / 2000.0), 0.501 * 0.005);
    EXPECT_NEAR(Rms(quieter, 1, 480, 9600) / reference, 0.501, 0.501 * 0.005);

    elSound::ResetVolume(n, 0);
    elSound::PanLeft(n, 0);
    elSound::Play(n, 0);
    const std::vector<int16_t> left = Render(9600);
    EXPECT_NEAR(Rms(left, 0, 480, 9600), reference, reference * 1e-3);
    EXPECT_EQ(Rms(left, 1, 256, 9600), 0.0);  // a change on a playing copy ramps over one block

    elSound::PanRight(n, 0);
    elSound::Play(n, 0);
    const std::vector<int16_t> right = Render(9600);
    EXPECT_EQ(Rms(right, 0, 256, 9600), 0.0);
    EXPECT_NEAR(Rms(right, 1, 480, 9600), reference, reference * 1e-3);

    elSound::SetPan(n, -20, 0);  // half way: the far side 20 dB down
    elSound::Play(n, 0);
    const std::vector<int16_t> leaning = Render(9600);
    EXPECT_NEAR(Rms(leaning, 1, 480, 9600) / reference, 0.1, 0.1 * 0.005);
}

TEST_F(SoundLevelsTest, DoublingTheFrequencyDoublesTheZeroCrossings) {
    WriteWave("tone.wav", 1, 24000, 16, Samples16(Sine(500.0, 24000, 24000, 12000.0)));
    const SoundNo n = elSound::LoadObject("tone.wav", 1);
    elSound::Play(n, 0);
    const int normal = ZeroCrossings(Render(kRate / 4), 0, kRate / 4);
    elSound::AddFrequency(n, 240, 0);  // 24000 + 24000 Hz
    EXPECT_EQ(SoundObjects.objects[n].copies[0].frequency, 48000u);
    elSound::Play(n, 0);
    const int doubled = ZeroCrossings(Render(kRate / 4), 0, kRate / 4);
    EXPECT_NEAR(normal, 250, 2);  // 500 Hz for a quarter second
    EXPECT_NEAR(doubled, 2 * normal, 2);
    RecordProperty("zero_crossings", std::to_string(normal) + " then " + std::to_string(doubled));
}

TEST_F(SoundLevelsTest, ALoopWrapsWithoutAGapOrARepeatedFrame) {
    // A ramp of distinct values: every frame of the loop is recognisable.
    std::vector<int16_t> ramp(1000);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<int16_t>(i * 20 - 10000);
    WriteWave("ramp.wav", 1, kRate, 16, Samples16(ramp));
    const SoundNo n = elSound::LoadObject("ramp.wav", 1);
    elSound::PlayLoop(n, 0);
    const std::vector<int16_t> heard = Render(3500);
    int off = 0;
    for (size_t i = 0; i < 3500; ++i)
        if (std::abs(heard[i * 2] - ramp[i % ramp.size()]) > 1) ++off;
    EXPECT_EQ(off, 0);
    EXPECT_TRUE(CopyPlaying(n, 0));
    EXPECT_EQ(elSound::GetPosition(n), (3500u % 1000u) * 2);

    elSound::Play(n, 0);  // once: stops at its end and the rest is silence
    const std::vector<int16_t> once = Render(1500);
    EXPECT_FALSE(CopyPlaying(n, 0));
    for (size_t i = 1000; i < 1500; ++i) ASSERT_EQ(once[i * 2], 0) << i;
}

TEST_F(SoundLevelsTest, TwoCopiesOfOneSoundOverlapAndSum) {
    const std::vector<int16_t> tone = Sine(750.0, kRate, 4800, 6000.0);
    WriteWave("tone.wav", 1, kRate, 16, Samples16(tone));
    const SoundNo n = elSound::LoadObject("tone.wav", 2);
    elSound::Play(n, -1);
    std::vector<int16_t> heard = Render(1000);
    elSound::Play(n, -1);  // the second copy starts 1000 frames later
    const std::vector<int16_t> rest = Render(5000);
    heard.insert(heard.end(), rest.begin(), rest.end());
    int off = 0;
    for (size_t i = 0; i < 6000; ++i) {
        int expected =
            (i < tone.size() ? tone[i] : 0) + (i >= 1000 && i - 1000 < tone.size() ? tone[i - 1000] : 0);
        if (std::abs(heard[i * 2] - expected) > 2 || std::abs(heard[i * 2 + 1] - expected) > 2) ++off;
    }
    EXPECT_EQ(off, 0);
}

TEST_F(SoundLevelsTest, AnEchoSoundsFourOnsetsTwoHundredMillisecondsApartTenDecibelsEachQuieter) {
    // 50 ms bursts; a frame of the game is 1/60 s, 800 frames of output.
    WriteWave("burst.wav", 1, kRate, 16, Samples16(Sine(1000.0, kRate, 2400, 20000.0)));
    const SoundNo n = elSound::LoadObject("burst.wav", 4);
    FrameStep = 1.0f / 60.0f;
    elSound::Play(n, -2);
    std::vector<int16_t> heard;
    for (int frame = 0; frame < 60; ++frame) {
        const std::vector<int16_t> part = Render(800);
        heard.insert(heard.end(), part.begin(), part.end());
        elSound::UpdateEcho(n, 200, 3, 10);
    }
    // Onsets: the first sound after at least 10 ms of silence.
    std::vector<size_t> onsets;
    size_t quiet = 480;
    for (size_t i = 0; i < heard.size() / 2; ++i) {
        if (heard[i * 2] != 0) {
            if (quiet >= 480) onsets.push_back(i);
            quiet = 0;
        } else {
            ++quiet;
        }
    }
    ASSERT_EQ(onsets.size(), 4u);
    const double reference = Rms(heard, 0, onsets[0] + 240, onsets[0] + 2160);
    for (size_t k = 0; k < 4; ++k) {
        EXPECT_NEAR(static_cast<double>(onsets[k]), k * 9600.0, 900.0) << k;  // 200 ms, within a frame
        if (k > 0) {
            EXPECT_NEAR(static_cast<double>(onsets[k] - onsets[k - 1]), 9600.0, 900.0) << k;
        }
        const double level = 20.0 * std::log10(Rms(heard, 0, onsets[k] + 240, onsets[k] + 2160) / reference);
        RecordProperty("onset_" + std::to_string(k),
                       std::to_string(onsets[k]) + " frames, " + std::to_string(level) + " dB");
        EXPECT_NEAR(level, -10.0 * k, 0.05) << k;
    }
}

}  // namespace
