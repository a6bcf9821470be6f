// Magnitude and phase spectrum of 256 samples of a test wave (input or output), by an in-place
// radix-2 decimation-in-time FFT. Samples 120..375 are taken so that the filter's start-up
// transient stays out; no window is applied.
//
// Magnitudes are scaled for the spectrum plot: 2 |X[b]| / 256 is the amplitude of a sine on bin
// b, and the plot divides the nominal amplitude by its magnitude range.
#include "app/OlvexDoc.h"

#include <cmath>
#include <utility>

namespace {

constexpr int kFftSize = COlvexDoc::kFftBins; // 256 = 2^kFftStages
constexpr int kFftStages = 8;
constexpr int kHalf = kFftSize / 2;
constexpr double kTwiddleStep = 0.012271846875; // 6.2831856 / 256 / 2, stored approximation
constexpr double kQuarterTurn = 1.5707964;
static_assert(1 << kFftStages == kFftSize);

} // namespace

void COlvexDoc::FftSpectrum(std::span<const double> wave) {
    // xr, xi: the transform in place, kFftSize entries.
    double xr[kFftSize];
    double xi[kFftSize] = {};
    for (int n = 0; n < kFftSize; ++n) {
        const size_t pos = static_cast<size_t>(kFftFirstSample + n);
        xr[n] = pos < wave.size() ? wave[pos] : 0.0;
    }

    // Twiddles e^(-j 2 pi k / 256) for k = 0..127.
    double wr[kHalf];
    double wi[kHalf];
    for (int k = 0; k < kHalf; ++k) {
        const double angle = 2.0 * k * kTwiddleStep;
        wr[k] = std::cos(angle);
        wi[k] = -std::sin(angle);
    }

    // Bit-reversed order.
    for (int i = 0, j = 0; i < kFftSize - 1; ++i) {
        if (i < j) {
            std::swap(xr[i], xr[j]);
            std::swap(xi[i], xi[j]);
        }
        int m = kHalf;
        while (m >= 1 && m <= j) {
            j -= m;
            m /= 2;
        }
        j += m;
    }

    for (int stage = 1; stage <= kFftStages; ++stage) {
        const int le = 1 << stage;
        const int half = le / 2;
        const int step = kFftSize / le;
        for (int k = 0; k < half; ++k) {
            const double ur = wr[k * step];
            const double ui = wi[k * step];
            for (int i = k; i < kFftSize; i += le) {
                const int p = i + half;
                const double tr = ur * xr[p] - ui * xi[p];
                const double ti = ui * xr[p] + ur * xi[p];
                xr[p] = xr[i] - tr;
                xi[p] = xi[i] - ti;
                xr[i] += tr;
                xi[i] += ti;
            }
        }
    }

    // A zero magnitude range would divide by zero (the dialog refuses it); the spectrum is then
    // left at the nominal scale, the true amplitude of each bin.
    const bool rangeUsable = m_dFftMagRange != 0.0 && std::isfinite(m_dFftMagRange);
    const double scale = rangeUsable ? m_dPlotAmplitude / m_dFftMagRange : 1.0;
    for (int b = 0; b < kFftSize; ++b) {
        const double mag = std::sqrt(xr[b] * xr[b] + xi[b] * xi[b]) / kFftSize;
        m_aFftMag[b] = 2.0 * scale * mag;
        if (xr[b] != 0.0) {
            m_aFftPhase[b] = std::atan(xi[b] / xr[b]);
        } else {
            m_aFftPhase[b] = xi[b] > 0.0 ? kQuarterTurn : (xi[b] < 0.0 ? -kQuarterTurn : 0.0);
        }
    }
}
