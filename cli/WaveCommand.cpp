// vantrel-cli wave: designs a filter, then presses In/Out Wave (and FFT Analysis with
// --spectrum or its options) with their dialogs answered from the options, and prints the
// samples or the spectra the plots were drawn from.
//
//   --structure fir|iir   the design (default fir) and its options, as for `fir` or `iir`
//   --wave sine|square --freq F, or --user FILE (up to 700 numbers)
//   --quantize B          run the filter on B-bit coefficients
//   --spectrum            print the spectra instead of the samples
#include "app/OlvexDoc.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "cli/Session.h"
#include "resources/AnalysisResources.h"
#include "resources/Resources.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace cli {

namespace {

// Options of the structure that was not chosen are refused rather than ignored.
int CheckStructureOptions(const CliArgs& args, bool iir) {
    const std::set<std::string>& own = iir ? IirDesignOptions() : FirDesignOptions();
    const std::set<std::string>& other = iir ? FirDesignOptions() : IirDesignOptions();
    for (const std::string& name : other) {
        if (args.Has(name) && own.count(name) == 0) {
            std::fprintf(stderr, "--%s is not an option of --structure %s\n", name.c_str(),
                         iir ? "iir" : "fir");
            return kExitInvalid;
        }
    }
    return kExitOk;
}

} // namespace

// In/Out Wave. A user wave comes through the Open dialog the command shows when "Use user wave"
// is switched on. Unlike the window, a wave file that cannot be read in full is refused: a batch
// run has nobody to tell that only part of the wave was taken.
int PressInOutWave(const CliArgs& args, Session& session) {
    platform::DialogAnswer answer = platform::DialogAnswer::Ok(resources::kIddInOutWave);
    if (args.Has("wave")) {
        const std::string& kind = args.Value("wave");
        if (kind != "sine" && kind != "square") {
            std::fprintf(stderr, "--wave: expected sine or square\n");
            return kExitInvalid;
        }
        answer.Radio(kind == "square" ? resources::kIdcSquareWave : resources::kIdcSineWave);
    }
    if (args.Has("freq")) {
        answer.Text(resources::kIdcWaveFreq, args.Value("freq"));
    }
    if (args.Has("wave-range")) {
        answer.Text(resources::kIdcMagnitudeRange, args.Value("wave-range"));
    }
    if (!AddZoomAndStart(args, "time-zoom", "time-start", answer)) {
        return kExitInvalid;
    }
    if (args.Has("user")) {
        if (args.Has("wave") || args.Has("freq")) {
            std::fprintf(stderr, "--user replaces --wave and --freq\n");
            return kExitInvalid;
        }
        answer.Check(resources::kIdcUseUserWave, 1);
        session.Host().PrepareFile(args.Value("user"));
    }
    session.Host().Prepare(answer);
    const std::vector<Notice> notices = session.Press(resources::kIdcInOutWave);
    const bool refused = PrintNotices(notices, {{resources::kIdcWaveFreq, "freq"},
                                                {resources::kIdcMagnitudeRange, "wave-range"}});
    return refused || AnyWarning(notices) ? kExitInvalid : kExitOk;
}

namespace {

bool WantsSpectrum(const CliArgs& args) {
    return args.Has("spectrum") || args.Has("mag-range") || args.Has("fft-zoom") ||
           args.Has("fft-start");
}

int PressFftAnalysis(const CliArgs& args, Session& session) {
    platform::DialogAnswer answer = platform::DialogAnswer::Ok(resources::kIddFftResult);
    if (args.Has("mag-range")) {
        answer.Text(resources::kIdcMagnitudeRange, args.Value("mag-range"));
    }
    if (!AddZoomAndStart(args, "fft-zoom", "fft-start", answer)) {
        return kExitInvalid;
    }
    return PressWithAnswer(session, resources::kIdcFftAnalysis, answer,
                           {{resources::kIdcMagnitudeRange, "mag-range"}});
}

void PrintSpectra(COlvexDoc& doc) {
    double inMag[COlvexDoc::kFftBins];
    double inPhase[COlvexDoc::kFftBins];
    doc.FftSpectrum(doc.m_aWaveIn);
    std::copy(std::begin(doc.m_aFftMag), std::end(doc.m_aFftMag), inMag);
    std::copy(std::begin(doc.m_aFftPhase), std::end(doc.m_aFftPhase), inPhase);
    doc.FftSpectrum(doc.m_aWaveOut);
    for (int b = 0; b < COlvexDoc::kFftBins; ++b) {
        std::printf("%d %.17g %.17g %.17g %.17g\n", b, inMag[b], inPhase[b], doc.m_aFftMag[b],
                    doc.m_aFftPhase[b]);
    }
}

} // namespace

int RunWave(const CliArgs& args, Session& session) {
    bool iir = false;
    if (args.Has("structure")) {
        const std::string& s = args.Value("structure");
        if (s != "fir" && s != "iir") {
            std::fprintf(stderr, "--structure: expected fir or iir\n");
            return kExitInvalid;
        }
        iir = s == "iir";
    }
    int status = CheckStructureOptions(args, iir);
    if (status == kExitOk) {
        status = iir ? DesignIirFromArgs(args, session) : DesignFirFromArgs(args, session);
    }
    if (status == kExitOk) {
        status = ApplyCoefficientOptions(args, session, iir);
    }
    if (status == kExitOk) {
        status = PressInOutWave(args, session);
    }
    if (status == kExitOk && WantsSpectrum(args)) {
        status = PressFftAnalysis(args, session);
    }
    int dataBits = 0;
    if (status == kExitOk) {
        status = CheckHardwareOptions(args, session.Doc(), dataBits);
    }
    if (status != kExitOk) {
        return status;
    }
    if (args.Has("spectrum")) {
        PrintSpectra(session.Doc());
        return kExitOk;
    }
    // The samples the last plot was drawn from: the test wave and the filter's output.
    PrintWaveSamples(session.Doc(), iir, dataBits);
    return kExitOk;
}

} // namespace cli
