// The VHDL options of vantrel-cli fir, iir and load, as the window's commands:
//
//   --vhdl FILE --data-bits D [--template PATH]   VHDL Code with D, then Save VHDL to FILE: the
//                                                 file variant of the header, then the
//                                                 substituted template
//   --verilog FILE --data-bits D [--template PATH]
//                                                 the same in Verilog, from the .v templates
//   --testbench FILE --data-bits D                a self-checking testbench of that filter, in
//                                                 Verilog when FILE ends in .v or .sv
//   --wave sine|square --freq F, or --user FILE   the testbench's stimulus, set through In/Out Wave
//                                                 (default: the sine)
//   --decimate M | --interpolate L (fir)          --vhdl, --verilog, --testbench and --hw-report
//                                                 generate the polyphase rate changer; without
//                                                 --testbench, --user FILE (D-bit integers) or
//                                                 --wave make the coefficients give way to its
//                                                 bit-true outputs "index value"
//
// Both need --quantize B, as VHDL Code needs "Quantize". Without --template the template is
// searched like the window does: the program's folder, the current folder, PATH, then the
// installed template folder. Where the window's fixed text leaves out the system's reason, the
// command line's own line follows it.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "app/AnalysisCommands.h"
#include "app/OlvexDoc.h"
#include "app/VhdlCommands.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "files/InputFile.h"
#include "files/NumberText.h"
#include "files/OutputFile.h"
#include "files/SearchPath.h"
#include "vhdl/Architecture.h"
#include "vhdl/BitTrueModel.h"
#include "vhdl/HardwareReport.h"
#include "vhdl/HdlLanguage.h"
#include "vhdl/Polyphase.h"
#include "vhdl/Testbench.h"
#include "vhdl/ToolProcess.h"
#include "vhdl/VhdlText.h"

namespace cli {

bool ReadRateChange(const CliArgs& args, vhdl::RateChange& rate) {
    rate = {};
    if (args.Has("decimate") && args.Has("interpolate")) {
        std::fprintf(stderr, "--decimate and --interpolate cannot be given together\n");
        return false;
    }
    const char* name = args.Has("decimate") ? "decimate" : "interpolate";
    if (!args.Has(name)) {
        return true;
    }
    int factor = 0;
    if (!ReadInt(args, name, factor)) {
        return false;
    }
    if (factor < vhdl::kMinRateFactor || factor > vhdl::kMaxRateFactor) {
        std::fprintf(stderr, "--%s: Please enter an integer between %d and %d.\n", name,
                     vhdl::kMinRateFactor, vhdl::kMaxRateFactor);
        return false;
    }
    rate.kind = args.Has("decimate") ? vhdl::RateKind::kDecimate : vhdl::RateKind::kInterpolate;
    rate.factor = factor;
    return true;
}

namespace {

// The template file of the request's architecture (Auto resolved against the design's fs).
std::string TemplateName(const RunState& run, const commands::VhdlCodeRequest& request) {
    if (run.rate.Active()) {
        return commands::PolyphaseTemplateName(run.doc, run.rate, request.architecture,
                                               request.multipliers, request.clockMhz,
                                               request.language);
    }
    return commands::ArchitectureTemplateName(run.doc, run.Iir(), request.architecture,
                                              request.multipliers, request.clockMhz,
                                              request.language);
}

// The template of --template, or the one the search finds; empty when none.
std::string LocateTemplate(const CliArgs& args, const RunState& run,
                           const commands::VhdlCodeRequest& request) {
    if (args.Has("template")) {
        return args.Value("template");
    }
    // A file of the name that is no template of the structure (a generated firfilter.vhd in
    // the current folder) is passed over with a note. A user's template of the name the IIR
    // templates had per section count is taken before the one template of every count.
    const bool iir = run.Iir();
    const std::string legacy = commands::LegacyArchitectureTemplateName(
        run.doc, iir, request.architecture, request.multipliers, request.clockMhz,
        request.language);
    for (const std::string& name : {legacy, TemplateName(run, request)}) {
        if (name.empty()) {
            continue;
        }
        const std::optional<std::string> found = files::SearchAlongPath(
            name, vhdl::HdlExtension(request.language), files::SystemSearchFolders(),
            [iir](const std::string& path) { return vhdl::SearchTakesTemplate(path, iir); },
            [iir](const std::string& path) {
                std::fprintf(stderr, "%s\n", vhdl::SkippedTemplateNote(path, iir).c_str());
            });
        if (found) {
            return *found;
        }
    }
    return std::string();
}

// --arch, --multipliers and --clock (in Hz; the dialog and the document take MHz).
bool ReadArchitecture(const CliArgs& args, commands::VhdlCodeRequest& request) {
    if (args.Has("arch")) {
        request.architecture =
            vhdl::ParseArchitecture(args.Value("arch")).value_or(vhdl::Architecture::kSerial);
    }
    double clockHz = request.clockMhz * 1e6;
    if (!ReadInt(args, "multipliers", request.multipliers) || !ReadDouble(args, "clock", clockHz)) {
        return false;
    }
    request.clockMhz = clockHz / 1e6;
    return true;
}

// VHDL Code with the data bit length, in the language. Run for the testbench too: it is the one
// command that takes the data bit length. Only --vhdl, --verilog and --hw-report need the
// template it reads (`needsTemplate`).
int RunVhdlCode(const CliArgs& args, RunState& run, vhdl::HdlLanguage language, bool needsTemplate,
                std::string& templatePath, std::string& templateText) {
    int status = ReportOutcome(commands::CheckVhdlCode(run.doc), {});
    if (status != kExitOk) {
        return status;
    }
    if (!args.Has("data-bits")) {
        const bool verilogOnly = args.Has("verilog") && !args.Has("vhdl");
        std::fprintf(stderr, args.Has("hw-report") ? "--hw-report needs --data-bits D\n"
                             : verilogOnly ? "--verilog and --testbench need --data-bits D\n"
                                           : "--vhdl and --testbench need --data-bits D\n");
        return kExitInvalid;
    }
    const bool vhdlFile = needsTemplate;
    commands::VhdlCodeRequest request;
    request.headerStructure = run.Iir() ? 1 : 0;
    request.iir = run.Iir();
    request.language = language;
    if (!ReadInt(args, "data-bits", request.dataBits) || !ReadArchitecture(args, request)) {
        return kExitInvalid;
    }
    request.templatePath = vhdlFile ? LocateTemplate(args, run, request) : std::string();
    commands::VhdlOutcome outcome = commands::VhdlCode(run.doc, request, run.rate);
    if (outcome.Is(commands::OutcomeKind::kFileNotRead) && !outcome.message.empty()) {
        std::fprintf(stderr, "%s\n", outcome.message.c_str()); // refused, or the wrong kind
        return kExitInvalid;
    }
    if (outcome.Is(commands::OutcomeKind::kFileNotRead)) {
        std::fprintf(stderr, "%s\n", commands::TemplateNotFoundText(outcome.path).c_str());
        if (!outcome.notFound) {
            std::fprintf(stderr, "%s cannot be read\n", files::QuotedPath(outcome.path).c_str());
        }
        return kExitInvalid;
    }
    if (outcome.Is(commands::OutcomeKind::kOutOfRange) &&
        outcome.range.field == design::kFieldClock) {
        // The dialog takes MHz; its message names the MHz limits.
        std::fprintf(stderr, "--clock: %s (in MHz; --clock takes Hz)\n",
                     outcome.range.message.c_str());
        return kExitInvalid;
    }
    status = ReportOutcome(outcome, {{design::kFieldDataBits, "data-bits"},
                                     {design::kFieldMultipliers, "multipliers"}});
    if (status != kExitOk) {
        return status;
    }
    if (vhdlFile && request.templatePath.empty()) {
        // The window asks for the template here; nobody can pick one in a batch run.
        std::fprintf(stderr, "%s\n",
                     commands::TemplateNotFoundText(TemplateName(run, request)).c_str());
        return kExitInvalid;
    }
    templatePath = request.templatePath;
    run.m_strTemplatePath = request.templatePath;
    templateText = std::move(outcome.templateText);
    return kExitOk;
}

// Save VHDL with the template VHDL Code read in this run: each file is read once.
int SaveVhdlFile(const std::string& path, const std::string& templatePath, std::string templateText,
                 RunState& run) {
    commands::SaveVhdlRequest request;
    request.headerStructure = run.Iir() ? 1 : 0;
    request.vhdlParamsSet = true;
    request.templatePath = templatePath;
    request.path = path;
    request.templateText = std::move(templateText);
    const commands::VhdlOutcome outcome = commands::SaveVhdl(run.doc, request, run.rate);
    for (const std::string& line : outcome.leftovers) {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
    return ReportOutcome(outcome, {});
}

int WriteTestbench(const std::string& path, RunState& run) {
    // The stimulus is the wave In/Out Wave sends through the filter.
    commands::SimulateWave(run.doc, run.Iir());
    const vhdl::HdlLanguage language = vhdl::LanguageOfPath(path) == vhdl::HdlLanguage::kVerilog
                                           ? vhdl::HdlLanguage::kVerilog
                                           : vhdl::HdlLanguage::kVhdl;
    const commands::TextOutcome testbench =
        commands::Testbench(run.doc, run.Iir(), language, run.rate);
    const int status = ReportOutcome(testbench, {{design::kFieldDataBits, "data-bits"}});
    if (status != kExitOk) {
        return status;
    }
    const files::OutputResult written = files::WriteOutputFile(path, testbench.text);
    if (!written.ok) {
        std::fprintf(stderr, "%s\n", written.Describe().c_str());
        return kExitFileError;
    }
    return kExitOk;
}

// Coefficient literals that did not fit the literal width were saturated in the VHDL text.
void WarnSaturatedLiterals(const RunState& run) {
    const COlvexDoc& doc = run.doc;
    const int saturated = vhdl::CountSaturatedLiterals(doc.TakeCoefficients(run.Iir()));
    if (saturated > 0) {
        std::fprintf(stderr, "%d coefficient literal%s did not fit %d bits and %s saturated\n",
                     saturated, saturated == 1 ? "" : "s",
                     doc.m_nQuantBits + (run.Iir() ? vhdl::kIirCoeffExtraBits : 0),
                     saturated == 1 ? "was" : "were");
    }
}

// --hw-timeout in seconds, above 0; the default when not given.
bool ReadHardwareTimeout(const CliArgs& args, double& seconds) {
    seconds = vhdl::kDefaultHardwareTimeoutSeconds;
    if (!ReadDouble(args, "hw-timeout", seconds)) {
        return false;
    }
    if (!(seconds > 0.0) || !std::isfinite(seconds)) {
        std::fprintf(stderr, "--hw-timeout: Please enter a number of seconds above 0.\n");
        return false;
    }
    return true;
}

// The language --hw-report places: the template's, else Verilog when only --verilog is written.
vhdl::HdlLanguage HardwareLanguage(const CliArgs& args) {
    const vhdl::HdlLanguage chosen = args.Has("verilog") && !args.Has("vhdl")
                                         ? vhdl::HdlLanguage::kVerilog
                                         : vhdl::HdlLanguage::kVhdl;
    return args.Has("template") ? vhdl::TemplateLanguage(args.Value("template"), chosen) : chosen;
}

// The texts to write, each with its option; the language --hw-report places comes last, so
// that the document keeps its template and language.
struct LanguageOutput {
    const char* option;
    vhdl::HdlLanguage language;
};
std::vector<LanguageOutput> LanguageOutputs(const CliArgs& args) {
    std::vector<LanguageOutput> outputs;
    for (const LanguageOutput output : {LanguageOutput{"vhdl", vhdl::HdlLanguage::kVhdl},
                                        LanguageOutput{"verilog", vhdl::HdlLanguage::kVerilog}}) {
        if (args.Has(output.option)) {
            outputs.push_back(output);
        }
    }
    if (outputs.size() == 2 && HardwareLanguage(args) == vhdl::HdlLanguage::kVhdl) {
        std::swap(outputs[0], outputs[1]);
    }
    return outputs;
}

// The samples of --user FILE, each a D-bit integer.
bool ReadIntegerSamples(const std::string& path, int dataBits, std::vector<std::int64_t>& samples) {
    const files::InputFile file = files::ReadInputFile(path);
    if (!file.ok) {
        std::fprintf(stderr, "--user: %s: %s\n", files::QuotedPath(path).c_str(),
                     file.reason.c_str());
        return false;
    }
    const std::int64_t high = (std::int64_t{1} << (dataBits - 1)) - 1;
    const std::string& text = file.text;
    for (size_t at = text.find_first_not_of(" \t\r\n"); at != std::string::npos;
         at = text.find_first_not_of(" \t\r\n", at)) {
        const size_t end = std::min(text.find_first_of(" \t\r\n", at), text.size());
        const std::string word = text.substr(at, end - at);
        long long value = 0;
        if (!files::IsIntegerText(word) || std::sscanf(word.c_str(), "%lld", &value) != 1 ||
            value > high || value < -high - 1) {
            std::fprintf(stderr,
                         "--user: %s: sample %zu \"%s\" is not an integer from %lld to %lld\n",
                         files::QuotedPath(path).c_str(), samples.size() + 1, word.c_str(),
                         static_cast<long long>(-high - 1), static_cast<long long>(high));
            return false;
        }
        samples.push_back(value);
        at = end;
    }
    if (samples.empty()) {
        std::fprintf(stderr, "--user: %s holds no sample\n", files::QuotedPath(path).c_str());
        return false;
    }
    return true;
}

// What a rate change takes: a FIR, quantized; not the parallel architecture; --data-bits for the
// outputs of
// --user or --wave.
int CheckRateChangeOptions(const CliArgs& args, const RunState& run, vhdl::RateChange rate) {
    if (run.Iir()) {
        std::fprintf(stderr, "--decimate and --interpolate need a FIR filter\n");
        return kExitInvalid;
    }
    if (args.Has("arch") && args.Value("arch") == "parallel") {
        std::fprintf(stderr, "--arch parallel with --decimate or --interpolate: %s\n",
                     commands::kParallelRateRefusal);
        return kExitInvalid;
    }
    // With --testbench the wave options are the testbench's stimulus.
    const bool samples =
        !args.Has("testbench") && (args.Has("user") || args.Has("wave") || args.Has("freq"));
    const bool generated =
        args.Has("vhdl") || args.Has("verilog") || args.Has("hw-report") || args.Has("testbench");
    if (!samples && !generated) {
        return kExitOk;
    }
    int status = ReportOutcome(commands::CheckVhdlCode(run.doc), {});
    if (status != kExitOk) {
        return status;
    }
    if (samples && !args.Has("data-bits")) {
        std::fprintf(stderr, "--user and --wave with --decimate or --interpolate need "
                             "--data-bits D\n");
        return kExitInvalid;
    }
    if (args.Has("user") && (args.Has("wave") || args.Has("freq"))) {
        std::fprintf(stderr, "--user replaces --wave and --freq\n");
        return kExitInvalid;
    }
    // The folded walk's table is padded to whole rows of its multipliers: it must fit too.
    commands::VhdlCodeRequest hardware;
    if (!ReadArchitecture(args, hardware)) {
        return kExitInvalid;
    }
    if (const auto refusal = commands::RateChangeRefusal(run.doc, rate, hardware.architecture,
                                                         hardware.multipliers, hardware.clockMhz)) {
        std::fprintf(stderr, "%s\n", refusal->c_str());
        return kExitInvalid;
    }
    return kExitOk;
}

} // namespace

int WriteVhdlOutputs(const CliArgs& args, RunState& run) {
    const bool vhdlFile = args.Has("vhdl") || args.Has("verilog");
    const bool testbench = args.Has("testbench");
    const bool hardware = args.Has("hw-report");
    if (!ReadRateChange(args, run.rate)) {
        return kExitInvalid;
    }
    const vhdl::RateChange rate = run.rate;
    if (rate.Active()) {
        const int status = CheckRateChangeOptions(args, run, rate);
        if (status != kExitOk || !(vhdlFile || hardware || testbench)) {
            return status; // the outputs of --user or --wave are printed in their place
        }
    }
    for (const char* name : {"arch", "clock", "device", "multipliers"}) {
        if (args.Has(name) && !vhdlFile && !testbench && !hardware) {
            std::fprintf(stderr, "--%s needs --vhdl, --testbench or --hw-report\n", name);
            return kExitInvalid;
        }
    }
    for (const char* name : {"device", "hw-timeout", "seeds"}) {
        if (args.Has(name) && !hardware) {
            std::fprintf(stderr, "--%s needs --hw-report\n", name);
            return kExitInvalid;
        }
    }
    double timeout = 0.0;
    if (hardware && !ReadHardwareTimeout(args, timeout)) {
        return kExitInvalid;
    }
    if (hardware && args.Has("seeds")) {
        const std::string& text = args.Value("seeds");
        const bool digits = !text.empty() && text.size() <= 3 &&
                            text.find_first_not_of("0123456789") == std::string::npos;
        if (!digits || std::stoi(text) < 1 || std::stoi(text) > vhdl::kMaxSeeds) {
            std::fprintf(stderr, "--seeds: Please enter an integer between 1 and %d.\n",
                         vhdl::kMaxSeeds);
            return kExitInvalid;
        }
    }
    if (!vhdlFile && !testbench && !hardware) {
        // In the order of their names.
        for (const char* name :
             {"data-bits", "freq", "template", "testbench", "user", "verilog", "vhdl", "wave"}) {
            if (args.Has(name)) {
                std::fprintf(stderr, "--%s needs --vhdl or --testbench\n", name);
                return kExitInvalid;
            }
        }
        return kExitOk;
    }
    if (args.Has("template") && !vhdlFile && !hardware) {
        std::fprintf(stderr, "--template needs --vhdl or --hw-report\n");
        return kExitInvalid;
    }
    if (args.Has("template") && args.Has("vhdl") && args.Has("verilog")) {
        std::fprintf(stderr, "--template is of one language: give it with --vhdl or --verilog\n");
        return kExitInvalid;
    }
    if ((args.Has("wave") || args.Has("freq") || args.Has("user")) && !testbench &&
        !rate.Active()) {
        std::fprintf(stderr, "--wave, --freq and --user need --testbench\n");
        return kExitInvalid;
    }
    // Every entry is checked, and every template read, before the first file is written.
    const std::vector<LanguageOutput> outputs = LanguageOutputs(args);
    std::vector<std::string> templatePaths(outputs.size());
    std::vector<std::string> templateTexts(outputs.size());
    int status = kExitOk;
    for (size_t i = 0; i < outputs.size() && status == kExitOk; ++i) {
        status =
            RunVhdlCode(args, run, outputs[i].language, true, templatePaths[i], templateTexts[i]);
    }
    if (outputs.empty()) {
        std::string templatePath;
        std::string templateText;
        status =
            RunVhdlCode(args, run, HardwareLanguage(args), hardware, templatePath, templateText);
    }
    if (status == kExitOk && testbench) {
        status = ApplyWaveOptions(args, run);
    }
    if (status != kExitOk) {
        return status;
    }
    WarnSaturatedLiterals(run);
    for (size_t i = 0; i < outputs.size() && status == kExitOk; ++i) {
        // Each text in its own language, whatever its template is called; the last is the
        // language --hw-report places.
        run.doc.m_nHdlLanguage = outputs[i].language == vhdl::HdlLanguage::kVerilog ? 1 : 0;
        status = SaveVhdlFile(args.Value(outputs[i].option), templatePaths[i],
                              std::move(templateTexts[i]), run);
    }
    if (status == kExitOk && testbench) {
        status = WriteTestbench(args.Value("testbench"), run);
    }
    return status;
}

int PrintHardwareReport(const CliArgs& args, RunState& run) {
    commands::HardwareReportRequest request;
    request.headerStructure = run.Iir() ? 1 : 0;
    request.vhdlParamsSet = true;
    request.templatePath = run.m_strTemplatePath;
    if (args.Has("device")) {
        vhdl::ParseDeviceName(args.Value("device"), request.device);
    }
    // The placement is held to the clock Auto chose for, typed or the default.
    if (args.Has("seeds")) {
        request.seeds = std::stoi(args.Value("seeds")); // checked before anything was written
    }
    double timeout = 0.0;
    ReadHardwareTimeout(args, timeout); // checked before anything was written
    // The tools stop at the time limit and on Ctrl-C or SIGTERM, and their folder goes with them.
    vhdl::ToolWatch watch(timeout);
    request.cancel = watch.Cancel();
    const commands::HardwareReportOutcome outcome =
        commands::HardwareReport(run.doc, request, run.rate);
    if (watch.CaughtSignal() != 0) {
        std::fprintf(stderr, "the hardware report was interrupted: its tools were stopped\n");
        watch.RaiseCaughtSignal();
    }
    if (watch.TimedOut() && outcome.hardware.status == vhdl::HardwareStatus::kCancelled) {
        std::fprintf(stderr,
                     "the hardware report failed: its tools took longer than %g seconds "
                     "(--hw-timeout) and were stopped\n",
                     timeout);
        return kExitFileError;
    }
    const int status = ReportOutcome(outcome, {});
    if (status != kExitOk) {
        return status;
    }
    std::fputs(outcome.text.c_str(), run.listing.Stream());
    if (outcome.hardware.status == vhdl::HardwareStatus::kOk ||
        outcome.hardware.status == vhdl::HardwareStatus::kMissedClock) {
        std::fprintf(stderr, "%s\n%s\n", vhdl::FmaxSpreadText(outcome.hardware.figures).c_str(),
                     vhdl::FillText(outcome.hardware.figures).c_str());
    }
    if (!outcome.hardware.note.empty()) {
        std::fprintf(stderr, "%s\n", outcome.hardware.note.c_str());
    }
    switch (outcome.hardware.status) {
    case vhdl::HardwareStatus::kOk:
        return kExitOk;
    case vhdl::HardwareStatus::kToolsMissing:
        std::fprintf(stderr, "%s\n", commands::HardwareProblemText(outcome.hardware).c_str());
        return kExitFileError;
    case vhdl::HardwareStatus::kDoesNotFit:
    case vhdl::HardwareStatus::kMissedClock:
        std::fprintf(stderr, "%s\n", outcome.hardware.message.c_str());
        return kExitHardwareShortfall;
    case vhdl::HardwareStatus::kToolFailed:
    case vhdl::HardwareStatus::kCancelled:
        break;
    }
    std::fprintf(stderr, "the hardware report failed: %s\n", outcome.hardware.message.c_str());
    return kExitFileError;
}

bool WantsRateChangeOutputs(const CliArgs& args) {
    return (args.Has("decimate") || args.Has("interpolate")) && !args.Has("testbench") &&
           (args.Has("user") || args.Has("wave") || args.Has("freq"));
}

int PrintRateChangeOutputs(const CliArgs& args, RunState& run) {
    const vhdl::RateChange rate = run.rate; // read by WriteVhdlOutputs
    int dataBits = 0;
    if (!ReadInt(args, "data-bits", dataBits)) {
        return kExitInvalid;
    }
    if (dataBits < design::kMinDataBits || dataBits > design::kMaxDataBits) {
        std::fprintf(stderr, "--data-bits: Please enter an integer between %d and %d.\n",
                     design::kMinDataBits, design::kMaxDataBits);
        return kExitInvalid;
    }
    std::vector<std::int64_t> input;
    if (args.Has("user")) {
        if (!ReadIntegerSamples(args.Value("user"), dataBits, input)) {
            return kExitInvalid;
        }
    } else {
        // The test wave In/Out Wave sends through the filter, scaled to D bits.
        const int status = ApplyWaveOptions(args, run);
        if (status != kExitOk) {
            return status;
        }
        input = vhdl::ScaleStimulus(run.doc.m_aWaveIn, dataBits);
    }
    const dsp::FilterCoefficients c = run.doc.TakeCoefficients(false);
    vhdl::SaturationCount saturation;
    const std::vector<std::int64_t> y =
        vhdl::PolyphaseBitTrue(vhdl::FirLiterals(c), c.bits, dataBits, input, rate, &saturation);
    std::FILE* out = run.listing.Stream();
    std::fprintf(out, "%s\ninputs %zu\noutputs %zu\n", vhdl::RateChangeWords(rate).c_str(),
                 input.size(), y.size());
    for (size_t i = 0; i < y.size(); ++i) {
        std::fprintf(out, "%zu %lld\n", i, static_cast<long long>(y[i]));
    }
    if (saturation.filterOutput > 0) {
        std::fprintf(stderr, "%d output%s saturated to %d bits\n", saturation.filterOutput,
                     saturation.filterOutput == 1 ? "" : "s", dataBits);
    }
    return kExitOk;
}

} // namespace cli
