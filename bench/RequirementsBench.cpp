// Time of one design from requirements: the FIR search (the estimate, then a Remez design and a
// measurement per tap count tried) for a long filter, a three-band one and one the longest
// filter cannot meet; and the IIR order with the band-stop cut-off search.
#include "dsp/Requirements.h"

#include <benchmark/benchmark.h>

namespace {

struct FirCase {
    dsp::FirType type;
    double fc[4];
    double ap, as;
};

const FirCase kFirCases[] = {
    {dsp::FirType::kLowPass, {200, 210, 0, 0}, 0.5, 80},      // 283 taps
    {dsp::FirType::kBandPass, {100, 108, 300, 308}, 0.5, 80}, // 358 taps
    {dsp::FirType::kLowPass, {200, 207, 0, 0}, 0.5, 80},      // not met: up to 380 taps
};

void FirRequirementSearch(benchmark::State& state) {
    const FirCase& c = kFirCases[state.range(0)];
    dsp::FirRequirements req;
    req.type = c.type;
    req.fc1 = c.fc[0];
    req.fc2 = c.fc[1];
    req.fc3 = c.fc[2];
    req.fc4 = c.fc[3];
    req.apDb = c.ap;
    req.asDb = c.as;
    dsp::FirRequirementResult result;
    for (auto _ : state) {
        result = dsp::SearchFirRequirements(req);
        benchmark::DoNotOptimize(result.chosen.taps);
    }
    state.counters["taps"] = result.chosen.taps;
    state.counters["designs"] = result.designs;
    state.counters["met"] = result.met ? 1 : 0;
}

void IirRequirementSearch(benchmark::State& state) {
    const dsp::IirRequirements req{dsp::kIirBrf, 1000.0, 50.0, 400.0, 100.0, 200.0, 0.5, 40.0};
    dsp::IirRequirementResult result;
    for (auto _ : state) {
        result = dsp::SearchIirRequirements(req);
        benchmark::DoNotOptimize(result.sections);
    }
    state.counters["sections"] = result.sections;
}

} // namespace

BENCHMARK(FirRequirementSearch)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(IirRequirementSearch)->Unit(benchmark::kMicrosecond);
