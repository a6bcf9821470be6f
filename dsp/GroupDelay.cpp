// Group delay from the coefficients: for P(z) = sum p_n z^-n the delay is
// Re{ sum n p_n e^-jwn / P(e^jw) }, and a ratio of polynomials delays by the numerator's less the
// denominator's. Both sums come from one Horner pass in e^-jw.
#include "dsp/GroupDelay.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>

namespace dsp {

namespace {

constexpr double kTwoPi = 6.28318530717958647692;
// |P| within this many epsilons of sum |p_n| counts as zero: evaluating P rounds by about that.
constexpr double kZeroResponseEps = 10.0;
// Mirrored taps that differ by at most this many epsilons of the largest tap count as equal.
constexpr double kSymmetryEps = 16.0;

struct PolynomialDelay {
    double delay = 0.0; // samples
    bool defined = true;
};

// The delay of sum p_n z^-n at z = e^jw.
PolynomialDelay DelayOf(std::span<const double> p, double w) {
    const std::complex<double> z(std::cos(w), -std::sin(w)); // e^-jw
    std::complex<double> value = 0.0;
    std::complex<double> weighted = 0.0; // sum n p_n z^n
    double size = 0.0;
    for (std::size_t n = p.size(); n-- > 0;) {
        value = value * z + p[n];
        weighted = weighted * z + static_cast<double>(n) * p[n];
        size += std::abs(p[n]);
    }
    if (std::abs(value) <= kZeroResponseEps * std::numeric_limits<double>::epsilon() * size) {
        return {0.0, false};
    }
    return {(weighted / value).real(), true};
}

double FrequencyOf(double w, double fs) {
    return w * fs / kTwoPi;
}

} // namespace

// Zero taps at the end (the extra tap of an even HPF or BRF count) change neither the response
// nor its delay.
static std::span<const double> WithoutTrailingZeros(std::span<const double> taps) {
    std::size_t n = taps.size();
    while (n > 0 && taps[n - 1] == 0.0) {
        --n;
    }
    return taps.first(n);
}

bool IsLinearPhase(std::span<const double> all) {
    const std::span<const double> taps = WithoutTrailingZeros(all);
    const std::size_t n = taps.size();
    double largest = 0.0;
    for (double t : taps) {
        largest = std::max(largest, std::abs(t));
    }
    // The design computes each half on its own: mirrored taps may differ in the last bits.
    const double tolerance = kSymmetryEps * std::numeric_limits<double>::epsilon() * largest;
    bool symmetric = true;
    bool antisymmetric = true;
    for (std::size_t i = 0; i < n; ++i) {
        symmetric = symmetric && std::abs(taps[i] - taps[n - 1 - i]) <= tolerance;
        antisymmetric = antisymmetric && std::abs(taps[i] + taps[n - 1 - i]) <= tolerance;
    }
    return n > 0 && (symmetric || antisymmetric);
}

GroupDelay FirGroupDelay(std::span<const double> taps, double fs) {
    GroupDelay g;
    const bool linearPhase = IsLinearPhase(taps);
    const std::size_t length = WithoutTrailingZeros(taps).size();
    const double middle = length == 0 ? 0.0 : (static_cast<double>(length) - 1.0) / 2.0;
    for (int i = 0; i < kResponseUsed; ++i) {
        const double w = ResponseOmega(i, false);
        const auto at = static_cast<std::size_t>(i);
        g.frequency[at] = FrequencyOf(w, fs);
        if (linearPhase) {
            // Also where a zero on the unit circle leaves the phase undefined: the delay of the
            // taps is the same at every other frequency.
            g.delay[at] = middle;
            continue;
        }
        const PolynomialDelay d = DelayOf(taps, w);
        g.delay[at] = d.delay;
        g.undefinedPoints += d.defined ? 0 : 1;
    }
    return g;
}

GroupDelay IirGroupDelay(std::span<const Section> sections, double fs) {
    GroupDelay g;
    for (int i = 0; i < kResponseUsed; ++i) {
        const double w = ResponseOmega(i, true);
        const auto at = static_cast<std::size_t>(i);
        g.frequency[at] = FrequencyOf(w, fs);
        double delay = 0.0;
        bool defined = true;
        for (const Section& q : sections) {
            const double numerator[] = {q[0], q[1], q[2]};
            const double denominator[] = {1.0, q[3], q[4]};
            const PolynomialDelay n = DelayOf(numerator, w);
            const PolynomialDelay d = DelayOf(denominator, w);
            delay += n.delay - d.delay;
            defined = defined && n.defined && d.defined;
        }
        g.delay[at] = defined ? delay : 0.0;
        g.undefinedPoints += defined ? 0 : 1;
    }
    return g;
}

GroupDelay GroupDelayOf(const FilterCoefficients& c, double fs) {
    return c.iir ? IirGroupDelay(c.DesignedSections(), fs) : FirGroupDelay(c.taps, fs);
}

} // namespace dsp
