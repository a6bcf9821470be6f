// Design time of each IIR method at the largest cascade, eight sections: a low-pass (order 16)
// and a band-pass (prototype order 8, 16 poles), from the design parameters to the scaled sections.
// The argument is the dsp::IirMethod; bench/iir_methods.py runs these beside scipy's designs.
#include "dsp/Iir.h"

#include <benchmark/benchmark.h>

namespace {

dsp::IirSpec EightSections(int type, int method) {
    dsp::IirSpec params;
    params.type = type;
    params.sections = dsp::kIirMaxSections;
    params.rippleDb = 0.5;
    params.fs = 1000.0;
    params.fc1 = 200.0;
    params.fc2 = 300.0;
    params.method = method;
    params.attenDb = 60.0;
    return params;
}

void DesignLoop(benchmark::State& state, int type) {
    const dsp::IirSpec params = EightSections(type, static_cast<int>(state.range(0)));
    state.SetLabel(dsp::IirMethodName(params.method));
    for (auto _ : state) {
        dsp::IirCascade cascade;
        const bool finite = dsp::DesignIirCascade(params, cascade);
        benchmark::DoNotOptimize(finite);
        benchmark::DoNotOptimize(cascade.a0);
    }
}

void BM_IirMethodDesignLpf8(benchmark::State& state) {
    DesignLoop(state, dsp::kIirLpf);
}
BENCHMARK(BM_IirMethodDesignLpf8)
    ->DenseRange(0, dsp::kIirMethodCount - 1)
    ->Unit(benchmark::kMicrosecond);

void BM_IirMethodDesignBpf8(benchmark::State& state) {
    DesignLoop(state, dsp::kIirBpf);
}
BENCHMARK(BM_IirMethodDesignBpf8)
    ->DenseRange(0, dsp::kIirMethodCount - 1)
    ->Unit(benchmark::kMicrosecond);

} // namespace
