// The looping music piece: its format and length, its loop point, levels, and a join from the
// end of the loop back to the loop point that is no rougher than the music anywhere else.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <string>

#include "tests/content_audio/audio_files.h"

namespace audio_test {
namespace {

struct Music {
    Wave wave;
    size_t loopFrame = 0;
    std::string loopText;
};

Music Load() {
    Music m;
    m.wave = ReadWave(DemoDir() + "/music.wav");
    std::vector<uint8_t> text = ReadBytes(DemoDir() + "/music.loop");
    m.loopText.assign(text.begin(), text.end());
    if (!m.loopText.empty() && m.loopText.find_first_not_of("0123456789\n") == std::string::npos)
        m.loopFrame = std::stoul(m.loopText) / 4;
    return m;
}

// The value at or below which `share` of the values lie.
double Quantile(std::vector<int> v, double share) {
    std::sort(v.begin(), v.end());
    return v[static_cast<size_t>(share * (v.size() - 1))];
}

TEST(DemoMusic, FormatLengthAndLoopPoint) {
    Music m = Load();
    ASSERT_EQ(m.wave.error, "");
    EXPECT_EQ(m.wave.rate, 22050);
    EXPECT_EQ(m.wave.bits, 16);
    EXPECT_EQ(m.wave.channels, 2);
    EXPECT_GE(m.wave.Frames(), 20u * 22050);
    // One decimal number of bytes and a line feed; a whole number of 4-byte frames, inside the data,
    // leaving most of the piece to the loop.
    ASSERT_FALSE(m.loopText.empty());
    EXPECT_EQ(m.loopText.back(), '\n');
    EXPECT_EQ(m.loopText.find('\n'), m.loopText.size() - 1);
    ASSERT_NE(m.loopFrame, 0u) << m.loopText;
    EXPECT_EQ(std::stoul(m.loopText) % 4, 0u);
    EXPECT_LT(m.loopFrame, m.wave.Frames() / 2);
    EXPECT_GE(m.wave.Frames() - m.loopFrame, 15u * 22050);
}

TEST(DemoMusic, LevelsAreUnclippedAndCentred) {
    Music m = Load();
    ASSERT_EQ(m.wave.error, "");
    for (int c = 0; c < 2; ++c) {
        SCOPED_TRACE("channel " + std::to_string(c));
        const std::vector<int>& s = m.wave.samples[c];
        int peak = 0;
        double sum = 0, squares = 0;
        for (int v : s) {
            peak = std::max(peak, std::abs(v));
            sum += v;
            squares += static_cast<double>(v) * v;
        }
        EXPECT_LT(peak, 32000);
        EXPECT_GT(peak, 16000);
        EXPECT_GT(std::sqrt(squares / s.size()) / 32768, 0.08);
        EXPECT_LT(std::fabs(sum / s.size()) / 32768, 0.002);
        EXPECT_EQ(s.front(), 0);  // the piece starts from silence
    }
}

TEST(DemoMusic, LoopJoinIsAsSmoothAsTheMusicInside) {
    Music m = Load();
    ASSERT_EQ(m.wave.error, "");
    ASSERT_GT(m.loopFrame, 0u);
    const size_t first = m.loopFrame, last = m.wave.Frames() - 1;
    for (int c = 0; c < 2; ++c) {
        SCOPED_TRACE("channel " + std::to_string(c));
        const std::vector<int>& s = m.wave.samples[c];
        std::vector<int> steps, bends;
        for (size_t i = first + 1; i <= last; ++i) steps.push_back(std::abs(s[i] - s[i - 1]));
        for (size_t i = first + 1; i < last; ++i) bends.push_back(std::abs(s[i + 1] - 2 * s[i] + s[i - 1]));
        // Playing on from the last frame to the loop point: the step taken, and the change of slope
        // on either side of it.
        const int step = std::abs(s[first] - s[last]);
        const int bendBefore = std::abs(s[first] - 2 * s[last] + s[last - 1]);
        const int bendAfter = std::abs(s[first + 1] - 2 * s[first] + s[last]);
        EXPECT_LE(step, Quantile(steps, 0.99));
        EXPECT_LE(bendBefore, Quantile(bends, 0.99));
        EXPECT_LE(bendAfter, Quantile(bends, 0.99));
    }
}

TEST(DemoMusic, LeadInIsSilentAtTheLoopPoint) {
    // The first time through, the loop point follows the lead-in; what sounds there must be only
    // the loop's own beginning, so the lead-in has died away before it.
    Music m = Load();
    ASSERT_EQ(m.wave.error, "");
    ASSERT_GT(m.loopFrame, 100u);
    for (int c = 0; c < 2; ++c)
        for (size_t i = m.loopFrame - 100; i < m.loopFrame; ++i) EXPECT_EQ(m.wave.samples[c][i], 0) << i;
}

}  // namespace
}  // namespace audio_test
