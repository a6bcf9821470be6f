// Proposals after a failed FIR design: a tap count for the current edges, or stop-band edges
// for the current tap count. Both come from the same rule of thumb: N * (transition / fs) * 15
// is about the attenuation term L, with the product of the two ripples taken as RR * 1e-12.
#include "dsp/FirDesign.h"

#include <cmath>

namespace dsp {

namespace {

constexpr int kMaxProposedTaps = 349;

double AttenuationTerm(double rr) {
    return -10.0 * std::log10(rr * 1e-12) - 13.0;
}

// Rounds a proposed edge down to four significant digits (three decimals below 10).
double RoundEdge(double v) {
    if (!(v > 0.0) || !std::isfinite(v)) {
        return v;
    }
    const int k = static_cast<int>(std::log10(v)); // toward zero: 0 for 0 < v < 10
    const double s = std::pow(10.0, 3 - k);
    const double scaled = v * s;
    // The scaled value is at most 10^4 by construction; the bound keeps the cast defined.
    if (!(std::fabs(scaled) < 2147483647.0)) {
        return v;
    }
    return static_cast<int>(scaled) / s;
}

// The transition width, Hz, that nTaps reach at the ripple ratio rr.
double TransitionWidth(double fs, int nTaps, double rr) {
    return AttenuationTerm(rr) / (15.0 * nTaps) * fs;
}

} // namespace

int EstimateTaps(FirType type, double fs, double fc1, double fc2, double rr) {
    const double width = (fc2 - fc1) / fs;
    const double estimate = AttenuationTerm(rr) / (15.0 * width);
    // A transition of zero or negative width (possible after an unchecked edge adjustment), or a
    // value that is not a number, asks for the longest filter the proposal offers. An estimate
    // below zero counts as 0; the parity step below then proposes -2 or -1.
    int n = kMaxProposedTaps;
    if (std::isfinite(estimate) && width > 0.0 && estimate < kMaxProposedTaps) {
        n = estimate > 0.0 ? static_cast<int>(estimate) : 0;
    }
    const bool oddOnly = type == FirType::kHighPass || type == FirType::kBandReject;
    if (n % 2 == 0 && oddOnly) {
        return n - 1;
    }
    return n - 2;
}

double EstimateEdgeAbove(double edge, double fs, int nTaps, double rr) {
    return RoundEdge(edge + TransitionWidth(fs, nTaps, rr));
}

double EstimateEdgeBelow(double edge, double fs, int nTaps, double rr) {
    return RoundEdge(edge - TransitionWidth(fs, nTaps, rr));
}

} // namespace dsp
