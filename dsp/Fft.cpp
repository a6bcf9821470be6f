// Magnitude and phase spectrum of 256 samples of a test wave (input or output), by the in-place
// radix-2 decimation-in-time FFT of J. W. Cooley and J. W. Tukey, "An algorithm for the machine
// calculation of complex Fourier series", Mathematics of Computation 19 (1965), 297-301: the
// samples in bit-reversed order, then log2(256) = 8 stages of butterflies. Samples 120..375 are
// taken so that the filter's start-up transient stays out; no window is applied.
//
// Magnitudes are scaled for the spectrum plot: 2 |X[b]| / 256 is the amplitude of a sine on bin
// b, and the plot divides the nominal amplitude by its magnitude range.
#include "dsp/Fft.h"

#include <cmath>
#include <utility>

namespace dsp {

namespace {

constexpr int kFftSize = kFftBins; // 256 = 2^kFftStages
constexpr int kFftStages = 8;
constexpr int kHalf = kFftSize / 2;
constexpr double kTwiddleStep = 0.012271846875; // 6.2831856 / 256 / 2, stored approximation
constexpr double kQuarterTurn = 1.5707964;
static_assert(1 << kFftStages == kFftSize);

// The transform in place: real and imaginary parts, kFftSize entries each.
struct FftBuffer {
    double xr[kFftSize];
    double xi[kFftSize];
};

// Twiddle factors e^(-j 2 pi k / 256) for k = 0..127.
struct Twiddles {
    double wr[kHalf];
    double wi[kHalf];
};

// Samples kFftFirstSample.. of the wave as the real part; past the wave's end they are 0.
void TakeSamples(std::span<const double> wave, FftBuffer& x) {
    for (int n = 0; n < kFftSize; ++n) {
        const size_t pos = static_cast<size_t>(kFftFirstSample + n);
        x.xr[n] = pos < wave.size() ? wave[pos] : 0.0;
        x.xi[n] = 0.0;
    }
}

void BuildTwiddles(Twiddles& w) {
    for (int k = 0; k < kHalf; ++k) {
        const double angle = 2.0 * k * kTwiddleStep;
        w.wr[k] = std::cos(angle);
        w.wi[k] = -std::sin(angle);
    }
}

// Puts the samples in bit-reversed index order, counting j in reversed binary alongside i.
void BitReverse(FftBuffer& x) {
    for (int i = 0, j = 0; i < kFftSize - 1; ++i) {
        if (i < j) {
            std::swap(x.xr[i], x.xr[j]);
            std::swap(x.xi[i], x.xi[j]);
        }
        int m = kHalf;
        while (m >= 1 && m <= j) {
            j -= m;
            m /= 2;
        }
        j += m;
    }
}

// Stage s combines pairs of 2^(s-1)-point transforms into 2^s-point ones; twiddle k of a group
// of le = 2^s points is W_256^(k * 256 / le).
void Butterflies(const Twiddles& w, FftBuffer& x) {
    for (int stage = 1; stage <= kFftStages; ++stage) {
        const int le = 1 << stage;
        const int half = le / 2;
        const int step = kFftSize / le;
        for (int k = 0; k < half; ++k) {
            const double ur = w.wr[k * step];
            const double ui = w.wi[k * step];
            for (int i = k; i < kFftSize; i += le) {
                const int p = i + half;
                const double tr = ur * x.xr[p] - ui * x.xi[p];
                const double ti = ui * x.xr[p] + ur * x.xi[p];
                x.xr[p] = x.xr[i] - tr;
                x.xi[p] = x.xi[i] - ti;
                x.xr[i] += tr;
                x.xi[i] += ti;
            }
        }
    }
}

// The plotted magnitude (2 |X| / 256 times the plot scale) and the phase (arctangent of Im/Re,
// +-pi/2 on the imaginary axis, 0 for a zero bin).
void StoreSpectrum(const FftBuffer& x, double scale, Spectrum& spectrum) {
    auto& mag = spectrum.magnitude;
    auto& phase = spectrum.phase;
    for (int b = 0; b < kFftSize; ++b) {
        const double m = std::sqrt(x.xr[b] * x.xr[b] + x.xi[b] * x.xi[b]) / kFftSize;
        mag[static_cast<size_t>(b)] = 2.0 * scale * m;
        if (x.xr[b] != 0.0) {
            phase[static_cast<size_t>(b)] = std::atan(x.xi[b] / x.xr[b]);
        } else {
            phase[static_cast<size_t>(b)] =
                x.xi[b] > 0.0 ? kQuarterTurn : (x.xi[b] < 0.0 ? -kQuarterTurn : 0.0);
        }
    }
}

} // namespace

double SpectrumScale(double plotAmplitude, double magnitudeRange) {
    // A zero magnitude range would divide by zero (the dialog refuses it); the spectrum is then
    // left at the nominal scale, the true amplitude of each bin.
    const bool rangeUsable = magnitudeRange != 0.0 && std::isfinite(magnitudeRange);
    return rangeUsable ? plotAmplitude / magnitudeRange : 1.0;
}

Spectrum FftSpectrum(std::span<const double> wave, double scale) {
    FftBuffer x;
    Twiddles w;
    TakeSamples(wave, x);
    BuildTwiddles(w);
    BitReverse(x);
    Butterflies(w, x);
    Spectrum spectrum;
    StoreSpectrum(x, scale, spectrum);
    return spectrum;
}

} // namespace dsp
