// Design from requirements. FIR: the rule-of-thumb tap count, then Remez designs measured on the
// design's own bands, stepping the count until the smallest one that meets Ap and As is found.
// IIR: the minimum Chebyshev order from the pre-warped edges, the section count that holds it,
// and the cascade designed and measured on the requirement's bands.
#include "dsp/Requirements.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <vector>

#include "dsp/FilterCoefficients.h"
#include "dsp/Measure.h"

namespace dsp {

double PassDeviation(double apDb) {
    const double g = std::pow(10.0, apDb / 20.0);
    return (g - 1.0) / (g + 1.0);
}

double StopDeviation(double asDb) {
    return std::pow(10.0, -asDb / 20.0);
}

namespace {

// The pass ripple and the attenuation of gains measured per band: the largest ripple of the pass
// bands, and the smallest distance of a stop band's largest gain below `referenceDb`.
struct BandFigures {
    double rippleDb = 0.0;
    double attenuationDb = INFINITY;
};

BandFigures FiguresOf(const std::vector<BandGain>& gains, double referenceDb) {
    BandFigures f;
    for (const BandGain& g : gains) {
        if (g.band.pass) {
            f.rippleDb = std::max(f.rippleDb, g.maxDb - g.minDb);
        } else {
            f.attenuationDb = std::min(f.attenuationDb, referenceDb - g.maxDb);
        }
    }
    return f;
}

bool OddTapsOnly(FirType type) {
    return type == FirType::kHighPass || type == FirType::kBandReject;
}

// The narrowest transition band of the type's edges, Hz.
double NarrowestTransition(const FirRequirements& req) {
    const bool threeBand = req.type == FirType::kBandReject || req.type == FirType::kBandPass;
    const double first = req.fc2 - req.fc1;
    return threeBand ? std::min(first, req.fc4 - req.fc3) : first;
}

// The smallest and the largest tap count of the type's parity in minTaps..maxTaps.
int LowestTaps(const FirRequirements& req) {
    return OddTapsOnly(req.type) && req.minTaps % 2 == 0 ? req.minTaps + 1 : req.minTaps;
}
int HighestTaps(const FirRequirements& req) {
    return OddTapsOnly(req.type) && req.maxTaps % 2 == 0 ? req.maxTaps - 1 : req.maxTaps;
}

// One tap count designed and measured on the design's bands (the taps as designed, multiplier 1,
// unquantized: the pass band's nominal gain is 0 dB).
FirRequirementTrial Trial(const FirRequirements& req, int taps, double rr) {
    FirSpecification spec;
    spec.type = req.type;
    spec.fs = req.fs;
    spec.fc1 = req.fc1;
    spec.fc2 = req.fc2;
    spec.fc3 = req.fc3;
    spec.fc4 = req.fc4;
    spec.rr = rr;
    spec.nTaps = taps;
    const FirDesign design = DesignFir(spec);
    FirRequirementTrial trial;
    trial.taps = taps;
    trial.designed = design.result.Ok() && !design.result.taps.empty();
    if (!trial.designed) {
        return trial;
    }
    const std::vector<double>& h = design.result.taps;
    const int n = static_cast<int>(h.size());
    const FilterCoefficients c = FirCoefficients(h, n, n, 1, false, 16);
    BandSpec bands;
    bands.type = static_cast<int>(req.type);
    bands.fs = req.fs;
    bands.fc1 = req.fc1;
    bands.fc2 = req.fc2;
    bands.fc3 = req.fc3;
    bands.fc4 = req.fc4;
    const BandFigures f = FiguresOf(MeasureGains(c, req.fs, MeasureBands(bands, c)), 0.0);
    trial.rippleDb = f.rippleDb;
    trial.attenuationDb = f.attenuationDb;
    trial.meets = f.rippleDb <= req.apDb && f.attenuationDb >= req.asDb;
    return trial;
}

} // namespace

int EstimateRequirementTaps(const FirRequirements& req, double dp, double ds) {
    const double width = NarrowestTransition(req) / req.fs;
    const double term = -10.0 * std::log10(dp * ds) - 13.0;
    const double estimate = term / (15.0 * width);
    int n = HighestTaps(req);
    if (std::isfinite(estimate) && width > 0.0 && estimate < n) {
        n = std::max(LowestTaps(req), static_cast<int>(std::ceil(estimate)));
    }
    if (OddTapsOnly(req.type) && n % 2 == 0) {
        ++n;
    }
    return std::min(n, HighestTaps(req));
}

FirRequirementResult SearchFirRequirements(const FirRequirements& req) {
    FirRequirementResult result;
    const double dp = PassDeviation(req.apDb);
    const double ds = StopDeviation(req.asDb);
    result.rr = dp / ds;
    const int step = OddTapsOnly(req.type) ? 2 : 1;
    const int lowest = LowestTaps(req);
    const int highest = HighestTaps(req);
    std::map<int, FirRequirementTrial> tried;
    const auto at = [&](int taps) -> const FirRequirementTrial& {
        auto it = tried.find(taps);
        if (it == tried.end()) {
            it = tried.emplace(taps, Trial(req, taps, result.rr)).first;
            ++result.designs;
        }
        return it->second;
    };
    result.estimate = EstimateRequirementTaps(req, dp, ds);
    int n = result.estimate;
    // Up from the estimate to the first count that meets the requirements.
    while (!at(n).meets && n + step <= highest) {
        n += step;
    }
    if (!at(n).meets) {
        result.chosen = at(highest);
        return result;
    }
    // Down while one of the next two smaller counts meets them too: a count that fails can sit
    // between two that meet, since the measured figures do not fall strictly with the count.
    for (bool lower = true; lower;) {
        lower = false;
        for (int k = 1; k <= 2 && !lower; ++k) {
            const int m = n - k * step;
            if (m >= lowest && at(m).meets) {
                n = m;
                lower = true;
            }
        }
    }
    result.met = true;
    result.chosen = at(n);
    return result;
}

// ---- IIR ----

int ChebyshevOrder(const IirRequirements& req) {
    const auto warp = [&](double f) { return std::tan(std::numbers::pi * f / req.fs); };
    const double p1 = warp(req.pass1);
    const double p2 = warp(req.pass2);
    const double s1 = warp(req.stop1);
    const double s2 = warp(req.stop2);
    double nat = 0.0;
    switch (req.type) {
    case kIirHpf:
        nat = p1 / s1;
        break;
    case kIirBpf: // the low-pass to band-pass mapping of each stop edge
        nat = std::min(std::fabs((s1 * s1 - p1 * p2) / (s1 * (p1 - p2))),
                       std::fabs((s2 * s2 - p1 * p2) / (s2 * (p1 - p2))));
        break;
    case kIirBrf: // the low-pass to band-stop mapping of each stop edge
        nat = std::min(std::fabs(s1 * (p1 - p2) / (s1 * s1 - p1 * p2)),
                       std::fabs(s2 * (p1 - p2) / (s2 * s2 - p1 * p2)));
        break;
    default:
        nat = s1 / p1;
        break;
    }
    if (!(nat > 1.0) || !std::isfinite(nat)) {
        return 0;
    }
    const double gStop = std::pow(10.0, 0.1 * req.asDb);
    const double gPass = std::pow(10.0, 0.1 * req.apDb);
    return static_cast<int>(
        std::ceil(std::acosh(std::sqrt((gStop - 1.0) / (gPass - 1.0))) / std::acosh(nat)));
}

int SectionsForOrder(int type, int order) {
    const int pairs = (order + 1) / 2;
    return type == kIirBrf || type == kIirBpf ? 2 * pairs : pairs;
}

namespace {

// The requirement's bands: pass bands bounded by the pass edges, stop bands by the stop edges.
std::vector<Band> IirRequirementBands(const IirRequirements& req) {
    const double half = req.fs / 2.0;
    switch (req.type) {
    case kIirHpf:
        return {{false, 0.0, req.stop1}, {true, req.pass1, half}};
    case kIirBpf:
        return {{false, 0.0, req.stop1}, {true, req.pass1, req.pass2}, {false, req.stop2, half}};
    case kIirBrf:
        return {{true, 0.0, req.pass1}, {false, req.stop1, req.stop2}, {true, req.pass2, half}};
    default:
        return {{true, 0.0, req.pass1}, {false, req.stop1, half}};
    }
}

} // namespace

IirRequirementResult SearchIirRequirements(const IirRequirements& req) {
    IirRequirementResult result;
    result.order = ChebyshevOrder(req);
    const int needed = SectionsForOrder(req.type, std::max(result.order, 1));
    result.met = result.order > 0 && needed <= kIirMaxSections;
    result.sections = std::min(needed, kIirMaxSections);
    IirSpec spec;
    spec.type = req.type;
    spec.sections = result.sections;
    spec.rippleDb = req.apDb;
    spec.fs = req.fs;
    spec.fc1 = req.pass1;
    spec.fc2 = req.pass2;
    if (!DesignIirCascade(spec, result.cascade)) {
        result.met = false;
        return result;
    }
    std::vector<Section> sections;
    for (size_t j = 0; j < static_cast<size_t>(kIirMaxSections); ++j) {
        const IirCascade& c = result.cascade;
        sections.push_back({c.a0[j], c.a1[j], c.a2[j], c.b1[j], c.b2[j]});
    }
    const FilterCoefficients c = IirCoefficients(sections, result.sections, false, 16);
    const std::vector<BandGain> gains = MeasureGains(c, req.fs, IirRequirementBands(req));
    double peakDb = -INFINITY;
    for (const BandGain& g : gains) {
        peakDb = g.band.pass ? std::max(peakDb, g.maxDb) : peakDb;
    }
    const BandFigures f = FiguresOf(gains, peakDb);
    result.rippleDb = f.rippleDb;
    result.attenuationDb = f.attenuationDb;
    return result;
}

} // namespace dsp
