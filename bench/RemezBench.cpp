// Time of one Remez design for the low-pass layout at 31, 90 and 380 taps.
#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "dsp/FirDesign.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

// The engine on values, as a front end calls it: one design per iteration.
void RemezDesignLowPass(benchmark::State& state) {
    const int taps = static_cast<int>(state.range(0));
    // 380 taps need a narrower transition: 0.2/0.25 would ask for about -290 dB of stop band.
    const double stopEdge = taps >= 380 ? 0.21 : 0.25;
    const dsp::FirBands bands = {
        2, {0.0, 0.2, stopEdge, 0.5, 0.0, 0.0}, {1.0, 0.0, 0.0}, {1.0, 10.0, 0.0}};
    dsp::FirDesignResult result;
    for (auto _ : state) {
        result = dsp::RemezDesign(taps, bands);
        benchmark::DoNotOptimize(result.taps.data());
    }
    if (result.verdict != dsp::FirVerdict::kOptimum || result.iterationLimit) {
        state.SkipWithError("design did not converge");
    }
}

// Every tap count 11..200 of six published band layouts (fs = 1), designed as the Design command
// does. The counters are per sweep: the mean exchange iterations per design, the designs that
// ran into the iteration limit, ended short of the optimum, or failed.
void RemezSweep(benchmark::State& state) {
    struct Layout {
        int type;
        std::vector<double> edges;
        double rr;
    };
    const Layout layouts[] = {
        {kBpf, {0.1, 0.2, 0.35, 0.425}, 10},
        {kBrf, {0.1, 0.15, 0.35, 0.42}, 50},
        {kBpf, {0.15, 0.2, 0.3, 0.35}, 1},
        {kBrf, {0.05, 0.1, 0.3, 0.4}, 10},
        {kLpf, {0.2, 0.25}, 10},
        {kHpf, {0.2, 0.25}, 10},
    };
    double iterations = 0.0;
    int designs = 0;
    int atLimit = 0;
    int shortOfOptimum = 0;
    int failed = 0;
    for (auto _ : state) {
        iterations = 0.0;
        designs = atLimit = shortOfOptimum = failed = 0;
        for (const Layout& l : layouts) {
            for (int taps = 11; taps <= 200; ++taps) {
                COlvexDoc doc;
                doc.m_fnConsole = nullptr;
                doc.m_fs = 1.0;
                doc.m_fc1 = l.edges[0];
                doc.m_fc2 = l.edges[1];
                if (l.edges.size() == 4) {
                    doc.m_fc3 = l.edges[2];
                    doc.m_fc4 = l.edges[3];
                }
                doc.m_dRR = l.rr;
                design::StoreFirTapCount(doc, l.type, taps);
                doc.DesignFir(l.type);
                iterations += doc.m_nRemezIterations;
                ++designs;
                atLimit += doc.m_bIterationLimit;
                failed += doc.m_bDesignOk == 0 ? 1 : 0;
                shortOfOptimum += doc.m_bDesignOk != 0 && doc.m_bOptimumReached == 0 ? 1 : 0;
            }
        }
    }
    state.counters["mean_iterations"] = iterations / designs;
    state.counters["at_limit"] = atLimit;
    state.counters["short"] = shortOfOptimum;
    state.counters["failed"] = failed;
}

} // namespace

BENCHMARK(RemezSweep)->Unit(benchmark::kMillisecond)->Iterations(1);

BENCHMARK(RemezDesignLowPass)
    ->Name("RemezDesign")
    ->Arg(31)
    ->Arg(90)
    ->Arg(380)
    ->Unit(benchmark::kMillisecond);
