// vantrel-cli fir and iir: the Design command with the parameter dialog's fields taken from the
// options, the rest from the document as the dialog would show them. With --auto the adjustment
// the window offers after a failed FIR design is taken: the proposal of the chosen kind, as
// proposed, and one more design.
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

#include "app/DesignCommands.h"
#include "app/MeasureCommands.h"
#include "app/OlvexDoc.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "dsp/FirMethods.h"
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
        {design::kFieldBeta, "beta"},
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
    if (args.Has("method")) {
        request.method = dsp::FirMethodOfName(args.Value("method").c_str());
        if (request.method < 0) {
            std::fprintf(stderr, "--method: expected remez, ls, kaiser or halfband.\n");
            return false;
        }
    }
    if (args.Has("halfband")) {
        if (args.Has("method") && request.method != dsp::kFirHalfband) {
            std::fprintf(stderr, "--halfband: not with --method %s\n",
                         args.Value("method").c_str());
            return false;
        }
        request.method = dsp::kFirHalfband;
    }
    if (args.Has("beta")) {
        if (request.method != dsp::kFirKaiser) {
            std::fprintf(stderr, "--beta: only with --method kaiser\n");
            return false;
        }
        if (!ReadDouble(args, "beta", request.beta)) {
            return false;
        }
    }
    if (args.Has("edges") && request.method == dsp::kFirHalfband) {
        // The pass-band edge alone; a second edge, when given, must be the mirrored one.
        const std::vector<std::string> parts = SplitList(args.Value("edges"));
        if (parts.size() == 2 && !ReadFrequencies(args, "edges", 2, "", request.fc)) {
            return false;
        }
        if (parts.size() == 1 && !ReadFrequencies(args, "edges", 1, "", request.fc)) {
            return false;
        }
        if (parts.empty() || parts.size() > 2 ||
            (parts.size() == 2 &&
             std::abs(request.fc[1] - (0.5 * request.fs - request.fc[0])) > 1e-9 * request.fs)) {
            std::fprintf(stderr,
                         "--edges: a half-band filter takes its pass-band edge FP alone (its stop "
                         "band starts at fs/2 - FP)\n");
            return false;
        }
        request.fc[1] = 0.5 * request.fs - request.fc[0];
        return true;
    }
    if (args.Has("edges")) {
        const bool four = design::IsThreeBand(type);
        return ReadFrequencies(args, "edges", four ? 4 : 2, four ? "4 band edges" : "2 band edges",
                               request.fc);
    }
    return true;
}

namespace {

// ---- Hilbert transformers, differentiators and multiband layouts (--type, --bands) ------------

// --bands "F0,F1,G,W;F2,F3,G,W;...": up to dsp::kMaxFirBands bands of two edges (Hz), a gain and
// a weight each; false with the refusal printed.
bool ReadBandTable(const std::string& text, dsp::FirBands& bands) {
    std::vector<std::string> rows(1);
    for (char c : text) {
        if (c == ';') {
            rows.emplace_back();
        } else {
            rows.back() += c;
        }
    }
    if (rows.size() > static_cast<size_t>(dsp::kMaxFirBands)) {
        std::fprintf(stderr, "--bands: at most %d bands \"F0,F1,G,W;...\"\n", dsp::kMaxFirBands);
        return false;
    }
    bands = dsp::FirBands{};
    bands.nBands = static_cast<int>(rows.size());
    for (size_t b = 0; b < rows.size(); ++b) {
        const std::vector<std::string> parts = SplitList(rows[b]);
        double values[4] = {};
        bool numbers = parts.size() == 4;
        for (size_t i = 0; numbers && i < 4; ++i) {
            numbers = files::ParseDouble(parts[i], values[i]);
        }
        if (!numbers) {
            std::fprintf(stderr,
                         "--bands: band %zu is not \"F0,F1,G,W\" (two edges in Hz, a gain and a "
                         "weight)\n",
                         b + 1);
            return false;
        }
        bands.edges[2 * b] = values[0];
        bands.edges[2 * b + 1] = values[1];
        bands.desired[b] = values[2];
        bands.weight[b] = values[3];
    }
    return true;
}

// The kind --type and --bands ask for; kFilterType for lpf, hpf, brf, bpf. Without either, a
// document whose design ran on its band table designs that kind again.
dsp::FirKind RequestedFirKind(const CliArgs& args, const COlvexDoc& doc) {
    if (args.Has("type")) {
        const std::string& word = args.Value("type");
        if (word == "hilbert") {
            return dsp::FirKind::kHilbert;
        }
        if (word == "differentiator") {
            return dsp::FirKind::kDifferentiator;
        }
        return args.Has("bands") ? dsp::FirKind::kMultiband : dsp::FirKind::kFilterType;
    }
    return args.Has("bands") ? dsp::FirKind::kMultiband : doc.FirKind();
}

// The request of a band-table design: the document's fs, tap count and K, the options given, and
// the table of --bands, of --edges (one band of gain 1 and weight 1), the document's own table of
// the same kind, or a first band of the kind (0.05..0.45 fs for a Hilbert transformer, 0..0.45 fs
// for a differentiator, the type's layout for a multiband design).
bool BandTableRequest(const CliArgs& args, const COlvexDoc& doc, dsp::FirKind kind,
                      commands::FirDesignRequest& request) {
    if (args.Has("type") && kind == dsp::FirKind::kMultiband) {
        std::fprintf(stderr,
                     "--bands: a multiband design takes its bands from --bands alone; "
                     "leave out --type %s\n",
                     args.Value("type").c_str());
        return false;
    }
    if (args.Has("bands") && args.Has("edges")) {
        std::fprintf(stderr, "--bands: give the bands with --bands or --edges, not both\n");
        return false;
    }
    if (WantsRequirements(args)) {
        std::fprintf(stderr, "--ap, --as: design from requirements makes the filter types only\n");
        return false;
    }
    if (args.Has("auto") && args.Value("auto") == "edges") {
        std::fprintf(stderr, "--auto: the bands of this design are not moved; use --auto taps\n");
        return false;
    }
    request = commands::FirRequestFromDocument(doc, doc.m_nFilterType);
    request.taps = doc.m_nTaps;
    if (!ReadDouble(args, "fs", request.fs) || !ReadInt(args, "taps", request.taps) ||
        !ReadInt(args, "mult", request.multiplier, design::kMinMultiplier,
                 std::numeric_limits<int>::max())) {
        return false;
    }
    request.kind = kind;
    dsp::FirBands& bands = request.bands;
    if (args.Has("bands")) {
        if (!ReadBandTable(args.Value("bands"), bands)) {
            return false;
        }
    } else if (args.Has("edges")) {
        double edges[2] = {};
        if (!ReadFrequencies(args, "edges", 2, "2 band edges", edges)) {
            return false;
        }
        bands.nBands = 1;
        bands.edges[0] = edges[0];
        bands.edges[1] = edges[1];
        bands.desired[0] = 1.0;
        bands.weight[0] = 1.0;
    } else if (doc.FirKind() == kind) {
        bands = doc.BandTable();
        for (int i = 0; i < 2 * bands.nBands; ++i) {
            bands.edges[static_cast<size_t>(i)] *= doc.m_fs;
        }
    } else {
        bands.nBands = 1;
        bands.edges[0] = kind == dsp::FirKind::kHilbert ? 0.05 * request.fs : 0.0;
        bands.edges[1] = 0.45 * request.fs;
        bands.desired[0] = 1.0;
        bands.weight[0] = 1.0;
    }
    const design::RangeRefusal check = commands::CheckBandTable(bands, request.fs);
    if (check.Refused() && design::CheckSamplingFrequency(design::kFieldFs, request.fs).Refused()) {
        return true; // fs itself is refused by the request's check, which names --fs
    }
    if (check.Refused()) {
        std::fprintf(stderr, "--%s: %s\n", args.Has("bands") ? "bands" : "edges",
                     check.message.c_str());
        return false;
    }
    return true;
}

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
    const dsp::FirKind kind = RequestedFirKind(args, run.doc);
    const bool asked = args.Has("bands") || (args.Has("type") && kind != dsp::FirKind::kFilterType);
    if (WantsRequirements(args) && !asked) {
        // Design from requirements makes the filter type's layout, whatever the last design was.
        run.doc.m_nFirKind = static_cast<int>(dsp::FirKind::kFilterType);
        return DesignFirFromRequirementArgs(args, run);
    }
    const bool table = kind != dsp::FirKind::kFilterType;
    const int type = table ? run.doc.m_nFilterType : FilterType(args, run.doc);
    commands::FirDesignRequest request;
    if (table ? !BandTableRequest(args, run.doc, kind, request)
              : !FirRequest(args, run.doc, type, request)) {
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
        if (adjusted) {
            std::fprintf(stderr, "The design failed again after the adjustment.\n");
        } else if (table) {
            std::fprintf(stderr, "The design failed (Remez exchange); try --auto taps.\n");
        } else {
            std::fprintf(stderr, "The design failed (%s); try --auto taps or --auto edges.\n",
                         request.method == dsp::kFirRemez ? "Remez exchange"
                                                          : dsp::FirMethodTitle(request.method));
        }
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
        StoreRateOptions(args, run.doc);
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
