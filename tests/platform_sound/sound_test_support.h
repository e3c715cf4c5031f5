// Helpers of the sound tests: buffers from samples, rendering, and measures of what was rendered.
#pragma once
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/audio.h"

namespace sound_test {

inline platform::WaveFormat Pcm(uint16_t channels, uint32_t rate, uint16_t bits) {
    platform::WaveFormat f;
    f.formatTag = 1;
    f.channels = channels;
    f.samplesPerSec = rate;
    f.bitsPerSample = bits;
    f.blockAlign = static_cast<uint16_t>(channels * bits / 8);
    f.avgBytesPerSec = rate * f.blockAlign;
    return f;
}

// A 16-bit buffer holding `samples` (interleaved when stereo), written through a lock.
inline platform::SoundBuffer Buffer16(const std::vector<int16_t>& samples, uint16_t channels, uint32_t rate) {
    platform::SoundBuffer buffer = 0;
    const uint32_t bytes = static_cast<uint32_t>(samples.size() * 2);
    EXPECT_EQ(platform::CreateSoundBuffer(Pcm(channels, rate, 16), bytes, &buffer), platform::kAudioOk);
    platform::LockedRegions regions;
    EXPECT_EQ(platform::LockSoundBuffer(buffer, 0, 0, &regions), platform::kAudioOk);
    EXPECT_EQ(regions.firstBytes, bytes);
    std::memcpy(regions.first, samples.data(), bytes);
    platform::UnlockSoundBuffer(buffer, regions);
    return buffer;
}

inline std::vector<int16_t> Sine(uint32_t frames, double hertz, uint32_t rate, double amplitude) {
    std::vector<int16_t> out(frames);
    for (uint32_t i = 0; i < frames; ++i) {
        out[i] = static_cast<int16_t>(std::lrint(amplitude * std::sin(2.0 * M_PI * hertz * i / rate)));
    }
    return out;
}

// Every `stride`-th sample from `offset`.
inline std::vector<double> Channel(const std::vector<int16_t>& interleaved, int stride, int offset) {
    std::vector<double> out;
    for (size_t i = offset; i < interleaved.size(); i += stride) out.push_back(interleaved[i]);
    return out;
}

inline double Rms(const std::vector<double>& x, size_t from = 0, size_t to = 0) {
    if (to == 0) to = x.size();
    double sum = 0;
    for (size_t i = from; i < to; ++i) sum += x[i] * x[i];
    return std::sqrt(sum / static_cast<double>(to - from));
}

inline int ZeroCrossings(const std::vector<double>& x, size_t from, size_t to) {
    int count = 0;
    for (size_t i = from + 1; i < to; ++i) count += (x[i - 1] < 0) != (x[i] < 0) ? 1 : 0;
    return count;
}

// THD+N in dB of a sine of `hertz` at `rate`: what is left after a least-squares fit of the sine
// (and a DC term), against the fitted sine.
inline double ThdPlusNoiseDb(const std::vector<double>& x, double hertz, double rate) {
    const size_t n = x.size();
    // Normal equations for a·sin + b·cos + c.
    double ss = 0, cc = 0, sc = 0, s1 = 0, c1 = 0, xs = 0, xc = 0, x1 = 0;
    for (size_t i = 0; i < n; ++i) {
        const double s = std::sin(2 * M_PI * hertz * i / rate), c = std::cos(2 * M_PI * hertz * i / rate);
        ss += s * s;
        cc += c * c;
        sc += s * c;
        s1 += s;
        c1 += c;
        xs += x[i] * s;
        xc += x[i] * c;
        x1 += x[i];
    }
    double m[3][4] = {{ss, sc, s1, xs}, {sc, cc, c1, xc}, {s1, c1, static_cast<double>(n), x1}};
    for (int col = 0; col < 3; ++col) {
        for (int row = col + 1; row < 3; ++row) {
            const double f = m[row][col] / m[col][col];
            for (int k = col; k < 4; ++k) m[row][k] -= f * m[col][k];
        }
    }
    double sol[3];
    for (int row = 2; row >= 0; --row) {
        double v = m[row][3];
        for (int k = row + 1; k < 3; ++k) v -= m[row][k] * sol[k];
        sol[row] = v / m[row][row];
    }
    double signal = 0, residual = 0;
    for (size_t i = 0; i < n; ++i) {
        const double fit =
            sol[0] * std::sin(2 * M_PI * hertz * i / rate) + sol[1] * std::cos(2 * M_PI * hertz * i / rate);
        signal += fit * fit;
        const double r = x[i] - fit - sol[2];
        residual += r * r;
    }
    return 10.0 * std::log10(residual / signal);
}

}  // namespace sound_test
