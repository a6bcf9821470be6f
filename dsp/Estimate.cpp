// Proposals after a failed FIR design: a tap count for the current edges, or stop-band edges
// for the current tap count. Both come from the same rule of thumb: N * (transition / fs) * 15
// is about the attenuation term L, with the product of the two ripples taken as RR * 1e-12.
#include "app/OlvexDoc.h"

#include <cmath>

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

} // namespace

int COlvexDoc::EstimateTaps() {
    m_bEvenTaps = 0;
    const double width = (m_fc2 - m_fc1) / m_fs;
    const double estimate = AttenuationTerm(m_dRR) / (15.0 * width);
    // A transition of zero or negative width (possible after an unchecked edge adjustment), or a
    // value that is not a number, asks for the longest filter the proposal offers.
    // An estimate below zero (a ripple ratio beyond about 5e10) is proposed as 0 and left to the
    // dialog's range check, like any proposal below 4.
    int n = kMaxProposedTaps;
    if (std::isfinite(estimate) && width > 0.0 && estimate < kMaxProposedTaps) {
        n = estimate > 0.0 ? static_cast<int>(estimate) : 0;
    }
    const bool oddOnly = m_nFilterType == kHpf || m_nFilterType == kBrf;
    if (n % 2 == 0 && oddOnly) {
        return n - 1;
    }
    return n - 2;
}

namespace {
double TransitionWidth(const COlvexDoc& doc) {
    return AttenuationTerm(doc.m_dRR) / (15.0 * doc.m_nTaps) * doc.m_fs;
}
} // namespace

double COlvexDoc::EstimateFc2FromFc1() const {
    return RoundEdge(m_fc1 + TransitionWidth(*this));
}

double COlvexDoc::EstimateFc1FromFc2() const {
    return RoundEdge(m_fc2 - TransitionWidth(*this));
}

double COlvexDoc::EstimateFc3FromFc4() const {
    return RoundEdge(m_fc4 - TransitionWidth(*this));
}

double COlvexDoc::EstimateFc4FromFc3() const {
    return RoundEdge(m_fc3 + TransitionWidth(*this));
}
