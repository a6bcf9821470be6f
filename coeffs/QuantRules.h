// The rules of the quantization bit length that the Coefficients dialog takes: its range, and
// the check that the quantized coefficients still fit a 32-bit integer (and, for IIR, the 24-bit
// limit). The Coefficients command, the bit advisor and the command line all use them.
#pragma once

#include "app/DesignRules.h"

class COlvexDoc;

namespace coeffs {

constexpr int kMinQuantBits = 4;
constexpr int kMaxQuantBits = 32;
constexpr int kMaxIirQuantBits = 24;

// Templates of the warning dialogs CheckQuantBits gives.
constexpr int kIddWarnQuantLimit = 136;   // "Decrease the bits for Quantization!!"
constexpr int kIddWarnQuantIirBits = 169; // "can not exceed 24!!"

// With quantization on: refused when the largest value that is quantized (the IIR coefficients,
// or the FIR taps times the coefficient multiplier) times 2^(bits-1) exceeds the 32-bit range,
// or for IIR when bits exceeds 24.
bool CheckQuantBits(const COlvexDoc& doc, bool iir, int bits, design::Warning& warning);

} // namespace coeffs
