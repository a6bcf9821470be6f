// vantrel-cli fir: the FIR branch of the Design command from flags.
//
// Checks and stores the parameters exactly as the FIR parameter dialog does, designs, and on a
// failed design optionally applies the tap-count or band-edge proposal once and designs again.
// --quantize B then prints the quantized taps; --response FILE writes the frequency response.
#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "platform/NumberText.h"

#include <cstdio>
#include <string>

namespace cli {

namespace {

// Reads and checks the FIR options into the document. Returns kExitOk or the exit status.
int StoreFirParameters(const CliArgs& args, COlvexDoc& doc, int& type) {
    type = doc.m_nFilterType;
    if (args.Has("type")) {
        type = ParseFilterType(args.Value("type"));
        if (type < 0) {
            std::fprintf(stderr, "--type: expected lpf, hpf, brf or bpf\n");
            return kExitInvalid;
        }
    }
    double fs = doc.m_fs;
    double fc[4] = {doc.m_fc1, doc.m_fc2, doc.m_fc3, doc.m_fc4};
    double rr = doc.m_dRR;
    int taps = design::ShownFirTapCount(doc);
    int mult = doc.m_nCoeffMultiplier;
    if (!ReadDouble(args, "fs", fs) || !ReadDouble(args, "rr", rr) ||
        !ReadInt(args, "taps", taps) || !ReadInt(args, "mult", mult)) {
        return kExitInvalid;
    }
    if (args.Has("edges")) {
        const std::vector<std::string> parts = SplitList(args.Value("edges"));
        const size_t wanted = design::IsThreeBand(type) ? 4 : 2;
        if (parts.size() != wanted) {
            std::fprintf(stderr, "--edges: this filter type needs %zu band edges\n", wanted);
            return kExitInvalid;
        }
        for (size_t i = 0; i < parts.size(); ++i) {
            if (!platform::ParseDouble(parts[i], fc[i])) {
                std::fprintf(stderr, "--edges: Please enter a number.\n");
                return kExitInvalid;
            }
        }
    }
    if (taps < COlvexDoc::kMinDialogTaps || taps > COlvexDoc::kMaxDialogTaps) {
        std::fprintf(stderr, "--taps: Please enter an integer between %d and %d.\n",
                     COlvexDoc::kMinDialogTaps, COlvexDoc::kMaxDialogTaps);
        return kExitInvalid;
    }
    int field = design::kFieldNone;
    const std::string refusal = design::CheckFirDialogValues(type, fs, fc, rr, mult, field);
    if (!refusal.empty()) {
        ReportRangeRefusal(field, "edges", refusal);
        return kExitInvalid;
    }
    design::Warning warning;
    if (!design::CheckFirEdges(type, fs, fc[0], fc[1], fc[2], fc[3], warning)) {
        std::fprintf(stderr, "%s\n", warning.OneLine().c_str());
        return kExitInvalid;
    }
    doc.m_fc1 = fc[0];
    doc.m_fc2 = fc[1];
    if (design::IsThreeBand(type)) {
        doc.m_fc3 = fc[2];
        doc.m_fc4 = fc[3];
    }
    doc.m_dRR = rr;
    doc.m_nCoeffMultiplier = mult;
    doc.m_fs = fs;
    doc.m_bQuantize = 0;
    doc.m_nCoeffFormat = 0;
    if (design::IsThreeBand(type) &&
        design::FirBandsUnbalanced(doc.m_fc1, doc.m_fc2, doc.m_fc3, doc.m_fc4, warning)) {
        std::fprintf(stderr, "%s\n", warning.OneLine().c_str());
    }
    design::StoreFirTapCount(doc, type, taps);
    doc.m_nFilterType = type;
    return kExitOk;
}

// Applies the proposal of the chosen kind once, as the adjustment dialog would store it.
int ApplyProposal(const std::string& kind, COlvexDoc& doc, int type) {
    if (kind == "taps") {
        const int n = doc.EstimateTaps();
        std::fprintf(stderr, "Auto Tap Count Adjustment: N = %d\n", n);
        if (n < COlvexDoc::kMinDialogTaps || n > COlvexDoc::kMaxDialogTaps) {
            std::fprintf(stderr, "The proposed tap count is outside %d..%d.\n",
                         COlvexDoc::kMinDialogTaps, COlvexDoc::kMaxDialogTaps);
            return kExitDesignFailed;
        }
        design::StoreFirTapCount(doc, type, n);
        return kExitOk;
    }
    const design::EdgeProposal p = design::ProposeEdges(doc, type);
    std::string text = "Auto Band Edge Adjustment:";
    for (int i = 0; i < 4; ++i) {
        if (p.adjusted[i]) {
            char item[64];
            std::snprintf(item, sizeof item, " fc%d = %.17g", i + 1, p.fc[i]);
            text += item;
        }
    }
    std::fprintf(stderr, "%s\n", text.c_str());
    design::StoreEdgeProposal(doc, p);
    return kExitOk;
}

} // namespace

int DesignFirFromArgs(const CliArgs& args, COlvexDoc& doc) {
    std::string autoKind;
    if (args.Has("auto")) {
        autoKind = args.Value("auto");
        if (autoKind != "taps" && autoKind != "edges") {
            std::fprintf(stderr, "--auto: expected taps or edges\n");
            return kExitInvalid;
        }
    }
    int type = 0;
    const int status = StoreFirParameters(args, doc, type);
    if (status != kExitOk) {
        return status;
    }
    doc.m_bDesignOk = 1;
    doc.DesignFir(type);
    if (doc.m_bDesignOk == 0) {
        if (autoKind.empty()) {
            std::fprintf(stderr, "The design failed (Remez exchange); try --auto taps or "
                                 "--auto edges.\n");
            return kExitDesignFailed;
        }
        const int adjusted = ApplyProposal(autoKind, doc, type);
        if (adjusted != kExitOk) {
            return adjusted;
        }
        doc.m_bDesignOk = 1;
        doc.DesignFir(type);
        if (doc.m_bDesignOk == 0) {
            std::fprintf(stderr, "The design failed again after the adjustment.\n");
            return kExitDesignFailed;
        }
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

const std::set<std::string>& FirOptions() {
    static const std::set<std::string> options = [] {
        std::set<std::string> all = FirDesignOptions();
        all.insert({"response", "quantize", "format", "save-coeffs"});
        all.insert(VhdlOptions().begin(), VhdlOptions().end());
        all.insert(MeasureOptions().begin(), MeasureOptions().end());
        return all;
    }();
    return options;
}

int RunFir(const CliArgs& args, COlvexDoc& doc) {
    int status = CheckMeasureOptions(args);
    if (status == kExitOk) {
        status = DesignFirFromArgs(args, doc);
    }
    if (status == kExitOk) {
        status = ApplyCoefficientOptions(args, doc, false);
    }
    if (status == kExitOk) {
        status = WriteVhdlOutputs(args, doc, false);
    }
    if (status != kExitOk) {
        return status;
    }
    if (WantsMeasureOutput(args)) {
        PrintMeasureOutputs(args, doc, false);
    } else if (args.Has("report")) {
        PrintReport(doc, false);
    } else {
        const int shown = design::ShownFirTapCount(doc);
        for (int n = 0; n < shown && n < COlvexDoc::kMaxFirTaps; ++n) {
            const double h = doc.m_aFirCoeffs[n];
            PrintValue(doc.m_bQuantize == 1 ? doc.Quantize(h) : h);
        }
    }
    status = SaveCoeffFileOption(args, doc, false);
    if (status != kExitOk) {
        return status;
    }
    if (args.Has("response")) {
        doc.FirResponse();
        status = WriteResponseFile(args.Value("response"), doc);
        if (status != kExitOk) {
            return status;
        }
    }
    // The taps stand, but a design short of the optimum is not reported as done.
    return doc.m_bOptimumReached != 0 ? kExitOk : kExitShortOfOptimum;
}

} // namespace cli
