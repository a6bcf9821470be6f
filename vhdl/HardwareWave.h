// The test wave through the generated hardware: the In/Out Wave input scaled to D-bit samples as
// the testbench scales it, run through the bit-true model of the filter, and scaled back, so that
// it can be drawn beside the ideal output. The literals are those of the coefficients that leave
// the design (K * h for FIR), so with quantization on the two outputs agree to the data LSB.
#pragma once

#include <string>
#include <vector>

#include <span>

#include "dsp/FilterCoefficients.h"
#include "vhdl/BitTrueModel.h"

namespace vhdl {

struct HardwareWave {
    std::vector<double> output; // kWaveFiltered samples in the test wave's units
    // Largest |hardware - ideal| over the samples the ideal output computes (all but the last
    // for FIR), and the index where it occurs.
    double largestDifference = 0.0;
    int largestAt = 0;
    SaturationCount saturation;
    int inputSaturated = 0; // input samples beyond the D-bit range (clipped before the filter)
};

// The first kWaveFiltered samples of `input` through the hardware of c at D = dataBits, compared
// with `ideal`, the filter's output of the same samples (FilterWaveFir / FilterWaveIir).
HardwareWave ComputeHardwareWave(const dsp::FilterCoefficients& c, int dataBits,
                                 std::span<const double> input, std::span<const double> ideal);

// One line per saturating part of the filter, naming it, for the status bar and standard error;
// empty when nothing saturated.
std::vector<std::string> OverflowWarnings(const HardwareWave& wave, bool iir, int dataBits);

} // namespace vhdl
