// Conversion of the mix, in whatever format was chosen for it, to what an output device plays:
// 16-bit stereo at the device's rate. The 8-bit or mono character of the mix is kept.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/soft/mixer.h"

namespace platform::soft {

class OutputConverter {
  public:
    static constexpr uint32_t kChunkFrames = Mixer::kBlockFrames;

    // Sets up the conversion from `mix` to 16-bit stereo at `deviceRate`; allocates, so call it
    // while nothing renders.
    void Configure(const MixFormat& mix, uint32_t deviceRate);
    // Whether the mix is already in the device's format (render it straight into the output).
    bool Direct() const { return direct_; }
    // `frames` frames of 16-bit stereo at the device rate, pulled from the mixer as needed.
    void Render(Mixer& mixer, int16_t* out, uint32_t frames);

  private:
    void Refill(Mixer& mixer);

    MixFormat mix_;
    uint32_t deviceRate_ = 48000;
    bool direct_ = true;
    std::vector<float> fifo_;     // mix frames as floats in 16-bit units, mix channels interleaved
    std::vector<uint8_t> chunk_;  // one render of the mixer in its own format
    uint32_t capacity_ = 0, have_ = 0, pos_ = 0, frac_ = 0;
    uint32_t stepInt_ = 0, stepFrac_ = 0;
    uint64_t phaseScale_ = 0;
};

}  // namespace platform::soft
