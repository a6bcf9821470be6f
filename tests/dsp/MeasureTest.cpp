// Measured band gains against scipy, the word-length advisor against a brute-force search with
// its rule written out, the hardware output against the bit-true model, and the overflow report.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "app/AnalysisCommands.h"
#include "app/CoefficientsCommands.h"
#include "app/DesignCommands.h"
#include "app/DesignRules.h"
#include "app/MeasureCommands.h"
#include "app/OlvexDoc.h"
#include "app/VhdlCommands.h"
#include "dsp/Measure.h"
#include "dsp/QuantRules.h"
#include "vhdl/BitTrueModel.h"
#include "vhdl/HardwareWave.h"

namespace {

COlvexDoc FirDesign(int type, int taps, double fc1, double fc2, double fc3 = 0, double fc4 = 0) {
    COlvexDoc doc;
    doc.m_fc1 = fc1;
    doc.m_fc2 = fc2;
    doc.m_fc3 = fc3;
    doc.m_fc4 = fc4;
    design::StoreFirTapCount(doc, type, taps);
    doc.m_nFilterType = type;
    doc.DesignFir(type);
    EXPECT_EQ(doc.m_bDesignOk, 1);
    return doc;
}

COlvexDoc IirDesign(int type, int sections, double ripple, double fc1, double fc2 = 0,
                    double fs = 1000.0) {
    COlvexDoc doc;
    design::StoreIirParameters(doc, type, sections, ripple, fc1, fc2, fs);
    EXPECT_TRUE(doc.DesignIir());
    return doc;
}

// Reference numbers from scipy 1.10.1 on the coefficients vantrel-cli prints for the same design
// (`vantrel-cli fir`, `vantrel-cli iir --type bpf --sections 4 --cutoff 200,300 --quantize 12`):
//   g = 20*log10(abs(freqz(h, worN=f, fs=1000)[1]))             FIR
//   g = 20*log10(abs(sosfreqz(sos, worN=f, fs=1000)[1]))        IIR, sos rows [a0,a1,a2,1,b1,b2]
// with f = the band edges plus linspace(lo, hi, 200001); min(g) and max(g) per band.
// tools/check_measure.py repeats the comparison over more designs through the command line.
TEST(Measure, AgreesWithScipyWithinFiveHundredthsOfADecibel) {
    constexpr double kTolerance = 0.05;
    const COlvexDoc fir = FirDesign(kLpf, 90, 200, 250);
    const dsp::Measurements m = commands::MeasureDocument(fir, false);
    ASSERT_EQ(m.unquantized.size(), 2u);
    EXPECT_TRUE(m.quantized.empty());
    EXPECT_TRUE(m.unquantized[0].band.pass);
    EXPECT_EQ(m.unquantized[0].band.hi, 200.0);
    EXPECT_NEAR(m.unquantized[0].minDb, -0.0037859097514312164, kTolerance);
    EXPECT_NEAR(m.unquantized[0].maxDb, 0.0038269000018075275, kTolerance);
    EXPECT_FALSE(m.unquantized[1].band.pass);
    EXPECT_EQ(m.unquantized[1].band.lo, 250.0);
    EXPECT_NEAR(m.unquantized[1].maxDb, -86.8768105026885, kTolerance);

    COlvexDoc iir = IirDesign(kBpf, 4, 0.3, 200, 300);
    iir.m_bQuantize = 1;
    iir.m_nQuantBits = 12;
    const dsp::Measurements q = commands::MeasureDocument(iir, true);
    ASSERT_EQ(q.quantized.size(), 3u);
    EXPECT_TRUE(q.quantized[1].band.pass);
    EXPECT_NEAR(q.quantized[1].minDb, -0.058029105166688626, kTolerance);
    EXPECT_NEAR(q.quantized[1].maxDb, 0.2656858723512683, kTolerance);
    EXPECT_EQ(&dsp::ReportedGains(q), &q.quantized);
}

// The IIR stop bands begin at the -20 dB point of the unquantized gain, on the far side of the
// pass band: one band per side that has one, in frequency order.
TEST(Measure, IirBandsFollowTheCutOffsAndTheTwentyDecibelPoint) {
    struct Case {
        int type;
        double fc1, fc2;
        std::vector<bool> pass;
    };
    const Case cases[] = {
        {kLpf, 200, 0, {true, false}},
        {kHpf, 200, 0, {false, true}},
        {kBrf, 200, 300, {true, false, true}},
        {kBpf, 200, 300, {false, true, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        const int sections = design::IsThreeBand(c.type) ? 4 : 3;
        const COlvexDoc doc = IirDesign(c.type, sections, 0.5, c.fc1, c.fc2);
        const dsp::Measurements m = commands::MeasureDocument(doc, true);
        ASSERT_EQ(m.unquantized.size(), c.pass.size());
        for (size_t i = 0; i < c.pass.size(); ++i) {
            const dsp::BandGain& g = m.unquantized[i];
            EXPECT_EQ(g.band.pass, c.pass[i]);
            if (i > 0) {
                EXPECT_GE(g.band.lo, m.unquantized[i - 1].band.hi);
            }
            if (!g.band.pass) {
                // Chebyshev stop bands fall monotonically: the maximum is the -20 dB edge.
                EXPECT_NEAR(g.maxDb, dsp::kIirStopLevelDb, 1e-6);
            } else {
                EXPECT_NEAR(g.maxDb - g.minDb, 0.5, 1e-3); // the ripple the design asked for
            }
        }
    }
}

// The advisor's rule, written out independently: per band, a stop band's maximum and a pass
// band's ripple may grow by TOL at most; every quantized IIR pole lies strictly inside |z| = 1.
bool BruteForceMeets(const COlvexDoc& doc, bool iir, int bits, double tol) {
    COlvexDoc q = doc;
    q.m_bQuantize = 1;
    q.m_nQuantBits = bits;
    const dsp::Measurements m = commands::MeasureDocument(q, iir);
    for (size_t i = 0; i < m.unquantized.size(); ++i) {
        const dsp::BandGain& u = m.unquantized[i];
        const dsp::BandGain& g = m.quantized[i];
        const double grown =
            u.band.pass ? (g.maxDb - g.minDb) - (u.maxDb - u.minDb) : g.maxDb - u.maxDb;
        if (!(grown <= tol)) {
            return false;
        }
    }
    for (int s = 0; iir && s < doc.m_nIirSections; ++s) {
        const std::complex<double> b1 = q.Quantize(doc.m_aB1[s]);
        const std::complex<double> b2 = q.Quantize(doc.m_aB2[s]);
        const std::complex<double> root = std::sqrt(b1 * b1 - 4.0 * b2);
        if (std::abs((-b1 + root) / 2.0) >= 1.0 || std::abs((-b1 - root) / 2.0) >= 1.0) {
            return false;
        }
    }
    return true;
}

// The FIR bands come from the type and the edges alone; empty ones are left out.
TEST(Measure, FirBandsOfEachType) {
    const std::vector<double> h = {1.0};
    const dsp::FilterCoefficients c = dsp::FirCoefficients(h, 1, 1, 1, false, 16);
    struct Case {
        int type;
        std::vector<dsp::Band> bands;
    };
    const Case cases[] = {
        {kLpf, {{true, 0, 100}, {false, 150, 500}}},
        {kHpf, {{false, 0, 100}, {true, 150, 500}}},
        {kBrf, {{true, 0, 100}, {false, 150, 300}, {true, 350, 500}}},
        {kBpf, {{false, 0, 100}, {true, 150, 300}, {false, 350, 500}}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.type);
        const std::vector<dsp::Band> bands =
            dsp::MeasureBands({k.type, 1000.0, 100.0, 150.0, 300.0, 350.0}, c);
        ASSERT_EQ(bands.size(), k.bands.size());
        for (size_t i = 0; i < bands.size(); ++i) {
            EXPECT_EQ(bands[i].pass, k.bands[i].pass);
            EXPECT_EQ(bands[i].lo, k.bands[i].lo);
            EXPECT_EQ(bands[i].hi, k.bands[i].hi);
        }
    }
    EXPECT_TRUE(dsp::MeasureBands({kLpf, 0.0, 100.0, 150.0, 0.0, 0.0}, c).empty());
    // Edges beyond fs/2 are clamped; a band whose edges cross is left out.
    EXPECT_EQ(dsp::MeasureBands({kLpf, 1000.0, 600.0, 700.0, 0.0, 0.0}, c).size(), 2u);
    EXPECT_EQ(dsp::MeasureBands({kBpf, 1000.0, 100.0, 300.0, 200.0, 350.0}, c).size(), 2u);
}

// The measured gains are those of the coefficients that leave the design: K = 2 lifts every
// gain by 20 log10(2), quantized or not.
TEST(Measure, GainsIncludeTheMultiplier) {
    COlvexDoc doc = FirDesign(kLpf, 41, 150.0, 200.0);
    doc.m_bQuantize = 1;
    doc.m_nQuantBits = 16;
    const dsp::Measurements one = commands::MeasureDocument(doc, false);
    doc.m_nCoeffMultiplier = 2;
    const dsp::Measurements two = commands::MeasureDocument(doc, false);
    ASSERT_EQ(one.quantized.size(), two.quantized.size());
    const double lift = 20.0 * std::log10(2.0);
    for (size_t i = 0; i < one.unquantized.size(); ++i) {
        EXPECT_NEAR(two.unquantized[i].maxDb - one.unquantized[i].maxDb, lift, 1e-9) << i;
        if (one.quantized[i].band.pass) { // stop bands sit near the truncation noise
            EXPECT_NEAR(two.quantized[i].maxDb - one.quantized[i].maxDb, lift, 0.01) << i;
        }
    }
    // The engine measures the value it is given.
    const dsp::Measurements direct =
        dsp::Measure(commands::BandSpecOf(doc, false), doc.TakeCoefficients(false, false), nullptr);
    EXPECT_EQ(direct.unquantized[0].minDb, two.unquantized[0].minDb);
    EXPECT_TRUE(direct.quantized.empty());
}

TEST(Advisor, AdvisesTheSmallestBitLengthThatABruteForceSearchAccepts) {
    struct Case {
        const char* name;
        COlvexDoc doc;
        bool iir;
    };
    const Case cases[] = {
        {"fir lpf 90", FirDesign(kLpf, 90, 200, 250), false},
        {"fir bpf 61", FirDesign(kBpf, 61, 100, 150, 250, 300), false},
        {"fir hpf 380", FirDesign(kHpf, 380, 200, 210), false},
        {"iir lpf 2", IirDesign(kLpf, 2, 0.3, 200), true},
        {"iir lpf 8 narrow", IirDesign(kLpf, 8, 1.0, 20), true},
        {"iir bpf 8", IirDesign(kBpf, 8, 0.5, 240, 260), true},
    };
    for (const Case& c : cases) {
        for (const double tol : {0.1, 1.0, 6.0}) {
            SCOPED_TRACE(std::string(c.name) + " tol " + std::to_string(tol));
            const dsp::BitAdvice advice = commands::AdviseDocumentBits(c.doc, c.iir, tol);
            int expected = 0;
            size_t next = 0;
            for (int b = 4; b <= (c.iir ? 24 : 32); ++b) {
                design::Warning refused;
                if (!commands::CheckDocumentQuantBits(c.doc, c.iir, b, refused)) {
                    continue;
                }
                const bool meets = BruteForceMeets(c.doc, c.iir, b, tol);
                expected = expected == 0 && meets ? b : expected;
                ASSERT_LT(next, advice.candidates.size());
                EXPECT_EQ(advice.candidates[next].bits, b);
                EXPECT_EQ(advice.candidates[next].meets, meets) << "B = " << b;
                ++next;
            }
            EXPECT_EQ(next, advice.candidates.size());
            EXPECT_EQ(advice.bits, expected);
        }
    }
}

TEST(Advisor, RejectsBitLengthsWhosePolesLeaveTheUnitCircle) {
    // A narrow 8-section low-pass has poles close to z = 1; coarse coefficients push them out.
    const COlvexDoc doc = IirDesign(kLpf, 8, 1.0, 10);
    const dsp::BitAdvice advice = commands::AdviseDocumentBits(doc, true, 1000.0);
    ASSERT_FALSE(advice.candidates.empty());
    EXPECT_FALSE(advice.candidates.front().stable);
    EXPECT_FALSE(advice.candidates.front().meets);
    EXPECT_TRUE(advice.candidates.back().stable);
    EXPECT_GT(advice.bits, 4);
    EXPECT_FALSE(dsp::SectionStable(0.0, 1.0));  // poles on the circle
    EXPECT_FALSE(dsp::SectionStable(-2.0, 1.0)); // double pole at z = 1
    EXPECT_TRUE(dsp::SectionStable(-1.9, 0.95));
}

// The hardware column is the model's integer output scaled back, and stays within a few output
// steps of the ideal output where nothing saturates.
TEST(HardwareWave, IsTheBitTrueModelScaledBackAndTracksTheIdealOutput) {
    struct Case {
        const char* name;
        COlvexDoc doc;
        bool iir;
        int coeffBits, dataBits;
    };
    const Case cases[] = {
        {"fir lpf 90", FirDesign(kLpf, 90, 200, 250), false, 16, 12},
        {"fir bpf 61", FirDesign(kBpf, 61, 100, 150, 250, 300), false, 12, 16},
        {"iir lpf 2", IirDesign(kLpf, 2, 0.3, 200), true, 16, 12},
        {"iir brf 8", IirDesign(kBrf, 8, 0.5, 200, 300), true, 20, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        COlvexDoc doc = c.doc;
        doc.m_bQuantize = 1;
        doc.m_nQuantBits = c.coeffBits;
        // A sine at 40 % of full scale: no stage comes near its limit.
        doc.m_bUseUserWave = 1;
        for (int i = 0; i < COlvexDoc::kWaveInSamples; ++i) {
            doc.m_aWaveIn[i] = 20.0 * std::sin(0.3 * i) + 5.0 * std::sin(2.2 * i);
        }
        c.iir ? doc.FilterWaveIir() : doc.FilterWaveFir();
        const vhdl::HardwareWave hw = commands::HardwareWaveOf(doc, c.iir, c.dataBits);
        ASSERT_EQ(hw.output.size(), static_cast<size_t>(COlvexDoc::kWaveFiltered));
        EXPECT_TRUE(vhdl::OverflowWarnings(hw, c.iir, c.dataBits).empty());

        const double fullScale = std::ldexp(1.0, c.dataBits - 1) - 1.0;
        const std::vector<std::int64_t> x = vhdl::ScaleStimulus(
            std::span<const double>(doc.m_aWaveIn, COlvexDoc::kWaveFiltered), c.dataBits);
        const std::vector<std::int64_t> y =
            c.iir ? vhdl::IirBitTrue(vhdl::IirLiterals(doc.TakeCoefficients(true)), c.coeffBits,
                                     c.dataBits, x)
                  : vhdl::FirBitTrue(vhdl::FirLiterals(doc.TakeCoefficients(false)), c.coeffBits,
                                     c.dataBits, x);
        double largest = 0.0;
        for (int i = 0; i < COlvexDoc::kWaveFiltered; ++i) {
            const double h = hw.output[static_cast<size_t>(i)];
            EXPECT_DOUBLE_EQ(h * fullScale / 50.0, static_cast<double>(y[static_cast<size_t>(i)]));
            if (i < COlvexDoc::kWaveFiltered - 1 || c.iir) {
                largest = std::max(largest, std::abs(h - doc.m_aWaveOut[i]));
            }
        }
        EXPECT_DOUBLE_EQ(hw.largestDifference, largest);
        // Rounding the input and truncating every product sum leave a small error (each IIR
        // section's truncation, biased downwards, is amplified by its own poles); a wrong
        // scale or a sample out of step would be tens of times larger. Compared once the ideal
        // model's IIR start (its first two outputs held at 0) has died away.
        constexpr double kOnePercentOfFullScale = 0.5;
        for (int i = c.iir ? 100 : 0; i < COlvexDoc::kWaveFiltered - 1; ++i) {
            EXPECT_NEAR(hw.output[static_cast<size_t>(i)], doc.m_aWaveOut[i],
                        kOnePercentOfFullScale)
                << i;
        }
    }
}

TEST(HardwareWave, OverflowIsReportedForTheSectionThatSaturates) {
    // A square wave through a narrow 6-section low-pass: the middle sections' gains exceed the
    // four guard bits, the last section's output exceeds the output word.
    COlvexDoc iir = IirDesign(kLpf, 6, 1.0, 50);
    iir.m_bQuantize = 1;
    iir.m_nQuantBits = 16;
    iir.m_nWaveType = 1;
    iir.m_dWaveFreq = 10;
    iir.GenerateTestWave();
    iir.FilterWaveIir();
    const vhdl::HardwareWave hw = commands::HardwareWaveOf(iir, true, 12);
    ASSERT_EQ(hw.saturation.sectionOutputs.size(), 6u);
    EXPECT_EQ(hw.saturation.sectionOutputs[0], 0);
    EXPECT_GT(hw.saturation.sectionOutputs[1], 0);
    const std::vector<std::string> lines = vhdl::OverflowWarnings(hw, true, 12);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().rfind("Overflow: section 2 saturated to 16 bits in ", 0), 0u)
        << lines.front();

    // The FIR pass band gain is a little above 1: a full-scale sine clips at the output.
    COlvexDoc fir = FirDesign(kLpf, 90, 200, 250);
    fir.m_bQuantize = 1;
    fir.GenerateTestWave();
    fir.FilterWaveFir();
    const vhdl::HardwareWave clipped = commands::HardwareWaveOf(fir, false, 12);
    EXPECT_GT(clipped.saturation.filterOutput, 0);
    const std::vector<std::string> firLines = vhdl::OverflowWarnings(clipped, false, 12);
    ASSERT_EQ(firLines.size(), 1u);
    EXPECT_NE(firLines[0].find("the FIR accumulator saturated to 12 bits"), std::string::npos);

    // An input beyond the nominal amplitude is clipped before the filter.
    fir.m_bUseUserWave = 1;
    std::fill(std::begin(fir.m_aWaveIn), std::end(fir.m_aWaveIn), 0.0);
    fir.m_aWaveIn[3] = 80.0;
    fir.m_aWaveIn[7] = -80.0;
    fir.FilterWaveFir();
    const vhdl::HardwareWave loud = commands::HardwareWaveOf(fir, false, 12);
    EXPECT_EQ(loud.inputSaturated, 2);
    EXPECT_EQ(vhdl::OverflowWarnings(loud, false, 12).front(),
              "Overflow: the input saturated to 12 bits in 2 of 400 samples");
}

} // namespace
