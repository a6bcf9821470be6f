// vantrel-cli fir and iir from requirements: --ap and --as (and, for iir, --stop) replace the
// tap count and RR, or the section count and the ripple. The chosen values go to standard
// error as "taps N rr X" or "sections n ripple A"; the other actions then run on the design.
#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <iterator>
#include <string>

#include "app/DesignCommands.h"
#include "app/RequirementsCommands.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"

namespace cli {

namespace {

const FieldOptions& FirFieldOptions() {
    static const FieldOptions options = {
        {design::kFieldFs, "fs"},     {design::kFieldFc1, "edges"},
        {design::kFieldFc2, "edges"}, {design::kFieldFc3, "edges"},
        {design::kFieldFc4, "edges"}, {design::kFieldMultiplier, "mult"},
        {design::kFieldAp, "ap"},     {design::kFieldAs, "as"},
    };
    return options;
}

const FieldOptions& IirFieldOptions() {
    static const FieldOptions options = {
        {design::kFieldFs, "fs"},      {design::kFieldFc1, "cutoff"}, {design::kFieldFc2, "cutoff"},
        {design::kFieldAp, "ap"},      {design::kFieldAs, "as"},      {design::kFieldStop, "stop"},
        {design::kFieldStop2, "stop"}, {design::kFieldRipple, "ap"},
    };
    return options;
}

// The options a requirements design needs, and those it replaces; false with the refusal printed.
bool OptionsFit(const CliArgs& args, std::initializer_list<const char*> needed,
                std::initializer_list<const char*> replaced) {
    for (const char* name : needed) {
        if (!args.Has(name)) {
            std::fprintf(stderr, "--%s: a design from requirements needs it\n", name);
            return false;
        }
    }
    for (const char* name : replaced) {
        if (args.Has(name)) {
            std::fprintf(stderr, "--%s: not with --ap and --as, which choose it\n", name);
            return false;
        }
    }
    return true;
}

// The design stands (or the refusal's status): the run holds it; a requirement that cannot be
// met says what the best design reaches and is exit status 3.
int Finish(const commands::RequirementsOutcome& outcome, RunState& run) {
    if (!outcome.met) {
        std::fprintf(stderr, "%s\n", outcome.message.c_str());
        return kExitDesignFailed;
    }
    run.m_bNoDesign = 0;
    run.m_bCoeffsListed = 0;
    return kExitOk;
}

} // namespace

bool WantsRequirements(const CliArgs& args) {
    return args.Has("ap") || args.Has("as") || args.Has("stop");
}

int DesignFirFromRequirementArgs(const CliArgs& args, RunState& run) {
    if (!OptionsFit(args, {"ap", "as"}, {"taps", "rr", "auto", "stop"})) {
        return kExitInvalid;
    }
    const int type = FilterType(args, run.doc);
    commands::FirDesignRequest fields;
    commands::FirRequirementsRequest request;
    if (!FirRequest(args, run.doc, type, fields) || !ReadDouble(args, "ap", request.apDb) ||
        !ReadDouble(args, "as", request.asDb)) {
        return kExitInvalid;
    }
    request.type = type;
    request.fs = fields.fs;
    std::copy(std::begin(fields.fc), std::end(fields.fc), request.fc);
    request.multiplier = fields.multiplier;
    run.m_nFirIir = 0;
    const commands::RequirementsOutcome outcome =
        commands::DesignFirFromRequirements(run.doc, request);
    const int refused = ReportOutcome(outcome, FirFieldOptions());
    if (refused != kExitOk) {
        return refused;
    }
    std::fprintf(stderr, "taps %d rr %.17g\n", outcome.taps, outcome.rr);
    if (outcome.Is(commands::OutcomeKind::kShortOfOptimum)) {
        std::fprintf(stderr,
                     "The design is short of the equiripple optimum: weighted ripple %.6g, "
                     "target %.6g.\n",
                     outcome.achievedRipple, outcome.targetRipple);
    }
    const int status = Finish(outcome, run);
    if (status == kExitOk && outcome.transitionAbovePass) {
        std::fprintf(stderr, "%s\n", outcome.transitionText.c_str());
        return kExitShortOfOptimum;
    }
    return status;
}

int DesignIirFromRequirementArgs(const CliArgs& args, RunState& run) {
    if (!OptionsFit(args, {"ap", "as", "stop"}, {"sections", "ripple", "atten"})) {
        return kExitInvalid;
    }
    const int type = FilterType(args, run.doc);
    const commands::IirDesignRequest fields = commands::IirRequestFromDocument(run.doc, type);
    commands::IirRequirementsRequest request;
    request.type = type;
    request.fs = fields.fs;
    request.fc1 = fields.fc1;
    request.fc2 = fields.fc2;
    request.method = fields.method;
    if (!ReadDouble(args, "ap", request.apDb) || !ReadDouble(args, "as", request.asDb) ||
        !ReadDouble(args, "fs", request.fs) || !ReadIirMethod(args, request.method)) {
        return kExitInvalid;
    }
    const bool two = design::IsThreeBand(type);
    if (args.Has("cutoff")) {
        double cutoff[2] = {request.fc1, request.fc2};
        if (!ReadFrequencies(args, "cutoff", two ? 2 : 1,
                             two ? "2 cut-off frequencies" : "1 cut-off frequency", cutoff)) {
            return kExitInvalid;
        }
        request.fc1 = cutoff[0];
        request.fc2 = cutoff[1];
    }
    double stop[2] = {0.0, 0.0};
    if (!ReadFrequencies(args, "stop", two ? 2 : 1, two ? "2 stop band edges" : "1 stop band edge",
                         stop)) {
        return kExitInvalid;
    }
    request.stop1 = stop[0];
    request.stop2 = stop[1];
    run.m_nFirIir = 1;
    const commands::RequirementsOutcome outcome =
        commands::DesignIirFromRequirements(run.doc, request);
    const int refused = ReportOutcome(outcome, IirFieldOptions());
    if (refused != kExitOk) {
        return refused;
    }
    std::fprintf(stderr, "sections %d ripple %.17g\n", outcome.sections, request.apDb);
    if (outcome.cutoff1 != request.fc1 || (two && outcome.cutoff2 != request.fc2)) {
        std::fprintf(stderr, "cutoff %.17g,%.17g\n", outcome.cutoff1, outcome.cutoff2);
    }
    return Finish(outcome, run);
}

} // namespace cli
