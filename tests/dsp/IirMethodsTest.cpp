// Butterworth, Chebyshev II, elliptic and Bessel designs: the Jacobi functions against tabulated
// values, the prototypes' defining gains, the cascades' scaling, stability and pass-through, the
// refusals, and the minimum orders and cut-offs from requirements against reference values.
#include "dsp/IirMethods.h"
#include "dsp/Requirements.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string_view>
#include <vector>

namespace {

using dsp::ZComplex;

double Db(double x) {
    return 20.0 * std::log10(x);
}

double PrototypeGain(const dsp::Zpk& zpk, double w) {
    ZComplex h = zpk.gain;
    for (const ZComplex& z : zpk.zeros) {
        h *= ZComplex(0.0, w) - z;
    }
    for (const ZComplex& p : zpk.poles) {
        h /= ZComplex(0.0, w) - p;
    }
    return std::abs(h);
}

dsp::EllipticModulus Modulus(double k) {
    return {k, std::sqrt((1.0 - k) * (1.0 + k))};
}

TEST(EllipticFunctions, MatchTabulatedValues) {
    // K(m = 1/2), K with k' = 1e-8 (near the logarithmic limit), K of a small modulus
    EXPECT_NEAR(dsp::EllipticK(Modulus(std::sqrt(0.5))), 1.8540746773013719, 1e-14);
    EXPECT_NEAR(dsp::EllipticK({std::sqrt(1.0 - 1e-16), 1e-8}), 19.806975105072258, 1e-12);
    EXPECT_NEAR(dsp::EllipticK(Modulus(0.01)), 1.5708355989121523, 1e-14);
    // sn and cd at 0.3 K, m = 0.64
    const dsp::EllipticModulus m = Modulus(0.8);
    EXPECT_NEAR(dsp::EllipticSn(0.3, m).real(), 0.545907357981043, 1e-13);
    EXPECT_NEAR(dsp::EllipticCd(0.3, m).real(), 0.9313589873110871, 1e-13);
}

TEST(EllipticFunctions, ArcSnInvertsSn) {
    const struct {
        double k;
        ZComplex u;
    } cases[] = {{0.5, {0.3, 0.0}}, {0.9, {0.7, 0.2}}, {0.999, {0.2, -0.1}}, {1e-3, {0.6, 0.1}}};
    for (const auto& c : cases) {
        const ZComplex back = dsp::EllipticArcSn(dsp::EllipticSn(c.u, Modulus(c.k)), Modulus(c.k));
        EXPECT_NEAR(std::abs(back - c.u), 0.0, 1e-10) << "k " << c.k;
    }
}

// The degree equation: n K'/K = K1'/K1 for the modulus it returns.
TEST(EllipticFunctions, DegreeEquationHolds) {
    for (int n : {2, 3, 4, 7, 16}) {
        for (double k1 : {1e-2, 1e-4, 3e-6}) {
            const dsp::EllipticModulus k = dsp::EllipticDegree(n, Modulus(k1));
            const double lhs = n * dsp::EllipticK({k.kp, k.k}) / dsp::EllipticK(k);
            const double rhs = dsp::EllipticK({Modulus(k1).kp, k1}) / dsp::EllipticK(Modulus(k1));
            EXPECT_NEAR(lhs / rhs, 1.0, 1e-11) << "n " << n << " k1 " << k1;
        }
    }
}

// Each prototype's defining gains: the level at 1 rad/s, a pass band peaking at 0 dB, and the
// stop-band level of the equiripple designs.
TEST(IirPrototypes, DefiningGains) {
    const double ap = 0.7;
    const double as = 55.0;
    for (int n : {1, 2, 3, 4, 5, 8, 16}) {
        const struct {
            const char* name;
            dsp::Zpk zpk;
            double atOneDb;
        } cases[] = {
            {"butter", dsp::ButterworthPrototype(n), -10.0 * std::log10(2.0)},
            {"bessel", dsp::BesselPrototype(n), -10.0 * std::log10(2.0)},
            {"cheby2", dsp::ChebyshevTwoPrototype(n, as), -as},
            {"ellip", dsp::EllipticPrototype(n, ap, as), -ap},
        };
        for (const auto& c : cases) {
            ASSERT_EQ(static_cast<int>(c.zpk.poles.size()), n) << c.name;
            EXPECT_NEAR(Db(PrototypeGain(c.zpk, 1.0)), c.atOneDb, 1e-7) << c.name << " n " << n;
            // the stop band starts at 1 rad/s (Chebyshev II) or at 1/k of the degree equation
            double stopEdge = 1.0;
            if (std::string_view(c.name) == "ellip") {
                const double k1 = std::sqrt((std::pow(10.0, ap / 10.0) - 1.0) /
                                            (std::pow(10.0, as / 10.0) - 1.0));
                stopEdge = 1.0 / dsp::EllipticDegree(n, Modulus(k1)).k;
                EXPECT_NEAR(Db(PrototypeGain(c.zpk, stopEdge)), -as, 1e-6) << "n " << n;
            }
            double peak = 0.0;
            double stopPeak = 0.0;
            for (int i = 0; i <= 20000; ++i) {
                peak = std::max(peak, PrototypeGain(c.zpk, 3.0 * i / 20000.0));
                stopPeak = std::max(stopPeak, PrototypeGain(c.zpk, stopEdge * (1.0 + i / 100.0)));
            }
            EXPECT_NEAR(Db(peak), 0.0, 1e-6) << c.name << " n " << n;
            for (const ZComplex& p : c.zpk.poles) {
                EXPECT_LT(p.real(), 0.0) << c.name << " n " << n;
            }
            if (std::string_view(c.name) == "cheby2" || std::string_view(c.name) == "ellip") {
                EXPECT_NEAR(Db(stopPeak), -as, 1e-6) << c.name << " n " << n;
            }
        }
    }
}

struct MethodCase {
    int method;
    int type;
    int sections;
    double fc1, fc2;
};

const MethodCase kCases[] = {
    {dsp::kIirButter, dsp::kIirLpf, 1, 200, 0},   {dsp::kIirButter, dsp::kIirHpf, 8, 60, 0},
    {dsp::kIirButter, dsp::kIirBpf, 4, 200, 300}, {dsp::kIirCheby2, dsp::kIirLpf, 5, 120, 0},
    {dsp::kIirCheby2, dsp::kIirBrf, 8, 150, 320}, {dsp::kIirCheby2, dsp::kIirHpf, 3, 400, 0},
    {dsp::kIirEllip, dsp::kIirLpf, 8, 30, 0},     {dsp::kIirEllip, dsp::kIirBpf, 8, 240, 260},
    {dsp::kIirEllip, dsp::kIirBrf, 2, 100, 400},  {dsp::kIirEllip, dsp::kIirHpf, 2, 450, 0},
    {dsp::kIirBessel, dsp::kIirLpf, 8, 100, 0},   {dsp::kIirBessel, dsp::kIirBpf, 6, 50, 400},
};

dsp::IirSpec SpecOf(const MethodCase& c) {
    dsp::IirSpec s;
    s.type = c.type;
    s.sections = c.sections;
    s.rippleDb = 0.5;
    s.attenDb = 60.0;
    s.fs = 1000.0;
    s.fc1 = c.fc1;
    s.fc2 = c.fc2;
    s.method = c.method;
    return s;
}

// The gain from the input to every section's output peaks at 1 at most and the whole cascade
// at exactly 1 (the pass band's 0 dB); every pole inside the unit circle; the sections past n
// pass the signal through.
TEST(IirMethodCascades, ScaledStableAndPassThrough) {
    for (const MethodCase& c : kCases) {
        dsp::IirCascade cascade;
        ASSERT_TRUE(dsp::DesignIirCascade(SpecOf(c), cascade)) << dsp::IirMethodName(c.method);
        for (int j = 1; j <= c.sections; ++j) {
            const double peak = dsp::CascadePeakGain(cascade, j);
            if (j < c.sections) {
                EXPECT_LE(peak, 1.0 + 1e-9) << dsp::IirMethodName(c.method) << " section " << j;
            } else {
                EXPECT_NEAR(peak, 1.0, 1e-6) << dsp::IirMethodName(c.method);
            }
        }
        for (size_t j = 0; j < static_cast<size_t>(dsp::kIirMaxSections); ++j) {
            if (static_cast<int>(j) < c.sections) {
                // |poles| < 1: b2 < 1 and |b1| < 1 + b2
                EXPECT_LT(cascade.b2[j], 1.0);
                EXPECT_LT(std::fabs(cascade.b1[j]), 1.0 + cascade.b2[j]);
            } else {
                EXPECT_EQ(cascade.a0[j], 1.0);
                EXPECT_EQ(cascade.a1[j], 0.0);
                EXPECT_EQ(cascade.b2[j], 0.0);
            }
        }
    }
}

// The pole pairs nearest the unit circle come last.
TEST(IirMethodCascades, SectionsOrderedByPoleRadius) {
    for (const MethodCase& c : kCases) {
        dsp::IirCascade cascade;
        ASSERT_TRUE(dsp::DesignIirCascade(SpecOf(c), cascade));
        for (size_t j = 1; j < static_cast<size_t>(c.sections); ++j) {
            // b2 = r^2 of a complex pair
            EXPECT_LE(cascade.b2[j - 1], cascade.b2[j] + 1e-12) << dsp::IirMethodName(c.method);
        }
    }
}

TEST(IirMethodCascades, RefusesUnusableParameters) {
    const struct {
        int method;
        double ap, as;
    } cases[] = {
        {dsp::kIirEllip, 1.0, 1.0},  // As not above Ap
        {dsp::kIirEllip, 0.0, 40.0}, // no ripple
        {dsp::kIirCheby2, 1.0, 0.0}, // no attenuation
        {7, 1.0, 40.0},              // no such method
    };
    for (const auto& c : cases) {
        dsp::IirSpec s = SpecOf(kCases[0]);
        s.method = c.method;
        s.rippleDb = c.ap;
        s.attenDb = c.as;
        dsp::IirCascade cascade;
        EXPECT_FALSE(dsp::DesignIirCascade(s, cascade)) << c.method << " " << c.ap << " " << c.as;
    }
}

TEST(IirMethodNames, RoundTrip) {
    for (int m = 0; m < dsp::kIirMethodCount; ++m) {
        EXPECT_EQ(dsp::IirMethodOfName(dsp::IirMethodName(m)), m);
    }
    EXPECT_EQ(dsp::IirMethodOfName("Ellip"), -1);
    EXPECT_EQ(dsp::IirMethodOfName(""), -1);
}

// Minimum orders and cut-offs against the reference's buttord/cheb2ord/ellipord.
TEST(IirMethodRequirements, MinimumOrderAndCutoffs) {
    const struct {
        int method, type;
        double p1, p2, s1, s2, ap, as;
        int order;
        double fc1, fc2;
    } cases[] = {
        {dsp::kIirButter, dsp::kIirLpf, 200, 0, 250, 0, 0.5, 40, 18, 208.92039323831628, 0},
        {dsp::kIirButter, dsp::kIirBpf, 200, 300, 150, 360, 1, 40, 7, 195.30728603, 304.69271397},
        {dsp::kIirCheby2, dsp::kIirHpf, 300, 0, 220, 0, 0.3, 50, 8, 235.30509853896723, 0},
        {dsp::kIirCheby2, dsp::kIirBrf, 120, 330, 180, 260, 0.5, 30, 3, 178.94713111, 261.16295836},
        {dsp::kIirEllip, dsp::kIirLpf, 100, 0, 180, 0, 1, 60, 5, 100, 0},
        {dsp::kIirEllip, dsp::kIirBpf, 200, 300, 150, 360, 1, 40, 4, 200, 300},
        {dsp::kIirEllip, dsp::kIirBrf, 120, 330, 180, 260, 0.5, 30, 3, 121.02714164, 329.99950199},
    };
    for (const auto& c : cases) {
        dsp::IirRequirements req;
        req.method = c.method;
        req.type = c.type;
        req.pass1 = c.p1;
        req.pass2 = c.p2;
        req.stop1 = c.s1;
        req.stop2 = c.s2;
        req.apDb = c.ap;
        req.asDb = c.as;
        const int order = dsp::IirMinimumOrder(req);
        EXPECT_EQ(order, c.order) << dsp::IirMethodName(c.method) << " type " << c.type;
        const dsp::IirCutoffs cut = dsp::MethodCutoffs(req, order);
        EXPECT_NEAR(cut.fc1, c.fc1, 1e-3) << dsp::IirMethodName(c.method) << " type " << c.type;
        if (c.type == dsp::kIirBpf || c.type == dsp::kIirBrf) {
            EXPECT_NEAR(cut.fc2, c.fc2, 1e-3) << dsp::IirMethodName(c.method);
        }
        const dsp::IirRequirementResult found = dsp::SearchIirRequirements(req);
        EXPECT_EQ(found.met, dsp::SectionsForOrder(c.type, c.order) <= dsp::kIirMaxSections);
        if (found.met) {
            EXPECT_LE(found.rippleDb, c.ap + 1e-6) << dsp::IirMethodName(c.method);
            EXPECT_GE(found.attenuationDb, c.as - 1e-6) << dsp::IirMethodName(c.method);
        }
    }
}

} // namespace
