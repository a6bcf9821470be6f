// The bit-true model of the arithmetic our VHDL templates implement, and the fixed-point values
// the generated code holds. The testbench writer takes its expected outputs from here, and the
// tests compare against it.
//
// FIR: c[k] is the B-bit literal of tap k; S = sum c[k]*x[n-k] in full precision; y = S shifted
// right arithmetically by B-1 (floor), saturated to D bits.
// IIR, section by section: the first section's input is din sign-extended to D+4 bits, every
// other section's input is its predecessor's output. w = a0*x[n] + a1*x[n-1] + a2*x[n-2] +
// nb1*y[n-1] + nb2*y[n-2] with the (B+2)-bit literals (nb1, nb2 the negated b1, b2);
// y[n] = w shifted right by B-1 (floor), saturated to D+4 bits, is the section's state and
// output; dout is the last section's output saturated to D bits.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "dsp/FilterCoefficients.h"

namespace vhdl {

// IIR sections carry their data in D + this many bits, their coefficients in B + 2 bits.
constexpr int kIirGuardBits = 4;
constexpr int kIirCoeffExtraBits = 2;

// v saturated to a `width`-bit two's-complement word (width 1..63).
std::int64_t Saturate(std::int64_t v, int width);

// The integer a coefficient literal of `width` digits holds for the fixed-point integer v, as
// FormatBinaryWidth writes it (saturated when v does not fit).
std::int64_t LiteralValue(std::int64_t v, int width);
// -fixed for a fixed-point integer (ToFixedInteger), kept in the int range the literal writer
// takes.
int NegatedFixedInteger(std::int64_t fixed);

// The N' tap literals of the FIR coefficients c (B bits each), from the integers of K * h.
std::vector<std::int64_t> FirLiterals(const dsp::FilterCoefficients& c);

struct IirSectionLiterals {
    std::int64_t a0 = 0, a1 = 0, a2 = 0, nb1 = 0, nb2 = 0; // (B+2)-bit literals
};
// The literals of the sections the IIR template holds (TemplateSections of the designed count).
std::vector<IirSectionLiterals> IirLiterals(const dsp::FilterCoefficients& c);

// How many of the literals of c did not fit their width and were saturated.
int CountSaturatedLiterals(const dsp::FilterCoefficients& c);

// Where the filter clipped: how many samples hit a saturation limit. For FIR the shifted
// accumulator saturating into dout; for IIR each section's D+4-bit output (one entry per
// section) and the last section's output saturating into the D-bit dout.
struct SaturationCount {
    std::vector<int> sectionOutputs; // IIR only
    int filterOutput = 0;
};

// Outputs of the filter for the D-bit input samples, one per sample, from rest. When
// `saturation` is given it receives the counts of clipped samples.
std::vector<std::int64_t> FirBitTrue(std::span<const std::int64_t> taps, int coeffBits,
                                     int dataBits, std::span<const std::int64_t> input,
                                     SaturationCount* saturation = nullptr);
std::vector<std::int64_t> IirBitTrue(std::span<const IirSectionLiterals> sections, int coeffBits,
                                     int dataBits, std::span<const std::int64_t> input,
                                     SaturationCount* saturation = nullptr);

// A test wave of nominal amplitude 50 as D-bit samples: x*(2^(D-1)-1)/50, rounded to nearest
// with halves away from zero, saturated to D bits.
std::vector<std::int64_t> ScaleStimulus(std::span<const double> wave, int dataBits);
// The inverse scale: a D-bit output sample in the test wave's units, v*50/(2^(D-1)-1).
double UnscaleSample(std::int64_t v, int dataBits);

} // namespace vhdl
