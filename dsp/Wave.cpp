// Test wave and its passage through the filter.
//
// The input is 700 samples of a 50-amplitude sine or square wave (or the user wave, which is
// left as loaded); the first 400 enter the filter. The FIR output is the direct convolution from
// rest; the IIR output runs the cascade section by section, each section starting its recursion
// at sample 2 with its first two outputs held at 0.
#include "app/OlvexDoc.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kTestWaveAmplitude = 50.0; // equals m_dPlotAmplitude
constexpr double kTwoPiStored = 6.2831852;
constexpr int kFirOutputs = COlvexDoc::kWaveFiltered - 1; // y[399] is left at 0
constexpr int kIirFirstOutput = 2;                        // outputs 0 and 1 of every section stay 0
static_assert(COlvexDoc::kWaveFiltered <= COlvexDoc::kWaveInSamples &&
              COlvexDoc::kWaveFiltered <= COlvexDoc::kWaveOutSamples);

} // namespace

void COlvexDoc::GenerateTestWave() {
    if (m_bUseUserWave != 0) {
        return;
    }
    for (int i = 0; i < kWaveInSamples; ++i) {
        m_aWaveIn[i] = kTestWaveAmplitude * std::sin((1.0 / m_fs) * i * m_dWaveFreq * kTwoPiStored);
    }
    if (m_nWaveType == 1) {
        for (double& x : m_aWaveIn) {
            x = x >= 0.0 ? kTestWaveAmplitude : -kTestWaveAmplitude;
        }
    }
}

void COlvexDoc::FilterWaveFir() {
    std::fill(std::begin(m_aWaveOut), std::end(m_aWaveOut), 0.0);
    const int n = std::clamp(m_nTaps, 0, kMaxFirTaps);
    double q[kMaxFirTaps]; // K * h[k], quantized while quantization is on; n entries valid
    for (int k = 0; k < n; ++k) {
        const double scaled = m_nCoeffMultiplier * m_aFirCoeffs[k];
        q[k] = m_bQuantize == 1 ? Quantize(scaled) : scaled;
    }
    for (int i = 0; i < kFirOutputs; ++i) {
        double y = 0.0;
        for (int k = 0; k <= std::min(i, n - 1); ++k) {
            y += q[k] * m_aWaveIn[i - k];
        }
        m_aWaveOut[i] = y;
    }
}

void COlvexDoc::FilterWaveIir() {
    const bool quantize = m_bQuantize == 1;
    const auto coeff = [&](const double* a, int s) { return quantize ? Quantize(a[s]) : a[s]; };
    // u: input of the current section, v: its output; kWaveFiltered samples each.
    double u[kWaveFiltered];
    double v[kWaveFiltered] = {};
    std::copy(m_aWaveIn, m_aWaveIn + kWaveFiltered, u);
    const int n = std::clamp(m_nIirSections, 0, kIirSections);
    for (int s = 0; s < n; ++s) {
        const double a0 = coeff(m_aA0, s), a1 = coeff(m_aA1, s), a2 = coeff(m_aA2, s);
        const double b1 = coeff(m_aB1, s), b2 = coeff(m_aB2, s);
        std::fill(std::begin(v), std::end(v), 0.0);
        for (int t = kIirFirstOutput; t < kWaveFiltered; ++t) {
            v[t] = a0 * u[t] + a1 * u[t - 1] + a2 * u[t - 2] - b1 * v[t - 1] - b2 * v[t - 2];
        }
        std::copy(std::begin(v), std::end(v), u);
    }
    // With no section the output stays all zero.
    std::copy(std::begin(v), std::end(v), m_aWaveOut);
}
