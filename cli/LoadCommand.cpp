// vantrel-cli load FILE --structure fir|iir: Save/Load's Load Coefficients from flags. Reads a
// coefficient file into a fresh document through the Save/Load command and prints the
// coefficients as fir and iir print them. The actions that need no design follow: --quantize,
// --report --format, --response, --save-coeffs.
//
// A file the reader warns about (no header, a malformed number, a token that is not a number)
// is refused: its warning goes to standard error, nothing to standard output, exit status 2.
#include <cstdio>
#include <string>

#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "cli/Session.h"
#include "resources/FilesResources.h"
#include "resources/Resources.h"

namespace cli {

namespace {

// A token from a hostile file, fit for a terminal: bytes outside printable ASCII become '?'.
std::string Printable(const std::string& token) {
    std::string text = token;
    for (char& c : text) {
        if (c < ' ' || c > '~') {
            c = '?';
        }
    }
    return text;
}

// Save/Load's Load Coefficients with the Open dialog answered with the path, in the structure
// the form shows; kExitOk, or the exit status with the window's warning and the reader's detail
// printed.
int LoadFile(const std::string& path, bool iir, Session& session) {
    session.Host().ClickFormRadio(iir ? resources::kIdcIir : resources::kIdcFir);
    session.View().UpdateData(true);
    const std::vector<Notice> notices = PressSaveLoad(session, resources::kIdcLoadCoeffs, path);
    if (notices.empty()) {
        return kExitOk;
    }
    PrintNotices(notices, {});
    const COlvexView& view = session.View();
    for (const Notice& notice : notices) {
        if (notice.templateId == resources::kIddWarnInvalidFileName) {
            std::fprintf(stderr, "%s: %s\n", path.c_str(), view.m_strFileReason.c_str());
        } else if (notice.templateId == resources::kIddWarnInvalidCoeffs &&
                   !view.m_strLoadStopToken.empty()) {
            std::fprintf(stderr, "%s: value %d, '%s', is not a number\n", path.c_str(),
                         view.m_nLoadStopCount + 1, Printable(view.m_strLoadStopToken).c_str());
        }
    }
    return kExitInvalid;
}

} // namespace

int RunLoad(const CliArgs& args, Session& session) {
    if (!args.Has("file")) {
        std::fprintf(stderr, "vantrel-cli load: name the coefficient file to read\n");
        return kExitInvalid;
    }
    const std::string structure = args.Has("structure") ? args.Value("structure") : "fir";
    if (structure != "fir" && structure != "iir") {
        std::fprintf(stderr, "--structure: expected fir or iir\n");
        return kExitInvalid;
    }
    const bool iir = structure == "iir";
    int status = CheckMeasureOptions(args);
    if (status == kExitOk) {
        status = LoadFile(args.Value("file"), iir, session);
    }
    return status == kExitOk ? RunCoefficientActions(args, session, iir) : status;
}

} // namespace cli
