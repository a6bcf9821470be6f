// --plot WORD --out FILE of fir, iir, load and wave: the plot as the window draws it, written as
// PNG, SVG or PDF by the file's extension. --table WORD of fir, iir and load: the numbers of one
// filter view on standard output instead of the coefficients.
#pragma once

namespace cli {

class CliArgs;
struct RunState;

constexpr const char* kPlotChoices = "response|waves|spectrum|groupdelay|polezero|impulse|step";
constexpr const char* kTableChoices = "groupdelay|polezero|impulse|step";

// Before the command runs: --plot and --out come together, the word is one of the seven plots
// and the extension .png, .svg or .pdf; a build without Qt refuses --plot. Exit status 2 with
// the reason on standard error when not.
int CheckPlotOptions(const CliArgs& args);
// After the command ran: draws the plot of the chosen mode from the run's document and writes
// it; exit status 4 when the file cannot be written.
int WritePlotOption(const CliArgs& args, RunState& run);

// --table groupdelay|polezero|impulse|step: the view of the coefficients in use (the quantized
// ones with --quantize) on standard output; what the numbers cannot show (undefined delays, an
// unstable section) on standard error. Not with --measure, --advise-bits, --report or
// --hw-report, which also print instead of the coefficients.
int CheckTableOption(const CliArgs& args);
void PrintTableOption(const CliArgs& args, RunState& run);

} // namespace cli
