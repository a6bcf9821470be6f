// --report, --quantize and --format of `fir` and `iir`: the settings the Coefficients dialog
// takes, checked and stored by the same code as the Coefficients command, and the same report
// text as the output box (with "\n" line ends).
#include <cstdio>
#include <string>

#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "coeffs/CoeffReport.h"

namespace cli {

namespace {

// Format names -> m_nCoeffFormat; -1 when unknown.
int ParseFormat(const std::string& text) {
    static const char* const kNames[] = {"real", "bin", "dec", "hex"};
    for (int f = coeffs::kFormatReal; f <= coeffs::kFormatHex; ++f) {
        if (text == kNames[f]) {
            return f;
        }
    }
    return -1;
}

} // namespace

const std::set<std::string>& ReportFlags() {
    static const std::set<std::string> flags = {"report"};
    return flags;
}

int ApplyCoefficientOptions(const CliArgs& args, COlvexDoc& doc, bool iir) {
    // A coefficient file takes its format from the same settings as the report.
    if (!args.Has("report") && !args.Has("save-coeffs")) {
        if (args.Has("format")) {
            std::fprintf(stderr, "--format: only with --report or --save-coeffs\n");
            return kExitInvalid;
        }
        return ApplyQuantizeOption(args, doc, iir);
    }
    const int quantize = args.Has("quantize") ? 1 : 0;
    int bits = doc.m_nQuantBits;
    if (quantize != 0) {
        if (!ReadInt(args, "quantize", bits)) {
            return kExitInvalid;
        }
        if (bits < design::kMinQuantBits || bits > design::kMaxQuantBits) {
            std::fprintf(stderr, "--quantize: Please enter an integer between %d and %d.\n",
                         design::kMinQuantBits, design::kMaxQuantBits);
            return kExitInvalid;
        }
    }
    int format = coeffs::kFormatReal;
    if (args.Has("format")) {
        format = ParseFormat(args.Value("format"));
        if (format < 0) {
            std::fprintf(stderr, "--format: expected real, bin, dec or hex\n");
            return kExitInvalid;
        }
    }
    design::Warning warning;
    if (!coeffs::StoreCoeffSettings(doc, iir, quantize, bits, format, warning)) {
        ReportWarning(warning.OneLine());
        return kExitInvalid;
    }
    return kExitOk;
}

void PrintReport(const COlvexDoc& doc, bool iir) {
    const std::string text = iir ? coeffs::IirReportText(doc, coeffs::kTextLineEnd)
                                 : coeffs::FirReportText(doc, coeffs::kTextLineEnd);
    std::fputs(text.c_str(), stdout);
}

} // namespace cli
