// Remez designs that are not a filter type's layout: Hilbert transformers and differentiators
// (antisymmetric taps, odd and even counts) and multiband layouts, against taps scipy's remez
// designs for the same layouts (grid density 16); the shape of their responses; and what the
// exchange refuses of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "dsp/FirDesign.h"

namespace {

struct ReferenceCase {
    const char* name;
    dsp::FirKind kind;
    int taps;
    int bands;
    std::vector<double> edges, desired, weights;
    std::vector<double> firstHalf; // scipy's h[0 .. (N-1)/2]
};

// scipy.signal.remez(N, edges, desired, weight=weights, type=..., fs=1).
const ReferenceCase kReferenceCases[] = {
    {"Hilbert11",
     dsp::FirKind::kHilbert,
     11,
     1,
     {0.05, 0.45},
     {1.0},
     {1.0},
     {0.10750001709735114, 8.6039919249164708e-17, 0.18301341833056073, -6.1391675676251274e-17,
      0.62638790942458977, 0}},
    {"Hilbert12",
     dsp::FirKind::kHilbert,
     12,
     1,
     {0.05, 0.5},
     {1.0},
     {1.0},
     {0.065672250311457125, 0.050671218831252821, 0.074622069190192417, 0.11525591184595974,
      0.20474249136160688, 0.6341640089579903}},
    {"Differentiator11",
     dsp::FirKind::kDifferentiator,
     11,
     1,
     {0, 0.4},
     {1.0},
     {1.0},
     {0.0062339841082679976, -0.017837530927920571, 0.03381293997305769, -0.06553932538546875,
      0.15176015886627919, 0}},
    {"Differentiator12",
     dsp::FirKind::kDifferentiator,
     12,
     1,
     {0, 0.5},
     {1.0},
     {1.0},
     {-0.0023362363729013151, 0.0041693397311008129, -0.0046319666264866607, 0.0084167083486775575,
      -0.022768911566189536, 0.20287268341708481}},
    {"DifferentiatorWithStopBand",
     dsp::FirKind::kDifferentiator,
     15,
     2,
     {0, 0.2, 0.3, 0.5},
     {1.0, 0.0},
     {1.0, 10.0},
     {-0.00021579125639387559, 0.0074762192592491361, -0.0011482628119654568, -0.016121136293027579,
      -0.0036784410788217102, 0.037473366789984454, 0.048494428827002597, 0}},
    {"Multiband15",
     dsp::FirKind::kMultiband,
     15,
     3,
     {0, 0.1, 0.15, 0.25, 0.3, 0.5},
     {1.0, 0.0, 0.5},
     {1.0, 10.0, 2.0},
     {-0.056285977085901322, 0.026786193757886941, -0.023063916276548024, 0.02149849123212683,
      0.16365315670799246, 0.21725838663191097, 0.084192567723532535, 0.47988884317060243}},
    {"Multiband16",
     dsp::FirKind::kMultiband,
     16,
     4,
     {0, 0.08, 0.13, 0.2, 0.26, 0.33, 0.38, 0.5},
     {0.0, 1.0, 0.0, 0.5},
     {3.0, 1.0, 3.0, 1.0},
     {-0.074141437120600243, 0.071390065626003599, 0.045720988140502308, 0.11423086489527236,
      -0.24890900799452323, -0.10999983720719447, -0.09698652213909309, 0.2453110407315256}},
};

dsp::FirBands BandsOf(const ReferenceCase& c) {
    dsp::FirBands bands;
    bands.nBands = c.bands;
    std::copy(c.edges.begin(), c.edges.end(), bands.edges.begin());
    std::copy(c.desired.begin(), c.desired.end(), bands.desired.begin());
    std::copy(c.weights.begin(), c.weights.end(), bands.weight.begin());
    return bands;
}

// The zero-phase amplitude of the taps at f (fraction of fs): a cosine sum for symmetric taps, a
// sine sum for antisymmetric ones.
double Amplitude(const std::vector<double>& h, double f, bool antisymmetric) {
    const double middle = (static_cast<double>(h.size()) - 1.0) / 2.0;
    double sum = 0.0;
    for (size_t n = 0; n < h.size(); ++n) {
        const double angle = 2.0 * std::numbers::pi * f * (middle - static_cast<double>(n));
        sum += h[n] * (antisymmetric ? std::sin(angle) : std::cos(angle));
    }
    return sum;
}

// The largest weighted error of the taps over 4001 points per band (a differentiator's slope
// band weighted by 1/f), kept a grid step off the frequencies where the response of the kind is
// forced to 0 (DC for antisymmetric taps, half of fs for odd antisymmetric or even symmetric).
double WeightedError(const std::vector<double>& h, const ReferenceCase& c) {
    const bool antisymmetric = dsp::IsAntisymmetric(c.kind);
    const int n = static_cast<int>(h.size());
    const int r = n / 2 + (n % 2 != 0 && !antisymmetric ? 1 : 0);
    const double step = 0.5 / (16.0 * r);
    double worst = 0.0;
    for (int b = 0; b < c.bands; ++b) {
        double lo = c.edges[2 * b];
        double hi = c.edges[2 * b + 1];
        lo = antisymmetric ? std::max(lo, step) : lo;
        if ((n % 2 != 0) == antisymmetric && hi > 0.5 - step) {
            // The grid's last point there: the band's last step below half of fs less a step.
            hi = lo + std::floor((0.5 - step - lo) / step) * step;
        }
        const bool slope = c.kind == dsp::FirKind::kDifferentiator && c.desired[b] >= 1e-4;
        for (int k = 0; k <= 4000; ++k) {
            const double f = lo + (hi - lo) * k / 4000.0;
            const double desired =
                c.kind == dsp::FirKind::kDifferentiator ? c.desired[b] * f : c.desired[b];
            const double weight = slope ? c.weights[b] / f : c.weights[b];
            worst = std::max(worst, weight * std::fabs(Amplitude(h, f, antisymmetric) - desired));
        }
    }
    return worst;
}

class RemezKindReference : public testing::TestWithParam<ReferenceCase> {};

// scipy's taps are the optimum of the dense grid; the design goes on to the optimum of the bands,
// a step away: its taps stay near scipy's, and its largest error is no larger.
TEST_P(RemezKindReference, TapsAtLeastAsGoodAsScipyAndKeepTheirSymmetry) {
    const ReferenceCase& c = GetParam();
    const dsp::FirDesignResult result = dsp::RemezDesign(c.taps, BandsOf(c), c.kind);
    ASSERT_EQ(result.verdict, dsp::FirVerdict::kOptimum);
    ASSERT_EQ(result.taps.size(), static_cast<size_t>(c.taps));
    double largest = 0.0;
    for (double h : c.firstHalf) {
        largest = std::max(largest, std::fabs(h));
    }
    const double sign = dsp::IsAntisymmetric(c.kind) ? -1.0 : 1.0;
    std::vector<double> scipy(result.taps.size());
    for (size_t n = 0; n < c.firstHalf.size(); ++n) {
        scipy[n] = c.firstHalf[n];
        scipy[scipy.size() - 1 - n] =
            scipy.size() - 1 - n == n ? c.firstHalf[n] : sign * c.firstHalf[n];
    }
    EXPECT_LE(WeightedError(result.taps, c), WeightedError(scipy, c) * (1.0 + 1e-9));
    for (size_t n = 0; n < c.firstHalf.size(); ++n) {
        EXPECT_NEAR(result.taps[n], c.firstHalf[n], 0.02 * largest) << "h[" << n << "]";
        const size_t mirror = result.taps.size() - 1 - n;
        if (mirror != n) {
            // Symmetric taps are sampled one by one, so their mirror images agree to rounding.
            EXPECT_NEAR(result.taps[mirror], sign * result.taps[n], 1e-12 * largest)
                << "h[" << mirror << "]";
        }
    }
    if (dsp::IsAntisymmetric(c.kind) && c.taps % 2 != 0) {
        EXPECT_EQ(result.taps[static_cast<size_t>(c.taps / 2)], 0.0);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, RemezKindReference, testing::ValuesIn(kReferenceCases),
                         [](const testing::TestParamInfo<ReferenceCase>& info) {
                             return std::string(info.param.name);
                         });

// The responses do what the kinds are for, across odd and even counts: a Hilbert transformer
// holds gain 1 over its band within the design's own ripple; a differentiator's amplitude is f
// within its weighted ripple times f.
struct ShapeCase {
    const char* name;
    dsp::FirKind kind;
    int taps;
    double lo, hi;
};

const ShapeCase kShapeCases[] = {
    {"Hilbert31", dsp::FirKind::kHilbert, 31, 0.05, 0.45},
    {"Hilbert30", dsp::FirKind::kHilbert, 30, 0.04, 0.5},
    {"Hilbert101", dsp::FirKind::kHilbert, 101, 0.03, 0.47},
    {"Differentiator21", dsp::FirKind::kDifferentiator, 21, 0.0, 0.4},
    {"Differentiator40", dsp::FirKind::kDifferentiator, 40, 0.0, 0.5},
};

class RemezKindShape : public testing::TestWithParam<ShapeCase> {};

TEST_P(RemezKindShape, ResponseFollowsTheKind) {
    const ShapeCase& c = GetParam();
    dsp::FirBands bands;
    bands.nBands = 1;
    bands.edges[0] = c.lo;
    bands.edges[1] = c.hi;
    bands.desired[0] = 1.0;
    bands.weight[0] = 1.0;
    const dsp::FirDesignResult result = dsp::RemezDesign(c.taps, bands, c.kind);
    ASSERT_EQ(result.verdict, dsp::FirVerdict::kOptimum);
    const bool differentiator = c.kind == dsp::FirKind::kDifferentiator;
    // The grid keeps a step off DC (and off fs/2 for odd counts); the check does the same.
    const double step = 0.5 / (16.0 * (c.taps / 2));
    const double lo = std::max(c.lo, step);
    const double hi = c.taps % 2 != 0 ? std::min(c.hi, 0.5 - step) : c.hi;
    // A fine grid between the dense grid's points may exceed the level by a little.
    const double allowed = result.achievedRipple * 1.05;
    for (int i = 0; i <= 400; ++i) {
        const double f = lo + (hi - lo) * i / 400.0;
        const double a = Amplitude(result.taps, f, true);
        const double desired = differentiator ? f : 1.0;
        const double weight = differentiator ? 1.0 / f : 1.0;
        ASSERT_LE(weight * std::fabs(a - desired), allowed) << "f = " << f;
    }
    EXPECT_LT(result.achievedRipple, 0.05);
}

INSTANTIATE_TEST_SUITE_P(Kinds, RemezKindShape, testing::ValuesIn(kShapeCases),
                         [](const testing::TestParamInfo<ShapeCase>& info) {
                             return std::string(info.param.name);
                         });

// Eight bands design; a ninth, a zero weight or descending edges are refused, for every kind.
TEST(RemezKinds, LayoutLimitsHoldForEveryKind) {
    dsp::FirBands eight;
    eight.nBands = 8;
    for (int b = 0; b < 8; ++b) {
        eight.edges[static_cast<size_t>(2 * b)] = b * 0.0625;
        eight.edges[static_cast<size_t>(2 * b + 1)] = b * 0.0625 + 0.04;
        eight.desired[static_cast<size_t>(b)] = b % 2 == 0 ? 1.0 : 0.0;
        eight.weight[static_cast<size_t>(b)] = 1.0;
    }
    eight.edges[15] = 0.5;
    const dsp::FirDesignResult designed = dsp::RemezDesign(61, eight, dsp::FirKind::kMultiband);
    EXPECT_TRUE(designed.Ok());
    EXPECT_EQ(designed.refusal, dsp::FirRefusal::kNone);

    for (dsp::FirKind kind :
         {dsp::FirKind::kHilbert, dsp::FirKind::kDifferentiator, dsp::FirKind::kMultiband}) {
        dsp::FirBands nine = eight;
        nine.nBands = 9;
        EXPECT_EQ(dsp::RemezDesign(31, nine, kind).refusal, dsp::FirRefusal::kBandLayout);
        dsp::FirBands zero = eight;
        zero.weight[3] = 0.0;
        EXPECT_EQ(dsp::RemezDesign(31, zero, kind).refusal, dsp::FirRefusal::kBandWeight);
        dsp::FirBands descending = eight;
        descending.edges[4] = 0.01;
        const dsp::FirDesignResult refused = dsp::RemezDesign(31, descending, kind);
        EXPECT_EQ(refused.refusal, dsp::FirRefusal::kBandLayout);
        EXPECT_TRUE(refused.taps.empty());
        EXPECT_FALSE(refused.Ok());
        EXPECT_EQ(dsp::RemezDesign(1, eight, kind).refusal, dsp::FirRefusal::kTapCount);
    }
}

// A Hilbert transformer whose optimum lies far below double precision levels on rounding: the
// design fails rather than passing its taps off as the optimum.
TEST(RemezKinds, HilbertBeyondPrecisionFails) {
    dsp::FirBands bands;
    bands.nBands = 1;
    bands.edges[0] = 0.1;
    bands.edges[1] = 0.4;
    bands.desired[0] = 1.0;
    bands.weight[0] = 1.0;
    const dsp::FirDesign design = dsp::DesignFirBands(151, bands, dsp::FirKind::kHilbert);
    EXPECT_EQ(design.result.verdict, dsp::FirVerdict::kFailed);
    for (double h : design.result.taps) {
        ASSERT_TRUE(std::isfinite(h));
    }
}

// The filter types' designs stay the ones of the layout's own path.
TEST(RemezKinds, FilterTypeKindIsTheTypeDesign) {
    const dsp::FirBands lowPass =
        dsp::FirBandLayout(dsp::FirType::kLowPass, 1000.0, 200.0, 250.0, 0.0, 0.0, 10.0);
    const dsp::FirDesignResult plain = dsp::RemezDesign(31, lowPass);
    const dsp::FirDesignResult kind = dsp::RemezDesign(31, lowPass, dsp::FirKind::kFilterType);
    EXPECT_EQ(plain.taps, kind.taps);
    EXPECT_EQ(plain.iterations, kind.iterations);
}

} // namespace
