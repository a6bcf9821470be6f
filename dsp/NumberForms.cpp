// Fixed-point number forms: quantization to B bits and the integer texts the report, the
// coefficient files and the VHDL code are written in.
//
// With B bits a coefficient x stands for the integer x * 2^(B-1). Every conversion truncates
// toward zero and keeps the low 32 bits, as a 32-bit register holding the product would.
#include "dsp/NumberForms.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace coeffs {

namespace {

constexpr int kHexDigits = 8;
constexpr int kBinaryDigits = 32;
constexpr double kTwoPow32 = 4294967296.0;

// The two's-complement pattern of v, `digits` places of `bitsPerDigit` bits each, most
// significant first, digits taken from "0123456789ABCDEF".
std::string Pattern(int v, int digits, int bitsPerDigit) {
    static constexpr char kDigitText[] = "0123456789ABCDEF";
    const std::uint32_t bits = static_cast<std::uint32_t>(v);
    const std::uint32_t mask = (1u << bitsPerDigit) - 1u;
    std::string text(static_cast<size_t>(digits), '0');
    for (int place = 0; place < digits; ++place) {
        const int shift = place * bitsPerDigit;
        text[static_cast<size_t>(digits - 1 - place)] = kDigitText[(bits >> shift) & mask];
    }
    return text;
}

} // namespace

double QuantScale(int bits) {
    // 1.0 doubled B - 1 times; ldexp gives exactly the same power of two.
    return bits <= 1 ? 1.0 : std::ldexp(1.0, bits - 1);
}

int ToFixedInteger(double x, int bits) {
    const double truncated = std::trunc(x * QuantScale(bits));
    if (!std::isfinite(truncated)) {
        return 0; // no integer to take the low bits of
    }
    // fmod is exact, so this is the truncated value reduced to its low 32 bits, sign aside.
    const double low = std::fmod(truncated, kTwoPow32);
    return static_cast<int>(static_cast<std::uint32_t>(static_cast<std::int64_t>(low)));
}

double Quantize(double x, int bits) {
    return ToFixedInteger(x, bits) / QuantScale(bits);
}

std::string FormatHex(int v) {
    return Pattern(v, kHexDigits, 4) + 'h';
}

std::string FormatBinary32(int v) {
    return Pattern(v, kBinaryDigits, 1) + 'b';
}

std::string FormatBinaryWidth(int v, int digits) {
    const int width = std::clamp(digits, 0, kMaxBinaryWidth);
    if (width == 0) {
        return {};
    }
    std::int64_t value = v;
    if (width <= kBinaryDigits) {
        const std::int64_t most = (std::int64_t{1} << (width - 1)) - 1;
        value = std::clamp(value, -most - 1, most);
    }
    const std::uint64_t bits = static_cast<std::uint64_t>(value);
    std::string text(static_cast<size_t>(width), '0');
    for (int place = 0; place < width; ++place) {
        text[static_cast<size_t>(width - 1 - place)] = ((bits >> place) & 1u) != 0 ? '1' : '0';
    }
    return text;
}

} // namespace coeffs
