// The interpolation kernels shared by the mixer and the output converter: Kaiser-windowed sincs in
// tables of phases, applied to float samples. Reading exactly one source frame per output frame
// uses 16 taps cut off at the source's Nyquist frequency (whole positions read the samples
// unchanged); reading fewer, 32 taps whose transition band lies between 0.9 and 1.1 of the source's
// Nyquist frequency, so that images of what the source holds stay 60 dB down; reading faster,
// kernels as much wider as they read faster (24 to 64 taps) cut off lower, so that what the output
// rate cannot carry is filtered out instead of folding back.
#pragma once
#include <cstdint>

namespace platform::soft {

constexpr int kPhaseBits = 10;
constexpr int kPhases = 1 << kPhaseBits;
constexpr int kMaxTaps = 64;

struct Kernel {
    int taps;  // taps -before .. taps - before - 1 around the integer part of the read position
    int before;
    // kPhases + 1 rows of `taps` coefficients; row p is for a fraction of p / kPhases. Every row
    // sums to 1. For the first kernel row 0 is the identity: whole positions read the samples unchanged.
    const float* rows;
};

// The kernel for reading `numerator` / `denominator` source frames per output frame.
const Kernel& KernelForStep(uint64_t numerator, uint64_t denominator);
// Index of that kernel among the few there are (0 for the one that reads exactly a frame per frame,
// 1 for the one that reads fewer).
int KernelBand(uint64_t numerator, uint64_t denominator);
const Kernel& KernelOfBand(int band);
// Builds every table now (they are built once, on first use).
void PrepareKernels();

// Phase row for a fraction of `frac` / `denominator`, from a scale made by PhaseScale(denominator).
inline uint32_t PhaseRow(uint32_t frac, uint64_t scale) {
    return static_cast<uint32_t>((static_cast<uint64_t>(frac) * scale + (1ull << 31)) >> 32);
}
inline uint64_t PhaseScale(uint32_t denominator) {
    return (static_cast<uint64_t>(kPhases) << 32) / denominator;
}

}  // namespace platform::soft
