// The VHDL options of vantrel-cli fir and iir:
//
//   --vhdl FILE --data-bits D [--template PATH]   what Save VHDL writes: the file variant of the
//                                                 header, then the substituted template
//   --testbench FILE --data-bits D                a self-checking testbench of that filter
//   --wave sine|square --freq F, or --user FILE   the testbench's stimulus (default: the sine)
//
// Both need --quantize B, as the VHDL Code command needs "Quantize". Without --template the
// template is searched like the window does: the program's folder, the current folder, PATH,
// then the installed template folder.
#include <cstdio>
#include <string>

#include "app/OlvexDoc.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "files/OutputFile.h"
#include "files/UserWave.h"
#include "platform/SearchPath.h"
#include "resources/FilesResources.h"
#include "resources/VhdlResources.h"
#include "vhdl/BitTrueModel.h"
#include "vhdl/Testbench.h"
#include "vhdl/VhdlText.h"

namespace cli {

namespace {

int ReadDataBits(const CliArgs& args, COlvexDoc& doc) {
    if (!args.Has("data-bits")) {
        std::fprintf(stderr, "--vhdl and --testbench need --data-bits D\n");
        return kExitInvalid;
    }
    int bits = doc.m_nDataBits;
    if (!ReadInt(args, "data-bits", bits)) {
        return kExitInvalid;
    }
    if (bits < resources::kMinVhdlDataBits || bits > resources::kMaxVhdlDataBits) {
        std::fprintf(stderr, "--data-bits: Please enter an integer between %d and %d.\n",
                     resources::kMinVhdlDataBits, resources::kMaxVhdlDataBits);
        return kExitInvalid;
    }
    doc.m_nDataBits = bits;
    return kExitOk;
}

// The test wave of the testbench, taken as the In/Out Wave command takes it.
int StoreStimulus(const CliArgs& args, COlvexDoc& doc) {
    if (args.Has("wave")) {
        const std::string& kind = args.Value("wave");
        if (kind != "sine" && kind != "square") {
            std::fprintf(stderr, "--wave: expected sine or square\n");
            return kExitInvalid;
        }
        doc.m_nWaveType = kind == "square" ? 1 : 0;
    }
    if (!ReadDouble(args, "freq", doc.m_dWaveFreq)) {
        return kExitInvalid;
    }
    if (args.Has("user")) {
        if (args.Has("wave") || args.Has("freq")) {
            std::fprintf(stderr, "--user replaces --wave and --freq\n");
            return kExitInvalid;
        }
        const std::string& path = args.Value("user");
        const files::UserWaveRead read = files::ReadUserWave(path, doc.m_aWaveIn);
        if (!read.opened) {
            std::fprintf(stderr, "%s cannot be opened\n", path.c_str());
            return kExitInvalid;
        }
        if (!read.complete) {
            std::fprintf(stderr, "%s: value %d is not a number\n", path.c_str(), read.count + 1);
            return kExitInvalid;
        }
        doc.m_bUseUserWave = 1;
    }
    doc.GenerateTestWave();
    return kExitOk;
}

int WriteFile(const std::string& path, const std::string& text) {
    const files::OutputResult result = files::WriteOutputFile(path, text);
    if (!result.ok) {
        std::fprintf(stderr, "%s\n", result.Describe().c_str());
        return kExitFileError;
    }
    return kExitOk;
}

int WriteVhdl(const CliArgs& args, const COlvexDoc& doc, bool iir) {
    std::string templatePath;
    if (args.Has("template")) {
        templatePath = args.Value("template");
    } else {
        const std::string name = vhdl::TemplateFileName(iir, doc.m_nIirSections);
        templatePath = platform::SearchAlongPath(name, ".vhd", platform::SystemSearchFolders())
                           .value_or(std::string());
        if (templatePath.empty()) {
            std::fprintf(stderr, "%s\n", resources::TemplateNotFoundText(name).c_str());
            return kExitInvalid;
        }
    }
    std::string text = vhdl::BuildVhdlHeader(vhdl::HeaderVariant::kFile, iir,
                                             vhdl::FormatHeaderValues(doc, iir ? 1 : 0));
    int substIndex = 0;
    switch (vhdl::AppendSubstitutedTemplate(doc, iir, templatePath, vhdl::HeaderVariant::kFile,
                                            substIndex, text)) {
    case vhdl::TemplateStatus::kOk:
        break;
    case vhdl::TemplateStatus::kNotFound:
        std::fprintf(stderr, "%s\n", resources::TemplateNotFoundText(templatePath).c_str());
        return kExitInvalid;
    case vhdl::TemplateStatus::kUnreadable:
        std::fprintf(stderr, "%s cannot be read\n", templatePath.c_str());
        return kExitInvalid;
    }
    return WriteFile(args.Value("vhdl"), text);
}

} // namespace

const std::set<std::string>& VhdlOptions() {
    static const std::set<std::string> options = {"vhdl", "data-bits", "template", "testbench",
                                                  "wave", "freq",      "user"};
    return options;
}

int WriteVhdlOutputs(const CliArgs& args, COlvexDoc& doc, bool iir) {
    const bool vhdlFile = args.Has("vhdl");
    const bool testbench = args.Has("testbench");
    if (!vhdlFile && !testbench) {
        for (const std::string& name : VhdlOptions()) {
            if (args.Has(name)) {
                std::fprintf(stderr, "--%s needs --vhdl or --testbench\n", name.c_str());
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
    if (doc.m_bQuantize == 0) {
        ReportWarning(resources::VhdlNeedsQuantizeWarning().OneLine());
        return kExitInvalid;
    }
    int status = ReadDataBits(args, doc);
    if (status == kExitOk && testbench) {
        status = StoreStimulus(args, doc);
    }
    if (status != kExitOk) {
        return status;
    }
    const int saturated = vhdl::CountSaturatedLiterals(doc, iir);
    if (saturated > 0) {
        std::fprintf(stderr, "%d coefficient literal%s did not fit %d bits and %s saturated\n",
                     saturated, saturated == 1 ? "" : "s",
                     doc.m_nQuantBits + (iir ? vhdl::kIirCoeffExtraBits : 0),
                     saturated == 1 ? "was" : "were");
    }
    if (vhdlFile) {
        status = WriteVhdl(args, doc, iir);
    }
    if (status == kExitOk && testbench) {
        const std::span<const double> wave(doc.m_aWaveIn, COlvexDoc::kWaveFiltered);
        status = WriteFile(args.Value("testbench"),
                           vhdl::BuildTestbench(doc, iir, doc.m_nDataBits, wave));
    }
    return status;
}

} // namespace cli
