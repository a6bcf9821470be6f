// --measure and --advise-bits [--tolerance TOL] of fir, iir and load, and the samples of wave
// with --hardware --data-bits D. The numbers come from the core; this file only checks the
// combinations of options and prints.
#include <cmath>
#include <cstdio>
#include <string>

#include "app/AnalysisCommands.h"
#include "app/MeasureCommands.h"
#include "app/OlvexDoc.h"
#include "app/ViewCommands.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "dsp/Measure.h"
#include "files/NumberText.h"

namespace cli {

namespace {

// One line per band: its edges and gains in dB. The gains of an unstable cascade are no
// measurement: they read "unstable" (the sections are named on standard error).
void PrintBands(std::FILE* out, const std::vector<dsp::BandGain>& gains, bool unstable) {
    const auto gain = [unstable](double db) {
        return unstable ? std::string("unstable") : commands::TableNumber(db);
    };
    for (const dsp::BandGain& g : gains) {
        const std::string edges =
            commands::TableNumber(g.band.lo) + " " + commands::TableNumber(g.band.hi);
        if (g.band.pass) {
            std::fprintf(out, "pass %s %s %s\n", edges.c_str(), gain(g.minDb).c_str(),
                         gain(g.maxDb).c_str());
        } else {
            std::fprintf(out, "stop %s %s\n", edges.c_str(), gain(g.maxDb).c_str());
        }
    }
}

const char* Verdict(const dsp::BitCandidate& c) {
    if (!c.stable) {
        return "unstable";
    }
    return c.meets ? "ok" : "exceeds";
}

} // namespace

bool WantsMeasureOutput(const CliArgs& args) {
    return args.Has("measure") || args.Has("advise-bits");
}

int CheckMeasureOptions(const CliArgs& args) {
    if (args.Has("tolerance") && !args.Has("advise-bits")) {
        std::fprintf(stderr, "--tolerance needs --advise-bits\n");
        return kExitInvalid;
    }
    if (WantsMeasureOutput(args) && args.Has("report")) {
        std::fprintf(stderr, "--report cannot be combined with --measure or --advise-bits\n");
        return kExitInvalid;
    }
    double tolerance = dsp::kDefaultToleranceDb;
    if (!ReadDouble(args, "tolerance", tolerance)) {
        return kExitInvalid;
    }
    if (!(tolerance >= 0.0) || !std::isfinite(tolerance)) {
        std::fprintf(stderr, "--tolerance: Please enter a number greater than or equal to 0.\n");
        return kExitInvalid;
    }
    return kExitOk;
}

int ApplyMeasureBands(const CliArgs& args, RunState& run) {
    COlvexDoc& doc = run.doc;
    if (!args.Has("edges")) {
        if (WantsMeasureOutput(args) && doc.m_bBandsKnown == 0) {
            std::fprintf(stderr, "--measure and --advise-bits need bands, and the loaded "
                                 "coefficients came without them: give them to load as --edges "
                                 "(with --type and --fs)\n");
            return kExitInvalid;
        }
        return kExitOk;
    }
    const int type = args.Has("type") ? ParseFilterType(args.Value("type")) : doc.m_nFilterType;
    commands::MeasureBandsRequest request =
        commands::MeasureBandsFromDocument(doc, run.Iir(), type);
    if (!ReadDouble(args, "fs", request.fs)) {
        return kExitInvalid;
    }
    // FIR: the band edges of the type; IIR: its cut-off frequencies.
    const bool four = design::IsThreeBand(type);
    const size_t count = run.Iir() ? (four ? 2 : 1) : (four ? 4 : 2);
    const std::vector<std::string> parts = SplitList(args.Value("edges"));
    if (parts.size() != count) {
        std::fprintf(stderr, "--edges: this filter type needs %zu %s\n", count,
                     run.Iir() ? "cut-off frequencies" : "band edges");
        return kExitInvalid;
    }
    for (size_t i = 0; i < count; ++i) {
        if (!files::ParseDouble(parts[i], request.fc[i])) {
            std::fprintf(stderr, "--edges: Please enter a number.\n");
            return kExitInvalid;
        }
    }
    return ReportOutcome(commands::SetMeasureBands(doc, run.Iir(), request),
                         {{design::kFieldFs, "fs"},
                          {design::kFieldFc1, "edges"},
                          {design::kFieldFc2, "edges"},
                          {design::kFieldFc3, "edges"},
                          {design::kFieldFc4, "edges"}});
}

void PrintMeasureOutputs(const CliArgs& args, const RunState& run) {
    if (args.Has("measure")) {
        NoteUnstable(run);
        PrintBands(run.listing.Stream(),
                   dsp::ReportedGains(commands::MeasureDocument(run.doc, run.Iir())),
                   !commands::UnstableSectionsOf(run.doc, run.Iir()).empty());
        // A rate change adds the attenuation of the bands it folds onto the pass band.
        const std::string aliasing = commands::AliasingMeasureLine(run.doc, run.Iir());
        if (!aliasing.empty()) {
            std::fprintf(run.listing.Stream(), "%s\n", aliasing.c_str());
        }
    }
    if (args.Has("advise-bits")) {
        double tolerance = dsp::kDefaultToleranceDb;
        ReadDouble(args, "tolerance", tolerance); // checked by CheckMeasureOptions
        const dsp::BitAdvice advice = commands::AdviseDocumentBits(run.doc, run.Iir(), tolerance);
        if (advice.bits == 0) {
            std::fputs("bits none\n", run.listing.Stream());
            std::fprintf(stderr, "No coefficient bit length keeps the design within %.17g dB.\n",
                         tolerance);
        } else {
            std::fprintf(run.listing.Stream(), "bits %d\n", advice.bits);
        }
        for (const dsp::BitCandidate& c : advice.candidates) {
            std::fprintf(run.listing.Stream(), "%d %.17g %.17g %s\n", c.bits, c.stopMaxDb,
                         c.rippleDb, Verdict(c));
        }
    }
}

int CheckHardwareOptions(const CliArgs& args, const RunState& run) {
    if (!args.Has("hardware")) {
        if (args.Has("data-bits")) {
            std::fprintf(stderr, "--data-bits needs --hardware\n");
            return kExitInvalid;
        }
        return kExitOk;
    }
    if (run.doc.m_bQuantize == 0 || !args.Has("data-bits")) {
        std::fprintf(stderr, "--hardware needs --quantize B and --data-bits D\n");
        return kExitInvalid;
    }
    if (args.Has("spectrum")) {
        std::fprintf(stderr, "--hardware prints samples; it cannot be combined with --spectrum\n");
        return kExitInvalid;
    }
    return kExitOk;
}

int PrintWaveSamples(const CliArgs& args, RunState& run) {
    const commands::WaveSamples samples = commands::SimulateWave(run.doc, run.Iir());
    NoteUnstable(run);
    if (!args.Has("hardware")) {
        for (size_t i = 0; i < samples.input.size(); ++i) {
            std::fprintf(run.listing.Stream(), "%zu %s %s\n", i,
                         commands::TableNumber(samples.input[i]).c_str(),
                         commands::TableNumber(samples.output[i]).c_str());
        }
        return kExitOk;
    }
    int dataBits = 0;
    if (!ReadInt(args, "data-bits", dataBits)) {
        return kExitInvalid;
    }
    const commands::HardwareWaveOutcome hardware =
        commands::HardwareWave(run.doc, run.Iir(), dataBits);
    const int status = ReportOutcome(hardware, {{design::kFieldDataBits, "data-bits"}});
    if (status != kExitOk) {
        return status;
    }
    for (const std::string& line : hardware.overflow) {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
    for (size_t i = 0; i < samples.input.size() && i < hardware.output.size(); ++i) {
        std::fprintf(run.listing.Stream(), "%zu %s %s %s\n", i,
                     commands::TableNumber(samples.input[i]).c_str(),
                     commands::TableNumber(samples.output[i]).c_str(),
                     commands::TableNumber(hardware.output[i]).c_str());
    }
    return kExitOk;
}

} // namespace cli
