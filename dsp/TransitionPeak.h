// The highest gain of a FIR in its transition bands: an equiripple design with two transition
// bands of unequal widths leaves the wider one unconstrained, and its response may rise far above
// the pass band there while every band meets its own figures.
#pragma once

#include <span>
#include <string>

#include "dsp/Measure.h"

namespace dsp {

struct TransitionPeak {
    double gain = 0.0;         // linear, the pass band's nominal gain is 1 (times the multiplier)
    double frequency = 0.0;    // Hz
    double lo = 0.0, hi = 0.0; // the transition band it lies in, Hz
};

// The peak over the transition bands of the FIR layout of params (fc1..fc2, and fc3..fc4 for the
// band types), on a grid of sixteen points per fs / N and the edges. No transition band (edges
// that leave none): gain 0.
TransitionPeak FirTransitionPeak(std::span<const double> taps, const BandSpec& params);

// The report of a peak above the pass band's highest gain `passMaxDb` (beyond 1e-3 dB of
// rounding): one line naming the band, the peak and where it is; empty when there is none.
std::string TransitionPeakNote(const TransitionPeak& peak, double passMaxDb);

} // namespace dsp
