// vantrel-cli iir: the IIR branch of the Design command from flags.
//
// Checks the parameters as the IIR parameter dialog does (section range, then the warnings of
// the dialog), stores them and designs the cascade. Prints the eight sections, one per line as
// "a0 a1 a2 b1 b2"; with --quantize B the quantized values. --response FILE writes the response.
#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "platform/NumberText.h"

#include <cstdio>
#include <string>

namespace cli {

namespace {

// Reads --cutoff: one frequency for LPF/HPF, two for BRF/BPF.
bool ReadCutoff(const CliArgs& args, int type, double& fc1, double& fc2) {
    if (!args.Has("cutoff")) {
        return true;
    }
    const std::vector<std::string> parts = SplitList(args.Value("cutoff"));
    const size_t wanted = design::IsThreeBand(type) ? 2 : 1;
    if (parts.size() != wanted) {
        std::fprintf(stderr, "--cutoff: this filter type needs %zu cut-off frequenc%s\n", wanted,
                     wanted == 1 ? "y" : "ies");
        return false;
    }
    double* const fields[2] = {&fc1, &fc2};
    for (size_t i = 0; i < wanted; ++i) {
        if (!platform::ParseDouble(parts[i], *fields[i])) {
            std::fprintf(stderr, "--cutoff: Please enter a number.\n");
            return false;
        }
    }
    return true;
}

} // namespace

int DesignIirFromArgs(const CliArgs& args, COlvexDoc& doc) {
    int type = doc.m_nFilterType;
    if (args.Has("type")) {
        type = ParseFilterType(args.Value("type"));
        if (type < 0) {
            std::fprintf(stderr, "--type: expected lpf, hpf, brf or bpf\n");
            return kExitInvalid;
        }
    }
    int sections = doc.m_nIirSections;
    double ripple = doc.m_dRippleDb;
    double fs = doc.m_fs;
    double fc1 = doc.m_dIirFc1;
    double fc2 = doc.m_dIirFc2;
    if (!ReadInt(args, "sections", sections) || !ReadDouble(args, "ripple", ripple) ||
        !ReadDouble(args, "fs", fs) || !ReadCutoff(args, type, fc1, fc2)) {
        return kExitInvalid;
    }
    const int lowest = design::MinIirSections(type);
    if (sections < lowest || sections > design::MaxIirSections()) {
        std::fprintf(stderr, "--sections: Please enter an integer between %d and %d.\n", lowest,
                     design::MaxIirSections());
        return kExitInvalid;
    }
    int field = design::kFieldNone;
    const std::string refusal = design::CheckIirDialogValues(type, ripple, fc1, fc2, fs, field);
    if (!refusal.empty()) {
        ReportRangeRefusal(field, "cutoff", refusal);
        return kExitInvalid;
    }
    design::Warning warning;
    if (!design::CheckIirParameters(type, sections, fs, fc1, fc2, warning)) {
        ReportWarning(warning.OneLine());
        return kExitInvalid;
    }
    design::StoreIirParameters(doc, type, sections, ripple, fc1, fc2, fs);
    if (!doc.DesignIir()) {
        std::fprintf(stderr, "The IIR design failed: the parameters give no finite filter "
                             "(check the ripple, fs and the cut-off frequencies).\n");
        return kExitDesignFailed;
    }
    return kExitOk;
}

const std::set<std::string>& IirDesignOptions() {
    static const std::set<std::string> options = {"type", "fs", "cutoff", "sections", "ripple"};
    return options;
}

const std::set<std::string>& IirOptions() {
    static const std::set<std::string> options = [] {
        std::set<std::string> all = IirDesignOptions();
        all.insert({"response", "quantize", "format", "save-coeffs"});
        all.insert(VhdlOptions().begin(), VhdlOptions().end());
        all.insert(MeasureOptions().begin(), MeasureOptions().end());
        return all;
    }();
    return options;
}

int RunIir(const CliArgs& args, COlvexDoc& doc) {
    int status = CheckMeasureOptions(args);
    if (status == kExitOk) {
        status = DesignIirFromArgs(args, doc);
    }
    if (status == kExitOk) {
        status = ApplyCoefficientOptions(args, doc, true);
    }
    if (status == kExitOk) {
        status = WriteVhdlOutputs(args, doc, true);
    }
    if (status != kExitOk) {
        return status;
    }
    if (WantsMeasureOutput(args)) {
        PrintMeasureOutputs(args, doc, true);
    } else if (args.Has("report")) {
        PrintReport(doc, true);
    } else {
        const auto shown = [&doc](double c) { return doc.m_bQuantize == 1 ? doc.Quantize(c) : c; };
        for (int s = 0; s < COlvexDoc::kIirSections; ++s) {
            std::printf("%.17g %.17g %.17g %.17g %.17g\n", shown(doc.m_aA0[s]), shown(doc.m_aA1[s]),
                        shown(doc.m_aA2[s]), shown(doc.m_aB1[s]), shown(doc.m_aB2[s]));
        }
    }
    status = SaveCoeffFileOption(args, doc, true);
    if (status != kExitOk) {
        return status;
    }
    if (args.Has("response")) {
        doc.IirResponse();
        return WriteResponseFile(args.Value("response"), doc);
    }
    return kExitOk;
}

} // namespace cli
