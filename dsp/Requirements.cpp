// Design from requirements. FIR: the rule-of-thumb tap count, then Remez designs measured on the
// design's own bands, stepping the count until the smallest one that meets Ap and As is found.
// IIR: the minimum Chebyshev order from the pre-warped edges, the section count that holds it,
// and the cascade designed and measured on the requirement's bands.
#include "dsp/Requirements.h"

#include "dsp/IirMethods.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <utility>
#include <vector>

#include "dsp/FilterCoefficients.h"
#include "dsp/Measure.h"

namespace dsp {

double PassDeviation(double apDb) {
    const double g = std::pow(10.0, apDb / 20.0);
    return (g - 1.0) / (g + 1.0);
}

double StopDeviation(double asDb) {
    return std::pow(10.0, -asDb / 20.0);
}

namespace {

// The pass ripple and the attenuation of gains measured per band: the largest ripple of the pass
// bands, and the smallest distance of a stop band's largest gain below `referenceDb`.
struct BandFigures {
    double rippleDb = 0.0;
    double attenuationDb = INFINITY;
};

BandFigures FiguresOf(const std::vector<BandGain>& gains, double referenceDb) {
    BandFigures f;
    for (const BandGain& g : gains) {
        if (g.band.pass) {
            f.rippleDb = std::max(f.rippleDb, g.maxDb - g.minDb);
        } else {
            f.attenuationDb = std::min(f.attenuationDb, referenceDb - g.maxDb);
        }
    }
    return f;
}

bool OddTapsOnly(FirType type) {
    return type == FirType::kHighPass || type == FirType::kBandReject;
}

// The narrowest transition band of the type's edges, Hz.
double NarrowestTransition(const FirRequirements& req) {
    const bool threeBand = req.type == FirType::kBandReject || req.type == FirType::kBandPass;
    const double first = req.fc2 - req.fc1;
    return threeBand ? std::min(first, req.fc4 - req.fc3) : first;
}

// The smallest and the largest tap count of the type's parity in minTaps..maxTaps.
int LowestTaps(const FirRequirements& req) {
    return OddTapsOnly(req.type) && req.minTaps % 2 == 0 ? req.minTaps + 1 : req.minTaps;
}
int HighestTaps(const FirRequirements& req) {
    return OddTapsOnly(req.type) && req.maxTaps % 2 == 0 ? req.maxTaps - 1 : req.maxTaps;
}

// One tap count designed and measured on the design's bands (the taps as designed, multiplier 1,
// unquantized: the pass band's nominal gain is 0 dB).
FirRequirementTrial Trial(const FirRequirements& req, int taps, double rr) {
    FirSpecification params;
    params.type = req.type;
    params.fs = req.fs;
    params.fc1 = req.fc1;
    params.fc2 = req.fc2;
    params.fc3 = req.fc3;
    params.fc4 = req.fc4;
    params.rr = rr;
    params.nTaps = taps;
    const FirDesign design = DesignFir(params);
    FirRequirementTrial trial;
    trial.taps = taps;
    trial.designed = design.result.Ok() && !design.result.taps.empty();
    if (!trial.designed) {
        return trial;
    }
    const std::vector<double>& h = design.result.taps;
    const int n = static_cast<int>(h.size());
    const FilterCoefficients c = FirCoefficients(h, n, n, 1, false, 16);
    BandSpec bands;
    bands.type = static_cast<int>(req.type);
    bands.fs = req.fs;
    bands.fc1 = req.fc1;
    bands.fc2 = req.fc2;
    bands.fc3 = req.fc3;
    bands.fc4 = req.fc4;
    const BandFigures f = FiguresOf(MeasureGains(c, req.fs, MeasureBands(bands, c)), 0.0);
    trial.rippleDb = f.rippleDb;
    trial.attenuationDb = f.attenuationDb;
    trial.meets = f.rippleDb <= req.apDb && f.attenuationDb >= req.asDb;
    trial.transition = FirTransitionPeak(h, bands);
    return trial;
}

bool ThreeBand(FirType type) {
    return type == FirType::kBandReject || type == FirType::kBandPass;
}

// Above the pass band's upper limit, beyond rounding.
bool AbovePass(const FirRequirementTrial& trial, double dp) {
    return trial.designed && trial.transition.gain > (1.0 + dp) * (1.0 + 1e-9);
}

// Moves the stop edge of the wider of two unequal transition bands so that it is as wide as the
// narrower one; the index of the edge moved (0..3 for fc1..fc4), or -1 when there is nothing to
// narrow. Band pass: the stop edges are fc1 and fc4; band rejection: fc2 and fc3.
int NarrowWiderTransition(FirRequirements& req) {
    if (!ThreeBand(req.type)) {
        return -1;
    }
    const double first = req.fc2 - req.fc1;
    const double second = req.fc4 - req.fc3;
    if (std::fabs(first - second) <= 1e-9 * req.fs) {
        return -1;
    }
    const bool pass = req.type == FirType::kBandPass;
    if (first > second) {
        (pass ? req.fc1 : req.fc2) = pass ? req.fc2 - second : req.fc1 + second;
        return pass ? 0 : 1;
    }
    (pass ? req.fc4 : req.fc3) = pass ? req.fc3 + first : req.fc4 - first;
    return pass ? 3 : 2;
}

// The search of tap counts on the requirement's edges as they are.
FirRequirementResult SearchTapCounts(const FirRequirements& req) {
    FirRequirementResult result;
    const double dp = PassDeviation(req.apDb);
    const double ds = StopDeviation(req.asDb);
    result.rr = dp / ds;
    result.fc[0] = req.fc1;
    result.fc[1] = req.fc2;
    result.fc[2] = req.fc3;
    result.fc[3] = req.fc4;
    const int step = OddTapsOnly(req.type) ? 2 : 1;
    const int lowest = LowestTaps(req);
    const int highest = HighestTaps(req);
    std::map<int, FirRequirementTrial> tried;
    const auto at = [&](int taps) -> const FirRequirementTrial& {
        auto it = tried.find(taps);
        if (it == tried.end()) {
            it = tried.emplace(taps, Trial(req, taps, result.rr)).first;
            ++result.designs;
        }
        return it->second;
    };
    result.estimate = EstimateRequirementTaps(req, dp, ds);
    int n = result.estimate;
    // Up from the estimate to the first count that meets the requirements.
    while (!at(n).meets && n + step <= highest) {
        n += step;
    }
    if (!at(n).meets) {
        result.chosen = at(highest);
        for (const auto& [taps, trial] : tried) {
            if (trial.designed &&
                (result.best.taps == 0 || trial.attenuationDb > result.best.attenuationDb)) {
                result.best = trial;
            }
        }
        return result;
    }
    // Down while one of the next two smaller counts meets them too: a count that fails can sit
    // between two that meet, since the measured figures do not fall strictly with the count.
    for (bool lower = true; lower;) {
        lower = false;
        for (int k = 1; k <= 2 && !lower; ++k) {
            const int m = n - k * step;
            if (m >= lowest && at(m).meets) {
                n = m;
                lower = true;
            }
        }
    }
    result.met = true;
    result.chosen = at(n);
    return result;
}

} // namespace

int EstimateRequirementTaps(const FirRequirements& req, double dp, double ds) {
    const double width = NarrowestTransition(req) / req.fs;
    const double term = -10.0 * std::log10(dp * ds) - 13.0;
    const double estimate = term / (15.0 * width);
    int n = HighestTaps(req);
    if (std::isfinite(estimate) && width > 0.0 && estimate < n) {
        n = std::max(LowestTaps(req), static_cast<int>(std::ceil(estimate)));
    }
    if (OddTapsOnly(req.type) && n % 2 == 0) {
        ++n;
    }
    return std::min(n, HighestTaps(req));
}

FirRequirementResult SearchFirRequirements(const FirRequirements& req) {
    FirRequirementResult result = SearchTapCounts(req);
    const double dp = PassDeviation(req.apDb);
    // Unequal transition bands are narrowed when the design peaks in the wider one, and when no
    // count meets the requirements at all (the exchange often fails on such layouts).
    if (result.met && !AbovePass(result.chosen, dp)) {
        return result;
    }
    FirRequirements narrowed = req;
    const int moved = NarrowWiderTransition(narrowed);
    if (moved >= 0) {
        FirRequirementResult again = SearchTapCounts(narrowed);
        if (again.met) {
            again.designs += result.designs;
            again.narrowedEdge = moved;
            const double from[4] = {req.fc1, req.fc2, req.fc3, req.fc4};
            again.narrowedFrom = from[moved];
            again.transitionAbovePass = AbovePass(again.chosen, dp);
            return again;
        }
        result.designs += again.designs;
    }
    result.transitionAbovePass = result.met;
    return result;
}

// ---- IIR ----

namespace {

double Warp(double f, double fs) {
    return std::tan(std::numbers::pi * f / fs);
}

double Unwarp(double w, double fs) {
    return std::atan(w) * fs / std::numbers::pi;
}

// The order, not rounded, that a prototype needs to map its pass edge onto the nearest stop
// edge at `nat` (the stop edge's frequency on the prototype's axis, pass edge at 1).
double OrderAt(double nat, double apDb, double asDb) {
    if (!(nat > 1.0) || !std::isfinite(nat)) {
        return INFINITY;
    }
    const double gStop = std::pow(10.0, 0.1 * asDb);
    const double gPass = std::pow(10.0, 0.1 * apDb);
    return std::acosh(std::sqrt((gStop - 1.0) / (gPass - 1.0))) / std::acosh(nat);
}

// The band-stop mapping of the stop edges with the (pre-warped) pass edges p1, p2.
double BandStopNat(double p1, double p2, double s1, double s2) {
    return std::min(std::fabs(s1 * (p1 - p2) / (s1 * s1 - p1 * p2)),
                    std::fabs(s2 * (p1 - p2) / (s2 * s2 - p1 * p2)));
}

// The x in lo..hi where f is smallest: a scan, then golden-section steps around the best point.
template <typename F> double Minimise(F f, double lo, double hi) {
    constexpr int kScan = 400;
    constexpr int kGoldenSteps = 100;
    int best = 0;
    double bestValue = INFINITY;
    for (int i = 0; i <= kScan; ++i) {
        const double v = f(lo + (hi - lo) * i / kScan);
        if (v < bestValue) {
            bestValue = v;
            best = i;
        }
    }
    double a = lo + (hi - lo) * std::max(best - 1, 0) / kScan;
    double b = lo + (hi - lo) * std::min(best + 1, kScan) / kScan;
    const double r = (std::sqrt(5.0) - 1.0) / 2.0;
    for (int i = 0; i < kGoldenSteps && b - a > 1e-15 * (1.0 + std::fabs(b)); ++i) {
        const double c = b - r * (b - a);
        const double d = a + r * (b - a);
        if (f(c) <= f(d)) {
            b = d;
        } else {
            a = c;
        }
    }
    const double x = 0.5 * (a + b);
    return f(x) <= bestValue ? x : lo + (hi - lo) * best / kScan;
}

} // namespace

IirCutoffs RequiredCutoffs(const IirRequirements& req) {
    IirCutoffs cut{req.pass1, req.pass2};
    if (req.type != kIirBrf) {
        return cut;
    }
    // A band-stop filter of a given order reaches both stop edges only when its pass edges sit
    // symmetrically (geometrically) about them; each pass edge in turn moves towards its stop
    // edge as far as lowers the order, which widens a pass band and keeps the requirements.
    double p1 = Warp(req.pass1, req.fs);
    double p2 = Warp(req.pass2, req.fs);
    const double s1 = Warp(req.stop1, req.fs);
    const double s2 = Warp(req.stop2, req.fs);
    if (!(p1 < s1 && s1 < s2 && s2 < p2)) {
        return cut;
    }
    const auto order = [&](double a, double b) {
        return OrderAt(BandStopNat(a, b, s1, s2), req.apDb, req.asDb);
    };
    // An edge moves only when that lowers the order; it never moves into the pass band asked
    // for, whatever the rounding of the warp and back.
    const double m1 = Minimise([&](double x) { return order(x, p2); }, p1, s1 - 1e-12);
    if (order(m1, p2) < order(p1, p2)) {
        p1 = m1;
        cut.fc1 = std::max(Unwarp(p1, req.fs), req.pass1);
    }
    const double m2 = Minimise([&](double x) { return order(p1, x); }, s2 + 1e-12, p2);
    if (order(p1, m2) < order(p1, p2)) {
        cut.fc2 = std::min(Unwarp(m2, req.fs), req.pass2);
    }
    return cut;
}

int ChebyshevOrder(const IirRequirements& req) {
    const IirCutoffs cut = RequiredCutoffs(req);
    const double p1 = Warp(cut.fc1, req.fs);
    const double p2 = Warp(cut.fc2, req.fs);
    const double s1 = Warp(req.stop1, req.fs);
    const double s2 = Warp(req.stop2, req.fs);
    double nat = 0.0;
    switch (req.type) {
    case kIirHpf:
        nat = p1 / s1;
        break;
    case kIirBpf: // the low-pass to band-pass mapping of each stop edge
        nat = std::min(std::fabs((s1 * s1 - p1 * p2) / (s1 * (p1 - p2))),
                       std::fabs((s2 * s2 - p1 * p2) / (s2 * (p1 - p2))));
        break;
    case kIirBrf:
        nat = BandStopNat(p1, p2, s1, s2);
        break;
    default:
        nat = s1 / p1;
        break;
    }
    const double order = OrderAt(nat, req.apDb, req.asDb);
    return std::isfinite(order) ? static_cast<int>(std::ceil(order)) : 0;
}

namespace {

// The transition ratio of the requirement on the prototype's axis (pass edge at 1), with the
// pass edges of RequiredCutoffs; the pre-warped pass edges go to p1, p2.
double TransitionRatio(const IirRequirements& req, double& p1, double& p2) {
    const IirCutoffs cut = RequiredCutoffs(req);
    p1 = Warp(cut.fc1, req.fs);
    p2 = Warp(cut.fc2, req.fs);
    const double s1 = Warp(req.stop1, req.fs);
    const double s2 = Warp(req.stop2, req.fs);
    switch (req.type) {
    case kIirHpf:
        return p1 / s1;
    case kIirBpf:
        return std::min(std::fabs((s1 * s1 - p1 * p2) / (s1 * (p1 - p2))),
                        std::fabs((s2 * s2 - p1 * p2) / (s2 * (p1 - p2))));
    case kIirBrf:
        return BandStopNat(p1, p2, s1, s2);
    default:
        return s1 / p1;
    }
}

} // namespace

int IirMinimumOrder(const IirRequirements& req) {
    double p1 = 0.0;
    double p2 = 0.0;
    const double nat = TransitionRatio(req, p1, p2);
    if (!(nat > 1.0) || !std::isfinite(nat)) {
        return 0;
    }
    const double gStop = std::pow(10.0, 0.1 * req.asDb);
    const double gPass = std::pow(10.0, 0.1 * req.apDb);
    double order = INFINITY;
    switch (req.method) {
    case kIirCheby1:
    case kIirCheby2:
        order = OrderAt(nat, req.apDb, req.asDb);
        break;
    case kIirButter:
        order = std::log10((gStop - 1.0) / (gPass - 1.0)) / (2.0 * std::log10(nat));
        break;
    case kIirEllip: {
        // K(1/nat) K'(d) / (K'(1/nat) K(d)), d^2 = (gPass - 1) / (gStop - 1)
        const double k = 1.0 / nat;
        const double kp = std::sqrt((1.0 - k) * (1.0 + k));
        const double d = std::sqrt((gPass - 1.0) / (gStop - 1.0));
        const double dp = std::sqrt((gStop - gPass) / (gStop - 1.0));
        order = EllipticK({k, kp}) * EllipticK({dp, d}) / (EllipticK({kp, k}) * EllipticK({d, dp}));
        break;
    }
    default:
        return 0;
    }
    return std::isfinite(order) ? static_cast<int>(std::ceil(order)) : 0;
}

IirCutoffs MethodCutoffs(const IirRequirements& req, int order) {
    IirCutoffs cut = RequiredCutoffs(req);
    if ((req.method != kIirButter && req.method != kIirCheby2) || order < 1) {
        return cut;
    }
    double p1 = 0.0;
    double p2 = 0.0;
    TransitionRatio(req, p1, p2);
    const double gStop = std::pow(10.0, 0.1 * req.asDb);
    const double gPass = std::pow(10.0, 0.1 * req.apDb);
    // w: the prototype frequency of the new cut-off with the pass edge at 1 (Butterworth: the
    // -3 dB point; Chebyshev II: the point where As is reached, taken from the stop side).
    const double w =
        req.method == kIirButter
            ? std::pow(gPass - 1.0, -1.0 / (2.0 * order))
            : 1.0 / std::cosh(std::acosh(std::sqrt((gStop - 1.0) / (gPass - 1.0))) / order);
    double n1 = 0.0;
    double n2 = 0.0;
    const double bw = p2 - p1;
    switch (req.type) {
    case kIirLpf:
        n1 = req.method == kIirButter ? p1 * w : p1 / w;
        break;
    case kIirHpf:
        n1 = req.method == kIirButter ? p1 / w : p1 * w;
        break;
    case kIirBpf: {
        // the band-pass frequencies of the prototype's +-v, v = w (Butterworth) or 1 / w
        const double v = req.method == kIirButter ? w : 1.0 / w;
        n1 = std::fabs(-v * bw / 2.0 + std::sqrt(v * v * bw * bw / 4.0 + p1 * p2));
        n2 = std::fabs(v * bw / 2.0 + std::sqrt(v * v * bw * bw / 4.0 + p1 * p2));
        break;
    }
    default: { // BRF: the band-stop frequencies of the prototype's v
        const double v = req.method == kIirButter ? w : 1.0 / w;
        const double root = std::sqrt(bw * bw + 4.0 * v * v * p1 * p2);
        n1 = std::fabs((bw + root) / (2.0 * v));
        n2 = std::fabs((bw - root) / (2.0 * v));
        break;
    }
    }
    if (n2 != 0.0 && n1 > n2) {
        std::swap(n1, n2);
    }
    cut.fc1 = Unwarp(n1, req.fs);
    if (req.type == kIirBpf || req.type == kIirBrf) {
        cut.fc2 = Unwarp(n2, req.fs);
    }
    return cut;
}

int SectionsForOrder(int type, int order) {
    const int pairs = (order + 1) / 2;
    return type == kIirBrf || type == kIirBpf ? 2 * pairs : pairs;
}

namespace {

// The requirement's bands: pass bands bounded by the pass edges, stop bands by the stop edges.
std::vector<Band> IirRequirementBands(const IirRequirements& req) {
    const double half = req.fs / 2.0;
    switch (req.type) {
    case kIirHpf:
        return {{false, 0.0, req.stop1}, {true, req.pass1, half}};
    case kIirBpf:
        return {{false, 0.0, req.stop1}, {true, req.pass1, req.pass2}, {false, req.stop2, half}};
    case kIirBrf:
        return {{true, 0.0, req.pass1}, {false, req.stop1, req.stop2}, {true, req.pass2, half}};
    default:
        return {{true, 0.0, req.pass1}, {false, req.stop1, half}};
    }
}

} // namespace

IirRequirementResult SearchIirRequirements(const IirRequirements& req) {
    IirRequirementResult result;
    result.order = req.method == kIirCheby1 ? ChebyshevOrder(req) : IirMinimumOrder(req);
    const int needed = SectionsForOrder(req.type, std::max(result.order, 1));
    result.met = result.order > 0 && needed <= kIirMaxSections;
    result.sections = std::min(needed, kIirMaxSections);
    result.cutoffs = MethodCutoffs(req, result.order);
    IirSpec params;
    params.method = req.method;
    params.attenDb = req.asDb;
    params.type = req.type;
    params.sections = result.sections;
    params.rippleDb = req.apDb;
    params.fs = req.fs;
    params.fc1 = result.cutoffs.fc1;
    params.fc2 = result.cutoffs.fc2;
    if (!DesignIirCascade(params, result.cascade)) {
        result.met = false;
        return result;
    }
    std::vector<Section> sections;
    for (size_t j = 0; j < static_cast<size_t>(kIirMaxSections); ++j) {
        const IirCascade& c = result.cascade;
        sections.push_back({c.a0[j], c.a1[j], c.a2[j], c.b1[j], c.b2[j]});
    }
    const FilterCoefficients c = IirCoefficients(sections, result.sections, false, 16);
    const std::vector<BandGain> gains = MeasureGains(c, req.fs, IirRequirementBands(req));
    double peakDb = -INFINITY;
    for (const BandGain& g : gains) {
        peakDb = g.band.pass ? std::max(peakDb, g.maxDb) : peakDb;
    }
    const BandFigures f = FiguresOf(gains, peakDb);
    result.rippleDb = f.rippleDb;
    result.attenuationDb = f.attenuationDb;
    return result;
}

} // namespace dsp
