// The gain of a filter on the measurement grid. Grid point k lies at pi*k/kMeasureIntervals
// radians per sample; the same angles, for k below kMeasureIntervals, are the twiddle factors of
// the FIR's FFT of size 2*kMeasureIntervals, so one table serves both.
#include "dsp/MeasureGrid.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

#include "dsp/Measure.h"

namespace dsp {

namespace {

constexpr int kFftSize = 2 * kMeasureIntervals;
constexpr int kFftStages = 14;
static_assert((1 << kFftStages) == kFftSize);

// cos and sin of the grid angles, kMeasureIntervals + 1 entries each; computed once.
struct GridTrig {
    std::vector<double> cosine;
    std::vector<double> sine;
    GridTrig() : cosine(kMeasureIntervals + 1), sine(kMeasureIntervals + 1) {
        for (int k = 0; k <= kMeasureIntervals; ++k) {
            const double w = std::numbers::pi * k / kMeasureIntervals;
            cosine[static_cast<size_t>(k)] = std::cos(w);
            sine[static_cast<size_t>(k)] = std::sin(w);
        }
    }
};

const GridTrig& Trig() {
    static const GridTrig trig;
    return trig;
}

// In-place radix-2 FFT, X[k] = sum x[n] e^(-2 pi i k n / kFftSize).
void Fft(std::vector<std::complex<double>>& x) {
    const GridTrig& t = Trig();
    for (unsigned i = 1, j = 0; i < kFftSize; ++i) {
        unsigned bit = kFftSize >> 1;
        for (; (j & bit) != 0; bit >>= 1) {
            j ^= bit;
        }
        j |= bit;
        if (i < j) {
            std::swap(x[i], x[j]);
        }
    }
    for (int length = 2; length <= kFftSize; length <<= 1) {
        const int half = length / 2;
        const int step = kFftSize / length; // table index of one twiddle step
        for (int start = 0; start < kFftSize; start += length) {
            for (int j = 0; j < half; ++j) {
                const size_t k = static_cast<size_t>(j * step);
                const std::complex<double> w(t.cosine[k], -t.sine[k]);
                const std::complex<double> odd = w * x[static_cast<size_t>(start + j + half)];
                std::complex<double>& even = x[static_cast<size_t>(start + j)];
                x[static_cast<size_t>(start + j + half)] = even - odd;
                even += odd;
            }
        }
    }
}

double SectionGainDb(const std::array<double, 5>& s, double c1, double s1, double c2, double s2) {
    const double nr = s[0] + s[1] * c1 + s[2] * c2;
    const double ni = s[1] * s1 + s[2] * s2;
    const double dr = 1.0 + s[3] * c1 + s[4] * c2;
    const double di = s[3] * s1 + s[4] * s2;
    return 10.0 * std::log10((nr * nr + ni * ni) / (dr * dr + di * di));
}

} // namespace

double GainDbAt(const FilterCoefficients& c, double w) {
    const double c1 = std::cos(w);
    const double s1 = std::sin(w);
    if (c.iir) {
        const double c2 = std::cos(2.0 * w);
        const double s2 = std::sin(2.0 * w);
        double gain = 0.0;
        for (const auto& s : c.DesignedSections()) {
            gain += SectionGainDb(s, c1, s1, c2, s2);
        }
        return gain;
    }
    // Horner's scheme in e^(-jw): one sine/cosine pair per point.
    std::complex<double> sum = 0.0;
    const std::complex<double> z(c1, -s1);
    const std::span<const double> taps = c.DesignedTaps();
    for (auto h = taps.rbegin(); h != taps.rend(); ++h) {
        sum = sum * z + *h;
    }
    return 10.0 * std::log10(std::norm(sum));
}

std::vector<double> GridGainDb(const FilterCoefficients& c) {
    std::vector<double> gain(kMeasureIntervals + 1, 0.0);
    if (c.iir) {
        const GridTrig& t = Trig();
        for (int k = 0; k <= kMeasureIntervals; ++k) {
            const double c1 = t.cosine[static_cast<size_t>(k)];
            const double s1 = t.sine[static_cast<size_t>(k)];
            const double c2 = 2.0 * c1 * c1 - 1.0;
            const double s2 = 2.0 * s1 * c1;
            double g = 0.0;
            for (const auto& s : c.DesignedSections()) {
                g += SectionGainDb(s, c1, s1, c2, s2);
            }
            gain[static_cast<size_t>(k)] = g;
        }
        return gain;
    }
    std::vector<std::complex<double>> x(kFftSize);
    const std::span<const double> taps = c.DesignedTaps();
    std::copy(taps.begin(), taps.begin() + std::min<ptrdiff_t>(std::ssize(taps), kFftSize),
              x.begin());
    Fft(x);
    for (int k = 0; k <= kMeasureIntervals; ++k) {
        gain[static_cast<size_t>(k)] = 10.0 * std::log10(std::norm(x[static_cast<size_t>(k)]));
    }
    return gain;
}

double GridFrequency(int k, double fs) {
    return static_cast<double>(k) * (fs / 2.0) / kMeasureIntervals;
}

} // namespace dsp
