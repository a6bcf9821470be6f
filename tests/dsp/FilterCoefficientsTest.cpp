// The coefficients that leave the design: one value, built in one place, and every consumer
// (response, wave, report, file, VHDL literals, testbench, hardware model) takes K * h from it.
#include "dsp/FilterCoefficients.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <numbers>
#include <vector>

#include "coeffs/CoeffReport.h"
#include "dsp/NumberForms.h"
#include "dsp/Response.h"
#include "dsp/Wave.h"
#include "files/CoeffFile.h"
#include "tests/support/DesignedFilters.h"
#include "vhdl/BitTrueModel.h"
#include "vhdl/HardwareWave.h"

namespace {

TEST(FilterCoefficients, FirTapsAreScaledThenTruncated) {
    const std::vector<double> h = {0.3, -0.3, 0.1, 0.7};
    struct Case {
        int multiplier;
        bool quantize;
        int bits;
        std::vector<double> taps;
        std::vector<std::int64_t> integers;
    };
    const Case cases[] = {
        {1, false, 4, {0.3, -0.3, 0.1}, {2, -2, 0}},
        {3, false, 4, {0.9, -0.9, 0.3}, {7, -7, 2}},
        {3, true, 4, {0.875, -0.875, 0.25}, {7, -7, 2}}, // Quantize(0.9), not 3 * Quantize(0.3)
        {2, true, 8, {0.59375, -0.59375, 0.1953125}, {76, -76, 25}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "K " << c.multiplier << " B " << c.bits);
        const dsp::FilterCoefficients v =
            dsp::FirCoefficients(h, 2, 3, c.multiplier, c.quantize, c.bits);
        ASSERT_EQ(v.taps.size(), 3u); // N' = 3 of the four values
        for (size_t j = 0; j < 3; ++j) {
            EXPECT_NEAR(v.taps[j], c.taps[j], 1e-15) << j;
        }
        EXPECT_EQ(v.tapIntegers, c.integers);
        EXPECT_EQ(v.DesignedTaps().size(), 2u); // the analyses take N = 2
        EXPECT_EQ(v.LiteralWidth(), c.bits);
        EXPECT_EQ(v.quantized, c.quantize);
    }
    // Counts beyond the taps given are bounded.
    EXPECT_EQ(dsp::FirCoefficients(h, 9, 9, 1, false, 16).ShownTaps(), 4);
    EXPECT_EQ(dsp::FirCoefficients(h, -1, -1, 1, false, 16).ShownTaps(), 0);
}

TEST(FilterCoefficients, IirSectionsArePaddedWithPassThrough) {
    const std::vector<dsp::Section> two = {{0.5, 0.25, 0.125, -1.5, 0.5625},
                                           {0.3, 0.0, -0.3, 0.1, 0.2}};
    const dsp::FilterCoefficients v = dsp::IirCoefficients(two, 2, true, 8);
    ASSERT_EQ(v.sections.size(), 8u);
    EXPECT_EQ(v.DesignedSections().size(), 2u);
    EXPECT_EQ(v.sections[7], (dsp::Section{1.0, 0.0, 0.0, 0.0, 0.0}));
    EXPECT_EQ(v.sectionIntegers[0], (dsp::SectionIntegers{64, 32, 16, -192, 72}));
    EXPECT_EQ(v.sections[1][0], coeffs::Quantize(0.3, 8));
    EXPECT_EQ(v.LiteralWidth(), 10);
    EXPECT_EQ(dsp::IirCoefficients(two, 12, false, 8).DesignedSections().size(), 8u);
}

// Another bit length of the unquantized value is the value built at that bit length.
TEST(FilterCoefficients, AtBitsEqualsBuildingAtThoseBits) {
    const std::vector<double> h = {0.41, -0.173, 0.0625, -0.0009};
    const dsp::FilterCoefficients unquantized = dsp::FirCoefficients(h, 4, 4, 3, false, 16);
    for (const int bits : {4, 9, 16, 24}) {
        const dsp::FilterCoefficients a = dsp::AtBits(unquantized, true, bits);
        const dsp::FilterCoefficients b = dsp::FirCoefficients(h, 4, 4, 3, true, bits);
        EXPECT_EQ(a.taps, b.taps) << bits;
        EXPECT_EQ(a.tapIntegers, b.tapIntegers) << bits;
    }
}

// A design with K = 3: the response, the ideal wave, the report's integers, the file, the VHDL
// literals and the hardware model all come from K * h. A wave of whole D-bit steps makes the
// hardware output differ from the ideal one by the output truncation only (under one step).
TEST(FilterCoefficients, EveryConsumerTakesTheMultiplier) {
    const support::DesignedFilter design = support::DesignedFir(support::kLowPass, 45, 50.0, 100.0);
    const std::vector<double>& h = design.fir.taps;
    const dsp::FilterCoefficients c = support::FirValue(h, 45, 45, 3, true, 16);
    const int dataBits = 16;
    const double step = 50.0 / ((1 << (dataBits - 1)) - 1);
    std::vector<double> in(700);
    for (size_t i = 0; i < in.size(); ++i) {
        const double x =
            15.0 * std::sin(2.0 * std::numbers::pi * 30.0 * static_cast<double>(i) / 1000.0);
        in[i] = std::round(x / step) * step;
    }
    std::vector<double> out(dsp::kWaveFiltered);
    dsp::FilterWaveFir(c.DesignedTaps(), in, out);
    const vhdl::HardwareWave hw = vhdl::ComputeHardwareWave(c, dataBits, in, out);
    EXPECT_LT(hw.largestDifference, step);
    EXPECT_EQ(hw.saturation.filterOutput, 0);
    double peak = 0.0;
    for (size_t i = 0; i + 1 < dsp::kWaveFiltered; ++i) {
        peak = std::max(peak, std::fabs(out[i]));
    }
    EXPECT_GT(peak, 40.0); // three times the 15-amplitude input passed

    const std::vector<std::int64_t> literals = vhdl::FirLiterals(c);
    ASSERT_EQ(literals.size(), c.taps.size());
    for (size_t k = 0; k < c.taps.size(); ++k) {
        ASSERT_EQ(literals[k], coeffs::ToFixedInteger(3.0 * h[k], 16)) << k;
        ASSERT_EQ(static_cast<double>(literals[k]) / 32768.0, c.taps[k]) << k;
    }
    constexpr int kDec = 2;
    const std::string report = coeffs::FirReportText(c, kDec, "\n");
    char line[32];
    std::snprintf(line, sizeof line, "h[ 22] =%12d", static_cast<int>(c.tapIntegers[22]));
    EXPECT_NE(report.find(line), std::string::npos) << report.substr(0, 200);
    const std::string file = files::CoeffFileText(c, kDec);
    std::snprintf(line, sizeof line, "\n%12d\n", static_cast<int>(c.tapIntegers[22]));
    EXPECT_NE(file.find(line), std::string::npos);
    const dsp::Response r = dsp::FirResponse(c.DesignedTaps());
    EXPECT_NEAR(r.gainDb[0], 20.0 * std::log10(3.0), 0.5); // the pass band at 3
}

} // namespace
