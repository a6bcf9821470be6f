// Frequency response of the designed filter: gain in dB and phase in radians at 360 points that
// go once around the unit circle, point i at i degrees plus 0.001 rad (about i * fs / 360 Hz).
//
// The FIR response includes the coefficient multiplier K; both responses use the quantized
// coefficients while quantization is on. Entries 360..399 of the arrays are never written.
#include "app/OlvexDoc.h"

#include <algorithm>
#include <cmath>

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

void COlvexDoc::FirResponse() {
    const int n = std::clamp(m_nTaps, 0, kMaxFirTaps);
    double q[kMaxFirTaps]; // K * h[j], quantized while quantization is on; n entries valid
    for (int j = 0; j < n; ++j) {
        const double scaled = m_nCoeffMultiplier * m_aFirCoeffs[j];
        q[j] = m_bQuantize == 1 ? Quantize(scaled) : scaled;
    }
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
            const double vNext = v * c - u * s + q[j];
            u = v * s + u * c;
            v = vNext;
        }
        m_aGainDb[i] = 10.0 * std::log10(u * u + v * v);
        m_aPhase[i] = -std::atan(u / v);
    }
}

void COlvexDoc::IirResponse() {
    // The five coefficients of every section, quantized while quantization is on.
    double a0[kIirSections], a1[kIirSections], a2[kIirSections], b1[kIirSections], b2[kIirSections];
    for (int s = 0; s < kIirSections; ++s) {
        const bool q = m_bQuantize == 1;
        a0[s] = q ? Quantize(m_aA0[s]) : m_aA0[s];
        a1[s] = q ? Quantize(m_aA1[s]) : m_aA1[s];
        a2[s] = q ? Quantize(m_aA2[s]) : m_aA2[s];
        b1[s] = q ? Quantize(m_aB1[s]) : m_aB1[s];
        b2[s] = q ? Quantize(m_aB2[s]) : m_aB2[s];
    }
    const int n = std::clamp(m_nIirSections, 0, kIirSections);
    for (int i = 0; i < kResponseUsed; ++i) {
        m_aGainDb[i] = 0.0;
        m_aPhase[i] = 0.0;
        if (n == 0) {
            continue;
        }
        const double w = i * kIirDegree + kGridOffset;
        const double c1 = std::cos(w);
        const double c2 = std::cos(2.0 * w);
        const double s1 = std::sin(w);
        const double s2 = std::sin(2.0 * w);
        double gain = 0.0;
        double phase = 0.0;
        for (int j = 0; j < n; ++j) {
            const double nr = a0[j] + a1[j] * c1 + a2[j] * c2;
            const double ni = -(a1[j] * s1 + a2[j] * s2);
            const double dr = 1.0 + b1[j] * c1 + b2[j] * c2;
            const double di = -(b1[j] * s1 + b2[j] * s2);
            gain += 10.0 * std::log10((ni * ni + nr * nr) / (di * di + dr * dr));
            // Per section the one-argument arctangent: within (-pi/2, pi/2).
            phase += std::atan((ni * dr - nr * di) / (ni * di + nr * dr));
        }
        m_aGainDb[i] = gain;
        m_aPhase[i] = FoldPhase(phase);
    }
}
