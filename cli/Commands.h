// The subcommands of vantrel-cli: each turns its options into the requests of the form's
// commands (app/*Commands.h), calls them in the order the window's buttons would be pressed and
// prints their outcomes. The exit status is the outcome's kind (cli/CliArgs.h).
#pragma once

#include <map>
#include <string>

#include "app/CoefficientsCommands.h"
#include "app/DesignCommands.h"
#include "app/OlvexDoc.h"
#include "app/SessionState.h"
#include "cli/Listing.h"
#include "vhdl/Polyphase.h"

namespace cli {

class CliArgs;

// What one run holds besides the options: the document and the form's state beside it, the same
// type the window's view keeps (the structure, whether a design stands, whether Coefficients
// listed the coefficients since, the last load format, the template VHDL Code took, the plot).
struct RunState : commands::SessionState {
    RunState();
    COlvexDoc doc;
    // open: the coefficient options keep the opened design's quantization and number form
    // unless they are given.
    bool keepsCoefficientSettings = false;
    // The unstable sections of the cascade were named on standard error (once per run).
    mutable bool unstableNoted = false;
    // Standard output of the run, printed once every file is written (cli/Listing.h).
    mutable Listing listing;
    // fir --decimate M | --interpolate L: the hardware and the outputs are the rate changer's.
    vhdl::RateChange rate;

    bool Iir() const { return m_nFirIir == 1; }
    // A design was made (the plot shows it, not the hint).
    bool Designed() const { return m_bNoDesign == 0; }
};

// fir: design from --type --fs --edges --taps --rr --mult --auto; prints the taps.
int RunFir(const CliArgs& args, RunState& run);
// iir: design from --type --fs --cutoff --sections --ripple; prints the eight sections.
int RunIir(const CliArgs& args, RunState& run);
// wave: designs (--structure fir|iir with that structure's options), runs the test wave through
// the filter and prints input and output samples, or with --spectrum both spectra.
int RunWave(const CliArgs& args, RunState& run);
// load FILE --structure fir|iir: reads a coefficient file and prints its coefficients.
int RunLoad(const CliArgs& args, RunState& run);
// open FILE: restores a design file, then the coefficient actions of fir, iir and load. A
// refused file is exit status 2 with the message on standard error and nothing printed.
int RunOpen(const CliArgs& args, RunState& run);
// cic --decimate R | --interpolate R --stages S --delay DL --data-bits D [--wave FILE]: prints
// the structure and the bit-true outputs; out-of-range values are exit status 2.
int RunCic(const CliArgs& args, RunState& run);
// --save-design FILE of fir, iir, load and open, after every other action: kExitOk, or 4 when
// the file could not be written.
// fir's --decimate M or --interpolate L (one of them, 2 to 64) as the document's rate change,
// which the measurements, the plot and --save-design take; anything else leaves it alone (the
// VHDL options refuse it with the reason).
void StoreRateOptions(const CliArgs& args, COlvexDoc& doc);
int WriteDesignOption(const CliArgs& args, const RunState& run);

// The designs of fir and iir (and of wave): kExitOk, or the exit status of a refusal or a
// failed design with its text printed. A FIR design short of the optimum is kExitOk here, with
// its line on standard error; RunFir makes it exit status 5.
int DesignFirFromArgs(const CliArgs& args, RunState& run);
int DesignIirFromArgs(const CliArgs& args, RunState& run);

// The fields of the FIR dialog from the options (the document's where none is given), the filter
// type of --type, and a list of `count` frequencies of option `name`; false with the refusal
// printed.
int FilterType(const CliArgs& args, const COlvexDoc& doc);
bool FirRequest(const CliArgs& args, const COlvexDoc& doc, int type,
                commands::FirDesignRequest& request);
bool ReadFrequencies(const CliArgs& args, const char* name, size_t count, const char* needs,
                     double* values);

// Design from requirements (--ap, --as and, for iir, --stop) in place of --taps/--rr or
// --sections/--ripple: prints "taps N rr X" or "sections n ripple A" on standard error. Exit
// status 3 (with what the best design reaches) when the requirements cannot be met.
bool WantsRequirements(const CliArgs& args);
int DesignFirFromRequirementArgs(const CliArgs& args, RunState& run);
int DesignIirFromRequirementArgs(const CliArgs& args, RunState& run);

// ---- Outcomes -----------------------------------------------------------------------------------

// The option that fills each field of a request, for naming a refused value ("--fs: ...").
using FieldOptions = std::map<int, std::string>;
// Prints a refusal, a failed range check (named by its option), a file not written or read,
// and returns its exit status; kExitOk (nothing printed) for an accepted outcome. The advisory
// notices an accepted outcome carries are printed too.
int ReportOutcome(const commands::Outcome& outcome, const FieldOptions& options);
// A warning on one line of standard error, in the command line's words: a warning whose window
// text names a button or a menu names the options instead (CommandLineText).
void PrintWarning(const design::Warning& warning);
std::string CommandLineText(const design::Warning& warning);

// ---- Coefficient actions of fir, iir and load
// -----------------------------------------------------

// Coefficients from --quantize B, --format real|bin|dec|hex (with --report or --save-coeffs
// only) and --report: called when any of them is given.
int ApplyCoefficientOptions(const CliArgs& args, RunState& run);
// What fir, iir and load do once the document holds coefficients, in the order of the window's
// buttons: Coefficients, F-Response, VHDL Code and Save VHDL (--vhdl, --testbench); then standard
// output (the measurements, the coefficient report, or the coefficients), Save Coefficients
// (--save-coeffs) and the response file (--response).
int RunCoefficientActions(const CliArgs& args, RunState& run);

// In/Out Wave from --wave, --freq, --user, --wave-range, --time-zoom and --time-start.
int ApplyWaveOptions(const CliArgs& args, RunState& run);

// --vhdl FILE --data-bits D [--template PATH] and --testbench FILE with its stimulus options.
// Both need --quantize B; a refusal is exit status 2, a file not written 4.
int WriteVhdlOutputs(const CliArgs& args, RunState& run);
// --hw-report [--device up5k|hx8k] after WriteVhdlOutputs: prints the report lines instead of the
// coefficients. Exit status 4 without the tools (the packages to install on standard error), 6
// when the design does not fit or misses --clock.
int PrintHardwareReport(const CliArgs& args, RunState& run);
// fir --decimate M | --interpolate L: in range (2..64) and not both, else false with the reason
// printed; nothing Active() when neither is given.
bool ReadRateChange(const CliArgs& args, vhdl::RateChange& rate);
// With --user FILE or --wave: the rate changer's bit-true outputs are printed in place of the
// coefficients, "Decimation = M", "inputs N", "outputs K", then "index value" lines.
bool WantsRateChangeOutputs(const CliArgs& args);
int PrintRateChangeOutputs(const CliArgs& args, RunState& run);

// --measure, --advise-bits [--tolerance TOL] of fir, iir and load: printed instead of the
// coefficients.
bool WantsMeasureOutput(const CliArgs& args);
int CheckMeasureOptions(const CliArgs& args);
// The bands --measure and --advise-bits measure against: a loaded coefficient file brings none,
// so they come from --edges (FIR: 2 or 4 band edges of --type; IIR: 1 or 2 cut-offs) with --type
// and --fs. Exit status 2 when they are needed and not given, or refused.
int ApplyMeasureBands(const CliArgs& args, RunState& run);
void PrintMeasureOutputs(const CliArgs& args, const RunState& run);
// "unstable: section k" on standard error for every unstable section of the IIR cascade that
// leaves the design, once per run; every action that prints or draws the filter calls it.
void NoteUnstable(const RunState& run);
// wave --hardware --data-bits D: both with --quantize B, not with --spectrum.
int CheckHardwareOptions(const CliArgs& args, const RunState& run);
// Prints "index input output" lines, with the hardware output as
// a fourth column with --hardware (its overflow warnings on standard error).
int PrintWaveSamples(const CliArgs& args, RunState& run);

// The whole command line after the program's name: parses, runs the subcommand on a fresh
// document and returns the exit status (cli/main.cpp adds the check of standard output).
int RunCommandLine(int argc, char** argv);

} // namespace cli
