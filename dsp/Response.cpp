// Frequency response of the designed filter: gain in dB and phase in radians at 360 points that
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

// The summed section phases can leave (-pi, pi]; they are folded modulo 3.14 in hundredths of a
// radian, keeping their sign. fmod of the truncated value is the remainder of the integer
// division, without converting a possibly huge value to an integer type.
double FoldPhase(double p) {
    constexpr double kLimit = 3.15;
    constexpr double kHundredths = 100.0;
    constexpr double kTurn = 314.0;
    if (p < -kLimit) {
        p = std::fmod(std::trunc(kHundredths * p), kTurn) / kHundredths;
    }
    if (p > kLimit) {
        p = std::fmod(std::trunc(kHundredths * p), kTurn) / kHundredths;
    }
    return p;
}

} // namespace

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
        r.phase[static_cast<size_t>(i)] = -std::atan(u / v);
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
            // Per section the one-argument arctangent: within (-pi/2, pi/2).
            // A section quantized to silence has no phase: it adds 0, not NaN.
            const double across = ni * dr - nr * di;
            const double along = ni * di + nr * dr;
            phase += (across == 0.0 && along == 0.0) ? 0.0 : std::atan(across / along);
        }
        r.gainDb[i] = gain;
        r.phase[i] = FoldPhase(phase);
    }
    return r;
}

} // namespace dsp
