// Magnitude and phase spectrum of 256 samples of a test wave.
#pragma once

#include <array>
#include <span>

namespace dsp {

constexpr int kFftBins = 256;
constexpr int kFftFirstSample = 120; // the spectrum skips the start-up transient

struct Spectrum {
    std::array<double, kFftBins> magnitude{};
    std::array<double, kFftBins> phase{};
};

// The plot's scale of the magnitudes: plotAmplitude / magnitudeRange, or 1 (the true amplitude)
// when the range is zero or not finite.
double SpectrumScale(double plotAmplitude, double magnitudeRange);

// Spectrum of samples 120..375 of `wave`; samples past the end of a shorter span count as 0.
// The magnitudes are 2 |X[b]| / 256 times `scale`.
Spectrum FftSpectrum(std::span<const double> wave, double scale);

} // namespace dsp
