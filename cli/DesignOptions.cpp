// vantrel-cli fir and iir: the Design command with the parameter dialog's fields taken from the
// options, the rest from the document as the dialog would show them. With --auto the adjustment
// the window offers after a failed FIR design is taken: the proposal of the chosen kind, as
// proposed, and one more design.
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "app/DesignCommands.h"
#include "app/MeasureCommands.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "files/NumberText.h"

namespace cli {

namespace {

// The option that fills each field of the FIR and IIR dialogs.
const FieldOptions& FirFieldOptions() {
    static const FieldOptions options = {
        {design::kFieldFs, "fs"},     {design::kFieldFc1, "edges"},
        {design::kFieldFc2, "edges"}, {design::kFieldFc3, "edges"},
        {design::kFieldFc4, "edges"}, {design::kFieldTaps, "taps"},
        {design::kFieldRR, "rr"},     {design::kFieldMultiplier, "mult"},
    };
    return options;
}

const FieldOptions& IirFieldOptions() {
    static const FieldOptions options = {
        {design::kFieldSections, "sections"}, {design::kFieldRipple, "ripple"},
        {design::kFieldAs, "atten"},          {design::kFieldFc1, "cutoff"},
        {design::kFieldFc2, "cutoff"},        {design::kFieldFs, "fs"},
    };
    return options;
}

} // namespace

// The filter type of --type, or the document's.
int FilterType(const CliArgs& args, const COlvexDoc& doc) {
    return args.Has("type") ? ParseFilterType(args.Value("type")) : doc.m_nFilterType;
}

// A list of `count` numbers ("200,250") into `values`; false with the refusal printed.
bool ReadFrequencies(const CliArgs& args, const char* name, size_t count, const char* needs,
                     double* values) {
    const std::vector<std::string> parts = SplitList(args.Value(name));
    if (parts.size() != count) {
        std::fprintf(stderr, "--%s: this filter type needs %s\n", name, needs);
        return false;
    }
    for (size_t i = 0; i < count; ++i) {
        if (!files::ParseDouble(parts[i], values[i])) {
            std::fprintf(stderr, "--%s: Please enter a number.\n", name);
            return false;
        }
    }
    return true;
}

// The FIR dialog's fields: the document's as the dialog shows them, then the options given.
bool FirRequest(const CliArgs& args, const COlvexDoc& doc, int type,
                commands::FirDesignRequest& request) {
    request = commands::FirRequestFromDocument(doc, type);
    if (!ReadDouble(args, "fs", request.fs) || !ReadInt(args, "taps", request.taps) ||
        !ReadDouble(args, "rr", request.rr) ||
        !ReadInt(args, "mult", request.multiplier, design::kMinMultiplier,
                 std::numeric_limits<int>::max())) {
        return false;
    }
    if (args.Has("edges")) {
        const bool four = design::IsThreeBand(type);
        return ReadFrequencies(args, "edges", four ? 4 : 2, four ? "4 band edges" : "2 band edges",
                               request.fc);
    }
    return true;
}

namespace {

// Says on standard error which band edges the adjustment moved, as its result dialog showed
// them: each edge that now differs from the one before the design.
void PrintEdgeAdjustment(const COlvexDoc& before, const COlvexDoc& now) {
    const double was[4] = {before.m_fc1, before.m_fc2, before.m_fc3, before.m_fc4};
    const double is[4] = {now.m_fc1, now.m_fc2, now.m_fc3, now.m_fc4};
    std::string text = "Auto Band Edge Adjustment:";
    for (int i = 0; i < 4; ++i) {
        if (is[i] != was[i]) {
            char item[64];
            std::snprintf(item, sizeof item, " fc%d = %.17g", i + 1, is[i]);
            text += item;
        }
    }
    std::fprintf(stderr, "%s\n", text.c_str());
}

// The adjustment the window offers after a failed design, taken as proposed. The proposed tap
// count is said on standard error; one outside the dialog's range is refused by its check, so
// nothing is taken and the design runs again unchanged.
commands::DesignOutcome DesignAgainWithProposal(RunState& run, int type, bool taps,
                                                const commands::DesignProposal& proposal) {
    commands::FirAdjustment confirmed;
    confirmed.kind =
        taps ? commands::FirAdjustment::Kind::kTaps : commands::FirAdjustment::Kind::kEdges;
    confirmed.taps = proposal.taps;
    confirmed.edges = proposal.edges;
    confirmed.confirmed = true;
    if (taps) {
        std::fprintf(stderr, "Auto Tap Count Adjustment: N = %d\n", proposal.taps);
        // The tap count the result dialog shows goes through the dialog's own range check.
        commands::FirDesignRequest proposed = commands::FirRequestFromDocument(run.doc, type);
        proposed.taps = proposal.taps;
        const commands::Outcome check = commands::CheckFirRequest(proposed);
        if (check.Is(commands::OutcomeKind::kOutOfRange) &&
            check.range.field == design::kFieldTaps) {
            std::fprintf(stderr, "The proposed tap count is outside %.0f..%.0f.\n", check.range.low,
                         check.range.high);
            confirmed.confirmed = false;
        }
    }
    return commands::RunAdjustedFirDesign(run.doc, type, confirmed);
}

} // namespace

int DesignFirFromArgs(const CliArgs& args, RunState& run) {
    if (WantsRequirements(args)) {
        return DesignFirFromRequirementArgs(args, run);
    }
    const int type = FilterType(args, run.doc);
    commands::FirDesignRequest request;
    if (!FirRequest(args, run.doc, type, request)) {
        return kExitInvalid;
    }
    run.m_nFirIir = 0;
    const COlvexDoc before = run.doc;
    commands::DesignOutcome outcome = commands::CheckFirRequest(request);
    if (outcome.Is(commands::OutcomeKind::kAccepted)) {
        outcome = commands::StoreFirRequest(run.doc, request);
    }
    const int refused = ReportOutcome(outcome, FirFieldOptions());
    if (refused != kExitOk) {
        return refused;
    }
    outcome = commands::RunFirDesign(run.doc, type);
    const bool adjusted = args.Has("auto") && outcome.Is(commands::OutcomeKind::kDesignFailed);
    const bool adjustTaps = adjusted && args.Value("auto") == "taps";
    if (adjusted) {
        outcome = DesignAgainWithProposal(run, type, adjustTaps, outcome.proposal);
    }
    // A failed design leaves the document as it was before.
    if (outcome.Is(commands::OutcomeKind::kDesignFailed)) {
        run.doc = before;
    }
    if (adjusted && !adjustTaps) {
        PrintEdgeAdjustment(before, run.doc);
    }
    if (outcome.Is(commands::OutcomeKind::kDesignFailed)) {
        std::fprintf(stderr, adjusted ? "The design failed again after the adjustment.\n"
                                      : "The design failed (Remez exchange); try --auto taps or "
                                        "--auto edges.\n");
        return kExitDesignFailed;
    }
    run.m_bNoDesign = 0;
    run.m_bCoeffsListed = 0;
    // Every band may meet its figures while the response rises far above them in between.
    if (const std::string peak = commands::TransitionPeakNoteOf(run.doc, false); !peak.empty()) {
        std::fprintf(stderr, "Warning: the %s.\n", peak.c_str());
    }
    if (outcome.Is(commands::OutcomeKind::kShortOfOptimum)) {
        std::fprintf(stderr,
                     "The design is short of the equiripple optimum: weighted ripple %.6g, "
                     "target %.6g.\n",
                     outcome.achievedRipple, outcome.targetRipple);
    }
    return kExitOk;
}

int DesignIirFromArgs(const CliArgs& args, RunState& run) {
    if (WantsRequirements(args)) {
        return DesignIirFromRequirementArgs(args, run);
    }
    const int type = FilterType(args, run.doc);
    commands::IirDesignRequest request = commands::IirRequestFromDocument(run.doc, type);
    if (!ReadInt(args, "sections", request.sections) ||
        !ReadDouble(args, "ripple", request.rippleDb) || !ReadDouble(args, "fs", request.fs) ||
        !ReadIirMethod(args, request.method) || !ReadDouble(args, "atten", request.attenDb)) {
        return kExitInvalid;
    }
    if (args.Has("cutoff")) {
        const bool two = design::IsThreeBand(type);
        double cutoff[2] = {request.fc1, request.fc2};
        if (!ReadFrequencies(args, "cutoff", two ? 2 : 1,
                             two ? "2 cut-off frequencies" : "1 cut-off frequency", cutoff)) {
            return kExitInvalid;
        }
        request.fc1 = cutoff[0];
        request.fc2 = cutoff[1];
    }
    run.m_nFirIir = 1;
    const commands::DesignOutcome outcome = commands::DesignIir(run.doc, request);
    const int status = ReportOutcome(outcome, IirFieldOptions());
    if (status == kExitOk) {
        run.m_bNoDesign = 0;
        run.m_bCoeffsListed = 0;
    }
    return status;
}

int RunFir(const CliArgs& args, RunState& run) {
    int status = CheckMeasureOptions(args);
    if (status == kExitOk) {
        status = DesignFirFromArgs(args, run);
    }
    if (status == kExitOk) {
        status = RunCoefficientActions(args, run);
    }
    if (status != kExitOk) {
        return status;
    }
    // The taps stand, but a design short of the optimum is not reported as done.
    return run.doc.m_bOptimumReached != 0 ? kExitOk : kExitShortOfOptimum;
}

int RunIir(const CliArgs& args, RunState& run) {
    int status = CheckMeasureOptions(args);
    if (status == kExitOk) {
        status = DesignIirFromArgs(args, run);
    }
    return status == kExitOk ? RunCoefficientActions(args, run) : status;
}

} // namespace cli
