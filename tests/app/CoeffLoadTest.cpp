// Load Coefficients into the record: a file that loads replaces the taps (those past it cleared)
// or the sections it reaches, with the multiplier 1, quantization off and no design method named,
// since the file holds K * h already; a file with any of the reader's warnings changes nothing, the
// load format included.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "app/FileCommands.h"
#include "app/OlvexDoc.h"
#include "app/VhdlCommands.h"
#include "coeffs/CoeffReport.h"
#include "dsp/FirMethods.h"
#include "dsp/Iir.h"
#include "files/CoeffFile.h"
#include "tests/support/ScratchFolder.h"

namespace {

using coeffs::kFormatDec;
using coeffs::kFormatHex;
using coeffs::kFormatReal;

struct CoeffLoadFixture : ::testing::Test {
    support::ScratchFolder folder{"coeffload"};

    commands::LoadOutcome Load(COlvexDoc& doc, const std::string& text, bool iir,
                               int& loadFormat) const {
        const std::string path = folder.Write("c.txt", text).string();
        return commands::LoadCoefficients(doc, {iir, path}, loadFormat);
    }
};

// The default designs saved in each format and loaded into a record with K = 3 and quantization
// on: the record takes the values with K = 1 and quantization off, the count as its tap count
// and, for IIR, all eight sections.
TEST_F(CoeffLoadFixture, ALoadedDesignStandsWithTheMultiplierOne) {
    for (const bool iir : {false, true}) {
        for (const int format : {kFormatReal, kFormatDec, kFormatHex}) {
            SCOPED_TRACE(testing::Message() << (iir ? "IIR " : "FIR ") << format);
            COlvexDoc doc;
            doc.m_fnConsole = nullptr;
            doc.m_nTaps = 61;
            doc.m_nIirSections = 4;
            iir ? (void)doc.DesignIir() : doc.DesignFir(doc.m_nFilterType);
            doc.m_bQuantize = 1;
            const dsp::FilterCoefficients saved = doc.TakeCoefficients(iir);

            COlvexDoc back;
            back.m_nCoeffMultiplier = 3;
            back.m_bQuantize = 1;
            back.m_bEvenTaps = 1;
            // Methods of an earlier design, which the loaded values do not come from.
            back.m_nIirMethod = dsp::kIirEllip;
            back.m_nFirMethod = dsp::kFirKaiser;
            int loadFormat = format == kFormatHex ? kFormatReal : kFormatHex;
            const commands::LoadOutcome outcome =
                Load(back, files::CoeffFileText(saved, format), iir, loadFormat);
            EXPECT_TRUE(outcome.notices.empty());
            EXPECT_EQ(loadFormat, format);
            EXPECT_EQ(back.m_nCoeffMultiplier, 1);
            EXPECT_EQ(back.m_bQuantize, 0);
            EXPECT_EQ(back.m_bEvenTaps, 0);
            EXPECT_EQ(back.m_nTaps, outcome.valuesRead);
            const vhdl::HeaderValues header = commands::HeaderValuesOf(back, iir ? 1 : 0);
            EXPECT_EQ(header.method + header.designMethod, "") << "no method made these values";
            back.m_bQuantize = 1;
            const dsp::FilterCoefficients loaded = back.TakeCoefficients(iir);
            if (iir) {
                EXPECT_EQ(back.m_nIirSections, COlvexDoc::kIirSections);
                EXPECT_EQ(loaded.sectionIntegers, saved.sectionIntegers);
            } else {
                EXPECT_EQ(outcome.valuesRead, 61);
                EXPECT_EQ(loaded.tapIntegers, saved.tapIntegers);
            }
        }
    }
}

TEST_F(CoeffLoadFixture, TapsPastTheFileAreClearedAndSectionsPastItKept) {
    COlvexDoc doc;
    std::fill(std::begin(doc.m_aFirCoeffs), std::end(doc.m_aFirCoeffs), 9.0);
    int loadFormat = kFormatHex;
    Load(doc, "Data is Dec : 1.0 => 32768\n16384\n-32768\n", false, loadFormat);
    EXPECT_EQ(loadFormat, kFormatDec);
    EXPECT_EQ(doc.m_nTaps, 2);
    EXPECT_EQ(doc.m_aFirCoeffs[0], 0.5);
    EXPECT_EQ(doc.m_aFirCoeffs[1], -1.0);
    EXPECT_EQ(doc.m_aFirCoeffs[2], 0.0) << "taps past the file are cleared";
    EXPECT_EQ(doc.m_bParseError, 0);

    COlvexDoc iir;
    iir.m_nIirSections = 2;
    iir.m_aA1[1] = 0.125;
    iir.m_aB2[1] = -0.25;
    const commands::LoadOutcome outcome =
        Load(iir, "Data is Real : 1.0 => 1.0\n1 2 3 4 5\n6 7\n", true, loadFormat);
    EXPECT_EQ(outcome.valuesRead, 7);
    EXPECT_EQ(iir.m_aB2[0], 5.0);
    EXPECT_EQ(iir.m_aA0[1], 6.0);
    EXPECT_EQ(iir.m_aA1[1], 7.0);
    EXPECT_EQ(iir.m_aB2[1], -0.25);
    EXPECT_EQ(iir.m_nIirSections, 8);
    EXPECT_EQ(iir.m_nTaps, 7);
}

// Each of the reader's warnings, next to a file that loads.
TEST_F(CoeffLoadFixture, AFaultyFileChangesNothing) {
    const auto values = [](const std::string& header, int count) {
        std::string text = header + "\n";
        for (int i = 1; i <= count; ++i) {
            text += std::to_string(i) + "\n";
        }
        return text;
    };
    const std::string real = "Data is Real : 1.0 => 1.0";
    const std::string hex = "Data is Hex : 1.0 => 00008000h";
    const struct {
        const char* name;
        std::string text;
        bool iir;
        bool loads;
    } cases[] = {
        {"399 FIR values load", values(real, 399), false, true},
        {"400 FIR values do not fit", values(real, 400), false, false},
        {"40 IIR values load", values(real, 40), true, true},
        {"90 values as IIR do not fit", values(real, 90), true, false},
        {"a header without values", real + "\n", false, false},
        {"letters after a hex number", hex + "\n00004000hzz\n", false, false},
        {"iir reports malformed numbers", hex + "\n00004000h\nzzzz\n", true, false},
        {"no header", "coefficients:\n0.5\n", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        COlvexDoc doc;
        doc.m_nTaps = 31;
        doc.m_nIirSections = 2;
        doc.m_aFirCoeffs[0] = 0.75;
        doc.m_aFirCoeffs[35] = 0.5;
        doc.m_aA0[0] = 0.375;
        doc.m_bQuantize = 1;
        doc.m_nCoeffMultiplier = 4;
        int loadFormat = kFormatDec;
        const commands::LoadOutcome outcome = Load(doc, c.text, c.iir, loadFormat);
        EXPECT_EQ(outcome.notices.empty(), c.loads);
        EXPECT_EQ(doc.m_bParseError, 0);
        if (c.loads) {
            EXPECT_EQ(doc.m_bQuantize, 0);
            EXPECT_EQ(doc.m_nCoeffMultiplier, 1);
            EXPECT_EQ(c.iir ? doc.m_aA0[0] : doc.m_aFirCoeffs[0], 1.0);
            EXPECT_EQ(loadFormat, kFormatReal);
            continue;
        }
        EXPECT_EQ(doc.m_nTaps, 31);
        EXPECT_EQ(doc.m_nIirSections, 2);
        EXPECT_EQ(doc.m_aFirCoeffs[0], 0.75);
        EXPECT_EQ(doc.m_aFirCoeffs[35], 0.5);
        EXPECT_EQ(doc.m_aA0[0], 0.375);
        EXPECT_EQ(doc.m_bQuantize, 1);
        EXPECT_EQ(doc.m_nCoeffMultiplier, 4);
        EXPECT_EQ(loadFormat, kFormatDec);
    }
}

// A parse error flag left in the record by an earlier parser is not reported against a good
// file.
TEST_F(CoeffLoadFixture, AnEarlierParseErrorIsNotReportedAgainstAGoodFile) {
    COlvexDoc doc;
    int loadFormat = 0;
    EXPECT_FALSE(Load(doc, "Data is Hex : 1.0 => 1h\n", true, loadFormat).notices.empty());
    doc.m_bParseError = 1;
    EXPECT_TRUE(Load(doc, "Data is Hex : 1.0 => 00008000h\n00004000h\n", false, loadFormat)
                    .notices.empty());
    EXPECT_EQ(doc.m_aFirCoeffs[0], 0.5);
}

} // namespace
