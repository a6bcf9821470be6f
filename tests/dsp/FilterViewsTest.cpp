// The numbers of the filter views on values: group delay from the coefficients against the
// phase's slope and against known delays, roots and the stability rule, impulse and step
// responses of known filters. scipy cross-checks of whole designs: tools/check_views.py.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <limits>
#include <vector>

#include "dsp/GroupDelay.h"
#include "dsp/ImpulseStep.h"
#include "dsp/PoleZero.h"

namespace {

using Complex = std::complex<double>;

// The argument of sum p_n e^-jwn.
double PhaseOf(const std::vector<double>& p, double w) {
    Complex h = 0.0;
    for (std::size_t n = 0; n < p.size(); ++n) {
        h += p[n] * std::exp(Complex(0.0, -w * static_cast<double>(n)));
    }
    return std::arg(h);
}

// -d(phase)/dw by a central difference: an independent check of the analytic formula.
double SlopeDelay(const std::vector<double>& p, double w) {
    constexpr double kStep = 1e-6;
    double d = PhaseOf(p, w + kStep) - PhaseOf(p, w - kStep);
    d = std::remainder(d, 2.0 * 3.14159265358979323846);
    return -d / (2.0 * kStep);
}

TEST(GroupDelay, FirMatchesThePhaseSlope) {
    const std::vector<std::vector<double>> taps = {
        {1.0, -0.5},            // minimum phase
        {-0.5, 1.0},            // its mirror: maximum phase
        {0.2, 0.9, -0.3, 0.05}, // a loaded asymmetric filter
        {0.0, 0.0, 1.0},        // a pure delay of two samples
        {0.5, 1.0, 0.5, 0.0},   // symmetric with a zero tap at the end
    };
    for (const std::vector<double>& h : taps) {
        const dsp::GroupDelay g = dsp::FirGroupDelay(h, 1000.0);
        EXPECT_EQ(g.undefinedPoints, 0);
        for (int i = 5; i < dsp::kResponseUsed; i += 37) {
            const double w = dsp::ResponseOmega(i, false);
            EXPECT_NEAR(g.delay[static_cast<std::size_t>(i)], SlopeDelay(h, w), 1e-6)
                << "taps " << h.size() << " point " << i;
            EXPECT_NEAR(g.frequency[static_cast<std::size_t>(i)], w * 1000.0 / (2 * M_PI), 1e-9);
        }
    }
}

TEST(GroupDelay, MirroredTapsDelayByTheirLengthTogether) {
    // H_max(z) = z^-(N-1) H_min(1/z): the two delays add up to N - 1 at every frequency.
    const std::vector<double> h = {1.0, -0.7, 0.2, 0.1};
    std::vector<double> mirrored(h.rbegin(), h.rend());
    const dsp::GroupDelay a = dsp::FirGroupDelay(h, 1.0);
    const dsp::GroupDelay b = dsp::FirGroupDelay(mirrored, 1.0);
    for (std::size_t i = 0; i < a.delay.size(); ++i) {
        EXPECT_NEAR(a.delay[i] + b.delay[i], 3.0, 1e-12) << i;
    }
}

TEST(GroupDelay, LinearPhaseTapsAreExactlyHalfTheirLength) {
    struct Case {
        std::vector<double> taps;
        bool linear;
        double delay;
    };
    const Case cases[] = {
        {{0.1, 0.4, 0.4, 0.1}, true, 1.5},
        {{0.3, 0.0, -0.3}, true, 1.0},          // antisymmetric, a zero at DC and at fs/2
        {{1.0, 2.0, 1.0, 0.0, 0.0}, true, 1.0}, // zero taps at the end do not count
        {{0.0, 1.0, 2.0, 1.0}, false, 2.0},     // a leading zero tap delays by one more
    };
    for (const Case& c : cases) {
        EXPECT_EQ(dsp::IsLinearPhase(c.taps), c.linear);
        const dsp::GroupDelay g = dsp::FirGroupDelay(c.taps, 1.0);
        for (int i : {0, 90, 180, 359}) {
            EXPECT_NEAR(g.delay[static_cast<std::size_t>(i)], c.delay, c.linear ? 0.0 : 1e-9)
                << c.taps.size() << " taps, point " << i;
        }
    }
}

TEST(GroupDelay, IirSumsTheSectionsAndMatchesThePhaseSlope) {
    const std::vector<dsp::Section> sections = {
        {0.2, 0.4, 0.2, -0.9, 0.4},
        {1.0, -1.2, 0.5, -1.5, 0.8},
        {0.0, 0.0, 1.0, 0.0, 0.0}, // z^-2: two samples
    };
    const dsp::GroupDelay all = dsp::IirGroupDelay(sections, 1000.0);
    for (int i = 3; i < dsp::kResponseUsed; i += 41) {
        const double w = dsp::ResponseOmega(i, true);
        double expected = 0.0;
        for (const dsp::Section& q : sections) {
            expected += SlopeDelay({q[0], q[1], q[2]}, w) - SlopeDelay({1.0, q[3], q[4]}, w);
        }
        EXPECT_NEAR(all.delay[static_cast<std::size_t>(i)], expected, 1e-5) << i;
    }
}

TEST(GroupDelay, ZeroResponseIsUndefinedAndGivenAsZero) {
    // Zeros on the unit circle exactly at point 60 of the IIR grid.
    const double w = dsp::ResponseOmega(60, true);
    const dsp::Section notch = {1.0, -2.0 * std::cos(w), 1.0, 0.0, 0.25};
    const dsp::GroupDelay g = dsp::IirGroupDelay(std::vector<dsp::Section>{notch}, 1.0);
    EXPECT_EQ(g.undefinedPoints, 1);
    EXPECT_EQ(g.delay[60], 0.0);
    EXPECT_NE(g.delay[61], 0.0);
}

// The largest distance between a root found and the root it stands for (each found root
// paired with the nearest one left); infinite when the counts differ.
double WorstRootDistance(std::vector<dsp::Root> a, const std::vector<Complex>& b) {
    if (a.size() != b.size()) {
        return std::numeric_limits<double>::infinity();
    }
    double worst = 0.0;
    for (const Complex& want : b) {
        auto nearest =
            std::min_element(a.begin(), a.end(), [&](const Complex& x, const Complex& y) {
                return std::abs(x - want) < std::abs(y - want);
            });
        worst = std::max(worst, std::abs(*nearest - want));
        a.erase(nearest);
    }
    return worst;
}

TEST(PoleZero, QuadraticRoots) {
    struct Case {
        double c0, c1, c2;
        std::vector<Complex> roots;
    };
    const Case cases[] = {
        {1.0, -3.0, 2.0, {1.0, 2.0}},  {1.0, 0.0, 1.0, {Complex(0, 1), Complex(0, -1)}},
        {1.0, 2.0, 1.0, {-1.0, -1.0}}, {2.0, 0.0, 0.0, {0.0, 0.0}},
        {0.0, 1.0, -2.0, {2.0}},       // degree one
        {0.0, 0.0, 3.0, {}},           // no root
        {1.0, -1e8, 1.0, {1e8, 1e-8}}, // no cancellation in the small root
    };
    for (const Case& c : cases) {
        EXPECT_LE(WorstRootDistance(dsp::QuadraticRoots(c.c0, c.c1, c.c2), c.roots), 1e-7)
            << c.c0 << " " << c.c1 << " " << c.c2;
    }
    EXPECT_DOUBLE_EQ(dsp::QuadraticRoots(1.0, -1e8, 1.0)[1].real(), 1e-8);
}

TEST(PoleZero, StabilityIsDecidedOnTheCoefficients) {
    struct Case {
        double b1, b2;
        bool unstable;
    };
    const Case cases[] = {
        {-1.8, 0.81, false}, // double pole at 0.9
        {0.0, 1.0, true},    // poles on the circle at +-j
        {-2.0, 1.0, true},   // double pole at 1
        {1.5, 0.5, true},    // a pole at -1
        {0.0, -1.2, true},   // real poles outside
        {0.3, -0.5, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(dsp::SectionUnstable(c.b1, c.b2), c.unstable) << c.b1 << " " << c.b2;
    }
    const dsp::PoleZeroSet set = dsp::IirPoleZero(std::vector<dsp::Section>{
        {1, 0, 0, -1.8, 0.81}, {1, 0, 0, 0.0, 1.0}, {1, 0, 0, 0.3, -0.5}, {1, 0, 0, -2.0, 1.0}});
    EXPECT_EQ(set.unstableSections, (std::vector<int>{2, 4}));
    EXPECT_EQ(set.poles.size(), 8u);
}

TEST(PoleZero, PolynomialRootsFromTheCompanionMatrix) {
    // (z - 0.5)(z + 2)(z^2 + 1) = z^4 + 1.5 z^3 + 0 z^2 + 1.5 z - 1
    struct Case {
        std::vector<double> coefficients;
        std::vector<Complex> roots;
    };
    const Case cases[] = {
        {{1.0, 1.5, 0.0, 1.5, -1.0}, {0.5, -2.0, Complex(0, 1), Complex(0, -1)}},
        {{0.0, 0.0, 2.0, 3.0, -2.0}, {0.5, -2.0}}, // leading zeros lower the degree
        {{1.0, -1.0, 0.0, 0.0}, {1.0, 0.0, 0.0}},  // trailing zeros: the origin
        {{4.0}, {}},
        {{0.0, 0.0}, {}},
    };
    for (const Case& c : cases) {
        EXPECT_LE(WorstRootDistance(dsp::PolynomialRoots(c.coefficients), c.roots), 1e-12)
            << c.coefficients.size() << " coefficients";
    }
}

TEST(PoleZero, RootsOfHighDegreePolynomialsWithKnownRoots) {
    // z^379 - r^379: the 379 roots r e^(2 pi j k / 379), as many as 380 taps have; and a product
    // of 24 known factors spread over circles of radius 0.8, 1 and 1.25, as a filter's zeros are.
    struct Case {
        std::vector<double> coefficients;
        std::vector<Complex> roots;
        double tolerance;
    };
    std::vector<Case> cases;
    for (double r : {1.0, 0.97}) {
        Case c;
        c.coefficients.assign(380, 0.0);
        c.coefficients.front() = 1.0;
        c.coefficients.back() = -std::pow(r, 379);
        for (int k = 0; k < 379; ++k) {
            c.roots.push_back(std::polar(r, 2 * M_PI * k / 379.0));
        }
        c.tolerance = 1e-9;
        cases.push_back(c);
    }
    Case product;
    std::vector<Complex> poly = {1.0};
    for (int k = 0; k < 12; ++k) {
        const double radius = k % 3 == 0 ? 0.8 : (k % 3 == 1 ? 1.0 : 1.25);
        const Complex r = std::polar(radius, M_PI * (k + 0.5) / 12.0);
        for (const Complex& root : {r, std::conj(r)}) {
            product.roots.push_back(root);
            std::vector<Complex> next(poly.size() + 1, 0.0);
            for (std::size_t i = 0; i < poly.size(); ++i) {
                next[i] += poly[i];
                next[i + 1] -= poly[i] * root;
            }
            poly = next;
        }
    }
    for (const Complex& c : poly) {
        product.coefficients.push_back(c.real()); // conjugate pairs: the product is real
    }
    product.tolerance = 1e-9;
    cases.push_back(product);
    for (const Case& c : cases) {
        EXPECT_LE(WorstRootDistance(dsp::PolynomialRoots(c.coefficients), c.roots), c.tolerance)
            << c.roots.size() << " roots";
    }
}

TEST(ImpulseStep, KnownResponses) {
    const std::vector<double> taps = {0.5, -0.25, 1.0};
    EXPECT_EQ(dsp::FirTimeResponse(taps, dsp::Excitation::kImpulse), taps);
    EXPECT_EQ(dsp::FirTimeResponse(taps, dsp::Excitation::kStep),
              (std::vector<double>{0.5, 0.25, 1.25}));

    // 1 / (1 - 0.5 z^-1) then (1 + z^-1): impulse 1, 1.5, 0.75, 0.375, ...; step tends to 4.
    const std::vector<dsp::Section> sections = {{1, 0, 0, -0.5, 0}, {1, 1, 0, 0, 0}};
    const std::vector<double> impulse = dsp::IirTimeResponse(sections, dsp::Excitation::kImpulse);
    const std::vector<double> step = dsp::IirTimeResponse(sections, dsp::Excitation::kStep);
    ASSERT_EQ(impulse.size(), static_cast<std::size_t>(dsp::kIirResponseSamples));
    ASSERT_EQ(step.size(), static_cast<std::size_t>(dsp::kIirResponseSamples));
    EXPECT_EQ(impulse[0], 1.0);
    for (std::size_t n = 1; n < 20; ++n) {
        EXPECT_DOUBLE_EQ(impulse[n], 3.0 * std::pow(0.5, static_cast<double>(n))) << n;
        EXPECT_DOUBLE_EQ(step[n], 4.0 - 3.0 * std::pow(0.5, static_cast<double>(n))) << n;
    }
}

} // namespace
