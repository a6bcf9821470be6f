// The test wave through the generated hardware: the In/Out Wave input scaled to D-bit samples as
// the testbench scales it, run through the bit-true model of the filter, and scaled back, so that
// it can be drawn beside the ideal output. Needs quantization on (the model's literals are the
// quantized coefficients) and the document's m_aWaveIn and m_aWaveOut computed.
#pragma once

#include <string>
#include <vector>

#include "vhdl/BitTrueModel.h"

class COlvexDoc;

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

HardwareWave ComputeHardwareWave(const COlvexDoc& doc, bool iir, int dataBits);

// One line per saturating part of the filter, naming it, for the status bar and standard error;
// empty when nothing saturated.
std::vector<std::string> OverflowWarnings(const HardwareWave& wave, bool iir, int dataBits);

} // namespace vhdl
