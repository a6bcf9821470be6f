// Writing and reading a coefficient file of the shared 380-tap test filter in each format.
#include <benchmark/benchmark.h>

#include <string>

#include "app/FileCommands.h"
#include "app/OlvexDoc.h"
#include "bench/BenchDesigns.h"
#include "files/CoeffFile.h"

namespace {

COlvexDoc QuantizedDesign(int format) {
    COlvexDoc doc;
    bench::FillLongFir(doc);
    doc.m_bQuantize = 1;
    doc.m_nQuantBits = 16;
    doc.m_nCoeffFormat = format;
    return doc;
}

void BM_WriteCoeffFile(benchmark::State& state) {
    const COlvexDoc doc = QuantizedDesign(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        std::string text = commands::CoeffFileTextOf(doc, false);
        benchmark::DoNotOptimize(text.data());
    }
}

void BM_ReadCoeffFile(benchmark::State& state) {
    const std::string text =
        commands::CoeffFileTextOf(QuantizedDesign(static_cast<int>(state.range(0))), false);
    COlvexDoc doc;
    for (auto _ : state) {
        int loadFormat = 0;
        const files::CoeffLoad load = commands::ReadCoeffTextInto(text, doc, false, loadFormat);
        benchmark::DoNotOptimize(load.count);
    }
}

// 0 Real, 1 Binary, 2 Decimal, 3 Hex.
BENCHMARK(BM_WriteCoeffFile)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ReadCoeffFile)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

} // namespace
