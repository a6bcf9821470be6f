// The subcommands of vantrel-cli.
#pragma once

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

class COlvexDoc;

namespace platform {
struct DialogAnswer;
}

namespace cli {

class CliArgs;
class Session;
struct Notice;

// Exit status of fir when the design ended short of the equiripple optimum: the taps are still
// printed, and standard error names the achieved and the target weighted ripple.
constexpr int kExitShortOfOptimum = 5;

// fir: design from --type --fs --edges --taps --rr --mult --auto; prints the taps.
const std::set<std::string>& FirDesignOptions();
int DesignFirFromArgs(const CliArgs& args, Session& session);
int RunFir(const CliArgs& args, Session& session);

// iir: design from --type --fs --cutoff --sections --ripple; prints the eight sections.
const std::set<std::string>& IirDesignOptions();
int DesignIirFromArgs(const CliArgs& args, Session& session);
int RunIir(const CliArgs& args, Session& session);

// wave: designs (--structure fir|iir with that structure's options), runs the test wave through
// the filter and prints input and output samples, or with --spectrum both spectra.
int RunWave(const CliArgs& args, Session& session);
// In/Out Wave with its dialog answered from --wave, --freq, --user, --wave-range, --time-zoom
// and --time-start; a failed check or a warning prints its text and is exit status 2.
int PressInOutWave(const CliArgs& args, Session& session);

// The options that fill one dialog's controls, for naming a refused entry ("--fs: ...").
using ControlOptions = std::map<int, std::string>;
// Prints what the window showed on standard error, one line each; a failed check names the
// option of its control. Returns true when a check failed.
bool PrintNotices(const std::vector<Notice>& notices, const ControlOptions& options);
// Whether the window showed a warning or a message box.
bool AnyWarning(const std::vector<Notice>& notices);

// The Coefficients dialog from --quantize B, --format real|bin|dec|hex (with --report or
// --save-coeffs only) and --report: pressed when any of them is given. A refusal prints its
// warning, exit status 2.
int ApplyCoefficientOptions(const CliArgs& args, Session& session, bool iir);
// The F-Response dialog from --gain-range, --freq-zoom and --freq-start: pressed when any of
// them is given.
int ApplyResponseOptions(const CliArgs& args, Session& session);
// The zoom radio buttons and start slider of an analysis dialog from --*-zoom 1|10 and
// --*-start P (0..100); false with the refusal printed.
bool AddZoomAndStart(const CliArgs& args, const char* zoomOption, const char* startOption,
                     platform::DialogAnswer& answer);
// Prepares the dialog's answer, presses the command; a failed check, or a warning that stored
// nothing, prints its text and is exit status 2.
int PressWithAnswer(Session& session, int commandId, const platform::DialogAnswer& answer,
                    const ControlOptions& options);

// --response FILE: writes the 360 response points "index gain phase", one per line.
int WriteResponseFile(const std::string& path, const COlvexDoc& doc);

// --vhdl FILE --data-bits D [--template PATH] and --testbench FILE with its stimulus options
// --wave sine|square --freq F --user FILE, on fir and iir (cli/VhdlOptions.cpp). Both need
// --quantize B; a refusal is exit status 2, a file not written 4.
const std::set<std::string>& VhdlOptions();
int WriteVhdlOutputs(const CliArgs& args, Session& session, bool iir);

// Prints a refusal: the warning's text on one line to standard error.
void ReportWarning(const std::string& text);

// Presses Save/Load with one of its actions (the radio button) and the Save or Open dialog
// answered with the path; returns what the window showed.
std::vector<Notice> PressSaveLoad(Session& session, int actionRadio, const std::string& path);
// --save-coeffs FILE: Save/Load's Save Coefficients, after Coefficients listed them in the
// structure the form shows. A file that cannot be written gives the window's message, then its
// path with the system's reason, on standard error and kExitFileError.
int SaveCoeffFileOption(const CliArgs& args, Session& session);
// What fir, iir and load do once the document holds coefficients, in the order the window's
// buttons would be pressed: Coefficients (--quantize, --format), F-Response (gain range, zoom,
// start), VHDL Code and Save VHDL (--vhdl, --testbench); then standard output (the measurements,
// the report of the output box before VHDL Code replaced it, or the coefficients), Save
// Coefficients (--save-coeffs) and the response file (--response).
int RunCoefficientActions(const CliArgs& args, Session& session, bool iir);
// The taps (one per line) or the eight sections ("a0 a1 a2 b1 b2"), quantized when it is on.
void PrintCoefficients(const COlvexDoc& doc, bool iir);

// --measure, --advise-bits [--tolerance TOL] of fir, iir and load (cli/MeasureOptions.cpp):
// printed instead of the coefficients.
bool WantsMeasureOutput(const CliArgs& args);
int CheckMeasureOptions(const CliArgs& args);
int PrintMeasureOutputs(const CliArgs& args, const COlvexDoc& doc, bool iir);
// wave --hardware --data-bits D: dataBits is 0 without --hardware. PrintWaveSamples prints
// "index input output" lines, with the hardware output as a fourth column when dataBits > 0,
// and the overflow warnings on standard error.
int CheckHardwareOptions(const CliArgs& args, const COlvexDoc& doc, int& dataBits);
void PrintWaveSamples(const COlvexDoc& doc, bool iir, int dataBits);

// load FILE --structure fir|iir: reads a coefficient file and prints its coefficients.
int RunLoad(const CliArgs& args, Session& session);

// The whole command line after the program's name: parses, runs the subcommand on a fresh
// session and returns the exit status (cli/main.cpp adds the check of standard output).
int RunCommandLine(int argc, char** argv);

} // namespace cli
