// The music page as a listener hears it, through the runner's recording of the mixer: the MIDI
// piece started repeating begins again from its start when its end is reported, and played once
// falls silent; the stream started with PlayLoop carries on past the end of its data with what
// follows its loop point, and played once falls silent there. The sound does not depend on the
// depth, so each run is made at one of them.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "tests/demo/demo_fixture.h"

namespace {

using namespace demotest;
using MusicPageTest = DemoPageRun;

constexpr int kRate = 48000, kFrameSamples = 800;  // the runner's output rate at 60 frames a second
constexpr int kKeyFrame = 5;                        // the start key, pressed once page 6 is shown
constexpr double kStart = (kKeyFrame - 1) * kFrameSamples;

double Peak(const std::vector<double>& s, double from, double to) {
    double peak = 0;
    for (size_t i = static_cast<size_t>(from); i < static_cast<size_t>(to) && i < s.size(); ++i)
        peak = std::max(peak, std::abs(s[i]));
    return peak;
}

// How alike `length` samples from `a` and from `b` are: 1 for the same sound.
double Likeness(const std::vector<double>& s, double a, double b, double length) {
    double ab = 0, aa = 0, bb = 0;
    const size_t from = static_cast<size_t>(std::lround(a)), other = static_cast<size_t>(std::lround(b));
    for (size_t i = 0; i < static_cast<size_t>(length); ++i) {
        if (other + i >= s.size()) return 0;
        ab += s[from + i] * s[other + i], aa += s[from + i] * s[from + i], bb += s[other + i] * s[other + i];
    }
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0;
}

// The music's loop point and length in frames of its own rate, from the files the build made.
struct MusicFile {
    uint32_t rate = 0, loopFrame = 0, frames = 0;
};

MusicFile ReadMusicFile() {
    const fs::path folder = fs::path(EL_DEMO_REPLAY_BINARY).parent_path() / "demo";
    const std::string wave = ReadFile(folder / "music.wav");
    MusicFile music;
    uint16_t channels = 0, bits = 0;
    for (size_t at = 12; at + 8 <= wave.size();) {
        uint32_t size = 0;
        std::memcpy(&size, wave.data() + at + 4, 4);
        if (wave.compare(at, 4, "fmt ") == 0 && at + 24 <= wave.size()) {
            std::memcpy(&channels, wave.data() + at + 10, 2);
            std::memcpy(&music.rate, wave.data() + at + 12, 4);
            std::memcpy(&bits, wave.data() + at + 22, 2);
        } else if (wave.compare(at, 4, "data") == 0 && channels > 0 && bits > 0) {
            music.frames = size / (channels * bits / 8u);
        }
        at += 8 + size + (size & 1);
    }
    const uint32_t loopBytes = static_cast<uint32_t>(std::stoul(ReadFile(folder / "music.loop")));
    if (channels > 0 && bits > 0) music.loopFrame = loopBytes / (channels * bits / 8u);
    return music;
}

TEST_F(MusicPageTest, TheRepeatingMidiPieceStartsAgainFromItsBeginningWhenItsEndIsReported) {
    constexpr double kPieceSeconds = 40.0;  // 16 bars of 4/4 at 96 beats a minute
    constexpr int kFrames = 2700;           // 45 s
    const fs::path sound = dir / "midi.wav";

    const Shot repeating = Run(16, kFrames, Press(2, '6') + Press(kKeyFrame, 'M'), sound.string());
    EXPECT_EQ(Text(repeating.state, "status"), "MIDI playing, repeating (play result 0)");
    const std::vector<double> looped = LeftChannel(sound);
    ASSERT_EQ(looped.size(), size_t{kFrames} * kFrameSamples);
    EXPECT_EQ(Peak(looped, 0, kStart), 0);
    for (int second = 0; second < 44; ++second)
        EXPECT_GT(Peak(looped, kStart + second * kRate, kStart + (second + 1) * kRate), 1000) << "second " << second;
    // The second pass is the first again, begun within a frame of the first's end.
    double best = 0;
    int bestLag = -1;
    for (int lag = 0; lag <= kFrameSamples; ++lag) {
        const double likeness =
            Likeness(looped, kStart + kRate / 2, kStart + kRate / 2 + kPieceSeconds * kRate + lag, kRate);
        if (likeness > best) best = likeness, bestLag = lag;
    }
    EXPECT_GT(best, 0.999) << "at " << bestLag << " samples after the end";

    const Shot once = Run(32, kFrames, Press(2, '6') + Press(kKeyFrame, 'N'), sound.string());
    EXPECT_EQ(Text(once.state, "status"), "MIDI playing once (play result 0)");
    const std::vector<double> single = LeftChannel(sound);
    ASSERT_EQ(single.size(), looped.size());
    EXPECT_GT(Peak(single, kStart + 38 * kRate, kStart + 39 * kRate), 1000);
    // After the last notes' release and the reverb's tail, nothing.
    EXPECT_LT(Peak(single, kStart + (kPieceSeconds + 1) * kRate, single.size()), 64);
}

TEST_F(MusicPageTest, TheLoopingStreamGoesOnPastItsEndWithWhatFollowsItsLoopPoint) {
    const MusicFile music = ReadMusicFile();
    ASSERT_GT(music.rate, 0u);
    ASSERT_GT(music.frames, music.loopFrame);
    ASSERT_GT(music.loopFrame, 0u);
    const double scale = static_cast<double>(kRate) / music.rate;
    const double loopPoint = kStart + music.loopFrame * scale, end = kStart + music.frames * scale;
    const int frames = static_cast<int>(end / kFrameSamples) + 150;  // 2.5 s past the end
    const fs::path sound = dir / "stream.wav";

    Run(32, frames, Press(2, '6') + Press(kKeyFrame, 'S'), sound.string());
    const std::vector<double> looped = LeftChannel(sound);
    ASSERT_EQ(looped.size(), size_t(frames) * kFrameSamples);
    EXPECT_EQ(Peak(looped, 0, kStart), 0);
    EXPECT_GT(Peak(looped, end, end + 2 * kRate), 10000);
    // Across the join: the sound from the end of the data on is the sound from the loop point on.
    EXPECT_GT(Likeness(looped, loopPoint, end, kRate / 10), 0.999);
    EXPECT_GT(Likeness(looped, loopPoint + kRate / 10, end + kRate / 10, 2 * kRate), 0.999);
    // Not merely the music again somewhere: the lead-in before the loop point is not what follows.
    EXPECT_LT(Likeness(looped, kStart, end, kRate / 2), 0.9);

    Run(16, frames, Press(2, '6') + Press(kKeyFrame, 'O'), sound.string());
    const std::vector<double> single = LeftChannel(sound);
    ASSERT_EQ(single.size(), looped.size());
    const size_t sameUntil = static_cast<size_t>(end) - kFrameSamples;
    EXPECT_TRUE(std::equal(single.begin(), single.begin() + sameUntil, looped.begin()));
    EXPECT_EQ(Peak(single, end + kRate / 100, single.size()), 0);
}

}  // namespace
