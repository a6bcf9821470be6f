// The self-checking VHDL-93 testbench of a generated filter: entity firfilter_tb or iirfilter_tb,
// stimulus from the test wave scaled to D bits, expected outputs from the bit-true model.
// It offers samples with gaps in din_valid, compares every output, and ends with a line holding
// PASS, or FAIL and the count of mismatches (and then fails the simulation).
#pragma once

#include <span>
#include <string>

#include "dsp/FilterCoefficients.h"

namespace vhdl {

// The testbench for the FIR or IIR coefficients c at data bit length dataBits, driven by `wave`
// (nominal amplitude 50).
std::string BuildTestbench(const dsp::FilterCoefficients& c, int dataBits,
                           std::span<const double> wave);

} // namespace vhdl
