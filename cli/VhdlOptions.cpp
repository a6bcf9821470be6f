// The VHDL options of vantrel-cli fir, iir and load, as the window's commands:
//
//   --vhdl FILE --data-bits D [--template PATH]   VHDL Code with D, then Save VHDL to FILE: the
//                                                 file variant of the header, then the
//                                                 substituted template
//   --testbench FILE --data-bits D                a self-checking testbench of that filter
//   --wave sine|square --freq F, or --user FILE   the testbench's stimulus, set through In/Out Wave
//                                                 (default: the sine)
//
// Both need --quantize B, as VHDL Code needs "Quantize". Without --template the template is
// searched like the window does: the program's folder, the current folder, PATH, then the
// installed template folder. Where the window's fixed text leaves out the system's reason, the
// command line's own line follows it.
#include <cstdio>
#include <string>

#include "app/OlvexDoc.h"
#include "app/OlvexDocEngine.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "files/InputFile.h"
#include "files/OutputFile.h"
#include "platform/SearchPath.h"
#include "resources/VhdlResources.h"
#include "vhdl/BitTrueModel.h"
#include "vhdl/VhdlText.h"

namespace cli {

namespace {

// The template of --template, or the one the search finds; empty when none.
std::string LocateTemplate(const CliArgs& args, const RunState& run) {
    if (args.Has("template")) {
        return args.Value("template");
    }
    const std::string name = vhdl::TemplateFileName(run.iir, run.doc.m_nIirSections);
    return platform::SearchAlongPath(name, ".vhd", platform::SystemSearchFolders())
        .value_or(std::string());
}

// VHDL Code with the data bit length. Run for the testbench too: it is the one command that
// takes the data bit length. Only --vhdl needs the template it reads.
int RunVhdlCode(const CliArgs& args, RunState& run, std::string& templatePath,
                std::string& templateText) {
    int status = ReportOutcome(commands::CheckVhdlCode(run.doc), {});
    if (status != kExitOk) {
        return status;
    }
    if (!args.Has("data-bits")) {
        std::fprintf(stderr, "--vhdl and --testbench need --data-bits D\n");
        return kExitInvalid;
    }
    const bool vhdlFile = args.Has("vhdl");
    commands::VhdlCodeRequest request;
    request.headerStructure = run.iir ? 1 : 0;
    request.iir = run.iir;
    request.templatePath = vhdlFile ? LocateTemplate(args, run) : std::string();
    if (!ReadInt(args, "data-bits", request.dataBits)) {
        return kExitInvalid;
    }
    commands::VhdlOutcome outcome = commands::VhdlCode(run.doc, request);
    if (outcome.Is(commands::OutcomeKind::kFileNotRead) && !outcome.message.empty()) {
        std::fprintf(stderr, "%s\n", outcome.message.c_str()); // refused, or the wrong kind
        return kExitInvalid;
    }
    if (outcome.Is(commands::OutcomeKind::kFileNotRead)) {
        std::fprintf(stderr, "%s\n", resources::TemplateNotFoundText(outcome.path).c_str());
        if (!outcome.notFound) {
            std::fprintf(stderr, "%s cannot be read\n", files::QuotedPath(outcome.path).c_str());
        }
        return kExitInvalid;
    }
    status = ReportOutcome(outcome, {{design::kFieldDataBits, "data-bits"}});
    if (status != kExitOk) {
        return status;
    }
    if (vhdlFile && request.templatePath.empty()) {
        // The window asks for the template here; nobody can pick one in a batch run.
        std::fprintf(
            stderr, "%s\n",
            resources::TemplateNotFoundText(vhdl::TemplateFileName(run.iir, run.doc.m_nIirSections))
                .c_str());
        return kExitInvalid;
    }
    templatePath = request.templatePath;
    templateText = std::move(outcome.templateText);
    return kExitOk;
}

// Save VHDL with the template VHDL Code read in this run: each file is read once.
int SaveVhdlFile(const std::string& path, const std::string& templatePath, std::string templateText,
                 RunState& run) {
    commands::SaveVhdlRequest request;
    request.headerStructure = run.iir ? 1 : 0;
    request.vhdlParamsSet = true;
    request.templatePath = templatePath;
    request.path = path;
    request.templateText = std::move(templateText);
    const commands::VhdlOutcome outcome = commands::SaveVhdl(run.doc, request);
    for (const std::string& line : outcome.leftovers) {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
    return ReportOutcome(outcome, {});
}

int WriteTestbench(const std::string& path, RunState& run) {
    // The stimulus is the wave In/Out Wave sends through the filter.
    commands::SimulateWave(run.doc, run.iir);
    const commands::Outcome testbench = commands::Testbench(run.doc, run.iir);
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
    const int saturated = vhdl::CountSaturatedLiterals(doc, run.iir);
    if (saturated > 0) {
        std::fprintf(stderr, "%d coefficient literal%s did not fit %d bits and %s saturated\n",
                     saturated, saturated == 1 ? "" : "s",
                     doc.m_nQuantBits + (run.iir ? vhdl::kIirCoeffExtraBits : 0),
                     saturated == 1 ? "was" : "were");
    }
}

} // namespace

int WriteVhdlOutputs(const CliArgs& args, RunState& run) {
    const bool vhdlFile = args.Has("vhdl");
    const bool testbench = args.Has("testbench");
    if (!vhdlFile && !testbench) {
        // In the order of their names.
        for (const char* name :
             {"data-bits", "freq", "template", "testbench", "user", "vhdl", "wave"}) {
            if (args.Has(name)) {
                std::fprintf(stderr, "--%s needs --vhdl or --testbench\n", name);
                return kExitInvalid;
            }
        }
        return kExitOk;
    }
    if (args.Has("template") && !vhdlFile) {
        std::fprintf(stderr, "--template needs --vhdl\n");
        return kExitInvalid;
    }
    if ((args.Has("wave") || args.Has("freq") || args.Has("user")) && !testbench) {
        std::fprintf(stderr, "--wave, --freq and --user need --testbench\n");
        return kExitInvalid;
    }
    // Every entry is checked before the first file is written.
    std::string templatePath;
    std::string templateText;
    int status = RunVhdlCode(args, run, templatePath, templateText);
    if (status == kExitOk && testbench) {
        status = ApplyWaveOptions(args, run);
    }
    if (status != kExitOk) {
        return status;
    }
    WarnSaturatedLiterals(run);
    if (vhdlFile) {
        status = SaveVhdlFile(args.Value("vhdl"), templatePath, std::move(templateText), run);
    }
    if (status == kExitOk && testbench) {
        status = WriteTestbench(args.Value("testbench"), run);
    }
    return status;
}

} // namespace cli
