// The mix-to-device converter: the mix is rendered in its own format, read back as floats and
// resampled with the mixer's kernel to the device rate.
#include "platform/soft/output_converter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/soft/resampler.h"

namespace platform::soft {

void OutputConverter::Configure(const MixFormat& mix, uint32_t deviceRate) {
    mix_ = mix;
    deviceRate_ = deviceRate;
    direct_ = mix.rate == deviceRate && mix.channels == 2 && mix.bits == 16;
    stepInt_ = mix.rate / deviceRate;
    stepFrac_ = mix.rate % deviceRate;
    phaseScale_ = PhaseScale(deviceRate);
    capacity_ = 2 * kChunkFrames + 2 * kTaps + stepInt_ + 1;
    fifo_.assign(static_cast<size_t>(capacity_) * mix.channels, 0.0f);
    chunk_.assign(static_cast<size_t>(kChunkFrames) * mix.BlockAlign(), 0);
    // Silence before the first frame feeds the taps that look back.
    have_ = kTapsBefore;
    pos_ = kTapsBefore;
    frac_ = 0;
    KernelTable();
}

void OutputConverter::Refill(Mixer& mixer) {
    const uint32_t channels = mix_.channels;
    if (have_ + kChunkFrames > capacity_) {
        const uint32_t keepFrom = pos_ - kTapsBefore;
        std::memmove(fifo_.data(), fifo_.data() + static_cast<size_t>(keepFrom) * channels,
                     static_cast<size_t>(have_ - keepFrom) * channels * sizeof(float));
        have_ -= keepFrom;
        pos_ -= keepFrom;
    }
    mixer.Render(chunk_.data(), kChunkFrames);
    float* to = fifo_.data() + static_cast<size_t>(have_) * channels;
    const uint32_t samples = kChunkFrames * channels;
    if (mix_.bits == 8) {
        for (uint32_t i = 0; i < samples; ++i)
            to[i] = static_cast<float>((static_cast<int>(chunk_[i]) - 128) * 256);
    } else {
        for (uint32_t i = 0; i < samples; ++i) {
            int16_t s;
            std::memcpy(&s, chunk_.data() + 2 * i, 2);
            to[i] = static_cast<float>(s);
        }
    }
    have_ += kChunkFrames;
}

void OutputConverter::Render(Mixer& mixer, int16_t* out, uint32_t frames) {
    if (direct_) {
        mixer.Render(out, frames);
        return;
    }
    const float* table = KernelTable();
    const uint32_t channels = mix_.channels;
    for (uint32_t n = 0; n < frames; ++n) {
        while (pos_ + (kTaps - kTapsBefore) >= have_) Refill(mixer);
        const float* k = table + PhaseRow(frac_, phaseScale_) * kTaps;
        const float* s = fifo_.data() + static_cast<size_t>(pos_ - kTapsBefore) * channels;
        float left = 0.0f, right = 0.0f;
        if (channels == 2) {
            for (int t = 0; t < kTaps; ++t) {
                left += s[2 * t] * k[t];
                right += s[2 * t + 1] * k[t];
            }
        } else {
            for (int t = 0; t < kTaps; ++t) left += s[t] * k[t];
            right = left;
        }
        out[2 * n] = static_cast<int16_t>(std::lrint(std::clamp(left, -32768.0f, 32767.0f)));
        out[2 * n + 1] = static_cast<int16_t>(std::lrint(std::clamp(right, -32768.0f, 32767.0f)));
        frac_ += stepFrac_;
        pos_ += stepInt_;
        if (frac_ >= deviceRate_) {
            frac_ -= deviceRate_;
            ++pos_;
        }
    }
}

}  // namespace platform::soft
