// Timing of the computations every redraw repeats: the frequency response (FIR at the largest
// dialog tap count, IIR with eight sections), the FIR test-wave filtering and the FFT.
#include "app/OlvexDoc.h"
#include "bench/BenchDesigns.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>

namespace {

using bench::FillLongFir;

void BM_FirResponse380(benchmark::State& state) {
    COlvexDoc doc;
    FillLongFir(doc);
    doc.m_bQuantize = static_cast<int>(state.range(0));
    for (auto _ : state) {
        doc.FirResponse();
        benchmark::DoNotOptimize(doc.m_aGainDb);
    }
}
BENCHMARK(BM_FirResponse380)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

void BM_IirResponse8(benchmark::State& state) {
    COlvexDoc doc;
    doc.m_nIirSections = COlvexDoc::kIirSections;
    doc.DesignIir();
    for (auto _ : state) {
        doc.IirResponse();
        benchmark::DoNotOptimize(doc.m_aGainDb);
    }
}
BENCHMARK(BM_IirResponse8)->Unit(benchmark::kMicrosecond);

void BM_IirDesign8(benchmark::State& state) {
    COlvexDoc doc;
    doc.m_nIirSections = COlvexDoc::kIirSections;
    for (auto _ : state) {
        doc.DesignIir();
        benchmark::DoNotOptimize(doc.m_aA0);
    }
}
BENCHMARK(BM_IirDesign8)->Unit(benchmark::kMicrosecond);

void BM_WaveFir380(benchmark::State& state) {
    COlvexDoc doc;
    FillLongFir(doc);
    for (auto _ : state) {
        doc.GenerateTestWave();
        doc.FilterWaveFir();
        benchmark::DoNotOptimize(doc.m_aWaveOut);
    }
}
BENCHMARK(BM_WaveFir380)->Unit(benchmark::kMicrosecond);

void BM_WaveIir8(benchmark::State& state) {
    COlvexDoc doc;
    doc.m_nIirSections = COlvexDoc::kIirSections;
    doc.DesignIir();
    for (auto _ : state) {
        doc.GenerateTestWave();
        doc.FilterWaveIir();
        benchmark::DoNotOptimize(doc.m_aWaveOut);
    }
}
BENCHMARK(BM_WaveIir8)->Unit(benchmark::kMicrosecond);

void BM_FftSpectrum(benchmark::State& state) {
    COlvexDoc doc;
    doc.GenerateTestWave();
    for (auto _ : state) {
        doc.FftSpectrum(doc.m_aWaveIn);
        benchmark::DoNotOptimize(doc.m_aFftMag);
    }
}
BENCHMARK(BM_FftSpectrum)->Unit(benchmark::kMicrosecond);

} // namespace
