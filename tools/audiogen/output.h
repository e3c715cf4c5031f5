// The files the generator writes: RIFF/WAVE PCM with the 44-byte header, and plain bytes.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "tools/audiogen/synth.h"

namespace audiogen {

// Scales both channels together so that the larger peak sits at `peakDb` dB below full scale.
void SetPeak(Stereo& sound, double peakDb);

// PCM samples rounded to nearest: 8 bits unsigned around 128, 16 bits signed little-endian.
// Mono takes the left channel. The data is always a whole number of frames of even size.
std::vector<uint8_t> WaveBytes(const Stereo& sound, int rate, int bits, int channels);

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace audiogen
