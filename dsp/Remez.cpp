// FIR design by Remez exchange (Parks-McClellan), even symmetry h[n] = h[N-1-n].
//
// The top routine is the exchange loop over named steps; the steps live in RemezSteps.cpp.
// Frequencies are fractions of the sampling frequency: 0 is DC, 0.5 is half of fs.
//
// Even tap counts: the response of an even-length symmetric filter carries the factor cos(pi f),
// so the approximation runs on D(f)/cos(pi f) with weight W(f)*cos(pi f), and the frequency
// samples are multiplied by cos(pi i/N) again. cos(pi f) vanishes at f = 0.5, so a grid point at
// 0.5 is moved one grid step down.
#include "app/OlvexDoc.h"
#include "dsp/RemezWork.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

// The layout must be finite, ascending and inside [0, 0.5]; anything else cannot describe a
// filter and would make the dense grid meaningless or unbounded.
bool LayoutIsUsable(int nBands, const double* pEdges, const double* pDesired,
                    const double* pWeights) {
    if (nBands < 1 || nBands > COlvexDoc::kMaxBands) {
        return false;
    }
    double previous = 0.0;
    for (int i = 0; i < 2 * nBands; ++i) {
        const double e = pEdges[i];
        if (!std::isfinite(e) || e < previous || e > 0.5) {
            return false;
        }
        previous = e;
    }
    for (int b = 0; b < nBands; ++b) {
        if (!std::isfinite(pDesired[b]) || !std::isfinite(pWeights[b])) {
            return false;
        }
    }
    return true;
}

// Dense-grid size: 2 * r * density points per unit of normalised band width, per band.
int GridSize(int r, int nBands, const double* pEdges) {
    int g = 0;
    for (int b = 0; b < nBands; ++b) {
        const int k = static_cast<int>(
            2.0 * r * RemezWork::kGridDensity * (pEdges[2 * b + 1] - pEdges[2 * b]) + 0.5);
        g += k > 0 ? k : 0;
    }
    return g;
}

// The taps written must hold the level of the exchange on the grid, up to this factor and the
// rounding of a sum of N taps (a few units of 1e-16 per tap, on responses of order 1), for the
// design to count as the optimum.
constexpr double kTapLevelTolerance = 1.001;
constexpr double kTapRoundingPerTap = 1e-14;

// The rounding allowance of the taps h[0..N-1] against the level |delta|. A response far above
// 1 somewhere (the optimum can rise high in a wide transition band) is computed with rounding of
// its own size, about 1e-14 times the sum of |h|, and the allowance grows with it; but only
// while that rounding stays below 1 % of the level. Beyond, the taps can prove nothing: the
// design is at the limit of double precision, and only the allowance of a response of order 1
// is left.
double RoundingAllowance(int nTaps, const double* pCoeffs, double level) {
    const double unit = kTapRoundingPerTap * nTaps;
    double sum = 0.0;
    for (int n = 0; n < nTaps; ++n) {
        sum += std::fabs(pCoeffs[n]);
    }
    const double sized = kTapRoundingPerTap * sum;
    return sized > unit && sized <= 0.01 * level ? sized : unit;
}

// Measures the frequency-sampled taps on the grid. Where they fall short of the level of the
// final extremal set, taps solved from the extremal values directly take their place if they do
// better. Returns the largest weighted error of the taps that stand.
double SettleTaps(const RemezWork& w, double* pCoeffs) {
    const double achieved = TapGridError(w, pCoeffs);
    if (!(achieved > std::fabs(w.delta) * kTapLevelTolerance +
                         RoundingAllowance(w.nTaps, pCoeffs, std::fabs(w.delta)))) {
        return achieved;
    }
    std::vector<double> solved(static_cast<size_t>(w.nTaps));
    if (!SolveTapsOnExtremals(w, solved.data())) {
        return achieved;
    }
    const double better = TapGridError(w, solved.data());
    if (!(better < achieved)) {
        return achieved;
    }
    std::copy(solved.begin(), solved.end(), pCoeffs);
    return better;
}

// The arrays an iteration fills, one entry per grid point.
void SizeIterationArrays(RemezWork& w) {
    w.error.assign(w.nGrid, 0.0);
    w.candidates.assign(w.nGrid, 0);
    w.reduced.reserve(w.nGrid);
    w.sumNum.assign(w.nGrid, 0.0);
    w.sumDen.assign(w.nGrid, 0.0);
    w.hit.assign(w.nGrid, -1);
}

// The largest weighted error of the converged exchange's response at the points the grid
// skipped before band edges, when it overshoots the level by more than the convergence rule
// allows; 0 when it does not.
double EdgeOvershoot(const COlvexDoc& doc, const RemezWork& w) {
    double level = std::fabs(w.error[w.ext[0]]);
    for (int i = 1; i <= w.r; ++i) {
        level = std::min(level, std::fabs(w.error[w.ext[i]]));
    }
    double largest = 0.0;
    for (const RemezWork::EdgePoint& p : w.edgePoints) {
        const double e = std::fabs(p.weight * (p.desired - doc.InterpolateResponse(w, p.f)));
        if (e > w.maxError && (e - level) / e >= RemezWork::kLevelTolerance) {
            largest = std::max(largest, e);
        }
    }
    return largest;
}

// Puts the skipped edge points into the grid, so that no band leaves more than a step before
// its edge, and moves the extremal sets along with the points they index.
void AddEdgePoints(RemezWork& w) {
    const int added = static_cast<int>(w.edgePoints.size());
    const int g = w.nGrid + added;
    std::vector<double> grid(g), desired(g), weight(g), gridCos(g);
    std::vector<int> moved(w.nGrid); // old index -> new index
    int next = 0;
    int j = 0;
    for (int i = 0; i < w.nGrid; ++i) {
        if (next < added && w.edgePoints[next].lastIndex == i) {
            const RemezWork::EdgePoint& p = w.edgePoints[next++];
            grid[j] = p.f;
            desired[j] = p.desired;
            weight[j] = p.weight;
            gridCos[j] = std::cos(2.0 * std::numbers::pi * p.f);
            ++j;
        }
        moved[i] = j;
        grid[j] = w.grid[i];
        desired[j] = w.desired[i];
        weight[j] = w.weight[i];
        gridCos[j] = w.gridCos[i];
        ++j;
    }
    w.grid.swap(grid);
    w.desired.swap(desired);
    w.weight.swap(weight);
    w.gridCos.swap(gridCos);
    w.nGrid = g;
    SizeIterationArrays(w);
    for (int i = 0; i <= w.r; ++i) {
        w.ext[i] = moved[w.ext[i]];
    }
    w.edgePoints.clear();
    w.bestError = -1.0;
    w.searchFailed = false;
}

} // namespace

void COlvexDoc::RemezDesign(double* pCoeffs, int nTaps, int nBands, const double* pEdges,
                            const double* pDesired, const double* pWeights) {
    // The run sets its own outcome: a design succeeds unless a step below clears m_bDesignOk,
    // whatever an earlier design left there.
    m_bDesignOk = 1;
    m_bIterationLimit = 0;
    m_bOptimumReached = 0;
    m_nRemezIterations = 0;
    m_dAchievedRipple = 0.0;
    m_dTargetRipple = 0.0;
    RemezWork w;
    w.nTaps = nTaps;
    w.nBands = nBands;
    w.pEdges = pEdges;
    w.pDesired = pDesired;
    w.pWeights = pWeights;
    w.r = nTaps / 2 + (nTaps % 2 != 0 ? 1 : 0);

    // A tap count beyond the fixed extremal capacity, or a layout that is not a set of ascending
    // bands in [0, 0.5], cannot be designed: report failure and leave the taps untouched.
    if (nTaps < 2 || w.r + 1 > RemezWork::kMaxExtremals || nTaps / 2 >= RemezWork::kMaxExtremals ||
        !LayoutIsUsable(nBands, pEdges, pDesired, pWeights)) {
        m_nGridSize = 0;
        m_bDesignOk = 0;
        return;
    }

    w.nGrid = GridSize(w.r, nBands, pEdges);
    m_nGridSize = w.nGrid;
    // Fewer grid points than extremals can never alternate: the design fails.
    if (w.nGrid < w.r + 1) {
        m_bDesignOk = 0;
        return;
    }
    w.grid.assign(w.nGrid, 0.0);
    w.desired.assign(w.nGrid, 0.0);
    w.weight.assign(w.nGrid, 0.0);
    w.gridCos.assign(w.nGrid, 0.0);
    SizeIterationArrays(w);

    BuildDenseGrid(w);
    m_nGridSize = w.nGrid;
    if (w.nGrid < w.r + 1) {
        m_bDesignOk = 0;
        return;
    }
    InitialExtremals(w);

    // Exchange iterations from the current extremal set, at most the iteration limit.
    struct Outcome {
        bool converged = false;
        bool failed = false;
        bool faulted = false; // a guard fired on the way
        int iterations = 0;
    };
    auto exchange = [&](bool local) {
        Outcome o;
        bool faulted = false;
        for (; o.iterations < RemezWork::kMaxIterations; ++o.iterations) {
            ComputeParameters(w);
            // A guard of the interpolation fired: extremals (nearly) coincide, or the level of
            // the set is rounding. That happens on the way too, after a start whose level is
            // rounding (the error curve the next set comes from is then noise), and the
            // exchange can still find its way from there. The run goes on; it fails unless it
            // levels on a set whose weights are exact.
            faulted = faulted || m_bDesignOk == 0;
            m_bDesignOk = 1;
            ComputeError(w);
            if (local) {
                SearchExtremalsLocally(w);
            } else {
                SearchExtremals(w); // also keeps the best extremal set so far
            }
            if (!w.clipped && IsConverged(w)) {
                o.converged = true;
                break;
            }
            if (w.searchFailed) {
                break;
            }
        }
        // A run that stops early stops inside its iteration, which counts.
        m_nRemezIterations += o.iterations + (o.iterations < RemezWork::kMaxIterations ? 1 : 0);
        o.faulted = faulted;
        o.failed = faulted && !o.converged;
        if (o.failed) {
            m_bDesignOk = 0;
        }
        return o;
    };
    Outcome run = exchange(false);
    // A run that does not level (it met a guard, or ran out of iterations) started from a set
    // whose level is rounding, or its search went astray. It is repeated from the same start with
    // the one-at-a-time exchange, which keeps the set spread; if that does not level either, the
    // first result stands.
    bool local = false;
    if (!run.converged || run.faulted) {
        RemezWork first = w;
        const int firstOk = m_bDesignOk;
        m_bDesignOk = 1;
        InitialExtremals(w);
        w.bestError = -1.0;
        w.searchFailed = false;
        const Outcome again = exchange(true);
        if (again.converged && (!again.faulted || !run.converged)) {
            run = again;
            local = true;
        } else {
            w = std::move(first);
            m_bDesignOk = firstOk;
        }
    }
    // A design that levelled on the grid but overshoots in the gap before a band edge is not at
    // the optimum: it is repeated from where it stopped with the skipped points in the grid,
    // which takes an iteration or two. Should that not level, the first result stands.
    // (Then the design is not at the optimum either, and says so with the overshoot.)
    double overshoot = 0.0;
    if (run.converged && !w.edgePoints.empty()) {
        overshoot = EdgeOvershoot(*this, w);
    }
    if (overshoot > 0.0) {
        RemezWork first = w;
        AddEdgePoints(w);
        const Outcome refined = exchange(local);
        if (refined.converged) {
            run = refined;
            overshoot = 0.0;
        } else {
            w = std::move(first);
            m_bDesignOk = 1;
        }
    }
    const bool converged = run.converged;
    const bool failed = run.failed;
    const int iteration = run.iterations;
    m_nGridSize = w.nGrid;
    if (!converged && !failed && iteration == RemezWork::kMaxIterations) {
        m_bIterationLimit = 1;
        WriteConsole("Reached maximum iteration count.\nResults may be bad.\n");
    }
    if (!converged && !failed && w.bestError >= 0.0) {
        // Short of the optimum: the extremal set with the smallest largest error seen stands, and
        // its error on the grid is what the design achieves.
        std::copy(w.bestExt, w.bestExt + w.r + 1, w.ext);
        ComputeParameters(w);
        ComputeError(w);
    }

    const int okBefore = m_bDesignOk;
    ComputeParameters(w);
    if (converged && !w.clipped) {
        m_bDesignOk = okBefore; // a small product of the levelled set is no failure
    }
    m_dTargetRipple = std::fabs(w.delta);
    const bool even = nTaps % 2 == 0;
    for (int i = 0; i <= nTaps / 2; ++i) {
        const double g = even ? std::cos(std::numbers::pi * static_cast<double>(i) / nTaps) : 1.0;
        w.a[i] = InterpolateResponse(w, static_cast<double>(i) / nTaps) * g;
    }
    FrequencySample(w, pCoeffs);
    m_dAchievedRipple = SettleTaps(w, pCoeffs);
    // The level |delta| of any extremal set is a lower bound of the optimum on the grid, and
    // the taps' largest error an upper one: when they meet, the design is at the optimum,
    // whether or not the exchange had settled when it stopped.
    m_dAchievedRipple = std::max(m_dAchievedRipple, overshoot);
    m_bOptimumReached = m_dAchievedRipple <= m_dTargetRipple * kTapLevelTolerance +
                                                 RoundingAllowance(nTaps, pCoeffs, m_dTargetRipple);
    // A run that met a guard on its way counts only when its taps prove the optimum: otherwise
    // it levelled on rounding, and the design has failed.
    if (run.faulted && m_bOptimumReached == 0) {
        m_bDesignOk = 0;
    }

    // Validity: a usable design has its largest tap within [0.0001, 20] and no tap that is not a
    // number (a degenerate exchange can produce those, and they must not pass as a design).
    // Taps beyond 20 are what a runaway exchange leaves; but the optimum itself can have them
    // (a wide transition band with a large bump in it), and taps measured at the optimum on the
    // grid are a design, whatever their size.
    // The taps just written are checked (the document's own array when the driver calls).
    double m = 0.0;
    bool finite = true;
    for (int n = 0; n < nTaps; ++n) {
        finite = finite && std::isfinite(pCoeffs[n]);
        m = std::max(m, std::fabs(pCoeffs[n]));
    }
    if (!finite || m < 0.0001 || (m > 20.0 && m_bOptimumReached == 0)) {
        m_bDesignOk = 0;
    }
    if (m_bDesignOk == 0) {
        m_bOptimumReached = 0;
    }
}

void COlvexDoc::BuildDenseGrid(RemezWork& w) {
    w.deltaF = 0.5 / (RemezWork::kGridDensity * w.r);
    int j = 0;
    for (int b = 0; b < w.nBands; ++b) {
        double low = w.pEdges[2 * b];
        const double high = w.pEdges[2 * b + 1];
        const int k = static_cast<int>((high - low) / w.deltaF + 0.5);
        const int first = j;
        for (int i = 0; i < k && j < w.nGrid; ++i) {
            w.grid[j] = low;
            w.desired[j] = w.pDesired[b];
            w.weight[j] = w.pWeights[b];
            low += w.deltaF;
            ++j;
        }
        if (j > first) {
            w.edgePoints.push_back({j - 1, w.grid[j - 1], w.pDesired[b], w.pWeights[b]});
            w.grid[j - 1] = high; // the band's last point lies exactly on its upper edge
        }
    }
    // The two ways of counting a band's points can differ by rounding; keep only what was filled.
    w.nGrid = j;

    if (w.nTaps % 2 == 0 && w.nGrid > 0) {
        if (w.grid[w.nGrid - 1] >= 0.5) {
            w.grid[w.nGrid - 1] = 0.5 - w.deltaF;
        }
        for (int i = 0; i < w.nGrid; ++i) {
            const double c = std::cos(std::numbers::pi * w.grid[i]);
            w.desired[i] /= c;
            w.weight[i] *= c;
        }
    }
    for (int i = 0; i < w.nGrid; ++i) {
        w.gridCos[i] = std::cos(2.0 * std::numbers::pi * w.grid[i]);
    }
    // Only a point that leaves a gap of more than a step to its edge is worth adding (less, and
    // the band's points are already no farther apart than a step).
    std::vector<RemezWork::EdgePoint> kept;
    for (RemezWork::EdgePoint p : w.edgePoints) {
        if (p.lastIndex >= w.nGrid || w.grid[p.lastIndex] - p.f < 0.999 * w.deltaF ||
            (p.lastIndex > 0 && p.f - w.grid[p.lastIndex - 1] < 0.999 * w.deltaF)) {
            continue;
        }
        if (w.nTaps % 2 == 0) {
            const double c = std::cos(std::numbers::pi * p.f);
            p.desired /= c;
            p.weight *= c;
        }
        kept.push_back(p);
    }
    w.edgePoints = kept;
}

void COlvexDoc::InitialExtremals(RemezWork& w) {
    // r + 1 indices spread evenly over the whole grid, band gaps ignored.
    for (int i = 0; i <= w.r; ++i) {
        w.ext[i] = static_cast<int>((static_cast<long long>(i) * (w.nGrid - 1)) / w.r);
    }
}
