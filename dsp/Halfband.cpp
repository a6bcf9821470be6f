// The exact half-band low pass: every second tap zero, the centre one half.
#include <algorithm>
#include <cmath>

#include "dsp/FirMethods.h"

namespace dsp {

FirDesignResult HalfbandTaps(int nTaps, double passEdge, FirRefusal* refusal) {
    FirRefusal none = FirRefusal::kNone;
    FirRefusal& why = refusal != nullptr ? *refusal : none;
    why = FirRefusal::kNone;
    FirDesignResult result;
    if (!IsHalfbandTapCount(nTaps)) {
        why = result.refusal = FirRefusal::kTapCount;
        return result;
    }
    if (!std::isfinite(passEdge) || !(passEdge > 0.0) || !(passEdge < 0.25)) {
        why = result.refusal = FirRefusal::kBandLayout;
        return result;
    }
    // g: an even count of taps approximating 1 on one band; its response is odd about 1/2 of its
    // own rate, which is what turns the pass band of H into a stop band mirrored about fs/4.
    FirBands one;
    one.nBands = 1;
    one.edges[0] = 0.0;
    one.edges[1] = 2.0 * passEdge;
    one.desired[0] = 1.0;
    one.weight[0] = 1.0;
    const int half = (nTaps + 1) / 2;
    FirDesignResult g = RemezDesign(half, one, FirKind::kMultiband);
    result.verdict = g.verdict;
    result.iterationLimit = g.iterationLimit;
    result.iterations = g.iterations;
    result.gridSize = g.gridSize;
    result.achievedRipple = 0.5 * g.achievedRipple;
    result.targetRipple = 0.5 * g.targetRipple;
    result.notice = g.notice;
    result.refusal = g.refusal;
    why = g.refusal;
    if (g.taps.size() != static_cast<size_t>(half)) {
        result.verdict = FirVerdict::kFailed;
        return result;
    }
    // g is symmetric; its two halves may differ in the last bit, which would leave h a hair
    // short of linear phase.
    for (int i = 0; i < half / 2; ++i) {
        const double mean =
            0.5 * (g.taps[static_cast<size_t>(i)] + g.taps[static_cast<size_t>(half - 1 - i)]);
        g.taps[static_cast<size_t>(i)] = mean;
        g.taps[static_cast<size_t>(half - 1 - i)] = mean;
    }
    result.taps.assign(static_cast<size_t>(nTaps), 0.0);
    for (int i = 0; i < half; ++i) {
        result.taps[static_cast<size_t>(2 * i)] = 0.5 * g.taps[static_cast<size_t>(i)];
    }
    // g is symmetric with an even count, so its middle pair straddles the centre of h, which is
    // an odd index: it takes the half that makes H(0) = (1 + G(0)) / 2.
    result.taps[static_cast<size_t>(nTaps / 2)] = 0.5;
    if (!std::all_of(result.taps.begin(), result.taps.end(),
                     [](double h) { return std::isfinite(h); })) {
        std::fill(result.taps.begin(), result.taps.end(), 0.0);
        result.verdict = FirVerdict::kFailed;
    }
    return result;
}

} // namespace dsp
