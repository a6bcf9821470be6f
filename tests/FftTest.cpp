// FFT spectrum of samples 120..375 of a wave: scaling, mirror bins, phases, and the magnitude
// range of 0 that the dialog would refuse.
#include "app/OlvexDoc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr int kBins = COlvexDoc::kFftBins;

// A 50-amplitude sine exactly on bin 10 (fs / 256 * 10).
COlvexDoc WithBinTenSine(double magRange) {
    COlvexDoc doc;
    doc.m_dWaveFreq = 10.0 * doc.m_fs / kBins;
    doc.m_dFftMagRange = magRange;
    doc.GenerateTestWave();
    doc.FftSpectrum(doc.m_aWaveIn);
    return doc;
}

TEST(FftSpectrum, SineOnBinTen) {
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

TEST(FftSpectrum, ConstantAndSilence) {
    COlvexDoc doc;
    std::vector<double> wave(COlvexDoc::kWaveOutSamples, 1.0);
    doc.FftSpectrum(wave);
    EXPECT_NEAR(doc.m_aFftMag[0], 2.0, 1e-12); // the factor 2 applies to bin 0 as well
    EXPECT_EQ(doc.m_aFftPhase[0], 0.0);
    for (int b = 1; b < kBins; ++b) {
        ASSERT_LT(doc.m_aFftMag[b], 1e-12) << b;
    }

    std::fill(wave.begin(), wave.end(), 0.0);
    doc.FftSpectrum(wave);
    for (int b = 0; b < kBins; ++b) {
        ASSERT_EQ(doc.m_aFftMag[b], 0.0) << b;
        ASSERT_EQ(doc.m_aFftPhase[b], 0.0) << b;
    }
}

// A wave shorter than 376 samples: the missing samples count as 0.
TEST(FftSpectrum, ShortWave) {
    COlvexDoc doc;
    std::vector<double> shortWave(200, 1.0);
    doc.FftSpectrum(shortWave);
    EXPECT_NEAR(doc.m_aFftMag[0], 2.0 * 80.0 / kBins, 1e-12);
}

} // namespace
