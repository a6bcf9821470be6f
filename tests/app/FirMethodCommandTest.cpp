// The FIR design methods through the commands: the beta check, design from requirements by
// least squares and by Kaiser's formulas, and the method named in the HDL header, the
// measurements report and the exports only when it is not the Remez exchange.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "app/DesignCommands.h"
#include "app/ExportCommands.h"
#include "app/MeasureCommands.h"
#include "app/OlvexDoc.h"
#include "app/RequirementsCommands.h"
#include "app/VhdlCommands.h"
#include "dsp/FirMethods.h"
#include "files/Export.h"
#include "vhdl/VhdlText.h"

namespace {

using commands::OutcomeKind;

commands::DesignOutcome Design(COlvexDoc& doc, int type, int method, double beta, int taps) {
    commands::FirDesignRequest request = commands::FirRequestFromDocument(doc, type);
    request.method = method;
    request.beta = beta;
    request.taps = taps;
    return commands::DesignFir(doc, request);
}

TEST(FirMethodCommands, KaiserBetaIsCheckedAndAFailedRequestChangesNothing) {
    struct Case {
        int method;
        double beta;
        bool accepted;
    };
    const Case cases[] = {
        {dsp::kFirKaiser, 0.0, true},
        {dsp::kFirKaiser, 50.0, true},
        {dsp::kFirKaiser, -0.1, false},
        {dsp::kFirKaiser, 50.5, false},
        {dsp::kFirKaiser, NAN, false},
        {dsp::kFirLeastSquares, -7.0, true}, // beta unused
        {7, 8.6, false},
    };
    for (const Case& c : cases) {
        COlvexDoc doc;
        const commands::DesignOutcome outcome = Design(doc, kLpf, c.method, c.beta, 31);
        EXPECT_EQ(outcome.Is(OutcomeKind::kAccepted), c.accepted) << c.method << " " << c.beta;
        if (!c.accepted) {
            EXPECT_TRUE(outcome.Is(OutcomeKind::kOutOfRange));
            EXPECT_EQ(doc.m_nFirMethod, dsp::kFirRemez);
            EXPECT_EQ(doc.m_nTaps, COlvexDoc().m_nTaps);
        } else {
            EXPECT_EQ(doc.m_nFirMethod, c.method);
        }
    }
}

TEST(FirMethodCommands, DesignFromRequirementsByMethod) {
    COlvexDoc doc;
    commands::FirRequirementsRequest request;
    request.type = kHpf;
    request.fc[0] = 200.0;
    request.fc[1] = 250.0;
    request.apDb = 0.1;
    request.asDb = 60.0;
    request.method = dsp::kFirKaiser;
    // kaiserord(60, 0.1) = (74, 5.65326): an odd count for the high pass.
    commands::RequirementsOutcome k = commands::DesignFirFromRequirements(doc, request);
    ASSERT_TRUE(k.Is(OutcomeKind::kAccepted));
    EXPECT_TRUE(k.met);
    EXPECT_EQ(k.formulaTaps, 74);
    EXPECT_EQ(k.taps, 75);
    EXPECT_EQ(k.beta, 5.65326);
    EXPECT_EQ(doc.m_nFirMethod, dsp::kFirKaiser);
    EXPECT_EQ(doc.m_dKaiserBeta, 5.65326);
    EXPECT_EQ(doc.m_nTaps, 75);

    // A transition of 1 Hz asks for thousands of taps: the largest count, not met.
    request.fc[1] = 201.0;
    k = commands::DesignFirFromRequirements(doc, request);
    EXPECT_FALSE(k.met);
    EXPECT_EQ(k.taps, 379);
    EXPECT_FALSE(k.message.empty());

    // Below Kaiser's 8 dB there is no formula: refused, the document as it was. (Ap 7.5 dB is a
    // deviation of 0.407, 7.8 dB; As 7.6 dB.)
    request.fc[1] = 250.0;
    request.apDb = 7.5;
    request.asDb = 7.6;
    const COlvexDoc before = doc;
    k = commands::DesignFirFromRequirements(doc, request);
    EXPECT_TRUE(k.Is(OutcomeKind::kOutOfRange));
    EXPECT_EQ(doc.m_nTaps, before.m_nTaps);

    request.type = kLpf;
    request.apDb = 0.5;
    request.asDb = 50.0;
    request.method = dsp::kFirLeastSquares;
    const commands::RequirementsOutcome ls = commands::DesignFirFromRequirements(doc, request);
    ASSERT_TRUE(ls.Is(OutcomeKind::kAccepted));
    EXPECT_TRUE(ls.met);
    EXPECT_EQ(ls.taps % 2, 1);
    EXPECT_LE(ls.rippleDb, 0.5);
    EXPECT_GE(ls.attenuationDb, 50.0);
    EXPECT_EQ(doc.m_nFirMethod, dsp::kFirLeastSquares);
}

TEST(FirMethodCommands, OnlyANonDefaultMethodIsNamed) {
    struct Case {
        int method;
        const char* header; // the header's method line, "" for none
        const char* comment;
    };
    const Case cases[] = {
        {dsp::kFirRemez, "", ""},
        {dsp::kFirLeastSquares, "-- Design Method = Least squares\n",
         "# design method: Least squares\n"},
        {dsp::kFirKaiser, "-- Design Method = Kaiser window, beta 7.5\n",
         "# design method: Kaiser window, beta 7.5\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.method);
        COlvexDoc doc;
        ASSERT_TRUE(Design(doc, kLpf, c.method, 7.5, 41).Is(OutcomeKind::kAccepted));
        const std::string header = vhdl::BuildVhdlHeader(vhdl::HeaderVariant::kFile, false,
                                                         commands::HeaderValuesOf(doc, 0));
        const std::string report = commands::MeasurementsReport(doc, false, "\n");
        const std::string csv =
            files::BuildExport(files::ExportFormat::kCsv, doc.TakeCoefficients(false),
                               commands::ExportParametersOf(doc, false), "f")
                .value_or("");
        if (*c.header == '\0') {
            EXPECT_EQ(header.find("Design Method"), std::string::npos);
            EXPECT_EQ(report.find("Design method"), std::string::npos);
            EXPECT_EQ(csv.find("design method"), std::string::npos);
        } else {
            EXPECT_NE(header.find(std::string("-- Filter Type = LPF by FIR\n") + c.header),
                      std::string::npos)
                << header;
            EXPECT_EQ(report.rfind("Design method: ", 0), 0u) << report;
            EXPECT_NE(csv.find(c.comment), std::string::npos) << csv;
        }
        // The IIR header of the same document names no FIR method.
        EXPECT_EQ(vhdl::BuildVhdlHeader(vhdl::HeaderVariant::kFile, true,
                                        commands::HeaderValuesOf(doc, 1))
                      .find("Design Method"),
                  std::string::npos);
    }
}

} // namespace
