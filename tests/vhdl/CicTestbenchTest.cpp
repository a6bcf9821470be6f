// The CIC testbench's stimulus reaches both full-scale outputs, and its text names the filter and
// the count of outputs the model gives.
#include "dsp/Cic.h"
#include "vhdl/Testbench.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

namespace {

TEST(CicTestbench, StimulusDrivesTheOutputToBothEnds) {
    struct Row {
        bool interpolate;
        int stages, rate, delay, dataBits;
    };
    const Row rows[] = {
        {false, 3, 8, 1, 12}, {false, 4, 32, 1, 16}, {false, 1, 2, 2, 4}, {false, 5, 7, 2, 10},
        {true, 2, 5, 1, 10},  {true, 4, 16, 2, 16},  {true, 1, 2, 1, 8},
    };
    for (const Row& r : rows) {
        const dsp::CicParams p{r.interpolate, r.stages, r.rate, r.delay, r.dataBits};
        const std::vector<std::int64_t> x = vhdl::CicTestbenchStimulus(p);
        const std::vector<std::int64_t> y = dsp::RunCic(p, x);
        ASSERT_FALSE(y.empty());
        const double gain = dsp::DescribeCic(p).gain;
        const double high = std::ldexp(1.0, r.dataBits - 1);
        const auto top = static_cast<std::int64_t>(std::floor(gain * (high - 1)));
        const auto bottom = static_cast<std::int64_t>(std::floor(-gain * high));
        EXPECT_NE(std::find(y.begin(), y.end(), top), y.end()) << r.stages << " " << r.rate;
        EXPECT_NE(std::find(y.begin(), y.end(), bottom), y.end()) << r.stages << " " << r.rate;
        // At least 16 outputs of the pseudo-random part follow the runs.
        const size_t outputs = r.interpolate ? 16 * static_cast<size_t>(r.rate) : 16;
        EXPECT_GE(y.size(), outputs + 2);

        for (const vhdl::HdlLanguage language :
             {vhdl::HdlLanguage::kVhdl, vhdl::HdlLanguage::kVerilog}) {
            const std::string text = vhdl::BuildCicTestbench(p, language);
            const std::string entity = r.interpolate ? "cic_interpolator" : "cic_decimator";
            EXPECT_NE(text.find(entity + "_tb"), std::string::npos);
            const std::string count =
                "output_count" +
                std::string(language == vhdl::HdlLanguage::kVhdl ? " : integer := " : " = ") +
                std::to_string(y.size()) + ";";
            EXPECT_NE(text.find(count), std::string::npos) << count;
        }
    }
}

} // namespace
