// Frequency response of a filter: gain in dB and phase in radians (the argument of the complex
// response, within (-pi, pi]) at kResponseUsed points that
// go once around the unit circle, point i at i degrees plus 0.001 rad (about i * fs / 360 Hz).
#pragma once

#include <array>
#include <span>

#include "dsp/FilterCoefficients.h"

namespace dsp {

constexpr int kResponseUsed = 360;

struct Response {
    std::array<double, kResponseUsed> gainDb{};
    std::array<double, kResponseUsed> phase{};
};

// The angular frequency of response point i, rad per sample, on the FIR or the IIR grid.
double ResponseOmega(int i, bool iir);

// The FIR response of the taps (the analyses pass the designed taps of the leaving value).
Response FirResponse(std::span<const double> taps);
// The IIR response of the cascade of the sections; all zero without a section.
Response IirResponse(std::span<const Section> sections);

} // namespace dsp
