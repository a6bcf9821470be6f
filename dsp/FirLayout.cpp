// The band layout of each FIR filter type, and a design from the type's parameters.
//
// Every pass band has desired gain 1 and weight 1, every stop band desired gain 0 and weight RR.
// The first band starts at DC and the last ends at half the sampling frequency.
#include "dsp/FirDesign.h"

#include <algorithm>
#include <cmath>

namespace dsp {

FirType FirTypeFromIndex(int index) {
    switch (index) {
    case 1:
        return FirType::kHighPass;
    case 2:
        return FirType::kBandReject;
    case 3:
        return FirType::kBandPass;
    default:
        return FirType::kLowPass;
    }
}

FirBands FirBandLayout(FirType type, double fs, double fc1, double fc2, double fc3, double fc4,
                       double rr) {
    struct Shape {
        int nBands;
        double desired[kMaxFirBands];
        bool stop[kMaxFirBands]; // stop bands take the weight RR
    };
    Shape shape{2, {1.0, 0.0, 0.0}, {false, true, false}};
    switch (type) {
    case FirType::kHighPass:
        shape = {2, {0.0, 1.0, 0.0}, {true, false, false}};
        break;
    case FirType::kBandReject:
        shape = {3, {1.0, 0.0, 1.0}, {false, true, false}};
        break;
    case FirType::kBandPass:
        shape = {3, {0.0, 1.0, 0.0}, {true, false, true}};
        break;
    case FirType::kLowPass:
        break;
    }
    FirBands bands;
    bands.nBands = shape.nBands;
    if (shape.nBands == 2) {
        bands.edges = {0.0, fc1 / fs, fc2 / fs, 0.5, 0.0, 0.0};
    } else {
        bands.edges = {0.0, fc1 / fs, fc2 / fs, fc3 / fs, fc4 / fs, 0.5};
    }
    for (int b = 0; b < shape.nBands; ++b) {
        bands.desired[b] = shape.desired[b];
        bands.weight[b] = shape.stop[b] ? rr : 1.0;
    }
    return bands;
}

namespace {

// Whatever stopped the exchange, taps that are not all finite are no filter: the design counts
// as failed and leaves zeros rather than NaN for anything that reads the taps.
void ZeroTapsThatAreNoNumbers(FirDesignResult& result) {
    std::vector<double>& taps = result.taps;
    if (!std::all_of(taps.begin(), taps.end(), [](double h) { return std::isfinite(h); })) {
        result.verdict = FirVerdict::kFailed;
        std::fill(taps.begin(), taps.end(), 0.0);
    }
}

} // namespace

FirDesign DesignFir(const FirSpecification& params) {
    FirDesign design;
    design.bands = FirBandLayout(params.type, params.fs, params.fc1, params.fc2, params.fc3,
                                 params.fc4, params.rr);
    design.result = RemezDesign(params.nTaps, design.bands);
    ZeroTapsThatAreNoNumbers(design.result);
    return design;
}

FirDesign DesignFirBands(int nTaps, const FirBands& bands, FirKind kind) {
    FirDesign design;
    design.bands = bands;
    design.result = RemezDesign(nTaps, bands, kind);
    ZeroTapsThatAreNoNumbers(design.result);
    return design;
}

} // namespace dsp
