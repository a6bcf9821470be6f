// The self-checking VHDL-93 (or Verilog-2001) testbench of a generated filter: entity firfilter_tb
// or iirfilter_tb, stimulus from the test wave scaled to D bits, expected outputs from the bit-true
// model. It offers samples with gaps in din_valid, compares every output, and ends with a line
// holding PASS, or FAIL and the count of mismatches (and then fails the simulation).
#pragma once

#include <span>
#include <string>

#include <cstdint>
#include <vector>

#include "dsp/Cic.h"
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

// The testbench of a CIC filter (cic_decimator_tb or cic_interpolator_tb), with the same
// handshake, gaps, checks and ending as the FIR testbench; the expected outputs are those of the
// CIC model (dsp::RunCic) for CicTestbenchStimulus.
std::string BuildCicTestbench(const dsp::CicParams& params, HdlLanguage language);
// The samples it offers: a kernel's length at the positive full scale, as long at the negative
// full scale (the largest sums either sign reaches; the registers wrap), then pseudo-random
// samples over the whole range (16 outputs' worth).
std::vector<std::int64_t> CicTestbenchStimulus(const dsp::CicParams& params);

} // namespace vhdl
