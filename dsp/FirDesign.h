// FIR design on values: the band layout of a filter type, the Remez exchange that turns a layout
// into equiripple taps with its verdict, and the rule-of-thumb proposals (tap count, stop-band
// edges) offered after a failed design.
//
// Frequencies of a layout are fractions of the sampling frequency (0 is DC, 0.5 is half of fs);
// the filter-type level takes them in Hz with fs. Nothing here keeps state between calls.
#pragma once

#include <array>
#include <string>
#include <vector>

namespace dsp {

// The four filter types, in the order of the form's filter-type radio group.
enum class FirType { kLowPass = 0, kHighPass = 1, kBandReject = 2, kBandPass = 3 };

// The type of a radio-group index; an index outside 0..3 designs a low pass.
FirType FirTypeFromIndex(int index);

// Bands a layout can hold, and their edges: the filter types use up to three, a multiband layout
// up to eight.
constexpr int kMaxFirBands = 8;
constexpr int kMaxFirBandEdges = 2 * kMaxFirBands;

// A band layout: nBands bands, band b from edges[2b] to edges[2b + 1] (fractions of fs,
// ascending), with its desired gain and weight. Entries past nBands are 0 and mean nothing.
struct FirBands {
    int nBands = 0;
    std::array<double, kMaxFirBandEdges> edges{};
    std::array<double, kMaxFirBands> desired{};
    std::array<double, kMaxFirBands> weight{};
};

// The layout of a filter type: pass bands have gain 1 and weight 1, stop bands gain 0 and weight
// rr; the first band starts at DC, the last ends at half of fs, and the inner edges are
// fc1..fc4 / fs (the two-band types use fc1 and fc2 only).
FirBands FirBandLayout(FirType type, double fs, double fc1, double fc2, double fc3, double fc4,
                       double rr);

// How a design ended. kOptimum: the taps' largest weighted error on the dense grid meets the
// level of the final extremal set (within 0.1 % and rounding), the equiripple optimum.
// kShortOfOptimum: the taps stand, but their error is above that level. kFailed: no usable taps
// (the layout or tap count cannot be designed, the exchange levelled on rounding, or the largest
// tap lies outside the validity bounds).
enum class FirVerdict { kOptimum, kShortOfOptimum, kFailed };

// Why the exchange refused to start: a tap count outside 2..kMaxRemezTaps, a layout whose edges
// are not ascending in [0, 0.5] or whose desired gains are not finite, or a band weight that is
// not finite and positive (a weight of 0 or below turns the exchange's error into nonsense).
// kNone when the exchange ran; a refused design has no taps and fails.
enum class FirRefusal { kNone, kTapCount, kBandLayout, kBandWeight };

// The outcome of one Remez design.
struct FirDesignResult {
    // h[0..N-1], symmetric (antisymmetric for a Hilbert transformer or differentiator); empty when
    // the tap count or the layout cannot be designed at all.
    std::vector<double> taps;
    FirVerdict verdict = FirVerdict::kFailed;
    bool iterationLimit = false; // the exchange stopped at its iteration limit without levelling
    double achievedRipple = 0.0; // largest weighted error of the taps on the dense grid
    double targetRipple = 0.0;   // level |delta| of the final extremal set: the optimum's bound
    int iterations = 0;          // exchange iterations, every pass counted
    int gridSize = 0;            // dense-grid points at the end (0: unusable tap count or layout)
    std::string notice;          // console text of the run ("" unless the iteration limit hit)
    FirRefusal refusal = FirRefusal::kNone; // why the exchange did not run at all

    bool Ok() const { return verdict != FirVerdict::kFailed; }
};

// Tap counts the exchange can design: 2 up to this (its extremal arrays hold 200 members).
constexpr int kMaxRemezTaps = 398;

// Tap counts a FIR design is made with: the FIR dialogs, the command line and the search of
// design from requirements all accept 4..380, well inside the exchange's capacity.
constexpr int kMinDesignTaps = 4;
constexpr int kMaxDesignTaps = 380;
static_assert(kMaxDesignTaps <= kMaxRemezTaps);

// FIR design by Remez exchange (Parks-McClellan) of nTaps symmetric taps on the layout.
FirDesignResult RemezDesign(int nTaps, const FirBands& bands);

// What a FIR design approximates. kFilterType: the band layout of a filter type (FirBandLayout);
// kMultiband: a layout of up to kMaxFirBands bands given band by band. Both have symmetric taps.
// kHilbert and kDifferentiator have antisymmetric taps h[n] = -h[N-1-n] (a quarter-cycle phase
// shift): a Hilbert transformer approximates its bands' gains, a differentiator the gain G * f
// in each band (f the fraction of fs), weighted by W / f where G is at least 0.0001. Their grid
// keeps clear of the frequencies where the taps force the response to zero: it starts no lower
// than one grid step, and for an odd tap count ends below half of fs less one step.
enum class FirKind { kFilterType = 0, kHilbert = 1, kDifferentiator = 2, kMultiband = 3 };

// Whether the kind's taps are antisymmetric.
constexpr bool IsAntisymmetric(FirKind kind) {
    return kind == FirKind::kHilbert || kind == FirKind::kDifferentiator;
}

// The Remez design of nTaps taps of the kind on the layout; the symmetric kinds are the design
// above.
FirDesignResult RemezDesign(int nTaps, const FirBands& bands, FirKind kind);

// A FIR design as the Design command asks for it: filter type, fs and band edges in Hz, the
// ripple ratio RR (the stop-band weight) and the tap count.
struct FirSpecification {
    FirType type = FirType::kLowPass;
    double fs = 1000.0;
    double fc1 = 0.0, fc2 = 0.0, fc3 = 0.0, fc4 = 0.0;
    double rr = 1.0;
    int nTaps = 0;
};

struct FirDesign {
    FirBands bands;         // the layout the design ran on
    FirDesignResult result; // taps that are not all finite are replaced by zeros, and fail
};

// The layout of the type and the Remez design of params.nTaps taps on it.
FirDesign DesignFir(const FirSpecification& params);

// The Remez design of nTaps taps of the kind on a layout given band by band (fractions of fs).
FirDesign DesignFirBands(int nTaps, const FirBands& bands, FirKind kind);

// Proposals after a failed design, from one rule of thumb: N * (transition / fs) * 15 is about
// the attenuation term L, with the product of the two ripples taken as RR * 1e-12.
//
// The tap count for a transition from fc1 to fc2: the estimate (truncated) less 2, or less 1 when
// it is even and the type is designed with odd counts only (high pass, band rejection). An
// estimate of 349 or more, a transition of zero or negative width, or an estimate that is not a
// number counts as 349, so the proposal is 347. An estimate below zero (a ripple ratio beyond
// about 5e10) counts as 0, so the proposal is -2 or -1, left to the dialog's range check like any
// proposal below 4.
int EstimateTaps(FirType type, double fs, double fc1, double fc2, double rr);
// The stop-band edge a transition above `edge` (below it) ends at for nTaps, rounded down to four
// significant digits (three decimals below 10).
double EstimateEdgeAbove(double edge, double fs, int nTaps, double rr);
double EstimateEdgeBelow(double edge, double fs, int nTaps, double rr);

} // namespace dsp
