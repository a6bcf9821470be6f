// The record a fresh start begins from, checked by what it is for: every dialog accepts its values
// unchanged, its FIR and IIR designs stand and meet their own bands, the sections before any
// design pass the signal through, and its quantization writes coefficient files that read back.
#include "app/OlvexDoc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/DesignRules.h"
#include "dsp/FirDesign.h"
#include "dsp/Measure.h"
#include "dsp/Response.h"
#include "dsp/Wave.h"
#include "files/CoeffFile.h"

namespace {

// The defaults pass every range and order check of the dialogs that show them, so a fresh start
// never opens a dialog that refuses its own values.
TEST(Document, DefaultsPassEveryDialogCheck) {
    const COlvexDoc doc;
    const double fc[4] = {doc.m_fc1, doc.m_fc2, doc.m_fc3, doc.m_fc4};
    const design::RangeRefusal refusals[] = {
        design::CheckFirDialogValues(doc.m_nFilterType, doc.m_fs, fc, doc.m_dRR,
                                     doc.m_nCoeffMultiplier),
        design::CheckIirDialogValues(doc.m_nFilterType, doc.m_dRippleDb, doc.m_dIirFc1,
                                     doc.m_dIirFc2, doc.m_fs),
        design::CheckIntRange(design::kFieldTaps, doc.m_nTaps, COlvexDoc::kMinDialogTaps,
                              COlvexDoc::kMaxDialogTaps),
        design::CheckIntRange(design::kFieldDataBits, doc.m_nDataBits, design::kMinDataBits,
                              design::kMaxDataBits),
        design::CheckIntRange(design::kFieldZoom, doc.m_nRespFreqZoom, 0, design::kMaxZoom),
        design::CheckIntRange(design::kFieldStartPos, doc.m_nWaveStartPos, 0, design::kMaxStartPos),
        design::CheckDisplayRange(design::kFieldGainRange, doc.m_dGainRange),
        design::CheckDisplayRange(design::kFieldMagRange, doc.m_dFftMagRange),
        design::CheckDisplayRange(design::kFieldMagRange, doc.m_dWaveMagRange),
        design::CheckWaveFrequency(doc.m_dWaveFreq),
        design::CheckMultipliers(doc.m_nVhdlMultipliers),
        design::CheckClockMhz(doc.m_dVhdlClockMhz),
    };
    for (const design::RangeRefusal& r : refusals) {
        EXPECT_FALSE(r.Refused()) << design::FieldName(r.field) << ": " << r.message;
    }
    design::Warning warning;
    EXPECT_TRUE(design::CheckFirEdges(doc.m_nFilterType, doc.m_fs, doc.m_fc1, doc.m_fc2, doc.m_fc3,
                                      doc.m_fc4, warning))
        << warning.OneLine();
    EXPECT_TRUE(design::CheckIirParameters(doc.m_nFilterType, doc.m_nIirSections, doc.m_fs,
                                           doc.m_dIirFc1, doc.m_dIirFc2, warning))
        << warning.OneLine();
    EXPECT_FALSE(design::FirBandsUnbalanced(doc.m_fc1, doc.m_fc2, doc.m_fc3, doc.m_fc4, warning));
}

// The default FIR design (a 90-tap low pass, pass band to 200 Hz, stop band from 250 Hz at RR 10)
// reaches the optimum, and its measured bands are those of an equiripple filter: the pass band
// within a few thousandths of a dB of 0 dB, the stop band below -80 dB.
TEST(Document, DefaultFirDesignMeetsItsBands) {
    COlvexDoc doc;
    doc.m_fnConsole = nullptr;
    doc.DesignFir(doc.m_nFilterType);
    ASSERT_EQ(doc.m_bDesignOk, 1);
    EXPECT_EQ(doc.m_bOptimumReached, 1);
    EXPECT_EQ(doc.m_nBands, 2);
    const dsp::FilterCoefficients c = doc.TakeCoefficients(false, false);
    ASSERT_EQ(c.DesignedTaps().size(), 90u);
    const dsp::Measurements m = dsp::Measure(
        {doc.m_nFilterType, doc.m_fs, doc.m_fc1, doc.m_fc2, doc.m_fc3, doc.m_fc4}, c, nullptr);
    ASSERT_EQ(m.unquantized.size(), 2u);
    EXPECT_TRUE(m.unquantized[0].band.pass);
    EXPECT_LT(m.unquantized[0].maxDb - m.unquantized[0].minDb, 0.01);
    EXPECT_NEAR(m.unquantized[0].maxDb, 0.0, 0.01);
    EXPECT_LT(m.unquantized[1].maxDb, -80.0);
}

// The default IIR design (two sections, 0.3 dB ripple, cut-off 200 Hz) stands, and its pass band
// ripples by the 0.3 dB it asks for.
TEST(Document, DefaultIirDesignMeetsItsRipple) {
    COlvexDoc doc;
    ASSERT_TRUE(doc.DesignIir());
    const dsp::Measurements m =
        dsp::Measure({doc.m_nFilterType, doc.m_fs, doc.m_dIirFc1, doc.m_dIirFc2, 0.0, 0.0},
                     doc.TakeCoefficients(true, false), nullptr);
    ASSERT_EQ(m.unquantized.size(), 2u);
    EXPECT_TRUE(m.unquantized[0].band.pass);
    EXPECT_NEAR(m.unquantized[0].maxDb - m.unquantized[0].minDb, doc.m_dRippleDb, 1e-3);
    EXPECT_NEAR(m.unquantized[1].maxDb, dsp::kIirStopLevelDb, 1e-6);
}

// Before any design the eight sections pass the signal through: the IIR response is 0 dB
// everywhere and the output wave is the input from sample 2 on. The FIR taps are silent.
TEST(Document, SectionsBeforeAnyDesignPassTheSignalThrough) {
    COlvexDoc doc;
    doc.m_nIirSections = COlvexDoc::kIirSections;
    doc.IirResponse();
    for (int i = 0; i < COlvexDoc::kResponseUsed; ++i) {
        ASSERT_NEAR(doc.m_aGainDb[i], 0.0, 1e-12) << i;
    }
    doc.GenerateTestWave();
    doc.FilterWaveIir();
    for (int t = 2; t < COlvexDoc::kWaveFiltered; ++t) {
        ASSERT_EQ(doc.m_aWaveOut[t], doc.m_aWaveIn[t]) << t;
    }
    doc.FilterWaveFir();
    for (int t = 0; t < COlvexDoc::kWaveFiltered; ++t) {
        ASSERT_EQ(doc.m_aWaveOut[t], 0.0) << t;
    }
}

// Quantization at the default bit length: the designed taps written as a coefficient file in
// each integer form read back as the same truncated values, and truncation keeps them within
// one step of the design.
TEST(Document, DefaultQuantizationRoundTripsThroughTheCoefficientFile) {
    COlvexDoc doc;
    doc.m_fnConsole = nullptr;
    doc.DesignFir(doc.m_nFilterType);
    ASSERT_EQ(doc.m_bDesignOk, 1);
    doc.m_bQuantize = 1;
    const dsp::FilterCoefficients q = doc.TakeCoefficients(false);
    const double step = 1.0 / doc.QuantScale();
    for (size_t j = 0; j < q.taps.size(); ++j) {
        ASSERT_LT(std::fabs(q.taps[j] - doc.m_aFirCoeffs[j]), step) << j;
    }
    for (const int format : {1, 2, 3}) { // Bin, Dec, Hex
        SCOPED_TRACE(format);
        const std::string text = files::CoeffFileText(q, format);
        int loadFormat = 0;
        const files::CoeffLoad load = files::ParseCoeffText(text, false, loadFormat);
        ASSERT_FALSE(load.Faulty());
        EXPECT_EQ(loadFormat, format);
        ASSERT_EQ(load.count, doc.m_nTaps);
        for (size_t j = 0; j < q.taps.size(); ++j) {
            ASSERT_EQ(load.values[j], q.taps[j]) << j;
        }
    }
}

} // namespace
