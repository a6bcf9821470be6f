// Coefficient files: round trips of FIR and IIR designs through every format and several bit
// lengths, the exact written lines, and the reader on hand-written and hostile files.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/DesignCommands.h"
#include "app/FileCommands.h"
#include "app/OlvexDoc.h"
#include "coeffs/CoeffReport.h"
#include "files/CoeffFile.h"

namespace {

using coeffs::kFormatBin;
using coeffs::kFormatDec;
using coeffs::kFormatHex;
using coeffs::kFormatReal;

std::vector<double> IirValues(const COlvexDoc& doc) {
    std::vector<double> v;
    for (int s = 0; s < COlvexDoc::kIirSections; ++s) {
        v.insert(v.end(), {doc.m_aA0[s], doc.m_aA1[s], doc.m_aA2[s], doc.m_aB1[s], doc.m_aB2[s]});
    }
    return v;
}

std::vector<double> FirValues(const COlvexDoc& doc, int count) {
    return std::vector<double>(doc.m_aFirCoeffs, doc.m_aFirCoeffs + count);
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

TEST_P(CoeffFileRoundTrip, ReadsBackWithinOneQuantizationStep) {
    const RoundTrip p = GetParam();
    COlvexDoc doc;
    if (p.iir) {
        doc.m_nIirSections = 4;
        ASSERT_TRUE(doc.DesignIir());
    } else {
        doc.m_nTaps = 61;
        doc.DesignFir(0);
    }
    doc.m_bQuantize = 1;
    doc.m_nQuantBits = p.bits;
    doc.m_nCoeffFormat = p.format;
    const std::string text = commands::CoeffFileTextOf(doc, p.iir);

    COlvexDoc back;
    back.m_nCoeffMultiplier = 3;
    back.m_bQuantize = 1;
    int loadFormat = p.format == kFormatHex ? kFormatReal : kFormatHex;
    const files::CoeffLoad load = commands::ReadCoeffTextInto(text, back, p.iir, loadFormat);
    EXPECT_TRUE(load.headerFound);
    EXPECT_FALSE(load.invalidFormat);
    EXPECT_EQ(loadFormat, p.format);
    EXPECT_EQ(back.m_nCoeffMultiplier, 1);
    EXPECT_EQ(back.m_bQuantize, 0);
    EXPECT_EQ(back.m_bEvenTaps, 0);

    const double step = 1.0 / doc.QuantScale();
    const std::vector<double> want = p.iir ? IirValues(doc) : FirValues(doc, doc.m_nTaps);
    const std::vector<double> got = p.iir ? IirValues(back) : FirValues(back, load.count);
    ASSERT_EQ(load.count, static_cast<int>(want.size()));
    EXPECT_EQ(back.m_nTaps, load.count);
    for (size_t i = 0; i < want.size(); ++i) {
        // Values are read as single precision, which is coarser than a step only at B = 32.
        const double singleRounding = std::fabs(want[i]) * std::ldexp(1.0, -24);
        EXPECT_NEAR(got[i], want[i], step + singleRounding) << "value " << i;
    }
    if (p.iir) {
        EXPECT_EQ(back.m_nIirSections, COlvexDoc::kIirSections);
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

TEST(CoeffFileWriter, UnquantizedRealKeepsSinglePrecision) {
    COlvexDoc doc;
    doc.m_nTaps = 31;
    doc.DesignFir(0);
    COlvexDoc back;
    int loadFormat = 0;
    commands::ReadCoeffTextInto(commands::CoeffFileTextOf(doc, false), back, false, loadFormat);
    for (int i = 0; i < 31; ++i) {
        EXPECT_EQ(back.m_aFirCoeffs[i],
                  static_cast<double>(static_cast<float>(doc.m_aFirCoeffs[i])));
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
        COlvexDoc doc;
        doc.m_nTaps = 3;
        doc.m_bQuantize = c.quantize;
        doc.m_nQuantBits = c.bits;
        doc.m_nCoeffFormat = c.format;
        doc.m_nCoeffMultiplier = c.multiplier;
        doc.m_aFirCoeffs[0] = c.value;
        doc.m_aA0[0] = c.value;
        const std::string text = commands::CoeffFileTextOf(doc, c.iir);
        EXPECT_EQ(Line(text, 0), c.header);
        EXPECT_EQ(Line(text, 1), c.firstValue);
        EXPECT_EQ(text.back(), '\n');
        EXPECT_EQ(text.find('\r'), std::string::npos);
    }
}

TEST(CoeffFileWriter, CountsAndSigns) {
    COlvexDoc doc;
    doc.m_nTaps = 41;
    doc.m_bEvenTaps = 1;
    doc.m_aB1[7] = -0.75;
    const auto lines = [](const std::string& t) { return std::count(t.begin(), t.end(), '\n'); };
    EXPECT_EQ(lines(commands::CoeffFileTextOf(doc, false)), 1 + 42) << "N' taps after the header";
    const std::string iir = commands::CoeffFileTextOf(doc, true);
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
        {"single precision",
         "Data is Real : 1.0 => 1.0\n16777217\n",
         false,
         true,
         1,
         {16777216.0},
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
        {"single-precision overflow stops",
         "Data is Real : 1.0 => 1.0\n1e39\n",
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
         "Data is Real : 1.0 => 1.0\n1e-50\n2\n",
         false,
         true,
         2,
         {0.0, 2.0},
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
        COlvexDoc doc;
        std::fill(std::begin(doc.m_aFirCoeffs), std::end(doc.m_aFirCoeffs), 9.0);
        int loadFormat = kFormatHex;
        const int tapsBefore = doc.m_nTaps;
        const files::CoeffLoad load = commands::ReadCoeffTextInto(c.text, doc, c.iir, loadFormat);
        EXPECT_EQ(load.headerFound, c.header);
        EXPECT_EQ(load.count, c.count);
        EXPECT_EQ(load.invalidFormat, c.invalid);
        EXPECT_EQ(doc.m_bParseError, 0);
        // Any of the reader's warnings (or no values at all): the load changes nothing.
        const bool faulty = !c.header || c.invalid || c.count == 0;
        ASSERT_EQ(load.Faulty(), faulty);
        if (faulty) {
            EXPECT_EQ(loadFormat, kFormatHex);
            EXPECT_EQ(doc.m_nTaps, tapsBefore);
            EXPECT_EQ(FirValues(doc, 400), std::vector<double>(400, 9.0));
            for (size_t i = 0; i < c.values.size() && i < load.values.size(); ++i) {
                EXPECT_EQ(load.values[i], c.values[i]) << "value read " << i;
            }
            continue;
        }
        EXPECT_EQ(loadFormat, c.loadFormat);
        EXPECT_EQ(doc.m_nTaps, c.count);
        const std::vector<double> got = c.iir ? IirValues(doc) : FirValues(doc, 400);
        for (size_t i = 0; i < c.values.size(); ++i) {
            EXPECT_EQ(got[i], c.values[i]) << "value " << i;
        }
        if (!c.iir) {
            EXPECT_EQ(doc.m_aFirCoeffs[c.count], 0.0) << "taps past the file are cleared";
        }
    }
}

TEST(CoeffFileReader, IirKeepsWhatTheFileDoesNotReach) {
    COlvexDoc doc;
    doc.m_nIirSections = 2;
    doc.m_aA1[1] = 0.125;
    doc.m_aB2[1] = -0.25;
    int loadFormat = 0;
    const files::CoeffLoad load = commands::ReadCoeffTextInto(
        "Data is Real : 1.0 => 1.0\n1 2 3 4 5\n6 7\n", doc, true, loadFormat);
    EXPECT_EQ(load.count, 7);
    EXPECT_EQ(doc.m_aB2[0], 5.0);
    EXPECT_EQ(doc.m_aA0[1], 6.0);
    EXPECT_EQ(doc.m_aA1[1], 7.0);
    EXPECT_EQ(doc.m_aB2[1], -0.25);
    EXPECT_EQ(doc.m_nIirSections, 8);
    EXPECT_EQ(doc.m_nTaps, 7);
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
        COlvexDoc doc;
        doc.m_nTaps = 31;
        doc.m_nIirSections = 2;
        doc.m_aFirCoeffs[0] = 0.75;
        doc.m_aA0[0] = 0.375;
        doc.m_bQuantize = 1;
        doc.m_nCoeffMultiplier = 4;
        int loadFormat = kFormatDec;
        const files::CoeffLoad load = commands::ReadCoeffTextInto(c.text, doc, c.iir, loadFormat);
        EXPECT_EQ(!load.Faulty(), c.loads);
        EXPECT_EQ(load.held, c.held);
        EXPECT_EQ(files::DescribeCoeffFit("c.txt", load, c.iir), c.message);
        if (c.loads) {
            EXPECT_EQ(doc.m_bQuantize, 0);
            EXPECT_EQ(doc.m_nCoeffMultiplier, 1);
            EXPECT_EQ(c.iir ? doc.m_aA0[0] : doc.m_aFirCoeffs[0], load.values.at(0));
            continue;
        }
        EXPECT_EQ(doc.m_nTaps, 31);
        EXPECT_EQ(doc.m_nIirSections, 2);
        EXPECT_EQ(doc.m_aFirCoeffs[0], 0.75);
        EXPECT_EQ(doc.m_aA0[0], 0.375);
        EXPECT_EQ(doc.m_bQuantize, 1);
        EXPECT_EQ(doc.m_nCoeffMultiplier, 4);
        EXPECT_EQ(loadFormat, kFormatDec);
    }
}

TEST(CoeffFileReader, AnEarlierParseErrorIsNotReportedAgainstAGoodFile) {
    COlvexDoc doc;
    int loadFormat = 0;
    EXPECT_TRUE(commands::ReadCoeffTextInto("Data is Hex : 1.0 => 1h\n", doc, true, loadFormat)
                    .invalidFormat);
    doc.m_bParseError = 1; // as a parser elsewhere might leave it
    EXPECT_FALSE(commands::ReadCoeffTextInto("Data is Hex : 1.0 => 00008000h\n00004000h\n", doc,
                                             false, loadFormat)
                     .invalidFormat);
}

// ---- File bytes -------------------------------------------------------------------------------

} // namespace

namespace {

// A file holds the taps times K; loading sets K to 1, so the loaded design leaves with the same
// coefficients as the saved one: the same integers in every form, the same response.
TEST(CoeffFileRoundTrip, TheMultiplierIsAppliedOnce) {
    for (const int format : {kFormatBin, kFormatDec, kFormatHex}) {
        SCOPED_TRACE(format);
        COlvexDoc doc;
        doc.m_nTaps = 41;
        doc.m_fc1 = 60.0;
        doc.m_fc2 = 110.0;
        doc.DesignFir(0);
        doc.m_nCoeffMultiplier = 3;
        doc.m_bQuantize = 1;
        doc.m_nQuantBits = 16;
        doc.m_nCoeffFormat = format;
        COlvexDoc back;
        int loadFormat = kFormatReal;
        commands::ReadCoeffTextInto(commands::CoeffFileTextOf(doc, false), back, false, loadFormat);
        back.m_bQuantize = 1;
        back.m_nQuantBits = 16;
        back.m_nCoeffFormat = format;
        const dsp::FilterCoefficients saved = doc.TakeCoefficients(false);
        const dsp::FilterCoefficients loaded = back.TakeCoefficients(false);
        EXPECT_EQ(loaded.tapIntegers, saved.tapIntegers);
        EXPECT_EQ(loaded.taps, saved.taps);
        EXPECT_EQ(commands::CoeffFileTextOf(back, false), commands::CoeffFileTextOf(doc, false));
        doc.FirResponse();
        back.FirResponse();
        for (int i = 0; i < COlvexDoc::kResponseUsed; i += 17) {
            EXPECT_EQ(back.m_aGainDb[i], doc.m_aGainDb[i]) << i;
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
