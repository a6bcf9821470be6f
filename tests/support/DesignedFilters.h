// Designed filters as the engine's values, for the engine tests: a FIR or IIR design made by the
// engine from its request, with the dsp::BandSpec the measurements take and the coefficient value
// every analysis, report, file and VHDL output takes (multiplier and quantization applied by the
// engine's own FilterCoefficients functions).
#pragma once

#include <algorithm>
#include <vector>

#include <gtest/gtest.h>

#include "dsp/FilterCoefficients.h"
#include "dsp/FirDesign.h"
#include "dsp/Iir.h"
#include "dsp/Measure.h"

namespace support {

// Filter-type indices of the form's radio group.
constexpr int kLowPass = 0;
constexpr int kHighPass = 1;
constexpr int kBandReject = 2;
constexpr int kBandPass = 3;

inline bool IsThreeBand(int type) {
    return type == kBandReject || type == kBandPass;
}

// The tap count a design runs with when `entered` taps are asked for: high pass and band
// rejection have odd lengths only, so an even count is designed one shorter and listed with a
// zero tap after the design's.
inline int DesignedTapCount(int type, int entered) {
    const bool oddOnly = type == kHighPass || type == kBandReject;
    return oddOnly && entered % 2 == 0 ? entered - 1 : entered;
}

struct DesignedFilter {
    dsp::BandSpec bands;                 // type, fs and edges (FIR fc1..fc4, IIR cut-offs)
    dsp::FilterCoefficients unquantized; // K = 1, not truncated
    dsp::FirDesignResult fir;            // the Remez outcome (FIR only)
    dsp::IirCascade cascade;             // the design steps' values (IIR only)

    // The same coefficients truncated to `bits`, as quantization on leaves them.
    dsp::FilterCoefficients Quantized(int bits) const {
        return dsp::AtBits(unquantized, true, bits);
    }
    // Measured unquantized and, with bits > 0, quantized to that many bits.
    dsp::Measurements Measure(int bits = 0) const {
        if (bits <= 0) {
            return dsp::Measure(bands, unquantized, nullptr);
        }
        const dsp::FilterCoefficients q = Quantized(bits);
        return dsp::Measure(bands, unquantized, &q);
    }
};

// The FIR value of taps h: the first `designed` are the design's, `shown` are listed (zeros pad
// h up to it), scaled by `multiplier` and truncated to `bits` when `quantize`.
inline dsp::FilterCoefficients FirValue(std::vector<double> h, int designed, int shown,
                                        int multiplier = 1, bool quantize = false, int bits = 16) {
    if (static_cast<int>(h.size()) < shown) {
        h.resize(static_cast<size_t>(shown), 0.0);
    }
    return dsp::FirCoefficients(h, designed, shown, multiplier, quantize, bits);
}

// A FIR design of `entered` taps (see DesignedTapCount) on the layout of `type`; the design is
// expected to stand.
inline DesignedFilter DesignedFir(int type, int entered, double fc1, double fc2, double fc3 = 0.0,
                                  double fc4 = 0.0, double rr = 10.0, double fs = 1000.0) {
    const int taps = DesignedTapCount(type, entered);
    const dsp::FirDesign design = dsp::DesignFir({.type = dsp::FirTypeFromIndex(type),
                                                  .fs = fs,
                                                  .fc1 = fc1,
                                                  .fc2 = fc2,
                                                  .fc3 = fc3,
                                                  .fc4 = fc4,
                                                  .rr = rr,
                                                  .nTaps = taps});
    EXPECT_TRUE(design.result.Ok()) << "type " << type << ", " << entered << " taps";
    DesignedFilter f;
    f.bands = {type, fs, fc1, fc2, fc3, fc4};
    f.fir = design.result;
    f.unquantized = FirValue(design.result.taps, taps, entered);
    return f;
}

// The IIR value of a cascade's sections, the first `designed` of them the design's.
inline dsp::FilterCoefficients IirValue(const dsp::IirCascade& c, int designed,
                                        bool quantize = false, int bits = 16) {
    std::vector<dsp::Section> sections(dsp::kCascadeSections);
    for (size_t s = 0; s < sections.size(); ++s) {
        sections[s] = {c.a0[s], c.a1[s], c.a2[s], c.b1[s], c.b2[s]};
    }
    return dsp::IirCoefficients(sections, designed, quantize, bits);
}

// A Chebyshev cascade of `sections` sections with pass-band ripple `rippleDb`, cut-offs fc1 and
// (three-band types) fc2; the design is expected to give finite sections.
inline DesignedFilter DesignedIir(int type, int sections, double rippleDb, double fc1,
                                  double fc2 = 0.0, double fs = 1000.0) {
    DesignedFilter f;
    const dsp::IirSpec request{type, sections, rippleDb, fs, fc1, fc2};
    EXPECT_TRUE(dsp::IirSectionCountDesignable(type, sections));
    EXPECT_TRUE(dsp::DesignIirCascade(request, f.cascade)) << "type " << type;
    f.bands = {type, fs, fc1, fc2, 0.0, 0.0};
    f.unquantized = IirValue(f.cascade, sections);
    return f;
}

} // namespace support
