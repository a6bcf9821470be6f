// vantrel-cli wave: designs a filter, then runs In/Out Wave (and FFT Analysis with --spectrum or
// its options) with their fields from the options, and prints the samples or the spectra the
// plots are drawn from.
//
//   --structure fir|iir   the design (default fir) and its options, as for `fir` or `iir`
//   --wave sine|square --freq F, or --user FILE (up to 700 numbers)
//   --quantize B          run the filter on B-bit coefficients
//   --spectrum            print the spectra instead of the samples
#include <cstdio>
#include <string>
#include <vector>

#include "app/AnalysisCommands.h"
#include "app/ViewCommands.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "files/InputFile.h"

namespace cli {

namespace {

// Options of the structure that was not chosen are refused rather than ignored.
int CheckStructureOptions(const CliArgs& args, bool iir) {
    static const std::vector<std::string> kFirOnly = {"auto", "edges", "mult", "rr", "taps"};
    static const std::vector<std::string> kIirOnly = {"cutoff", "ripple", "sections"};
    for (const std::string& name : iir ? kFirOnly : kIirOnly) {
        if (args.Has(name)) {
            std::fprintf(stderr, "--%s is not an option of --structure %s\n", name.c_str(),
                         iir ? "iir" : "fir");
            return kExitInvalid;
        }
    }
    return kExitOk;
}

bool WantsSpectrum(const CliArgs& args) {
    return args.Has("spectrum") || args.Has("mag-range") || args.Has("fft-zoom") ||
           args.Has("fft-start");
}

int ApplyFftOptions(const CliArgs& args, RunState& run) {
    commands::FftRequest request;
    request.magRange = run.doc.m_dFftMagRange;
    request.zoom = run.doc.m_nFftFreqZoom;
    request.startPos = run.doc.m_nFftStartPos;
    if (!ReadDouble(args, "mag-range", request.magRange) ||
        !ReadZoom(args, "fft-zoom", request.zoom) ||
        !ReadInt(args, "fft-start", request.startPos)) {
        return kExitInvalid;
    }
    return ReportOutcome(commands::FftAnalysis(run.doc, request),
                         {{design::kFieldMagRange, "mag-range"},
                          {design::kFieldZoom, "fft-zoom"},
                          {design::kFieldStartPos, "fft-start"}});
}

void PrintSpectra(RunState& run) {
    commands::SimulateWave(run.doc, run.Iir());
    NoteUnstable(run);
    const commands::Spectra spectra = commands::ComputeSpectra(run.doc);
    for (size_t b = 0; b < spectra.inMag.size(); ++b) {
        std::fprintf(run.listing.Stream(), "%zu %s %s %s %s\n", b,
                     commands::TableNumber(spectra.inMag[b]).c_str(),
                     commands::TableNumber(spectra.inPhase[b]).c_str(),
                     commands::TableNumber(spectra.outMag[b]).c_str(),
                     commands::TableNumber(spectra.outPhase[b]).c_str());
    }
}

} // namespace

// In/Out Wave. Unlike the window, a wave file that cannot be read in full is refused: a batch
// run has nobody to tell that only part of the wave was taken.
int ApplyWaveOptions(const CliArgs& args, RunState& run) {
    if (args.Has("user") && (args.Has("wave") || args.Has("freq"))) {
        std::fprintf(stderr, "--user replaces --wave and --freq\n");
        return kExitInvalid;
    }
    const COlvexDoc& doc = run.doc;
    commands::WaveRequest request;
    request.waveType =
        args.Has("wave") ? (args.Value("wave") == "square" ? 1 : 0) : doc.m_nWaveType;
    request.frequency = doc.m_dWaveFreq;
    request.useUserWave = args.Has("user") ? 1 : doc.m_bUseUserWave;
    request.magRange = doc.m_dWaveMagRange;
    request.zoom = doc.m_nWaveTimeZoom;
    request.startPos = doc.m_nWaveStartPos;
    if (args.Has("user")) {
        request.userWavePath = args.Value("user");
    }
    if (!ReadDouble(args, "freq", request.frequency) ||
        !ReadDouble(args, "wave-range", request.magRange) ||
        !ReadZoom(args, "time-zoom", request.zoom) ||
        !ReadInt(args, "time-start", request.startPos)) {
        return kExitInvalid;
    }
    const commands::Outcome outcome = commands::InOutWave(run.doc, request);
    if (request.userWavePath == files::kStandardStreamPath) {
        // Standard input cannot be read again: a design saved from this run names no wave file.
        run.doc.m_strUserWavePath.clear();
    }
    if (outcome.Is(commands::OutcomeKind::kAccepted) && !outcome.message.empty()) {
        std::fprintf(stderr, "%s\n", outcome.message.c_str()); // a user wave cut to the buffer
    }
    return ReportOutcome(outcome, {{design::kFieldWaveFreq, "freq"},
                                   {design::kFieldMagRange, "wave-range"},
                                   {design::kFieldZoom, "time-zoom"},
                                   {design::kFieldStartPos, "time-start"}});
}

int RunWave(const CliArgs& args, RunState& run) {
    const bool iir = args.Has("structure") && args.Value("structure") == "iir";
    int status = CheckStructureOptions(args, iir);
    if (status == kExitOk) {
        status = iir ? DesignIirFromArgs(args, run) : DesignFirFromArgs(args, run);
    }
    if (status == kExitOk) {
        status = ApplyCoefficientOptions(args, run);
    }
    if (status == kExitOk) {
        status = ApplyWaveOptions(args, run);
    }
    if (status == kExitOk && WantsSpectrum(args)) {
        status = ApplyFftOptions(args, run);
    }
    if (status == kExitOk) {
        status = CheckHardwareOptions(args, run);
    }
    if (status != kExitOk) {
        return status;
    }
    if (args.Has("spectrum")) {
        PrintSpectra(run);
        return kExitOk;
    }
    // The samples the plot is drawn from: the test wave and the filter's output.
    return PrintWaveSamples(args, run);
}

} // namespace cli
