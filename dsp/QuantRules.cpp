#include "dsp/QuantRules.h"

#include <algorithm>
#include <cmath>

namespace coeffs {

bool CheckQuantBits(double largest, bool iir, int bits, design::Warning& warning) {
    constexpr double kLargestInteger = 2147483647.0;
    const double scale = bits <= 1 ? 1.0 : std::ldexp(1.0, bits - 1);
    // The FIR taps are quantized as K * h (K the coefficient multiplier), so that is the value
    // that has to fit; checking h alone let K * h wrap around at 32 bits.
    if (largest * scale > kLargestInteger) {
        warning = {"Warning!",
                   {"Decrease the bits for Quantization!!", "(The integer exceeds the limit)"},
                   kIddWarnQuantLimit};
        return false;
    }
    if (iir && bits > kMaxIirQuantBits) {
        warning = {"Warning",
                   {"In IIR design, the bit length of coefficients", "can not exceed 24!!"},
                   kIddWarnQuantIirBits};
        return false;
    }
    return true;
}

} // namespace coeffs
