// The exact half-band low pass: the zero taps and the centre hold exactly, the two ripples are
// equal and mirrored about fs/4, and the counts and edges it cannot take are refused.
#include "dsp/FirMethods.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

namespace {

double Amplitude(const std::vector<double>& h, double f) {
    const double centre = 0.5 * (static_cast<double>(h.size()) - 1.0);
    double a = 0.0;
    for (size_t k = 0; k < h.size(); ++k) {
        a += h[k] * std::cos(2.0 * std::numbers::pi * f * (static_cast<double>(k) - centre));
    }
    return a;
}

// The largest deviation from `desired` over [f0, f1] on a dense grid.
double Deviation(const std::vector<double>& h, double f0, double f1, double desired) {
    double worst = 0.0;
    for (int i = 0; i <= 4000; ++i) {
        const double f = f0 + (f1 - f0) * i / 4000.0;
        worst = std::max(worst, std::fabs(Amplitude(h, f) - desired));
    }
    return worst;
}

struct HalfbandCase {
    int taps;
    double passEdge;
};

class HalfbandShape : public testing::TestWithParam<HalfbandCase> {};

TEST_P(HalfbandShape, ExactZerosCentreAndEqualMirroredRipples) {
    const HalfbandCase c = GetParam();
    const dsp::FirDesignResult r = dsp::HalfbandTaps(c.taps, c.passEdge);
    ASSERT_TRUE(r.Ok());
    ASSERT_EQ(r.taps.size(), static_cast<size_t>(c.taps));
    const int centre = c.taps / 2;
    EXPECT_EQ(r.taps[static_cast<size_t>(centre)], 0.5);
    for (int k = 0; k < c.taps; ++k) {
        if (k != centre && (k - centre) % 2 == 0) {
            EXPECT_EQ(r.taps[static_cast<size_t>(k)], 0.0) << "tap " << k;
        }
        EXPECT_EQ(r.taps[static_cast<size_t>(k)], r.taps[static_cast<size_t>(c.taps - 1 - k)]);
    }
    // H(f) + H(1/2 - f) = 1 for every f: the pass deviation mirrors the stop deviation.
    for (double f : {0.0, 0.3 * c.passEdge, c.passEdge, 0.2}) {
        EXPECT_NEAR(Amplitude(r.taps, f) + Amplitude(r.taps, 0.5 - f), 1.0, 1e-12) << f;
    }
    const double pass = Deviation(r.taps, 0.0, c.passEdge, 1.0);
    const double stop = Deviation(r.taps, 0.5 - c.passEdge, 0.5, 0.0);
    EXPECT_NEAR(pass, stop, 1e-9 + 1e-6 * pass);
    // Equiripple at the optimum of the band itself: the reported level is the peak of the
    // error, which the 4001 points above sample a little below at hundreds of taps.
    EXPECT_GE(pass, r.targetRipple * 0.99);
    EXPECT_LE(pass, r.targetRipple * (1.0 + 1e-6) + 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Counts, HalfbandShape,
                         testing::Values(HalfbandCase{7, 0.1}, HalfbandCase{11, 0.2},
                                         HalfbandCase{31, 0.2}, HalfbandCase{63, 0.22},
                                         HalfbandCase{151, 0.24}, HalfbandCase{379, 0.24}),
                         [](const testing::TestParamInfo<HalfbandCase>& info) {
                             return "Taps" + std::to_string(info.param.taps);
                         });

TEST(Halfband, MoreTapsLessRipple) {
    double last = 1.0;
    for (int taps : {7, 11, 19, 35, 67}) {
        const dsp::FirDesignResult r = dsp::HalfbandTaps(taps, 0.2);
        ASSERT_TRUE(r.Ok()) << taps;
        const double pass = Deviation(r.taps, 0.0, 0.2, 1.0);
        EXPECT_LT(pass, last) << taps;
        last = pass;
    }
}

TEST(Halfband, RefusesCountsAndEdgesItCannotTake) {
    struct Refused {
        int taps;
        double passEdge;
        dsp::FirRefusal why;
    };
    for (const Refused& c :
         {Refused{9, 0.1, dsp::FirRefusal::kTapCount}, Refused{3, 0.1, dsp::FirRefusal::kTapCount},
          Refused{8, 0.1, dsp::FirRefusal::kTapCount},
          Refused{dsp::kMaxRemezTaps + 4, 0.1, dsp::FirRefusal::kTapCount},
          Refused{11, 0.25, dsp::FirRefusal::kBandLayout},
          Refused{11, 0.0, dsp::FirRefusal::kBandLayout},
          Refused{11, std::nan(""), dsp::FirRefusal::kBandLayout}}) {
        dsp::FirRefusal why = dsp::FirRefusal::kNone;
        const dsp::FirDesignResult r = dsp::HalfbandTaps(c.taps, c.passEdge, &why);
        EXPECT_FALSE(r.Ok()) << c.taps << " " << c.passEdge;
        EXPECT_TRUE(r.taps.empty());
        EXPECT_EQ(why, c.why) << c.taps << " " << c.passEdge;
    }
}

// Through the method dispatch the stop edge is the mirror of the pass edge, whatever fc2 says.
TEST(Halfband, MethodDispatchMirrorsTheStopEdge) {
    dsp::FirSpecification params;
    params.fs = 48000.0;
    params.fc1 = 9000.0;
    params.fc2 = 10000.0;
    params.nTaps = 23;
    const dsp::FirDesign d = dsp::DesignFirByMethod(params, dsp::kFirHalfband, 0.0);
    ASSERT_TRUE(d.result.Ok());
    EXPECT_DOUBLE_EQ(d.bands.edges[1], 9000.0 / 48000.0);
    EXPECT_DOUBLE_EQ(d.bands.edges[2], 0.5 - 9000.0 / 48000.0);
    EXPECT_EQ(d.result.taps, dsp::HalfbandTaps(23, 9000.0 / 48000.0).taps);
}

} // namespace
