// Time of one least-squares and one Kaiser-window design of the low-pass layout at the largest
// tap count a design takes (380 entered; least squares designs the odd 379).
#include "dsp/FirMethods.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

dsp::FirBands LowPass(double stopEdge) {
    return {2, {0.0, 0.2, stopEdge, 0.5, 0.0, 0.0}, {1.0, 0.0, 0.0}, {1.0, 10.0, 0.0}};
}

// range(0): taps; range(1): the stop edge in thousandths of fs. 0.2/0.21 is solved by Cholesky;
// 0.2/0.25 at 379 taps is singular to double precision and takes the eigenvector solve.
void LeastSquaresLowPass(benchmark::State& state) {
    const int taps = static_cast<int>(state.range(0));
    const dsp::FirBands bands = LowPass(static_cast<double>(state.range(1)) / 1000.0);
    std::vector<double> h;
    for (auto _ : state) {
        h = dsp::LeastSquaresTaps(taps, bands);
        benchmark::DoNotOptimize(h.data());
    }
    if (static_cast<int>(h.size()) != taps) {
        state.SkipWithError("no design");
    }
}

void KaiserLowPass(benchmark::State& state) {
    const int taps = static_cast<int>(state.range(0));
    const dsp::FirBands bands = LowPass(0.21);
    std::vector<double> h;
    for (auto _ : state) {
        h = dsp::KaiserTaps(taps, bands, dsp::kDefaultKaiserBeta);
        benchmark::DoNotOptimize(h.data());
    }
    if (static_cast<int>(h.size()) != taps) {
        state.SkipWithError("no design");
    }
}

} // namespace

BENCHMARK(LeastSquaresLowPass)->Args({379, 210})->Args({379, 250})->Unit(benchmark::kMillisecond);
BENCHMARK(KaiserLowPass)->Arg(380)->Unit(benchmark::kMillisecond);
