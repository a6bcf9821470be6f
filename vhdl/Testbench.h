// The self-checking VHDL-93 (or Verilog-2001) testbench of a generated filter: entity firfilter_tb
// or iirfilter_tb, stimulus from the test wave scaled to D bits, expected outputs from the bit-true
// model. It offers samples with gaps in din_valid, compares every output, and ends with a line
// holding PASS, or FAIL and the count of mismatches (and then fails the simulation).
#pragma once

#include <span>
#include <string>

#include "dsp/FilterCoefficients.h"
#include "vhdl/HdlLanguage.h"

namespace vhdl {

// The testbench for the FIR or IIR coefficients c at data bit length dataBits, driven by `wave`
// (nominal amplitude 50).
std::string BuildTestbench(const dsp::FilterCoefficients& c, int dataBits,
                           std::span<const double> wave);
// The same testbench in the language: for Verilog the module firfilter_tb or iirfilter_tb, which
// ends with PASS and $finish, or FAIL and $fatal (a failure exit status of the simulator), and
// offers the samples at full rate with the plusarg +full_rate.
std::string BuildTestbench(const dsp::FilterCoefficients& c, int dataBits,
                           std::span<const double> wave, HdlLanguage language);

} // namespace vhdl
