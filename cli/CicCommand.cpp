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
//   --compensate --taps N --edges FP,FSTOP   the droop compensator at the low rate: its taps,
//                 its ripple, the cascade's pass-band ripple and stop-band attenuation
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "dsp/Cic.h"
#include "files/InputFile.h"
#include "files/NumberText.h"
#include "files/OutputFile.h"
#include "files/SearchPath.h"
#include "vhdl/CicHdl.h"
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

// --vhdl and --verilog: the template found along the search folders (a file of that name that is
// no CIC template, such as a generated one, is passed over), substituted and written.
int WriteHdl(const CliArgs& args, const dsp::CicParams& p) {
    const std::pair<const char*, vhdl::HdlLanguage> outputs[] = {
        {"vhdl", vhdl::HdlLanguage::kVhdl}, {"verilog", vhdl::HdlLanguage::kVerilog}};
    for (const auto& [option, language] : outputs) {
        if (!args.Has(option)) {
            continue;
        }
        const std::string name = vhdl::CicTemplateName(p, language);
        const std::optional<std::string> found = files::SearchAlongPath(
            name, vhdl::HdlExtension(language), files::SystemSearchFolders(),
            [](const std::string& path) {
                std::string text;
                return vhdl::ReadTemplateText(path, text) == vhdl::TemplateStatus::kOk &&
                       text.find("CICSTAGES") != std::string::npos;
            });
        std::string text;
        std::string reason;
        if (!found || vhdl::ReadTemplateText(*found, text, reason) != vhdl::TemplateStatus::kOk) {
            std::fprintf(stderr, "cic: template %s not found%s%s\n", name.c_str(),
                         reason.empty() ? "" : ": ", reason.c_str());
            return kExitFileError;
        }
        const files::OutputResult written =
            files::WriteOutputFile(args.Value(option), vhdl::CicHdlText(p, text, language));
        if (!written.ok) {
            std::fprintf(stderr, "cic: %s\n", written.Describe().c_str());
            return kExitFileError;
        }
    }
    return kExitOk;
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
    std::vector<std::int64_t> input;
    if (args.Has("user")) {
        if (!ReadWave(args.Value("user"), p.dataBits, input)) {
            return kExitInvalid;
        }
    } else {
        input = TestInput(p);
    }
    const int written = WriteHdl(args, p);
    if (written != kExitOk) {
        return written;
    }
    const dsp::CicStructure s = dsp::DescribeCic(p);
    std::FILE* out = run.listing.Stream();
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
    if (args.Has("compensate")) {
        const dsp::CicCompensator comp = dsp::DesignCicCompensator(p, compensatorParams);
        if (!comp.error.empty()) {
            std::fprintf(stderr, "cic: %s\n", comp.error.c_str());
            return kExitDesignFailed;
        }
        PrintCompensator(out, compensatorParams, comp);
    }
    const std::vector<std::int64_t> y = dsp::RunCic(p, input);
    std::fprintf(out, "outputs %zu\n", y.size());
    for (size_t i = 0; i < y.size(); ++i) {
        std::fprintf(out, "%zu %lld\n", i, static_cast<long long>(y[i]));
    }
    return kExitOk;
}

} // namespace cli
