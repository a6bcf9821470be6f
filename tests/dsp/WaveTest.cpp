// Test wave generation and the FIR and IIR filtering of it: the engine's filters on plain
// arrays, and the record's operations with the multiplier and quantization.
#include "dsp/Wave.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "app/OlvexDoc.h"

namespace {

constexpr int kFiltered = COlvexDoc::kWaveFiltered;

TEST(TestWave, SineAndSquare) {
    COlvexDoc doc; // fs 1000, 100 Hz
    doc.GenerateTestWave();
    EXPECT_EQ(doc.m_aWaveIn[0], 0.0);
    EXPECT_NEAR(doc.m_aWaveIn[1], 29.389262, 1e-6);
    EXPECT_NEAR(doc.m_aWaveIn[699], 50.0 * std::sin(699 * 0.1 * 6.2831852), 1e-12);
    doc.m_nWaveType = 1;
    doc.GenerateTestWave();
    // x[0] = 0 counts as positive. Sample 5 is 50 sin(3.1415926), just above 0, and sample 10
    // 50 sin(6.2831852), just below 0: the stored 2 pi is short of the true one.
    const int plus[] = {0, 1, 4, 5, 11, 15, 695};
    const int minus[] = {6, 9, 10, 20, 699};
    for (int i : plus) {
        EXPECT_EQ(doc.m_aWaveIn[i], 50.0) << i;
    }
    for (int i : minus) {
        EXPECT_EQ(doc.m_aWaveIn[i], -50.0) << i;
    }
}

TEST(TestWave, UserWaveIsKept) {
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

std::vector<double> Ramp(size_t n) {
    std::vector<double> x(n);
    for (size_t i = 0; i < n; ++i) {
        x[i] = 1.0 + static_cast<double>(i);
    }
    return x;
}

// Outputs 0..398 are computed from rest and y[399] stays 0.
TEST(FirWave, ConvolutionFromRest) {
    const std::vector<double> taps = {1.0, 0.0, 0.5};
    const std::vector<double> in = Ramp(COlvexDoc::kWaveInSamples);
    std::vector<double> out(COlvexDoc::kWaveOutSamples, -7.0);
    dsp::FilterWaveFir(taps, in, out);
    EXPECT_EQ(out[0], 1.0);
    EXPECT_EQ(out[1], 2.0);
    for (int i = 2; i < kFiltered - 1; ++i) {
        ASSERT_EQ(out[static_cast<size_t>(i)], (1.0 + i) + 0.5 * (1.0 + i - 2)) << i;
    }
    EXPECT_EQ(out[kFiltered - 1], 0.0);
}

// Spans shorter than the filtered length: missing input counts as 0, the output is bounded.
TEST(FirWave, ShortSpansAreBounded) {
    const std::vector<double> taps = {1.0, 1.0};
    const std::vector<double> in = Ramp(3);
    std::vector<double> out(5, -7.0);
    dsp::FilterWaveFir(taps, in, out);
    EXPECT_EQ(out, (std::vector<double>{1.0, 3.0, 5.0, 3.0, 0.0}));
    std::vector<double> iirOut(4, -7.0);
    const std::vector<dsp::Section> one = {{1.0, 0.0, 0.0, 0.0, 0.0}};
    dsp::FilterWaveIir(one, in, iirOut);
    EXPECT_EQ(iirOut, (std::vector<double>{0.0, 0.0, 3.0, 0.0}));
}

// The record takes the first N taps of its array.
TEST(FirWave, RecordTakesTheDesignedTaps) {
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

TEST(FirWave, MultiplierBeforeQuantization) {
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

// Every section holds its first two outputs at 0, so each one in the cascade adds to the start.
TEST(IirWave, CascadeStartsEverySectionAtSampleTwo) {
    const std::vector<double> in = Ramp(COlvexDoc::kWaveInSamples);
    std::vector<double> out(COlvexDoc::kWaveOutSamples, -7.0);
    std::vector<dsp::Section> sections = {{1.0, 0.0, 0.0, 0.0, 0.0}};
    dsp::FilterWaveIir(sections, in, out);
    EXPECT_EQ(out[0], 0.0);
    EXPECT_EQ(out[1], 0.0);
    for (size_t t = 2; t < kFiltered; ++t) {
        ASSERT_EQ(out[t], 1.0 + static_cast<double>(t)) << t;
    }
    // Section 1 delays the output of section 0 by one sample: y[2] = v0[1] = 0.
    sections.push_back({0.0, 1.0, 0.0, 0.0, 0.0});
    dsp::FilterWaveIir(sections, in, out);
    EXPECT_EQ(out[2], 0.0);
    for (size_t t = 3; t < kFiltered; ++t) {
        ASSERT_EQ(out[t], static_cast<double>(t)) << t;
    }
}

TEST(IirWave, RecursionAndQuantization) {
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

TEST(IirWave, NoSectionsGiveSilence) {
    for (int n : {0, -4}) {
        COlvexDoc doc = WithRampInput();
        doc.m_nIirSections = n;
        doc.FilterWaveIir();
        for (double y : doc.m_aWaveOut) {
            ASSERT_EQ(y, 0.0);
        }
    }
}

} // namespace
