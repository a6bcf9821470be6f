// The testbench's stimulus: the test wave as given, then a full-scale burst that drives the
// output to both limits, and the expected outputs and the saturation count from the model.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "dsp/FilterCoefficients.h"
#include "vhdl/BitTrueModel.h"
#include "vhdl/HdlLanguage.h"
#include "vhdl/Testbench.h"

namespace {

using vhdl::HdlLanguage;

// The integers of the VHDL testbench's "constant name : sample_array := ( ... );".
std::vector<std::int64_t> Table(const std::string& text, const std::string& name) {
    const size_t start = text.find("constant " + name + " : sample_array := (");
    const size_t open = text.find('(', start);
    const size_t close = text.find(')', open);
    std::string body = text.substr(open + 1, close - open - 1);
    std::replace(body.begin(), body.end(), ',', ' ');
    std::istringstream in(body);
    std::vector<std::int64_t> values;
    long long v = 0;
    while (in >> v) {
        values.push_back(v);
    }
    return values;
}

int Constant(const std::string& text, const std::string& pattern) {
    std::smatch m;
    const std::regex re(pattern + " (-?\\d+);");
    return std::regex_search(text, m, re) ? std::stoi(m[1].str()) : -1;
}

struct BurstCase {
    const char* name;
    bool iir;
    int taps; // FIR
    int bits;
    int dataBits;
    double gain;    // FIR: the first tap of the decaying taps
    bool saturates; // the largest output the filter can give is beyond the data word
};

void PrintTo(const BurstCase& c, std::ostream* os) {
    *os << c.name;
}

// Asymmetric taps (a decaying cosine): a burst in the wrong order would not reach the peak.
std::vector<double> DecayingTaps(int taps, double gain) {
    std::vector<double> h(static_cast<size_t>(taps));
    for (int k = 0; k < taps; ++k) {
        h[static_cast<size_t>(k)] = gain * std::exp(-k / 6.0) * std::cos(0.9 * k);
    }
    return h;
}

dsp::FilterCoefficients Coefficients(const BurstCase& c) {
    if (c.iir) {
        // A resonant band-pass section and a low-pass one: a long response of both signs.
        std::vector<dsp::Section> sections(8, dsp::Section{1.0, 0.0, 0.0, 0.0, 0.0});
        sections[0] = {0.05, 0.0, -0.05, -1.6, 0.9};
        sections[1] = {0.3, 0.6, 0.3, -0.4, 0.2};
        return dsp::IirCoefficients(sections, 2, true, c.bits);
    }
    const std::vector<double> h = DecayingTaps(c.taps, c.gain);
    return dsp::FirCoefficients(h, c.taps, c.taps, 1, true, c.bits);
}

const BurstCase kBurstCases[] = {
    {"FirShort", false, 9, 12, 8, 0.45, true},
    {"FirAsymmetric", false, 23, 16, 12, 0.45, true},
    {"FirWideData", false, 40, 24, 24, 0.45, true},
    {"FirNarrowData", false, 15, 8, 4, 0.45, true},
    // Taps too small to saturate: the burst's peaks are then exactly the largest sums.
    {"FirBelowTheLimits", false, 23, 16, 12, 0.1, false},
    {"FirBelowTheLimitsWide", false, 31, 20, 16, 0.1, false},
    // A resonant band-pass section and a low-pass one.
    {"IirTwoSections", true, 0, 16, 12, 0.0, true},
    {"IirNarrowData", true, 0, 12, 4, 0.0, true},
};

class BurstTest : public ::testing::TestWithParam<BurstCase> {};

TEST_P(BurstTest, DrivesTheOutputToBothLimitsAndCountsIt) {
    const BurstCase& c = GetParam();
    const dsp::FilterCoefficients coeffs = Coefficients(c);
    std::vector<double> wave(200);
    for (size_t i = 0; i < wave.size(); ++i) {
        wave[i] = 10.0 * std::sin(0.05 * static_cast<double>(i)); // far from full scale
    }
    const std::string text = vhdl::BuildTestbench(coeffs, c.dataBits, wave);
    const std::vector<std::int64_t> stimulus = Table(text, "stimulus");
    const std::vector<std::int64_t> expected = Table(text, "expected");
    const std::int64_t largest = (std::int64_t{1} << (c.dataBits - 1)) - 1;
    const std::int64_t smallest = -largest - 1;
    const size_t half = c.iir ? 128 : static_cast<size_t>(c.taps);

    // The wave comes first and unchanged, then only full-scale samples.
    const std::vector<std::int64_t> scaled = vhdl::ScaleStimulus(wave, c.dataBits);
    ASSERT_EQ(stimulus.size(), wave.size() + 2 * half);
    EXPECT_TRUE(std::equal(scaled.begin(), scaled.end(), stimulus.begin()));
    for (size_t i = wave.size(); i < stimulus.size(); ++i) {
        EXPECT_TRUE(stimulus[i] == largest || stimulus[i] == smallest) << i;
    }

    // The outputs are the model's, reach both limits, and the count the testbench states is
    // the model's count of saturated outputs.
    vhdl::SaturationCount saturation;
    const std::vector<std::int64_t> model =
        c.iir ? vhdl::IirBitTrue(vhdl::IirLiterals(coeffs), coeffs.bits, c.dataBits, stimulus,
                                 &saturation)
              : vhdl::FirBitTrue(vhdl::FirLiterals(coeffs), coeffs.bits, c.dataBits, stimulus,
                                 &saturation);
    EXPECT_EQ(expected, model);
    if (c.saturates) {
        EXPECT_NE(std::find(expected.begin(), expected.end(), largest), expected.end());
        EXPECT_NE(std::find(expected.begin(), expected.end(), smallest), expected.end());
        EXPECT_GT(saturation.filterOutput, 0);
    } else {
        EXPECT_EQ(saturation.filterOutput, 0);
    }
    EXPECT_EQ(Constant(text, "constant model_saturated : integer :="), saturation.filterOutput);
    const std::string verilog =
        vhdl::BuildTestbench(coeffs, c.dataBits, wave, HdlLanguage::kVerilog);
    EXPECT_EQ(Constant(verilog, "localparam model_saturated ="), saturation.filterOutput);

    if (!c.iir) {
        // The last sample of each half lines every product up with its tap's sign: the output
        // there is the largest (then the smallest) the filter can give.
        const std::vector<std::int64_t> literals = vhdl::FirLiterals(coeffs);
        std::int64_t peak = 0;
        for (const std::int64_t literal : literals) {
            peak += literal * (literal < 0 ? smallest : largest);
        }
        // Floor of the shift (arithmetic right shift), then the data word's limits.
        const auto output = [&](std::int64_t sum) {
            return vhdl::Saturate(sum >> (coeffs.bits - 1), c.dataBits);
        };
        std::int64_t trough = 0;
        for (const std::int64_t literal : literals) {
            trough += literal * (literal < 0 ? largest : smallest);
        }
        EXPECT_EQ(expected[wave.size() + half - 1], output(peak));
        EXPECT_EQ(expected[wave.size() + 2 * half - 1], output(trough));
    }
}

INSTANTIATE_TEST_SUITE_P(Testbench, BurstTest, ::testing::ValuesIn(kBurstCases),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
