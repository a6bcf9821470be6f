// Timing of VHDL generation as the VHDL Code command runs it: the display header and the whole
// shipped template read and substituted, for the FIR template at the largest dialog tap count and
// the eight-section IIR template. Also the testbench writer at 380 taps (model and text).
#include <benchmark/benchmark.h>

#include <string>

#include "app/AnalysisCommands.h"
#include "app/DesignCommands.h"
#include "app/OlvexDoc.h"
#include "app/VhdlCommands.h"
#include "bench/BenchDesigns.h"
#include "vhdl/Testbench.h"
#include "vhdl/VhdlText.h"

#ifndef VANTREL_SOURCE_DIR
#define VANTREL_SOURCE_DIR "."
#endif

namespace {

const std::string kTemplates = std::string(VANTREL_SOURCE_DIR) + "/vhdl/templates/";

void GenerateVhdl(benchmark::State& state, COlvexDoc& doc, bool iir) {
    const std::string path = kTemplates + vhdl::TemplateFileName(iir, doc.m_nIirSections);
    for (auto _ : state) {
        std::string text = vhdl::BuildVhdlHeader(vhdl::HeaderVariant::kDisplay, iir,
                                                 commands::HeaderValuesOf(doc, iir ? 1 : 0));
        int index = 0;
        std::string templateText;
        if (vhdl::ReadTemplateText(path, templateText) != vhdl::TemplateStatus::kOk) {
            state.SkipWithError(("cannot read " + path).c_str());
            return;
        }
        text += vhdl::SubstituteTemplate(doc.TakeCoefficients(iir), doc.m_nDataBits, templateText,
                                         vhdl::HeaderVariant::kDisplay, index);
        benchmark::DoNotOptimize(text);
    }
}

void BM_VhdlFir380(benchmark::State& state) {
    COlvexDoc doc;
    bench::FillLongFir(doc);
    doc.m_bQuantize = 1;
    GenerateVhdl(state, doc, false);
}
BENCHMARK(BM_VhdlFir380)->Unit(benchmark::kMicrosecond);

void BM_VhdlIir8(benchmark::State& state) {
    COlvexDoc doc;
    doc.m_nIirSections = COlvexDoc::kIirSections;
    doc.DesignIir();
    doc.m_bQuantize = 1;
    GenerateVhdl(state, doc, true);
}
BENCHMARK(BM_VhdlIir8)->Unit(benchmark::kMicrosecond);

void BM_TestbenchFir380(benchmark::State& state) {
    COlvexDoc doc;
    bench::FillLongFir(doc);
    doc.GenerateTestWave();
    for (auto _ : state) {
        std::string text =
            vhdl::BuildTestbench(doc.TakeCoefficients(false), 12,
                                 std::span<const double>(doc.m_aWaveIn, COlvexDoc::kWaveFiltered));
        benchmark::DoNotOptimize(text);
    }
}
BENCHMARK(BM_TestbenchFir380)->Unit(benchmark::kMicrosecond);

} // namespace
