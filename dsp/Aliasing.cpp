// The aliasing (and imaging) bands of a rate change and the filter's largest gain in them.
#include "dsp/Aliasing.h"

#include <algorithm>
#include <cmath>

namespace dsp {

std::vector<Band> AliasingBands(const std::vector<Band>& passBands, double fs, int factor) {
    std::vector<Band> bands;
    if (factor < 2 || !(fs > 0.0)) {
        return bands;
    }
    const double half = 0.5 * fs;
    const double step = fs / factor;
    const auto add = [&bands, half](double lo, double hi) {
        lo = std::max(lo, 0.0);
        hi = std::min(hi, half);
        if (hi > lo) {
            bands.push_back({false, lo, hi});
        }
    };
    for (const Band& pass : passBands) {
        const double a = std::clamp(pass.lo, 0.0, half);
        const double b = std::clamp(pass.hi, 0.0, half);
        if (!(b > a)) {
            continue;
        }
        // The image below k fs/M reaches down to k fs/M - b; past fs/2 + b nothing is left.
        for (int k = 1; k * step - b < half; ++k) {
            const double centre = k * step;
            add(centre - b, centre - a);
            add(centre + a, centre + b);
        }
    }
    std::sort(bands.begin(), bands.end(), [](const Band& x, const Band& y) { return x.lo < y.lo; });
    std::vector<Band> merged;
    for (const Band& band : bands) {
        if (!merged.empty() && band.lo <= merged.back().hi) {
            merged.back().hi = std::max(merged.back().hi, band.hi);
        } else {
            merged.push_back(band);
        }
    }
    return merged;
}

double WorstGainDb(const FilterCoefficients& c, double fs, const std::vector<Band>& bands) {
    double worst = -INFINITY;
    for (const BandGain& gain : MeasureGains(c, fs, bands)) {
        worst = std::max(worst, gain.maxDb);
    }
    return worst;
}

} // namespace dsp
