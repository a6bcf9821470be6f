// The VHDL options of vantrel-cli fir and iir, played as the window's commands:
//
//   --vhdl FILE --data-bits D [--template PATH]   VHDL Code with D in its dialog, then Save/Load's
//                                                 Save VHDL answered with FILE: the file variant of
//                                                 the header, then the substituted template
//   --testbench FILE --data-bits D                a self-checking testbench of that filter
//   --wave sine|square --freq F, or --user FILE   the testbench's stimulus, set through In/Out Wave
//                                                 (default: the sine)
//
// Both need --quantize B, as the VHDL Code command needs "Quantize". Without --template the
// template is searched like the window does: the program's folder, the current folder, PATH,
// then the installed template folder. Where the window's fixed text leaves out the system's
// reason, the command line's own line follows it.
#include <cstdio>
#include <string>

#include "app/OlvexDoc.h"
#include "app/OlvexDocEngine.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "cli/Session.h"
#include "files/OutputFile.h"
#include "resources/FilesResources.h"
#include "resources/Resources.h"
#include "resources/VhdlResources.h"
#include "vhdl/BitTrueModel.h"
#include "vhdl/Testbench.h"
#include "vhdl/VhdlText.h"

namespace cli {

namespace {

// VHDL Code with the data bit length answered. Pressed for the testbench too: it is the one place
// that takes the data bit length. Only --vhdl needs the template it locates.
int PressVhdlCode(const CliArgs& args, Session& session, bool iir, bool vhdlFile) {
    platform::DialogAnswer answer = platform::DialogAnswer::Ok(resources::kIddVhdlSource);
    if (args.Has("data-bits")) {
        answer.Text(resources::kIdcVhdlDataBits, args.Value("data-bits"));
        session.Host().Prepare(answer);
    }
    if (args.Has("template")) {
        session.Host().PrepareTemplate(args.Value("template"));
    }
    session.Host().ClickFormRadio(iir ? resources::kIdcIir : resources::kIdcFir);
    session.View().UpdateData(true);
    const std::vector<Notice> notices = session.Press(resources::kIdcVhdlCode);
    bool refused = false;
    for (const Notice& notice : notices) {
        // A template message matters only to the VHDL file.
        if (notice.kind == Notice::Kind::kMessage && !vhdlFile) {
            continue;
        }
        refused = true;
        PrintNotices({notice}, {{resources::kIdcVhdlDataBits, "data-bits"}});
        const std::string& path = session.View().m_strTemplatePath;
        if (notice.kind == Notice::Kind::kMessage &&
            notice.text != resources::TemplateNotFoundText(path)) {
            std::fprintf(stderr, "%s cannot be read\n", path.c_str());
        }
    }
    if (refused) {
        return kExitInvalid;
    }
    if (!args.Has("data-bits")) {
        std::fprintf(stderr, "--vhdl and --testbench need --data-bits D\n");
        return kExitInvalid;
    }
    if (vhdlFile && session.View().m_strTemplatePath.empty()) {
        // The window asks for the template here; nobody can pick one in a batch run.
        std::fprintf(stderr, "%s\n",
                     resources::TemplateNotFoundText(
                         vhdl::TemplateFileName(iir, session.Doc().m_nIirSections))
                         .c_str());
        return kExitInvalid;
    }
    return kExitOk;
}

// Save/Load's Save VHDL, its Save-file dialog answered with the path.
int PressSaveVhdl(const std::string& path, Session& session) {
    const std::vector<Notice> notices = PressSaveLoad(session, resources::kIdcSaveVhdl, path);
    if (notices.empty()) {
        return kExitOk;
    }
    PrintNotices(notices, {});
    for (const Notice& notice : notices) {
        if (notice.kind == Notice::Kind::kMessage) {
            std::fprintf(stderr, "%s: %s\n", path.c_str(), session.View().m_strFileReason.c_str());
            return kExitFileError;
        }
    }
    return kExitInvalid;
}

int WriteFile(const std::string& path, const std::string& text) {
    const files::OutputResult result = files::WriteOutputFile(path, text);
    if (!result.ok) {
        std::fprintf(stderr, "%s\n", result.Describe().c_str());
        return kExitFileError;
    }
    return kExitOk;
}

} // namespace

const std::set<std::string>& VhdlOptions() {
    static const std::set<std::string> options = {"vhdl", "data-bits", "template", "testbench",
                                                  "wave", "freq",      "user"};
    return options;
}

int WriteVhdlOutputs(const CliArgs& args, Session& session, bool iir) {
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
    // Every entry is checked before the first file is written.
    int status = PressVhdlCode(args, session, iir, vhdlFile);
    if (status == kExitOk && testbench) {
        status = PressInOutWave(args, session);
    }
    if (status != kExitOk) {
        return status;
    }
    const COlvexDoc& doc = session.Doc();
    const int saturated = vhdl::CountSaturatedLiterals(doc, iir);
    if (saturated > 0) {
        std::fprintf(stderr, "%d coefficient literal%s did not fit %d bits and %s saturated\n",
                     saturated, saturated == 1 ? "" : "s",
                     doc.m_nQuantBits + (iir ? vhdl::kIirCoeffExtraBits : 0),
                     saturated == 1 ? "was" : "were");
    }
    if (vhdlFile) {
        status = PressSaveVhdl(args.Value("vhdl"), session);
    }
    if (status == kExitOk && testbench) {
        const std::span<const double> wave(doc.m_aWaveIn, COlvexDoc::kWaveFiltered);
        status = WriteFile(args.Value("testbench"),
                           vhdl::BuildTestbench(doc, iir, doc.m_nDataBits, wave));
    }
    return status;
}

} // namespace cli
