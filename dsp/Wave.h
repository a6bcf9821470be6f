// Test wave and its passage through the filter.
#pragma once

#include <span>

#include "dsp/FilterCoefficients.h"

namespace dsp {

constexpr int kWaveFiltered = 400; // input samples that enter the filter
constexpr double kTestWaveAmplitude = 50.0;

// A 50-amplitude sine (waveType 0) or square (1) wave of frequency `frequency` Hz sampled at
// fs, one value per entry of `wave`.
void GenerateTestWave(double fs, double frequency, int waveType, std::span<double> wave);

// The FIR output of the first kWaveFiltered samples of `input`, the direct convolution from
// rest; output[0..kWaveFiltered-2] are written, the rest of `output` is set to 0.
void FilterWaveFir(std::span<const double> taps, std::span<const double> input,
                   std::span<double> output);
// The IIR output, section by section, each section starting its recursion at sample 2 with its
// first two outputs held at 0; output[0..kWaveFiltered-1] are written (all 0 without a section),
// the rest is set to 0.
void FilterWaveIir(std::span<const Section> sections, std::span<const double> input,
                   std::span<double> output);

} // namespace dsp
