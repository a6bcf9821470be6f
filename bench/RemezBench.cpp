// Time of one Remez design for the low-pass layout at 31, 90 and 380 taps.
#include "app/OlvexDoc.h"

#include <benchmark/benchmark.h>

namespace {

void RemezDesignLowPass(benchmark::State& state) {
    const int taps = static_cast<int>(state.range(0));
    // 380 taps need a narrower transition: 0.2/0.25 would ask for about -290 dB of stop band.
    const double stopEdge = taps >= 380 ? 0.21 : 0.25;
    const double edges[] = {0.0, 0.2, stopEdge, 0.5};
    const double desired[] = {1.0, 0.0};
    const double weights[] = {1.0, 10.0};
    COlvexDoc doc;
    doc.m_fnConsole = nullptr;
    doc.m_nTaps = taps;
    for (auto _ : state) {
        doc.m_bDesignOk = 1;
        doc.RemezDesign(doc.m_aFirCoeffs, taps, 2, edges, desired, weights);
        benchmark::DoNotOptimize(doc.m_aFirCoeffs);
    }
    if (doc.m_bDesignOk != 1 || doc.m_bIterationLimit != 0) {
        state.SkipWithError("design did not converge");
    }
}

} // namespace

BENCHMARK(RemezDesignLowPass)
    ->Name("RemezDesign")
    ->Arg(31)
    ->Arg(90)
    ->Arg(380)
    ->Unit(benchmark::kMillisecond);
