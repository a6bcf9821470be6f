// IIR cascade design: prototype values, per-section gains and zeros of each type, pass-through
// sections, stability, the section-count guard, and the bit-length limits of the coefficients.
#include "dsp/Iir.h"

#include "dsp/FilterCoefficients.h"
#include "dsp/QuantRules.h"
#include "tests/support/DesignedFilters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

namespace {

constexpr int kLpf = support::kLowPass;
constexpr int kHpf = support::kHighPass;
constexpr int kBrf = support::kBandReject;
constexpr int kBpf = support::kBandPass;

using Complex = std::complex<double>;

// H_s(e^jw) of section s.
Complex SectionResponse(const dsp::IirCascade& c, size_t s, double w) {
    const Complex z1 = std::polar(1.0, -w);
    const Complex num = c.a0[s] + c.a1[s] * z1 + c.a2[s] * z1 * z1;
    const Complex den = 1.0 + c.b1[s] * z1 + c.b2[s] * z1 * z1;
    return num / den;
}

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

dsp::IirSpec ParamsOf(const IirCase& c) {
    return {c.type, c.n, c.rippleDb, 1000.0, c.fc1, c.fc2};
}

dsp::IirCascade Cascade(const IirCase& c) {
    dsp::IirCascade cascade;
    EXPECT_TRUE(dsp::DesignIirCascade(ParamsOf(c), cascade));
    return cascade;
}

TEST(IirDesign, PrototypeForOneDbRipple) {
    const dsp::IirCascade c = Cascade({kLpf, 1, 1.0, 200, 0});
    EXPECT_EQ(c.protoSections, 1);
    EXPECT_EQ(c.protoOrder, 2);
    EXPECT_NEAR(c.chebEps, 0.5088471, 1e-7);
    EXPECT_NEAR(c.chebV0, 0.7139877, 1e-7);
    EXPECT_NEAR(c.protoP1[0], 1.0977343, 1e-7);
    EXPECT_NEAR(c.protoP0[0], 1.1025103, 1e-7);
    // Only N0 is non-zero before the bilinear step, so the zeros sit at z = -1 twice.
    EXPECT_DOUBLE_EQ(c.a0[0], c.a2[0]);
    EXPECT_DOUBLE_EQ(c.a1[0], 2.0 * c.a0[0]);
}
// The steps one by one: the pre-warped edge maps back onto fc1 through the bilinear transform,
// and the analog LPF section has its DC gain 1 before the bilinear step.
TEST(IirDesign, StepsInTurn) {
    const dsp::IirSpec params{kLpf, 2, 0.5, 1000.0, 150.0, 300.0};
    dsp::IirCascade c;
    dsp::ChebyshevPrototype(params, c);
    EXPECT_EQ(c.protoSections, 2);
    dsp::PrewarpEdges(params, c);
    EXPECT_NEAR(std::atan(std::numbers::pi * c.warpFc1 / params.fs) * params.fs / std::numbers::pi,
                150.0, 1e-4);
    EXPECT_GT(c.warpFc1, 150.0);
    dsp::TransformSections(params, c);
    for (size_t j = 0; j < 2; ++j) {
        EXPECT_DOUBLE_EQ(c.anaGain[j] * c.anaNum0[j] / c.anaDen0[j], 1.0);
    }
    EXPECT_EQ(c.anaDen0[2], 0.0);
    dsp::BilinearSections(params, c);
    dsp::AssembleSections(params, c);
    EXPECT_EQ(c.a0[2], 1.0);
    EXPECT_NEAR((c.a0[0] + c.a1[0] + c.a2[0]) / (1.0 + c.b1[0] + c.b2[0]), 1.0, 1e-12);
}
// LPF sections have gain 1 at DC, HPF sections gain 1 at fs/2; BRF sections have their zero pair
// on the unit circle at the centre frequency, BPF sections zeros at DC and fs/2. Every section
// of every type is stable, and the sections past n are pass-through.
TEST(IirDesign, SectionsOfEachType) {
    for (const IirCase& c : kDesigns) {
        SCOPED_TRACE(testing::Message() << "type " << c.type << " n " << c.n);
        const dsp::IirCascade doc = Cascade(c);
        const double fs = 1000.0;
        // Centre of a band: where tan(pi f / fs) is the geometric mean of the edges' tangents.
        const double pi = std::numbers::pi;
        const double centre =
            2.0 * std::atan(std::sqrt(std::tan(pi * c.fc1 / fs) * std::tan(pi * c.fc2 / fs)));
        for (size_t s = 0; s < static_cast<size_t>(c.n); ++s) {
            SCOPED_TRACE(s);
            const double a0 = doc.a0[s], a1 = doc.a1[s], a2 = doc.a2[s];
            const double b1 = doc.b1[s], b2 = doc.b2[s];
            EXPECT_LT(std::fabs(b2), 1.0);
            EXPECT_LT(std::fabs(b1), 1.0 + b2);
            switch (c.type) {
            case kLpf:
                EXPECT_NEAR((a0 + a1 + a2) / (1.0 + b1 + b2), 1.0, 1e-12);
                break;
            case kHpf:
                EXPECT_NEAR((a0 - a1 + a2) / (1.0 - b1 + b2), 1.0, 1e-12);
                break;
            case kBrf:
                EXPECT_DOUBLE_EQ(a0, a2);
                EXPECT_LT(std::abs(SectionResponse(doc, s, centre)), 1e-6);
                break;
            default:
                EXPECT_EQ(a1, 0.0);
                EXPECT_DOUBLE_EQ(a0, -a2);
                EXPECT_LT(std::abs(SectionResponse(doc, s, 0.0)), 1e-15);
                EXPECT_LT(std::abs(SectionResponse(doc, s, pi)), 1e-12);
                break;
            }
        }
        for (size_t s = static_cast<size_t>(c.n); s < dsp::kIirMaxSections; ++s) {
            EXPECT_EQ(doc.a0[s], 1.0);
            EXPECT_EQ(doc.a1[s], 0.0);
            EXPECT_EQ(doc.a2[s], 0.0);
            EXPECT_EQ(doc.b1[s], 0.0);
            EXPECT_EQ(doc.b2[s], 0.0);
        }
    }
}
// A section count outside 1..8, an odd count for BRF/BPF, or an unknown type is refused before
// the cascade is touched.
TEST(IirDesign, UndesignableCountChangesNothing) {
    struct Refused {
        int type;
        int n;
    };
    const Refused cases[] = {{kLpf, 0}, {kLpf, 9}, {kHpf, -1}, {kBrf, 3},
                             {kBpf, 7}, {kBpf, 1}, {4, 2},     {kHpf, 1000}};
    for (const Refused& r : cases) {
        SCOPED_TRACE(testing::Message() << "type " << r.type << " n " << r.n);
        EXPECT_FALSE(dsp::IirSectionCountDesignable(r.type, r.n));
        dsp::IirCascade untouched;
        untouched.protoSections = -7;
        EXPECT_FALSE(dsp::DesignIirCascade({r.type, r.n, 1.0, 1000.0, 200.0, 300.0}, untouched));
        EXPECT_EQ(untouched.protoSections, -7);
    }
}
// Parameters the dialogs let through but that give no finite cascade are reported as such.
TEST(IirDesign, NonFiniteResultIsReported) {
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
        dsp::IirCascade c;
        EXPECT_FALSE(dsp::DesignIirCascade({b.type, 2, b.rippleDb, b.fs, b.fc1, b.fc2}, c));
    }
}
TEST(QuantBitsRule, LimitsOfTheCoefficientsDialog) {
    struct Check {
        bool iir;
        double largest; // put into b1 of section 0 (IIR) or tap 0 (FIR)
        int bits;
        const char* expected;
    };
    const char* const kExceeds = "Decrease the bits for Quantization!! (The integer exceeds the "
                                 "limit)";
    const char* const kIir24 = "In IIR design, the bit length of coefficients can not exceed 24!!";
    const Check checks[] = {
        {true, 0.5, 32, kExceeds}, // the pass-through a0 = 1 gives exactly 2^31
        {true, 0.5, 31, kIir24},   {true, 1.6, 24, nullptr},   {true, 1.6, 25, kIir24},
        {false, 0.9, 32, nullptr}, {false, 1.0, 32, kExceeds}, {false, 3.0, 31, kExceeds},
    };
    for (const Check& c : checks) {
        SCOPED_TRACE(testing::Message()
                     << (c.iir ? "IIR " : "FIR ") << c.largest << " B " << c.bits);
        // The value of the coefficients that leave the design: pass-through sections (IIR) or
        // one tap among zeros (FIR).
        std::vector<dsp::Section> sections(dsp::kCascadeSections, {1.0, 0.0, 0.0, 0.0, 0.0});
        sections[0][3] = c.largest;
        const std::vector<double> taps = {c.largest, 0.0, 0.0};
        const dsp::FilterCoefficients value = c.iir
                                                  ? dsp::IirCoefficients(sections, 2, false, 16)
                                                  : dsp::FirCoefficients(taps, 3, 3, 1, false, 16);
        design::Warning warning;
        EXPECT_EQ(coeffs::CheckQuantBits(coeffs::LargestQuantizedMagnitude(value), c.iir, c.bits,
                                         warning),
                  c.expected == nullptr);
        if (c.expected != nullptr) {
            EXPECT_EQ(warning.OneLine(), c.expected);
        }
    }
}
// The FIR value that is quantized is K * h: h = 0.6 fits 32 bits, 2 * 0.6 does not.
TEST(QuantBitsRule, TheMultiplierCounts) {
    const double h[] = {0.6, -0.2};
    for (const int multiplier : {1, 2}) {
        const dsp::FilterCoefficients c = dsp::FirCoefficients(h, 2, 2, multiplier, false, 32);
        EXPECT_DOUBLE_EQ(coeffs::LargestQuantizedMagnitude(c), 0.6 * multiplier);
        design::Warning warning;
        EXPECT_EQ(coeffs::CheckQuantBits(coeffs::LargestQuantizedMagnitude(c), false, 32, warning),
                  multiplier == 1);
    }
}

} // namespace
