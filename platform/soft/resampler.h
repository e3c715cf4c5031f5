// The interpolation kernel shared by the mixer and the output converter: an 8-tap windowed sinc
// in a table of phases, applied to float samples.
#pragma once
#include <cstdint>

namespace platform::soft {

constexpr int kTaps = 8;        // taps -3..+4 around the integer part of the read position
constexpr int kTapsBefore = 3;  // how many of them lie before it
constexpr int kPhaseBits = 10;
constexpr int kPhases = 1 << kPhaseBits;

// kPhases + 1 rows of kTaps coefficients; row p is for a fraction of p / kPhases. Row 0 is the
// identity, so reading at whole positions returns the samples unchanged. Every row sums to 1.
const float* KernelTable();

// Phase row for a fraction of `frac` / `denominator`, from a scale made by PhaseScale(denominator).
inline uint32_t PhaseRow(uint32_t frac, uint64_t scale) {
    return static_cast<uint32_t>((static_cast<uint64_t>(frac) * scale + (1ull << 31)) >> 32);
}
inline uint64_t PhaseScale(uint32_t denominator) {
    return (static_cast<uint64_t>(kPhases) << 32) / denominator;
}

}  // namespace platform::soft
