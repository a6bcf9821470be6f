// vantrel-cli cic: a cascaded integrator-comb decimator or interpolator. Prints its structure
// (growth, register width, shift, gain, the droop at a pass-band edge) and the bit-true model's
// outputs for the samples of --user FILE, or for a built-in test input.
//
//   --decimate R | --interpolate R   the rate change, 2 to 1024
//   --stages S (1 to 8) --delay DL (1 or 2) --data-bits D (input and output bits)
//   --edge F      the pass-band edge of the droop line, in cycles per sample of the low rate
//   --user FILE   D-bit integers separated by white space ("-": standard input)
//   --vhdl FILE, --verilog FILE   the filter from the cic_* templates
//   --prune       a decimator with pruned registers: its dropped bits and error bound
//   --pipeline    a decimator whose adders work in two pipelined halves (same outputs)
//   --impulse, --step, --group-delay   the impulse and step responses at the high rate, the group
//                 delay in samples of the high and the low rate (and the cascade's, compensated)
//   --testbench FILE   a self-checking testbench of the filter (Verilog when FILE ends in .v, .sv)
//   --compensator FILE  the compensator's taps, one a line (`load FILE` generates its hardware)
//   --hw-report [--device up5k|hx8k --clock HZ --seeds N --hw-timeout S]   the filter placed and
//                 routed on an iCE40: its cost and speed, printed instead of the outputs
//   --compensate --taps N --edges FP,FSTOP   the droop compensator at the low rate: its taps,
//                 its ripple, the cascade's pass-band ripple and stop-band attenuation
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/VhdlCommands.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "dsp/Cic.h"
#include "files/InputFile.h"
#include "files/NumberText.h"
#include "files/OutputFile.h"
#include "files/SearchPath.h"
#include "vhdl/CicHdl.h"
#include "vhdl/HardwareReport.h"
#include "vhdl/Testbench.h"
#include "vhdl/ToolProcess.h"
#include "vhdl/VhdlText.h"

namespace cli {

namespace {

bool ReadParams(const CliArgs& args, dsp::CicParams& p) {
    if (args.Has("decimate") == args.Has("interpolate")) {
        std::fprintf(stderr, "cic: give one of --decimate R and --interpolate R\n");
        return false;
    }
    p.interpolate = args.Has("interpolate");
    p.prune = args.Has("prune");
    p.pipeline = args.Has("pipeline");
    if (!ReadInt(args, p.interpolate ? "interpolate" : "decimate", p.rate) ||
        !ReadInt(args, "stages", p.stages) || !ReadInt(args, "delay", p.delay) ||
        !ReadInt(args, "data-bits", p.dataBits)) {
        return false;
    }
    const std::string error = dsp::CicRangeError(p);
    if (!error.empty()) {
        std::fprintf(stderr, "cic: %s\n", error.c_str());
        return false;
    }
    return true;
}

// The samples of the wave file, each a D-bit integer.
bool ReadWave(const std::string& path, int dataBits, std::vector<std::int64_t>& samples) {
    const files::InputFile file = files::ReadInputFile(path);
    if (!file.ok) {
        std::fprintf(stderr, "cic: %s: %s\n", files::QuotedPath(path).c_str(), file.reason.c_str());
        return false;
    }
    const std::int64_t high = (std::int64_t{1} << (dataBits - 1)) - 1;
    size_t at = 0;
    const std::string& text = file.text;
    while (true) {
        at = text.find_first_not_of(" \t\r\n", at);
        if (at == std::string::npos) {
            break;
        }
        const size_t end = std::min(text.find_first_of(" \t\r\n", at), text.size());
        const std::string word = text.substr(at, end - at);
        long long value = 0;
        if (!files::IsIntegerText(word) || std::sscanf(word.c_str(), "%lld", &value) != 1 ||
            value > high || value < -high - 1) {
            std::fprintf(stderr, "cic: %s: sample %zu \"%s\" is not an integer from %lld to %lld\n",
                         files::QuotedPath(path).c_str(), samples.size() + 1, word.c_str(),
                         static_cast<long long>(-high - 1), static_cast<long long>(high));
            return false;
        }
        samples.push_back(value);
        at = end;
    }
    if (samples.empty()) {
        std::fprintf(stderr, "cic: %s holds no sample\n", files::QuotedPath(path).c_str());
        return false;
    }
    return true;
}

// 64 low-rate samples' worth: a quarter at the positive full scale, a quarter at the negative
// one (the registers wrap on both), then pseudo-random values over the whole range.
std::vector<std::int64_t> TestInput(const dsp::CicParams& p) {
    const size_t n = p.interpolate ? 64 : 64 * static_cast<size_t>(p.rate);
    const std::int64_t high = (std::int64_t{1} << (p.dataBits - 1)) - 1;
    std::vector<std::int64_t> x(n);
    std::uint32_t state = 12345;
    for (size_t i = 0; i < n; ++i) {
        state = state * 1664525u + 1013904223u;
        const std::int64_t any = static_cast<std::int64_t>(state >> 8) % (2 * high + 2) - high - 1;
        x[i] = i < n / 4 ? high : i < n / 2 ? -high - 1 : any;
    }
    return x;
}

// The template of the language found along the search folders (a file of that name that is no
// CIC template, such as a generated one, is passed over), read; its path in `path`.
int FindTemplate(const dsp::CicParams& p, vhdl::HdlLanguage language, std::string& path,
                 std::string& text) {
    const std::string name = vhdl::CicTemplateName(p, language);
    const std::optional<std::string> found = files::SearchAlongPath(
        name, vhdl::HdlExtension(language), files::SystemSearchFolders(),
        [](const std::string& candidate) { return commands::IsCicTemplate(candidate); });
    std::string reason;
    if (!found || vhdl::ReadTemplateText(*found, text, reason) != vhdl::TemplateStatus::kOk) {
        std::fprintf(stderr, "cic: template %s not found%s%s\n", name.c_str(),
                     reason.empty() ? "" : ": ", reason.c_str());
        return kExitFileError;
    }
    path = *found;
    return kExitOk;
}

// The filter's text in the language from the template found along the search folders.
int HdlText(const dsp::CicParams& p, vhdl::HdlLanguage language, std::string& hdl) {
    std::string path;
    std::string text;
    const int status = FindTemplate(p, language, path, text);
    if (status == kExitOk) {
        hdl = vhdl::CicHdlText(p, text, language);
    }
    return status;
}

int WriteText(const std::string& path, const std::string& text) {
    const files::OutputResult written = files::WriteOutputFile(path, text);
    if (!written.ok) {
        std::fprintf(stderr, "cic: %s\n", written.Describe().c_str());
        return kExitFileError;
    }
    return kExitOk;
}

// --vhdl, --verilog and --testbench.
int WriteHdl(const CliArgs& args, const dsp::CicParams& p) {
    const std::pair<const char*, vhdl::HdlLanguage> outputs[] = {
        {"vhdl", vhdl::HdlLanguage::kVhdl}, {"verilog", vhdl::HdlLanguage::kVerilog}};
    for (const auto& [option, language] : outputs) {
        if (!args.Has(option)) {
            continue;
        }
        std::string text;
        int status = HdlText(p, language, text);
        if (status == kExitOk) {
            status = WriteText(args.Value(option), text);
        }
        if (status != kExitOk) {
            return status;
        }
    }
    if (args.Has("testbench")) {
        const std::string& path = args.Value("testbench");
        const vhdl::HdlLanguage language = vhdl::LanguageOfPath(path) == vhdl::HdlLanguage::kVerilog
                                               ? vhdl::HdlLanguage::kVerilog
                                               : vhdl::HdlLanguage::kVhdl;
        return WriteText(path, vhdl::BuildCicTestbench(p, language));
    }
    return kExitOk;
}

// The --hw-report options, checked before anything is written.
bool ReadHardwareOptions(const CliArgs& args, commands::CicHardwareRequest& request,
                         double& timeout) {
    if (args.Has("device") && !vhdl::ParseDeviceName(args.Value("device"), request.device)) {
        std::fprintf(stderr, "cic: --device must be up5k or hx8k\n");
        return false;
    }
    if (!ReadDouble(args, "clock", request.clockHz) ||
        !ReadInt(args, "seeds", request.seeds, 1, vhdl::kMaxSeeds)) {
        return false;
    }
    if (!(request.clockHz >= 0.0) || !std::isfinite(request.clockHz)) {
        std::fprintf(stderr, "cic: --clock must be a frequency in Hz, 0 for none\n");
        return false;
    }
    timeout = vhdl::kDefaultHardwareTimeoutSeconds;
    if (!ReadDouble(args, "hw-timeout", timeout)) {
        return false;
    }
    if (!(timeout > 0.0) || !std::isfinite(timeout)) {
        std::fprintf(stderr, "cic: --hw-timeout must be a number of seconds above 0\n");
        return false;
    }
    return true;
}

// --hw-report: the filter (in Verilog when only --verilog is written, else VHDL) placed and
// routed; the report's lines, or the reason it has none.
int PrintHardwareReport(const CliArgs& args, const dsp::CicParams& p,
                        commands::CicHardwareRequest request, double timeout, std::FILE* out) {
    const vhdl::HdlLanguage language = args.Has("verilog") && !args.Has("vhdl")
                                           ? vhdl::HdlLanguage::kVerilog
                                           : vhdl::HdlLanguage::kVhdl;
    request.params = p;
    std::string templateText;
    const int status = FindTemplate(p, language, request.templatePath, templateText);
    if (status != kExitOk) {
        return status;
    }
    commands::HardwareReportJob job = commands::PrepareCicHardwareReport(request);
    if (!job.check.Is(commands::OutcomeKind::kAccepted)) {
        std::fprintf(
            stderr, "cic: %s\n",
            job.check.message.empty()
                ? (files::QuotedPath(request.templatePath) + ": " + job.check.reason).c_str()
                : job.check.message.c_str());
        return kExitFileError;
    }
    vhdl::ToolWatch watch(timeout);
    job.hardware.cancel = watch.Cancel();
    const commands::HardwareReportOutcome report = commands::RunHardwareReport(job);
    const vhdl::HardwareResult& result = report.hardware;
    if (watch.CaughtSignal() != 0) {
        std::fprintf(stderr, "cic: the hardware report was interrupted: its tools were stopped\n");
        watch.RaiseCaughtSignal();
    }
    switch (result.status) {
    case vhdl::HardwareStatus::kOk:
    case vhdl::HardwareStatus::kMissedClock: {
        std::fputs(report.text.c_str(), out);
        std::fprintf(stderr, "%s\n%s\n", vhdl::FmaxSpreadText(result.figures).c_str(),
                     vhdl::FillText(result.figures).c_str());
        if (result.status == vhdl::HardwareStatus::kOk) {
            return kExitOk;
        }
        std::fprintf(stderr, "cic: %s\n", result.message.c_str());
        return kExitHardwareShortfall;
    }
    case vhdl::HardwareStatus::kToolsMissing: {
        std::string names;
        for (const std::string& package : result.missingPackages) {
            names += " " + package;
        }
        std::fprintf(stderr, "cic: the hardware report needs the packages:%s\n", names.c_str());
        return kExitFileError;
    }
    case vhdl::HardwareStatus::kDoesNotFit:
        std::fprintf(stderr, "cic: %s\n", result.message.c_str());
        return kExitHardwareShortfall;
    case vhdl::HardwareStatus::kToolFailed:
    case vhdl::HardwareStatus::kCancelled:
        break;
    }
    std::fprintf(stderr, "cic: the hardware report failed: %s\n",
                 watch.TimedOut() ? "its tools took longer than --hw-timeout and were stopped"
                                  : result.message.c_str());
    return kExitFileError;
}

// --compensate: the compensator's parameters.
bool ReadCompensator(const CliArgs& args, const dsp::CicParams& cic, dsp::CicCompensatorParams& c) {
    if (!args.Has("taps") || !args.Has("edges")) {
        std::fprintf(stderr, "cic: --compensate needs --taps N and --edges FP,FSTOP\n");
        return false;
    }
    if (!ReadInt(args, "taps", c.taps)) {
        return false;
    }
    const std::vector<std::string> edges = SplitList(args.Value("edges"));
    double values[2] = {0.0, 0.0};
    bool numbers = edges.size() == 2;
    for (size_t i = 0; numbers && i < 2; ++i) {
        char* end = nullptr;
        values[i] = std::strtod(edges[i].c_str(), &end);
        numbers = !edges[i].empty() && end != nullptr && *end == '\0' && std::isfinite(values[i]);
    }
    if (!numbers) {
        std::fprintf(stderr, "cic: --edges takes two numbers, FP,FSTOP\n");
        return false;
    }
    c.passEdge = values[0];
    c.stopEdge = values[1];
    const std::string error = dsp::CicCompensatorRangeError(cic, c);
    if (!error.empty()) {
        std::fprintf(stderr, "cic: %s\n", error.c_str());
        return false;
    }
    return true;
}

void PrintCompensator(std::FILE* out, const dsp::CicCompensatorParams& c,
                      const dsp::CicCompensator& comp) {
    std::fprintf(out, "compensator-taps %d\ncompensator-edges %.17g %.17g\n", c.taps, c.passEdge,
                 c.stopEdge);
    std::fprintf(out, "compensator-ripple %.9g\n", comp.ripple);
    std::fprintf(out, "passband-ripple-db %.6f\n", comp.cascadeRippleDb);
    std::fprintf(out, "stopband-attenuation-db %.6f\n", comp.stopAttenuationDb);
    for (size_t i = 0; i < comp.taps.size(); ++i) {
        std::fprintf(out, "c %zu %.17g\n", i, comp.taps[i]);
    }
}

} // namespace

int RunCic(const CliArgs& args, RunState& run) {
    dsp::CicParams p;
    if (!ReadParams(args, p)) {
        return kExitInvalid;
    }
    double edge = 0.25;
    if (!ReadDouble(args, "edge", edge)) {
        return kExitInvalid;
    }
    if (!(edge > 0.0 && edge <= 0.5)) {
        std::fprintf(stderr, "cic: --edge must be above 0 and at most 0.5\n");
        return kExitInvalid;
    }
    dsp::CicCompensatorParams compensatorParams;
    if (args.Has("compensate") && !ReadCompensator(args, p, compensatorParams)) {
        return kExitInvalid;
    }
    if (args.Has("compensator") && !args.Has("compensate")) {
        std::fprintf(stderr, "cic: --compensator FILE needs --compensate\n");
        return kExitInvalid;
    }
    commands::CicHardwareRequest hardware;
    double timeout = 0.0;
    if (args.Has("hw-report") && !ReadHardwareOptions(args, hardware, timeout)) {
        return kExitInvalid;
    }
    std::vector<std::int64_t> input;
    if (args.Has("user")) {
        if (!ReadWave(args.Value("user"), p.dataBits, input)) {
            return kExitInvalid;
        }
    } else {
        input = TestInput(p);
    }
    dsp::CicCompensator compensator;
    if (args.Has("compensate")) {
        compensator = dsp::DesignCicCompensator(p, compensatorParams);
        if (!compensator.error.empty()) {
            std::fprintf(stderr, "cic: %s\n", compensator.error.c_str());
            return kExitDesignFailed;
        }
    }
    int written = WriteHdl(args, p);
    if (written == kExitOk && args.Has("compensator")) {
        std::string column;
        char line[64];
        for (double h : compensator.taps) {
            std::snprintf(line, sizeof line, "%.17g\n", h);
            column += line;
        }
        written = WriteText(args.Value("compensator"), column);
    }
    if (written != kExitOk) {
        return written;
    }
    std::FILE* out = run.listing.Stream();
    if (args.Has("hw-report")) {
        return PrintHardwareReport(args, p, hardware, timeout, out);
    }
    const dsp::CicStructure s = dsp::DescribeCic(p);
    std::fprintf(out, "structure %s\n", p.interpolate ? "interpolator" : "decimator");
    std::fprintf(out, "stages %d\nrate %d\ndelay %d\ndata-bits %d\n", p.stages, p.rate, p.delay,
                 p.dataBits);
    std::fprintf(out, "growth %d\nwidth %d\nshift %d\ngain %.17g\n", s.growth, s.registerBits,
                 s.growth, s.gain);
    // The edge in cycles per sample of the high rate, where the response is defined.
    std::fprintf(out, "droop %.17g %.6f\n", edge,
                 dsp::CicMagnitudeDb(p, edge / static_cast<double>(p.rate)));
    if (p.prune) {
        const dsp::CicPruning pruning = dsp::PruneCic(p);
        std::fprintf(out, "dropped-bits");
        for (int b : pruning.dropped) {
            std::fprintf(out, " %d", b);
        }
        std::fprintf(out, "\nerror-bound %lld\n", static_cast<long long>(pruning.errorBound));
    }
    // Delays in samples of the high rate and of the low one (the compensator's at the low rate).
    const double delay = dsp::CicGroupDelay(p);
    if (args.Has("group-delay")) {
        std::fprintf(out, "group-delay %.17g %.17g\n", delay, delay / p.rate);
    }
    if (args.Has("compensate")) {
        PrintCompensator(out, compensatorParams, compensator);
        if (args.Has("group-delay")) {
            const double cascade = delay / p.rate + 0.5 * (compensatorParams.taps - 1);
            std::fprintf(out, "cascade-group-delay %.17g %.17g\n", cascade * p.rate, cascade);
        }
    }
    const std::pair<const char*, std::vector<double> (*)(const dsp::CicParams&)> responses[] = {
        {"impulse", dsp::CicImpulseResponse}, {"step", dsp::CicStepResponse}};
    for (const auto& [name, response] : responses) {
        if (!args.Has(name)) {
            continue;
        }
        const std::vector<double> values = response(p);
        std::fprintf(out, "%s %zu\n", name, values.size());
        for (size_t i = 0; i < values.size(); ++i) {
            std::fprintf(out, "%zu %.17g\n", i, values[i]);
        }
    }
    const std::vector<std::int64_t> y = dsp::RunCic(p, input);
    std::fprintf(out, "outputs %zu\n", y.size());
    for (size_t i = 0; i < y.size(); ++i) {
        std::fprintf(out, "%zu %lld\n", i, static_cast<long long>(y[i]));
    }
    return kExitOk;
}

} // namespace cli
