// The architectures' clock counts, the Auto choice, the symmetry of the taps, the template file
// names and the tokens the folded and parallel templates take.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dsp/FilterCoefficients.h"
#include "vhdl/Architecture.h"
#include "vhdl/VhdlText.h"

namespace {

using vhdl::Architecture;

struct CyclesCase {
    const char* name;
    Architecture arch;
    bool iir;
    int taps;
    int sections;
    int multipliers;
    bool symmetric;
    int cycles;
    int latency;
};

void PrintTo(const CyclesCase& c, std::ostream* os) {
    *os << c.name;
}

const CyclesCase kCyclesCases[] = {
    {"SerialFir", Architecture::kSerial, false, 61, 0, 8, true, 63, 62},
    {"AutoCountsAsSerial", Architecture::kAuto, false, 61, 0, 8, true, 63, 62},
    {"SerialIir", Architecture::kSerial, true, 0, 3, 1, false, 19, 18},
    {"SerialIirNineSectionsTakeEight", Architecture::kSerial, true, 0, 9, 1, false, 49, 48},
    // 61 symmetric taps are 31 pairs: ceil(31 / 8) issue clocks + 1. Latency: the issues, the
    // products, ceil(log2 K) tree levels, the accumulator and the saturation.
    {"FoldedFirPairs", Architecture::kFolded, false, 61, 0, 8, true, 5, 13},
    {"FoldedFirEvenPairs", Architecture::kFolded, false, 40, 0, 3, true, 8, 15},
    {"FoldedFirAsymmetric", Architecture::kFolded, false, 61, 0, 8, false, 9, 17},
    {"FoldedFirOneMultiplierPairs", Architecture::kFolded, false, 61, 0, 1, true, 32, 37},
    {"FoldedFirMoreMultipliersThanPairs", Architecture::kFolded, false, 9, 0, 64, true, 2, 10},
    {"FoldedFirZeroMultipliersTakeOne", Architecture::kFolded, false, 9, 0, 0, false, 10, 15},
    // IIR frames: ceil(5 S / K) issue clocks + 2; a sample's output S frames after it.
    {"FoldedIirOne", Architecture::kFolded, true, 0, 2, 1, false, 12, 24},
    {"FoldedIirTwo", Architecture::kFolded, true, 0, 2, 2, false, 7, 14},
    {"FoldedIirLanesSpanSections", Architecture::kFolded, true, 0, 3, 4, false, 6, 18},
    {"FoldedIirSingleSection", Architecture::kFolded, true, 0, 1, 3, false, 4, 4},
    {"FoldedIirFiveAndMore", Architecture::kFolded, true, 0, 8, 9, false, 10, 80},
    {"FoldedIirNineSectionsTakeEight", Architecture::kFolded, true, 0, 9, 2, false, 22, 176},
    // Parallel latency: pre-add, three product clocks, ceil(log2 (M + 1)) tree levels, the join
    // of the two trees, saturation.
    {"ParallelFir", Architecture::kParallel, false, 61, 0, 1, true, 1, 11},
    // 32 products and the constant leaf: one tree level more than 31 products take.
    {"ParallelFirFullTree", Architecture::kParallel, false, 63, 0, 1, true, 1, 12},
    {"ParallelFirOnePair", Architecture::kParallel, false, 2, 0, 1, true, 1, 7},
    {"ParallelFirAsymmetric", Architecture::kParallel, false, 23, 0, 1, false, 1, 11},
    {"ParallelIir", Architecture::kParallel, true, 0, 8, 1, false, 1, 9},
};

class CyclesTest : public ::testing::TestWithParam<CyclesCase> {};

TEST_P(CyclesTest, CyclesAndLatency) {
    const CyclesCase& c = GetParam();
    EXPECT_EQ(vhdl::CyclesPerSample(c.arch, c.iir, c.taps, c.sections, c.multipliers, c.symmetric),
              c.cycles);
    EXPECT_EQ(vhdl::LatencyClocks(c.arch, c.iir, c.taps, c.sections, c.multipliers, c.symmetric),
              c.latency);
}

INSTANTIATE_TEST_SUITE_P(Architecture, CyclesTest, ::testing::ValuesIn(kCyclesCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct ChoiceCase {
    const char* name;
    double clockHz;
    double fs;
    bool iir;
    int taps;
    int sections;
    bool symmetric;
    Architecture arch;
    int multipliers;
    bool fits;
};

void PrintTo(const ChoiceCase& c, std::ostream* os) {
    *os << c.name;
}

// The README band-pass: 61 symmetric taps, 31 pairs; serial needs 63 clocks per sample.
const ChoiceCase kChoiceCases[] = {
    {"SerialFitsExactly", 63e3, 1e3, false, 61, 0, true, Architecture::kSerial, 1, true},
    {"SerialWithRoom", 48e6, 44.1e3, false, 61, 0, true, Architecture::kSerial, 1, true},
    // 62 clocks: one multiplier over the pairs takes 32.
    {"OneClockShortFoldsOnce", 62e3, 1e3, false, 61, 0, true, Architecture::kFolded, 1, true},
    // 5 clocks: ceil(31 / K) <= 4 needs K = 8.
    {"FoldedFewest", 5e3, 1e3, false, 61, 0, true, Architecture::kFolded, 8, true},
    {"FoldedFractionFloors", 5.9e3, 1e3, false, 61, 0, true, Architecture::kFolded, 8, true},
    // 2 clocks: one product per lane, 31 lanes.
    {"FoldedAllPairs", 2e3, 1e3, false, 61, 0, true, Architecture::kFolded, 31, true},
    {"AsymmetricNeedsMore", 5e3, 1e3, false, 61, 0, false, Architecture::kFolded, 16, true},
    {"OneClockParallel", 1e3, 1e3, false, 61, 0, true, Architecture::kParallel, 31, true},
    {"SlowerClockDoesNotFit", 0.5e3, 1e3, false, 61, 0, true, Architecture::kParallel, 31, false},
    {"NoClockDoesNotFit", 0.0, 1e3, false, 61, 0, true, Architecture::kParallel, 31, false},
    {"ManyLanesOverTheLimit", 2e3, 1e3, false, 380, 0, false, Architecture::kParallel, 380, true},
    // IIR of 4 sections: serial 25; folded ceil(20 / K) + 2: 22, 12, 9, 7, 6 for K = 1..5.
    {"IirSerial", 25e3, 1e3, true, 0, 4, false, Architecture::kSerial, 1, true},
    {"IirFoldedOne", 24e3, 1e3, true, 0, 4, false, Architecture::kFolded, 1, true},
    {"IirFoldedTwo", 21e3, 1e3, true, 0, 4, false, Architecture::kFolded, 2, true},
    {"IirFoldedThree", 11e3, 1e3, true, 0, 4, false, Architecture::kFolded, 3, true},
    {"IirFoldedFour", 8e3, 1e3, true, 0, 4, false, Architecture::kFolded, 4, true},
    {"IirFoldedFive", 6e3, 1e3, true, 0, 4, false, Architecture::kFolded, 5, true},
    {"IirParallel", 5e3, 1e3, true, 0, 4, false, Architecture::kParallel, 5, true},
};

class ChoiceTest : public ::testing::TestWithParam<ChoiceCase> {};

TEST_P(ChoiceTest, CheapestThatKeepsUp) {
    const ChoiceCase& c = GetParam();
    const vhdl::ArchitectureChoice choice =
        vhdl::ChooseArchitecture(c.clockHz, c.fs, c.iir, c.taps, c.sections, c.symmetric);
    EXPECT_EQ(vhdl::ArchitectureName(choice.arch), std::string(vhdl::ArchitectureName(c.arch)));
    EXPECT_EQ(choice.multipliers, c.multipliers);
    EXPECT_EQ(choice.fits, c.fits);
}

INSTANTIATE_TEST_SUITE_P(Architecture, ChoiceTest, ::testing::ValuesIn(kChoiceCases),
                         [](const auto& info) { return std::string(info.param.name); });

dsp::FilterCoefficients FirOf(std::vector<double> h, int bits) {
    return dsp::FirCoefficients(h, static_cast<int>(h.size()), static_cast<int>(h.size()), 1, true,
                                bits);
}

TEST(ArchitectureTest, SymmetryOfTheQuantizedTaps) {
    EXPECT_TRUE(vhdl::SymmetricTaps(FirOf({0.1, 0.4, 0.1}, 16)));
    EXPECT_TRUE(vhdl::SymmetricTaps(FirOf({-0.2, 0.3, 0.3, -0.2}, 16)));
    EXPECT_FALSE(vhdl::SymmetricTaps(FirOf({-0.2, 0.3, 0.3, 0.2}, 16)));
    // Different values that truncate to the same 4-bit literal are symmetric in hardware.
    EXPECT_FALSE(vhdl::SymmetricTaps(FirOf({0.25, 0.5, 0.26}, 16)));
    EXPECT_TRUE(vhdl::SymmetricTaps(FirOf({0.25, 0.5, 0.26}, 4)));
    dsp::Section pass{1.0, 0.0, 0.0, 0.0, 0.0};
    const std::vector<dsp::Section> sections{pass};
    EXPECT_FALSE(vhdl::SymmetricTaps(dsp::IirCoefficients(sections, 1, true, 16)));
}

TEST(ArchitectureTest, NamesAndTemplateFiles) {
    for (Architecture arch : {Architecture::kSerial, Architecture::kFolded, Architecture::kParallel,
                              Architecture::kAuto}) {
        const auto parsed = vhdl::ParseArchitecture(vhdl::ArchitectureName(arch));
        ASSERT_TRUE(parsed.has_value());
        EXPECT_EQ(*parsed, arch);
    }
    EXPECT_FALSE(vhdl::ParseArchitecture("Folded").has_value());
    EXPECT_EQ(vhdl::ArchitectureTemplateFileName(Architecture::kSerial, false, 0), "firfilter.vhd");
    EXPECT_EQ(vhdl::ArchitectureTemplateFileName(Architecture::kFolded, false, 0),
              "firfilter_folded.vhd");
    // One folded and one parallel IIR template for every section count; the serial ones stay
    // one per count. The per-count names are still known, for users' own templates.
    const struct {
        Architecture arch;
        bool iir;
        int sections;
        const char* name;
        const char* legacy;
    } cases[] = {
        {Architecture::kParallel, true, 3, "iirfilter_parallel.vhd", "iirfilter3_parallel.vhd"},
        {Architecture::kFolded, true, 12, "iirfilter_folded.vhd", "iirfilter8_folded.vhd"},
        {Architecture::kFolded, true, 1, "iirfilter_folded.vhd", "iirfilter1_folded.vhd"},
        {Architecture::kSerial, true, 5, "iirfilter5.vhd", ""},
        {Architecture::kAuto, true, 2, "iirfilter2.vhd", ""},
        {Architecture::kFolded, false, 3, "firfilter_folded.vhd", ""},
        {Architecture::kParallel, false, 0, "firfilter_parallel.vhd", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(vhdl::ArchitectureTemplateFileName(c.arch, c.iir, c.sections), c.name);
        EXPECT_EQ(vhdl::LegacyTemplateFileName(c.arch, c.iir, c.sections), c.legacy);
    }
}

// SYMM and MULK in a template line: the symmetry of the taps and the multipliers a folded
// filter uses, clamped to what it can use.
TEST(ArchitectureTest, FoldedTemplateTokens) {
    int index = 0;
    const dsp::FilterCoefficients symmetric = FirOf({0.1, 0.4, 0.4, 0.1}, 16);
    EXPECT_EQ(vhdl::SubstituteFirLine(symmetric, 12, "s SYMM k MULK", index, 1), "s 1 k  1");
    EXPECT_EQ(vhdl::SubstituteFirLine(symmetric, 12, "s SYMM k MULK", index, 64), "s 1 k  2");
    const dsp::FilterCoefficients asymmetric = FirOf({0.1, 0.4, 0.3, 0.1}, 16);
    EXPECT_EQ(vhdl::SubstituteFirLine(asymmetric, 12, "s SYMM k MULK", index, 64), "s 0 k  4");
    EXPECT_EQ(vhdl::SubstituteFirLine(asymmetric, 12, "k MULK", index), "k  1");
    const std::vector<dsp::Section> sections(2, dsp::Section{1.0, 0.0, 0.0, 0.0, 0.0});
    const dsp::FilterCoefficients iir = dsp::IirCoefficients(sections, 2, true, 16);
    EXPECT_EQ(vhdl::SubstituteIirLine(iir, 12, "k MULK", index, 3), "k  3");
    EXPECT_EQ(vhdl::SubstituteIirLine(iir, 12, "k MULK", index, 12), "k  5");
    EXPECT_EQ(index, 0);
}

} // namespace
