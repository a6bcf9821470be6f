// The coefficients that leave the design: what the response, the test wave, the measurements,
// the coefficient report and file, the VHDL literals, the testbench and the hardware model all
// take, built in one place so that none of them can differ from the filter shown.
//
// FIR: the taps K * h[j] (K the coefficient multiplier), truncated to B bits while quantization
// is on. IIR: the sections (a0 + a1 z^-1 + a2 z^-2) / (1 + b1 z^-1 + b2 z^-2), truncated to B
// bits while quantization is on. The integers are the fixed-point forms at scale 2^(B-1) of the
// same values (low 32 bits), whether quantization is on or not: the integer reports, the files
// and the VHDL are written from them.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace dsp {

constexpr int kCascadeSections = 8;     // sections an IIR cascade holds (the unused pass through)
constexpr int kSectionFields = 5;       // a0, a1, a2, b1, b2
constexpr int kIirLiteralExtraBits = 2; // IIR literals are B + 2 bits wide

// a0, a1, a2, b1, b2 of one section.
using Section = std::array<double, kSectionFields>;
using SectionIntegers = std::array<std::int64_t, kSectionFields>;

struct FilterCoefficients {
    bool iir = false;
    bool quantized = false; // the values are the B-bit ones
    int bits = 16;          // B, the coefficient bit length
    // FIR: N' = N + (1 for an HPF/BRF entered with an even count) values; the analyses take the
    // first `designedTaps` = N, the report, the file and the VHDL all N'.
    std::vector<double> taps;
    std::vector<std::int64_t> tapIntegers; // one per entry of taps
    int designedTaps = 0;
    // IIR: all kCascadeSections sections; the first `designedSections` are the design's.
    std::vector<Section> sections;
    std::vector<SectionIntegers> sectionIntegers; // one per entry of sections
    int designedSections = 0;

    int ShownTaps() const { return static_cast<int>(taps.size()); }
    // Digits of one VHDL coefficient literal: B (FIR) or B + 2 (IIR).
    int LiteralWidth() const { return iir ? bits + kIirLiteralExtraBits : bits; }
    std::span<const double> DesignedTaps() const;
    std::span<const Section> DesignedSections() const;
};

// The FIR value: multiplier * h[j] for the `shown` taps of h (bounded by h.size()), of which the
// first `designed` are the design's; truncated to `bits` when `quantize`.
FilterCoefficients FirCoefficients(std::span<const double> h, int designed, int shown,
                                   int multiplier, bool quantize, int bits);
// The IIR value of the kCascadeSections sections (fewer given: pass-through ones follow), of
// which the first `designed` are the design's; truncated to `bits` when `quantize`.
FilterCoefficients IirCoefficients(std::span<const Section> sections, int designed, bool quantize,
                                   int bits);

// The same coefficients at another bit length, truncated (`quantize`) or not. `c` must hold the
// unquantized values.
FilterCoefficients AtBits(const FilterCoefficients& c, bool quantize, int bits);

} // namespace dsp
