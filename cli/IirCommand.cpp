// vantrel-cli iir: the Design command of the form with IIR selected, its parameter dialog
// answered from the options. Prints the eight sections, one per line as "a0 a1 a2 b1 b2"; with
// --quantize B the quantized values.
#include "app/DesignCommand.h"
#include "app/DesignDialogs.h"
#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "cli/Session.h"
#include "resources/Resources.h"

#include <cstdio>
#include <string>

namespace cli {

namespace {

const ControlOptions& IirControlOptions() {
    static const ControlOptions options = {
        {design::kIdcIirSections, "sections"}, {design::kIdcRipple, "ripple"},
        {design::kIdcCutoff, "cutoff"},        {design::kIdcFc1, "cutoff"},
        {design::kIdcFc2, "cutoff"},           {design::kIdcFs, "fs"},
    };
    return options;
}

// The answer of the parameter dialog; --cutoff is one frequency for LPF/HPF, two for BRF/BPF.
int IirParameterAnswer(const CliArgs& args, int type, platform::DialogAnswer& answer) {
    answer = platform::DialogAnswer::Ok(design::kIddIirParameters + type);
    if (args.Has("sections")) {
        answer.Text(design::kIdcIirSections, args.Value("sections"));
    }
    if (args.Has("ripple")) {
        answer.Text(design::kIdcRipple, args.Value("ripple"));
    }
    if (args.Has("cutoff")) {
        const std::vector<std::string> parts = SplitList(args.Value("cutoff"));
        const bool two = design::IsThreeBand(type);
        if (parts.size() != (two ? 2u : 1u)) {
            std::fprintf(stderr, "--cutoff: this filter type needs %s\n",
                         two ? "2 cut-off frequencies" : "1 cut-off frequency");
            return kExitInvalid;
        }
        if (two) {
            answer.Text(design::kIdcFc1, parts[0]).Text(design::kIdcFc2, parts[1]);
        } else {
            answer.Text(design::kIdcCutoff, parts[0]);
        }
    }
    if (args.Has("fs")) {
        answer.Text(design::kIdcFs, args.Value("fs"));
    }
    return kExitOk;
}

} // namespace

int DesignIirFromArgs(const CliArgs& args, Session& session) {
    int type = session.Doc().m_nFilterType;
    if (args.Has("type")) {
        type = ParseFilterType(args.Value("type"));
        if (type < 0) {
            std::fprintf(stderr, "--type: expected lpf, hpf, brf or bpf\n");
            return kExitInvalid;
        }
    }
    platform::DialogAnswer answer;
    if (IirParameterAnswer(args, type, answer) != kExitOk) {
        return kExitInvalid;
    }
    session.Host().Prepare(answer);
    session.SelectForm(type, true);
    const COlvexDoc before = session.Doc();
    const std::vector<Notice> notices = session.Press(resources::kIdcDesign);
    const bool refused = PrintNotices(notices, IirControlOptions());
    // The window designs the cascade from the document whatever the dialog's outcome; the
    // command line takes a refused entry as the end of the run.
    bool warned = false;
    for (const Notice& notice : notices) {
        warned = warned || notice.kind == Notice::Kind::kWarning;
    }
    if (refused || (warned && SameSettings(before, session.Doc()))) {
        return kExitInvalid;
    }
    for (const Notice& notice : notices) {
        if (notice.kind == Notice::Kind::kMessage && notice.text == design::kIirFailedMessage) {
            return kExitDesignFailed;
        }
    }
    return kExitOk;
}

const std::set<std::string>& IirDesignOptions() {
    static const std::set<std::string> options = {"type", "fs", "cutoff", "sections", "ripple"};
    return options;
}

int RunIir(const CliArgs& args, Session& session) {
    int status = CheckMeasureOptions(args);
    if (status == kExitOk) {
        status = DesignIirFromArgs(args, session);
    }
    return status == kExitOk ? RunCoefficientActions(args, session, true) : status;
}

} // namespace cli
