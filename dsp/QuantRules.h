// The rules of the quantization bit length that the Coefficients dialog takes: its range, and
// the check that the quantized coefficients still fit a 32-bit integer (and, for IIR, the 24-bit
// limit). The Coefficients command, the bit advisor and the command line all use them.
#pragma once

#include <span>

#include "dsp/FilterCoefficients.h"
#include "dsp/Warning.h"

namespace coeffs {

constexpr int kMinQuantBits = 4;
constexpr int kMaxQuantBits = 32;
constexpr int kMaxIirQuantBits = 24;

// Templates of the warning dialogs CheckQuantBits gives.
constexpr int kIddWarnQuantLimit = 136;   // "Decrease the bits for Quantization!!"
constexpr int kIddWarnQuantIirBits = 169; // "can not exceed 24!!"

// The largest |v| of the values; 0 for none. A NaN value is passed over.
double LargestMagnitude(std::span<const double> values);

// The largest value that is quantized: the largest |K * h| of the designed taps, or the largest
// coefficient of all eight sections (the pass-through ones contribute a0 = 1). `unquantized`
// holds the coefficients before truncation.
double LargestQuantizedMagnitude(const dsp::FilterCoefficients& unquantized);

// With quantization on: refused when `largest` (LargestQuantizedMagnitude) times 2^(bits-1)
// exceeds the 32-bit range, or for IIR when bits exceeds 24.
bool CheckQuantBits(double largest, bool iir, int bits, design::Warning& warning);

} // namespace coeffs
