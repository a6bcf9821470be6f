// The bands a rate change folds onto the pass bands. A filter at fs followed by keeping every
// M-th output (a decimator) takes the frequencies k fs/M +- f, for f in a pass band, onto f
// itself; a filter that follows L - 1 zeros after each sample (an interpolator by L) sees the
// images of its input's pass band at the same frequencies. The filter's gain there is what keeps
// them out.
#pragma once

#include <vector>

#include "dsp/FilterCoefficients.h"
#include "dsp/Measure.h"

namespace dsp {

// For each pass band [a, b] (Hz, within 0..fs/2) and k = 1, 2, ...: k fs/M - b .. k fs/M - a and
// k fs/M + a .. k fs/M + b, clipped to 0..fs/2, overlapping ones merged, in frequency order
// (stop bands, `pass` false). Nothing for a factor below 2 or without a pass band.
std::vector<Band> AliasingBands(const std::vector<Band>& passBands, double fs, int factor);

// The largest gain (dB) of the coefficients c in the bands, on the measurements' grid and at
// the band edges; -inf without bands.
double WorstGainDb(const FilterCoefficients& c, double fs, const std::vector<Band>& bands);

} // namespace dsp
