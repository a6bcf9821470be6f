// Design time of each IIR method at the largest cascade, eight sections: a low-pass (order 16)
// and a band-pass (prototype order 8, 16 poles), from the spec to the scaled sections. The
// argument is the dsp::IirMethod; bench/iir_methods.py runs these beside scipy's designs.
#include "dsp/Iir.h"

#include <benchmark/benchmark.h>

namespace {

dsp::IirSpec EightSections(int type, int method) {
    dsp::IirSpec spec;
    spec.type = type;
    spec.sections = dsp::kIirMaxSections;
    spec.rippleDb = 0.5;
    spec.fs = 1000.0;
    spec.fc1 = 200.0;
    spec.fc2 = 300.0;
    spec.method = method;
    spec.attenDb = 60.0;
    return spec;
}

void DesignLoop(benchmark::State& state, int type) {
    const dsp::IirSpec spec = EightSections(type, static_cast<int>(state.range(0)));
    state.SetLabel(dsp::IirMethodName(spec.method));
    for (auto _ : state) {
        dsp::IirCascade cascade;
        const bool finite = dsp::DesignIirCascade(spec, cascade);
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
