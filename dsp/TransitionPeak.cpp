#include "dsp/TransitionPeak.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <utility>
#include <vector>

namespace dsp {

TransitionPeak FirTransitionPeak(std::span<const double> taps, const BandSpec& params) {
    std::vector<std::pair<double, double>> bands = {{params.fc1, params.fc2}};
    if (params.type == 2 || params.type == 3) {
        bands.emplace_back(params.fc3, params.fc4);
    }
    TransitionPeak peak;
    const double n = static_cast<double>(taps.size());
    for (const auto& [from, to] : bands) {
        if (!(to > from) || !(params.fs > 0.0) || !std::isfinite(to - from)) {
            continue;
        }
        // The response moves by about one ripple per fs / N.
        const double steps = std::ceil(16.0 * n * (to - from) / params.fs);
        const int points = 16 + static_cast<int>(std::min(steps, 1e6));
        for (int i = 0; i <= points; ++i) {
            const double f = from + (to - from) * i / points;
            const double w = 2.0 * std::numbers::pi * f / params.fs;
            double re = 0.0;
            double im = 0.0;
            for (size_t k = 0; k < taps.size(); ++k) {
                re += taps[k] * std::cos(w * static_cast<double>(k));
                im -= taps[k] * std::sin(w * static_cast<double>(k));
            }
            const double gain = std::hypot(re, im);
            if (gain > peak.gain) {
                peak = {gain, f, from, to};
            }
        }
    }
    return peak;
}

std::string TransitionPeakNote(const TransitionPeak& peak, double passMaxDb) {
    if (!(peak.gain > 0.0) || !std::isfinite(passMaxDb)) {
        return {};
    }
    const double peakDb = 20.0 * std::log10(peak.gain);
    if (!(peakDb > passMaxDb + 1e-3)) {
        return {};
    }
    char text[200];
    std::snprintf(text, sizeof text,
                  "transition band %.6g..%.6g Hz peaks at %+.2f dB (%.6g Hz), above the pass "
                  "band's %+.3f dB",
                  peak.lo, peak.hi, peakDb, peak.frequency, passMaxDb);
    return text;
}

} // namespace dsp
