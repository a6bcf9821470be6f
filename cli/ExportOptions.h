// --export FILE [--export-format coe|mif|csv|json|c] of fir, iir and load: the coefficients in the
// format another tool reads (files/Export.h), written after the coefficient file.
#pragma once

namespace cli {

class CliArgs;
struct RunState;

// Before anything is printed: the format (given, or named by FILE's extension) and, for .coe and
// .mif, quantization on. Exit status 2 with the reason on standard error when not.
int CheckExportOption(const CliArgs& args, const RunState& run);
// Writes the export; exit status 4 when the file cannot be written.
int WriteExportOption(const CliArgs& args, const RunState& run);

} // namespace cli
