// --save-coeffs FILE of fir, iir and load: writes the coefficient file that Save Coefficients
// writes, in the format the Coefficients settings of the command line chose. Also the plain
// coefficient listing that fir, iir and load print.
#include <cstdio>
#include <string>

#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "files/CoeffFile.h"
#include "files/OutputFile.h"
#include "resources/FilesResources.h"

namespace cli {

int SaveCoeffFileOption(const CliArgs& args, const COlvexDoc& doc, bool iir) {
    if (!args.Has("save-coeffs")) {
        return kExitOk;
    }
    const std::string& path = args.Value("save-coeffs");
    const files::OutputResult result = files::WriteOutputFile(path, files::CoeffFileText(doc, iir));
    if (!result.ok) {
        std::fprintf(stderr, "%s%s (%s)\n", path.c_str(), resources::kCannotBeOpened,
                     result.reason.c_str());
        return kExitFileError;
    }
    return kExitOk;
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
