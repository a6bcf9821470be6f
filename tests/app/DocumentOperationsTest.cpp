// The record's operations on the analyses: each reads its fields (tap count, sections, multiplier,
// quantization, the wave settings) and stores the engine's result in its fixed arrays, leaving
// the entries past what the engine writes untouched and never reading past an array.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "app/OlvexDoc.h"

namespace {

constexpr int kFiltered = COlvexDoc::kWaveFiltered;
constexpr int kBins = COlvexDoc::kFftBins;

constexpr double kSentinel = 12345.0;

void FillSentinel(COlvexDoc& doc) {
    for (int i = 0; i < COlvexDoc::kResponsePoints; ++i) {
        doc.m_aGainDb[i] = kSentinel;
        doc.m_aPhase[i] = kSentinel;
    }
}

void ExpectUntouchedTail(const COlvexDoc& doc) {
    for (int i = COlvexDoc::kResponseUsed; i < COlvexDoc::kResponsePoints; ++i) {
        ASSERT_EQ(doc.m_aGainDb[i], kSentinel) << i;
        ASSERT_EQ(doc.m_aPhase[i], kSentinel) << i;
    }
}

// A flat response: every point has gain `gainDb` and phase `phase` (0, or pi for a negative
// gain: never -pi, which lies outside (-pi, pi]).
void ExpectFlat(const COlvexDoc& doc, double gainDb, double phase = 0.0) {
    for (int i = 0; i < COlvexDoc::kResponseUsed; ++i) {
        ASSERT_NEAR(doc.m_aGainDb[i], gainDb, 1e-12) << i;
        ASSERT_NEAR(doc.m_aPhase[i], phase, 1e-15) << i;
    }
}

// Sections: pass-through, z^-1 (phase -w each), 1/(1 + z^-1) (phase +w/2 each).
void SetSections(COlvexDoc& doc, int n, double a0, double a1, double b1) {
    doc.m_nIirSections = n;
    for (int s = 0; s < n; ++s) {
        doc.m_aA0[s] = a0;
        doc.m_aA1[s] = a1;
        doc.m_aB1[s] = b1;
    }
}

// One tap h[0]: the multiplier K scales it first, then quantization truncates K*h[0].
TEST(DocumentOperations, FirResponseOfOneTap) {
    struct Case {
        double h0;
        int mult;
        int quantize;
        int bits;
        double gain; // linear, signed
    };
    const Case cases[] = {
        {1.0, 1, 0, 16, 1.0},   {1.0, 2, 0, 16, 2.0}, // +6.02 dB
        {0.3, 3, 1, 4, 0.875},                        // Quantize(0.9), not 3 * Quantize(0.3) = 0.75
        {-0.3, 1, 1, 4, -0.25},                       // toward zero
        {0.3, 1, 0, 4, 0.3},                          // quantization off
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.h0 << " K " << c.mult << " q " << c.quantize);
        COlvexDoc doc;
        FillSentinel(doc);
        doc.m_nTaps = 1;
        doc.m_aFirCoeffs[0] = c.h0;
        doc.m_aFirCoeffs[1] = 0.7; // past N: not part of the filter
        doc.m_nCoeffMultiplier = c.mult;
        doc.m_bQuantize = c.quantize;
        doc.m_nQuantBits = c.bits;
        doc.FirResponse();
        ExpectFlat(doc, 20.0 * std::log10(std::fabs(c.gain)),
                   c.gain < 0.0 ? std::numbers::pi : 0.0);
        ExpectUntouchedTail(doc);
    }
}

TEST(DocumentOperations, FirResponseTapCountBeyondTheArrayIsBounded) {
    COlvexDoc doc;
    doc.m_nTaps = 100000;
    doc.m_aFirCoeffs[0] = 1.0;
    doc.FirResponse();
    ExpectFlat(doc, 0.0);
}

TEST(DocumentOperations, IirResponseOfPassThroughAndEmptyCascades) {
    for (int n : {0, 1, 8, 12, -3}) {
        SCOPED_TRACE(n);
        COlvexDoc doc;
        FillSentinel(doc);
        doc.m_nIirSections = n; // counts outside 0..8 use the eight stored sections at most
        doc.IirResponse();
        ExpectFlat(doc, 0.0);
        ExpectUntouchedTail(doc);
    }
}

TEST(DocumentOperations, IirResponseQuantizedAndWithoutTheMultiplier) {
    COlvexDoc doc;
    SetSections(doc, 2, 0.3, 0.0, 0.0);
    doc.m_nCoeffMultiplier = 4; // FIR only
    doc.IirResponse();
    ExpectFlat(doc, 2 * 20.0 * std::log10(0.3));
    doc.m_bQuantize = 1;
    doc.m_nQuantBits = 4;
    doc.IirResponse();
    ExpectFlat(doc, 2 * 20.0 * std::log10(0.25));
}

COlvexDoc WithRampInput() {
    COlvexDoc doc;
    for (int i = 0; i < COlvexDoc::kWaveInSamples; ++i) {
        doc.m_aWaveIn[i] = 1.0 + i;
    }
    for (double& y : doc.m_aWaveOut) {
        y = -7.0; // every output must be rewritten
    }
    return doc;
}

TEST(DocumentOperations, UserWaveIsKept) {
    COlvexDoc doc;
    doc.m_bUseUserWave = 1;
    for (int i = 0; i < COlvexDoc::kWaveInSamples; ++i) {
        doc.m_aWaveIn[i] = 0.25 * i;
    }
    doc.m_dWaveFreq = 37.0;
    doc.GenerateTestWave();
    for (int i = 0; i < COlvexDoc::kWaveInSamples; ++i) {
        ASSERT_EQ(doc.m_aWaveIn[i], 0.25 * i);
    }
}

// The record takes the first N taps of its array.
TEST(DocumentOperations, FirWaveTakesTheDesignedTaps) {
    COlvexDoc doc = WithRampInput();
    doc.m_nTaps = 3;
    doc.m_aFirCoeffs[0] = 1.0;
    doc.m_aFirCoeffs[2] = 0.5;
    doc.m_aFirCoeffs[3] = 100.0; // past N
    doc.FilterWaveFir();
    for (int i = 2; i < kFiltered - 1; ++i) {
        ASSERT_EQ(doc.m_aWaveOut[i], (1.0 + i) + 0.5 * (1.0 + i - 2)) << i;
    }
    EXPECT_EQ(doc.m_aWaveOut[kFiltered - 1], 0.0);
}

TEST(DocumentOperations, FirWaveMultiplierBeforeQuantization) {
    COlvexDoc doc = WithRampInput();
    doc.m_nTaps = 1;
    doc.m_aFirCoeffs[0] = 0.3;
    doc.m_nCoeffMultiplier = 3;
    doc.m_bQuantize = 1;
    doc.m_nQuantBits = 4;
    doc.FilterWaveFir();
    for (int i = 0; i < kFiltered - 1; ++i) {
        ASSERT_EQ(doc.m_aWaveOut[i], 0.875 * (1.0 + i)) << i;
    }
}

TEST(DocumentOperations, IirWaveRecursionAndQuantization) {
    COlvexDoc doc = WithRampInput();
    doc.m_nIirSections = 1;
    doc.m_aA0[0] = 0.3;
    doc.m_aB1[0] = -0.5; // v[t] = 0.3 u[t] + 0.5 v[t-1]
    doc.FilterWaveIir();
    double expected = 0.0;
    for (int t = 2; t < kFiltered; ++t) {
        expected = 0.3 * (1.0 + t) + 0.5 * expected;
        ASSERT_DOUBLE_EQ(doc.m_aWaveOut[t], expected) << t;
    }
    doc.m_bQuantize = 1;
    doc.m_nQuantBits = 4;
    doc.m_nCoeffMultiplier = 5; // FIR only
    doc.FilterWaveIir();
    expected = 0.0;
    for (int t = 2; t < kFiltered; ++t) {
        expected = 0.25 * (1.0 + t) + 0.5 * expected;
        ASSERT_DOUBLE_EQ(doc.m_aWaveOut[t], expected) << t;
    }
}

TEST(DocumentOperations, IirWaveWithoutSectionsIsSilence) {
    for (int n : {0, -4}) {
        COlvexDoc doc = WithRampInput();
        doc.m_nIirSections = n;
        doc.FilterWaveIir();
        for (double y : doc.m_aWaveOut) {
            ASSERT_EQ(y, 0.0);
        }
    }
}

// A 50-amplitude sine exactly on bin 10 (fs / 256 * 10).
COlvexDoc WithBinTenSine(double magRange) {
    COlvexDoc doc;
    doc.m_dWaveFreq = 10.0 * doc.m_fs / kBins;
    doc.m_dFftMagRange = magRange;
    doc.GenerateTestWave();
    doc.FftSpectrum(doc.m_aWaveIn);
    return doc;
}

TEST(DocumentOperations, FftSpectrumOfASineOnBinTen) {
    struct Case {
        double magRange;
        double peak;
    };
    // A range of 0 (refused by the dialog) leaves the true amplitude instead of dividing by 0.
    const Case cases[] = {{50.0, 50.0}, {100.0, 25.0}, {10.0, 250.0}, {0.0, 50.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.magRange);
        const COlvexDoc doc = WithBinTenSine(c.magRange);
        EXPECT_NEAR(doc.m_aFftMag[10], c.peak, 1e-4 * c.peak);
        EXPECT_NEAR(doc.m_aFftMag[kBins - 10], c.peak, 1e-4 * c.peak);
        for (int b = 0; b < kBins; ++b) {
            if (b != 10 && b != kBins - 10) {
                ASSERT_LT(doc.m_aFftMag[b], 1e-4 * c.peak) << b;
            }
        }
    }
}

// The record's number forms are the engine's at m_nQuantBits.
TEST(DocumentOperations, NumberFormsAtTheRecordsBitLength) {
    const struct {
        int bits;
        double x, quantized;
        int integer;
    } cases[] = {{16, 0.3, 0.29998779296875, 9830}, {4, -0.3, -0.25, -2}, {0, -2.7, -2.0, -2}};
    for (const auto& c : cases) {
        COlvexDoc doc;
        doc.m_nQuantBits = c.bits;
        EXPECT_EQ(doc.Quantize(c.x), c.quantized) << c.bits;
        EXPECT_EQ(doc.ToFixedInteger(c.x), c.integer) << c.bits;
    }
}

TEST(DocumentOperations, LargestMagnitudes) {
    COlvexDoc doc;
    EXPECT_EQ(doc.MaxIirCoeffMagnitude(), 1.0); // the pass-through sections
    doc.m_nIirSections = 2;
    doc.m_aB1[7] = -1.75; // sections past the design count too
    EXPECT_EQ(doc.MaxIirCoeffMagnitude(), 1.75);

    doc.m_nTaps = 3;
    doc.m_aFirCoeffs[1] = -0.6;
    doc.m_aFirCoeffs[3] = 5.0; // the extra tap of an even count is not part of the design
    EXPECT_EQ(doc.MaxFirCoeffMagnitude(), 0.6);
    doc.m_nTaps = 0;
    EXPECT_EQ(doc.MaxFirCoeffMagnitude(), 0.0);
}

// The coefficients the record hands out are the value of its fields: the first N taps designed,
// N' = N + the even-count flag listed (within the tap array, never negative), times K, truncated
// to m_nQuantBits while m_bQuantize is on; the eight sections with the first m_nIirSections
// designed.
TEST(DocumentOperations, TakeCoefficientsIsTheValueOfItsFields) {
    const struct {
        int taps, evenTaps, listed;
    } counts[] = {{41, 1, 42}, {41, 0, 41}, {399, 1, 400}, {400, 1, 400}, {-5, 0, 0}};
    for (const auto& c : counts) {
        SCOPED_TRACE(testing::Message() << c.taps << " taps, even flag " << c.evenTaps);
        COlvexDoc doc;
        for (double& h : doc.m_aFirCoeffs) {
            h = 0.45;
        }
        doc.m_nTaps = c.taps;
        doc.m_bEvenTaps = c.evenTaps;
        doc.m_nCoeffMultiplier = 2;
        doc.m_nQuantBits = 4;
        const dsp::FilterCoefficients plain = doc.TakeCoefficients(false);
        EXPECT_EQ(plain.ShownTaps(), c.listed);
        EXPECT_EQ(plain.DesignedTaps().size(), static_cast<size_t>(std::clamp(c.taps, 0, 400)));
        EXPECT_FALSE(plain.quantized);
        for (double h : plain.taps) {
            ASSERT_EQ(h, 0.9);
        }
        doc.m_bQuantize = 1;
        const dsp::FilterCoefficients quantized = doc.TakeCoefficients(false);
        EXPECT_TRUE(quantized.quantized);
        EXPECT_EQ(quantized.bits, 4);
        for (double h : quantized.taps) {
            ASSERT_EQ(h, 0.875); // Quantize(2 * 0.45), not 2 * Quantize(0.45) = 0.75
        }
        EXPECT_EQ(doc.TakeCoefficients(false, false).taps, plain.taps);
    }

    COlvexDoc doc;
    doc.m_nIirSections = 3;
    doc.m_aA0[0] = 0.3;
    doc.m_aB1[7] = -0.5;
    doc.m_nCoeffMultiplier = 4; // FIR only
    doc.m_bQuantize = 1;
    doc.m_nQuantBits = 4;
    const dsp::FilterCoefficients iir = doc.TakeCoefficients(true);
    ASSERT_EQ(iir.sections.size(), 8u);
    EXPECT_EQ(iir.DesignedSections().size(), 3u);
    EXPECT_EQ(iir.sections[0][0], 0.25);
    EXPECT_EQ(iir.sections[7][3], -0.5);
    EXPECT_EQ(iir.sections[1][0], 1.0);
    EXPECT_EQ(doc.TakeCoefficients(true, false).sections[0][0], 0.3);
}

} // namespace
