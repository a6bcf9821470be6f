// The droop compensator of a CIC filter: a shaped Remez design at the low rate, and the cascade's
// pass-band flatness and stop-band attenuation measured on a dense grid.
#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

#include "dsp/Cic.h"
#include "dsp/RemezArbitrary.h"

namespace dsp {

namespace {

// The CIC's normalised gain at f cycles per low-rate sample.
double CicAtLowRate(const CicParams& cic, double f) {
    return CicMagnitude(cic, f / static_cast<double>(cic.rate));
}

// Points per band of the measurement grid.
constexpr int kMeasurePoints = 4096;

} // namespace

double FirMagnitude(std::span<const double> taps, double frequency) {
    std::complex<double> sum = 0.0;
    const double w = -2.0 * std::numbers::pi * frequency;
    for (size_t k = 0; k < taps.size(); ++k) {
        sum += taps[k] * std::polar(1.0, w * static_cast<double>(k));
    }
    return std::abs(sum);
}

std::string CicCompensatorRangeError(const CicParams& cic, const CicCompensatorParams& c) {
    if (c.taps < kCicCompensatorMinTaps || c.taps > kCicCompensatorMaxTaps) {
        return "the compensator's tap count must be " + std::to_string(kCicCompensatorMinTaps) +
               " to " + std::to_string(kCicCompensatorMaxTaps);
    }
    if (!(c.passEdge > 0.0 && c.passEdge < c.stopEdge && c.stopEdge < 0.5)) {
        return "the compensator's edges must satisfy 0 < FP < FSTOP < 0.5 (cycles per low-rate "
               "sample)";
    }
    if (!(-CicMagnitudeDb(cic, c.passEdge / cic.rate) <= kCicCompensatorMaxDroopDb)) {
        return "the CIC's droop at the pass-band edge exceeds 40 dB";
    }
    return {};
}

CicCompensator DesignCicCompensator(const CicParams& cic, const CicCompensatorParams& c) {
    CicCompensator out;
    out.error = CicCompensatorRangeError(cic, c);
    if (!out.error.empty()) {
        return out;
    }
    FirBands bands;
    bands.nBands = 2;
    bands.edges = {0.0, c.passEdge, c.stopEdge, 0.5};
    bands.desired = {1.0, 0.0};
    bands.weight = {1.0, 1.0};
    const BandShape desired = [&cic](int band, double f) {
        return band == 0 ? 1.0 / CicAtLowRate(cic, f) : 0.0;
    };
    const BandShape weight = [](int, double) { return 1.0; };
    const FirDesignResult design = RemezDesignShaped(c.taps, bands, desired, weight);
    if (!design.Ok()) {
        out.error = "the compensator's Remez design failed";
        return out;
    }
    out.taps = design.taps;
    out.optimum = design.verdict == FirVerdict::kOptimum;
    out.droopDb = CicMagnitudeDb(cic, c.passEdge / cic.rate);

    // The ripple and the cascade on a grid denser than the design's, edges included.
    double compensatorError = 0.0;
    for (int i = 0; i <= kMeasurePoints; ++i) {
        const double f = c.passEdge * i / kMeasurePoints;
        const double h = CicAtLowRate(cic, f);
        const double a = FirMagnitude(out.taps, f);
        compensatorError = std::max(compensatorError, std::fabs(a - 1.0 / h));
        out.cascadeDeviation = std::max(out.cascadeDeviation, std::fabs(h * a - 1.0));
        out.cascadeRippleDb =
            std::max(out.cascadeRippleDb, std::fabs(20.0 * std::log10(std::max(h * a, 1e-300))));
    }
    double stopPeak = 0.0;
    for (int i = 0; i <= kMeasurePoints; ++i) {
        const double f = c.stopEdge + (0.5 - c.stopEdge) * i / kMeasurePoints;
        const double a = FirMagnitude(out.taps, f);
        compensatorError = std::max(compensatorError, a);
        stopPeak = std::max(stopPeak, CicAtLowRate(cic, f) * a);
    }
    out.ripple = compensatorError;
    out.stopAttenuationDb = -20.0 * std::log10(std::max(stopPeak, 1e-300));
    return out;
}

} // namespace dsp
