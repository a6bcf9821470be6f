// The subcommands of vantrel-cli.
#pragma once

#include <cstdio>
#include <set>
#include <string>

class COlvexDoc;

namespace cli {

class CliArgs;

// Exit status of fir when the design ended short of the equiripple optimum: the taps are still
// printed, and standard error names the achieved and the target weighted ripple.
constexpr int kExitShortOfOptimum = 5;

// fir: design from --type --fs --edges --taps --rr --mult --auto; prints the taps.
const std::set<std::string>& FirDesignOptions();
const std::set<std::string>& FirOptions(); // design, --response, --quantize, --format
int DesignFirFromArgs(const CliArgs& args, COlvexDoc& doc);
int RunFir(const CliArgs& args, COlvexDoc& doc);

// iir: design from --type --fs --cutoff --sections --ripple; prints the eight sections.
const std::set<std::string>& IirDesignOptions();
const std::set<std::string>& IirOptions(); // design, --response, --quantize, --format
int DesignIirFromArgs(const CliArgs& args, COlvexDoc& doc);
int RunIir(const CliArgs& args, COlvexDoc& doc);

// wave: designs (--structure fir|iir with that structure's options), runs the test wave through
// the filter and prints input and output samples, or with --spectrum both spectra.
const std::set<std::string>& WaveOptions();
const std::set<std::string>& WaveFlags();
int RunWave(const CliArgs& args, COlvexDoc& doc);

// --quantize B: checks B as the Coefficients dialog does and turns quantization on.
int ApplyQuantizeOption(const CliArgs& args, COlvexDoc& doc, bool iir);

// The flag --report of fir and iir.
const std::set<std::string>& ReportFlags();
// With --report: --quantize B and --format real|bin|dec|hex are taken as the Coefficients
// dialog takes them (a refusal prints its warning, exit status 2). Without --report: --quantize
// as before, and --format is refused.
int ApplyCoefficientOptions(const CliArgs& args, COlvexDoc& doc, bool iir);
// The coefficient report of the output box, with "\n" line ends, on standard output.
void PrintReport(const COlvexDoc& doc, bool iir);

// --response FILE: writes the 360 response points "index gain phase", one per line.
int WriteResponseFile(const std::string& path, const COlvexDoc& doc);

// --vhdl FILE --data-bits D [--template PATH] and --testbench FILE with its stimulus options
// --wave sine|square --freq F --user FILE, on fir and iir (cli/VhdlOptions.cpp). Both need
// --quantize B; a refusal is exit status 2, a file not written 4.
const std::set<std::string>& VhdlOptions();
int WriteVhdlOutputs(const CliArgs& args, COlvexDoc& doc, bool iir);

// Prints a refusal: the warning's text on one line to standard error.
void ReportWarning(const std::string& text);

// --save-coeffs FILE: the coefficient file Save Coefficients writes. A file that cannot be
// written gives its path on standard error and kExitFileError.
int SaveCoeffFileOption(const CliArgs& args, const COlvexDoc& doc, bool iir);
// The taps (one per line) or the eight sections ("a0 a1 a2 b1 b2"), quantized when it is on.
void PrintCoefficients(const COlvexDoc& doc, bool iir);

// --measure, --advise-bits [--tolerance TOL] of fir, iir and load (cli/MeasureOptions.cpp):
// printed instead of the coefficients. CoefficientFlags is ReportFlags with the two flags.
const std::set<std::string>& CoefficientFlags();
const std::set<std::string>& MeasureOptions();
bool WantsMeasureOutput(const CliArgs& args);
int CheckMeasureOptions(const CliArgs& args);
int PrintMeasureOutputs(const CliArgs& args, const COlvexDoc& doc, bool iir);
void PrintMeasureUsage(std::FILE* out);
// wave --hardware --data-bits D: dataBits is 0 without --hardware. PrintWaveSamples prints
// "index input output" lines, with the hardware output as a fourth column when dataBits > 0,
// and the overflow warnings on standard error.
const std::set<std::string>& HardwareWaveOptions();
int CheckHardwareOptions(const CliArgs& args, const COlvexDoc& doc, int& dataBits);
void PrintWaveSamples(const COlvexDoc& doc, bool iir, int dataBits);

// load FILE --structure fir|iir: reads a coefficient file and prints its coefficients.
const std::set<std::string>& LoadOptions();
int RunLoad(const CliArgs& args, COlvexDoc& doc);

} // namespace cli
