// The coefficient report: header per format (including B = 32, where 1.0 has no signed 32-bit
// form), the FIR and IIR line formats, the listed tap count and the line ends. Every list shows
// the coefficients that leave the design: K * h in the Real list and in the integer lists alike.
#include "coeffs/CoeffReport.h"
#include "app/CoefficientsCommands.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "app/OlvexDoc.h"
#include "dsp/FilterCoefficients.h"

namespace {

std::vector<std::string> Lines(const std::string& text, const std::string& lineEnd) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(lineEnd, start);
        if (end == std::string::npos) {
            EXPECT_EQ(start, text.size()) << "the last line has no line end";
            return lines;
        }
        const std::string line = text.substr(start, end - start);
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << line;
        lines.push_back(line);
        start = end + lineEnd.size();
    }
}

TEST(CoeffReport, HeaderPerFormatAndBitLength) {
    const struct {
        int format;
        int bits;
        const char* header;
    } cases[] = {
        {coeffs::kFormatReal, 16, "Data is Real : 1.0 => 1.0"},
        {coeffs::kFormatDec, 16, "Data is Decimal : 1.0 =>      32768"},
        {coeffs::kFormatHex, 16, "Data is Hex : 1.0 => 00008000h"},
        {coeffs::kFormatBin, 16, "Data is Binary : 1.0 => 00000000000000001000000000000000b"},
        {coeffs::kFormatDec, 4, "Data is Decimal : 1.0 =>          8"},
        {coeffs::kFormatDec, 31, "Data is Decimal : 1.0 => 1073741824"},
        // 2^31 does not fit a signed 32-bit integer: shown as it is, the patterns marked.
        {coeffs::kFormatDec, 32, "Data is Decimal : 1.0 => 2147483648"},
        {coeffs::kFormatHex, 32, "Data is Hex : 1.0 => 80000000h (unsigned)"},
        {coeffs::kFormatBin, 32,
         "Data is Binary : 1.0 => 10000000000000000000000000000000b (unsigned)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(coeffs::ReportHeader(c.format, c.bits), c.header);
        COlvexDoc doc;
        doc.m_nCoeffFormat = c.format;
        doc.m_nQuantBits = c.bits;
        doc.m_bQuantize = 1;
        EXPECT_EQ(coeffs::ReportHeader(doc.m_nCoeffFormat, doc.m_nQuantBits), c.header);
    }
    EXPECT_EQ(coeffs::ReportHeader(7, 16), "Data is Real : 1.0 => 1.0"); // unknown: Real
}

TEST(CoeffReport, FirLinesPerFormat) {
    COlvexDoc doc;
    doc.m_nTaps = 3;
    doc.m_aFirCoeffs[0] = 0.5;
    doc.m_aFirCoeffs[1] = -0.3;
    doc.m_aFirCoeffs[2] = 0.25;
    doc.m_aFirCoeffs[3] = 0.75; // beyond the tap count: never listed
    doc.m_nCoeffMultiplier = 2;
    const double h[] = {0.5, -0.3, 0.25, 0.75};
    const struct {
        int format;
        int quantize;
        int bits;
        std::vector<std::string> taps;
    } cases[] = {
        // Real: scaled by the multiplier, quantized toward zero when quantizing.
        {coeffs::kFormatReal,
         0,
         16,
         {"h[  0] =  1.000000000", "h[  1] = -0.600000000", "h[  2] =  0.500000000"}},
        {coeffs::kFormatReal,
         1,
         4,
         {"h[  0] =  1.000000000", "h[  1] = -0.500000000", "h[  2] =  0.500000000"}},
        // Integer forms: the same scaled taps, as the VHDL and the coefficient files hold them.
        {coeffs::kFormatDec,
         1,
         16,
         {"h[  0] =       32768", "h[  1] =      -19660", "h[  2] =       16384"}},
        {coeffs::kFormatHex,
         1,
         16,
         {"h[  0] =00008000h", "h[  1] =FFFFB334h", "h[  2] =00004000h"}},
        {coeffs::kFormatBin,
         1,
         8,
         {"h[  0] =00000000000000000000000010000000b", "h[  1] =11111111111111111111111110110100b",
          "h[  2] =00000000000000000000000001000000b"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        const dsp::FilterCoefficients taps = dsp::FirCoefficients(h, 3, 3, 2, c.quantize, c.bits);
        const std::vector<std::string> lines =
            Lines(coeffs::FirReportText(taps, c.format, "\r\n"), "\r\n");
        ASSERT_EQ(lines.size(), 4u);
        EXPECT_EQ(lines[0], coeffs::ReportHeader(c.format, c.bits));
        EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end()), c.taps);
        // The record's report is the report of the coefficients it hands out.
        doc.m_nCoeffFormat = c.format;
        doc.m_bQuantize = c.quantize;
        doc.m_nQuantBits = c.bits;
        EXPECT_EQ(commands::CoefficientReport(doc, false, "\r\n"),
                  coeffs::FirReportText(taps, c.format, "\r\n"));
    }
    // Quantized Real values move toward zero: -0.3 at B = 4 is -0.25.
    doc.m_nCoeffMultiplier = 1;
    doc.m_nCoeffFormat = coeffs::kFormatReal;
    doc.m_bQuantize = 1;
    doc.m_nQuantBits = 4;
    EXPECT_EQ(Lines(commands::CoefficientReport(doc, false, "\n"), "\n")[2],
              "h[  1] = -0.250000000");
}

// With quantization on the Dec list is the Real list times 2^(B-1), for every multiplier: the
// integers a hardware designer copies stand for the filter the analyses show.
TEST(CoeffReport, DecimalListIsTheRealListTimesTheScale) {
    const double h[] = {0.41, -0.173, 0.0625, -0.0009, 0.2};
    for (const int multiplier : {1, 2, 3, 5}) {
        for (const int bits : {8, 12, 16}) {
            SCOPED_TRACE(testing::Message() << "K " << multiplier << " B " << bits);
            const dsp::FilterCoefficients c = dsp::FirCoefficients(h, 5, 5, multiplier, true, bits);
            const auto real = Lines(coeffs::FirReportText(c, coeffs::kFormatReal, "\n"), "\n");
            const auto dec = Lines(coeffs::FirReportText(c, coeffs::kFormatDec, "\n"), "\n");
            ASSERT_EQ(real.size(), dec.size());
            for (size_t i = 1; i < real.size(); ++i) {
                const double value = std::strtod(real[i].c_str() + 8, nullptr);
                const long integer = std::strtol(dec[i].c_str() + 8, nullptr, 10);
                // The Real list has nine decimals.
                const double scale = 1 << (bits - 1);
                EXPECT_NEAR(value * scale, static_cast<double>(integer), 1e-9 * scale)
                    << real[i] << " / " << dec[i];
            }
        }
    }
}

TEST(CoeffReport, ListedTapCountFollowsTheEvenTapFlag) {
    const struct {
        int taps;
        int evenTaps;
        int listed;
    } cases[] = {{41, 1, 42}, {41, 0, 41}, {399, 1, 400}, {400, 1, 400}, {-5, 0, 0}};
    for (const auto& c : cases) {
        COlvexDoc doc;
        doc.m_nTaps = c.taps;
        doc.m_bEvenTaps = c.evenTaps;
        EXPECT_EQ(doc.TakeCoefficients(false).ShownTaps(), c.listed);
        const std::vector<std::string> lines =
            Lines(commands::CoefficientReport(doc, false, "\r\n"), "\r\n");
        ASSERT_EQ(lines.size(), static_cast<size_t>(c.listed) + 1);
        if (c.listed > 0) {
            char last[32];
            std::snprintf(last, sizeof last, "h[%3d] =", c.listed - 1);
            EXPECT_EQ(lines.back().rfind(last, 0), 0u) << lines.back();
        }
    }
}

TEST(CoeffReport, IirListsAllEightSections) {
    COlvexDoc doc; // every section the identity
    doc.m_aA0[0] = 0.125;
    doc.m_aB1[0] = -1.5;
    const struct {
        int format;
        int bits;
        std::vector<std::string> first; // section 1 and the a0 of section 2
    } cases[] = {
        {coeffs::kFormatReal,
         16,
         {"a0 =  0.125000000", "a1 =  0.000000000", "a2 =  0.000000000", "b1 = -1.500000000",
          "b2 =  0.000000000", "a0 =  1.000000000"}},
        {coeffs::kFormatDec,
         16,
         {"a0 =        4096", "a1 =           0", "a2 =           0", "b1 =      -49152",
          "b2 =           0", "a0 =       32768"}},
        {coeffs::kFormatHex,
         16,
         {"a0 = 00001000h", "a1 = 00000000h", "a2 = 00000000h", "b1 = FFFF4000h", "b2 = 00000000h",
          "a0 = 00008000h"}},
        {coeffs::kFormatBin,
         4,
         {"a0 = 00000000000000000000000000000001b", "a1 = 00000000000000000000000000000000b",
          "a2 = 00000000000000000000000000000000b", "b1 = 11111111111111111111111111110100b",
          "b2 = 00000000000000000000000000000000b", "a0 = 00000000000000000000000000001000b"}},
    };
    std::vector<dsp::Section> sections(8, dsp::Section{1.0, 0.0, 0.0, 0.0, 0.0});
    sections[0] = {0.125, 0.0, 0.0, -1.5, 0.0};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.format);
        const bool quantize = c.format != coeffs::kFormatReal;
        const dsp::FilterCoefficients iir = dsp::IirCoefficients(sections, 2, quantize, c.bits);
        const std::vector<std::string> lines =
            Lines(coeffs::IirReportText(iir, c.format, "\r\n"), "\r\n");
        doc.m_nCoeffFormat = c.format;
        doc.m_nQuantBits = c.bits;
        doc.m_bQuantize = quantize;
        EXPECT_EQ(commands::CoefficientReport(doc, true, "\r\n"),
                  coeffs::IirReportText(iir, c.format, "\r\n"));
        ASSERT_EQ(lines.size(), 41u);
        EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.begin() + 7), c.first);
        EXPECT_EQ(lines[40].substr(0, 4), "b2 =");
    }
}

} // namespace
