// The Remez exchange on a desired response and a weight that vary within each band, for filters
// whose pass band is shaped rather than flat (a compensator that undoes another filter's droop).
#pragma once

#include <functional>

#include "dsp/FirDesign.h"

namespace dsp {

// A value at frequency f (fraction of fs) inside band `band` of the layout.
using BandShape = std::function<double(int band, double f)>;

// nTaps symmetric taps whose weighted error weight(b, f) * (desired(b, f) - A(f)) is equiripple
// over the bands of `bands` (their desired gains and weights are not used). The weights must be
// finite and positive; a design refused or failed has no taps. achievedRipple is the largest
// weighted error of the taps on the grid, targetRipple the level of the final extremal set.
FirDesignResult RemezDesignShaped(int nTaps, const FirBands& bands, const BandShape& desired,
                                  const BandShape& weight);

} // namespace dsp
