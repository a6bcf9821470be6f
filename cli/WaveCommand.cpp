// vantrel-cli wave: designs a filter, runs the test wave through it and prints the samples or
// the spectra, as the In/Out Wave and FFT Analysis plots compute them.
//
//   --structure fir|iir   the design (default fir) and its options, as for `fir` or `iir`
//   --wave sine|square --freq F, or --user FILE (up to 700 numbers)
//   --quantize B          run the filter on B-bit coefficients
//   --spectrum [--mag-range R]   print the spectra instead of the samples
#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "files/UserWave.h"
#include "plots/AnalysisDialogs.h"

#include <algorithm>
#include <cstdio>
#include <string>

namespace cli {

namespace {

// Reads a user wave with the reader of the In/Out Wave command (at most 700 numbers; entries past
// the end of the file stay 0). A file that cannot be opened or read is refused, and unlike the
// window, so is one that stops at a token that is not a number: a batch run has nobody to tell
// that only part of the wave was taken.
int ReadUserWaveFile(const std::string& path, COlvexDoc& doc) {
    const files::UserWaveRead read = files::ReadUserWave(path, doc.m_aWaveIn);
    if (read.error != 0 || !read.complete) {
        std::fprintf(stderr, "--user: %s\n", files::DescribeUserWaveRead(path, read).c_str());
        return kExitInvalid;
    }
    return kExitOk;
}

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

int StoreWaveSettings(const CliArgs& args, COlvexDoc& doc) {
    if (args.Has("wave")) {
        const std::string& kind = args.Value("wave");
        if (kind != "sine" && kind != "square") {
            std::fprintf(stderr, "--wave: expected sine or square\n");
            return kExitInvalid;
        }
        doc.m_nWaveType = kind == "square" ? 1 : 0;
    }
    if (!ReadDouble(args, "freq", doc.m_dWaveFreq) ||
        !ReadDouble(args, "mag-range", doc.m_dFftMagRange)) {
        return kExitInvalid;
    }
    // The In/Out Wave and FFT Analysis dialogs refuse these; so does the command line.
    const std::string freqRefusal = design::CheckWaveFrequency(doc.m_dWaveFreq);
    if (!freqRefusal.empty()) {
        std::fprintf(stderr, "--freq: %s\n", freqRefusal.c_str());
        return kExitInvalid;
    }
    if (!plots::DisplayRangeAccepted(doc.m_dFftMagRange)) {
        std::fprintf(stderr, "--mag-range: %s\n", plots::kRangeMessage);
        return kExitInvalid;
    }
    if (args.Has("user")) {
        if (args.Has("wave") || args.Has("freq")) {
            std::fprintf(stderr, "--user replaces --wave and --freq\n");
            return kExitInvalid;
        }
        doc.m_bUseUserWave = 1;
        return ReadUserWaveFile(args.Value("user"), doc);
    }
    return kExitOk;
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

const std::set<std::string>& WaveOptions() {
    static const std::set<std::string> options = [] {
        std::set<std::string> all = {"structure", "wave", "freq", "user", "mag-range", "quantize"};
        all.insert(FirDesignOptions().begin(), FirDesignOptions().end());
        all.insert(IirDesignOptions().begin(), IirDesignOptions().end());
        all.insert(HardwareWaveOptions().begin(), HardwareWaveOptions().end());
        return all;
    }();
    return options;
}

const std::set<std::string>& WaveFlags() {
    static const std::set<std::string> flags = {"spectrum", "hardware"};
    return flags;
}

int RunWave(const CliArgs& args, COlvexDoc& doc) {
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
        status = iir ? DesignIirFromArgs(args, doc) : DesignFirFromArgs(args, doc);
    }
    if (status == kExitOk) {
        status = ApplyQuantizeOption(args, doc, iir);
    }
    if (status == kExitOk) {
        status = StoreWaveSettings(args, doc);
    }
    int dataBits = 0;
    if (status == kExitOk) {
        status = CheckHardwareOptions(args, doc, dataBits);
    }
    if (status != kExitOk) {
        return status;
    }
    doc.GenerateTestWave();
    if (iir) {
        doc.FilterWaveIir();
    } else {
        doc.FilterWaveFir();
    }
    if (args.Has("spectrum")) {
        PrintSpectra(doc);
        return kExitOk;
    }
    PrintWaveSamples(doc, iir, dataBits);
    return kExitOk;
}

} // namespace cli
