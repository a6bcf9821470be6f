// Measured gains per band on a dense grid.
//
// The grid holds kMeasureIntervals + 1 points from 0 to fs/2. The FIR gains on it come from one
// FFT of the taps zero-padded to 2 * kMeasureIntervals (the FFT's bins 0..kMeasureIntervals are
// exactly the grid), so a 380-tap design costs a fraction of a millisecond; the IIR gains are
// evaluated section by section. Band edges and the IIR stop-band starts, which generally fall
// between grid points, are evaluated directly.
#include "dsp/Measure.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <numbers>

#include "dsp/MeasureGrid.h"

namespace dsp {

const char* const kIirBandRuleText =
    "IIR pass bands are bounded by the cut-off frequencies (LPF 0..fc1, HPF fc1..fs/2, "
    "BPF fc1..fc2, BRF 0..fc1 and fc2..fs/2); a stop band is the rest of the axis beyond the "
    "point, moving away from the pass band, where the unquantized gain first falls to -20 dB.";

namespace {

constexpr int kStopEdgeBisections = 60; // halvings of one grid step: far below a rounding error

// Position of frequency f (Hz) on the grid, in grid steps.
double GridPosition(double f, double fs) {
    return f / (fs / 2.0) * kMeasureIntervals;
}

double AngleOf(double f, double fs) {
    return 2.0 * std::numbers::pi * f / fs;
}

// Moving from `from` towards `to` (Hz), the first frequency where the gain falls to the IIR stop
// level: located on the grid, then refined between the last grid point above the level and the
// first one at or below it. NaN when the gain stays above the level all the way.
double StopBandStart(const FilterCoefficients& c, const std::vector<double>& grid, double fs,
                     double from, double to) {
    const auto below = [](double gainDb) { return gainDb <= kIirStopLevelDb; };
    const auto refine = [&](double above, double atOrBelow) {
        for (int i = 0; i < kStopEdgeBisections; ++i) {
            const double mid = 0.5 * (above + atOrBelow);
            (below(GainDbAt(c, AngleOf(mid, fs))) ? atOrBelow : above) = mid;
        }
        return atOrBelow;
    };
    if (below(GainDbAt(c, AngleOf(from, fs)))) {
        return from;
    }
    const double start = GridPosition(from, fs);
    const double end = GridPosition(to, fs);
    double last = from;
    if (to > from) {
        for (int k = static_cast<int>(std::floor(start)) + 1; k < end && k <= kMeasureIntervals;
             ++k) {
            if (below(grid[static_cast<size_t>(k)])) {
                return refine(last, GridFrequency(k, fs));
            }
            last = GridFrequency(k, fs);
        }
    } else {
        for (int k = static_cast<int>(std::ceil(start)) - 1; k > end && k >= 0; --k) {
            if (below(grid[static_cast<size_t>(k)])) {
                return refine(last, GridFrequency(k, fs));
            }
            last = GridFrequency(k, fs);
        }
    }
    return below(GainDbAt(c, AngleOf(to, fs))) ? refine(last, to) : std::nan("");
}

void AddBand(std::vector<Band>& bands, bool pass, double lo, double hi, double fs) {
    lo = std::clamp(lo, 0.0, fs / 2.0);
    hi = std::clamp(hi, 0.0, fs / 2.0);
    if (std::isfinite(lo) && std::isfinite(hi) && lo <= hi) {
        bands.push_back({pass, lo, hi});
    }
}

std::vector<Band> FirBands(const BandSpec& params) {
    const double fs = params.fs;
    const double half = fs / 2.0;
    std::vector<Band> bands;
    if (!params.firBands.empty()) {
        for (const Band& band : params.firBands) {
            AddBand(bands, band.pass, band.lo, band.hi, fs);
        }
        return bands;
    }
    switch (params.type) {
    case 1: // HPF
        AddBand(bands, false, 0.0, params.fc1, fs);
        AddBand(bands, true, params.fc2, half, fs);
        break;
    case 2: // BRF
        AddBand(bands, true, 0.0, params.fc1, fs);
        AddBand(bands, false, params.fc2, params.fc3, fs);
        AddBand(bands, true, params.fc4, half, fs);
        break;
    case 3: // BPF
        AddBand(bands, false, 0.0, params.fc1, fs);
        AddBand(bands, true, params.fc2, params.fc3, fs);
        AddBand(bands, false, params.fc4, half, fs);
        break;
    default: // LPF
        AddBand(bands, true, 0.0, params.fc1, fs);
        AddBand(bands, false, params.fc2, half, fs);
        break;
    }
    return bands;
}

std::vector<Band> IirBands(const BandSpec& params, const FilterCoefficients& c) {
    const double fs = params.fs;
    const double half = fs / 2.0;
    const double fc1 = std::clamp(params.fc1, 0.0, half);
    const double fc2 = std::clamp(params.fc2, 0.0, half);
    const std::vector<double> grid = GridGainDb(c);
    std::vector<Band> bands;
    switch (params.type) {
    case 1: // HPF
        AddBand(bands, false, 0.0, StopBandStart(c, grid, fs, fc1, 0.0), fs);
        AddBand(bands, true, fc1, half, fs);
        break;
    case 2: // BRF
        AddBand(bands, true, 0.0, fc1, fs);
        AddBand(bands, false, StopBandStart(c, grid, fs, fc1, fc2),
                StopBandStart(c, grid, fs, fc2, fc1), fs);
        AddBand(bands, true, fc2, half, fs);
        break;
    case 3: // BPF
        AddBand(bands, false, 0.0, StopBandStart(c, grid, fs, fc1, 0.0), fs);
        AddBand(bands, true, fc1, fc2, fs);
        AddBand(bands, false, StopBandStart(c, grid, fs, fc2, half), half, fs);
        break;
    default: // LPF
        AddBand(bands, true, 0.0, fc1, fs);
        AddBand(bands, false, StopBandStart(c, grid, fs, fc1, half), half, fs);
        break;
    }
    return bands;
}

// Smallest and largest of the values seen; a NaN gain makes both NaN.
struct Extremes {
    double lo = INFINITY;
    double hi = -INFINITY;
    void Add(double v) {
        if (std::isnan(v) || std::isnan(lo)) {
            lo = hi = std::nan("");
            return;
        }
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
};

BandGain GainInBand(const Band& band, const FilterCoefficients& c, const std::vector<double>& grid,
                    double fs) {
    Extremes e;
    e.Add(GainDbAt(c, AngleOf(band.lo, fs)));
    e.Add(GainDbAt(c, AngleOf(band.hi, fs)));
    const int first = std::max(0, static_cast<int>(std::floor(GridPosition(band.lo, fs))) + 1);
    const int last =
        std::min(kMeasureIntervals, static_cast<int>(std::ceil(GridPosition(band.hi, fs))) - 1);
    for (int k = first; k <= last; ++k) {
        e.Add(grid[static_cast<size_t>(k)]);
    }
    return {band, e.lo, e.hi};
}

} // namespace

std::vector<Band> MeasureBands(const BandSpec& params, const FilterCoefficients& unquantized) {
    if (!(params.fs > 0.0) || !std::isfinite(params.fs)) {
        return {};
    }
    return unquantized.iir ? IirBands(params, unquantized) : FirBands(params);
}

std::vector<BandGain> MeasureGains(const FilterCoefficients& c, double fs,
                                   const std::vector<Band>& bands) {
    const std::vector<double> grid = GridGainDb(c);
    std::vector<BandGain> gains;
    gains.reserve(bands.size());
    for (const Band& band : bands) {
        gains.push_back(GainInBand(band, c, grid, fs));
    }
    return gains;
}

Measurements Measure(const BandSpec& params, const FilterCoefficients& unquantized,
                     const FilterCoefficients* quantized) {
    Measurements m;
    const std::vector<Band> bands = MeasureBands(params, unquantized);
    m.unquantized = MeasureGains(unquantized, params.fs, bands);
    if (quantized != nullptr) {
        m.quantized = MeasureGains(*quantized, params.fs, bands);
    }
    return m;
}

const std::vector<BandGain>& ReportedGains(const Measurements& m) {
    return m.quantized.empty() ? m.unquantized : m.quantized;
}

} // namespace dsp
