// Measured gains of the designed filter per band, and the coefficient word-length advisor.
//
// A pass band is measured by its smallest and largest gain, a stop band by its largest gain, all
// in dB on a dense grid over 0..fs/2 (kMeasureIntervals steps, the band edges evaluated exactly).
// FIR bands are the bands the design was made with (filter type and edges fc1..fc4, or its own
// band table). IIR pass
// bands are bounded by the cut-off frequencies; an IIR stop band starts where the unquantized
// gain, moving away from the pass band, first falls to kIirStopLevelDb, and runs to the end of
// the axis (or, for the band-rejection type, to the same point seen from the other pass band).
#pragma once

#include <vector>

#include "dsp/FilterCoefficients.h"

namespace dsp {

constexpr int kMeasureIntervals = 8192;   // grid steps over 0..fs/2 (8193 points)
constexpr double kIirStopLevelDb = -20.0; // where an IIR stop band begins
constexpr double kDefaultToleranceDb = 1.0;

// The rule of the IIR bands, as the Measurements dialog and the command line's help state it.
extern const char* const kIirBandRuleText;

struct Band {
    bool pass = false;
    double lo = 0.0; // Hz
    double hi = 0.0; // Hz
};

struct BandGain {
    Band band;
    double minDb = 0.0; // smallest gain in the band (reported for pass bands)
    double maxDb = 0.0; // largest gain in the band
};

// What the bands are made of: the filter type, fs and the band edges in Hz (FIR: fc1..fc4 of
// the design; IIR: the cut-off frequencies fc1, fc2).
struct BandSpec {
    int type = 0; // 0 LPF, 1 HPF, 2 BRF, 3 BPF
    double fs = 1000.0;
    double fc1 = 0.0, fc2 = 0.0, fc3 = 0.0, fc4 = 0.0;
    // A FIR design made on a band table of its own (Hilbert transformer, differentiator,
    // multiband) is measured in those bands, in Hz; type and fc1..fc4 then mean nothing.
    std::vector<Band> firBands{};
};

// The bands of the FIR or IIR design (as `unquantized.iir` says), in frequency order. IIR stop
// bands follow the unquantized response. Bands that the edges leave empty are left out.
std::vector<Band> MeasureBands(const BandSpec& params, const FilterCoefficients& unquantized);

// The gains in `bands` of the coefficients c (the leaving ones: K applied, quantized or not).
std::vector<BandGain> MeasureGains(const FilterCoefficients& c, double fs,
                                   const std::vector<Band>& bands);

struct Measurements {
    std::vector<BandGain> unquantized;
    std::vector<BandGain> quantized; // empty while quantization is off
};
// The bands of the unquantized coefficients, measured unquantized and, when `quantized` is
// given, quantized.
Measurements Measure(const BandSpec& params, const FilterCoefficients& unquantized,
                     const FilterCoefficients* quantized);

// The gains the command line prints: the quantized ones when quantization is on.
const std::vector<BandGain>& ReportedGains(const Measurements& m);

// ---- Word-length advisor ---------------------------------------------------------------------
// The smallest coefficient bit length B whose truncated coefficients keep every stop band's
// maximum no more than TOL dB above the unquantized design's, every pass band's ripple (maximum
// minus minimum) no more than TOL dB above the unquantized design's, and, for IIR, every pole of
// every quantized section strictly inside the unit circle. B runs over 4..32 (FIR) or 4..24
// (IIR); a B that the Coefficients dialog refuses for this design is no candidate.
struct BitCandidate {
    int bits = 0;
    double stopMaxDb = 0.0; // largest gain over all stop bands (NaN without stop bands)
    double rippleDb = 0.0;  // largest pass-band ripple (NaN without pass bands)
    bool stable = true;     // IIR: every quantized pole strictly inside the unit circle
    bool meets = false;     // the rule holds for this B
};

struct BitAdvice {
    int bits = 0; // the advised B; 0 when no candidate meets the rule
    // The unquantized design's values the candidates are held against (NaN without such bands).
    double designStopMaxDb = 0.0;
    double designRippleDb = 0.0;
    std::vector<BitCandidate> candidates;
};

// `unquantized` holds the design's coefficients before truncation.
BitAdvice AdviseBits(const BandSpec& params, const FilterCoefficients& unquantized,
                     double toleranceDb);

// Both poles of 1 + b1 z^-1 + b2 z^-2 strictly inside the unit circle.
bool SectionStable(double b1, double b2);

} // namespace dsp
