// The Remez exchange on a shaped desired response: the dense grid of the band layout, its desired
// values and weights replaced point by point, then the exchange, the taps and their verdict with
// the steps of dsp/RemezWork.h.
#include "dsp/RemezArbitrary.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "dsp/RemezWork.h"

namespace dsp {

namespace {

bool LayoutUsable(const FirBands& bands) {
    if (bands.nBands < 1 || bands.nBands > kMaxFirBands) {
        return false;
    }
    double previous = 0.0;
    for (int i = 0; i < 2 * bands.nBands; ++i) {
        const double e = bands.edges[static_cast<size_t>(i)];
        if (!std::isfinite(e) || e < previous || e > 0.5) {
            return false;
        }
        previous = e;
    }
    return true;
}

// The band a grid point belongs to: the last band starting at or below it.
int BandOf(const FirBands& bands, double f) {
    int band = 0;
    for (int b = 1; b < bands.nBands; ++b) {
        if (bands.edges[static_cast<size_t>(2 * b)] <= f) {
            band = b;
        }
    }
    return band;
}

// Replaces the grid's desired values and weights by the shapes, with the cos(pi f) factor of an
// even tap count. False when a value is not finite or a weight not positive.
bool ShapeGrid(RemezWork& w, const FirBands& bands, const BandShape& desired,
               const BandShape& weight) {
    const bool even = w.nTaps % 2 == 0;
    for (int i = 0; i < w.nGrid; ++i) {
        const double f = w.grid[static_cast<size_t>(i)];
        const int b = BandOf(bands, f);
        double d = desired(b, f);
        double g = weight(b, f);
        if (!std::isfinite(d) || !std::isfinite(g) || !(g > 0.0)) {
            return false;
        }
        if (even) {
            const double c = std::cos(std::numbers::pi * f);
            d /= c;
            g *= c;
        }
        w.desired[static_cast<size_t>(i)] = d;
        w.weight[static_cast<size_t>(i)] = g;
    }
    // The points before band edges carry the band's constant values: left out.
    w.edgePoints.clear();
    return true;
}

struct Run {
    bool converged = false;
    int iterations = 0;
};

Run Exchange(RemezWork& w, void (*search)(RemezWork&)) {
    Run run;
    for (; run.iterations < RemezWork::kMaxIterations; ++run.iterations) {
        ComputeParameters(w);
        ComputeError(w);
        search(w);
        if (!w.clipped && IsConverged(w)) {
            run.converged = true;
            break;
        }
        if (w.searchFailed) {
            break;
        }
    }
    return run;
}

// The taps of the final extremal set: the response through it sampled at f = i/N and turned into
// taps; where they do not hold the level, taps solved on the extremal values take their place if
// they do better. Returns the largest weighted error of the taps on the grid.
double ShapedTaps(RemezWork& w, double level, std::vector<double>& taps) {
    const int nTaps = w.nTaps;
    const bool even = nTaps % 2 == 0;
    for (int i = 0; i <= nTaps / 2; ++i) {
        const double f = static_cast<double>(i) / nTaps;
        w.a[i] = InterpolateResponse(w, f) * (even ? std::cos(std::numbers::pi * f) : 1.0);
    }
    taps.assign(static_cast<size_t>(nTaps), 0.0);
    FrequencySample(w, taps.data());
    double achieved = TapGridError(w, taps.data());
    if (!(achieved <= level * 1.001 + 1e-14 * nTaps)) {
        std::vector<double> solved(static_cast<size_t>(nTaps), 0.0);
        if (SolveTapsOnExtremals(w, solved.data())) {
            const double better = TapGridError(w, solved.data());
            if (better < achieved) {
                taps.swap(solved);
                achieved = better;
            }
        }
    }
    // Frequency sampling leaves the mirrored taps a rounding apart: they are made equal.
    for (size_t k = 0; k < taps.size() / 2; ++k) {
        const double mean = 0.5 * (taps[k] + taps[taps.size() - 1 - k]);
        taps[k] = mean;
        taps[taps.size() - 1 - k] = mean;
    }
    return TapGridError(w, taps.data());
}

} // namespace

FirDesignResult RemezDesignShaped(int nTaps, const FirBands& bands, const BandShape& desired,
                                  const BandShape& weight) {
    FirDesignResult result;
    if (nTaps < 2 || nTaps > kMaxRemezTaps) {
        result.refusal = FirRefusal::kTapCount;
        return result;
    }
    if (!LayoutUsable(bands)) {
        result.refusal = FirRefusal::kBandLayout;
        return result;
    }
    RemezWork w;
    w.nTaps = nTaps;
    w.nBands = bands.nBands;
    w.pEdges = bands.edges.data();
    w.pDesired = bands.desired.data();
    w.pWeights = bands.weight.data();
    w.r = nTaps / 2 + (nTaps % 2 != 0 ? 1 : 0);
    w.nGrid = GridSize(w.r, w.nBands, w.pEdges);
    if (w.nGrid < w.r + 1) {
        return result;
    }
    SizeGridArrays(w);
    BuildDenseGrid(w);
    if (w.nGrid < w.r + 1) {
        return result;
    }
    if (!ShapeGrid(w, bands, desired, weight)) {
        result.refusal = FirRefusal::kBandWeight;
        return result;
    }
    result.gridSize = w.nGrid;
    // The multiple exchange, then, for a run it could not level, the one-at-a-time exchange.
    InitialExtremals(w);
    Run run = Exchange(w, SearchExtremals);
    result.iterations = run.iterations;
    if (!run.converged) {
        InitialExtremals(w);
        w.bestError = -1.0;
        w.searchFailed = false;
        run = Exchange(w, SearchExtremalsLocally);
        result.iterations += run.iterations;
    }
    if (!run.converged && w.bestError >= 0.0) {
        std::copy(w.bestExt, w.bestExt + w.r + 1, w.ext);
    }
    result.iterationLimit = !run.converged && run.iterations == RemezWork::kMaxIterations;
    ComputeParameters(w);
    result.targetRipple = std::fabs(w.delta);

    std::vector<double> taps;
    const double achieved = ShapedTaps(w, result.targetRipple, taps);
    const double allowance = 1e-14 * nTaps;
    const bool finite =
        std::all_of(taps.begin(), taps.end(), [](double h) { return std::isfinite(h); });
    if (!finite || !std::isfinite(achieved)) {
        return result;
    }
    result.taps = std::move(taps);
    result.achievedRipple = achieved;
    result.verdict = achieved <= result.targetRipple * 1.001 + allowance
                         ? FirVerdict::kOptimum
                         : FirVerdict::kShortOfOptimum;
    return result;
}

} // namespace dsp
