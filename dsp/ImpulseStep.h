// Impulse and step responses: the first N' samples of a FIR filter (its taps, and their running
// sum), the first kIirResponseSamples of an IIR cascade, each section run in direct form I.
#pragma once

#include <span>
#include <vector>

#include "dsp/FilterCoefficients.h"

namespace dsp {

constexpr int kIirResponseSamples = 400;

enum class Excitation { kImpulse, kStep };

std::vector<double> FirTimeResponse(std::span<const double> taps, Excitation excitation);
std::vector<double> IirTimeResponse(std::span<const Section> sections, Excitation excitation);
// The N' taps or the designed sections of the coefficients that leave the design.
std::vector<double> TimeResponseOf(const FilterCoefficients& c, Excitation excitation);

} // namespace dsp
