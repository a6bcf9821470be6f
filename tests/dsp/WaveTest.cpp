// Test wave generation and the FIR and IIR filtering of it, on plain arrays and on the
// coefficients that leave the design (multiplier and quantization applied).
#include "dsp/Wave.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dsp/FilterCoefficients.h"

namespace {

constexpr int kFiltered = dsp::kWaveFiltered;
constexpr size_t kWaveInSamples = 700;  // the input wave's samples
constexpr size_t kWaveOutSamples = 400; // the output wave's samples

TEST(TestWave, SineAndSquare) {
    std::vector<double> wave(kWaveInSamples);
    dsp::GenerateTestWave(1000.0, 100.0, 0, wave);
    EXPECT_EQ(wave[0], 0.0);
    EXPECT_NEAR(wave[1], 29.389262, 1e-6);
    EXPECT_NEAR(wave[699], 50.0 * std::sin(699 * 0.1 * 6.2831852), 1e-12);
    dsp::GenerateTestWave(1000.0, 100.0, 1, wave);
    // x[0] = 0 counts as positive. Sample 5 is 50 sin(3.1415926), just above 0, and sample 10
    // 50 sin(6.2831852), just below 0: the stored 2 pi is short of the true one.
    const int plus[] = {0, 1, 4, 5, 11, 15, 695};
    const int minus[] = {6, 9, 10, 20, 699};
    for (int i : plus) {
        EXPECT_EQ(wave[static_cast<size_t>(i)], 50.0) << i;
    }
    for (int i : minus) {
        EXPECT_EQ(wave[static_cast<size_t>(i)], -50.0) << i;
    }
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
    const std::vector<double> in = Ramp(kWaveInSamples);
    std::vector<double> out(kWaveOutSamples, -7.0);
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

// The analyses take the first N taps; K scales them before quantization truncates them.
TEST(FirWave, DesignedTapsTimesTheMultiplierQuantized) {
    const std::vector<double> in = Ramp(kWaveInSamples);
    std::vector<double> out(kWaveOutSamples, -7.0);
    const std::vector<double> h = {1.0, 0.0, 0.5, 100.0}; // h[3] past N = 3
    dsp::FilterWaveFir(dsp::FirCoefficients(h, 3, 4, 1, false, 16).DesignedTaps(), in, out);
    for (size_t i = 2; i < kFiltered - 1; ++i) {
        const double x = 1.0 + static_cast<double>(i);
        ASSERT_EQ(out[i], x + 0.5 * (x - 2.0)) << i;
    }
    EXPECT_EQ(out[kFiltered - 1], 0.0);

    const std::vector<double> one = {0.3};
    dsp::FilterWaveFir(dsp::FirCoefficients(one, 1, 1, 3, true, 4).DesignedTaps(), in, out);
    for (size_t i = 0; i < kFiltered - 1; ++i) {
        ASSERT_EQ(out[i], 0.875 * (1.0 + static_cast<double>(i))) << i;
    }
}

// Every section holds its first two outputs at 0, so each one in the cascade adds to the start.
TEST(IirWave, CascadeStartsEverySectionAtSampleTwo) {
    const std::vector<double> in = Ramp(kWaveInSamples);
    std::vector<double> out(kWaveOutSamples, -7.0);
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
    const std::vector<double> in = Ramp(kWaveInSamples);
    std::vector<double> out(kWaveOutSamples, -7.0);
    const std::vector<dsp::Section> one = {{0.3, 0.0, 0.0, -0.5, 0.0}}; // v = 0.3 u + 0.5 v[t-1]
    dsp::FilterWaveIir(dsp::IirCoefficients(one, 1, false, 4).DesignedSections(), in, out);
    double expected = 0.0;
    for (size_t t = 2; t < kFiltered; ++t) {
        expected = 0.3 * (1.0 + static_cast<double>(t)) + 0.5 * expected;
        ASSERT_DOUBLE_EQ(out[t], expected) << t;
    }
    dsp::FilterWaveIir(dsp::IirCoefficients(one, 1, true, 4).DesignedSections(), in, out);
    expected = 0.0;
    for (size_t t = 2; t < kFiltered; ++t) {
        expected = 0.25 * (1.0 + static_cast<double>(t)) + 0.5 * expected;
        ASSERT_DOUBLE_EQ(out[t], expected) << t;
    }
    // No designed section: silence.
    dsp::FilterWaveIir(dsp::IirCoefficients(one, 0, false, 4).DesignedSections(), in, out);
    for (double y : out) {
        ASSERT_EQ(y, 0.0);
    }
}

} // namespace
