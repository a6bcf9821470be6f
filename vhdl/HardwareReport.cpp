// The synthesis, placement and routing flow behind the hardware report, and the parsers of the
// tools' logs. Each tool runs as a child process (vhdl/ToolProcess.h) in a private work folder.
#include "vhdl/HardwareReport.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <thread>
#include <utility>

#include "files/OutputFile.h"
#include "vhdl/ToolProcess.h"

namespace vhdl {

const char* DeviceName(Device device) {
    return device == Device::kHx8k ? "hx8k" : "up5k";
}

bool ParseDeviceName(std::string_view name, Device& device) {
    if (name == "up5k" || name == "hx8k") {
        device = name == "hx8k" ? Device::kHx8k : Device::kUp5k;
        return true;
    }
    return false;
}

// ---- Log parsers --------------------------------------------------------------------------------

namespace {

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        lines.push_back(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    }
    return lines;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

// An integer at the start of `text` after blanks, taken off it; false when none. One too large
// for a long long reads as LLONG_MAX (LLONG_MIN below), which no range takes.
bool TakeCount(std::string_view& text, long long& count) {
    while (!text.empty() && IsBlank(text.front())) {
        text.remove_prefix(1);
    }
    const char* const end = text.data() + text.size();
    const std::from_chars_result r = std::from_chars(text.data(), end, count);
    if (r.ptr == text.data()) {
        return false;
    }
    if (r.ec == std::errc::result_out_of_range) {
        count = text.front() == '-' ? LLONG_MIN : LLONG_MAX;
    }
    text.remove_prefix(static_cast<size_t>(r.ptr - text.data()));
    return true;
}

bool PlausibleCount(long long count) {
    return count >= 0 && count <= kMaxCellCount;
}

// The first word of a line and the integer after it ("SB_LUT4   224"); false otherwise.
bool ReadNameAndCount(std::string_view line, std::string& name, long long& count) {
    while (!line.empty() && IsBlank(line.front())) {
        line.remove_prefix(1);
    }
    size_t wordEnd = 0;
    while (wordEnd < line.size() && !IsBlank(line[wordEnd])) {
        ++wordEnd;
    }
    if (wordEnd == 0) {
        return false;
    }
    name.assign(line.substr(0, wordEnd));
    line.remove_prefix(wordEnd);
    return TakeCount(line, count);
}

} // namespace

SynthesisCells ParseYosysStatistics(std::string_view log) {
    SynthesisCells cells;
    const size_t block = log.rfind("Number of cells:");
    if (block == std::string_view::npos) {
        return cells;
    }
    cells.found = true;
    const std::vector<std::string_view> lines = SplitLines(log.substr(block));
    // The cell kinds follow, one per line, until the first line that is not "NAME COUNT".
    long long luts = 0, ffs = 0, dsps = 0, brams = 0;
    for (size_t i = 1; i < lines.size(); ++i) {
        std::string name;
        long long count = 0;
        if (!ReadNameAndCount(lines[i], name, count)) {
            break;
        }
        if (!PlausibleCount(count)) {
            cells.plausible = false;
            continue;
        }
        if (name == "SB_LUT4") {
            luts += count;
        } else if (name.rfind("SB_DFF", 0) == 0) {
            ffs += count;
        } else if (name == "SB_MAC16") {
            dsps += count;
        } else if (name.rfind("SB_RAM40_4K", 0) == 0) {
            brams += count;
        }
    }
    // Sums of plausible counts stay far inside a long long; each must fit the range too.
    for (const long long sum : {luts, ffs, dsps, brams}) {
        cells.plausible = cells.plausible && PlausibleCount(sum);
    }
    if (cells.plausible) {
        cells.luts = static_cast<int>(luts);
        cells.ffs = static_cast<int>(ffs);
        cells.dsps = static_cast<int>(dsps);
        cells.brams = static_cast<int>(brams);
    }
    return cells;
}

Utilisation ParseNextpnrUtilisation(std::string_view log) {
    Utilisation use;
    const size_t table = log.find("Device utilisation:");
    if (table == std::string_view::npos) {
        return use;
    }
    use.found = true;
    const std::vector<std::string_view> lines = SplitLines(log.substr(table));
    static constexpr std::string_view kInfo = "Info:";
    for (size_t i = 1; i < lines.size(); ++i) {
        // "Info: \t         ICESTORM_LC:   230/ 5280     4%"
        std::string_view line = lines[i];
        const size_t colon = line.find(':', kInfo.size());
        if (!line.starts_with(kInfo) || colon == std::string_view::npos) {
            break;
        }
        std::string_view kind = line.substr(kInfo.size(), colon - kInfo.size());
        while (!kind.empty() && IsBlank(kind.front())) {
            kind.remove_prefix(1);
        }
        std::string_view counts = line.substr(colon + 1);
        long long used = 0;
        long long available = 0;
        if (kind.empty() || !TakeCount(counts, used) || !counts.starts_with('/') ||
            (counts.remove_prefix(1), !TakeCount(counts, available))) {
            break;
        }
        if (!PlausibleCount(used) || !PlausibleCount(available)) {
            use.plausible = false;
            continue;
        }
        const CellUse cell{static_cast<int>(used), static_cast<int>(available)};
        const std::string_view name = kind;
        if (name == "ICESTORM_LC") {
            use.logicCells = cell;
        } else if (name == "ICESTORM_DSP") {
            use.dsps = cell;
        } else if (name == "ICESTORM_RAM") {
            use.brams = cell;
        }
    }
    return use;
}

ClockTiming ParseNextpnrTiming(std::string_view log) {
    ClockTiming timing;
    for (std::string_view line : SplitLines(log)) {
        const size_t at = line.find("Max frequency for clock");
        if (at == std::string_view::npos ||
            line.find("$PACKER_GND_NET") != std::string_view::npos) {
            continue;
        }
        // "...: 66.49 MHz (FAIL at 200.00 MHz)"; a later report (after routing) replaces an
        // earlier one (after placement).
        const size_t colon = line.find("': ", at);
        double mhz = 0.0;
        if (colon == std::string_view::npos ||
            std::sscanf(std::string(line.substr(colon + 3)).c_str(), "%lf", &mhz) != 1) {
            continue;
        }
        timing.found = true;
        timing.fmaxMhz = mhz;
        timing.passed = line.find("(FAIL") == std::string_view::npos;
    }
    return timing;
}

bool NextpnrReportsNoFit(std::string_view log) {
    if (log.find("no BELs remaining") != std::string_view::npos) {
        return true;
    }
    const Utilisation use = ParseNextpnrUtilisation(log);
    return use.logicCells.Overflows() || use.dsps.Overflows() || use.brams.Overflows();
}

std::string FindEntityName(std::string_view vhdlText) {
    for (std::string_view line : SplitLines(vhdlText)) {
        char first[16], name[128], third[16];
        // Comment lines ("-- entity ...") do not match: their first word is "--".
        if (std::sscanf(std::string(line).c_str(), " %15s %127s %15s", first, name, third) == 3 &&
            std::strcmp(first, "entity") == 0 && std::strcmp(third, "is") == 0) {
            return name;
        }
    }
    return std::string();
}

std::string FindModuleName(std::string_view verilogText) {
    for (std::string_view line : SplitLines(verilogText)) {
        char first[16], name[128];
        // Comment lines ("// module ...") do not match: their first word is "//".
        if (std::sscanf(std::string(line).c_str(), " %15s %127[A-Za-z0-9_$]", first, name) == 2 &&
            std::strcmp(first, "module") == 0) {
            return name;
        }
    }
    return std::string();
}

std::string SignedGhdlProducts(std::string_view netlist) {
    static constexpr std::string_view kMark = "; // smul";
    std::string out;
    out.reserve(netlist.size() + 64);
    for (const std::string_view line : SplitLines(netlist)) {
        // "  assign n45_o = n43_o * n44_o; // smul": three names, nothing else.
        const size_t assign = line.find("assign ");
        const size_t equals = line.find(" = ");
        const size_t times = line.find(" * ");
        const bool product = line.size() >= kMark.size() &&
                             line.substr(line.size() - kMark.size()) == kMark &&
                             assign != std::string_view::npos && equals != std::string_view::npos &&
                             times != std::string_view::npos && assign < equals && equals < times;
        const auto isName = [](std::string_view name) {
            return !name.empty() &&
                   name.find_first_not_of("abcdefghijklmnopqrstuvwxyz"
                                          "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_$") ==
                       std::string_view::npos;
        };
        if (product) {
            const std::string_view left = line.substr(equals + 3, times - equals - 3);
            const std::string_view right =
                line.substr(times + 3, line.size() - kMark.size() - times - 3);
            if (isName(left) && isName(right)) {
                out.append(line.substr(0, equals + 3));
                out.append("$signed(").append(left).append(") * $signed(").append(right);
                out.append(")").append(kMark).append("\n");
                continue;
            }
        }
        out.append(line).append("\n");
    }
    return out;
}

namespace {

std::string FormatReport(const std::string& architectureName, int multipliers,
                         const char* cyclesText, double cyclesPerSample, Device device,
                         const HardwareFigures& figures, const char* lineEnd) {
    const double rate = cyclesPerSample > 0 ? figures.fmaxMhz * 1e6 / cyclesPerSample : 0.0;
    std::string name = architectureName;
    if (multipliers > 0) {
        name.append(1, ' ').append(std::to_string(multipliers));
    }
    char buffer[512];
    std::snprintf(buffer, sizeof buffer,
                  "architecture %s%s"
                  "cycles_per_sample %s%s"
                  "device %s%s"
                  "luts %d%slogic_cells %d%sffs %d%sdsps %d%sbrams %d%s"
                  "fmax_mhz %.2f%s"
                  "max_sample_rate_hz %.0f%s",
                  name.c_str(), lineEnd, cyclesText, lineEnd, DeviceName(device), lineEnd,
                  figures.luts, lineEnd, figures.logicCells, lineEnd, figures.ffs, lineEnd,
                  figures.dsps, lineEnd, figures.brams, lineEnd, figures.fmaxMhz, lineEnd, rate,
                  lineEnd);
    return buffer;
}

} // namespace

std::string FormatHardwareReport(const std::string& architectureName, int multipliers,
                                 int cyclesPerSample, Device device, const HardwareFigures& figures,
                                 const char* lineEnd) {
    const std::string cycles = std::to_string(cyclesPerSample);
    return FormatReport(architectureName, multipliers, cycles.c_str(), cyclesPerSample, device,
                        figures, lineEnd);
}

std::string FormatHardwareReport(const std::string& architectureName, int multipliers,
                                 double cyclesPerSample, Device device,
                                 const HardwareFigures& figures, const char* lineEnd) {
    char cycles[32];
    std::snprintf(cycles, sizeof cycles, "%.6g", cyclesPerSample);
    return FormatReport(architectureName, multipliers, cycles, cyclesPerSample, device, figures,
                        lineEnd);
}

double MedianOf(std::vector<double> values) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 == 1 ? values[middle] : (values[middle - 1] + values[middle]) / 2.0;
}

std::string FmaxSpreadText(const HardwareFigures& figures) {
    char text[200];
    if (figures.seeds <= 1) {
        std::snprintf(text, sizeof text, "fmax of seed 1: %.2f MHz", figures.fmaxMhz);
        return text;
    }
    const double median = figures.fmaxMhz > 0.0 ? figures.fmaxMhz : 1.0;
    std::snprintf(
        text, sizeof text,
        "fmax over %d seeds: median %.2f MHz, from %.2f to %.2f MHz (%+.1f %% .. %+.1f %%)",
        figures.seeds, figures.fmaxMhz, figures.fmaxLowMhz, figures.fmaxHighMhz,
        100.0 * (figures.fmaxLowMhz / median - 1.0), 100.0 * (figures.fmaxHighMhz / median - 1.0));
    return text;
}

std::string FillText(const HardwareFigures& figures) {
    const auto part = [](int used, int available, const char* what) {
        char text[96];
        if (available > 0) {
            std::snprintf(text, sizeof text, "%d of %d %s (%.0f %%)", used, available, what,
                          100.0 * used / available);
        } else {
            std::snprintf(text, sizeof text, "%d of 0 %s", used, what);
        }
        return std::string(text);
    };
    return "fills " + part(figures.logicCells, figures.logicCellsAvailable, "logic cells") + ", " +
           part(figures.dsps, figures.dspsAvailable, "DSP blocks") + ", " +
           part(figures.brams, figures.bramsAvailable, "block RAMs");
}

// ---- Running the tools --------------------------------------------------------------------------

namespace {

// The tools in flow order, each with the Debian package that installs it.
struct Tool {
    const char* program;
    const char* package;
};
constexpr Tool kTools[] = {
    {"ghdl", "ghdl"}, {"yosys", "yosys"}, {"nextpnr-ice40", "nextpnr-ice40"}};

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The last lines of a log, for the message of a failed step: at most kMaxLogTailBytes of them
// (a tool can write megabytes on one line).
std::string LogTail(const std::string& log, int lines) {
    size_t start = log.size();
    for (int n = 0; n <= lines && start > 0; ++n) {
        const size_t previous = log.rfind('\n', start - 1);
        start = previous == std::string::npos ? 0 : previous;
    }
    std::string tail = log.substr(start == 0 ? 0 : start + 1);
    if (tail.size() > kMaxLogTailBytes) {
        const size_t cut = tail.size() - kMaxLogTailBytes;
        std::string shortened = "[";
        shortened += std::to_string(cut);
        shortened += " bytes left out] ";
        shortened.append(tail, cut, std::string::npos);
        tail = std::move(shortened);
    }
    return tail;
}

// What the steps share: the tools' paths, the folder, the request.
struct Flow {
    const HardwareRequest& request;
    WorkFolder folder;
    std::string entity;
    std::string tools[3];
    HardwareResult result;

    void Progress(const std::string& step) const {
        if (request.progress) {
            request.progress(step);
        }
    }
    // Runs a step; false (with the result set) when it did not end well.
    bool Step(const std::string& what, std::vector<std::string> argv, const char* logName,
              const char* stdoutName = nullptr) {
        Progress(what);
        ToolRun run{std::move(argv), folder.Path(), stdoutName ? folder.File(stdoutName) : "",
                    folder.File(logName)};
        const ToolEnd end = RunTool(run, request.cancel);
        if (end == ToolEnd::kExited) {
            return true;
        }
        result.status =
            end == ToolEnd::kCancelled ? HardwareStatus::kCancelled : HardwareStatus::kToolFailed;
        result.message = end == ToolEnd::kCancelled
                             ? std::string("cancelled")
                             : run.argv[0] + " failed:\n" + LogTail(ReadWholeFile(run.logPath), 8);
        return false;
    }
};

bool Synthesize(Flow& flow) {
    const bool verilog = flow.request.language == HdlLanguage::kVerilog;
    // GHDL writes design.v from design.vhd; generated Verilog is design.v itself.
    const files::OutputResult written = files::WriteOutputFile(
        flow.folder.File(verilog ? "design.v" : "design.vhd"), flow.request.vhdlText);
    if (!written.ok) {
        flow.result.status = HardwareStatus::kToolFailed;
        flow.result.message = written.Describe();
        return false;
    }
    const bool dsp = flow.request.device == Device::kUp5k;
    const auto script = [&flow](bool withDsp) {
        return "read_verilog design.v; synth_ice40 " + std::string(withDsp ? "-dsp " : "") +
               "-top " + flow.entity + " -json design.json; stat";
    };
    if (!verilog &&
        (!flow.Step("Analysing with GHDL", {flow.tools[0], "-a", "design.vhd"}, "ghdl-a.log") ||
         !flow.Step("Synthesizing with GHDL",
                    {flow.tools[0], "--synth", "--out=verilog", flow.entity}, "ghdl-synth.log",
                    "design.v"))) {
        return false;
    }
    if (!verilog) {
        const files::OutputResult netlist =
            files::WriteOutputFile(flow.folder.File("design.v"),
                                   SignedGhdlProducts(ReadWholeFile(flow.folder.File("design.v"))));
        if (!netlist.ok) {
            flow.result.status = HardwareStatus::kToolFailed;
            flow.result.message = netlist.Describe();
            return false;
        }
    }
    if (flow.Step("Mapping with yosys", {flow.tools[1], "-p", script(dsp)}, "yosys.log")) {
        return true;
    }
    if (!dsp || flow.result.status == HardwareStatus::kCancelled) {
        return false;
    }
    // yosys's DSP mapping fails on some netlists (an assertion in its ice40_dsp pass, seen
    // with 0.23 on the 8-section serial cascade). The design is sound; map its multipliers in
    // logic instead, and say so beside the figures.
    flow.result = {};
    if (!flow.Step("Mapping with yosys, multipliers in logic", {flow.tools[1], "-p", script(false)},
                   "yosys.log")) {
        return false;
    }
    flow.result.note = "yosys failed to map the multipliers to DSP blocks; the figures are "
                       "those of multipliers in logic";
    return true;
}

// The log of the placement and routing with `seed`.
std::string NextpnrLogName(int seed) {
    return "nextpnr-seed" + std::to_string(seed) + ".log";
}

std::vector<std::string> NextpnrArguments(const Flow& flow, int seed) {
    std::vector<std::string> argv = {flow.tools[2],
                                     flow.request.device == Device::kUp5k ? "--up5k" : "--hx8k",
                                     "--package",
                                     flow.request.device == Device::kUp5k ? "sg48" : "ct256",
                                     "--json",
                                     "design.json",
                                     "--seed",
                                     std::to_string(seed),
                                     "--timing-allow-fail"};
    if (flow.request.clockHz > 0.0) {
        char mhz[64];
        std::snprintf(mhz, sizeof mhz, "%.6f", flow.request.clockHz / 1e6);
        argv.insert(argv.end(), {"--freq", mhz});
    }
    return argv;
}

// Places and routes with seeds 1..n, as many at a time as the machine has cores; false (with the
// result set) when a run did not end well. A run that fails stops the others.
bool PlaceAndRoute(Flow& flow) {
    const int seeds = std::clamp(flow.request.seeds, 1, kMaxSeeds);
    const int lanes = std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, seeds);
    flow.Progress(seeds == 1 ? "Placing and routing with nextpnr-ice40"
                             : "Placing and routing with nextpnr-ice40, " + std::to_string(seeds) +
                                   " seeds");
    // A failed run cancels the rest, as the user's cancel does.
    std::atomic<bool> stop{false};
    std::vector<ToolEnd> ends(static_cast<size_t>(seeds), ToolEnd::kExited);
    const auto runSeed = [&](int seed) {
        ToolRun run{NextpnrArguments(flow, seed), flow.folder.Path(), "",
                    flow.folder.File(NextpnrLogName(seed).c_str())};
        // Cancelled when the user cancels or another seed failed.
        std::atomic<bool> cancel{false};
        std::thread watch([&] {
            while (!cancel.load()) {
                if (stop.load() ||
                    (flow.request.cancel != nullptr && flow.request.cancel->load())) {
                    cancel = true;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
        const ToolEnd end = RunTool(run, &cancel);
        cancel = true;
        watch.join();
        ends[static_cast<size_t>(seed - 1)] = end;
        if (end == ToolEnd::kFailed) {
            stop = true;
        }
    };
    for (int first = 1; first <= seeds; first += lanes) {
        std::vector<std::thread> running;
        for (int seed = first; seed < first + lanes && seed <= seeds; ++seed) {
            running.emplace_back(runSeed, seed);
        }
        for (std::thread& thread : running) {
            thread.join();
        }
    }
    const bool cancelled = flow.request.cancel != nullptr && flow.request.cancel->load();
    const auto failed = std::find(ends.begin(), ends.end(), ToolEnd::kFailed);
    if (failed == ends.end() && !cancelled) {
        return true;
    }
    if (cancelled || failed == ends.end()) {
        flow.result.status = HardwareStatus::kCancelled;
        flow.result.message = "cancelled";
        return false;
    }
    const int seed = static_cast<int>(failed - ends.begin()) + 1;
    const std::string log = ReadWholeFile(flow.folder.File(NextpnrLogName(seed).c_str()));
    flow.result.status = HardwareStatus::kToolFailed;
    flow.result.message = flow.tools[2] + " failed:\n" + LogTail(log, 8);
    if (NextpnrReportsNoFit(log)) {
        const Utilisation use = ParseNextpnrUtilisation(log);
        flow.result.status = HardwareStatus::kDoesNotFit;
        flow.result.message =
            "the design does not fit the " + std::string(DeviceName(flow.request.device)) + ": " +
            std::to_string(use.logicCells.used) + " of " +
            std::to_string(use.logicCells.available) + " logic cells, " +
            std::to_string(use.dsps.used) + " of " + std::to_string(use.dsps.available) +
            " DSP blocks, " + std::to_string(use.brams.used) + " of " +
            std::to_string(use.brams.available) + " block RAMs";
    }
    return false;
}

void ReadFigures(Flow& flow) {
    const SynthesisCells cells = ParseYosysStatistics(ReadWholeFile(flow.folder.File("yosys.log")));
    const int seeds = std::clamp(flow.request.seeds, 1, kMaxSeeds);
    // Every seed's utilisation and Fmax; the cell counts are the first seed's (packing does
    // not depend on the seed).
    Utilisation use;
    bool found = cells.found;
    bool plausible = cells.plausible;
    bool fmaxPlausible = true;
    std::vector<double> fmax;
    for (int seed = 1; seed <= seeds; ++seed) {
        const std::string log = ReadWholeFile(flow.folder.File(NextpnrLogName(seed).c_str()));
        const Utilisation seedUse = ParseNextpnrUtilisation(log);
        const ClockTiming timing = ParseNextpnrTiming(log);
        if (seed == 1) {
            use = seedUse;
        }
        found = found && seedUse.found && timing.found;
        plausible = plausible && seedUse.plausible;
        fmaxPlausible = fmaxPlausible && std::isfinite(timing.fmaxMhz) && timing.fmaxMhz > 0.0 &&
                        timing.fmaxMhz <= kMaxPlausibleFmaxMhz;
        fmax.push_back(timing.fmaxMhz);
    }
    HardwareFigures& figures = flow.result.figures;
    figures.luts = cells.luts;
    figures.ffs = cells.ffs;
    figures.dsps = use.dsps.used;
    figures.brams = use.brams.used;
    figures.logicCells = use.logicCells.used;
    figures.logicCellsAvailable = use.logicCells.available;
    figures.dspsAvailable = use.dsps.available;
    figures.bramsAvailable = use.brams.available;
    figures.fmaxMhz = MedianOf(fmax);
    figures.fmaxLowMhz = *std::min_element(fmax.begin(), fmax.end());
    figures.fmaxHighMhz = *std::max_element(fmax.begin(), fmax.end());
    figures.seeds = seeds;
    if (!found) {
        flow.result.status = HardwareStatus::kToolFailed;
        flow.result.message = "the tools' logs hold no figures";
    } else if (!plausible || !fmaxPlausible) {
        // A nan, negative or overflowing figure is a broken tool, not a report.
        flow.result.figures = {};
        flow.result.status = HardwareStatus::kToolFailed;
        flow.result.message = std::string(!cells.plausible ? "yosys" : "nextpnr-ice40") +
                              " reported " +
                              (!cells.plausible ? "a cell count that cannot be"
                               : !plausible     ? "a utilisation that cannot be"
                                                : "an Fmax that cannot be") +
                              " (negative, not a number or beyond range)";
    } else if (flow.request.clockHz > 0.0 && figures.fmaxMhz * 1e6 < flow.request.clockHz) {
        // The verdict is the median's: one lucky or unlucky seed does not decide it.
        char text[160];
        std::snprintf(text, sizeof text, "the design misses the %.2f MHz clock: Fmax %.2f MHz",
                      flow.request.clockHz / 1e6, figures.fmaxMhz);
        flow.result.status = HardwareStatus::kMissedClock;
        flow.result.message = text;
    }
}

} // namespace

std::vector<std::string> MissingHardwarePackages(HdlLanguage language) {
    std::vector<std::string> missing;
    for (const Tool& tool : kTools) {
        const bool needed =
            language == HdlLanguage::kVhdl || std::strcmp(tool.program, "ghdl") != 0;
        if (needed && FindOnPath(tool.program).empty()) {
            missing.emplace_back(tool.package);
        }
    }
    return missing;
}

HardwareResult RunHardwareFlow(const HardwareRequest& request) {
    const bool verilog = request.language == HdlLanguage::kVerilog;
    Flow flow{request,
              {},
              verilog ? FindModuleName(request.vhdlText) : FindEntityName(request.vhdlText),
              {},
              {}};
    flow.result.missingPackages = MissingHardwarePackages(request.language);
    if (!flow.result.missingPackages.empty()) {
        flow.result.status = HardwareStatus::kToolsMissing;
        return flow.result;
    }
    for (size_t i = 0; i < std::size(kTools); ++i) {
        flow.tools[i] = FindOnPath(kTools[i].program);
    }
    if (flow.folder.Path().empty() || flow.entity.empty()) {
        flow.result.status = HardwareStatus::kToolFailed;
        flow.result.message = flow.entity.empty() ? (verilog ? "the Verilog text declares no module"
                                                             : "the VHDL text declares no entity")
                                                  : flow.folder.Problem();
        return flow.result;
    }
    if (Synthesize(flow) && PlaceAndRoute(flow)) {
        ReadFigures(flow);
    }
    return flow.result;
}

} // namespace vhdl
