// The record a fresh start begins from.
#include "app/OlvexDoc.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct DoubleDefault {
    const char* name;
    double COlvexDoc::*field;
    double value;
};

struct IntDefault {
    const char* name;
    int COlvexDoc::*field;
    int value;
};

TEST(Document, ScalarDefaults) {
    const COlvexDoc doc;
    const DoubleDefault doubles[] = {
        {"m_fs", &COlvexDoc::m_fs, 1000.0},
        {"m_fc1", &COlvexDoc::m_fc1, 200.0},
        {"m_fc2", &COlvexDoc::m_fc2, 250.0},
        {"m_fc3", &COlvexDoc::m_fc3, 350.0},
        {"m_fc4", &COlvexDoc::m_fc4, 400.0},
        {"m_dRR", &COlvexDoc::m_dRR, 10.0},
        {"m_dRippleDb", &COlvexDoc::m_dRippleDb, 0.3},
        {"m_dIirFc1", &COlvexDoc::m_dIirFc1, 200.0},
        {"m_dIirFc2", &COlvexDoc::m_dIirFc2, 300.0},
        {"m_dGainRange", &COlvexDoc::m_dGainRange, 100.0},
        {"m_dFftMagRange", &COlvexDoc::m_dFftMagRange, 50.0},
        {"m_dWaveFreq", &COlvexDoc::m_dWaveFreq, 100.0},
        {"m_dWaveMagRange", &COlvexDoc::m_dWaveMagRange, 50.0},
        {"m_dPlotAmplitude", &COlvexDoc::m_dPlotAmplitude, 50.0},
        {"m_dIirWarpFc1", &COlvexDoc::m_dIirWarpFc1, 0.0},
    };
    for (const DoubleDefault& d : doubles) {
        EXPECT_EQ(doc.*(d.field), d.value) << d.name;
    }
    const IntDefault ints[] = {
        {"m_nFilterType", &COlvexDoc::m_nFilterType, 0},
        {"m_nTaps", &COlvexDoc::m_nTaps, 90},
        {"m_bEvenTaps", &COlvexDoc::m_bEvenTaps, 0},
        {"m_nCoeffMultiplier", &COlvexDoc::m_nCoeffMultiplier, 1},
        {"m_nBands", &COlvexDoc::m_nBands, 3},
        {"m_bDesignOk", &COlvexDoc::m_bDesignOk, 1},
        {"m_nGridSize", &COlvexDoc::m_nGridSize, 0},
        {"m_nRemezIterations", &COlvexDoc::m_nRemezIterations, 0},
        {"m_bAdjustOffered", &COlvexDoc::m_bAdjustOffered, 0},
        {"m_nIirSections", &COlvexDoc::m_nIirSections, 2},
        {"m_nIirProtoSections", &COlvexDoc::m_nIirProtoSections, 0},
        {"m_bQuantize", &COlvexDoc::m_bQuantize, 0},
        {"m_nQuantBits", &COlvexDoc::m_nQuantBits, 16},
        {"m_nCoeffFormat", &COlvexDoc::m_nCoeffFormat, 0},
        {"m_bParseError", &COlvexDoc::m_bParseError, 0},
        {"m_nDataBits", &COlvexDoc::m_nDataBits, 12},
        {"m_nRespFreqZoom", &COlvexDoc::m_nRespFreqZoom, 0},
        {"m_nRespStartPos", &COlvexDoc::m_nRespStartPos, 0},
        {"m_nFftFreqZoom", &COlvexDoc::m_nFftFreqZoom, 0},
        {"m_nFftStartPos", &COlvexDoc::m_nFftStartPos, 0},
        {"m_nWaveType", &COlvexDoc::m_nWaveType, 0},
        {"m_bUseUserWave", &COlvexDoc::m_bUseUserWave, 0},
        {"m_nWaveTimeZoom", &COlvexDoc::m_nWaveTimeZoom, 0},
        {"m_nWaveStartPos", &COlvexDoc::m_nWaveStartPos, 0},
    };
    for (const IntDefault& d : ints) {
        EXPECT_EQ(doc.*(d.field), d.value) << d.name;
    }
}

TEST(Document, ArraysBeforeAnyDesign) {
    const COlvexDoc doc;
    for (double h : doc.m_aFirCoeffs) {
        ASSERT_EQ(h, 0.0);
    }
    for (int s = 0; s < COlvexDoc::kIirSections; ++s) {
        SCOPED_TRACE(s);
        EXPECT_EQ(doc.m_aA0[s], 1.0);
        EXPECT_EQ(doc.m_aA1[s], 0.0);
        EXPECT_EQ(doc.m_aA2[s], 0.0);
        EXPECT_EQ(doc.m_aB1[s], 0.0);
        EXPECT_EQ(doc.m_aB2[s], 0.0);
    }
    const double edges[] = {0, 0.2, 0.22, 0.3, 0.32, 0.5};
    const double desired[] = {0, 1, 0};
    const double weights[] = {100, 1, 100};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(doc.m_aBandEdges[i], edges[i]);
    }
    for (int b = 0; b < 3; ++b) {
        EXPECT_EQ(doc.m_aBandDesired[b], desired[b]);
        EXPECT_EQ(doc.m_aBandWeight[b], weights[b]);
    }
}

} // namespace
