// The options of one vantrel-cli run as the parser read them: each given option's text by its
// name (without "--"); a flag holds "1".
#pragma once

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace cli {

// Exit statuses shared by every subcommand.
constexpr int kExitOk = 0;
constexpr int kExitInvalid = 2;      // refused input: the warning text is on standard error
constexpr int kExitDesignFailed = 3; // the design did not succeed
constexpr int kExitFileError = 4;    // an output file could not be written
// fir: the design ended short of the equiripple optimum; the taps are still printed, and standard
// error names the achieved and the target weighted ripple.
constexpr int kExitShortOfOptimum = 5;
// --hw-report: the design does not fit the device, or its Fmax misses --clock (the figures are
// printed all the same for a missed clock).
constexpr int kExitHardwareShortfall = 6;

class CliArgs {
public:
    void Set(const std::string& name, const std::string& value) { m_values[name] = value; }

    bool Has(const std::string& name) const { return m_values.count(name) != 0; }
    const std::string& Value(const std::string& name) const { return m_values.at(name); }

private:
    std::map<std::string, std::string> m_values;
};

// Splits "a,b,c" at the commas.
std::vector<std::string> SplitList(const std::string& text);

// Reads a double or int option into `value` when present; on bad text prints the dialog's
// message ("Please enter a number." / "Please enter an integer.") and returns false.
bool ReadDouble(const CliArgs& args, const std::string& name, double& value);
// --method of iir: the design method's name (dsp::IirMethodOfName); unchanged when not given.
bool ReadIirMethod(const CliArgs& args, int& method);
// An integer beyond the int range is no malformed entry: it becomes the nearest int, so that the
// command's range check names the field's range, as the dialog's check does. An option whose
// range reaches an end of the int range passes that range: such an integer is then refused here
// with the range's message.
bool ReadInt(const CliArgs& args, const std::string& name, int& value);
bool ReadInt(const CliArgs& args, const std::string& name, int& value, int low, int high);

// The zoom of an analysis dialog from "1" or "10" (0 1x, 1 10x) when present.
bool ReadZoom(const CliArgs& args, const std::string& name, int& zoom);

// Filter type names lpf, hpf, brf, bpf -> 0..3; -1 when unknown.
int ParseFilterType(const std::string& text);

// Writes one value per line with "%.17g".
void PrintValue(std::FILE* out, double value);

} // namespace cli
