// Fixed-point number forms: quantization to B bits and the integer texts the report, the
// coefficient files and the VHDL code are written in.
//
// With B bits a coefficient x stands for the integer x * 2^(B-1). Every conversion truncates
// toward zero and keeps the low 32 bits, as a 32-bit register holding the product would.
#pragma once

#include <string>
#include <string_view>

namespace coeffs {

constexpr int kMaxBinaryWidth = 64; // longest text FormatBinaryWidth writes

// 2^(B-1); 1 for B <= 1.
double QuantScale(int bits);
// trunc(x * 2^(B-1)) reduced to its low 32 bits; 0 when that is not finite.
int ToFixedInteger(double x, int bits);
// ToFixedInteger(x, bits) / 2^(B-1).
double Quantize(double x, int bits);

// "XXXXXXXXh": the 8-digit two's-complement pattern of v.
std::string FormatHex(int v);
// "...b": the 32-digit two's-complement pattern of v.
std::string FormatBinary32(int v);
// `width` binary digits (at most kMaxBinaryWidth), sign-extended. A value outside the
// width-bit range saturates to the largest positive (0111...1) or most negative (1000...0)
// word, so the text stays `width` characters long and the generated hardware clips instead of
// wrapping.
std::string FormatBinaryWidth(int v, int width);

// Reading the 8-digit hexadecimal ("...h") and 32-digit binary ("...b") forms back: the number
// is the full-width digit window just before the first terminator within the first 40
// characters of the line. Sets `error` (never clears it) on a malformed number.
double ParseHex(std::string_view line, bool& error);
double ParseBinary(std::string_view line, bool& error);

} // namespace coeffs
