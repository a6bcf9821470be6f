// --plot response|waves|spectrum --out FILE of fir, iir, load and wave: the plot as the window
// draws it, written as PNG, SVG or PDF by the file's extension.
#pragma once

namespace cli {

class CliArgs;
struct RunState;

// Before the command runs: --plot and --out come together, the word is one of the three plots
// and the extension .png, .svg or .pdf; a build without Qt refuses --plot. Exit status 2 with
// the reason on standard error when not.
int CheckPlotOptions(const CliArgs& args);
// After the command ran: draws the plot of the chosen mode from the run's document and writes
// it; exit status 4 when the file cannot be written.
int WritePlotOption(const CliArgs& args, RunState& run);

} // namespace cli
