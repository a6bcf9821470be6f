// Private to the measurements: the filter as plain coefficients and its gain on the dense grid.
#pragma once

#include <vector>

#include "dsp/FilterCoefficients.h"

namespace dsp {

// The gains are those of the designed taps or sections of `c`.
// Gain in dB at w radians per sample.
double GainDbAt(const FilterCoefficients& c, double w);

// Gain in dB at the kMeasureIntervals + 1 grid points 0..fs/2.
std::vector<double> GridGainDb(const FilterCoefficients& c);

// Frequency of grid point k, Hz.
double GridFrequency(int k, double fs);

} // namespace dsp
