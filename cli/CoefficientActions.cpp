// The actions of fir, iir and load once the document holds coefficients: the same sequence for a
// design and for a loaded file, so each command takes the same options in the same order.
//   --quantize B, --format real|bin|dec|hex, --report   Coefficients (the report is its text)
//   --gain-range, --freq-zoom, --freq-start              F-Response
//   --save-coeffs FILE                                   Save Coefficients
//   --response FILE                                      the 360 response points
//   --export FILE --export-format                       the coefficients for another tool
#include <cmath>
#include <cstdio>
#include <string>

#include "app/AnalysisCommands.h"
#include "app/CoefficientsCommands.h"
#include "app/FileCommands.h"
#include "app/ViewCommands.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "cli/ExportOptions.h"
#include "cli/PlotOptions.h"
#include "files/InputFile.h"
#include "files/OutputFile.h"

namespace cli {

namespace {

// Format names -> the number form of the Coefficients dialog (0 Real .. 3 Hex).
int ParseFormat(const std::string& text) {
    static const char* const kNames[] = {"real", "bin", "dec", "hex"};
    for (int f = 0; f < 4; ++f) {
        if (text == kNames[f]) {
            return f;
        }
    }
    return 0;
}

// F-Response from --gain-range, --freq-zoom and --freq-start, when any of them is given.
int ApplyResponseOptions(const CliArgs& args, RunState& run) {
    if (!args.Has("gain-range") && !args.Has("freq-zoom") && !args.Has("freq-start")) {
        return kExitOk;
    }
    commands::ResponseRequest request;
    request.gainRange = run.doc.m_dGainRange;
    request.zoom = run.doc.m_nRespFreqZoom;
    request.startPos = run.doc.m_nRespStartPos;
    if (!ReadDouble(args, "gain-range", request.gainRange) ||
        !ReadZoom(args, "freq-zoom", request.zoom) ||
        !ReadInt(args, "freq-start", request.startPos)) {
        return kExitInvalid;
    }
    return ReportOutcome(commands::FResponse(run.doc, request),
                         {{design::kFieldGainRange, "gain-range"},
                          {design::kFieldZoom, "freq-zoom"},
                          {design::kFieldStartPos, "freq-start"}});
}

// Save Coefficients: the coefficient file in the format the Coefficients settings chose. The
// window's message comes first, then the path with the system's reason.
int SaveCoefficientFile(const CliArgs& args, const RunState& run) {
    if (!args.Has("save-coeffs")) {
        return kExitOk;
    }
    commands::SaveCoefficientsRequest request;
    request.iir = run.Iir();
    request.coefficientsListed = run.m_bCoeffsListed != 0;
    request.path = args.Value("save-coeffs");
    const commands::Outcome outcome = commands::SaveCoefficients(run.doc, request);
    if (outcome.Is(commands::OutcomeKind::kFileNotWritten) &&
        outcome.path != files::kStandardStreamPath) {
        std::fprintf(stderr, "%s (%s)\n", outcome.message.c_str(), outcome.reason.c_str());
        return kExitFileError;
    }
    return ReportOutcome(outcome, {});
}

// --response FILE: "index gain phase", one line per point, through the output-file component
// like every file the program writes.
int WriteResponseFile(const CliArgs& args, RunState& run) {
    if (!args.Has("response")) {
        return kExitOk;
    }
    NoteUnstable(run);
    std::string text;
    for (const commands::ResponsePoint& point : commands::ResponsePoints(run.doc, run.Iir())) {
        // Where the response is exactly zero its gain has no value in dB: "silent".
        const bool silent = std::isinf(point.gainDb) && point.gainDb < 0.0;
        text += std::to_string(point.index) + " " +
                (silent ? std::string("silent") : commands::TableNumber(point.gainDb)) + " " +
                commands::TableNumber(point.phase) + "\n";
    }
    const files::OutputResult written = files::WriteOutputFile(args.Value("response"), text);
    if (!written.ok) {
        std::fprintf(stderr, "--response: %s\n", written.Describe().c_str());
        return kExitFileError;
    }
    return kExitOk;
}

// The taps (one per line) or the eight sections ("a0 a1 a2 b1 b2"), quantized when it is on.
void PrintCoefficients(const RunState& run) {
    const COlvexDoc& doc = run.doc;
    const auto shown = [&doc](double c) { return doc.m_bQuantize == 1 ? doc.Quantize(c) : c; };
    if (run.Iir()) {
        for (int s = 0; s < COlvexDoc::kIirSections; ++s) {
            std::fprintf(run.listing.Stream(), "%.17g %.17g %.17g %.17g %.17g\n",
                         shown(doc.m_aA0[s]), shown(doc.m_aA1[s]), shown(doc.m_aA2[s]),
                         shown(doc.m_aB1[s]), shown(doc.m_aB2[s]));
        }
        return;
    }
    // The taps every analysis, report, file and the VHDL take: K * h (--mult), truncated to B
    // bits while quantizing.
    for (const double tap : doc.TakeCoefficients(false).taps) {
        PrintValue(run.listing.Stream(), tap);
    }
}

} // namespace

int ApplyCoefficientOptions(const CliArgs& args, RunState& run) {
    // A coefficient file takes its format from the same settings as the report.
    if (args.Has("format") && !args.Has("report") && !args.Has("save-coeffs")) {
        std::fprintf(stderr, "--format: only with --report or --save-coeffs\n");
        return kExitInvalid;
    }
    if (!args.Has("quantize") && !args.Has("report") && !args.Has("save-coeffs")) {
        return kExitOk;
    }
    commands::CoefficientsRequest request;
    request.iir = run.Iir();
    const bool keeps = run.keepsCoefficientSettings;
    request.quantize = args.Has("quantize") ? 1 : (keeps ? run.doc.m_bQuantize : 0);
    request.bits = run.doc.m_nQuantBits;
    request.format = args.Has("format") ? ParseFormat(args.Value("format"))
                                        : (keeps ? run.doc.m_nCoeffFormat : 0);
    if (!ReadInt(args, "quantize", request.bits)) {
        return kExitInvalid;
    }
    commands::Outcome outcome = commands::Coefficients(run.doc, request);
    if (outcome.Is(commands::OutcomeKind::kRefused)) {
        // The dialog's warnings name its "Quantize" check box: with quantization on, the bit
        // length was refused; with it off, a number form that needs it.
        outcome.warning.lines = {request.quantize == 1
                                     ? "--quantize: " + outcome.warning.OneLine()
                                     : std::string("--format bin, dec and hex need --quantize B.")};
    }
    if (outcome.Is(commands::OutcomeKind::kAccepted) && !outcome.message.empty()) {
        std::fprintf(stderr, "%s\n", outcome.message.c_str());
    }
    const int status = ReportOutcome(outcome, {{design::kFieldQuantBits, "quantize"}});
    run.m_bCoeffsListed = run.m_bCoeffsListed != 0 || status == kExitOk ? 1 : 0;
    return status;
}

int RunCoefficientActions(const CliArgs& args, RunState& run) {
    int status = ApplyCoefficientOptions(args, run);
    // An export that would be refused is refused before any file is written.
    if (status == kExitOk) {
        status = CheckExportOption(args, run);
    }
    if (status == kExitOk) {
        status = ApplyResponseOptions(args, run);
    }
    if (status == kExitOk) {
        status = WriteVhdlOutputs(args, run);
    }
    if (status != kExitOk) {
        return status;
    }
    if (args.Has("hw-report")) {
        status = PrintHardwareReport(args, run);
        if (status != kExitOk) {
            return status;
        }
    } else if (WantsRateChangeOutputs(args)) {
        status = PrintRateChangeOutputs(args, run);
        if (status != kExitOk) {
            return status;
        }
    } else if (WantsMeasureOutput(args)) {
        PrintMeasureOutputs(args, run);
    } else if (args.Has("table")) {
        PrintTableOption(args, run);
    } else if (args.Has("report")) {
        std::fputs(commands::CoefficientReport(run.doc, run.Iir(), "\n").c_str(),
                   run.listing.Stream());
    } else {
        PrintCoefficients(run);
    }
    status = SaveCoefficientFile(args, run);
    if (status == kExitOk) {
        status = WriteExportOption(args, run);
    }
    return status == kExitOk ? WriteResponseFile(args, run) : status;
}

} // namespace cli
