// FIR designs on a band table of their own (Hilbert transformer, differentiator, multiband) in
// the record: what a request stores and designs, what a later filter-type request takes back,
// the band-table checks, the design file's round trip, and the bands the measurements and the
// hardware header take from the table.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "app/DesignCommands.h"
#include "app/DesignFileCommands.h"
#include "app/MeasureCommands.h"
#include "app/OlvexDoc.h"
#include "app/VhdlCommands.h"
#include "dsp/FirDesign.h"
#include "files/DesignFile.h"

namespace {

commands::FirDesignRequest TableRequest(dsp::FirKind kind, int taps,
                                        const std::vector<double>& rows) {
    commands::FirDesignRequest request;
    request.fs = 2000.0;
    request.taps = taps;
    request.kind = kind;
    request.bands.nBands = static_cast<int>(rows.size() / 4);
    for (size_t b = 0; b < rows.size() / 4; ++b) {
        request.bands.edges[2 * b] = rows[4 * b];
        request.bands.edges[2 * b + 1] = rows[4 * b + 1];
        request.bands.desired[b] = rows[4 * b + 2];
        request.bands.weight[b] = rows[4 * b + 3];
    }
    return request;
}

TEST(FirKindRecord, TableDesignStoresItsKindAndTakesTheTapCountAsEntered) {
    struct Case {
        dsp::FirKind kind;
        int taps;
        std::vector<double> rows;
        double mirror; // +1 symmetric, -1 antisymmetric
    };
    const Case cases[] = {
        {dsp::FirKind::kHilbert, 30, {100, 900, 1, 1}, -1.0},
        {dsp::FirKind::kHilbert, 31, {100, 900, 1, 1}, -1.0},
        {dsp::FirKind::kDifferentiator, 20, {0, 800, 1, 1}, -1.0},
        {dsp::FirKind::kMultiband, 40, {0, 200, 1, 1, 300, 500, 0, 10, 600, 1000, 0.5, 2}, 1.0},
    };
    for (const Case& c : cases) {
        COlvexDoc doc;
        const commands::DesignOutcome outcome =
            commands::DesignFir(doc, TableRequest(c.kind, c.taps, c.rows));
        ASSERT_TRUE(outcome.Is(commands::OutcomeKind::kAccepted)) << c.taps;
        EXPECT_EQ(doc.FirKind(), c.kind);
        EXPECT_EQ(doc.m_nTaps, c.taps); // even counts stay even, whatever the filter type
        EXPECT_EQ(doc.m_bEvenTaps, 0);
        ASSERT_EQ(doc.m_nBands, static_cast<int>(c.rows.size() / 4));
        EXPECT_DOUBLE_EQ(doc.m_aBandEdges[1], c.rows[1] / 2000.0);
        const dsp::FilterCoefficients taps = doc.TakeCoefficients(false);
        const std::vector<double> h(taps.DesignedTaps().begin(), taps.DesignedTaps().end());
        ASSERT_EQ(h.size(), static_cast<size_t>(c.taps));
        for (size_t n = 0; n < h.size(); ++n) {
            ASSERT_NEAR(h[h.size() - 1 - n], c.mirror * h[n], 1e-12) << "tap " << n;
        }
    }
}

TEST(FirKindRecord, FilterTypeRequestAfterwardsDesignsTheTypeAgain) {
    COlvexDoc doc;
    commands::DesignFir(doc, TableRequest(dsp::FirKind::kHilbert, 31, {100, 900, 1, 1}));
    ASSERT_TRUE(doc.FirUsesBandTable());
    commands::FirDesignRequest lowPass = commands::FirRequestFromDocument(doc, kLpf);
    lowPass.fs = 1000.0;
    lowPass.taps = 31;
    ASSERT_TRUE(commands::DesignFir(doc, lowPass).Is(commands::OutcomeKind::kAccepted));
    EXPECT_FALSE(doc.FirUsesBandTable());
    const dsp::FilterCoefficients taps = doc.TakeCoefficients(false);
    const std::vector<double> h(taps.DesignedTaps().begin(), taps.DesignedTaps().end());
    EXPECT_NEAR(h.front(), h.back(), 1e-12); // the symmetric low pass, not the antisymmetric one
    EXPECT_EQ(doc.m_nBands, 2);
}

TEST(FirKindRecord, BandTableRefusals) {
    struct Case {
        const char* name;
        std::vector<double> rows;
        const char* says;
    };
    const Case cases[] = {
        {"Descending", {0, 300, 1, 1, 200, 1000, 0, 1}, "ascend"},
        {"BeyondHalfOfFs", {0, 300, 1, 1, 400, 1200, 0, 1}, "ascend"},
        {"EmptyBand", {0, 300, 1, 1, 400, 400, 0, 1}, "band 2 is empty"},
        {"ZeroWeight", {0, 300, 1, 0, 400, 1000, 0, 1}, "weight of band 1"},
        {"NegativeWeight", {0, 300, 1, 1, 400, 1000, 0, -2}, "weight of band 2"},
        {"GainNaN", {0, 300, std::nan(""), 1}, "gain of band 1"},
        {"NoBands", {}, "bands"},
    };
    for (const Case& c : cases) {
        COlvexDoc doc;
        const COlvexDoc before = doc;
        const commands::DesignOutcome outcome =
            commands::DesignFir(doc, TableRequest(dsp::FirKind::kMultiband, 41, c.rows));
        ASSERT_TRUE(outcome.Is(commands::OutcomeKind::kOutOfRange)) << c.name;
        EXPECT_NE(outcome.range.message.find(c.says), std::string::npos)
            << c.name << ": " << outcome.range.message;
        EXPECT_EQ(doc.m_nFirKind, before.m_nFirKind) << c.name;
        EXPECT_EQ(doc.m_aFirCoeffs[0], before.m_aFirCoeffs[0]) << c.name;
    }
}

TEST(FirKindRecord, DesignFileKeepsKindAndTableAndOldFilesDesignTheType) {
    COlvexDoc doc;
    commands::DesignFir(doc, TableRequest(dsp::FirKind::kMultiband, 41,
                                          {0, 200, 1, 1, 300, 500, 0, 10, 600, 1000, 0.5, 2}));
    const commands::FormSettings form{0, 0, true, "", 0};
    const files::DesignState state = commands::TakeDesignState(doc, form);
    EXPECT_EQ(state.firKind, "multiband");
    ASSERT_EQ(state.firBands.size(), 3u);
    const std::string text = files::WriteDesignText(state);
    const files::DesignRead read = files::ReadDesignText(text);
    ASSERT_TRUE(read.ok) << read.message;
    EXPECT_EQ(read.state, state);
    EXPECT_EQ(commands::CheckDesignState(read.state), "");

    // A filter type's file holds no kind: it reads back as one, and a table in an unknown kind
    // or out of order is refused by the checks.
    const files::DesignState plain = commands::TakeDesignState(COlvexDoc(), form);
    EXPECT_EQ(files::WriteDesignText(plain).find("\"kind\""), std::string::npos);
    EXPECT_TRUE(files::ReadDesignText(files::WriteDesignText(plain)).state.firKind.empty());
    files::DesignState unknown = state;
    unknown.firKind = "comb";
    EXPECT_EQ(commands::CheckDesignState(unknown).rfind("fir.kind", 0), 0u);
    files::DesignState disordered = state;
    disordered.firBands[1][0] = 0.05;
    EXPECT_EQ(commands::CheckDesignState(disordered).rfind("fir.bands", 0), 0u);
}

TEST(FirKindRecord, DesignFileRefusesMalformedTables) {
    const files::DesignState base = [] {
        files::DesignState s;
        s.firTaps.assign(90, 0.0);
        s.sections.assign(8, files::DesignSection{1, 0, 0, 0, 0});
        return s;
    }();
    const std::string good = files::WriteDesignText(base);
    const std::string anchor = "\"multiplier\": 1";
    const struct {
        const char* name;
        const char* insert;
    } cases[] = {
        {"KindWithoutBands", ", \"kind\": \"hilbert\""},
        {"RowOfThree", ", \"kind\": \"hilbert\", \"bands\": [[0.1, 0.4, 1]]"},
        {"NoRows", ", \"kind\": \"multiband\", \"bands\": []"},
        {"NineRows", ", \"kind\": \"multiband\", \"bands\": [[0,0.01,1,1],[0.02,0.03,0,1],"
                     "[0.04,0.05,1,1],[0.06,0.07,0,1],[0.08,0.09,1,1],[0.1,0.11,0,1],"
                     "[0.12,0.13,1,1],[0.14,0.15,0,1],[0.16,0.5,1,1]]"},
        {"KindNotText", ", \"kind\": 3, \"bands\": [[0.1, 0.4, 1, 1]]"},
    };
    const size_t at = good.find(anchor);
    ASSERT_NE(at, std::string::npos);
    for (const auto& c : cases) {
        std::string text = good;
        text.insert(at + anchor.size(), c.insert);
        const files::DesignRead read = files::ReadDesignText(text);
        EXPECT_FALSE(read.ok) << c.name;
        EXPECT_EQ(read.field.rfind("fir.", 0), 0u) << c.name << ": " << read.message;
    }
}

TEST(FirKindRecord, MeasurementsAndHeaderTakeTheTable) {
    COlvexDoc doc;
    commands::DesignFir(doc, TableRequest(dsp::FirKind::kMultiband, 41,
                                          {0, 200, 1, 1, 300, 500, 0, 10, 600, 1000, 0.5, 2}));
    const dsp::BandSpec layout = commands::BandSpecOf(doc, false);
    ASSERT_EQ(layout.firBands.size(), 3u);
    EXPECT_TRUE(layout.firBands[0].pass);
    EXPECT_FALSE(layout.firBands[1].pass);
    EXPECT_DOUBLE_EQ(layout.firBands[2].lo, 600.0);
    EXPECT_DOUBLE_EQ(layout.firBands[2].hi, 1000.0);
    const dsp::Measurements m = commands::MeasureDocument(doc, false);
    ASSERT_EQ(m.unquantized.size(), 3u);
    EXPECT_LT(m.unquantized[1].maxDb, -20.0); // the stop band of weight 10
    EXPECT_NEAR(m.unquantized[2].maxDb, 20.0 * std::log10(0.5), 1.0);

    const vhdl::HeaderValues header = commands::HeaderValuesOf(doc, 0);
    EXPECT_EQ(header.typeWords, "Multiband by FIR");
    ASSERT_EQ(header.bands.size(), 3u);
    EXPECT_NE(header.bands[1].find("Weight 10"), std::string::npos) << header.bands[1];
    EXPECT_EQ(commands::HeaderValuesOf(COlvexDoc(), 0).typeWords, "LPF by FIR");
}

} // namespace
