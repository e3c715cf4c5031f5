// The windowed-sinc phase table of the resampler.
#include "platform/soft/resampler.h"

#include <cmath>

namespace platform::soft {

namespace {

// Zeroth-order modified Bessel function of the first kind, by its power series.
double BesselI0(double x) {
    double sum = 1.0, term = 1.0;
    for (int k = 1; k < 50; ++k) {
        term *= (x / (2.0 * k)) * (x / (2.0 * k));
        sum += term;
        if (term < sum * 1e-17) break;
    }
    return sum;
}

struct Table {
    alignas(64) float rows[(kPhases + 1) * kTaps];
    Table() {
        constexpr double kBeta = 6.5;
        constexpr double kHalfWidth = kTaps / 2.0;
        const double norm = BesselI0(kBeta);
        for (int p = 0; p <= kPhases; ++p) {
            const double phase = static_cast<double>(p) / kPhases;
            double coeffs[kTaps];
            double sum = 0.0;
            for (int k = 0; k < kTaps; ++k) {
                const double d = static_cast<double>(k - kTapsBefore) - phase;
                double value;
                if (std::fabs(d) < 1e-12) {
                    value = 1.0;
                } else if (std::fabs(d - std::round(d)) < 1e-12) {
                    value = 0.0;  // the sinc's own zeros, exactly
                } else {
                    const double x = d / kHalfWidth;
                    const double window = x * x < 1.0 ? BesselI0(kBeta * std::sqrt(1.0 - x * x)) / norm : 0.0;
                    value = std::sin(M_PI * d) / (M_PI * d) * window;
                }
                coeffs[k] = value;
                sum += value;
            }
            for (int k = 0; k < kTaps; ++k) rows[p * kTaps + k] = static_cast<float>(coeffs[k] / sum);
        }
    }
};

}  // namespace

const float* KernelTable() {
    static const Table table;
    return table.rows;
}

}  // namespace platform::soft
