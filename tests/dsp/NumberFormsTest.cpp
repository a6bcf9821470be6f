// Fixed-point number forms: quantization, the hexadecimal and binary texts and their parsers.
#include "dsp/NumberForms.h"

#include "dsp/FilterCoefficients.h"
#include "dsp/QuantRules.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace {

using coeffs::FormatBinary32;
using coeffs::FormatBinaryWidth;
using coeffs::FormatHex;
using coeffs::ParseBinary;
using coeffs::ParseHex;
using coeffs::Quantize;
using coeffs::ToFixedInteger;

TEST(NumberForms, HexAndBinaryTexts) {
    struct Form {
        int v;
        const char* hex;
        const char* binary;
    };
    const Form forms[] = {
        {0, "00000000h", "00000000000000000000000000000000b"},
        {1, "00000001h", "00000000000000000000000000000001b"},
        {-1, "FFFFFFFFh", "11111111111111111111111111111111b"},
        {-2, "FFFFFFFEh", "11111111111111111111111111111110b"},
        {32767, "00007FFFh", "00000000000000000111111111111111b"},
        {-32768, "FFFF8000h", "11111111111111111000000000000000b"},
        {-12345, "FFFFCFC7h", "11111111111111111100111111000111b"},
        {INT_MIN, "80000000h", "10000000000000000000000000000000b"},
        {INT_MAX, "7FFFFFFFh", "01111111111111111111111111111111b"},
        {43981, "0000ABCDh", "00000000000000001010101111001101b"},
    };
    for (const Form& f : forms) {
        SCOPED_TRACE(f.v);
        EXPECT_EQ(FormatHex(f.v), f.hex);
        EXPECT_EQ(FormatBinary32(f.v), f.binary);
    }
}

TEST(NumberForms, Parsing) {
    struct Parse {
        bool binary;
        std::string text;
        double value;
        bool error;
    };
    const Parse parses[] = {
        {false, "00000001h", 1, false},
        {false, "FFFFFFFEh", -2, false},
        {false, "00008000h", 32768, false},
        {false, "7FFFFFFFh", 2147483647, false},
        {false, "80000000h", -2147483648.0, false},
        {false, "0000abcdh", 43981, false},                    // lower case
        {false, "ffff8000h\n", -32768, false},                 // a line as read from a file
        {false, "FFFh", 0, true},                              // fewer than 8 digits
        {false, "00000001", 0, true},                          // no terminator
        {false, "0000 7FFh", 2047, false},                     // a blank uses no place
        {false, "G0000001h", 0, true},                         // not a sign digit
        {false, "12345678900000001h", 1, false},               // only the 8 places before h count
        {false, std::string(31, ' ') + "00000001h", 1, false}, // h at position 39
        {false, std::string(32, ' ') + "00000001h", 0, true},  // h at position 40
        {false, "", 0, true},
        {true, "11111111111111111100111111000111b", -12345, false},
        {true, "00000000000000000000000000000101b", 5, false},
        {true, "10000000000000000000000000000000b", -2147483648.0, false},
        {true, "0000000000000101b", 0, true},               // 16 digits
        {true, "0000000000000000000000000000010", 0, true}, // no terminator
        {true, "2000000000000000000000000000000b", 0, true},
    };
    for (const Parse& p : parses) {
        SCOPED_TRACE(p.text);
        bool error = false;
        const double v = p.binary ? ParseBinary(p.text, error) : ParseHex(p.text, error);
        EXPECT_EQ(v, p.value);
        EXPECT_EQ(error, p.error);
    }
}

TEST(NumberForms, ParseErrorStaysSetForTheWholeFile) {
    bool error = false;
    ParseHex("FFFh", error);
    EXPECT_EQ(ParseHex("00000010h", error), 16.0);
    EXPECT_TRUE(error);
}

TEST(NumberForms, TextsReadBackToTheSameInteger) {
    bool error = false;
    std::mt19937 random(12345);
    std::uniform_int_distribution<int> any(INT_MIN, INT_MAX);
    const int extremes[] = {INT_MIN, INT_MAX, 0, -1};
    for (int k = 0; k < 20000; ++k) {
        const int v = k < 4 ? extremes[k] : any(random);
        ASSERT_EQ(ParseHex(FormatHex(v), error), v) << v;
        ASSERT_EQ(ParseBinary(FormatBinary32(v), error), v) << v;
    }
    EXPECT_FALSE(error);
}

TEST(NumberForms, QuantizeTruncatesTowardZero) {
    struct Case {
        int bits;
        double x;
        double quantized;
        int integer;
    };
    const Case cases[] = {
        {16, 0.3, 0.29998779296875, 9830},
        {16, -0.3, -0.29998779296875, -9830},
        {16, -0.999, -0.998992919921875, -32735},
        {16, 1.0, 1.0, 32768},
        {4, 0.3, 0.25, 2},
        {4, -0.3, -0.25, -2},
        {1, 2.7, 2.0, 2}, // S = 1
        {0, -2.7, -2.0, -2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "B " << c.bits << " x " << c.x);
        EXPECT_EQ(Quantize(c.x, c.bits), c.quantized);
        EXPECT_EQ(ToFixedInteger(c.x, c.bits), c.integer);
    }
}

// Outside the 32-bit range only the low 32 bits of the truncated product remain; values with no
// integer at all give 0 instead of an undefined conversion.
TEST(NumberForms, OutOfRangeKeepsTheLow32Bits) {
    struct Case {
        int bits;
        double x;
        int integer;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {32, 1.0, INT_MIN},      // 2^31
        {32, 3.0, INT_MIN},      // 3 * 2^31 = 2^32 + 2^31
        {32, -1.5, 1073741824},  // -3 * 2^30 + 2^32
        {1, 1099511627781.0, 5}, // 2^40 + 5
        {1, -4294967297.9, -1},  // -(2^32 + 1)
        {16, std::nan(""), 0},   {16, inf, 0}, {16, -inf, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "B " << c.bits << " x " << c.x);
        EXPECT_EQ(ToFixedInteger(c.x, c.bits), c.integer);
    }
    EXPECT_EQ(Quantize(1.0, 32), -1.0); // the wrap the bit-length check prevents
    // Beyond 2^84 every double is a multiple of 2^32: its low 32 bits are all zero.
    EXPECT_EQ(ToFixedInteger(1e300, 16), 0);
}

// Values outside the W-bit range saturate to the W-bit extremes instead of wrapping. W is B for
// FIR literals and B + 2 for IIR literals.
TEST(NumberForms, BinaryOfWidth) {
    struct Case {
        int width;
        int v;
        const char* text;
    };
    const Case cases[] = {
        {8, 5, "00000101"},
        {8, -3, "11111101"},
        {10, -3, "1111111101"},
        {8, 127, "01111111"},
        {8, -128, "10000000"},
        {8, 128, "01111111"},  // saturated
        {8, -129, "10000000"}, // saturated
        {8, INT_MIN, "10000000"},
        {10, 511, "0111111111"},
        {10, 600, "0111111111"}, // saturated
        {4, 0, "0000"},
        {32, INT_MIN, "10000000000000000000000000000000"},
        {34, INT_MIN, "1110000000000000000000000000000000"},
        {34, INT_MAX, "0001111111111111111111111111111111"},
        {0, 5, ""},
        {-3, 5, ""},
        {70, -1,
         "1111111111111111111111111111111111111111111111111111111111111111"}, // at most 64 digits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "W " << c.width << " v " << c.v);
        EXPECT_EQ(FormatBinaryWidth(c.v, c.width), std::string(c.text));
    }
}

TEST(NumberForms, LargestMagnitudes) {
    // Pass-through sections: a0 = 1 is the largest; sections past the design count too.
    std::vector<dsp::Section> sections(dsp::kCascadeSections, {1.0, 0.0, 0.0, 0.0, 0.0});
    EXPECT_EQ(coeffs::LargestQuantizedMagnitude(dsp::IirCoefficients(sections, 2, false, 16)), 1.0);
    sections[7][3] = -1.75;
    EXPECT_EQ(coeffs::LargestQuantizedMagnitude(dsp::IirCoefficients(sections, 2, false, 16)),
              1.75);

    const std::vector<double> taps = {0.0, -0.6, 0.0};
    EXPECT_EQ(coeffs::LargestMagnitude(taps), 0.6);
    EXPECT_EQ(coeffs::LargestMagnitude({}), 0.0);
}

} // namespace
