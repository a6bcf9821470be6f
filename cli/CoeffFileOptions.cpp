// --save-coeffs FILE of fir, iir and load: Save/Load's Save Coefficients writes the coefficient
// file, in the format the Coefficients settings of the command line chose. Also the plain
// coefficient listing that fir, iir and load print.
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

std::vector<Notice> PressSaveLoad(Session& session, int actionRadio, const std::string& path) {
    platform::DialogAnswer answer = platform::DialogAnswer::Ok(resources::kIddSaveLoad);
    answer.Radio(actionRadio);
    session.Host().Prepare(answer);
    session.Host().PrepareFile(path);
    return session.Press(resources::kIdcSaveLoad);
}

int SaveCoeffFileOption(const CliArgs& args, Session& session) {
    if (!args.Has("save-coeffs")) {
        return kExitOk;
    }
    const std::string& path = args.Value("save-coeffs");
    const std::vector<Notice> notices = PressSaveLoad(session, resources::kIdcSaveCoeffs, path);
    if (notices.empty()) {
        return kExitOk;
    }
    PrintNotices(notices, {});
    for (const Notice& notice : notices) {
        if (notice.kind == Notice::Kind::kMessage) {
            std::fprintf(stderr, "%s%s (%s)\n", path.c_str(), resources::kCannotBeOpened,
                         session.View().m_strFileReason.c_str());
            return kExitFileError;
        }
    }
    return kExitInvalid;
}

void PrintCoefficients(const COlvexDoc& doc, bool iir) {
    const auto shown = [&doc](double c) { return doc.m_bQuantize == 1 ? doc.Quantize(c) : c; };
    if (iir) {
        for (int s = 0; s < COlvexDoc::kIirSections; ++s) {
            std::printf("%.17g %.17g %.17g %.17g %.17g\n", shown(doc.m_aA0[s]), shown(doc.m_aA1[s]),
                        shown(doc.m_aA2[s]), shown(doc.m_aB1[s]), shown(doc.m_aB2[s]));
        }
        return;
    }
    const int listed = design::ShownFirTapCount(doc);
    for (int n = 0; n < listed && n < COlvexDoc::kMaxFirTaps; ++n) {
        PrintValue(shown(doc.m_aFirCoeffs[n]));
    }
}

} // namespace cli
