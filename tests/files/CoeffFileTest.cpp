// Coefficient files: round trips of FIR and IIR designs through every format and several bit
// lengths, the exact written lines, and the reader on hand-written and hostile files.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "coeffs/CoeffReport.h"
#include "dsp/NumberForms.h"
#include "dsp/Response.h"
#include "files/CoeffFile.h"
#include "tests/support/DesignedFilters.h"

namespace {

using coeffs::kFormatBin;
using coeffs::kFormatDec;
using coeffs::kFormatHex;
using coeffs::kFormatReal;

// The values a file of c holds, in file order: the taps, or a0, a1, a2, b1, b2 per section.
std::vector<double> FileValues(const dsp::FilterCoefficients& c) {
    if (!c.iir) {
        return c.taps;
    }
    std::vector<double> v;
    for (const dsp::Section& s : c.sections) {
        v.insert(v.end(), s.begin(), s.end());
    }
    return v;
}

// The integers a file of c holds in an integer form (the low 32 bits), in file order.
std::vector<double> FileIntegers(const dsp::FilterCoefficients& c) {
    std::vector<double> v;
    if (!c.iir) {
        for (const std::int64_t i : c.tapIntegers) {
            v.push_back(static_cast<std::int32_t>(i));
        }
        return v;
    }
    for (const auto& s : c.sectionIntegers) {
        for (const std::int64_t i : s) {
            v.push_back(static_cast<std::int32_t>(i));
        }
    }
    return v;
}

// The FIR value of one tap h[0] = value among three, or of the sections with a0 of section 0 =
// value, as the coefficients leave the design.
dsp::FilterCoefficients OneValue(bool iir, double value, int multiplier, bool quantize, int bits) {
    if (iir) {
        std::vector<dsp::Section> sections(dsp::kCascadeSections, {1.0, 0.0, 0.0, 0.0, 0.0});
        sections[0][0] = value;
        return dsp::IirCoefficients(sections, 2, quantize, bits);
    }
    const std::vector<double> h = {value, 0.0, 0.0};
    return dsp::FirCoefficients(h, 3, 3, multiplier, quantize, bits);
}

std::string Line(const std::string& text, int index) {
    size_t start = 0;
    for (int i = 0; i < index; ++i) {
        start = text.find('\n', start) + 1;
    }
    return text.substr(start, text.find('\n', start) - start);
}

// ---- Round trips ----------------------------------------------------------------------------

struct RoundTrip {
    bool iir;
    int format;
    int bits;
};

// Test listings show the case, not the bytes of the struct.
void PrintTo(const RoundTrip& c, std::ostream* os) {
    static const char* const kFormats[] = {"Real", "Bin", "Dec", "Hex"};
    *os << (c.iir ? "IIR " : "FIR ") << kFormats[c.format & 3] << ' ' << c.bits << " bits";
}

class CoeffFileRoundTrip : public ::testing::TestWithParam<RoundTrip> {};

// The default designs (a 61-tap low pass, a 4-section low pass) written at each bit length and
// read back.
TEST_P(CoeffFileRoundTrip, ReadsBackWithinOneQuantizationStep) {
    const RoundTrip p = GetParam();
    const support::DesignedFilter design =
        p.iir ? support::DesignedIir(support::kLowPass, 4, 0.3, 200.0)
              : support::DesignedFir(support::kLowPass, 61, 200.0, 250.0);
    const dsp::FilterCoefficients quantized = design.Quantized(p.bits);
    const std::string text = files::CoeffFileText(quantized, p.format);

    int loadFormat = p.format == kFormatHex ? kFormatReal : kFormatHex;
    const files::CoeffLoad load = files::ParseCoeffText(text, p.iir, loadFormat);
    EXPECT_TRUE(load.headerFound);
    EXPECT_FALSE(load.invalidFormat);
    EXPECT_FALSE(load.Faulty());
    EXPECT_EQ(loadFormat, p.format);

    const double step = 1.0 / coeffs::QuantScale(p.bits);
    const std::vector<double> want = FileValues(design.unquantized);
    ASSERT_EQ(load.count, static_cast<int>(want.size()));
    ASSERT_EQ(load.values.size(), want.size());
    const std::vector<double> written = FileValues(quantized);
    const std::vector<double> integers = FileIntegers(quantized);
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_NEAR(load.values[i], want[i], step) << "value " << i;
        if (p.format == kFormatReal) {
            // 21 decimals: the quantized value to well inside a step even at B = 32.
            EXPECT_NEAR(load.values[i], written[i], 1e-21) << "value " << i;
        } else {
            // An integer form reads back exactly (single precision changed 32-bit integers).
            EXPECT_EQ(load.values[i] * coeffs::QuantScale(p.bits), integers[i]) << "value " << i;
        }
    }
}

std::vector<RoundTrip> RoundTrips() {
    std::vector<RoundTrip> all;
    for (bool iir : {false, true}) {
        for (int format : {kFormatReal, kFormatBin, kFormatDec, kFormatHex}) {
            for (int bits : {4, 8, 12, 16, 24}) {
                all.push_back({iir, format, bits});
            }
            if (!iir) {
                all.push_back({iir, format, 32});
            }
        }
    }
    return all;
}

INSTANTIATE_TEST_SUITE_P(AllFormats, CoeffFileRoundTrip, ::testing::ValuesIn(RoundTrips()));

TEST(CoeffFileWriter, UnquantizedRealReadsBackAtDoublePrecision) {
    const support::DesignedFilter design =
        support::DesignedFir(support::kLowPass, 31, 200.0, 250.0);
    int loadFormat = 0;
    const files::CoeffLoad load = files::ParseCoeffText(
        files::CoeffFileText(design.unquantized, kFormatReal), false, loadFormat);
    ASSERT_EQ(load.values.size(), 31u);
    for (size_t i = 0; i < 31; ++i) {
        EXPECT_NEAR(load.values[i], design.fir.taps[i], 1e-21) << "tap " << i;
    }
}

// ---- Written lines ----------------------------------------------------------------------------

struct WrittenCase {
    const char* name;
    bool iir;
    int format;
    int quantize;
    int bits;
    int multiplier;
    double value; // h[0], or a0 of section 0
    const char* header;
    const char* firstValue;
};

TEST(CoeffFileWriter, WritesTheExactLines) {
    const WrittenCase cases[] = {
        {"decimal spacing", false, kFormatDec, 1, 16, 1, 0.5, "Data is Decimal : 1.0 =>      32768",
         "       16384"},
        {"real unquantized", false, kFormatReal, 0, 16, 1, 0.5, "Data is Real : 1.0 => 1.0",
         " 0.500000000000000000000"},
        {"real quantized toward zero", false, kFormatReal, 1, 4, 1, -0.3,
         "Data is Real : 1.0 => 1.0", "-0.250000000000000000000"},
        {"multiplier 2", false, kFormatDec, 1, 16, 2, 0.25, "Data is Decimal : 1.0 =>      32768",
         "       16384"},
        {"hex", false, kFormatHex, 1, 16, 1, -0.5, "Data is Hex : 1.0 => 00008000h", "FFFFC000h"},
        {"binary", false, kFormatBin, 1, 16, 1, 0.5,
         "Data is Binary : 1.0 => 00000000000000001000000000000000b",
         "00000000000000000100000000000000b"},
        {"32-bit hex header", false, kFormatHex, 1, 32, 1, 0.5, "Data is Hex : 1.0 => 80000000h",
         "40000000h"},
        {"iir keeps the multiplier out", true, kFormatDec, 1, 16, 2, 0.5,
         "Data is Decimal : 1.0 =>      32768", "       16384"},
    };
    for (const WrittenCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string text = files::CoeffFileText(
            OneValue(c.iir, c.value, c.multiplier, c.quantize == 1, c.bits), c.format);
        EXPECT_EQ(Line(text, 0), c.header);
        EXPECT_EQ(Line(text, 1), c.firstValue);
        EXPECT_EQ(text.back(), '\n');
        EXPECT_EQ(text.find('\r'), std::string::npos);
    }
}

TEST(CoeffFileWriter, CountsAndSigns) {
    const auto lines = [](const std::string& t) { return std::count(t.begin(), t.end(), '\n'); };
    const std::vector<double> h(42, 0.0);
    EXPECT_EQ(
        lines(files::CoeffFileText(dsp::FirCoefficients(h, 41, 42, 1, false, 16), kFormatReal)),
        1 + 42)
        << "N' taps after the header";
    std::vector<dsp::Section> sections(dsp::kCascadeSections, {1.0, 0.0, 0.0, 0.0, 0.0});
    sections[7][3] = -0.75;
    const std::string iir =
        files::CoeffFileText(dsp::IirCoefficients(sections, 2, false, 16), kFormatReal);
    EXPECT_EQ(lines(iir), 41) << "an IIR file always holds 41 lines";
    EXPECT_EQ(Line(iir, 39), "-0.750000000000000000000") << "b1 keeps its stored sign";
}

// ---- Reader -----------------------------------------------------------------------------------

struct ReadCase {
    const char* name;
    std::string text;
    bool iir;
    bool header;
    int count;
    std::vector<double> values; // the first values stored
    bool invalid;
    int loadFormat; // after the load, starting from Hex
};

TEST(CoeffFileReader, ReadsHandWrittenAndHostileFiles) {
    const std::string hex = "Data is Hex : 1.0 => 00008000h\n";
    const std::string longToken = "0." + std::string(60, '0') + "5e60";
    const ReadCase cases[] = {
        {"help-dialog decimal header",
         "Data is Dec : 1.0 => 32768\n16384\n-32768\n",
         false,
         true,
         2,
         {0.5, -1.0},
         false,
         kFormatDec},
        {"hex values",
         hex + "00004000h\nFFFFC000h\n",
         false,
         true,
         2,
         {0.5, -0.5},
         false,
         kFormatHex},
        {"carriage returns",
         "Data is Hex : 1.0 => 00008000h\r\n00004000h\r\nFFFFC000h\r\n",
         false,
         true,
         2,
         {0.5, -0.5},
         false,
         kFormatHex},
        {"lower-case data",
         "data is real : 1.0 => 1.0\n0.25\n",
         false,
         true,
         1,
         {0.25},
         false,
         kFormatReal},
        {"double precision",
         "Data is Real : 1.0 => 1.0\n16777217\n0.1\n",
         false,
         true,
         2,
         {16777217.0, 0.1},
         false,
         kFormatReal},
        {"zero real scale",
         "Data is Real : 1.0 => 0\n0.25\n3\n",
         false,
         true,
         2,
         {0.25, 3.0},
         false,
         kFormatReal},
        {"zero decimal scale reads as 1.0",
         "Data is Dec : 1.0 => 0\n7\n",
         false,
         true,
         1,
         {7.0},
         false,
         kFormatDec},
        {"zero hex scale reads as 1.0",
         "Data is Hex : 1.0 => 00000000h\n00000003h\n",
         false,
         true,
         1,
         {3.0},
         false,
         kFormatHex},
        {"32-bit scale is positive",
         "Data is Hex : 1.0 => 80000000h\n40000000h\n",
         false,
         true,
         1,
         {0.5},
         false,
         kFormatHex},
        {"binary header",
         "Data is Bin : 1.0 => 00000000000000001000000000000000b\n"
         "11111111111111111100000000000000b\n",
         false,
         true,
         1,
         {-0.5},
         false,
         kFormatBin},
        {"number first: no header", "0.5\n0.25\n", false, false, 0, {0.0, 0.0}, false, kFormatHex},
        {"empty file: no header", "", false, false, 0, {}, false, kFormatHex},
        {"unknown format word keeps the last format",
         "Data is Xyz : 1.0 => 00008000h\n00004000h\n",
         false,
         true,
         1,
         {0.5},
         false,
         kFormatHex},
        {"word that is not a number stops",
         "Data is Real : 1.0 => 1.0\n0.5\nabc\n0.25\n",
         false,
         true,
         1,
         {0.5, 0.0},
         true,
         kFormatReal},
        {"nan stops",
         "Data is Real : 1.0 => 1.0\n0.5\nnan\n",
         false,
         true,
         1,
         {0.5},
         true,
         kFormatReal},
        {"inf stops", "Data is Dec : 1.0 => 2\n4\n-inf\n", false, true, 1, {2.0}, true, kFormatDec},
        {"beyond single precision reads",
         "Data is Real : 1.0 => 1.0\n1e39\n-3e-50\n",
         false,
         true,
         2,
         {1e39, -3e-50},
         false,
         kFormatReal},
        {"32-bit decimal integers read exactly",
         "Data is Decimal : 1.0 => 2147483648\n  46649450\n-2147483647\n",
         false,
         true,
         2,
         {46649450.0 / 2147483648.0, -2147483647.0 / 2147483648.0},
         false,
         kFormatDec},
        {"double overflow stops",
         "Data is Real : 1.0 => 1.0\n1e309\n",
         false,
         true,
         0,
         {},
         true,
         kFormatReal},
        {"trailing letters stop",
         "Data is Real : 1.0 => 1.0\n1.5abc\n",
         false,
         true,
         0,
         {},
         true,
         kFormatReal},
        {"underflow reads as zero",
         "Data is Real : 1.0 => 1.0\n1e-400\n-0.000001e-399\n2\n",
         false,
         true,
         3,
         {0.0, -0.0, 2.0},
         false,
         kFormatReal},
        {"plus sign", "Data is Real : 1.0 => +2\n+1\n", false, true, 1, {0.5}, false, kFormatReal},
        {"value past the double range",
         "Data is Dec : 1.0 => 1e-300\n0.5\n1e30\n",
         false,
         true,
         1,
         {0.5 * (1.0 / 1e-300)},
         true,
         kFormatDec},
        {"non-number scale",
         "Data is Dec : 1.0 => x\n3\n",
         false,
         true,
         1,
         {3.0},
         true,
         kFormatDec},
        {"header cut short", "Data is", false, true, 0, {}, true, kFormatHex},
        {"short hex number",
         hex + "FFFh\n00004000h\n",
         false,
         true,
         2,
         {0.0, 0.5},
         true,
         kFormatHex},
        {"long token read whole",
         "Data is Real : 1.0 => 1.0\n" + longToken + "\n",
         false,
         true,
         1,
         {0.5},
         false,
         kFormatReal},
        {"NUL inside a token",
         std::string("Data is Real : 1.0 => 1.0\n0.5\n1\0"
                     "2\n",
                     33),
         false,
         true,
         1,
         {0.5},
         true,
         kFormatReal},
        {"iir reports malformed numbers",
         hex + "00004000h\nzzzz\n",
         true,
         true,
         2,
         {0.5, 0.0},
         true,
         kFormatHex},
    };
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.name);
        int loadFormat = kFormatHex;
        const files::CoeffLoad load = files::ParseCoeffText(c.text, c.iir, loadFormat);
        EXPECT_EQ(load.headerFound, c.header);
        EXPECT_EQ(load.count, c.count);
        EXPECT_EQ(load.invalidFormat, c.invalid);
        // Any of the reader's warnings (or no values at all) makes the load faulty: the values
        // read before the fault are still reported.
        const bool faulty = !c.header || c.invalid || c.count == 0;
        ASSERT_EQ(load.Faulty(), faulty);
        for (size_t i = 0; i < c.values.size() && i < load.values.size(); ++i) {
            EXPECT_EQ(load.values[i], c.values[i]) << "value read " << i;
        }
        if (!faulty) {
            EXPECT_EQ(loadFormat, c.loadFormat);
            EXPECT_GE(load.values.size(), std::min(c.values.size(), static_cast<size_t>(c.count)));
        }
    }
}

// The refusals of files that do not fit the structure (or have a fault the table above has
// not), each next to a file that still loads.
TEST(CoeffFileReader, FilesThatDoNotFitChangeNothing) {
    const auto values = [](const std::string& header, int count) {
        std::string text = header + "\n";
        for (int i = 1; i <= count; ++i) {
            text += std::to_string(i) + "\n";
        }
        return text;
    };
    const std::string real = "Data is Real : 1.0 => 1.0";
    const std::string hex = "Data is Hex : 1.0 => 00008000h";
    const std::string bin = "Data is Bin : 1.0 => 00000000000000001000000000000000b";
    const std::string half = "00000000000000000100000000000000";
    const struct {
        const char* name;
        std::string text;
        bool iir;
        bool loads;
        int held;
        std::string message; // DescribeCoeffFit, for the files that do not fit
    } cases[] = {
        {"399 FIR values load", values(real, 399), false, true, 399, ""},
        {"400 FIR values do not fit", values(real, 400), false, false, 400,
         "c.txt holds 400 values; a FIR filter takes at most 399"},
        {"40 IIR values load", values(real, 40), true, true, 40, ""},
        {"90 values as IIR do not fit", values(real, 90), true, false, 90,
         "c.txt holds 90 values; an IIR filter takes 40"},
        {"one value loads", values(real, 1), false, true, 1, ""},
        {"a header without values", real + "\n", false, false, 0, "c.txt holds no values"},
        {"a hex number loads", hex + "\n00004000h\n", false, true, 1, ""},
        {"letters after a hex number", hex + "\n00004000hzz\n", false, false, 1, ""},
        {"a binary number loads", bin + "\n" + half + "b\n", false, true, 1, ""},
        {"letters after a binary number", bin + "\n" + half + "bz\n", false, false, 1, ""},
        {"a NUL byte in a hex number",
         hex + std::string("\n0000\0"
                           "4000h\n",
                           11),
         false, false, 1, ""},
        {"a NUL byte in a real value", real + std::string("\n5\0junk 7\n", 10), false, false, 0,
         ""},
        {"no header", "0.5\n", false, false, 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        int loadFormat = kFormatDec;
        const files::CoeffLoad load = files::ParseCoeffText(c.text, c.iir, loadFormat);
        EXPECT_EQ(!load.Faulty(), c.loads);
        EXPECT_EQ(load.held, c.held);
        EXPECT_EQ(files::DescribeCoeffFit("c.txt", load, c.iir), c.message);
        if (c.loads) {
            EXPECT_EQ(load.values.at(0), 1.0 / (c.text.rfind(real, 0) == 0 ? 1.0 : 2.0));
        }
    }
}

// ---- File bytes -------------------------------------------------------------------------------

} // namespace

namespace {

// A file holds the taps times K; read back with K = 1 they leave as the same coefficients as the
// saved ones: the same integers in every form, the same response.
TEST(CoeffFileRoundTrip, TheMultiplierIsAppliedOnce) {
    const support::DesignedFilter design = support::DesignedFir(support::kLowPass, 41, 60.0, 110.0);
    const dsp::FilterCoefficients saved = support::FirValue(design.fir.taps, 41, 41, 3, true, 16);
    for (const int format : {kFormatBin, kFormatDec, kFormatHex}) {
        SCOPED_TRACE(format);
        const std::string text = files::CoeffFileText(saved, format);
        int loadFormat = kFormatReal;
        const files::CoeffLoad load = files::ParseCoeffText(text, false, loadFormat);
        ASSERT_FALSE(load.Faulty());
        const dsp::FilterCoefficients loaded = support::FirValue(load.values, 41, 41, 1, true, 16);
        EXPECT_EQ(loaded.tapIntegers, saved.tapIntegers);
        EXPECT_EQ(loaded.taps, saved.taps);
        EXPECT_EQ(files::CoeffFileText(loaded, format), text);
        const dsp::Response before = dsp::FirResponse(saved.DesignedTaps());
        const dsp::Response after = dsp::FirResponse(loaded.DesignedTaps());
        for (size_t i = 0; i < dsp::kResponseUsed; i += 17) {
            EXPECT_EQ(after.gainDb[i], before.gainDb[i]) << i;
        }
    }
}

// The reader on its own: the values in file order, nothing stored anywhere.
TEST(CoeffFileReader, ParsesIntoValues) {
    int loadFormat = kFormatReal;
    const files::CoeffLoad load = files::ParseCoeffText(
        "Data is Hex : 1.0 => 00008000h\n00004000h FFFFC000h\n", true, loadFormat);
    EXPECT_TRUE(load.headerFound);
    EXPECT_EQ(loadFormat, kFormatHex);
    EXPECT_EQ(load.values, (std::vector<double>{0.5, -0.5}));
    EXPECT_EQ(load.count, 2);
    EXPECT_TRUE(files::ParseCoeffText("no header", false, loadFormat).values.empty());
    const files::CoeffLoad bad =
        files::ParseCoeffText("Data is Hex : 1.0 => 00008000h\nFFFh\n", false, loadFormat);
    EXPECT_TRUE(bad.invalidFormat);
}

} // namespace
