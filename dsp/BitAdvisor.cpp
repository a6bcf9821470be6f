// The coefficient word-length advisor: every bit length the Coefficients dialog would take is
// tried in turn, its truncated coefficients measured in the bands of the unquantized design, and
// the smallest one that keeps the attenuation, the ripple and (IIR) the stability is advised.
#include <algorithm>
#include <cmath>

#include "dsp/QuantRules.h"
#include "dsp/Measure.h"

namespace dsp {

namespace {

// Largest value of `of` over the bands of one kind; NaN when there is none (or one is NaN).
template <typename Of> double LargestOver(const std::vector<BandGain>& gains, bool pass, Of of) {
    double largest = std::nan("");
    bool any = false;
    for (const BandGain& g : gains) {
        if (g.band.pass != pass) {
            continue;
        }
        const double v = of(g);
        if (std::isnan(v)) {
            return v;
        }
        largest = any ? std::max(largest, v) : v;
        any = true;
    }
    return largest;
}

double Ripple(const BandGain& g) {
    return g.maxDb - g.minDb;
}

// Each comparison is written so that a NaN gain fails it.
bool KeepsBands(const std::vector<BandGain>& unquantized, const std::vector<BandGain>& quantized,
                double toleranceDb) {
    for (size_t i = 0; i < unquantized.size() && i < quantized.size(); ++i) {
        const BandGain& u = unquantized[i];
        const BandGain& q = quantized[i];
        const bool kept =
            u.band.pass ? Ripple(q) <= Ripple(u) + toleranceDb : q.maxDb <= u.maxDb + toleranceDb;
        if (!kept) {
            return false;
        }
    }
    return true;
}

bool QuantizedSectionsStable(const dsp::FilterCoefficients& quantized) {
    for (const Section& s : quantized.DesignedSections()) {
        if (!SectionStable(s[3], s[4])) {
            return false;
        }
    }
    return true;
}

} // namespace

bool SectionStable(double b1, double b2) {
    // z^2 + b1 z + b2 has both roots strictly inside |z| = 1 exactly inside this triangle.
    return std::abs(b2) < 1.0 && std::abs(b1) < 1.0 + b2;
}

BitAdvice AdviseBits(const BandSpec& params, const FilterCoefficients& unquantized,
                     double toleranceDb) {
    BitAdvice advice;
    const bool iir = unquantized.iir;
    const std::vector<Band> bands = MeasureBands(params, unquantized);
    const std::vector<BandGain> reference = MeasureGains(unquantized, params.fs, bands);
    advice.designStopMaxDb =
        LargestOver(reference, false, [](const BandGain& g) { return g.maxDb; });
    advice.designRippleDb = LargestOver(reference, true, Ripple);
    const double largest = coeffs::LargestQuantizedMagnitude(unquantized);
    const int most = iir ? coeffs::kMaxIirQuantBits : coeffs::kMaxQuantBits;
    for (int bits = coeffs::kMinQuantBits; bits <= most; ++bits) {
        design::Warning refused;
        if (!coeffs::CheckQuantBits(largest, iir, bits, refused)) {
            continue;
        }
        const FilterCoefficients trial = AtBits(unquantized, true, bits);
        const std::vector<BandGain> quantized = MeasureGains(trial, params.fs, bands);
        BitCandidate c;
        c.bits = bits;
        c.stopMaxDb = LargestOver(quantized, false, [](const BandGain& g) { return g.maxDb; });
        c.rippleDb = LargestOver(quantized, true, Ripple);
        c.stable = !iir || QuantizedSectionsStable(trial);
        c.meets = c.stable && KeepsBands(reference, quantized, toleranceDb);
        if (c.meets && advice.bits == 0) {
            advice.bits = bits;
        }
        advice.candidates.push_back(c);
    }
    return advice;
}

} // namespace dsp
