// The placed-and-routed cost of generated VHDL or Verilog on an iCE40 device: VHDL is analysed and
// synthesized to Verilog with GHDL, Verilog is read by yosys directly; both are mapped to iCE40
// cells with yosys (with the SB_MAC16 DSP blocks on the UP5K) and placed and routed with
// nextpnr-ice40, constrained to the FPGA clock when one is given. The figures come from the tools'
// logs: LUTs and flip-flops from yosys's cell statistics of the mapped netlist, DSP blocks and
// block RAMs from nextpnr's device utilisation, Fmax from nextpnr's timing report after routing.
//
// Everything runs in a private temporary folder that is removed afterwards. The log parsers are
// plain functions over the log text, so they can be checked against captured logs.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "vhdl/HdlLanguage.h"

namespace vhdl {

// The devices the report places on.
enum class Device { kUp5k, kHx8k };
// "up5k", "hx8k".
const char* DeviceName(Device device);
// false when the name is neither.
bool ParseDeviceName(std::string_view name, Device& device);

// ---- Log parsers --------------------------------------------------------------------------------

// The mapped cells yosys counted in its last statistics block: SB_LUT4, every SB_DFF* flip-flop
// kind, SB_MAC16, SB_RAM40_4K. `found` is false when the log holds no statistics.
// A count that is negative, not an integer or beyond kMaxCellCount (far more cells than any
// iCE40 has) makes the statistics implausible: a broken or foreign tool, not a figure.
constexpr long long kMaxCellCount = 1000000;
struct SynthesisCells {
    bool found = false;
    int luts = 0;
    int ffs = 0;
    int dsps = 0;
    int brams = 0;
    bool plausible = true;
};
SynthesisCells ParseYosysStatistics(std::string_view log);

// One line of nextpnr's "Device utilisation": cells used of those the device has.
struct CellUse {
    int used = 0;
    int available = 0;
    bool Overflows() const { return used > available; }
};
// The logic cells (ICESTORM_LC), DSP blocks (ICESTORM_DSP) and block RAMs (ICESTORM_RAM) of the
// first utilisation table of the log (they do not change after packing). `found` is false
// without one. A device without DSP blocks lists none: 0 of 0.
struct Utilisation {
    bool found = false;
    CellUse logicCells, dsps, brams;
    bool plausible = true; // every count of the table within 0..kMaxCellCount
};
Utilisation ParseNextpnrUtilisation(std::string_view log);

// The design's clock in nextpnr's last timing report (after routing): its Fmax in MHz, and
// whether it met the target frequency. The DSP blocks' tied-off clock ("$PACKER_GND_NET") is
// not the design's clock and is skipped. `found` is false when no clock was reported.
struct ClockTiming {
    bool found = false;
    double fmaxMhz = 0.0;
    bool passed = true;
};
// The highest Fmax taken as a figure; nan, infinite, zero, negative or higher values are not.
constexpr double kMaxPlausibleFmaxMhz = 10000.0;
ClockTiming ParseNextpnrTiming(std::string_view log);

// Whether nextpnr stopped because the design needs more cells of some kind than the device has.
bool NextpnrReportsNoFit(std::string_view log);

// GHDL's Verilog netlist with its signed products marked signed. GHDL writes a signed product of
// an M-bit and an N-bit operand as both operands sign-extended to M + N bits and multiplied as
// unsigned words ("assign p = a * b; // smul"): the same M + N low bits, but yosys cannot see
// that the top bits of the operands are copies of the sign, and spends three DSP blocks (or trips
// over the DSP mapping) where one M x N block does. Multiplied as signed words, the low M + N
// bits are the same and yosys narrows the operands back to M and N bits, as it does for the
// Verilog twins. Every other line stays as it is.
std::string SignedGhdlProducts(std::string_view netlist);

// The name of the first entity the VHDL text declares ("entity firfilter is"); empty if none.
std::string FindEntityName(std::string_view vhdlText);
// The name of the first module the Verilog text declares ("module firfilter ("); empty if none.
std::string FindModuleName(std::string_view verilogText);

// ---- The flow -----------------------------------------------------------------------------------

struct HardwareRequest {
    std::string vhdlText; // the generated text, as Save VHDL writes it
    // Its language: yosys reads Verilog itself; VHDL goes through GHDL first.
    HdlLanguage language = HdlLanguage::kVhdl;
    Device device = Device::kUp5k;
    double clockHz = 0.0; // the FPGA clock the placement must meet; 0: none given
    // Placement and routing runs this many times with seeds 1..seeds (side by side where the
    // machine has the cores); the report takes the median Fmax.
    int seeds = 3;
    // Set from another thread to stop the run: the running tool is killed.
    const std::atomic<bool>* cancel = nullptr;
    // Called before each step with its name ("Synthesizing with yosys"), on the running thread.
    std::function<void(const std::string&)> progress;
};

enum class HardwareStatus {
    kOk,
    kToolsMissing, // `missingPackages` names the Debian packages to install
    kDoesNotFit,   // the design needs more cells than the device has (`message`)
    kMissedClock,  // routed, but Fmax is below the given clock (the figures are filled in)
    kToolFailed,   // a tool failed for another reason (`message`, with the log's last lines,
                   // at most kMaxLogTailBytes of them), reported figures that cannot be, or no
                   // work folder could be made (a TMPDIR naming no folder)
    kCancelled,
};

struct HardwareFigures {
    int luts = 0;
    int ffs = 0;
    int dsps = 0;
    int brams = 0;
    int logicCells = 0; // nextpnr's packed logic cells, carry-only cells included
    // What the device has of each (nextpnr's utilisation), for the fill percentages.
    int logicCellsAvailable = 0;
    int dspsAvailable = 0;
    int bramsAvailable = 0;
    double fmaxMhz = 0.0; // the median over the seeds
    // The lowest and highest Fmax over the seeds, and how many seeds ran.
    double fmaxLowMhz = 0.0;
    double fmaxHighMhz = 0.0;
    int seeds = 0;
};

// The most seeds a report takes, and the count it takes unless told.
constexpr int kDefaultSeeds = 3;
constexpr int kMaxSeeds = 15;

// The median of the values (the mean of the middle two for an even count); 0 for none.
double MedianOf(std::vector<double> values);

// "fmax over 3 seeds: median 42.50 MHz, from 40.12 to 44.88 MHz (-5.6 % .. +5.6 %)"; the one
// value for one seed ("fmax of seed 1: 42.50 MHz").
std::string FmaxSpreadText(const HardwareFigures& figures);

// "fills 4654 of 5280 logic cells (88 %), 3 of 8 DSP blocks (38 %), 0 of 30 block RAMs (0 %)".
std::string FillText(const HardwareFigures& figures);

struct HardwareResult {
    HardwareStatus status = HardwareStatus::kOk;
    HardwareFigures figures;
    std::string message;
    std::vector<std::string> missingPackages;
    // Set when the figures come from a mapping other than the usual one (the multipliers in
    // logic because yosys failed to put them in DSP blocks); said beside the figures.
    std::string note;
};

// The tools the flow needs that are not on PATH, as Debian package names (ghdl, yosys,
// nextpnr-ice40), in that order; ghdl only for VHDL.
std::vector<std::string> MissingHardwarePackages(HdlLanguage language = HdlLanguage::kVhdl);

// The time limit of a whole report unless the user gives one: the largest designs take a few
// minutes on a slow machine.
constexpr double kDefaultHardwareTimeoutSeconds = 600.0;

// The most of a tool's log a failure message carries (its end).
constexpr size_t kMaxLogTailBytes = 2000;

// Runs the whole flow on the request's VHDL text.
HardwareResult RunHardwareFlow(const HardwareRequest& request);

// The report lines: "architecture NAME [K]", "cycles_per_sample C", "device D", "luts L",
// "logic_cells LC", "ffs F", "dsps D", "brams R", "fmax_mhz X", "max_sample_rate_hz Y" with
// Y = X * 1e6 / C.
// `multipliers` is printed after the name when above 0. Every line ends with lineEnd.
std::string FormatHardwareReport(const std::string& architectureName, int multipliers,
                                 int cyclesPerSample, Device device, const HardwareFigures& figures,
                                 const char* lineEnd);
// The same with clocks per sample that need not be whole (a rate changer's per input sample),
// printed with up to six significant digits ("7.75").
std::string FormatHardwareReport(const std::string& architectureName, int multipliers,
                                 double cyclesPerSample, Device device,
                                 const HardwareFigures& figures, const char* lineEnd);

} // namespace vhdl
