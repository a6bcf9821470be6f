// Private to the measurements: the filter as plain coefficients and its gain on the dense grid.
#pragma once

#include <array>
#include <vector>

class COlvexDoc;

namespace dsp {

// The filter whose gain is measured. FIR: the taps K*h[0..N-1]. IIR: the designed sections,
// each a0, a1, a2, b1, b2 of (a0 + a1 z^-1 + a2 z^-2) / (1 + b1 z^-1 + b2 z^-2).
struct FilterCoefficients {
    bool iir = false;
    std::vector<double> taps;
    std::vector<std::array<double, 5>> sections;
};

// The document's coefficients, truncated to m_nQuantBits when `quantized`.
FilterCoefficients TakeCoefficients(const COlvexDoc& doc, bool iir, bool quantized);

// Gain in dB at w radians per sample.
double GainDbAt(const FilterCoefficients& c, double w);

// Gain in dB at the kMeasureIntervals + 1 grid points 0..fs/2.
std::vector<double> GridGainDb(const FilterCoefficients& c);

// Frequency of grid point k, Hz.
double GridFrequency(int k, double fs);

} // namespace dsp
