// The polyphase rate changers: the bit-true model against outputs scipy computed, the table of
// products the hardware walks (zero taps left out, empty phases kept), the buffer sizes and
// clocks, and the template text with its header.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "dsp/FilterCoefficients.h"
#include "vhdl/Polyphase.h"
#include "vhdl/VhdlText.h"

namespace {

using vhdl::RateChange;
using vhdl::RateKind;

constexpr RateChange Decimate(int m) {
    return {RateKind::kDecimate, m};
}
constexpr RateChange Interpolate(int l) {
    return {RateKind::kInterpolate, l};
}

struct ModelCase {
    const char* name;
    RateChange rate;
    std::vector<std::int64_t> taps;
    int coeffBits;
    int dataBits;
    std::vector<std::int64_t> input;
    std::vector<std::int64_t> expected;
    int saturated;
};

void PrintTo(const ModelCase& c, std::ostream* os) {
    *os << c.name;
}

// The expected outputs are scipy.signal.upfirdn(taps, input, up, down) computed by scipy, cut to
// the outputs the input gives, shifted right by B - 1 with floor and saturated to D bits.
const ModelCase kModelCases[] = {
    {"DecimateByThree",
     Decimate(3),
     {3, -5, 7, 11, -2},
     5,
     6,
     {31, -32, 5, 17, -9, 0, 12, -30, 22, 8, 1},
     {5, 8, 9, -11},
     0},
    {"InterpolateByFour",
     Interpolate(4),
     {1, 3, 6, 9, 11, 9, 6, 3, 1},
     6,
     8,
     {100, -128, 127, 5, -60},
     {3, 9, 18, 28, 30, 16, -6, -27, -37, -25, -1, 23, 39, 36, 24, 13, 3, -5, -11, -17},
     0},
    // 434 >> 5 = 13 and -496 >> 5 = -16 do not fit 4 bits.
    {"InterpolateSaturates",
     Interpolate(2),
     {31, 31, 31},
     6,
     4,
     {7, 7, -8, -8},
     {6, 6, 7, 6, -1, -8, -8, -8},
     2},
    {"DecimateLongerThanInput",
     Decimate(2),
     {2, 0, -4, 0, 6, 0, -4, 0, 2},
     4,
     8,
     {90, -70, 33},
     {22, -37},
     0},
};

class PolyphaseModelTest : public ::testing::TestWithParam<ModelCase> {};

TEST_P(PolyphaseModelTest, MatchesScipyUpfirdn) {
    const ModelCase& c = GetParam();
    vhdl::SaturationCount saturation;
    EXPECT_EQ(vhdl::PolyphaseBitTrue(c.taps, c.coeffBits, c.dataBits, c.input, c.rate, &saturation),
              c.expected);
    EXPECT_EQ(saturation.filterOutput, c.saturated);
}

INSTANTIATE_TEST_SUITE_P(Polyphase, PolyphaseModelTest, ::testing::ValuesIn(kModelCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PolyphaseModelTest, DecimatorKeepsEveryMthSingleRateOutput) {
    // 23 taps of both signs at B = 24, D = 24: the decimator is the single-rate filter
    // sampled at every seventh input.
    std::vector<std::int64_t> taps;
    for (int k = 0; k < 23; ++k) {
        taps.push_back((k % 3 == 0 ? -1 : 1) * (100003 * (k + 1)) % 2000000);
    }
    std::vector<std::int64_t> input;
    for (int n = 0; n < 50; ++n) {
        input.push_back((n * 7919) % 8000000 - 4000000);
    }
    const std::vector<std::int64_t> full = vhdl::FirBitTrue(taps, 24, 24, input);
    const std::vector<std::int64_t> kept = vhdl::PolyphaseBitTrue(taps, 24, 24, input, Decimate(7));
    ASSERT_EQ(kept.size(), 8u); // samples 0, 7, ..., 49
    for (size_t m = 0; m < kept.size(); ++m) {
        EXPECT_EQ(kept[m], full[7 * m]) << "output " << m;
    }
}

TEST(PolyphaseModelTest, WideSumsDoNotWrap) {
    // 400 products of full-scale 32-bit literals and 24-bit samples pass 2^63; the hardware's
    // accumulator (B + D + 9 bits) holds them and saturates the shifted sum.
    const std::vector<std::int64_t> taps(400, (std::int64_t{1} << 31) - 1);
    const std::vector<std::int64_t> input(400, (std::int64_t{1} << 23) - 1);
    const std::vector<std::int64_t> y = vhdl::PolyphaseBitTrue(taps, 32, 24, input, Decimate(2));
    EXPECT_EQ(y.back(), (std::int64_t{1} << 23) - 1);
    const std::vector<std::int64_t> low(400, -(std::int64_t{1} << 23));
    EXPECT_EQ(vhdl::PolyphaseBitTrue(taps, 32, 24, low, Decimate(2)).back(),
              -(std::int64_t{1} << 23));
}

struct EntryCase {
    const char* name;
    RateChange rate;
    std::vector<std::int64_t> taps;
    // literal, back, last per entry
    std::vector<vhdl::PolyphaseEntry> expected;
};

void PrintTo(const EntryCase& c, std::ostream* os) {
    *os << c.name;
}

const EntryCase kEntryCases[] = {
    {"DecimatorSkipsZeroTaps",
     Decimate(2),
     {5, 0, 7, 0, 5},
     {{5, 0, false}, {7, 2, false}, {5, 4, true}}},
    // A half-band by 2: every other tap 0 but the centre.
    {"HalfBandDecimator",
     Decimate(2),
     {-3, 0, 19, 32, 19, 0, -3},
     {{-3, 0, false}, {19, 2, false}, {32, 3, false}, {19, 4, false}, {-3, 6, true}}},
    {"AllZeroTapsWalkOneEntry", Decimate(4), {0, 0, 0}, {{0, 0, true}}},
    // Phase p takes taps p, p + L, ...; back counts samples.
    {"InterpolatorPhases",
     Interpolate(3),
     {1, 2, 3, 4, 5, 6, 7},
     {{1, 0, false},
      {4, 1, false},
      {7, 2, true},
      {2, 0, false},
      {5, 1, true},
      {3, 0, false},
      {6, 1, true}}},
    {"InterpolatorEmptyPhases",
     Interpolate(4),
     {9, 0, 8},
     {{9, 0, true}, {0, 0, true}, {8, 0, true}, {0, 0, true}}},
    {"HalfBandInterpolator",
     Interpolate(2),
     {-3, 0, 19, 32, 19, 0, -3},
     {{-3, 0, false}, {19, 1, false}, {19, 2, false}, {-3, 3, true}, {32, 1, true}}},
};

class PolyphaseEntryTest : public ::testing::TestWithParam<EntryCase> {};

TEST_P(PolyphaseEntryTest, WalksOnlyTheNonZeroTaps) {
    const EntryCase& c = GetParam();
    EXPECT_EQ(vhdl::PolyphaseEntries(c.taps, c.rate), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Polyphase, PolyphaseEntryTest, ::testing::ValuesIn(kEntryCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct SizeCase {
    const char* name;
    RateChange rate;
    int taps;
    int entries;
    int depth;
    int addressBits;
    int clocks;
};

void PrintTo(const SizeCase& c, std::ostream* os) {
    *os << c.name;
}

const SizeCase kSizeCases[] = {
    // taps + M - 1 = 68 samples: 7 address bits; max(8, 61 + 1) clocks per 8 samples.
    {"DecimatorByEight", Decimate(8), 61, 61, 61, 7, 62},
    // The job is shorter than the M samples: M clocks.
    {"ShortDecimator", Decimate(16), 9, 5, 9, 5, 16},
    // ceil(380 / 3) = 127 samples: 7 bits; one clock per entry plus the one that takes.
    {"Interpolator", Interpolate(3), 380, 380, 127, 7, 381},
    {"InterpolatorFewTaps", Interpolate(16), 3, 16, 1, 1, 17},
    // 512 samples exactly fill 9 bits.
    {"DecimatorFillsPowerOfTwo", Decimate(64), 449, 449, 449, 9, 450},
};

class PolyphaseSizeTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(PolyphaseSizeTest, BufferAndClocks) {
    const SizeCase& c = GetParam();
    EXPECT_EQ(vhdl::PolyphaseDepth(c.taps, c.rate), c.depth);
    EXPECT_EQ(vhdl::PolyphaseAddressBits(c.taps, c.rate), c.addressBits);
    EXPECT_EQ(vhdl::PolyphaseClocks(c.entries, c.rate), c.clocks);
}

INSTANTIATE_TEST_SUITE_P(Polyphase, PolyphaseSizeTest, ::testing::ValuesIn(kSizeCases),
                         [](const auto& info) { return std::string(info.param.name); });

dsp::FilterCoefficients FirOf(std::vector<double> h, int bits) {
    return dsp::FirCoefficients(h, static_cast<int>(h.size()), static_cast<int>(h.size()), 1, true,
                                bits);
}

TEST(PolyphaseTextTest, TablesAndConstantsReplaced) {
    // Taps 0.25, 0, -0.5 at 8 bits: literals 32, 0, -64; the zero tap is not in the table.
    const dsp::FilterCoefficients c = FirOf({0.25, 0.0, -0.5}, 8);
    const std::string templateText = "constant taps : integer := TAPN;\n"
                                     "constant rate : integer := POLYM;\n"
                                     "constant entries : integer := POLYE;\n"
                                     "constant depth : integer := POLYD;\n"
                                     "constant addr_bits : integer := POLYA;\n"
                                     "\"reph  0\", \"reph  1\", \"reph  2\"\n"
                                     "repo  0, repo  1, repo  2\n"
                                     "signed(COB-1 downto 0) signed(DIOB-1 downto 0)\n";
    const std::string text = vhdl::SubstitutePolyphaseTemplate(c, 10, Decimate(5), templateText,
                                                               vhdl::HeaderVariant::kFile);
    EXPECT_EQ(text, "constant taps : integer :=   3;\n"
                    "constant rate : integer :=  5;\n"
                    "constant entries : integer :=   2;\n"
                    "constant depth : integer :=   3;\n"
                    "constant addr_bits : integer :=  3;\n"
                    "\"00100000\", \"11000000\", \"00000000\"\n"
                    "   0,    5,    1\n"
                    "signed( 7 downto 0) signed( 9 downto 0)\n");
    EXPECT_TRUE(vhdl::FindPolyphaseLeftovers(text).empty());
    // The display variant ends its lines with CR LF.
    const std::string shown = vhdl::SubstitutePolyphaseTemplate(c, 10, Decimate(5), "a POLYM\nb",
                                                                vhdl::HeaderVariant::kDisplay);
    EXPECT_EQ(shown, "a  5\r\nb\r\n");
}

TEST(PolyphaseTextTest, LeftoverTokensAreFound) {
    const std::vector<vhdl::LeftoverToken> found =
        vhdl::FindPolyphaseLeftovers("ok\nx POLYQ repo\nreph COB\n");
    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].line, 2);
    EXPECT_EQ(found[0].token, "repo");
    EXPECT_EQ(found[1].token, "reph");
    EXPECT_EQ(found[2].token, "COB");
}

TEST(PolyphaseTextTest, HeaderNamesTheRateChange) {
    vhdl::HeaderValues values;
    values.typeWords = "LPF by FIR";
    values.rateChange = vhdl::RateChangeWords(Decimate(8));
    values.architecture = vhdl::PolyphaseArchitectureWords(61, Decimate(8));
    const std::string header = vhdl::BuildVhdlHeader(vhdl::HeaderVariant::kFile, false, values);
    EXPECT_NE(header.find("-- Architecture = polyphase, 1 multiplier, 62 clocks per 8 input "
                          "samples\n-- Decimation = 8\n"),
              std::string::npos);
    values.rateChange.clear();
    EXPECT_EQ(vhdl::BuildVhdlHeader(vhdl::HeaderVariant::kFile, false, values).find("Decimation"),
              std::string::npos);
    EXPECT_EQ(vhdl::RateChangeWords(Interpolate(4)), "Interpolation = 4");
}

TEST(PolyphaseTextTest, RefusesWhatTheTemplatesCannotHold) {
    EXPECT_FALSE(vhdl::PolyphaseRefusal(FirOf(std::vector<double>(400, 0.001), 16), Decimate(2)));
    EXPECT_TRUE(vhdl::PolyphaseRefusal(FirOf(std::vector<double>(401, 0.001), 16), Decimate(2)));
    EXPECT_EQ(vhdl::PolyphaseTemplateName(Interpolate(3), vhdl::HdlLanguage::kVerilog),
              "firfilter_interp.v");
}

// The folded walk: each output's entries padded with zero entries to whole rows of K, the row
// that ends an output marked on its last entry; the lanes clamped to the longest output.
struct FoldedCase {
    const char* name;
    RateChange rate;
    std::vector<std::int64_t> taps;
    int multipliers;
    int used;
    std::vector<vhdl::PolyphaseEntry> entries;
};

void PrintTo(const FoldedCase& c, std::ostream* os) {
    *os << c.name;
}

const FoldedCase kFoldedCases[] = {
    // Five non-zero taps (tap 2 is 0) in rows of 2: three rows, the last padded.
    {"DecimatorPadsItsLastRow",
     Decimate(4),
     {5, -3, 0, 7, 1, 2},
     2,
     2,
     {{5, 0, false}, {-3, 1, false}, {7, 3, false}, {1, 4, false}, {2, 5, false}, {0, 0, true}}},
    // More lanes than products: one row of all of them.
    {"DecimatorClampsTheLanes",
     Decimate(2),
     {1, 2, 3},
     8,
     3,
     {{1, 0, false}, {2, 1, false}, {3, 2, true}}},
    // Phase 0 has taps 0, 2, 4 (three entries, two rows of 2), phase 1 taps 1 and 3 (one row);
    // each phase's rows are its own.
    {"InterpolatorPadsEachPhase",
     Interpolate(2),
     {1, 2, 3, 4, 5},
     2,
     2,
     {{1, 0, false}, {3, 1, false}, {5, 2, false}, {0, 0, true}, {2, 0, false}, {4, 1, true}}},
    // A phase without a non-zero tap is one zero entry, padded to one row of zeros.
    {"InterpolatorEmptyPhaseIsOneRow",
     Interpolate(3),
     {6, 0, 0, 7, 0, 0},
     2,
     2,
     {{6, 0, false}, {7, 1, true}, {0, 0, false}, {0, 0, true}, {0, 0, false}, {0, 0, true}}},
    // One lane: the serial walk itself.
    {"OneLaneIsTheSerialWalk",
     Interpolate(2),
     {1, 0, 3},
     1,
     1,
     {{1, 0, false}, {3, 1, true}, {0, 0, true}}},
};

class PolyphaseFoldedTest : public ::testing::TestWithParam<FoldedCase> {};

TEST_P(PolyphaseFoldedTest, RowsOfTheWalk) {
    const FoldedCase& c = GetParam();
    EXPECT_EQ(vhdl::PolyphaseUsedMultipliers(c.taps, c.rate, c.multipliers), c.used);
    EXPECT_EQ(vhdl::PolyphaseFoldedEntries(c.taps, c.rate, c.multipliers), c.entries);
    EXPECT_EQ(vhdl::PolyphaseRows(c.taps, c.rate, c.multipliers),
              static_cast<int>(c.entries.size()) / c.used);
}

INSTANTIATE_TEST_SUITE_P(Polyphase, PolyphaseFoldedTest, ::testing::ValuesIn(kFoldedCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PolyphaseFoldedTest, OneLaneSubstitutesAsTheSerialWalk) {
    const dsp::FilterCoefficients c = FirOf({0.25, 0.0, -0.5, 0.125}, 8);
    const std::string templateText = "POLYE POLYK\nrepo  0 repo  1 repo  2 repo  3\n";
    EXPECT_EQ(vhdl::SubstitutePolyphaseTemplate(c, 10, Decimate(2), templateText,
                                                vhdl::HeaderVariant::kFile),
              "  3  1\n   0    4    7    1\n");
    // Two lanes: two rows, the second padded with a zero entry that ends the output.
    EXPECT_EQ(vhdl::SubstitutePolyphaseTemplate(c, 10, Decimate(2), templateText,
                                                vhdl::HeaderVariant::kFile, 2),
              "  4  2\n   0    4    6    1\n");
}

// Auto: the fewest lanes whose job fits floor(factor * clock / fs) clocks.
struct ChoiceCase {
    const char* name;
    RateChange rate;
    int taps; // all non-zero
    double clockHz;
    double fs;
    int multipliers;
    bool fits;
};

void PrintTo(const ChoiceCase& c, std::ostream* os) {
    *os << c.name;
}

const ChoiceCase kChoiceCases[] = {
    // 61 products, 8 samples at 8 kHz: 48 MHz leaves 48000 clocks: one lane.
    {"SlowRateIsSerial", Decimate(8), 61, 48e6, 8000, 1, true},
    // 8 * 16 MHz / 16 MHz = 8 clocks: rows + 1 <= 8 needs 7 rows, ceil(61 / 7) = 9 lanes.
    {"DecimatorAtOneSamplePerClock", Decimate(8), 61, 16e6, 16e6, 9, true},
    // 8 * 20 / 8 = 20 clocks: 19 rows, ceil(61 / 19) = 4 lanes (3 give 21 rows).
    {"DecimatorFewestLanes", Decimate(8), 61, 20e3, 8000, 4, true},
    // Interpolator by 4 of 40 taps: 10 per phase; 4 * 12 / 4 = 12 clocks: 11 rows. 2 lanes
    // give 4 * 5 = 20 rows, 3 give 4 * 4 = 16, 4 give 4 * 3 = 12, 5 give 4 * 2 = 8: 5 lanes.
    {"InterpolatorRowsPerPhase", Interpolate(4), 40, 12e6, 4e6, 5, true},
    // Not even one row per output fits: the most lanes, flagged.
    {"NothingFits", Decimate(2), 30, 1e6, 2e6, 30, false},
    {"NoClock", Decimate(2), 30, 0.0, 8000, 30, false},
};

class PolyphaseChoiceTest : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(PolyphaseChoiceTest, FewestLanesThatKeepUp) {
    const ChoiceCase& c = GetParam();
    const std::vector<std::int64_t> taps(static_cast<size_t>(c.taps), 3);
    const vhdl::PolyphaseChoice choice =
        vhdl::ChoosePolyphaseMultipliers(taps, c.rate, c.clockHz, c.fs);
    EXPECT_EQ(choice.multipliers, c.multipliers);
    EXPECT_EQ(choice.fits, c.fits);
}

INSTANTIATE_TEST_SUITE_P(Polyphase, PolyphaseChoiceTest, ::testing::ValuesIn(kChoiceCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PolyphaseFoldedTest, HeaderWordsAndTemplateNames) {
    EXPECT_EQ(vhdl::PolyphaseArchitectureWords(31, Decimate(8), 2),
              "polyphase folded, 2 multipliers, 32 clocks per 8 input samples");
    EXPECT_EQ(vhdl::PolyphaseArchitectureWords(3, Interpolate(4), 1),
              "polyphase folded, 1 multiplier, 4 clocks per input sample (4 outputs)");
    EXPECT_EQ(vhdl::PolyphaseTemplateName(Decimate(3), vhdl::HdlLanguage::kVhdl, true),
              "firfilter_decim_folded.vhd");
    EXPECT_EQ(vhdl::PolyphaseTemplateName(Interpolate(3), vhdl::HdlLanguage::kVerilog, true),
              "firfilter_interp_folded.v");
    // A decimator by 8 that takes 31 clocks per job: 3.875 clocks per input sample.
    EXPECT_DOUBLE_EQ(vhdl::PolyphaseClocksPerInput(30, Decimate(8)), 31.0 / 8.0);
    EXPECT_DOUBLE_EQ(vhdl::PolyphaseClocksPerInput(30, Interpolate(8)), 31.0);
}

TEST(PolyphaseFoldedTest, RefusesAPaddedTableTheTemplateCannotHold) {
    // 380 taps by 5: 76 per phase. 64 lanes pad each phase to 128 entries (640 in all); 8
    // lanes to 80 (400, which fits).
    const dsp::FilterCoefficients c = FirOf(std::vector<double>(380, 0.001), 16);
    EXPECT_FALSE(vhdl::PolyphaseRefusal(c, Interpolate(5), 8));
    const std::optional<std::string> refusal = vhdl::PolyphaseRefusal(c, Interpolate(5), 64);
    ASSERT_TRUE(refusal);
    EXPECT_NE(refusal->find("take 640: choose fewer multipliers"), std::string::npos) << *refusal;
}

} // namespace
