// Largest coefficient magnitudes: the design validity test and the bit-length check use them.
#include <algorithm>
#include <cmath>

#include "dsp/QuantRules.h"

namespace coeffs {

double LargestMagnitude(std::span<const double> values) {
    double m = 0.0;
    for (const double v : values) {
        m = std::fmax(m, std::fabs(v));
    }
    return m;
}

double LargestQuantizedMagnitude(const dsp::FilterCoefficients& unquantized) {
    if (!unquantized.iir) {
        return LargestMagnitude(unquantized.DesignedTaps());
    }
    // All eight sections count, so the pass-through sections past the design contribute a0 = 1.
    double m = 0.0;
    for (const dsp::Section& s : unquantized.sections) {
        m = std::fmax(m, LargestMagnitude(s));
    }
    return m;
}

} // namespace coeffs
