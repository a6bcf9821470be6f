// Test wave and its passage through the filter.
//
// The input is 700 samples of a 50-amplitude sine or square wave (or the user wave, which is
// left as loaded); the first 400 enter the filter. The FIR output is the direct convolution from
// rest; the IIR output runs the cascade section by section, each section starting its recursion
// at sample 2 with its first two outputs held at 0.
#include "dsp/Wave.h"

#include <algorithm>
#include <cmath>

namespace dsp {

namespace {

constexpr double kTwoPiStored = 6.2831852;
constexpr int kFirOutputs = kWaveFiltered - 1; // y[399] is left at 0
constexpr int kIirFirstOutput = 2;             // outputs 0 and 1 of every section stay 0

// Input sample t, 0 past the end of a shorter input.
double Sample(std::span<const double> input, int t) {
    return static_cast<size_t>(t) < input.size() ? input[static_cast<size_t>(t)] : 0.0;
}

} // namespace

void GenerateTestWave(double fs, double frequency, int waveType, std::span<double> wave) {
    for (size_t i = 0; i < wave.size(); ++i) {
        wave[i] = kTestWaveAmplitude *
                  std::sin((1.0 / fs) * static_cast<double>(i) * frequency * kTwoPiStored);
    }
    if (waveType == 1) {
        for (double& x : wave) {
            x = x >= 0.0 ? kTestWaveAmplitude : -kTestWaveAmplitude;
        }
    }
}

void FilterWaveFir(std::span<const double> taps, std::span<const double> input,
                   std::span<double> output) {
    std::fill(output.begin(), output.end(), 0.0);
    const int n = static_cast<int>(taps.size());
    const int outputs = std::min(kFirOutputs, static_cast<int>(output.size()));
    for (int i = 0; i < outputs; ++i) {
        double y = 0.0;
        for (int k = 0; k <= std::min(i, n - 1); ++k) {
            y += taps[static_cast<size_t>(k)] * Sample(input, i - k);
        }
        output[static_cast<size_t>(i)] = y;
    }
}

void FilterWaveIir(std::span<const Section> sections, std::span<const double> input,
                   std::span<double> output) {
    // u: input of the current section, v: its output; kWaveFiltered samples each.
    double u[kWaveFiltered];
    double v[kWaveFiltered] = {};
    for (int t = 0; t < kWaveFiltered; ++t) {
        u[t] = Sample(input, t);
    }
    for (const Section& s : sections) {
        std::fill(std::begin(v), std::end(v), 0.0);
        for (int t = kIirFirstOutput; t < kWaveFiltered; ++t) {
            v[t] =
                s[0] * u[t] + s[1] * u[t - 1] + s[2] * u[t - 2] - s[3] * v[t - 1] - s[4] * v[t - 2];
        }
        std::copy(std::begin(v), std::end(v), u);
    }
    // With no section the output stays all zero.
    std::fill(output.begin(), output.end(), 0.0);
    std::copy_n(std::begin(v), std::min<size_t>(kWaveFiltered, output.size()), output.begin());
}

} // namespace dsp
