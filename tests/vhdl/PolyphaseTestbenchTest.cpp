// The polyphase testbench: its stimulus (the wave, then full-scale bursts that a kept output
// lines up with), its expected outputs (the polyphase model's, as many as the filter gives) and
// the design it instantiates, in both languages.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "dsp/FilterCoefficients.h"
#include "vhdl/BitTrueModel.h"
#include "vhdl/Polyphase.h"
#include "vhdl/Testbench.h"

namespace {

using vhdl::HdlLanguage;
using vhdl::RateChange;
using vhdl::RateKind;

struct TestbenchCase {
    const char* name;
    RateChange rate;
    int taps;
    int bits;
    int dataBits;
    double gain; // 0.45 saturates the output, 0.1 does not
};

void PrintTo(const TestbenchCase& c, std::ostream* os) {
    *os << c.name;
}

const TestbenchCase kCases[] = {
    {"DecimateByEight", {RateKind::kDecimate, 8}, 61, 16, 12, 0.1},
    {"DecimateByEightSaturating", {RateKind::kDecimate, 8}, 61, 16, 12, 0.45},
    {"DecimateByThreeFewTaps", {RateKind::kDecimate, 3}, 7, 12, 10, 0.1},
    {"DecimateMoreThanTaps", {RateKind::kDecimate, 13}, 8, 12, 10, 0.1},
    {"InterpolateByFour", {RateKind::kInterpolate, 4}, 23, 16, 12, 0.1},
    {"InterpolateBySixteenEmptyPhases", {RateKind::kInterpolate, 16}, 9, 8, 8, 0.1},
    {"InterpolateWide", {RateKind::kInterpolate, 3}, 40, 32, 24, 0.45},
};

dsp::FilterCoefficients Coefficients(const TestbenchCase& c) {
    std::vector<double> h(static_cast<size_t>(c.taps));
    for (int k = 0; k < c.taps; ++k) {
        h[static_cast<size_t>(k)] = c.gain * std::exp(-k / 6.0) * std::cos(0.9 * k);
    }
    return dsp::FirCoefficients(h, c.taps, c.taps, 1, true, c.bits);
}

// The integer after `key` in text, or -1.
long long After(const std::string& text, const std::string& key) {
    const size_t at = text.find(key);
    return at == std::string::npos ? -1 : std::stoll(text.substr(at + key.size()));
}

class PolyphaseTestbenchTest : public ::testing::TestWithParam<TestbenchCase> {};

TEST_P(PolyphaseTestbenchTest, OffersTheWaveThenBurstsAKeptOutputLinesUpWith) {
    const TestbenchCase& c = GetParam();
    const dsp::FilterCoefficients coeffs = Coefficients(c);
    std::vector<double> wave(100);
    for (size_t i = 0; i < wave.size(); ++i) {
        wave[i] = 10.0 * std::sin(0.05 * static_cast<double>(i));
    }
    const std::vector<std::int64_t> stimulus =
        vhdl::PolyphaseTestbenchStimulus(coeffs, c.dataBits, wave, c.rate);
    const std::vector<std::int64_t> scaled = vhdl::ScaleStimulus(wave, c.dataBits);
    ASSERT_GT(stimulus.size(), scaled.size());
    EXPECT_TRUE(std::equal(scaled.begin(), scaled.end(), stimulus.begin()));

    const std::vector<std::int64_t> literals = vhdl::FirLiterals(coeffs);
    const std::vector<std::int64_t> model =
        vhdl::PolyphaseBitTrue(literals, coeffs.bits, c.dataBits, stimulus, c.rate);

    // The largest and the smallest output the taps can give (for an interpolator, those of one
    // of its phases) are among the outputs the testbench expects.
    const std::int64_t largest = (std::int64_t{1} << (c.dataBits - 1)) - 1;
    const std::int64_t smallest = -largest - 1;
    const auto output = [&](std::int64_t sum) {
        return vhdl::Saturate(sum >> (coeffs.bits - 1), c.dataBits);
    };
    const int phases = c.rate.kind == RateKind::kInterpolate ? c.rate.factor : 1;
    bool peakFound = false;
    bool troughFound = false;
    for (int p = 0; p < phases; ++p) {
        std::int64_t peak = 0;
        std::int64_t trough = 0;
        for (size_t k = static_cast<size_t>(p); k < literals.size();
             k += static_cast<size_t>(phases)) {
            peak += literals[k] * (literals[k] < 0 ? smallest : largest);
            trough += literals[k] * (literals[k] < 0 ? largest : smallest);
        }
        peakFound = peakFound || std::find(model.begin(), model.end(), output(peak)) != model.end();
        troughFound =
            troughFound || std::find(model.begin(), model.end(), output(trough)) != model.end();
    }
    EXPECT_TRUE(peakFound);
    EXPECT_TRUE(troughFound);
    if (c.rate.kind == RateKind::kDecimate) {
        // Every tap counts: the largest output over all of them is reached.
        std::int64_t peak = 0;
        for (const std::int64_t literal : literals) {
            peak += literal * (literal < 0 ? smallest : largest);
        }
        EXPECT_EQ(*std::max_element(model.begin(), model.end()), output(peak));
    }

    // Both languages expect exactly the model's outputs, of the design of the rate change.
    const bool decimate = c.rate.kind == RateKind::kDecimate;
    const std::string entity = decimate ? "firfilter_decim" : "firfilter_interp";
    const std::string vhdlText =
        vhdl::BuildPolyphaseTestbench(coeffs, c.dataBits, wave, c.rate, HdlLanguage::kVhdl);
    EXPECT_EQ(After(vhdlText, "constant sample_count : integer := "),
              static_cast<long long>(stimulus.size()));
    EXPECT_EQ(After(vhdlText, "constant output_count : integer := "),
              static_cast<long long>(model.size()));
    EXPECT_NE(vhdlText.find("dut : entity work." + entity + "\n"), std::string::npos);
    EXPECT_NE(vhdlText.find("entity " + entity + "_tb is"), std::string::npos);
    const std::string verilog =
        vhdl::BuildPolyphaseTestbench(coeffs, c.dataBits, wave, c.rate, HdlLanguage::kVerilog);
    EXPECT_EQ(After(verilog, "localparam output_count = "), static_cast<long long>(model.size()));
    EXPECT_NE(verilog.find("module " + entity + "_tb;"), std::string::npos);
    EXPECT_NE(verilog.find("  " + entity + " dut ("), std::string::npos);
    const std::string last = "expected[" + std::to_string(model.size() - 1) +
                             "] = " + std::to_string(model.back()) + ";";
    EXPECT_NE(verilog.find(last), std::string::npos);
    EXPECT_EQ(verilog.find("expected[" + std::to_string(model.size()) + "]"), std::string::npos);
    const size_t count = decimate ? (stimulus.size() + static_cast<size_t>(c.rate.factor) - 1) /
                                        static_cast<size_t>(c.rate.factor)
                                  : stimulus.size() * static_cast<size_t>(c.rate.factor);
    EXPECT_EQ(model.size(), count);
}

INSTANTIATE_TEST_SUITE_P(Polyphase, PolyphaseTestbenchTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
