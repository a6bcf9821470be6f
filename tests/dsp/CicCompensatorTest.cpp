// The shaped Remez exchange and the CIC droop compensator built on it.
#include "dsp/Cic.h"
#include "dsp/FirDesign.h"
#include "dsp/RemezArbitrary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

// Largest weighted error of symmetric taps over the two bands of a low pass, on 20001 points per
// band and its edges.
double LowPassError(const std::vector<double>& h, double pass, double stop, double stopWeight) {
    const double centre = 0.5 * (static_cast<double>(h.size()) - 1.0);
    auto amplitude = [&](double f) {
        double a = 0.0;
        for (size_t k = 0; k < h.size(); ++k) {
            a += h[k] * std::cos(2.0 * std::numbers::pi * f * (static_cast<double>(k) - centre));
        }
        return a;
    };
    double worst = 0.0;
    for (int i = 0; i <= 20000; ++i) {
        worst = std::max(worst, std::fabs(1.0 - amplitude(pass * i / 20000.0)));
        const double f = stop + (0.5 - stop) * i / 20000.0;
        worst = std::max(worst, stopWeight * std::fabs(amplitude(f)));
    }
    return worst;
}

// With constant shapes the shaped exchange is the ordinary one on its grid: its level there is
// no higher than the ordinary design's, which follows the extrema off the grid to the optimum of
// the bands, and on the bands themselves its taps do no better than that optimum.
TEST(RemezShaped, ConstantShapesMatchTheOrdinaryDesign) {
    struct Row {
        int taps;
        double pass, stop, stopWeight;
    };
    const Row rows[] = {{31, 0.2, 0.3, 1.0}, {40, 0.1, 0.18, 10.0}, {67, 0.3, 0.33, 2.0}};
    for (const Row& r : rows) {
        dsp::FirBands bands;
        bands.nBands = 2;
        bands.edges = {0.0, r.pass, r.stop, 0.5};
        bands.desired = {1.0, 0.0};
        bands.weight = {1.0, r.stopWeight};
        const dsp::FirDesignResult plain = dsp::RemezDesign(r.taps, bands);
        const dsp::FirDesignResult shaped = dsp::RemezDesignShaped(
            r.taps, bands, [](int band, double) { return band == 0 ? 1.0 : 0.0; },
            [&r](int band, double) { return band == 0 ? 1.0 : r.stopWeight; });
        ASSERT_TRUE(plain.Ok());
        ASSERT_TRUE(shaped.Ok()) << r.taps;
        EXPECT_LE(shaped.achievedRipple, plain.achievedRipple * (1.0 + 1e-9)) << r.taps;
        const double shapedOnBands = LowPassError(shaped.taps, r.pass, r.stop, r.stopWeight);
        const double plainOnBands = LowPassError(plain.taps, r.pass, r.stop, r.stopWeight);
        EXPECT_LE(plainOnBands, shapedOnBands * (1.0 + 1e-9)) << r.taps;
        // The grid's optimum lies a few per cent above that of the bands at most.
        EXPECT_LE(shapedOnBands, plainOnBands * 1.05) << r.taps;
        ASSERT_EQ(shaped.taps.size(), plain.taps.size());
        for (size_t k = 0; k < plain.taps.size(); ++k) {
            EXPECT_NEAR(shaped.taps[k], plain.taps[k], 0.01 * plain.achievedRipple)
                << r.taps << " " << k;
        }
    }
}

TEST(RemezShaped, RefusesUnusableShapes) {
    dsp::FirBands bands;
    bands.nBands = 2;
    bands.edges = {0.0, 0.2, 0.3, 0.5};
    const auto one = [](int, double) { return 1.0; };
    const auto zero = [](int, double) { return 0.0; };
    const auto nan = [](int, double) { return std::nan(""); };
    EXPECT_FALSE(dsp::RemezDesignShaped(31, bands, one, zero).Ok());
    EXPECT_FALSE(dsp::RemezDesignShaped(31, bands, nan, one).Ok());
    EXPECT_FALSE(dsp::RemezDesignShaped(1, bands, one, one).Ok());
    bands.edges = {0.0, 0.3, 0.2, 0.5};
    EXPECT_FALSE(dsp::RemezDesignShaped(31, bands, one, one).Ok());
}

// The cascade of CIC and compensator is flat within the compensator's ripple, flatter than the
// CIC alone, and the compensator rises over the pass band as the droop deepens.
TEST(CicCompensator, CascadeIsFlatWithinTheRipple) {
    struct Row {
        bool interpolate;
        int stages, rate, delay, taps;
        double pass, stop;
    };
    const Row rows[] = {
        {false, 4, 32, 1, 31, 0.2, 0.3},
        {false, 3, 8, 2, 40, 0.15, 0.3},
        {true, 5, 16, 1, 21, 0.1, 0.25},
        {false, 8, 1024, 2, 63, 0.2, 0.3},
    };
    for (const Row& r : rows) {
        const dsp::CicParams cic{r.interpolate, r.stages, r.rate, r.delay, 16};
        const dsp::CicCompensator c = dsp::DesignCicCompensator(cic, {r.taps, r.pass, r.stop});
        ASSERT_EQ(c.error, "") << r.taps;
        ASSERT_EQ(c.taps.size(), static_cast<size_t>(r.taps));
        for (size_t k = 0; k < c.taps.size(); ++k) {
            EXPECT_DOUBLE_EQ(c.taps[k], c.taps[c.taps.size() - 1 - k]);
        }
        EXPECT_LE(c.cascadeDeviation, c.ripple);
        const double droop = 1.0 - dsp::CicMagnitude(cic, r.pass / r.rate);
        EXPECT_LT(c.cascadeDeviation, droop / 4) << r.taps;
        EXPECT_NEAR(c.droopDb, 20 * std::log10(1.0 - droop), 1e-9);
        EXPECT_GT(dsp::FirMagnitude(c.taps, r.pass), dsp::FirMagnitude(c.taps, 0.0));
        EXPECT_GT(c.stopAttenuationDb, 20.0);
    }
}

TEST(CicCompensator, RefusesUnusableParameters) {
    const dsp::CicParams cic{false, 4, 16, 1, 16};
    const dsp::CicCompensatorParams bad[] = {
        {3, 0.2, 0.3}, {381, 0.2, 0.3}, {31, 0.3, 0.2}, {31, 0.0, 0.3}, {31, 0.2, 0.5},
    };
    for (const dsp::CicCompensatorParams& p : bad) {
        EXPECT_NE(dsp::CicCompensatorRangeError(cic, p), "") << p.taps;
        EXPECT_TRUE(dsp::DesignCicCompensator(cic, p).taps.empty());
    }
    // Droop beyond 40 dB at the pass-band edge: 8 stages with delay 2 near half the low rate.
    const dsp::CicParams deep{false, 8, 2, 2, 16};
    EXPECT_NE(dsp::CicCompensatorRangeError(deep, {31, 0.45, 0.48}), "");
}

} // namespace
