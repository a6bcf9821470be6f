// Frequency response of the designed filter: gain in dB and phase in radians (the argument of
// the complex response, within (-pi, pi]) at 360 points that
// go once around the unit circle, point i at i degrees plus 0.001 rad (about i * fs / 360 Hz).
//
// The taps and sections are the coefficients that leave the design (K applied, quantized while
// quantization is on).
#include "dsp/Response.h"

#include <algorithm>
#include <cmath>

namespace dsp {

namespace {

constexpr double kFirDegree = 0.017453292519943295; // pi / 180
constexpr double kIirDegree = 0.017453292222222222; // 3.1415926 / 180, as the IIR design
constexpr double kGridOffset = 0.001;               // keeps point 0 off DC

// Only the direction of H(e^jw) is kept: where the response is exactly zero atan2 gives 0.
// The section arguments add up beyond (-pi, pi]; the remainder brings them back, and -pi (the
// one value atan2 and remainder may give outside the interval) becomes pi.
constexpr double kPi = 3.14159265358979323846;

double WrapPhase(double p) {
    const double r = std::remainder(p, 2.0 * kPi);
    return r <= -kPi ? r + 2.0 * kPi : r;
}

} // namespace

double ResponseOmega(int i, bool iir) {
    return i * (iir ? kIirDegree : kFirDegree) + kGridOffset;
}

Response FirResponse(std::span<const double> taps) {
    Response r;
    const int n = static_cast<int>(taps.size());
    for (int i = 0; i < kResponseUsed; ++i) {
        const double w = i * kFirDegree + kGridOffset;
        // V + jU = sum of q[j] e^(jjw), that is V = sum q[j] cos(jw) and U = sum q[j] sin(jw).
        // Horner's scheme in e^(jw) needs one sine/cosine pair per point instead of one per tap,
        // which keeps a 380-tap redraw well inside its time budget; on the unit circle it is as
        // accurate as summing the terms.
        const double c = std::cos(w);
        const double s = std::sin(w);
        double v = 0.0; // the real part of H(e^jw)
        double u = 0.0; // minus its imaginary part
        for (int j = n - 1; j >= 0; --j) {
            const double vNext = v * c - u * s + taps[static_cast<size_t>(j)];
            u = v * s + u * c;
            v = vNext;
        }
        r.gainDb[static_cast<size_t>(i)] = 10.0 * std::log10(u * u + v * v);
        r.phase[static_cast<size_t>(i)] = WrapPhase(std::atan2(-u, v));
    }
    return r;
}

Response IirResponse(std::span<const Section> sections) {
    Response r;
    if (sections.empty()) {
        return r;
    }
    for (size_t i = 0; i < kResponseUsed; ++i) {
        const double w = static_cast<double>(i) * kIirDegree + kGridOffset;
        const double c1 = std::cos(w);
        const double c2 = std::cos(2.0 * w);
        const double s1 = std::sin(w);
        const double s2 = std::sin(2.0 * w);
        double gain = 0.0;
        double phase = 0.0;
        for (const Section& q : sections) {
            const double nr = q[0] + q[1] * c1 + q[2] * c2;
            const double ni = -(q[1] * s1 + q[2] * s2);
            const double dr = 1.0 + q[3] * c1 + q[4] * c2;
            const double di = -(q[3] * s1 + q[4] * s2);
            gain += 10.0 * std::log10((ni * ni + nr * nr) / (di * di + dr * dr));
            // arg(N / D) of this section; the cascade's argument is their sum.
            phase += std::atan2(ni, nr) - std::atan2(di, dr);
        }
        r.gainDb[i] = gain;
        r.phase[i] = WrapPhase(phase);
    }
    return r;
}

} // namespace dsp
