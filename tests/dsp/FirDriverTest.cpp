// FIR band layouts of each filter type and the proposals after a failed design (tap count,
// stop-band edges).
#include "dsp/FirDesign.h"
#include "tests/support/DesignedFilters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

using support::kBandPass;
using support::kBandReject;
using support::kHighPass;
using support::kLowPass;

// The layout of each type. An unknown type is a low pass.
TEST(FirLayout, EachTypeWritesItsBands) {
    struct Case {
        int type;
        double fc[4];
        double rr;
        std::vector<double> edges, desired, weights;
    };
    const Case cases[] = {
        {kLowPass, {100, 150, 999, 999}, 7, {0, 0.1, 0.15, 0.5}, {1, 0}, {1, 7}},
        {kHighPass, {100, 150, 999, 999}, 7, {0, 0.1, 0.15, 0.5}, {0, 1}, {7, 1}},
        {kBandReject,
         {200, 220, 300, 320},
         3,
         {0, 0.2, 0.22, 0.3, 0.32, 0.5},
         {1, 0, 1},
         {1, 3, 1}},
        {kBandPass, {200, 220, 300, 320}, 3, {0, 0.2, 0.22, 0.3, 0.32, 0.5}, {0, 1, 0}, {3, 1, 3}},
        {7, {100, 150, 999, 999}, 2, {0, 0.1, 0.15, 0.5}, {1, 0}, {1, 2}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        const dsp::FirBands bands = dsp::FirBandLayout(dsp::FirTypeFromIndex(c.type), 1000.0,
                                                       c.fc[0], c.fc[1], c.fc[2], c.fc[3], c.rr);
        ASSERT_EQ(bands.nBands, static_cast<int>(c.desired.size()));
        for (size_t i = 0; i < c.edges.size(); ++i) {
            EXPECT_DOUBLE_EQ(bands.edges[i], c.edges[i]) << "edge " << i;
        }
        for (size_t i = c.edges.size(); i < bands.edges.size(); ++i) {
            EXPECT_EQ(bands.edges[i], 0.0) << "edge " << i; // past nBands: 0
        }
        for (size_t b = 0; b < c.desired.size(); ++b) {
            EXPECT_EQ(bands.desired[b], c.desired[b]) << "band " << b;
            EXPECT_EQ(bands.weight[b], c.weights[b]) << "band " << b;
        }
    }
}

TEST(FirEstimates, TapCountProposal) {
    struct Case {
        int type;
        double rr, fc1, fc2;
        int expected;
    };
    const Case cases[] = {
        {kLowPass, 1, 100, 150, 140},  // n = 142, even: n - 2
        {kHighPass, 1, 100, 150, 141}, // even for HPF: n - 1
        {kBandReject, 1, 100, 150, 141},
        {kBandPass, 1, 100, 150, 140},
        {kLowPass, 1, 100, 100.5, 347}, // capped at 349, odd: n - 2 for every type
        {kHighPass, 1, 100, 100.5, 347},
        {kLowPass, 1, 150, 100, 347},    // reversed edges ask for the longest filter
        {kBandPass, 1, 100, 100, 347},   // zero-width transition as well
        {kLowPass, 1e300, 100, 150, -2}, // negative estimate: proposed as 0, then n - 2
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.type) + " " + std::to_string(c.fc2));
        EXPECT_EQ(dsp::EstimateTaps(dsp::FirTypeFromIndex(c.type), 1000.0, c.fc1, c.fc2, c.rr),
                  c.expected);
    }

    // An estimate of exactly 100 taps: BRF proposes 99, BPF 98. L = 107 at RR = 1, so a width
    // of 107 / 1500 of fs gives 100.
    for (const auto& [type, expected] : {std::pair{kBandReject, 99}, {kBandPass, 98}}) {
        EXPECT_EQ(dsp::EstimateTaps(dsp::FirTypeFromIndex(type), 1500.0, 100.0,
                                    100.0 + 107.0 * 0.99999999, 1.0),
                  expected);
    }
}

TEST(FirEstimates, BandEdgeProposals) {
    // W = 107 / (15 * 51) * 1000 = 139.869... at RR = 1, fs = 1000 and 51 taps.
    EXPECT_DOUBLE_EQ(dsp::EstimateEdgeAbove(100, 1000, 51, 1), 239.8); // 239.869 -> four digits
    EXPECT_DOUBLE_EQ(dsp::EstimateEdgeBelow(400, 1000, 51, 1), 260.1); // 260.130...
    EXPECT_DOUBLE_EQ(dsp::EstimateEdgeAbove(500, 1000, 51, 1), 639.8); // 639.869...
    EXPECT_DOUBLE_EQ(dsp::EstimateEdgeBelow(900, 1000, 51, 1), 760.1); // 760.130...

    // Below 10 the rule keeps three decimals: fs scaled down by 1000 scales W the same way.
    EXPECT_DOUBLE_EQ(dsp::EstimateEdgeAbove(-0.016413, 1, 51, 1), 0.123); // 0.123456...
}

} // namespace
