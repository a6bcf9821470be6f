// vantrel-cli fir: the Design command of the form with FIR selected, its parameter dialog
// answered from the options. With --auto the adjustment the window offers after a failed design
// is taken: the proposal of the chosen kind, accepted as proposed, and one more design.
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

// The option that fills each edit of the FIR parameter dialog.
const ControlOptions& FirControlOptions() {
    static const ControlOptions options = {
        {design::kIdcFs, "fs"},     {design::kIdcFc1, "edges"},       {design::kIdcFc2, "edges"},
        {design::kIdcFc3, "edges"}, {design::kIdcFc4, "edges"},       {design::kIdcTaps, "taps"},
        {design::kIdcRR, "rr"},     {design::kIdcMultiplier, "mult"},
    };
    return options;
}

// The answer of the parameter dialog: the options given, typed into their edits.
int FirParameterAnswer(const CliArgs& args, int type, platform::DialogAnswer& answer) {
    answer = platform::DialogAnswer::Ok(design::kIddFirParameters + type);
    const struct {
        const char* option;
        int control;
    } kEdits[] = {{"fs", design::kIdcFs},
                  {"taps", design::kIdcTaps},
                  {"rr", design::kIdcRR},
                  {"mult", design::kIdcMultiplier}};
    for (const auto& edit : kEdits) {
        if (args.Has(edit.option)) {
            answer.Text(edit.control, args.Value(edit.option));
        }
    }
    if (args.Has("edges")) {
        const std::vector<std::string> parts = SplitList(args.Value("edges"));
        const size_t wanted = design::IsThreeBand(type) ? 4 : 2;
        if (parts.size() != wanted) {
            std::fprintf(stderr, "--edges: this filter type needs %zu band edges\n", wanted);
            return kExitInvalid;
        }
        const int controls[4] = {design::kIdcFc1, design::kIdcFc2, design::kIdcFc3,
                                 design::kIdcFc4};
        for (size_t i = 0; i < parts.size(); ++i) {
            answer.Text(controls[i], parts[i]);
        }
    }
    return kExitOk;
}

// Says on standard error what the adjustment proposed, as its result dialog showed it.
void PrintProposal(Session& session, const COlvexDoc& before, bool taps, int type) {
    const COlvexDoc& doc = session.Doc();
    if (taps) {
        const platform::ControlValues* shown =
            session.Host().OpenedControls(design::kIddTapAdjustment + type);
        if (shown != nullptr) {
            std::fprintf(stderr, "Auto Tap Count Adjustment: N = %s\n",
                         shown->GetText(design::kIdcTaps).c_str());
        }
        return;
    }
    const double was[4] = {before.m_fc1, before.m_fc2, before.m_fc3, before.m_fc4};
    const double now[4] = {doc.m_fc1, doc.m_fc2, doc.m_fc3, doc.m_fc4};
    std::string text = "Auto Band Edge Adjustment:";
    for (int i = 0; i < 4; ++i) {
        if (now[i] != was[i]) {
            char item[64];
            std::snprintf(item, sizeof item, " fc%d = %.17g", i + 1, now[i]);
            text += item;
        }
    }
    std::fprintf(stderr, "%s\n", text.c_str());
}

} // namespace

int DesignFirFromArgs(const CliArgs& args, Session& session) {
    std::string autoKind;
    if (args.Has("auto")) {
        autoKind = args.Value("auto");
        if (autoKind != "taps" && autoKind != "edges") {
            std::fprintf(stderr, "--auto: expected taps or edges\n");
            return kExitInvalid;
        }
    }
    int type = session.Doc().m_nFilterType;
    if (args.Has("type")) {
        type = ParseFilterType(args.Value("type"));
        if (type < 0) {
            std::fprintf(stderr, "--type: expected lpf, hpf, brf or bpf\n");
            return kExitInvalid;
        }
    }
    platform::DialogAnswer answer;
    if (FirParameterAnswer(args, type, answer) != kExitOk) {
        return kExitInvalid;
    }
    CliHost& host = session.Host();
    host.Prepare(answer);
    // Without --auto the offer is closed unanswered, and the design stays failed.
    if (!autoKind.empty()) {
        const bool taps = autoKind == "taps";
        host.Prepare(platform::DialogAnswer::Ok(design::kIddAdjustChoice)
                         .Radio(taps ? design::kIdcAdjustTaps : design::kIdcAdjustEdges));
        host.Prepare(platform::DialogAnswer::Ok(
            (taps ? design::kIddTapAdjustment : design::kIddEdgeAdjustment) + type));
    }
    session.SelectForm(type, false);
    const COlvexDoc before = session.Doc();
    const std::vector<Notice> notices = session.Press(resources::kIdcDesign);

    // A check of an adjustment result dialog refuses the proposal, not the user's input.
    std::vector<Notice> own;
    bool proposalRefused = false;
    for (const Notice& notice : notices) {
        if (notice.kind == Notice::Kind::kFailedCheck &&
            notice.templateId == design::kIddTapAdjustment + type) {
            proposalRefused = true;
        } else {
            own.push_back(notice);
        }
    }
    const bool refused = PrintNotices(own, FirControlOptions());
    // The unbalanced-transition warning accepts the input; when the design then fails, the
    // previous document is back, which must not read as refused input.
    std::vector<Notice> refusing;
    for (const Notice& notice : own) {
        if (notice.templateId != design::kIddWarnUnbalanced) {
            refusing.push_back(notice);
        }
    }
    if (refused || (AnyWarning(refusing) && SameSettings(before, session.Doc()))) {
        return kExitInvalid;
    }
    const COlvexDoc& doc = session.Doc();
    if (session.Host().OpenedControls(design::kIddAdjustChoice) != nullptr && !autoKind.empty()) {
        PrintProposal(session, before, autoKind == "taps", type);
    }
    if (proposalRefused) {
        std::fprintf(stderr, "The proposed tap count is outside %d..%d.\n",
                     COlvexDoc::kMinDialogTaps, COlvexDoc::kMaxDialogTaps);
    }
    const std::vector<std::string>& status = session.Host().StatusTexts();
    if (!status.empty() && status.back() == design::kDesignFailedStatus) {
        if (autoKind.empty()) {
            std::fprintf(stderr, "The design failed (Remez exchange); try --auto taps or "
                                 "--auto edges.\n");
        } else {
            std::fprintf(stderr, "The design failed again after the adjustment.\n");
        }
        return kExitDesignFailed;
    }
    if (doc.m_bOptimumReached == 0) {
        std::fprintf(stderr,
                     "The design is short of the equiripple optimum: weighted ripple %.6g, "
                     "target %.6g.\n",
                     doc.m_dAchievedRipple, doc.m_dTargetRipple);
    }
    return kExitOk;
}

const std::set<std::string>& FirDesignOptions() {
    static const std::set<std::string> options = {"type", "fs",   "edges", "taps",
                                                  "rr",   "mult", "auto"};
    return options;
}

int RunFir(const CliArgs& args, Session& session) {
    int status = CheckMeasureOptions(args);
    if (status == kExitOk) {
        status = DesignFirFromArgs(args, session);
    }
    if (status == kExitOk) {
        status = RunCoefficientActions(args, session, false);
    }
    if (status != kExitOk) {
        return status;
    }
    // The taps stand, but a design short of the optimum is not reported as done.
    return session.Doc().m_bOptimumReached != 0 ? kExitOk : kExitShortOfOptimum;
}

} // namespace cli
