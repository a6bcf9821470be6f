// Timing of the measurements, the word-length advisor over every bit length and the bit-true
// hardware wave, at the largest dialog tap count and with eight IIR sections.
#include "app/AnalysisCommands.h"
#include "app/DesignCommands.h"
#include "app/MeasureCommands.h"
#include "app/OlvexDoc.h"
#include "app/VhdlCommands.h"
#include "bench/BenchDesigns.h"
#include "dsp/Measure.h"
#include "vhdl/HardwareWave.h"

#include <benchmark/benchmark.h>

namespace {

// Arg 0: FIR with 380 taps; arg 1: IIR band-pass with 8 sections.
COlvexDoc BenchDesign(bool iir) {
    COlvexDoc doc;
    if (iir) {
        doc.m_nFilterType = 3;
        doc.m_nIirSections = COlvexDoc::kIirSections;
        doc.m_dIirFc1 = 200.0;
        doc.m_dIirFc2 = 300.0;
        doc.DesignIir();
    } else {
        bench::FillLongFir(doc);
        doc.m_fc1 = 180.0;
        doc.m_fc2 = 220.0;
    }
    doc.m_bQuantize = 1;
    doc.m_nQuantBits = 16;
    return doc;
}

void BM_Measure(benchmark::State& state) {
    const bool iir = state.range(0) == 1;
    const COlvexDoc doc = BenchDesign(iir);
    for (auto _ : state) {
        benchmark::DoNotOptimize(commands::MeasureDocument(doc, iir));
    }
}
BENCHMARK(BM_Measure)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_AdviseBits(benchmark::State& state) {
    const bool iir = state.range(0) == 1;
    const COlvexDoc doc = BenchDesign(iir);
    for (auto _ : state) {
        benchmark::DoNotOptimize(commands::AdviseDocumentBits(doc, iir, dsp::kDefaultToleranceDb));
    }
}
BENCHMARK(BM_AdviseBits)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_HardwareWave(benchmark::State& state) {
    const bool iir = state.range(0) == 1;
    COlvexDoc doc = BenchDesign(iir);
    doc.GenerateTestWave();
    iir ? doc.FilterWaveIir() : doc.FilterWaveFir();
    for (auto _ : state) {
        benchmark::DoNotOptimize(commands::HardwareWaveOf(doc, iir, 12));
    }
}
BENCHMARK(BM_HardwareWave)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

} // namespace
