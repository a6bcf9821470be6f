// Group delay of a filter, in samples, at the 360 frequencies of the frequency response (point i
// at i degrees plus 0.001 rad, dsp/Response.h), computed from the coefficients, not from a
// difference of phases.
//
// FIR: taps that are symmetric or antisymmetric about their middle delay every frequency by
// (N' - 1) / 2 exactly; any other taps (a loaded file) give Re{ sum n h[n] e^-jwn / H(e^jw) }.
// IIR: each section (a0 + a1 z^-1 + a2 z^-2) / (1 + b1 z^-1 + b2 z^-2) adds the delay of its
// numerator less that of its denominator, each from the same formula on its three values.
//
// Where the response is zero the delay is undefined: a polynomial whose value there is within
// rounding of zero (|P| <= 10 eps sum |p_n|) makes the point undefined, and its delay is given
// as 0 and counted, so the caller can say how many points it could not define.
#pragma once

#include <array>
#include <span>

#include "dsp/FilterCoefficients.h"
#include "dsp/Response.h"

namespace dsp {

struct GroupDelay {
    std::array<double, kResponseUsed> delay{};     // samples
    std::array<double, kResponseUsed> frequency{}; // Hz, at the sampling frequency given
    int undefinedPoints = 0;                       // points where H is zero (delay given as 0)
};

// Whether taps read the same from both ends, up to the sign and to rounding (16 epsilons of the
// largest tap), once zero taps at the end are left out: their delay is (N' - 1) / 2 of the taps
// left.
bool IsLinearPhase(std::span<const double> taps);

GroupDelay FirGroupDelay(std::span<const double> taps, double fs);
GroupDelay IirGroupDelay(std::span<const Section> sections, double fs);
// The delay of the coefficients that leave the design: the N' taps or the designed sections.
GroupDelay GroupDelayOf(const FilterCoefficients& c, double fs);

} // namespace dsp
