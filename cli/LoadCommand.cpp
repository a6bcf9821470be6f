// vantrel-cli load FILE --structure fir|iir: Save/Load's Load Coefficients into a fresh document,
// then the coefficient actions of fir and iir (--quantize, --report --format, --response,
// --save-coeffs, --vhdl, ...), and the coefficients printed as fir and iir print them. The file
// brings no bands, so --measure and --advise-bits need them from --edges (--type, --fs).
//
// A file the reader warns about (no header, a malformed number, a token that is not a number)
// is refused: its warning goes to standard error, nothing to standard output, exit status 2.
#include <cstdio>
#include <string>

#include "app/FileCommands.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "dsp/QuantRules.h"
#include "files/InputFile.h"
#include "files/NumberText.h"

namespace cli {

namespace {

// A token from a hostile file, fit for a terminal: bytes outside printable ASCII become '?'.
std::string Printable(const std::string& token) {
    std::string text = token;
    for (char& c : text) {
        if (c < ' ' || c > '~') {
            c = '?';
        }
    }
    return text;
}

// B for a .coe that does not give its own: that of --quantize, when it is one the Coefficients
// command takes (its own check reports any other after the load).
int BitsOfQuantize(const CliArgs& args) {
    int bits = 0;
    if (!args.Has("quantize") || !files::ParseInt(args.Value("quantize"), bits) ||
        bits < coeffs::kMinQuantBits || bits > coeffs::kMaxQuantBits) {
        return 0;
    }
    return bits;
}

int LoadFile(const std::string& path, int bits, RunState& run) {
    const commands::LoadOutcome outcome =
        commands::LoadCoefficients(run.doc, {run.Iir(), path, bits}, run.m_nLoadFormat);
    run.m_bCoeffsListed = 0;
    const int status = ReportOutcome(outcome, {});
    if (status != kExitOk || outcome.notices.empty()) {
        return status;
    }
    // A file read only in part: the token the reader stopped at.
    if (!outcome.text.empty()) {
        std::fprintf(stderr, "%s: value %d, '%s', is not a number\n",
                     files::QuotedPath(path).c_str(), outcome.valuesRead + 1,
                     Printable(outcome.text).c_str());
    }
    return kExitInvalid;
}

} // namespace

int RunLoad(const CliArgs& args, RunState& run) {
    if (!args.Has("file")) {
        std::fprintf(stderr, "vantrel-cli load: name the coefficient file to read\n");
        return kExitInvalid;
    }
    run.m_nFirIir = (args.Has("structure") && args.Value("structure") == "iir") ? 1 : 0;
    int status = CheckMeasureOptions(args);
    if (status == kExitOk) {
        status = LoadFile(args.Value("file"), BitsOfQuantize(args), run);
    }
    // A bare coefficient file brings no bands: --measure takes them from --edges.
    if (status == kExitOk) {
        status = ApplyMeasureBands(args, run);
    }
    return status == kExitOk ? RunCoefficientActions(args, run) : status;
}

} // namespace cli
