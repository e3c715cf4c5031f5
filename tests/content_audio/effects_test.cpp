// The sound effects: each source in assets/audio/effects gives a WAVE file in the format its
// header names, loud enough to hear, below full scale, centred, and starting and ending silent.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>
#include <tuple>

#include "tests/content_audio/audio_files.h"

namespace audio_test {
namespace {

struct Effect {
    std::string name;
    std::map<std::string, std::string> header;
};

std::vector<Effect> Effects() {
    std::vector<Effect> effects;
    for (const auto& e : std::filesystem::directory_iterator(AssetsDir() + "/effects"))
        if (e.path().extension() == ".txt")
            effects.push_back({e.path().stem().string(), SourceHeader(e.path())});
    std::sort(effects.begin(), effects.end(),
              [](const Effect& a, const Effect& b) { return a.name < b.name; });
    return effects;
}

TEST(DemoEffects, EveryFileHasTheFormatItsSourceNames) {
    std::vector<Effect> effects = Effects();
    EXPECT_GE(effects.size(), 8u);
    std::set<int> rates, bits, channels;
    for (const Effect& e : effects) {
        SCOPED_TRACE(e.name);
        Wave w = ReadWave(DemoDir() + "/" + e.name + ".wav");
        ASSERT_EQ(w.error, "");
        EXPECT_EQ(w.rate, std::stoi(e.header.at("rate")));
        EXPECT_EQ(w.bits, std::stoi(e.header.at("bits")));
        EXPECT_EQ(w.channels, std::stoi(e.header.at("channels")));
        rates.insert(w.rate);
        bits.insert(w.bits);
        channels.insert(w.channels);
    }
    EXPECT_EQ(rates, (std::set<int>{22050, 44100}));
    EXPECT_EQ(bits, (std::set<int>{8, 16}));
    EXPECT_EQ(channels, (std::set<int>{1, 2}));
}

TEST(DemoEffects, AudibleUnclippedCentredAndSilentAtBothEnds) {
    for (const Effect& e : Effects()) {
        SCOPED_TRACE(e.name);
        Wave w = ReadWave(DemoDir() + "/" + e.name + ".wav");
        ASSERT_EQ(w.error, "");
        const double full = w.FullScale();
        const int lsb = 1;  // one step of the file's resolution
        EXPECT_GT(w.Frames(), static_cast<size_t>(w.rate / 50));
        EXPECT_LT(w.Frames(), static_cast<size_t>(w.rate * 3));
        for (int c = 0; c < w.channels; ++c) {
            SCOPED_TRACE("channel " + std::to_string(c));
            const std::vector<int>& s = w.samples[c];
            int peak = 0;
            double sum = 0, squares = 0;
            for (int v : s) {
                peak = std::max(peak, std::abs(v));
                sum += v;
                squares += static_cast<double>(v) * v;
            }
            // Below full scale with headroom: the level the sources ask for is at most -1 dB.
            EXPECT_LT(peak, full * 0.92);
            EXPECT_GT(peak, full * 0.25);
            const double rms = std::sqrt(squares / s.size()) / full;
            EXPECT_GT(rms, 0.02);
            EXPECT_LT(std::fabs(sum / s.size()) / full, 0.002);
            // No click at either end: the first and the last 5 ms stay within a step of zero at the
            // very edges and the final frame is silent.
            EXPECT_LE(std::abs(s.front()), lsb);
            EXPECT_EQ(s.back(), 0);
            const size_t tail = static_cast<size_t>(w.rate / 200);
            int tailPeak = 0;
            for (size_t i = s.size() - tail; i < s.size(); ++i) tailPeak = std::max(tailPeak, std::abs(s[i]));
            EXPECT_LE(tailPeak, std::max(lsb, static_cast<int>(full / 1000)));
        }
    }
}

TEST(DemoEffects, StereoEffectsUseBothSidesDifferently) {
    for (const Effect& e : Effects()) {
        if (e.header.at("channels") != "2") continue;
        SCOPED_TRACE(e.name);
        Wave w = ReadWave(DemoDir() + "/" + e.name + ".wav");
        ASSERT_EQ(w.error, "");
        size_t differing = 0;
        for (size_t i = 0; i < w.Frames(); ++i) differing += w.samples[0][i] != w.samples[1][i];
        EXPECT_GT(differing, w.Frames() / 4);
    }
}

// Zero crossings a second in frames [from, to) of channel 0.
double CrossingRate(const Wave& w, size_t from, size_t to) {
    int crossings = 0;
    for (size_t i = from + 1; i < to; ++i) crossings += (w.samples[0][i - 1] < 0) != (w.samples[0][i] < 0);
    return crossings * static_cast<double>(w.rate) / (to - from);
}

TEST(DemoEffects, ExplosionStartsBrightAndClosesToARumble) {
    // White noise through a low-pass whose cutoff slides from 4 kHz down to under 200 Hz: a first
    // tenth of a second full of high frequencies, then a dark rumble.
    Wave w = ReadWave(DemoDir() + "/explosion.wav");
    ASSERT_EQ(w.error, "");
    ASSERT_GT(w.Frames(), static_cast<size_t>(w.rate));
    EXPECT_GT(CrossingRate(w, 0, w.rate / 10), 2000);
    EXPECT_LT(CrossingRate(w, w.rate / 2, w.rate), 500);
}

}  // namespace
}  // namespace audio_test
