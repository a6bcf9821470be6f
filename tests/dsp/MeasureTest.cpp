// Measured band gains against scipy, the word-length advisor against a brute-force search with
// its rule written out, the hardware output against the bit-true model, and the overflow report.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "dsp/Measure.h"
#include "dsp/QuantRules.h"
#include "dsp/Wave.h"
#include "tests/support/DesignedFilters.h"
#include "vhdl/BitTrueModel.h"
#include "vhdl/HardwareWave.h"

namespace {

using support::DesignedFilter;
using support::kBandPass;
using support::kBandReject;
using support::kHighPass;
using support::kLowPass;

DesignedFilter FirDesign(int type, int taps, double fc1, double fc2, double fc3 = 0,
                         double fc4 = 0) {
    return support::DesignedFir(type, taps, fc1, fc2, fc3, fc4);
}

DesignedFilter IirDesign(int type, int sections, double ripple, double fc1, double fc2 = 0) {
    return support::DesignedIir(type, sections, ripple, fc1, fc2);
}

// Samples of an input wave (the filters take the first dsp::kWaveFiltered of them).
constexpr size_t kWaveInSamples = 700;

// The ideal output of the leaving coefficients c for the input wave.
std::vector<double> IdealOutput(const dsp::FilterCoefficients& c, const std::vector<double>& in) {
    std::vector<double> out(dsp::kWaveFiltered, 0.0);
    c.iir ? dsp::FilterWaveIir(c.DesignedSections(), in, out)
          : dsp::FilterWaveFir(c.DesignedTaps(), in, out);
    return out;
}

// Reference numbers from scipy 1.10.1 on the coefficients vantrel-cli prints for the same design
// (`vantrel-cli fir`, `vantrel-cli iir --type bpf --sections 4 --cutoff 200,300 --quantize 12`):
//   g = 20*log10(abs(freqz(h, worN=f, fs=1000)[1]))             FIR
//   g = 20*log10(abs(sosfreqz(sos, worN=f, fs=1000)[1]))        IIR, sos rows [a0,a1,a2,1,b1,b2]
// with f = the band edges plus linspace(lo, hi, 200001); min(g) and max(g) per band.
// tools/check_measure.py repeats the comparison over more designs through the command line.
TEST(Measure, AgreesWithScipyWithinFiveHundredthsOfADecibel) {
    constexpr double kTolerance = 0.05;
    const DesignedFilter fir = FirDesign(kLowPass, 90, 200, 250);
    const dsp::Measurements m = fir.Measure();
    ASSERT_EQ(m.unquantized.size(), 2u);
    EXPECT_TRUE(m.quantized.empty());
    EXPECT_TRUE(m.unquantized[0].band.pass);
    EXPECT_EQ(m.unquantized[0].band.hi, 200.0);
    EXPECT_NEAR(m.unquantized[0].minDb, -0.0038006479968227514, kTolerance);
    EXPECT_NEAR(m.unquantized[0].maxDb, 0.003798985690675896, kTolerance);
    EXPECT_FALSE(m.unquantized[1].band.pass);
    EXPECT_EQ(m.unquantized[1].band.lo, 250.0);
    EXPECT_NEAR(m.unquantized[1].maxDb, -87.18103342197108, kTolerance);

    const DesignedFilter iir = IirDesign(kBandPass, 4, 0.3, 200, 300);
    const dsp::Measurements q = iir.Measure(12);
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
        {kLowPass, 200, 0, {true, false}},
        {kHighPass, 200, 0, {false, true}},
        {kBandReject, 200, 300, {true, false, true}},
        {kBandPass, 200, 300, {false, true, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        const int sections = support::IsThreeBand(c.type) ? 4 : 3;
        const dsp::Measurements m = IirDesign(c.type, sections, 0.5, c.fc1, c.fc2).Measure();
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
bool BruteForceMeets(const DesignedFilter& f, int bits, double tol) {
    const dsp::Measurements m = f.Measure(bits);
    for (size_t i = 0; i < m.unquantized.size(); ++i) {
        const dsp::BandGain& u = m.unquantized[i];
        const dsp::BandGain& g = m.quantized[i];
        const double grown =
            u.band.pass ? (g.maxDb - g.minDb) - (u.maxDb - u.minDb) : g.maxDb - u.maxDb;
        if (!(grown <= tol)) {
            return false;
        }
    }
    const dsp::FilterCoefficients q = f.Quantized(bits);
    for (const dsp::Section& s : q.DesignedSections()) {
        const std::complex<double> b1 = s[3];
        const std::complex<double> b2 = s[4];
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
        {kLowPass, {{true, 0, 100}, {false, 150, 500}}},
        {kHighPass, {{false, 0, 100}, {true, 150, 500}}},
        {kBandReject, {{true, 0, 100}, {false, 150, 300}, {true, 350, 500}}},
        {kBandPass, {{false, 0, 100}, {true, 150, 300}, {false, 350, 500}}},
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
    EXPECT_TRUE(dsp::MeasureBands({kLowPass, 0.0, 100.0, 150.0, 0.0, 0.0}, c).empty());
    // Edges beyond fs/2 are clamped; a band whose edges cross is left out.
    EXPECT_EQ(dsp::MeasureBands({kLowPass, 1000.0, 600.0, 700.0, 0.0, 0.0}, c).size(), 2u);
    EXPECT_EQ(dsp::MeasureBands({kBandPass, 1000.0, 100.0, 300.0, 200.0, 350.0}, c).size(), 2u);
}

// The measured gains are those of the coefficients that leave the design: K = 2 lifts every
// gain by 20 log10(2), quantized or not.
TEST(Measure, GainsIncludeTheMultiplier) {
    const DesignedFilter design = FirDesign(kLowPass, 41, 150.0, 200.0);
    const dsp::Measurements one = design.Measure(16);
    const std::vector<double>& h = design.fir.taps;
    const dsp::FilterCoefficients doubled = support::FirValue(h, 41, 41, 2);
    const dsp::FilterCoefficients doubledQuantized = support::FirValue(h, 41, 41, 2, true, 16);
    const dsp::Measurements two = dsp::Measure(design.bands, doubled, &doubledQuantized);
    ASSERT_EQ(one.quantized.size(), two.quantized.size());
    const double lift = 20.0 * std::log10(2.0);
    for (size_t i = 0; i < one.unquantized.size(); ++i) {
        EXPECT_NEAR(two.unquantized[i].maxDb - one.unquantized[i].maxDb, lift, 1e-9) << i;
        if (one.quantized[i].band.pass) { // stop bands sit near the truncation noise
            EXPECT_NEAR(two.quantized[i].maxDb - one.quantized[i].maxDb, lift, 0.01) << i;
        }
    }
    // Without a quantized value only the unquantized gains are measured, the same ones.
    const dsp::Measurements direct = dsp::Measure(design.bands, doubled, nullptr);
    EXPECT_EQ(direct.unquantized[0].minDb, two.unquantized[0].minDb);
    EXPECT_TRUE(direct.quantized.empty());
}

// What the Coefficients dialog holds a bit length against: the largest designed tap (FIR), the
// largest section coefficient as quantization leaves it (IIR).
double LargestForBits(const DesignedFilter& f) {
    return f.unquantized.iir ? coeffs::LargestQuantizedMagnitude(f.unquantized)
                             : coeffs::LargestMagnitude(f.unquantized.DesignedTaps());
}

TEST(Advisor, AdvisesTheSmallestBitLengthThatABruteForceSearchAccepts) {
    struct Case {
        const char* name;
        DesignedFilter design;
    };
    const Case cases[] = {
        {"fir lpf 90", FirDesign(kLowPass, 90, 200, 250)},
        {"fir bpf 61", FirDesign(kBandPass, 61, 100, 150, 250, 300)},
        {"fir hpf 380", FirDesign(kHighPass, 380, 200, 210)},
        {"iir lpf 2", IirDesign(kLowPass, 2, 0.3, 200)},
        {"iir lpf 8 narrow", IirDesign(kLowPass, 8, 1.0, 20)},
        {"iir bpf 8", IirDesign(kBandPass, 8, 0.5, 240, 260)},
    };
    for (const Case& c : cases) {
        for (const double tol : {0.1, 1.0, 6.0}) {
            SCOPED_TRACE(std::string(c.name) + " tol " + std::to_string(tol));
            const bool iir = c.design.unquantized.iir;
            const dsp::BitAdvice advice =
                dsp::AdviseBits(c.design.bands, c.design.unquantized, tol);
            int expected = 0;
            size_t next = 0;
            for (int b = 4; b <= (iir ? 24 : 32); ++b) {
                design::Warning refused;
                if (!coeffs::CheckQuantBits(LargestForBits(c.design), iir, b, refused)) {
                    continue;
                }
                const bool meets = BruteForceMeets(c.design, b, tol);
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
    const DesignedFilter f = IirDesign(kLowPass, 8, 1.0, 10);
    const dsp::BitAdvice advice = dsp::AdviseBits(f.bands, f.unquantized, 1000.0);
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
        DesignedFilter design;
        int coeffBits, dataBits;
    };
    const Case cases[] = {
        {"fir lpf 90", FirDesign(kLowPass, 90, 200, 250), 16, 12},
        {"fir bpf 61", FirDesign(kBandPass, 61, 100, 150, 250, 300), 12, 16},
        {"iir lpf 2", IirDesign(kLowPass, 2, 0.3, 200), 16, 12},
        {"iir brf 8", IirDesign(kBandReject, 8, 0.5, 200, 300), 20, 16},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const dsp::FilterCoefficients q = c.design.Quantized(c.coeffBits);
        const bool iir = q.iir;
        // A sine at 40 % of full scale: no stage comes near its limit.
        std::vector<double> in(kWaveInSamples);
        for (size_t i = 0; i < in.size(); ++i) {
            const double t = static_cast<double>(i);
            in[i] = 20.0 * std::sin(0.3 * t) + 5.0 * std::sin(2.2 * t);
        }
        const std::vector<double> ideal = IdealOutput(q, in);
        const vhdl::HardwareWave hw = vhdl::ComputeHardwareWave(q, c.dataBits, in, ideal);
        ASSERT_EQ(hw.output.size(), static_cast<size_t>(dsp::kWaveFiltered));
        EXPECT_TRUE(vhdl::OverflowWarnings(hw, iir, c.dataBits).empty());

        const double fullScale = std::ldexp(1.0, c.dataBits - 1) - 1.0;
        const std::vector<std::int64_t> x =
            vhdl::ScaleStimulus(std::span<const double>(in.data(), dsp::kWaveFiltered), c.dataBits);
        const std::vector<std::int64_t> y =
            iir ? vhdl::IirBitTrue(vhdl::IirLiterals(q), c.coeffBits, c.dataBits, x)
                : vhdl::FirBitTrue(vhdl::FirLiterals(q), c.coeffBits, c.dataBits, x);
        double largest = 0.0;
        for (size_t i = 0; i < dsp::kWaveFiltered; ++i) {
            const double h = hw.output[i];
            EXPECT_DOUBLE_EQ(h * fullScale / 50.0, static_cast<double>(y[i]));
            if (i < dsp::kWaveFiltered - 1 || iir) {
                largest = std::max(largest, std::abs(h - ideal[i]));
            }
        }
        EXPECT_DOUBLE_EQ(hw.largestDifference, largest);
        // Rounding the input and truncating every product sum leave a small error (each IIR
        // section's truncation, biased downwards, is amplified by its own poles); a wrong
        // scale or a sample out of step would be tens of times larger. Compared once the ideal
        // model's IIR start (its first two outputs held at 0) has died away.
        constexpr double kOnePercentOfFullScale = 0.5;
        for (size_t i = iir ? 100 : 0; i < dsp::kWaveFiltered - 1; ++i) {
            EXPECT_NEAR(hw.output[i], ideal[i], kOnePercentOfFullScale) << i;
        }
    }
}

TEST(HardwareWave, OverflowIsReportedForTheSectionThatSaturates) {
    // A square wave through a narrow 6-section low-pass: the middle sections' gains exceed the
    // four guard bits, the last section's output exceeds the output word.
    const dsp::FilterCoefficients iir = IirDesign(kLowPass, 6, 1.0, 50).Quantized(16);
    std::vector<double> square(kWaveInSamples);
    dsp::GenerateTestWave(1000.0, 10.0, 1, square);
    const vhdl::HardwareWave hw =
        vhdl::ComputeHardwareWave(iir, 12, square, IdealOutput(iir, square));
    ASSERT_EQ(hw.saturation.sectionOutputs.size(), 6u);
    EXPECT_EQ(hw.saturation.sectionOutputs[0], 0);
    EXPECT_GT(hw.saturation.sectionOutputs[1], 0);
    const std::vector<std::string> lines = vhdl::OverflowWarnings(hw, true, 12);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front().rfind("Overflow: section 2 saturated to 16 bits in ", 0), 0u)
        << lines.front();

    // The FIR pass band gain is a little above 1: a full-scale 100 Hz sine clips at the output.
    const dsp::FilterCoefficients fir = FirDesign(kLowPass, 90, 200, 250).Quantized(16);
    std::vector<double> sine(kWaveInSamples);
    dsp::GenerateTestWave(1000.0, 100.0, 0, sine);
    const vhdl::HardwareWave clipped =
        vhdl::ComputeHardwareWave(fir, 12, sine, IdealOutput(fir, sine));
    EXPECT_GT(clipped.saturation.filterOutput, 0);
    const std::vector<std::string> firLines = vhdl::OverflowWarnings(clipped, false, 12);
    ASSERT_EQ(firLines.size(), 1u);
    EXPECT_NE(firLines[0].find("the FIR accumulator saturated to 12 bits"), std::string::npos);

    // An input beyond the nominal amplitude is clipped before the filter.
    std::vector<double> loudInput(kWaveInSamples, 0.0);
    loudInput[3] = 80.0;
    loudInput[7] = -80.0;
    const vhdl::HardwareWave loud =
        vhdl::ComputeHardwareWave(fir, 12, loudInput, IdealOutput(fir, loudInput));
    EXPECT_EQ(loud.inputSaturated, 2);
    EXPECT_EQ(vhdl::OverflowWarnings(loud, false, 12).front(),
              "Overflow: the input saturated to 12 bits in 2 of 400 samples");
}

} // namespace
