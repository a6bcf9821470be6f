// Frequency response: FIR and IIR gain/phase at the 360 points of the coefficients that leave the
// design (quantization and the multiplier applied), and the phase as the wrapped argument.
#include "dsp/Response.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "dsp/FilterCoefficients.h"

namespace {

// A flat response: every point has gain `gainDb` and phase `phase` (0, or pi for a negative
// gain: never -pi, which lies outside (-pi, pi]).
void ExpectFlat(const dsp::Response& r, double gainDb, double phase = 0.0) {
    for (size_t i = 0; i < dsp::kResponseUsed; ++i) {
        ASSERT_NEAR(r.gainDb[i], gainDb, 1e-12) << i;
        ASSERT_NEAR(r.phase[i], phase, 1e-15) << i;
    }
}

// One tap h[0]: the multiplier K scales it first, then quantization truncates K*h[0].
TEST(FirResponse, SingleTapGain) {
    struct Case {
        double h0;
        int mult;
        bool quantize;
        int bits;
        double gain; // linear, signed
    };
    const Case cases[] = {
        {1.0, 1, false, 16, 1.0},  {1.0, 2, false, 16, 2.0}, // +6.02 dB
        {0.3, 3, true, 4, 0.875},                            // Quantize(0.9), not 3 * 0.25
        {-0.3, 1, true, 4, -0.25},                           // toward zero
        {0.3, 1, false, 4, 0.3},                             // quantization off
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.h0 << " K " << c.mult << " q " << c.quantize);
        const std::vector<double> h = {c.h0, 0.7}; // h[1] past N = 1: not part of the filter
        const dsp::FilterCoefficients value =
            dsp::FirCoefficients(h, 1, 1, c.mult, c.quantize, c.bits);
        ExpectFlat(dsp::FirResponse(value.DesignedTaps()), 20.0 * std::log10(std::fabs(c.gain)),
                   c.gain < 0.0 ? std::numbers::pi : 0.0);
    }
}

// h = {1, 1}: H = 2 cos(w/2) e^(-jw/2), so the gain is 20 log10(|2 cos(w/2)|) and the phase -w/2,
// plus pi past w = pi where the cosine turns negative, at point i of w = i degrees + 0.001 rad.
TEST(FirResponse, TwoTapsAgainstTheClosedForm) {
    const std::vector<double> taps = {1.0, 1.0};
    const dsp::Response r = dsp::FirResponse(taps);
    for (const size_t i : {0u, 1u, 45u, 90u, 170u, 179u, 200u, 359u}) {
        const double w = static_cast<double>(i) * 0.017453292519943295 + 0.001;
        EXPECT_NEAR(r.gainDb[i], 20.0 * std::log10(std::fabs(2.0 * std::cos(w / 2.0))), 1e-9) << i;
        const double phase = -w / 2.0 + (std::cos(w / 2.0) < 0.0 ? std::numbers::pi : 0.0);
        EXPECT_NEAR(r.phase[i], phase, 1e-9) << i;
    }
    // No taps: no response at all, and the phase stays a number.
    const dsp::Response none = dsp::FirResponse({});
    EXPECT_TRUE(std::isinf(none.gainDb[10]));
    EXPECT_EQ(none.phase[10], 0.0);
}

// Pass-through sections fill the cascade: any section count gives a flat 0 dB.
TEST(IirResponse, PassThroughAndEmptyCascades) {
    for (int n : {0, 1, 8, 12, -3}) {
        SCOPED_TRACE(n);
        const dsp::FilterCoefficients value = dsp::IirCoefficients({}, n, false, 16);
        ExpectFlat(dsp::IirResponse(value.DesignedSections()), 0.0);
    }
}

TEST(IirResponse, QuantizedSections) {
    const std::vector<dsp::Section> two(2, dsp::Section{0.3, 0.0, 0.0, 0.0, 0.0});
    ExpectFlat(dsp::IirResponse(dsp::IirCoefficients(two, 2, false, 4).DesignedSections()),
               2 * 20.0 * std::log10(0.3));
    ExpectFlat(dsp::IirResponse(dsp::IirCoefficients(two, 2, true, 4).DesignedSections()),
               2 * 20.0 * std::log10(0.25));
}

// The summed section arguments are wrapped to (-pi, pi]: z^-1 adds -w per section,
// 1/(1 + z^-1) adds +w/2.
TEST(IirResponse, SummedArgumentsAreWrapped) {
    constexpr double kDegree = 0.017453292222222222;
    constexpr double kPi = std::numbers::pi;
    struct Case {
        double a0, a1, b1; // eight equal sections
        int point;
        double phase;
    };
    const Case cases[] = {
        {0.0, 1.0, 0.0, 10, -8 * (10 * kDegree + 0.001)},             // -1.40 as it is
        {0.0, 1.0, 0.0, 28, -8 * (28 * kDegree + 0.001) + 2 * kPi},   // -3.92 -> +2.37
        {0.0, 1.0, 0.0, 100, -8 * (100 * kDegree + 0.001) + 4 * kPi}, // -13.97 -> -1.41
        {1.0, 0.0, 1.0, 57, 4 * (57 * kDegree + 0.001) - 2 * kPi},    // +3.98 -> -2.30
        {1.0, 0.0, 1.0, 45, 4 * (45 * kDegree + 0.001) - 2 * kPi},    // 3.146 > pi -> -3.138
        {1.0, 0.0, 1.0, 44, 4 * (44 * kDegree + 0.001)},              // 3.076 stays
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.point);
        const std::vector<dsp::Section> eight(8, dsp::Section{c.a0, c.a1, 0.0, c.b1, 0.0});
        const double phase = dsp::IirResponse(eight).phase[static_cast<size_t>(c.point)];
        EXPECT_NEAR(phase, c.phase, 1e-9);
        EXPECT_GT(phase, -kPi);
        EXPECT_LE(phase, kPi);
    }
}

} // namespace
