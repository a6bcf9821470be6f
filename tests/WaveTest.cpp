// Test wave generation and the FIR and IIR filtering of it.
#include "app/OlvexDoc.h"

#include <gtest/gtest.h>

#include <cmath>

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

// Only the tap count is used; outputs 0..398 are computed from rest and y[399] stays 0.
TEST(FirWave, ConvolutionFromRest) {
    COlvexDoc doc = WithRampInput();
    doc.m_nTaps = 3;
    doc.m_aFirCoeffs[0] = 1.0;
    doc.m_aFirCoeffs[2] = 0.5;
    doc.m_aFirCoeffs[3] = 100.0; // past N
    doc.FilterWaveFir();
    EXPECT_EQ(doc.m_aWaveOut[0], 1.0);
    EXPECT_EQ(doc.m_aWaveOut[1], 2.0);
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
    COlvexDoc doc = WithRampInput();
    doc.m_nIirSections = 1;
    doc.FilterWaveIir();
    EXPECT_EQ(doc.m_aWaveOut[0], 0.0);
    EXPECT_EQ(doc.m_aWaveOut[1], 0.0);
    for (int t = 2; t < kFiltered; ++t) {
        ASSERT_EQ(doc.m_aWaveOut[t], 1.0 + t) << t;
    }
    // Section 1 delays the output of section 0 by one sample: y[2] = v0[1] = 0.
    doc.m_nIirSections = 2;
    doc.m_aA0[1] = 0.0;
    doc.m_aA1[1] = 1.0;
    doc.FilterWaveIir();
    EXPECT_EQ(doc.m_aWaveOut[2], 0.0);
    for (int t = 3; t < kFiltered; ++t) {
        ASSERT_EQ(doc.m_aWaveOut[t], static_cast<double>(t)) << t;
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
