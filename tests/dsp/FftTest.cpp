// FFT spectrum of samples 120..375 of a wave: scaling, mirror bins, phases, and the magnitude
// range of 0 that the dialog would refuse.
#include "dsp/Fft.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dsp/Wave.h"

namespace {

constexpr size_t kBins = dsp::kFftBins;

// The spectrum of a 50-amplitude sine exactly on bin 10 (fs / 256 * 10) at the plot's scale.
TEST(FftSpectrum, SineOnBinTen) {
    struct Case {
        double magRange;
        double peak;
    };
    // A range of 0 (refused by the dialog) leaves the true amplitude instead of dividing by 0.
    const Case cases[] = {{50.0, 50.0}, {100.0, 25.0}, {10.0, 250.0}, {0.0, 50.0}};
    std::vector<double> wave(700);
    dsp::GenerateTestWave(1000.0, 10.0 * 1000.0 / kBins, 0, wave);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.magRange);
        const dsp::Spectrum s = dsp::FftSpectrum(wave, dsp::SpectrumScale(50.0, c.magRange));
        EXPECT_NEAR(s.magnitude[10], c.peak, 1e-4 * c.peak);
        EXPECT_NEAR(s.magnitude[kBins - 10], c.peak, 1e-4 * c.peak);
        for (size_t b = 0; b < kBins; ++b) {
            if (b != 10 && b != kBins - 10) {
                ASSERT_LT(s.magnitude[b], 1e-4 * c.peak) << b;
            }
        }
    }
}

TEST(FftSpectrum, ConstantAndSilence) {
    std::vector<double> wave(400, 1.0); // an output wave's samples
    dsp::Spectrum s = dsp::FftSpectrum(wave, 1.0);
    EXPECT_NEAR(s.magnitude[0], 2.0, 1e-12); // the factor 2 applies to bin 0 as well
    EXPECT_EQ(s.phase[0], 0.0);
    for (size_t b = 1; b < kBins; ++b) {
        ASSERT_LT(s.magnitude[b], 1e-12) << b;
    }

    std::fill(wave.begin(), wave.end(), 0.0);
    s = dsp::FftSpectrum(wave, 1.0);
    for (size_t b = 0; b < kBins; ++b) {
        ASSERT_EQ(s.magnitude[b], 0.0) << b;
        ASSERT_EQ(s.phase[b], 0.0) << b;
    }
}

// A wave shorter than 376 samples: the missing samples count as 0; an empty one is silence.
TEST(FftSpectrum, ShortWave) {
    std::vector<double> shortWave(200, 1.0);
    EXPECT_NEAR(dsp::FftSpectrum(shortWave, 1.0).magnitude[0], 2.0 * 80.0 / kBins, 1e-12);
    EXPECT_EQ(dsp::FftSpectrum({}, 1.0).magnitude[0], 0.0);
}

TEST(FftSpectrum, ScaleOfThePlot) {
    EXPECT_EQ(dsp::SpectrumScale(50.0, 100.0), 0.5);
    EXPECT_EQ(dsp::SpectrumScale(50.0, 0.0), 1.0);
    EXPECT_EQ(dsp::SpectrumScale(50.0, std::nan("")), 1.0);
    EXPECT_EQ(dsp::SpectrumScale(50.0, INFINITY), 1.0);
}

} // namespace
