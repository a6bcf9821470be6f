// What the Remez exchange refuses before it starts: tap counts outside its range, layouts that
// describe no filter, and band weights that are not finite and positive. A refused design has no
// taps, fails and says why; the same layout with a usable weight designs.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "dsp/FirDesign.h"

namespace {

// The low pass of the form's defaults: pass 0..0.2, stop 0.25..0.5, weights 1 and 10.
dsp::FirBands LowPass() {
    dsp::FirBands bands;
    bands.nBands = 2;
    bands.edges = {0.0, 0.2, 0.25, 0.5, 0.0, 0.0};
    bands.desired = {1.0, 0.0, 0.0};
    bands.weight = {1.0, 10.0, 0.0};
    return bands;
}

struct WeightCase {
    const char* name;
    int band;
    double weight;
    dsp::FirRefusal refusal;
};

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

const WeightCase kWeightCases[] = {
    {"ZeroStopWeight", 1, 0.0, dsp::FirRefusal::kBandWeight},
    {"ZeroPassWeight", 0, 0.0, dsp::FirRefusal::kBandWeight},
    {"NegativeZero", 1, -0.0, dsp::FirRefusal::kBandWeight},
    {"NegativeStopWeight", 1, -10.0, dsp::FirRefusal::kBandWeight},
    {"NegativePassWeight", 0, -1.0, dsp::FirRefusal::kBandWeight},
    {"NaNWeight", 1, kNaN, dsp::FirRefusal::kBandWeight},
    {"InfiniteWeight", 1, kInf, dsp::FirRefusal::kBandWeight},
    {"MinusInfiniteWeight", 0, -kInf, dsp::FirRefusal::kBandWeight},
    // The smallest positive weights still design (the level is then large, not meaningless).
    {"TinyPositiveWeight", 1, 1e-3, dsp::FirRefusal::kNone},
    {"UsualWeight", 1, 10.0, dsp::FirRefusal::kNone},
};

TEST(RemezRefusal, BandWeightsMustBeFiniteAndPositive) {
    for (const WeightCase& c : kWeightCases) {
        SCOPED_TRACE(c.name);
        dsp::FirBands bands = LowPass();
        bands.weight[static_cast<size_t>(c.band)] = c.weight;
        const dsp::FirDesignResult result = dsp::RemezDesign(31, bands);
        EXPECT_EQ(result.refusal, c.refusal);
        if (c.refusal == dsp::FirRefusal::kNone) {
            EXPECT_TRUE(result.Ok());
            EXPECT_EQ(result.taps.size(), 31u);
            EXPECT_GT(result.gridSize, 0);
        } else {
            EXPECT_FALSE(result.Ok());
            EXPECT_TRUE(result.taps.empty());
            EXPECT_EQ(result.gridSize, 0);
            EXPECT_EQ(result.iterations, 0);
        }
    }
}

// A weight past the layout's bands means nothing and is not checked.
TEST(RemezRefusal, WeightsPastTheBandsAreIgnored) {
    dsp::FirBands bands = LowPass();
    bands.weight[2] = -1.0;
    const dsp::FirDesignResult result = dsp::RemezDesign(31, bands);
    EXPECT_EQ(result.refusal, dsp::FirRefusal::kNone);
    EXPECT_TRUE(result.Ok());
}

struct InputCase {
    const char* name;
    int taps;
    void (*change)(dsp::FirBands&);
    dsp::FirRefusal refusal;
};

const InputCase kInputCases[] = {
    {"OneTap", 1, [](dsp::FirBands&) {}, dsp::FirRefusal::kTapCount},
    {"TooManyTaps", dsp::kMaxRemezTaps + 1, [](dsp::FirBands&) {}, dsp::FirRefusal::kTapCount},
    {"NoBands", 31, [](dsp::FirBands& b) { b.nBands = 0; }, dsp::FirRefusal::kBandLayout},
    {"TooManyBands", 31, [](dsp::FirBands& b) { b.nBands = dsp::kMaxFirBands + 1; },
     dsp::FirRefusal::kBandLayout},
    {"EdgesDescending", 31, [](dsp::FirBands& b) { b.edges[2] = 0.1; },
     dsp::FirRefusal::kBandLayout},
    {"EdgeBeyondHalf", 31, [](dsp::FirBands& b) { b.edges[3] = 0.6; },
     dsp::FirRefusal::kBandLayout},
    {"DesiredNaN", 31, [](dsp::FirBands& b) { b.desired[0] = kNaN; }, dsp::FirRefusal::kBandLayout},
    // A layout fault is named before a weight fault of the same layout.
    {"LayoutBeforeWeight", 31,
     [](dsp::FirBands& b) {
         b.edges[1] = kNaN;
         b.weight[1] = 0.0;
     },
     dsp::FirRefusal::kBandLayout},
    // And the tap count before either.
    {"TapsBeforeWeight", 0, [](dsp::FirBands& b) { b.weight[1] = 0.0; },
     dsp::FirRefusal::kTapCount},
};

TEST(RemezRefusal, TapCountAndLayoutRefusalsNameTheirReason) {
    for (const InputCase& c : kInputCases) {
        SCOPED_TRACE(c.name);
        dsp::FirBands bands = LowPass();
        c.change(bands);
        const dsp::FirDesignResult result = dsp::RemezDesign(c.taps, bands);
        EXPECT_EQ(result.refusal, c.refusal);
        EXPECT_FALSE(result.Ok());
        EXPECT_TRUE(result.taps.empty());
    }
}

// The filter-type level passes RR on as the stop-band weight: an RR the dialogs would refuse
// never reaches a design.
TEST(RemezRefusal, RippleRatioIsTheStopBandWeight) {
    for (const double rr : {0.0, -5.0, kNaN, kInf}) {
        SCOPED_TRACE(rr);
        const dsp::FirDesign design =
            dsp::DesignFir({dsp::FirType::kLowPass, 1000.0, 200.0, 250.0, 0.0, 0.0, rr, 31});
        EXPECT_EQ(design.result.refusal, dsp::FirRefusal::kBandWeight);
        EXPECT_FALSE(design.result.Ok());
    }
    const dsp::FirDesign design =
        dsp::DesignFir({dsp::FirType::kLowPass, 1000.0, 200.0, 250.0, 0.0, 0.0, 10.0, 31});
    EXPECT_EQ(design.result.refusal, dsp::FirRefusal::kNone);
    EXPECT_TRUE(design.result.Ok());
}

} // namespace
