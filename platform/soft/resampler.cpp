// The windowed-sinc phase tables of the resampler.
#include "platform/soft/resampler.h"

#include <cmath>
#include <memory>

namespace platform::soft {

namespace {

// Zeroth-order modified Bessel function of the first kind, by its power series.
double BesselI0(double x) {
    double sum = 1.0, term = 1.0;
    for (int k = 1; k < 60; ++k) {
        term *= (x / (2.0 * k)) * (x / (2.0 * k));
        sum += term;
        if (term < sum * 1e-17) break;
    }
    return sum;
}

// Bands of the read step: exactly 1, below 1, up to 1.5, 2, 3, and beyond.
struct BandSpec {
    int taps;
    double cutoff;  // of the source's Nyquist frequency
    double beta;    // of the Kaiser window
};
// Reading exactly a frame per frame, only one phase is used unless the frequency changed while
// playing: the full-band kernel keeps whole positions unchanged. Reading slower (a sound below the
// output rate), the kernel's images are what is heard above the source's band: its passband ends
// below the source's Nyquist frequency and its stop band starts just above it, so that a tone up
// to 0.9 of that frequency leaves images more than 60 dB below it (0.9 of Nyquist loses 1.7 dB).
constexpr BandSpec kBands[] = {{16, 1.0, 6.5}, {32, 0.95, 7.5},      {24, 1.0 / 1.5, 6.5},
                               {32, 0.5, 6.5}, {48, 1.0 / 3.0, 6.5}, {64, 0.25, 6.5}};
constexpr int kBandCount = sizeof(kBands) / sizeof(kBands[0]);

struct Tables {
    Kernel kernels[kBandCount];
    std::unique_ptr<float[]> storage[kBandCount];
    Tables() {
        for (int b = 0; b < kBandCount; ++b) {
            const int taps = kBands[b].taps;
            const int before = taps / 2 - 1;
            const double cutoff = kBands[b].cutoff;
            const double beta = kBands[b].beta;
            const double norm = BesselI0(beta);
            const double halfWidth = taps / 2.0;
            storage[b].reset(new float[static_cast<size_t>(kPhases + 1) * taps]);
            float* rows = storage[b].get();
            for (int p = 0; p <= kPhases; ++p) {
                const double phase = static_cast<double>(p) / kPhases;
                double coeffs[kMaxTaps];
                double sum = 0.0;
                for (int k = 0; k < taps; ++k) {
                    const double d = static_cast<double>(k - before) - phase;
                    const double x = d / halfWidth;
                    const double window = x * x < 1.0 ? BesselI0(beta * std::sqrt(1.0 - x * x)) / norm : 0.0;
                    const double arg = M_PI * cutoff * d;
                    double sinc = std::fabs(arg) < 1e-12 ? 1.0 : std::sin(arg) / arg;
                    // The full-band sinc's own zeros exactly, so that row 0 is the identity.
                    if (cutoff == 1.0 && std::fabs(d) > 0.5 && std::fabs(d - std::round(d)) < 1e-12)
                        sinc = 0.0;
                    coeffs[k] = sinc * window;
                    sum += coeffs[k];
                }
                for (int k = 0; k < taps; ++k) rows[p * taps + k] = static_cast<float>(coeffs[k] / sum);
            }
            kernels[b] = Kernel{taps, before, rows};
        }
    }
};

const Tables& TheTables() {
    static const Tables tables;
    return tables;
}

}  // namespace

int KernelBand(uint64_t numerator, uint64_t denominator) {
    if (numerator == denominator) return 0;
    if (numerator < denominator) return 1;
    if (2 * numerator <= 3 * denominator) return 2;
    if (numerator <= 2 * denominator) return 3;
    if (numerator <= 3 * denominator) return 4;
    return 5;
}

const Kernel& KernelOfBand(int band) {
    return TheTables().kernels[band];
}

const Kernel& KernelForStep(uint64_t numerator, uint64_t denominator) {
    return KernelOfBand(KernelBand(numerator, denominator));
}

void PrepareKernels() {
    TheTables();
}

}  // namespace platform::soft
