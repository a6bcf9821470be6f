// Design from requirements on values: the FIR search gives a tap count whose measured response
// meets Ap and As while the next smaller count of the same parity, with the same RR, does not;
// the IIR section count from the minimum Chebyshev order is the smallest whose designed cascade
// reaches As; requirements beyond the largest design are reported with what it reaches.
#include "dsp/Requirements.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "dsp/FilterCoefficients.h"
#include "dsp/Measure.h"

namespace {

struct Figures {
    bool designed = false;
    double rippleDb = 0.0;
    double attenuationDb = INFINITY;
};

// The FIR design of `taps` at `rr`, measured through the measurements of the program (the
// bands of the design, dsp::Measure), independently of the search.
Figures MeasureFir(const dsp::FirRequirements& req, int taps, double rr) {
    dsp::FirSpecification params{req.type, req.fs, req.fc1, req.fc2, req.fc3, req.fc4, rr, taps};
    const dsp::FirDesign design = dsp::DesignFir(params);
    Figures f;
    f.designed = design.result.Ok();
    if (!f.designed) {
        return f;
    }
    const std::vector<double>& h = design.result.taps;
    const int n = static_cast<int>(h.size());
    const dsp::FilterCoefficients c = dsp::FirCoefficients(h, n, n, 1, false, 16);
    const dsp::BandSpec bands{
        static_cast<int>(req.type), req.fs, req.fc1, req.fc2, req.fc3, req.fc4};
    for (const dsp::BandGain& g : dsp::Measure(bands, c, nullptr).unquantized) {
        if (g.band.pass) {
            f.rippleDb = std::max(f.rippleDb, g.maxDb - g.minDb);
        } else {
            f.attenuationDb = std::min(f.attenuationDb, -g.maxDb);
        }
    }
    return f;
}

bool Meets(const Figures& f, double apDb, double asDb) {
    return f.designed && f.rippleDb <= apDb && f.attenuationDb >= asDb;
}

TEST(Requirements, DeviationsFromDecibels) {
    // 1 +- dp spans Ap dB; ds lies As dB below the pass band.
    for (double ap : {0.01, 0.5, 3.0, 20.0}) {
        const double dp = dsp::PassDeviation(ap);
        EXPECT_NEAR(20.0 * std::log10((1.0 + dp) / (1.0 - dp)), ap, 1e-12 * (1.0 + ap));
    }
    EXPECT_DOUBLE_EQ(dsp::StopDeviation(60.0), 1e-3);
}

TEST(Requirements, FirSmallestTapCountMeetsAndTheNextSmallerFails) {
    using dsp::FirType;
    const struct {
        FirType type;
        double fc[4];
        double ap, as;
    } cases[] = {
        {FirType::kLowPass, {200, 250}, 0.5, 60},
        {FirType::kLowPass, {100, 130}, 0.1, 50},
        {FirType::kLowPass, {200, 210}, 0.5, 80}, // a hard case: a long filter
        {FirType::kHighPass, {200, 250}, 1.0, 50},
        {FirType::kHighPass, {300, 340}, 0.2, 70},
        {FirType::kBandReject, {100, 150, 300, 350}, 0.5, 40},
        {FirType::kBandReject, {150, 180, 250, 280}, 1.0, 60},
        {FirType::kBandPass, {100, 150, 300, 350}, 0.2, 70},
        {FirType::kBandPass, {200, 220, 300, 320}, 3.0, 45},
    };
    for (const auto& c : cases) {
        dsp::FirRequirements req;
        req.type = c.type;
        req.fs = 1000.0;
        req.fc1 = c.fc[0];
        req.fc2 = c.fc[1];
        req.fc3 = c.fc[2];
        req.fc4 = c.fc[3];
        req.apDb = c.ap;
        req.asDb = c.as;
        SCOPED_TRACE(::testing::Message()
                     << "type " << static_cast<int>(c.type) << " edges " << c.fc[0] << ","
                     << c.fc[1] << " Ap " << c.ap << " As " << c.as);
        const dsp::FirRequirementResult r = dsp::SearchFirRequirements(req);
        ASSERT_TRUE(r.met);
        EXPECT_DOUBLE_EQ(r.rr, dsp::PassDeviation(c.ap) / dsp::StopDeviation(c.as));
        const int n = r.chosen.taps;
        const bool oddOnly = c.type == FirType::kHighPass || c.type == FirType::kBandReject;
        EXPECT_TRUE(!oddOnly || n % 2 == 1) << n;
        const Figures chosen = MeasureFir(req, n, r.rr);
        EXPECT_TRUE(Meets(chosen, c.ap, c.as))
            << n << " taps: ripple " << chosen.rippleDb << " attenuation " << chosen.attenuationDb;
        EXPECT_DOUBLE_EQ(chosen.rippleDb, r.chosen.rippleDb);
        const Figures smaller = MeasureFir(req, n - 2, r.rr);
        EXPECT_FALSE(Meets(smaller, c.ap, c.as)) << n - 2 << " taps: ripple " << smaller.rippleDb
                                                 << " attenuation " << smaller.attenuationDb;
    }
}

TEST(Requirements, FirBeyondTheLongestFilterReportsTheBestReached) {
    dsp::FirRequirements req;
    req.fs = 1000.0;
    req.fc1 = 200.0;
    req.fc2 = 203.0;
    req.apDb = 0.5;
    req.asDb = 80.0;
    for (dsp::FirType type : {dsp::FirType::kLowPass, dsp::FirType::kHighPass}) {
        req.type = type;
        const dsp::FirRequirementResult r = dsp::SearchFirRequirements(req);
        EXPECT_FALSE(r.met);
        EXPECT_EQ(r.chosen.taps, type == dsp::FirType::kLowPass ? 380 : 379);
        EXPECT_FALSE(r.chosen.meets);
        const Figures best = MeasureFir(req, r.chosen.taps, r.rr);
        EXPECT_DOUBLE_EQ(best.attenuationDb, r.chosen.attenuationDb);
        EXPECT_FALSE(Meets(best, req.apDb, req.asDb));
    }
}

// The cascade of `sections` designed at the requirement's cut-offs with ripple Ap, measured on
// the requirement's bands: the attenuation below the pass-band peak.
double IirAttenuation(const dsp::IirRequirements& req, int sections, dsp::IirCutoffs cut) {
    dsp::IirSpec params{req.type, sections, req.apDb, req.fs, cut.fc1, cut.fc2};
    dsp::IirCascade cascade;
    EXPECT_TRUE(dsp::DesignIirCascade(params, cascade));
    std::vector<dsp::Section> s;
    for (size_t j = 0; j < 8; ++j) {
        s.push_back({cascade.a0[j], cascade.a1[j], cascade.a2[j], cascade.b1[j], cascade.b2[j]});
    }
    const dsp::FilterCoefficients c = dsp::IirCoefficients(s, sections, false, 16);
    const double half = req.fs / 2.0;
    std::vector<dsp::Band> bands;
    switch (req.type) {
    case dsp::kIirLpf:
        bands = {{true, 0.0, req.pass1}, {false, req.stop1, half}};
        break;
    case dsp::kIirHpf:
        bands = {{false, 0.0, req.stop1}, {true, req.pass1, half}};
        break;
    case dsp::kIirBpf:
        bands = {{false, 0.0, req.stop1}, {true, req.pass1, req.pass2}, {false, req.stop2, half}};
        break;
    default:
        bands = {{true, 0.0, req.pass1}, {false, req.stop1, req.stop2}, {true, req.pass2, half}};
        break;
    }
    double peak = -INFINITY;
    double stop = -INFINITY;
    for (const dsp::BandGain& g : dsp::MeasureGains(c, req.fs, bands)) {
        (g.band.pass ? peak : stop) = std::max(g.band.pass ? peak : stop, g.maxDb);
    }
    return peak - stop;
}

TEST(Requirements, IirSectionsAreTheSmallestCascadeThatReachesAs) {
    // `sections`: ceil(order / 2), doubled for BRF/BPF, of scipy.signal.cheb1ord(wp, ws, Ap, As,
    // fs=1000) (scipy 1.10); tools/check_requirements.py compares the command line with it.
    const struct {
        int type;
        double pass1, pass2, stop1, stop2, ap, as;
        int sections;
    } cases[] = {
        {dsp::kIirLpf, 200, 0, 250, 0, 0.5, 60, 6},
        {dsp::kIirLpf, 100, 0, 180, 0, 1.0, 40, 3},
        {dsp::kIirHpf, 300, 0, 200, 0, 0.3, 50, 4},
        {dsp::kIirBpf, 200, 300, 150, 350, 1.0, 40, 6},
        {dsp::kIirBpf, 200, 300, 100, 400, 0.5, 30, 4},
        {dsp::kIirBrf, 100, 400, 200, 250, 1.0, 40, 4},
        {dsp::kIirBrf, 150, 350, 200, 300, 0.5, 50, 6},
        {dsp::kIirBrf, 50, 400, 100, 200, 0.5, 40, 4}, // pass edges far from symmetric
        {dsp::kIirBrf, 120, 310, 180, 220, 1.0, 60, 4},
    };
    for (const auto& c : cases) {
        const dsp::IirRequirements req{c.type,  1000.0,  c.pass1, c.pass2,
                                       c.stop1, c.stop2, c.ap,    c.as};
        SCOPED_TRACE(::testing::Message() << "type " << c.type << " As " << c.as);
        const dsp::IirRequirementResult r = dsp::SearchIirRequirements(req);
        ASSERT_TRUE(r.met);
        EXPECT_EQ(r.sections, c.sections) << "order " << r.order;
        EXPECT_NEAR(r.rippleDb, c.ap, 1e-3);
        // The cut-offs are the pass edges; BRF moves them towards the stop band only.
        if (c.type == dsp::kIirBrf) {
            EXPECT_TRUE(r.cutoffs.fc1 >= c.pass1 && r.cutoffs.fc1 < c.stop1) << r.cutoffs.fc1;
            EXPECT_TRUE(r.cutoffs.fc2 <= c.pass2 && r.cutoffs.fc2 > c.stop2) << r.cutoffs.fc2;
        } else {
            EXPECT_EQ(r.cutoffs.fc1, c.pass1);
        }
        EXPECT_GE(IirAttenuation(req, r.sections, r.cutoffs), c.as);
        // One prototype pole pair fewer falls short of As.
        const int fewer = r.sections - (c.type == dsp::kIirBrf || c.type == dsp::kIirBpf ? 2 : 1);
        if (fewer >= 1) {
            EXPECT_LT(IirAttenuation(req, fewer, r.cutoffs), c.as);
        }
    }
}

TEST(Requirements, IirBeyondEightSectionsDesignsEight) {
    const dsp::IirRequirements req{dsp::kIirLpf, 1000.0, 200.0, 0.0, 205.0, 0.0, 0.5, 80.0};
    const dsp::IirRequirementResult r = dsp::SearchIirRequirements(req);
    EXPECT_FALSE(r.met);
    EXPECT_GT(dsp::SectionsForOrder(req.type, r.order), dsp::kIirMaxSections);
    EXPECT_EQ(r.sections, dsp::kIirMaxSections);
    EXPECT_LT(r.attenuationDb, 80.0);
    EXPECT_NEAR(r.attenuationDb, IirAttenuation(req, 8, r.cutoffs), 1e-9);
}

} // namespace
