// The Coefficients and F-Response dialogs of fir, iir and load, answered from the options:
// --quantize B, --format real|bin|dec|hex and --report press Coefficients, whose report is the
// output box; --gain-range, --freq-zoom and --freq-start press F-Response.
#include <cstdio>
#include <string>

#include "app/OlvexDoc.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "cli/Session.h"
#include "coeffs/CoeffDialog.h"
#include "coeffs/CoeffReport.h"
#include "platform/ControlAccess.h"
#include "resources/AnalysisResources.h"
#include "resources/Resources.h"

namespace cli {

namespace {

// Format names -> index of the format radio group; -1 when unknown.
int ParseFormat(const std::string& text) {
    static const char* const kNames[] = {"real", "bin", "dec", "hex"};
    for (int f = coeffs::kFormatReal; f <= coeffs::kFormatHex; ++f) {
        if (text == kNames[f]) {
            return f;
        }
    }
    return -1;
}

// Presses a command whose dialog was prepared; a failed check or a warning that stored nothing
// is a refusal.
int PressPrepared(Session& session, int commandId, const ControlOptions& options) {
    const COlvexDoc before = session.Doc();
    const std::vector<Notice> notices = session.Press(commandId);
    const bool refused = PrintNotices(notices, options);
    if (refused || (AnyWarning(notices) && SameSettings(before, session.Doc()))) {
        return kExitInvalid;
    }
    return kExitOk;
}

} // namespace

int ApplyCoefficientOptions(const CliArgs& args, Session& session, bool iir) {
    // A coefficient file takes its format from the same settings as the report.
    if (args.Has("format") && !args.Has("report") && !args.Has("save-coeffs")) {
        std::fprintf(stderr, "--format: only with --report or --save-coeffs\n");
        return kExitInvalid;
    }
    if (!args.Has("quantize") && !args.Has("report") && !args.Has("save-coeffs")) {
        return kExitOk;
    }
    platform::DialogAnswer answer = platform::DialogAnswer::Ok(coeffs::kIddCoefficients);
    answer.Check(coeffs::kIdcQuantize, args.Has("quantize") ? 1 : 0);
    if (args.Has("quantize")) {
        answer.Text(coeffs::kIdcQuantBits, args.Value("quantize"));
    }
    int format = coeffs::kFormatReal;
    if (args.Has("format")) {
        format = ParseFormat(args.Value("format"));
        if (format < 0) {
            std::fprintf(stderr, "--format: expected real, bin, dec or hex\n");
            return kExitInvalid;
        }
    }
    answer.Radio(coeffs::kIdcFormatReal + format);
    session.Host().Prepare(answer);
    // The report is of the structure the form shows.
    session.Host().ClickFormRadio(iir ? resources::kIdcIir : resources::kIdcFir);
    session.View().UpdateData(true);
    return PressPrepared(session, resources::kIdcCoefficients,
                         {{coeffs::kIdcQuantBits, "quantize"}});
}

int ApplyResponseOptions(const CliArgs& args, Session& session) {
    if (!args.Has("gain-range") && !args.Has("freq-zoom") && !args.Has("freq-start")) {
        return kExitOk;
    }
    platform::DialogAnswer answer = platform::DialogAnswer::Ok(resources::kIddFreqResponse);
    if (args.Has("gain-range")) {
        answer.Text(resources::kIdcGainRange, args.Value("gain-range"));
    }
    if (!AddZoomAndStart(args, "freq-zoom", "freq-start", answer)) {
        return kExitInvalid;
    }
    session.Host().Prepare(answer);
    return PressPrepared(session, resources::kIdcFResponse,
                         {{resources::kIdcGainRange, "gain-range"}});
}

bool AddZoomAndStart(const CliArgs& args, const char* zoomOption, const char* startOption,
                     platform::DialogAnswer& answer) {
    if (args.Has(zoomOption)) {
        const std::string& zoom = args.Value(zoomOption);
        if (zoom != "1" && zoom != "10") {
            std::fprintf(stderr, "--%s: expected 1 or 10\n", zoomOption);
            return false;
        }
        answer.Radio(zoom == "10" ? resources::kIdcZoom10x : resources::kIdcZoom1x);
    }
    int start = platform::kSliderMin;
    if (!ReadInt(args, startOption, start)) {
        return false;
    }
    if (args.Has(startOption)) {
        if (start < platform::kSliderMin || start > platform::kSliderMax) {
            std::fprintf(stderr, "--%s: Please enter an integer between %d and %d.\n", startOption,
                         platform::kSliderMin, platform::kSliderMax);
            return false;
        }
        answer.Slider(resources::kIdcStartSlider, start);
    }
    return true;
}

int PressWithAnswer(Session& session, int commandId, const platform::DialogAnswer& answer,
                    const ControlOptions& options) {
    session.Host().Prepare(answer);
    return PressPrepared(session, commandId, options);
}

} // namespace cli
