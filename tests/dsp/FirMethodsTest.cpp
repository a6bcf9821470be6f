// Least-squares and Kaiser-window FIR designs and Kaiser's formulas: taps against reference
// values, the refusals, the solve of a singular least-squares system, and the least-squares
// search from requirements.
#include "dsp/FirMethods.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

dsp::FirBands Bands(std::vector<double> edges, std::vector<double> desired,
                    std::vector<double> weight) {
    dsp::FirBands b;
    b.nBands = static_cast<int>(desired.size());
    for (size_t i = 0; i < edges.size(); ++i) {
        b.edges[i] = edges[i];
    }
    for (size_t i = 0; i < desired.size(); ++i) {
        b.desired[i] = desired[i];
        b.weight[i] = weight[i];
    }
    return b;
}

// The amplitude of symmetric taps at f (fraction of fs).
double Amplitude(const std::vector<double>& h, double f) {
    const double centre = 0.5 * (static_cast<double>(h.size()) - 1.0);
    double a = 0.0;
    for (size_t k = 0; k < h.size(); ++k) {
        a += h[k] * std::cos(2.0 * std::numbers::pi * f * (static_cast<double>(k) - centre));
    }
    return a;
}

struct TapCase {
    const char* name;
    int method;
    int taps;
    dsp::FirBands bands;
    double beta;
    std::vector<double> firstHalf; // h[0] .. h[(N-1)/2]
};

// References from scipy 1.10, fs = 1:
//   signal.firls(15, [0, .2, .25, .5], [1, 1, 0, 0], weight=[1, 10], fs=1)
//   signal.firls(11, [0, .1, .15, .3, .35, .5], [0, 0, 1, 1, 0, 0], weight=[3, 1, 3], fs=1)
//   signal.firwin(14, .225, window=('kaiser', 8.6), fs=1)
//   signal.firwin(13, [.2, .35], window=('kaiser', 5.0), pass_zero=True, fs=1)
//   signal.firwin(9, .3, window=('kaiser', 0.0), pass_zero=False, fs=1)
const TapCase kTapCases[] = {
    {"ls lpf",
     dsp::kFirLeastSquares,
     15,
     Bands({0, .2, .25, .5}, {1, 0}, {1, 10}),
     0.0,
     {0.016307129103392364, 0.04419750526953028, 0.020139354285102867, -0.05798529021283354,
      -0.07810095721915648, 0.06742414245436135, 0.30857887249959187, 0.4292080066402762}},
    {"ls bpf",
     dsp::kFirLeastSquares,
     11,
     Bands({0, .1, .15, .3, .35, .5}, {0, 1, 0}, {3, 1, 3}),
     0.0,
     {0.030253806491743977, 0.09164676905936574, -0.08931780992019692, -0.26826941380137814,
      0.05267902635448891, 0.36390252795446304}},
    {"kaiser lpf even",
     dsp::kFirKaiser,
     14,
     Bands({0, .2, .25, .5}, {1, 0}, {1, 10}),
     8.6,
     {1.5231895480497629e-05, 0.0014462049582485634, 0.0006000410528124021, -0.02497065793669194,
      -0.026205653528483284, 0.14548427715815737, 0.40363055640047635}},
    {"kaiser brf",
     dsp::kFirKaiser,
     13,
     Bands({0, .18, .22, .33, .37, .5}, {1, 0, 1}, {1, 5, 1}),
     5.0,
     {0.0007078985298653489, 0.009446960693353153, -0.04021345768027677, -0.052635701144296575,
      0.18999510475392356, 0.04250076667054092, 0.7003968563537807}},
    {"kaiser hpf rectangular",
     dsp::kFirKaiser,
     9,
     Bands({0, .27, .33, .5}, {0, 1}, {2, 1}),
     0.0,
     {-0.0825813549676638, 0.06805077894271507, 0.1020761684140723, -0.330325419870655,
      0.43646109125130317}},
};

TEST(FirMethods, TapsMatchReferenceDesigns) {
    for (const TapCase& c : kTapCases) {
        SCOPED_TRACE(c.name);
        const std::vector<double> h = c.method == dsp::kFirLeastSquares
                                          ? dsp::LeastSquaresTaps(c.taps, c.bands)
                                          : dsp::KaiserTaps(c.taps, c.bands, c.beta);
        ASSERT_EQ(static_cast<int>(h.size()), c.taps);
        double largest = 0.0;
        for (double v : c.firstHalf) {
            largest = std::max(largest, std::fabs(v));
        }
        for (size_t k = 0; k < c.firstHalf.size(); ++k) {
            EXPECT_NEAR(h[k], c.firstHalf[k], 1e-12 * largest) << "tap " << k;
            EXPECT_EQ(h[k], h[h.size() - 1 - k]) << "symmetry at " << k;
        }
    }
}

TEST(FirMethods, KaiserScalesTheFirstPassBandToUnitGain) {
    struct Case {
        dsp::FirBands bands;
        double at; // the centre of the first pass band, fraction of fs
    };
    const Case cases[] = {
        {Bands({0, .1, .15, .5}, {1, 0}, {1, 1}), 0.0},
        {Bands({0, .1, .15, .5}, {0, 1}, {1, 1}), 0.5},
        {Bands({0, .1, .15, .3, .35, .5}, {0, 1, 0}, {1, 1, 1}), 0.5 * (0.125 + 0.325)},
    };
    for (const Case& c : cases) {
        const std::vector<double> h = dsp::KaiserTaps(41, c.bands, 6.0);
        ASSERT_EQ(h.size(), 41u);
        EXPECT_NEAR(Amplitude(h, c.at), 1.0, 1e-13);
    }
}

TEST(FirMethods, KaiserWindowIsSymmetricWithUnitCentre) {
    // scipy.signal.get_window(('kaiser', 6.0), 7, fftbins=False)[0]
    const std::vector<double> w = dsp::KaiserWindow(7, 6.0);
    ASSERT_EQ(w.size(), 7u);
    EXPECT_NEAR(w[0], 0.014873337104763207, 1e-16);
    EXPECT_DOUBLE_EQ(w[3], 1.0);
    EXPECT_DOUBLE_EQ(w[1], w[5]);
}

TEST(FirMethods, KaiserOrderMatchesTheFormula) {
    struct Case {
        double a, width; // dB, fraction of fs
        int taps;
        double beta;
    };
    // scipy.signal.kaiserord(a, 2 * width)
    const Case cases[] = {
        {60.0, 0.05, 74, 5.65326},
        {30.0, 0.1, 17, 2.1166248611409806},
        {20.0, 0.02, 43, 0.0},
        {50.0, 0.01, 294, 4.533514120981248},
        {80.5, 0.033, 155, 7.9123600000000005},
    };
    for (const Case& c : cases) {
        const dsp::KaiserOrder order = dsp::KaiserOrderFor(c.a, c.width);
        EXPECT_EQ(order.taps, c.taps) << c.a << " dB";
        EXPECT_EQ(order.beta, c.beta) << c.a << " dB";
    }
    EXPECT_EQ(dsp::KaiserOrderFor(7.9, 0.1).taps, 0);
    EXPECT_EQ(dsp::KaiserOrderFor(60.0, 0.0).taps, 0);
    // The stricter deviation: a pass ripple of 0.01 dB (dp 5.8e-4) wins over 40 dB.
    EXPECT_NEAR(dsp::KaiserRippleDb(0.01, 40.0), -20.0 * std::log10(dsp::PassDeviation(0.01)),
                1e-12);
    EXPECT_DOUBLE_EQ(dsp::KaiserRippleDb(1.0, 60.0), 60.0);
}

TEST(FirMethods, RefusesWhatCannotBeDesigned) {
    const dsp::FirBands lpf = Bands({0, .2, .25, .5}, {1, 0}, {1, 1});
    const dsp::FirBands hpf = Bands({0, .2, .25, .5}, {0, 1}, {1, 1});
    struct Case {
        const char* name;
        int method;
        int taps;
        dsp::FirBands bands;
        double beta;
        dsp::FirRefusal why;
    };
    const Case cases[] = {
        {"ls even count", dsp::kFirLeastSquares, 20, lpf, 0.0, dsp::FirRefusal::kTapCount},
        {"ls too many", dsp::kFirLeastSquares, 401, lpf, 0.0, dsp::FirRefusal::kTapCount},
        {"ls empty band", dsp::kFirLeastSquares, 21, Bands({0, 0, .25, .5}, {1, 0}, {1, 1}), 0.0,
         dsp::FirRefusal::kBandLayout},
        {"ls negative weight", dsp::kFirLeastSquares, 21, Bands({0, .2, .25, .5}, {1, 0}, {1, -1}),
         0.0, dsp::FirRefusal::kBandWeight},
        {"ls no weight at all", dsp::kFirLeastSquares, 21, Bands({0, .2, .25, .5}, {1, 0}, {0, 0}),
         0.0, dsp::FirRefusal::kBandWeight},
        {"kaiser even high pass", dsp::kFirKaiser, 20, hpf, 5.0, dsp::FirRefusal::kTapCount},
        {"kaiser beta", dsp::kFirKaiser, 21, lpf, -1.0, dsp::FirRefusal::kBandLayout},
        {"kaiser edges descending", dsp::kFirKaiser, 21, Bands({0, .3, .25, .5}, {1, 0}, {1, 1}),
         5.0, dsp::FirRefusal::kBandLayout},
    };
    for (const Case& c : cases) {
        dsp::FirRefusal why = dsp::FirRefusal::kNone;
        const std::vector<double> h = c.method == dsp::kFirLeastSquares
                                          ? dsp::LeastSquaresTaps(c.taps, c.bands, &why)
                                          : dsp::KaiserTaps(c.taps, c.bands, c.beta, &why);
        EXPECT_TRUE(h.empty()) << c.name;
        EXPECT_EQ(why, c.why) << c.name;
    }
}

TEST(FirMethods, SingularLeastSquaresSystemStillFitsTheBands) {
    // Wide transitions at many taps: the normal equations are singular to double precision.
    const dsp::FirBands bands = Bands({0, .1, .2, .5}, {1, 0}, {1, 1});
    const std::vector<double> h = dsp::LeastSquaresTaps(301, bands);
    ASSERT_EQ(h.size(), 301u);
    double largest = 0.0;
    for (double v : h) {
        ASSERT_TRUE(std::isfinite(v));
        largest = std::max(largest, std::fabs(v));
    }
    EXPECT_LT(largest, 1.0); // no huge taps cancelling each other
    for (double f : {0.0, 0.05, 0.1, 0.2, 0.3, 0.5}) {
        EXPECT_NEAR(Amplitude(h, f), f <= 0.1 ? 1.0 : 0.0, 1e-4) << f;
    }
}

TEST(FirMethods, DesignByMethodKeepsTheRemezDesignAndMarksOthersDone) {
    dsp::FirSpecification params;
    params.fs = 1000.0;
    params.fc1 = 200.0;
    params.fc2 = 250.0;
    params.rr = 10.0;
    params.nTaps = 31;
    const dsp::FirDesign remez = dsp::DesignFirByMethod(params, dsp::kFirRemez, 0.0);
    EXPECT_EQ(remez.result.taps, dsp::DesignFir(params).result.taps);
    const dsp::FirDesign ls = dsp::DesignFirByMethod(params, dsp::kFirLeastSquares, 0.0);
    EXPECT_EQ(ls.result.verdict, dsp::FirVerdict::kOptimum);
    EXPECT_EQ(ls.result.taps, dsp::LeastSquaresTaps(31, ls.bands));
    params.nTaps = 30;
    const dsp::FirDesign even = dsp::DesignFirByMethod(params, dsp::kFirLeastSquares, 0.0);
    EXPECT_EQ(even.result.verdict, dsp::FirVerdict::kFailed);
    EXPECT_EQ(even.result.refusal, dsp::FirRefusal::kTapCount);
}

TEST(FirMethods, MethodNamesReadBack) {
    for (int m = 0; m < dsp::kFirMethodCount; ++m) {
        EXPECT_EQ(dsp::FirMethodOfName(dsp::FirMethodName(m)), m);
    }
    EXPECT_EQ(dsp::FirMethodOfName("Remez"), -1);
    EXPECT_EQ(dsp::FirMethodOfName(nullptr), -1);
}

TEST(FirMethods, LeastSquaresSearchFindsTheSmallestOddCountThatMeets) {
    struct Case {
        dsp::FirType type;
        double fc[4];
    };
    const Case cases[] = {
        {dsp::FirType::kLowPass, {200, 250, 0, 0}},
        {dsp::FirType::kBandPass, {100, 150, 300, 350}},
    };
    for (const Case& c : cases) {
        dsp::FirRequirements req;
        req.type = c.type;
        req.fc1 = c.fc[0];
        req.fc2 = c.fc[1];
        req.fc3 = c.fc[2];
        req.fc4 = c.fc[3];
        req.apDb = 0.5;
        req.asDb = 50.0;
        const dsp::FirRequirementResult found = dsp::SearchLeastSquaresRequirements(req);
        ASSERT_TRUE(found.met);
        EXPECT_EQ(found.chosen.taps % 2, 1);
        EXPECT_TRUE(found.chosen.meets);
        for (int smaller : {found.chosen.taps - 2, found.chosen.taps - 4}) {
            EXPECT_FALSE(dsp::MethodTrial(req, smaller, found.rr, dsp::kFirLeastSquares, 0.0).meets)
                << smaller;
        }
    }
    // Out of reach within the range: the largest odd count, not met.
    dsp::FirRequirements hard;
    hard.fc1 = 200.0;
    hard.fc2 = 201.0;
    hard.apDb = 0.01;
    hard.asDb = 120.0;
    hard.maxTaps = 60;
    const dsp::FirRequirementResult none = dsp::SearchLeastSquaresRequirements(hard);
    EXPECT_FALSE(none.met);
    EXPECT_EQ(none.chosen.taps, 59);
}

} // namespace
