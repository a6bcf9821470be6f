// The actions of fir, iir and load once the document holds coefficients: the same sequence for a
// design and for a loaded file, so each command takes the same options in the same order.
#include <cstdio>
#include <string>

#include "app/OlvexDoc.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "cli/Session.h"

namespace cli {

int RunCoefficientActions(const CliArgs& args, Session& session, bool iir) {
    COlvexDoc& doc = session.Doc();
    int status = ApplyCoefficientOptions(args, session, iir);
    if (status == kExitOk) {
        status = ApplyResponseOptions(args, session);
    }
    // The report is the output box before VHDL Code puts the VHDL there.
    const std::string report = session.OutputText();
    if (status == kExitOk) {
        status = WriteVhdlOutputs(args, session, iir);
    }
    if (status != kExitOk) {
        return status;
    }
    if (WantsMeasureOutput(args)) {
        PrintMeasureOutputs(args, doc, iir);
    } else if (args.Has("report")) {
        std::fputs(report.c_str(), stdout);
    } else {
        PrintCoefficients(doc, iir);
    }
    status = SaveCoeffFileOption(args, session);
    if (status == kExitOk && args.Has("response")) {
        if (iir) {
            doc.IirResponse();
        } else {
            doc.FirResponse();
        }
        status = WriteResponseFile(args.Value("response"), doc);
    }
    return status;
}

} // namespace cli
