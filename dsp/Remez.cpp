// FIR design by Remez exchange (Parks-McClellan), even symmetry h[n] = h[N-1-n], or odd symmetry
// h[n] = -h[N-1-n] for Hilbert transformers and differentiators.
//
// RemezDesign is the exchange loop over named steps: the dense grid and the first extremal set
// (dsp/RemezGrid.cpp), the exchange strategies in turn, each iteration of them computing the
// interpolation, the error on the grid and the next extremal set (dsp/RemezSteps.cpp); then the
// taps (dsp/RemezTaps.cpp) and the verdict. Frequencies are fractions of the sampling frequency:
// 0 is DC, 0.5 is half of fs.
#include "dsp/FirDesign.h"
#include "dsp/RemezWork.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <utility>
#include <vector>

namespace dsp {

static_assert(RemezWork::kMaxBands >= kMaxFirBands);

namespace {

// The layout must be finite, ascending and inside [0, 0.5], and every band weighted by a finite
// positive weight; anything else cannot describe a filter and would make the dense grid
// meaningless or unbounded, or the weighted error the exchange levels meaningless.
FirRefusal CheckLayout(const FirBands& bands) {
    if (bands.nBands < 1 || bands.nBands > kMaxFirBands) {
        return FirRefusal::kBandLayout;
    }
    double previous = 0.0;
    for (int i = 0; i < 2 * bands.nBands; ++i) {
        const double e = bands.edges[i];
        if (!std::isfinite(e) || e < previous || e > 0.5) {
            return FirRefusal::kBandLayout;
        }
        previous = e;
    }
    for (int b = 0; b < bands.nBands; ++b) {
        if (!std::isfinite(bands.desired[b])) {
            return FirRefusal::kBandLayout;
        }
    }
    for (int b = 0; b < bands.nBands; ++b) {
        if (!std::isfinite(bands.weight[b]) || !(bands.weight[b] > 0.0)) {
            return FirRefusal::kBandWeight;
        }
    }
    return FirRefusal::kNone;
}

// The dense grid of the layout and the first extremal set. Returns false when the tap count or
// the layout is refused (`refusal` says why) or the grid has fewer points than extremals (they
// could never alternate): no design.
bool PrepareGrid(RemezWork& w, int nTaps, const FirBands& bands, FirKind kind,
                 FirRefusal& refusal) {
    w.nTaps = nTaps;
    w.nBands = bands.nBands;
    w.pEdges = bands.edges.data();
    w.pDesired = bands.desired.data();
    w.pWeights = bands.weight.data();
    w.antisymmetric = IsAntisymmetric(kind);
    w.differentiator = kind == FirKind::kDifferentiator;
    w.r = nTaps / 2 + (nTaps % 2 != 0 && !w.antisymmetric ? 1 : 0);
    refusal = nTaps < 2 || nTaps > kMaxRemezTaps ? FirRefusal::kTapCount : CheckLayout(bands);
    if (refusal != FirRefusal::kNone) {
        return false;
    }
    if (kind != FirKind::kFilterType) {
        w.nGrid = SteppedGridSize(w);
        if (w.nGrid < w.r + 1) {
            return false;
        }
        SizeGridArrays(w);
        BuildSteppedGrid(w, kind == FirKind::kDifferentiator);
        InitialExtremals(w);
        return true;
    }
    w.nGrid = GridSize(w.r, w.nBands, w.pEdges, w.density);
    if (w.nGrid < w.r + 1) {
        return false;
    }
    SizeGridArrays(w);
    BuildDenseGrid(w);
    if (w.nGrid < w.r + 1) {
        return false;
    }
    InitialExtremals(w);
    return true;
}

// One search step of the exchange: the next extremal set from the error on the grid.
using SearchStep = void (*)(RemezWork&);

// The exchange strategies in the order they are tried: the multiple exchange, then, for a run it
// could not level, the one-at-a-time exchange from the same start, which keeps the set spread.
constexpr SearchStep kExchangeStrategies[] = {SearchExtremals, SearchExtremalsLocally};

struct ExchangeRun {
    bool converged = false;
    bool faulted = false; // a guard of the interpolation fired on the way
    int iterations = 0;

    // A run that met a guard and never levelled has levelled on nothing: it fails.
    bool Failed() const { return faulted && !converged; }
    bool Levelled() const { return converged && !faulted; }
    // A run that stops early stops inside its iteration, which counts.
    int Counted() const { return iterations + (iterations < RemezWork::kMaxIterations ? 1 : 0); }
    // A restart takes the place of the first run when it levels, and either met no guard or the
    // first did not level at all.
    bool Replaces(const ExchangeRun& first) const {
        return converged && (!faulted || !first.converged);
    }
};

// Exchange iterations from the current extremal set, at most the iteration limit.
ExchangeRun Exchange(RemezWork& w, SearchStep search) {
    ExchangeRun run;
    for (; run.iterations < RemezWork::kMaxIterations; ++run.iterations) {
        // A guard of the interpolation fired: extremals (nearly) coincide, or the level of the
        // set is rounding. That happens on the way too, after a start whose level is rounding
        // (the error curve the next set comes from is then noise), and the exchange can still
        // find its way from there. The run goes on; it fails unless it levels.
        const bool exact = ComputeParameters(w);
        run.faulted = run.faulted || !exact;
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

// The designs on the stepped grid go on from a levelled set until the exchange hands back the
// set it was given (at most kSettleIterations more), as the reference designs stop: the level
// rule alone leaves the taps a few parts in a million from where the settled set puts them. A
// step whose set no longer counts as level is undone. Returns the iterations taken (none unless
// `settle`).
constexpr int kSettleIterations = 8;

int SettleExtremals(RemezWork& w, SearchStep search, bool settle) {
    int taken = 0;
    for (; settle && taken < kSettleIterations; ++taken) {
        int before[RemezWork::kMaxExtremals];
        std::copy(w.ext, w.ext + w.r + 1, before);
        const bool exact = ComputeParameters(w);
        ComputeError(w);
        search(w);
        if (!exact || w.searchFailed || w.clipped || !IsConverged(w)) {
            std::copy(before, before + w.r + 1, w.ext);
            w.searchFailed = false;
            break;
        }
        if (std::equal(before, before + w.r + 1, w.ext)) {
            break;
        }
    }
    return taken;
}

void RestartExchange(RemezWork& w) {
    InitialExtremals(w);
    w.bestError = -1.0;
    w.searchFailed = false;
}

// The extremal set the taps come from: the last one of a run that levelled, the best one seen by
// a run short of the optimum. Returns whether the design still stands: the run did not fail, and
// the set's interpolation met no guard, unless the set levelled with exact weights (a small
// product of a levelled set is no failure).
bool FinalExtremals(RemezWork& w, const ExchangeRun& run) {
    if (!run.converged && !run.Failed() && w.bestError >= 0.0) {
        std::copy(w.bestExt, w.bestExt + w.r + 1, w.ext);
    }
    const bool exact = ComputeParameters(w);
    return !run.Failed() && (exact || (run.converged && !w.clipped));
}

// The taps written must hold the level of the exchange on the grid, up to this factor and the
// rounding of a sum of N taps (a few units of 1e-16 per tap, on responses of order 1), for the
// design to count as the optimum.
constexpr double kTapLevelTolerance = 1.001;
constexpr double kTapRoundingPerTap = 1e-14;

// The rounding allowance of the taps against the level. A response far above 1 somewhere (the
// optimum can rise high in a wide transition band) is computed with rounding of its own size,
// about 1e-14 times the sum of |h|, and the allowance grows with it; but only while that rounding
// stays below 1 % of the level. Beyond, the taps can prove nothing: the design is at the limit of
// double precision, and only the allowance of a response of order 1 is left.
double RoundingAllowance(const std::vector<double>& taps, double level) {
    const double unit = kTapRoundingPerTap * static_cast<double>(taps.size());
    double sum = 0.0;
    for (double h : taps) {
        sum += std::fabs(h);
    }
    const double sized = kTapRoundingPerTap * sum;
    return sized > unit && sized <= 0.01 * level ? sized : unit;
}

// The taps of an antisymmetric design, chosen as below for symmetric ones.
double ComputeAntisymmetricTaps(const RemezWork& w, std::vector<double>& taps) {
    const size_t n = static_cast<size_t>(w.nTaps);
    taps.assign(n, 0.0);
    SampleAntisymmetricTaps(w, taps.data());
    const double achieved = AntisymmetricTapError(w, taps.data());
    const double level = std::fabs(w.delta);
    if (!(achieved > level * kTapLevelTolerance + RoundingAllowance(taps, level))) {
        return achieved;
    }
    std::vector<double> solved(n, 0.0);
    if (!SolveAntisymmetricTaps(w, solved.data())) {
        return achieved;
    }
    const double better = AntisymmetricTapError(w, solved.data());
    if (!(better < achieved)) {
        return achieved;
    }
    taps.swap(solved);
    return better;
}

// The taps of the final extremal set: the response through it sampled at f = i/N, turned into
// taps, measured on the grid; where they fall short of the set's level, taps solved from the
// extremal values directly take their place if they do better. Returns the largest weighted
// error of the taps that stand.
double ComputeTaps(RemezWork& w, std::vector<double>& taps) {
    const int n = w.nTaps;
    if (w.antisymmetric) {
        return ComputeAntisymmetricTaps(w, taps);
    }
    // The refinement may have left them in `taps` already, measured.
    double achieved = w.tapError;
    if (!w.tapsSampled || taps.size() != static_cast<size_t>(n)) {
        taps.assign(static_cast<size_t>(n), 0.0);
        SampleSymmetricTaps(w, taps.data());
        achieved = TapGridError(w, taps.data());
    }
    w.tapsSampled = false;
    const double level = std::fabs(w.delta);
    if (!(achieved > level * kTapLevelTolerance + RoundingAllowance(taps, level))) {
        return achieved;
    }
    std::vector<double> solved(static_cast<size_t>(n));
    if (!SolveTapsOnExtremals(w, solved.data())) {
        return achieved;
    }
    const double better = TapGridError(w, solved.data());
    if (!(better < achieved)) {
        return achieved;
    }
    taps.swap(solved);
    return better;
}

// The level |delta| of any extremal set is a lower bound of the optimum on the grid, and the
// taps' largest error an upper one: when they meet, the design is at the optimum, whether or not
// the exchange had settled when it stopped. A run that met a guard on its way counts only when
// its taps prove the optimum: otherwise it levelled on rounding, and the design has failed.
bool HoldsLevel(const FirDesignResult& result) {
    return result.achievedRipple <= result.targetRipple * kTapLevelTolerance +
                                        RoundingAllowance(result.taps, result.targetRipple);
}

FirVerdict Verdict(bool stands, bool faulted, const FirDesignResult& result) {
    const bool optimum = HoldsLevel(result);
    // A usable design has its largest tap within [0.0001, 20] and no tap that is not a number (a
    // degenerate exchange can produce those). Taps beyond 20 are what a runaway exchange leaves;
    // but the optimum itself can have them (a wide transition band with a large bump in it), and
    // taps measured at the optimum on the grid are a design, whatever their size.
    double largest = 0.0;
    bool finite = true;
    for (double h : result.taps) {
        finite = finite && std::isfinite(h);
        largest = std::max(largest, std::fabs(h));
    }
    const bool valid = finite && largest >= 0.0001 && (largest <= 20.0 || optimum);
    if (!stands || (faulted && !optimum) || !valid) {
        return FirVerdict::kFailed;
    }
    return optimum ? FirVerdict::kOptimum : FirVerdict::kShortOfOptimum;
}

// The taps of the final set and the verdict. A set that levelled on the grid goes on to the
// optimum of the bands themselves; its largest error is then the one at the extrema, which the
// grid only samples. Where its taps do not hold that level (a level near rounding), the set of
// the grid stands, as it did.
void TapsAndVerdict(RemezWork& w, const ExchangeRun& run, bool stands, double overshoot,
                    FirDesignResult& result) {
    if (stands && run.converged && !w.clipped) {
        std::optional<RemezWork> kept = w;
        if (RefineExtremals(w)) {
            result.targetRipple = std::fabs(w.delta);
            result.achievedRipple =
                std::max({ComputeTaps(w, result.taps), overshoot, w.refinedError});
            if (HoldsLevel(result)) {
                result.verdict = Verdict(stands, run.faulted, result);
                return;
            }
        }
        w = std::move(*kept);
    }
    result.targetRipple = std::fabs(w.delta);
    result.achievedRipple = std::max(ComputeTaps(w, result.taps), overshoot);
    result.verdict = Verdict(stands, run.faulted, result);
}

// The first tries of a two-band-type design, on grids coarser than the full one: the refinement
// takes a levelled set to the optimum of the bands from any grid whose error curve shows every
// extremum of the response (the optimum is unique), so the full grid is needed only where these
// tries fail. A try counts only when its set levels without a guard, the refinement levels to the
// last digits, and the taps hold that level as the optimum.
//
// The sketch: the exchange levels the set on a grid of a quarter of the full density (every other
// point of the grid of half the density), at a quarter of the cost per iteration; its extremals
// are then points of the grid of half the density, and the refinement goes on from there (its
// levelling on the continuous axis is the exchange continued without a grid). The second try runs
// the exchange on the grid of half the density itself, where the sketch's set does not level.
constexpr int kCoarseDensity = RemezWork::kGridDensity / 2;
// The sketch stops once its set is level to 30 %: the last iterations of the exchange to 0.01 %
// are work the levelling on the continuous axis does as well, and at a fraction of the cost.
constexpr double kSketchTolerance = 0.3;

// The taps of a set refined to the optimum of the bands, and whether they stand as the optimum.
bool RefinedOptimum(RemezWork& w, int iterations, FirDesignResult& result) {
    result.taps.assign(static_cast<size_t>(w.nTaps), 0.0);
    if (!RefineExtremals(w, w.antisymmetric ? nullptr : result.taps.data()) || !w.refinedLevel) {
        return false;
    }
    result.gridSize = w.nGrid;
    result.iterations = iterations;
    result.targetRipple = std::fabs(w.delta);
    result.achievedRipple = std::max(ComputeTaps(w, result.taps), w.refinedError);
    if (!HoldsLevel(result)) {
        return false;
    }
    result.verdict = Verdict(true, false, result);
    return result.verdict == FirVerdict::kOptimum;
}

bool SketchDesign(int nTaps, const FirBands& bands, FirDesignResult& result) {
    // The grid of half the density is built once; the sketch runs on every other point of it,
    // and its levelled set is the same points of the finer grid.
    RemezWork w;
    w.density = kCoarseDensity;
    FirRefusal refusal = FirRefusal::kNone;
    if (!PrepareGrid(w, nTaps, bands, FirKind::kFilterType, refusal)) {
        return false;
    }
    RemezWork sketch;
    std::vector<int> kept;
    SubsampleGrid(w, sketch, kept);
    if (sketch.nGrid < sketch.r + 1) {
        return false;
    }
    InitialExtremals(sketch);
    sketch.levelTolerance = kSketchTolerance;
    const ExchangeRun run = Exchange(sketch, SearchExtremals);
    if (!run.Levelled() || sketch.clipped) {
        return false;
    }
    for (int i = 0; i <= w.r; ++i) {
        w.ext[i] = kept[static_cast<size_t>(sketch.ext[i])];
    }
    if (!ComputeParameters(w) || w.clipped) {
        return false;
    }
    return RefinedOptimum(w, run.Counted(), result);
}

bool CoarseDesign(int nTaps, const FirBands& bands, FirDesignResult& result) {
    RemezWork w;
    w.density = kCoarseDensity;
    FirRefusal refusal = FirRefusal::kNone;
    if (!PrepareGrid(w, nTaps, bands, FirKind::kFilterType, refusal)) {
        return false;
    }
    const ExchangeRun run = Exchange(w, SearchExtremals);
    if (!run.Levelled() || EdgeOvershoot(w) > 0.0 || !FinalExtremals(w, run) || w.clipped) {
        return false;
    }
    return RefinedOptimum(w, run.Counted(), result);
}

// The design on the full grid: the exchange strategies in turn, the edge points, the taps and
// the verdict.
FirDesignResult FullGridDesign(int nTaps, const FirBands& bands, FirKind kind) {
    FirDesignResult result;
    RemezWork w;
    const bool ready = PrepareGrid(w, nTaps, bands, kind, result.refusal);
    result.gridSize = w.nGrid;
    if (!ready) {
        return result;
    }
    // The strategies in turn, each from the same start, until one levels without a guard; a
    // restart that does no better than the run before leaves that run standing.
    ExchangeRun run;
    SearchStep used = nullptr;
    std::optional<RemezWork> kept; // the run to go back to when a repeat does no better
    for (const SearchStep search : kExchangeStrategies) {
        if (used != nullptr) {
            if (run.Levelled()) {
                break;
            }
            kept = w;
            RestartExchange(w);
        }
        const ExchangeRun trial = Exchange(w, search);
        result.iterations += trial.Counted();
        if (used == nullptr || trial.Replaces(run)) {
            run = trial;
            used = search;
        } else {
            w = std::move(*kept);
        }
    }
    // A design that levelled on the grid but overshoots in the gap before a band edge is not at
    // the optimum: it goes on from where it stopped with the skipped points in the grid, which
    // takes an iteration or two. Should that not level, the first result stands, and the
    // overshoot counts in its achieved ripple.
    result.iterations += SettleExtremals(w, used, kind != FirKind::kFilterType && run.Levelled());
    double overshoot = run.converged ? EdgeOvershoot(w) : 0.0;
    if (overshoot > 0.0) {
        kept = w;
        AddEdgePoints(w);
        const ExchangeRun refined = Exchange(w, used);
        result.iterations += refined.Counted();
        if (refined.converged) {
            run = refined;
            overshoot = 0.0;
        } else {
            w = std::move(*kept);
        }
    }
    result.gridSize = w.nGrid;
    result.iterationLimit =
        !run.converged && !run.Failed() && run.iterations == RemezWork::kMaxIterations;
    if (result.iterationLimit) {
        result.notice = "Reached maximum iteration count.\nResults may be bad.\n";
    }
    const bool stands = FinalExtremals(w, run);
    TapsAndVerdict(w, run, stands, overshoot, result);
    return result;
}

} // namespace

FirDesignResult RemezDesign(int nTaps, const FirBands& bands) {
    return RemezDesign(nTaps, bands, FirKind::kFilterType);
}

FirDesignResult RemezDesign(int nTaps, const FirBands& bands, FirKind kind) {
    if (kind == FirKind::kFilterType) {
        for (bool (*design)(int, const FirBands&, FirDesignResult&) :
             {SketchDesign, CoarseDesign}) {
            FirDesignResult result;
            if (design(nTaps, bands, result)) {
                return result;
            }
        }
    }
    return FullGridDesign(nTaps, bands, kind);
}

} // namespace dsp
