// --measure and --advise-bits [--tolerance TOL] of fir, iir and load, and --hardware
// --data-bits D of wave. The numbers come from the core (dsp/Measure.h, vhdl/HardwareWave.h);
// this file only checks the options and prints.
#include <cmath>
#include <cstdio>
#include <string>

#include "app/OlvexDoc.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "dsp/Measure.h"
#include "resources/VhdlResources.h"
#include "vhdl/HardwareWave.h"

namespace cli {

namespace {

void PrintBands(const std::vector<dsp::BandGain>& gains) {
    for (const dsp::BandGain& g : gains) {
        if (g.band.pass) {
            std::printf("pass %.17g %.17g %.17g %.17g\n", g.band.lo, g.band.hi, g.minDb, g.maxDb);
        } else {
            std::printf("stop %.17g %.17g %.17g\n", g.band.lo, g.band.hi, g.maxDb);
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

int PrintMeasureOutputs(const CliArgs& args, const COlvexDoc& doc, bool iir) {
    if (args.Has("measure")) {
        PrintBands(dsp::ReportedGains(dsp::Measure(doc, iir)));
    }
    if (args.Has("advise-bits")) {
        double tolerance = dsp::kDefaultToleranceDb;
        ReadDouble(args, "tolerance", tolerance); // checked by CheckMeasureOptions
        const dsp::BitAdvice advice = dsp::AdviseBits(doc, iir, tolerance);
        if (advice.bits == 0) {
            std::printf("bits none\n");
            std::fprintf(stderr, "No coefficient bit length keeps the design within %.17g dB.\n",
                         tolerance);
        } else {
            std::printf("bits %d\n", advice.bits);
        }
        for (const dsp::BitCandidate& c : advice.candidates) {
            std::printf("%d %.17g %.17g %s\n", c.bits, c.stopMaxDb, c.rippleDb, Verdict(c));
        }
    }
    return kExitOk;
}

int CheckHardwareOptions(const CliArgs& args, const COlvexDoc& doc, int& dataBits) {
    dataBits = 0;
    if (!args.Has("hardware")) {
        if (args.Has("data-bits")) {
            std::fprintf(stderr, "--data-bits needs --hardware\n");
            return kExitInvalid;
        }
        return kExitOk;
    }
    if (doc.m_bQuantize == 0 || !args.Has("data-bits")) {
        std::fprintf(stderr, "--hardware needs --quantize B and --data-bits D\n");
        return kExitInvalid;
    }
    if (args.Has("spectrum")) {
        std::fprintf(stderr, "--hardware prints samples; it cannot be combined with --spectrum\n");
        return kExitInvalid;
    }
    int bits = 0;
    if (!ReadInt(args, "data-bits", bits)) {
        return kExitInvalid;
    }
    if (bits < resources::kMinVhdlDataBits || bits > resources::kMaxVhdlDataBits) {
        std::fprintf(stderr, "--data-bits: Please enter an integer between %d and %d.\n",
                     resources::kMinVhdlDataBits, resources::kMaxVhdlDataBits);
        return kExitInvalid;
    }
    dataBits = bits;
    return kExitOk;
}

void PrintWaveSamples(const COlvexDoc& doc, bool iir, int dataBits) {
    if (dataBits == 0) {
        for (int i = 0; i < COlvexDoc::kWaveFiltered; ++i) {
            std::printf("%d %.17g %.17g\n", i, doc.m_aWaveIn[i], doc.m_aWaveOut[i]);
        }
        return;
    }
    const vhdl::HardwareWave hardware = vhdl::ComputeHardwareWave(doc, iir, dataBits);
    for (const std::string& line : vhdl::OverflowWarnings(hardware, iir, dataBits)) {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
    for (int i = 0; i < COlvexDoc::kWaveFiltered; ++i) {
        std::printf("%d %.17g %.17g %.17g\n", i, doc.m_aWaveIn[i], doc.m_aWaveOut[i],
                    hardware.output[static_cast<size_t>(i)]);
    }
}

} // namespace cli
