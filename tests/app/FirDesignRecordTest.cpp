// The document's FIR design: what COlvexDoc::DesignFir stores of the engine's outcome, the tap
// count rule of the form (odd lengths for high pass and band rejection), the edge checks of the
// FIR dialogs, and the proposals the document offers after a failed design.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "dsp/FirDesign.h"

namespace {

// The document's design stores the engine's layout of each type (a two-band type leaves the last
// two edges of the record as they were). An unknown type is a low pass.
TEST(FirDesignRecord, StoresTheLayoutOfEachType) {
    struct Case {
        int type;
        double fc[4];
        double rr;
        std::vector<double> edges, desired, weights;
    };
    const Case cases[] = {
        {kLpf, {100, 150, 999, 999}, 7, {0, 0.1, 0.15, 0.5}, {1, 0}, {1, 7}},
        {kHpf, {100, 150, 999, 999}, 7, {0, 0.1, 0.15, 0.5}, {0, 1}, {7, 1}},
        {kBrf, {200, 220, 300, 320}, 3, {0, 0.2, 0.22, 0.3, 0.32, 0.5}, {1, 0, 1}, {1, 3, 1}},
        {kBpf, {200, 220, 300, 320}, 3, {0, 0.2, 0.22, 0.3, 0.32, 0.5}, {0, 1, 0}, {3, 1, 3}},
        {7, {100, 150, 999, 999}, 2, {0, 0.1, 0.15, 0.5}, {1, 0}, {1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        const dsp::FirBands bands = dsp::FirBandLayout(dsp::FirTypeFromIndex(c.type), 1000.0,
                                                       c.fc[0], c.fc[1], c.fc[2], c.fc[3], c.rr);
        COlvexDoc doc;
        doc.m_fnConsole = nullptr;
        doc.m_fc1 = c.fc[0];
        doc.m_fc2 = c.fc[1];
        doc.m_fc3 = c.fc[2];
        doc.m_fc4 = c.fc[3];
        doc.m_dRR = c.rr;
        doc.m_aBandEdges[4] = 0.75; // stale edges a two-band layout must keep
        doc.m_aBandEdges[5] = 0.875;
        doc.DesignFir(c.type);
        ASSERT_EQ(bands.nBands, static_cast<int>(c.desired.size()));
        ASSERT_EQ(doc.m_nBands, bands.nBands);
        for (size_t i = 0; i < c.edges.size(); ++i) {
            EXPECT_DOUBLE_EQ(bands.edges[i], c.edges[i]) << "edge " << i;
            EXPECT_EQ(doc.m_aBandEdges[i], bands.edges[i]) << "edge " << i;
        }
        if (bands.nBands == 2) {
            EXPECT_EQ(doc.m_aBandEdges[4], 0.75);
            EXPECT_EQ(doc.m_aBandEdges[5], 0.875);
        }
        for (size_t b = 0; b < c.desired.size(); ++b) {
            EXPECT_EQ(bands.desired[b], c.desired[b]) << "band " << b;
            EXPECT_EQ(bands.weight[b], c.weights[b]) << "band " << b;
            EXPECT_EQ(doc.m_aBandDesired[b], c.desired[b]) << "band " << b;
            EXPECT_EQ(doc.m_aBandWeight[b], c.weights[b]) << "band " << b;
        }
    }
}

// The document's design stores what the engine returns for its fields, whatever the verdict:
// taps, flags, counts, ripples, and the iteration-limit notice on the console.
TEST(FirDesignRecord, StoresTheEngineResult) {
    struct Case {
        const char* name;
        int type;
        double fc[4];
        double rr;
        int taps; // as designed
        dsp::FirVerdict verdict;
    };
    const Case cases[] = {
        {"low pass at the optimum", kLpf, {200, 250, 0, 0}, 10, 90, dsp::FirVerdict::kOptimum},
        {"band pass at the optimum", kBpf, {200, 250, 350, 400}, 10, 61, dsp::FirVerdict::kOptimum},
        {"short of the optimum at the limit",
         kLpf,
         {56, 113, 0, 0},
         6.5,
         252,
         dsp::FirVerdict::kShortOfOptimum},
        {"failed", kLpf, {1, 2, 0, 0}, 10, 4, dsp::FirVerdict::kFailed},
        {"no layout", kLpf, {-100, -50, 0, 0}, 10, 31, dsp::FirVerdict::kFailed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const dsp::FirDesign design = dsp::DesignFir({.type = dsp::FirTypeFromIndex(c.type),
                                                      .fs = 1000.0,
                                                      .fc1 = c.fc[0],
                                                      .fc2 = c.fc[1],
                                                      .fc3 = c.fc[2],
                                                      .fc4 = c.fc[3],
                                                      .rr = c.rr,
                                                      .nTaps = c.taps});
        const dsp::FirDesignResult& r = design.result;
        EXPECT_EQ(r.verdict, c.verdict);
        COlvexDoc doc;
        std::string console;
        doc.m_fnConsole = [&console](const std::string& text) { console += text; };
        doc.m_fc1 = c.fc[0];
        doc.m_fc2 = c.fc[1];
        doc.m_fc3 = c.fc[2];
        doc.m_fc4 = c.fc[3];
        doc.m_dRR = c.rr;
        doc.m_nTaps = c.taps;
        doc.DesignFir(c.type);
        EXPECT_EQ(doc.m_bDesignOk, r.Ok() ? 1 : 0);
        EXPECT_EQ(doc.m_bOptimumReached, r.verdict == dsp::FirVerdict::kOptimum ? 1 : 0);
        EXPECT_EQ(doc.m_bIterationLimit, r.iterationLimit ? 1 : 0);
        EXPECT_EQ(doc.m_nRemezIterations, r.iterations);
        EXPECT_EQ(doc.m_nGridSize, r.gridSize);
        EXPECT_EQ(doc.m_dAchievedRipple, r.achievedRipple);
        EXPECT_EQ(doc.m_dTargetRipple, r.targetRipple);
        EXPECT_EQ(console, r.notice);
        const std::vector<double> stored(doc.m_aFirCoeffs, doc.m_aFirCoeffs + r.taps.size());
        EXPECT_EQ(stored, r.taps);
        for (int i = static_cast<int>(r.taps.size()); i < COlvexDoc::kMaxFirTaps; ++i) {
            ASSERT_EQ(doc.m_aFirCoeffs[i], 0.0) << i;
        }
    }
}

TEST(FirDesignRecord, ClearsResultsAndWritesOnlyItsTaps) {
    COlvexDoc doc;
    for (int i = 0; i < COlvexDoc::kMaxFirTaps; ++i) {
        doc.m_aFirCoeffs[i] = 5.0;
        doc.m_aGainDb[i] = -3.0;
        doc.m_aPhase[i] = 1.0;
    }
    doc.m_nTaps = 31;
    doc.DesignFir(kLpf);
    ASSERT_EQ(doc.m_bDesignOk, 1);
    EXPECT_NE(doc.m_aFirCoeffs[15], 0.0);
    for (int i = 31; i < COlvexDoc::kMaxFirTaps; ++i) {
        ASSERT_EQ(doc.m_aFirCoeffs[i], 0.0) << i;
    }
    for (int i = 0; i < COlvexDoc::kResponsePoints; ++i) {
        ASSERT_EQ(doc.m_aGainDb[i], 0.0) << i;
        ASSERT_EQ(doc.m_aPhase[i], 0.0) << i;
    }
}

TEST(FirTapParity, HighPassAndBandRejectionAreDesignedOdd) {
    struct Case {
        int type;
        int entered;
        int taps;
        int even;
        int shown;
        int method = dsp::kFirRemez;
    };
    const Case cases[] = {
        {kLpf, 90, 90, 0, 90},
        {kLpf, 31, 31, 0, 31},
        {kHpf, 90, 89, 1, 90},
        {kHpf, 51, 51, 0, 51},
        {kBrf, 50, 49, 1, 50},
        {kBrf, 4, 3, 1, 4},
        {kBpf, 60, 60, 0, 60},
        {kBpf, 61, 61, 0, 61},
        // Least squares designs every type with an odd count; the Kaiser window as Remez does.
        {kLpf, 90, 89, 1, 90, dsp::kFirLeastSquares},
        {kBpf, 61, 61, 0, 61, dsp::kFirLeastSquares},
        {kLpf, 90, 90, 0, 90, dsp::kFirKaiser},
        {kBrf, 50, 49, 1, 50, dsp::kFirKaiser},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + "/" + std::to_string(c.entered) + "/" +
                     std::to_string(c.method));
        COlvexDoc doc;
        doc.m_nFirMethod = c.method;
        doc.m_bEvenTaps = 1; // a stale flag from an earlier design must not survive
        design::StoreFirTapCount(doc, c.type, c.entered);
        EXPECT_EQ(doc.m_nTaps, c.taps);
        EXPECT_EQ(doc.m_bEvenTaps, c.even);
        EXPECT_EQ(design::ShownFirTapCount(doc), c.shown);
    }
}

TEST(FirChecks, EdgeOrderAndBalance) {
    struct Case {
        int type;
        double fs, fc1, fc2, fc3, fc4;
        bool ok;
        const char* secondLine;
    };
    const char* const two = "Fc1 < Fc2 < Fs/2.";
    const char* const four = "Fc1 < Fc2 < Fc3 < Fc4 < Fs/2.";
    const Case cases[] = {
        {kLpf, 1000, 200, 250, 0, 0, true, ""},
        {kLpf, 1000, 200, 500, 0, 0, false, two}, // fc2 = fs/2 exactly
        {kHpf, 1000, 250, 250, 0, 0, false, two},
        {kHpf, 1000, -10, 0, 0, 0, true, ""}, // no lower bound
        {kBrf, 1000, 100, 150, 300, 350, true, ""},
        {kBrf, 1000, 100, 150, 300, 500, false, four},
        {kBpf, 1000, 100, 300, 200, 350, false, four},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + " " + std::to_string(c.fc2));
        design::Warning w;
        EXPECT_EQ(design::CheckFirEdges(c.type, c.fs, c.fc1, c.fc2, c.fc3, c.fc4, w), c.ok);
        if (!c.ok) {
            ASSERT_EQ(w.lines.size(), 2u);
            EXPECT_EQ(w.lines[0], "Frequencies need to be");
            EXPECT_EQ(w.lines[1], c.secondLine);
            EXPECT_EQ(w.OneLine(), std::string("Frequencies need to be ") + c.secondLine);
        }
    }

    // (fc2 - fc1) / (fc4 - fc3) at 0.67 and 1.5 warns, 0.68 and 1.49 do not.
    const struct {
        double fc2;
        bool warns;
    } balance[] = {{167, true}, {168, false}, {249, false}, {250, true}, {200, false}};
    for (const auto& b : balance) {
        design::Warning w;
        EXPECT_EQ(design::FirBandsUnbalanced(100, b.fc2, 300, 400, w), b.warns) << b.fc2;
    }
}

// The document's proposals read its fields: the tap count clears the even-count flag, and each
// type's proposal moves only its stop-band edges, by the engine's rule.
TEST(FirDesignRecord, ProposalsAfterAFailedDesign) {
    for (const auto& [type, expected] : {std::pair{kLpf, 140}, {kHpf, 141}}) {
        COlvexDoc doc;
        doc.m_nFilterType = type;
        doc.m_dRR = 1;
        doc.m_fc1 = 100;
        doc.m_fc2 = 150;
        doc.m_bEvenTaps = 1;
        EXPECT_EQ(doc.EstimateTaps(), expected);
        EXPECT_EQ(doc.m_bEvenTaps, 0);
    }

    COlvexDoc doc;
    doc.m_dRR = 1;
    doc.m_fs = 1000;
    doc.m_nTaps = 51;
    doc.m_fc1 = 100;
    doc.m_fc2 = 400;
    doc.m_fc3 = 500;
    doc.m_fc4 = 900;
    EXPECT_DOUBLE_EQ(doc.EstimateFc2FromFc1(), 239.8);
    EXPECT_DOUBLE_EQ(doc.EstimateFc1FromFc2(), 260.1);
    EXPECT_DOUBLE_EQ(doc.EstimateFc4FromFc3(), 639.8);
    EXPECT_DOUBLE_EQ(doc.EstimateFc3FromFc4(), 760.1);

    // The proposal of each type moves only its stop-band edges.
    doc = COlvexDoc();
    doc.m_nTaps = 31;
    const struct {
        int type;
        bool adjusted[4];
    } moves[] = {{kLpf, {false, true, false, false}},
                 {kHpf, {true, false, false, false}},
                 {kBrf, {false, true, true, false}},
                 {kBpf, {true, false, false, true}}};
    for (const auto& m : moves) {
        const design::EdgeProposal p = design::ProposeEdges(doc, m.type);
        const double current[4] = {doc.m_fc1, doc.m_fc2, doc.m_fc3, doc.m_fc4};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(p.adjusted[i], m.adjusted[i]) << m.type << " fc" << i + 1;
            if (!m.adjusted[i]) {
                EXPECT_EQ(p.fc[i], current[i]);
            }
        }
    }
}

// The document takes each design's own outcome: a good design after a failed one succeeds on the
// same document, and a failed one after a good one fails, without the caller touching the flags.
TEST(FirDesignRecord, EachRunSetsItsOwnOutcome) {
    COlvexDoc doc;
    doc.m_fnConsole = nullptr;
    doc.m_nTaps = 31;
    const struct {
        double fc1, fc2; // negative edges: no layout
        int ok;
    } runs[] = {{-100, -50, 0}, {200, 250, 1}, {-100, -50, 0}, {200, 250, 1}};
    for (const auto& run : runs) {
        doc.m_fc1 = run.fc1;
        doc.m_fc2 = run.fc2;
        doc.DesignFir(kLpf);
        EXPECT_EQ(doc.m_bDesignOk, run.ok);
        EXPECT_EQ(doc.m_bOptimumReached, run.ok);
    }
}

// The iteration-limit notice reaches the console hook and the flag mirrors it; a converging
// design after it writes nothing and clears the flags of the run before.
TEST(FirDesignRecord, IterationLimitGoesToTheConsole) {
    COlvexDoc doc;
    std::string console;
    doc.m_fnConsole = [&console](const std::string& text) { console += text; };
    doc.m_fc1 = 56;
    doc.m_fc2 = 113;
    doc.m_dRR = 6.5;
    design::StoreFirTapCount(doc, kLpf, 252);
    doc.DesignFir(kLpf);
    EXPECT_EQ(doc.m_bIterationLimit, 1);
    EXPECT_EQ(doc.m_bDesignOk, 1);
    EXPECT_EQ(doc.m_bOptimumReached, 0);
    EXPECT_GT(doc.m_dAchievedRipple, doc.m_dTargetRipple * 1.001);
    EXPECT_EQ(console, "Reached maximum iteration count.\nResults may be bad.\n");

    console.clear();
    design::StoreFirTapCount(doc, kLpf, 120);
    doc.DesignFir(kLpf);
    EXPECT_EQ(doc.m_bIterationLimit, 0);
    EXPECT_EQ(doc.m_bOptimumReached, 1);
    EXPECT_EQ(console, "");
}

} // namespace
