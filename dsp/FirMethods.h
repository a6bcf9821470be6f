// FIR design methods beside the Remez exchange, on the same band layouts (dsp/FirDesign.h):
//
// - least squares: the odd-length linear-phase taps that minimise the weighted integral of the
//   squared error over the bands (each band's desired gain and weight constant, transition
//   bands free);
// - the Kaiser window: the ideal response with its jumps at the middle of each transition band,
//   truncated to N taps, weighted by a Kaiser window of shape beta and scaled to unit gain at
//   the centre of the first pass band (DC for a first band from DC, half of fs for a pass band
//   that ends there);
// - Kaiser's formulas for the tap count and beta that reach a ripple for a transition width.
//
// Frequencies of a layout are fractions of fs, as everywhere in the FIR engine.
#pragma once

#include <vector>

#include "dsp/FirDesign.h"
#include "dsp/Requirements.h"

namespace dsp {

// The FIR design methods; the Remez exchange is the default.
enum FirMethod { kFirRemez = 0, kFirLeastSquares = 1, kFirKaiser = 2, kFirHalfband = 3 };
constexpr int kFirMethodCount = 4;
// "remez", "ls", "kaiser", "halfband"; the method of a name, -1 when unknown.
const char* FirMethodName(int method);
int FirMethodOfName(const char* name);
// The method as reports and file headers name it: "Remez exchange", "Least squares",
// "Kaiser window", "Half-band".
const char* FirMethodTitle(int method);

// The Kaiser window's shape when none is given (about 86 dB of stop-band attenuation).
constexpr double kDefaultKaiserBeta = 8.6;
// The shapes a design accepts: 0 (the rectangular window) up to this.
constexpr double kMaxKaiserBeta = 50.0;

// Least-squares taps of an odd count nTaps on the layout; empty (with `refusal` set when given)
// for an even or out-of-range count or a layout whose bands are not ascending in [0, 0.5] with
// a width above 0 and a finite weight of 0 or more.
std::vector<double> LeastSquaresTaps(int nTaps, const FirBands& bands,
                                     FirRefusal* refusal = nullptr);

// Kaiser-window taps; empty for a count outside 2..kMaxRemezTaps, a beta outside
// 0..kMaxKaiserBeta, a layout that is not ascending, or an even count where the last band (the
// one at half of fs) is a pass band: such taps always have a zero there.
std::vector<double> KaiserTaps(int nTaps, const FirBands& bands, double beta,
                               FirRefusal* refusal = nullptr);

// The Kaiser window of n points and shape beta (symmetric, 1 at its centre).
std::vector<double> KaiserWindow(int n, double beta);

// Kaiser's formulas: beta for an attenuation A (dB), and the tap count for A and a transition
// of `width` (fraction of fs): ceil((A - 7.95) / (2.285 * 2 pi width) + 1). Valid for A >= 8
// dB only: taps 0 below.
double KaiserBeta(double attenuationDb);
struct KaiserOrder {
    int taps = 0;
    double beta = 0.0;
};
KaiserOrder KaiserOrderFor(double attenuationDb, double width);
// The attenuation a Kaiser design must reach for pass-band ripple Ap and stop-band attenuation
// As: the window gives both kinds of band the same deviation, so the smaller of dp and ds.
double KaiserRippleDb(double apDb, double asDb);

// The exact half-band low pass of nTaps = 4k + 3 taps with its pass band from 0 to passEdge (a
// fraction of fs, below 1/4) and its stop band from 1/2 - passEdge to 1/2, equal ripples in both:
// the centre tap is exactly 1/2 and every other tap beside it exactly 0. The odd-indexed taps are
// half of the Remez design g of (nTaps + 1) / 2 taps approximating 1 from 0 to 2 passEdge, so
//   H(f) = (1 + G(2f)) / 2
// with G's response odd about 1/4 of fs. Empty (refusal set) for another count or edge; the
// exchange's verdict, iterations and grid are g's, its ripples half of g's.
FirDesignResult HalfbandTaps(int nTaps, double passEdge, FirRefusal* refusal = nullptr);

// Whether a tap count is one a half-band design takes: 4k + 3, from 7 up to the exchange's limit.
constexpr bool IsHalfbandTapCount(int nTaps) {
    return nTaps >= 7 && nTaps <= kMaxRemezTaps && nTaps % 4 == 3;
}

// The design of params with the method (beta for the Kaiser window); the Remez exchange is
// DesignFir. A half-band design takes its pass edge from fc1 and lays its stop band from
// fs/2 - fc1 whatever fc2 says. Least-squares and window taps are no equiripple search: a design
// that gives taps is kOptimum, with no iterations and no grid; one that cannot design fails with
// its refusal.
FirDesign DesignFirByMethod(const FirSpecification& params, int method, double beta);

// One tap count of the method designed on the requirement's layout (stop bands weighted by rr)
// and measured as the measurements report it: its pass ripple, its attenuation below 0 dB and
// whether both meet Ap and As.
FirRequirementTrial MethodTrial(const FirRequirements& req, int taps, double rr, int method,
                                double beta);

// Design from requirements by least squares with the stop bands weighted by dp / ds: the
// smallest odd tap count whose design meets Ap and As as the measurements report them, searched
// from the rule-of-thumb estimate as the Remez search does (up to the first count that meets,
// then down while one of the next two smaller counts meets as well).
FirRequirementResult SearchLeastSquaresRequirements(const FirRequirements& req);

} // namespace dsp
