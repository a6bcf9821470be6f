// The document's IIR design: it holds the engine's cascade, resets the sections a smaller design
// leaves, changes nothing when the engine refuses, and the IIR dialog's checks and store.
#include <gtest/gtest.h>

#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "dsp/Iir.h"

namespace {

struct IirCase {
    int type;
    int n;
    double rippleDb;
    double fc1;
    double fc2;
};

const IirCase kDesigns[] = {
    {kLpf, 1, 1.0, 200, 0},   {kLpf, 4, 0.3, 100, 0},   {kLpf, 8, 3.0, 420, 0},
    {kHpf, 1, 0.3, 300, 0},   {kHpf, 5, 1.0, 150, 0},   {kHpf, 8, 0.1, 60, 0},
    {kBrf, 2, 1.0, 150, 320}, {kBrf, 8, 0.3, 200, 300}, {kBpf, 2, 1.0, 200, 300},
    {kBpf, 6, 2.0, 50, 400},
};

dsp::IirCascade Cascade(const IirCase& c) {
    dsp::IirCascade cascade;
    EXPECT_TRUE(dsp::DesignIirCascade({c.type, c.n, c.rippleDb, 1000.0, c.fc1, c.fc2}, cascade));
    return cascade;
}

COlvexDoc Designed(const IirCase& c) {
    COlvexDoc doc;
    doc.m_nFilterType = c.type;
    doc.m_nIirSections = c.n;
    doc.m_dRippleDb = c.rippleDb;
    doc.m_dIirFc1 = c.fc1;
    doc.m_dIirFc2 = c.fc2;
    EXPECT_TRUE(doc.DesignIir());
    return doc;
}

// The record's design stores exactly what the engine computes, the steps' values included.
TEST(IirDesignRecord, RecordHoldsTheEngineCascade) {
    for (const IirCase& ic : kDesigns) {
        SCOPED_TRACE(testing::Message() << "type " << ic.type << " n " << ic.n);
        const COlvexDoc doc = Designed(ic);
        const dsp::IirCascade c = Cascade(ic);
        EXPECT_EQ(doc.m_nIirProtoSections, c.protoSections);
        EXPECT_EQ(doc.m_dChebV0, c.chebV0);
        EXPECT_EQ(doc.m_dIirWarpFc2, c.warpFc2);
        for (size_t s = 0; s < 8; ++s) {
            EXPECT_EQ(doc.m_aA0[s], c.a0[s]);
            EXPECT_EQ(doc.m_aA1[s], c.a1[s]);
            EXPECT_EQ(doc.m_aB2[s], c.b2[s]);
            EXPECT_EQ(doc.m_aAnaDen1[s], c.anaDen1[s]);
            EXPECT_EQ(doc.m_aDigA2[s], c.digA2[s]);
        }
    }
}

TEST(IirDesignRecord, SmallerRedesignResetsTheLaterSections) {
    COlvexDoc doc = Designed({kLpf, 8, 1.0, 200, 0});
    doc.m_nIirSections = 3;
    ASSERT_TRUE(doc.DesignIir());
    for (int s = 3; s < COlvexDoc::kIirSections; ++s) {
        EXPECT_EQ(doc.m_aA0[s], 1.0);
        EXPECT_EQ(doc.m_aB1[s], 0.0);
        EXPECT_EQ(doc.m_aB2[s], 0.0);
    }
}

// A count the cascade cannot hold, or an odd count for BRF/BPF (left behind, for example, by an
// LPF design before a BRF dialog was cancelled), leaves the document as it was.
TEST(IirDesignRecord, UndesignableCountChangesNothing) {
    struct Refused {
        int type;
        int n;
    };
    const Refused cases[] = {{kLpf, 0}, {kLpf, 9}, {kHpf, -1}, {kBrf, 3},
                             {kBpf, 7}, {kBpf, 1}, {4, 2},     {kHpf, 1000}};
    for (const Refused& r : cases) {
        SCOPED_TRACE(testing::Message() << "type " << r.type << " n " << r.n);
        COlvexDoc doc = Designed({kLpf, 3, 1.0, 200, 0});
        const COlvexDoc before = doc;
        doc.m_nFilterType = r.type;
        doc.m_nIirSections = r.n;
        EXPECT_FALSE(doc.DesignIir());
        EXPECT_EQ(doc.m_nIirProtoSections, before.m_nIirProtoSections);
        for (int s = 0; s < COlvexDoc::kIirSections; ++s) {
            EXPECT_EQ(doc.m_aA0[s], before.m_aA0[s]);
            EXPECT_EQ(doc.m_aB1[s], before.m_aB1[s]);
            EXPECT_EQ(doc.m_aDigB2[s], before.m_aDigB2[s]);
        }
    }
}

// Parameters the dialogs let through but that give no finite cascade keep the previous one.
TEST(IirDesignRecord, NonFiniteResultKeepsThePreviousSections) {
    struct Bad {
        int type;
        double rippleDb, fs, fc1, fc2;
    };
    const Bad cases[] = {{kLpf, 0.0, 1000, 200, 0},
                         {kHpf, -1.0, 1000, 200, 0},
                         {kLpf, 1.0, 0.0, -10, 0},
                         {kBpf, 1.0, 1000, 0.0, 300}};
    for (const Bad& b : cases) {
        SCOPED_TRACE(testing::Message() << "type " << b.type << " Ac " << b.rippleDb);
        COlvexDoc doc = Designed({kLpf, 2, 1.0, 200, 0});
        const COlvexDoc before = doc;
        doc.m_nFilterType = b.type;
        doc.m_dRippleDb = b.rippleDb;
        doc.m_fs = b.fs;
        doc.m_dIirFc1 = b.fc1;
        doc.m_dIirFc2 = b.fc2;
        EXPECT_FALSE(doc.DesignIir());
        for (int s = 0; s < COlvexDoc::kIirSections; ++s) {
            EXPECT_EQ(doc.m_aA0[s], before.m_aA0[s]);
            EXPECT_EQ(doc.m_aA2[s], before.m_aA2[s]);
            EXPECT_EQ(doc.m_aB2[s], before.m_aB2[s]);
        }
    }
}

TEST(IirRules, DialogChecks) {
    struct Check {
        int type;
        int n;
        double fs, fc1, fc2;
        const char* expected; // nullptr: accepted
    };
    const char* const kNyquist = "Cut off needs to be lower than Nyquist Frequency!!";
    const char* const kEven = "for BPF and BRF, the Number of IIRs needs to be 2, 4, 6 or 8.";
    const char* const kOrder = "Frequencies need to be Fc1 < Fc2 < Fs/2.";
    const Check checks[] = {
        {kLpf, 2, 1000, 499.9, 0, nullptr}, {kLpf, 2, 1000, 500, 0, kNyquist},
        {kHpf, 3, 1000, 600, 0, kNyquist},  {kHpf, 1, 1000, 100, 900, nullptr},
        {kBrf, 4, 1000, 200, 300, nullptr}, {kBrf, 3, 1000, 300, 200, kEven},
        {kBpf, 5, 1000, 200, 300, kEven},   {kBpf, 4, 1000, 300, 200, kOrder},
        {kBpf, 2, 1000, 200, 500, kOrder},  {kBrf, 8, 1000, 250, 250, kOrder},
    };
    for (const Check& c : checks) {
        SCOPED_TRACE(testing::Message()
                     << "type " << c.type << " n " << c.n << " fc " << c.fc1 << "," << c.fc2);
        design::Warning warning;
        const bool ok = design::CheckIirParameters(c.type, c.n, c.fs, c.fc1, c.fc2, warning);
        EXPECT_EQ(ok, c.expected == nullptr);
        if (c.expected != nullptr) {
            EXPECT_EQ(warning.title, "Warning!");
            EXPECT_EQ(warning.OneLine(), c.expected);
        }
    }
    EXPECT_EQ(design::MinIirSections(kHpf), 1);
    EXPECT_EQ(design::MinIirSections(kBpf), 2);
}

TEST(IirRules, StoreKeepsTheSecondEdgeOfSingleEdgeTypes) {
    COlvexDoc doc;
    doc.m_bQuantize = 1;
    doc.m_nCoeffFormat = 3;
    design::StoreIirParameters(doc, kHpf, 5, 2.0, 150.0, 999.0, 2000.0);
    EXPECT_EQ(doc.m_nFilterType, kHpf);
    EXPECT_EQ(doc.m_nIirSections, 5);
    EXPECT_EQ(doc.m_dIirFc1, 150.0);
    EXPECT_EQ(doc.m_dIirFc2, 300.0);
    EXPECT_EQ(doc.m_fs, 2000.0);
    EXPECT_EQ(doc.m_bQuantize, 0);
    EXPECT_EQ(doc.m_nCoeffFormat, 0);
    design::StoreIirParameters(doc, kBpf, 4, 1.0, 100.0, 400.0, 1000.0);
    EXPECT_EQ(doc.m_dIirFc2, 400.0);
}

} // namespace
