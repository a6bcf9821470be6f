// Frequency response: FIR and IIR gain/phase at the 360 points, quantization and the multiplier,
// the phase as the wrapped argument, and the array entries that stay untouched.
#include "dsp/Response.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "app/OlvexDoc.h"

namespace {

constexpr double kSentinel = 12345.0;

void FillSentinel(COlvexDoc& doc) {
    for (int i = 0; i < COlvexDoc::kResponsePoints; ++i) {
        doc.m_aGainDb[i] = kSentinel;
        doc.m_aPhase[i] = kSentinel;
    }
}

void ExpectUntouchedTail(const COlvexDoc& doc) {
    for (int i = COlvexDoc::kResponseUsed; i < COlvexDoc::kResponsePoints; ++i) {
        ASSERT_EQ(doc.m_aGainDb[i], kSentinel) << i;
        ASSERT_EQ(doc.m_aPhase[i], kSentinel) << i;
    }
}

// A flat response: every point has gain `gainDb` and phase `phase` (0, or pi for a negative
// gain: never -pi, which lies outside (-pi, pi]).
void ExpectFlat(const COlvexDoc& doc, double gainDb, double phase = 0.0) {
    for (int i = 0; i < COlvexDoc::kResponseUsed; ++i) {
        ASSERT_NEAR(doc.m_aGainDb[i], gainDb, 1e-12) << i;
        ASSERT_NEAR(doc.m_aPhase[i], phase, 1e-15) << i;
    }
}

// One tap h[0]: the multiplier K scales it first, then quantization truncates K*h[0].
TEST(FirResponse, SingleTapGain) {
    struct Case {
        double h0;
        int mult;
        int quantize;
        int bits;
        double gain; // linear, signed
    };
    const Case cases[] = {
        {1.0, 1, 0, 16, 1.0},   {1.0, 2, 0, 16, 2.0}, // +6.02 dB
        {0.3, 3, 1, 4, 0.875},                        // Quantize(0.9), not 3 * Quantize(0.3) = 0.75
        {-0.3, 1, 1, 4, -0.25},                       // toward zero
        {0.3, 1, 0, 4, 0.3},                          // quantization off
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.h0 << " K " << c.mult << " q " << c.quantize);
        COlvexDoc doc;
        FillSentinel(doc);
        doc.m_nTaps = 1;
        doc.m_aFirCoeffs[0] = c.h0;
        doc.m_aFirCoeffs[1] = 0.7; // past N: not part of the filter
        doc.m_nCoeffMultiplier = c.mult;
        doc.m_bQuantize = c.quantize;
        doc.m_nQuantBits = c.bits;
        doc.FirResponse();
        ExpectFlat(doc, 20.0 * std::log10(std::fabs(c.gain)),
                   c.gain < 0.0 ? std::numbers::pi : 0.0);
        ExpectUntouchedTail(doc);
    }
}

TEST(FirResponse, TapCountBeyondTheArrayIsBounded) {
    COlvexDoc doc;
    doc.m_nTaps = 100000;
    doc.m_aFirCoeffs[0] = 1.0;
    doc.FirResponse();
    ExpectFlat(doc, 0.0);
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

// Sections: pass-through, z^-1 (phase -w each), 1/(1 + z^-1) (phase +w/2 each).
void SetSections(COlvexDoc& doc, int n, double a0, double a1, double b1) {
    doc.m_nIirSections = n;
    for (int s = 0; s < n; ++s) {
        doc.m_aA0[s] = a0;
        doc.m_aA1[s] = a1;
        doc.m_aB1[s] = b1;
    }
}

TEST(IirResponse, PassThroughAndEmptyCascades) {
    for (int n : {0, 1, 8, 12, -3}) {
        SCOPED_TRACE(n);
        COlvexDoc doc;
        FillSentinel(doc);
        doc.m_nIirSections = n; // counts outside 0..8 use the eight stored sections at most
        doc.IirResponse();
        ExpectFlat(doc, 0.0);
        ExpectUntouchedTail(doc);
    }
}

TEST(IirResponse, QuantizedSectionsAndNoMultiplier) {
    COlvexDoc doc;
    SetSections(doc, 2, 0.3, 0.0, 0.0);
    doc.m_nCoeffMultiplier = 4; // FIR only
    doc.IirResponse();
    ExpectFlat(doc, 2 * 20.0 * std::log10(0.3));
    doc.m_bQuantize = 1;
    doc.m_nQuantBits = 4;
    doc.IirResponse();
    ExpectFlat(doc, 2 * 20.0 * std::log10(0.25));
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
        EXPECT_NEAR(dsp::IirResponse(eight).phase[static_cast<size_t>(c.point)], c.phase, 1e-9);
        COlvexDoc doc;
        SetSections(doc, 8, c.a0, c.a1, c.b1);
        doc.IirResponse();
        EXPECT_NEAR(doc.m_aPhase[c.point], c.phase, 1e-9);
        EXPECT_GT(doc.m_aPhase[c.point], -kPi);
        EXPECT_LE(doc.m_aPhase[c.point], kPi);
    }
}

} // namespace
