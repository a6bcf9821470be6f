// The frequency response plot: gain in dB (red) and phase in radians (green) over a grid of 12
// rows and 10 columns, with the scale, frequency and legend labels, and the quantization
// caption drawn beside it. Geometry first (ComputeFreqResponse, plain values), then a thin
// drawing loop (DrawFreqResponse).
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "platform/DrawContext.h"
#include "plots/PlotFrame.h"
#include "plots/PlotGeometry.h"

namespace plots {

// What the plot reads besides the two response arrays.
struct FreqResponseSettings {
    double gainRange = 100.0; // dB from 0 dB down to the bottom row; a range <= 0 draws no gain
    int freqZoom = 0;         // 0: 1x (fs/2 across the grid), 1: 10x (fs/20)
    int startPos = 0;         // start-frequency slider, 0..100 (100 stands for fs/2)
    double fs = 1000.0;       // sampling frequency, Hz
    bool noDesign = false;    // the hint to design is shown
    // Screen: labels that would cover a neighbour in the measured font move clear of it. The
    // print-out keeps every label at its fixed place.
    bool fitLabels = true;
    // Bands (Hz, lo..hi) hatched behind the curves: those a rate change folds onto the pass band.
    std::vector<std::pair<double, double>> markedBands{};
    // The legend word of the red gain curve (a cascade names its whole response so).
    std::string gainLegend = "Gain";
};

// A gain curve drawn with the red one, such as the parts of a cascade: one value per response
// sample as the red curve's, its pen, and its legend word, listed in a second legend column.
struct ExtraGainCurve {
    std::vector<double> gainDb;
    platform::PenSpec pen;
    std::string legend;
};

// The hatch of the marked bands: a vertical line every kMarkedHatchStep pixels across the grid.
constexpr int kMarkedHatchStep = 3;
constexpr platform::PenSpec kMarkedBandPen{platform::PenStyle::kSolid, 1, {255, 205, 150}};

constexpr int kRespZoomFactor = 10;       // 10x zoom: 20 pixels per response sample
constexpr int kRespSampleStride = 2;      // 1x: 2 pixels per response sample
constexpr int kRespLastGainSample = 179;  // 1x gain curve ends at this sample
constexpr int kRespLastPhaseSample = 178; // 1x phase curve ends at this sample
constexpr int kRespZoomGainSegments = 18;
constexpr int kRespZoomPhaseSegments = 16;

constexpr int kRespNyquistSample = 180; // sample i stands for i degrees: 180 is fs/2

// The first response sample shown: position x WR / 200, so that position 100 is fs/2 at 1x. At
// 10x the 18 samples shown end at fs/2 at most: the start stops at sample 162.
int ResponseStartSample(int startPos, int freqZoom);
// The frequency at the left edge: position x fs / 200, or the start sample's frequency where the
// 10x start stops short of the slider.
double ResponseStartFrequency(int startPos, int freqZoom, double fs);

struct FreqResponseGeometry {
    ResponseFrame frame;                  // grid, references and frame lines
    int startSample = 0;                  // s: first response sample shown
    std::vector<PlotSegment> markedHatch; // the marked bands' hatch, top to bottom of the grid
    std::vector<PlotSegment> phaseCurve;
    PlotSegment phaseLegend;
    std::vector<PlotSegment> gainCurve;
    // While quantized: the ideal coefficients' gain, thin grey under the quantized red one.
    std::vector<PlotSegment> idealGainCurve;
    PlotSegment gainLegend;
    // The extra gain curves and their legend lines, in the order given.
    std::vector<std::vector<PlotSegment>> extraCurves;
    std::vector<PlotSegment> extraLegends;
    // Scale, legend and frequency labels, then the extra curves' legend words, then the hint.
    std::vector<PlotLabel> labels;
};

// The whole plot at origin (x0, y0). gain and phase hold one value per response sample (the
// document's 400-entry arrays); samples past their end count as 0 dB and 0 rad. Labels that
// would touch a neighbour in the measured font move sideways to clear it.
FreqResponseGeometry ComputeFreqResponse(const FreqResponseSettings& settings, int x0, int y0,
                                         std::span<const double> gain,
                                         std::span<const double> phase, const TextMeasure& measure,
                                         std::span<const double> idealGain = {},
                                         std::span<const ExtraGainCurve> extras = {});

// idealGain: the unquantized coefficients' gain while quantized, else empty; extras drawn over
// the ideal gain, under the red curve.
void DrawFreqResponse(platform::DrawContext& dc, int x0, int y0, std::span<const double> gain,
                      std::span<const double> phase, const FreqResponseSettings& settings,
                      std::span<const double> idealGain = {},
                      std::span<const ExtraGainCurve> extras = {});

// ---- Cursor readout -----------------------------------------------------------------------------
// The response under a point of the plot: the drawn sample nearest to it, its frequency (sample
// i stands for i degrees of angular frequency, so i x fs / 360 Hz), gain and phase.
struct ResponseReadout {
    int sample = 0;
    double frequency = 0.0; // Hz
    double gainDb = 0.0;
    double phase = 0.0; // rad
};
// Nothing when the point is outside the grid or beside the drawn part of the curve.
std::optional<ResponseReadout> ReadResponseAt(const FreqResponseSettings& settings, int x0, int y0,
                                              std::span<const double> gain,
                                              std::span<const double> phase,
                                              platform::Point logical);

// ---- Quantization caption ----------------------------------------------------------------------
constexpr int kCaptionBitsOffset = 75;  // x of the bit count from the caption's x
constexpr int kCaptionUnitOffset = 105; // x of "bits"

constexpr const char* kCaptionText = "Quantized by";

// The caption's three words: at x, x + 75 and x + 105, each moved right as far as the word before
// it needs in the measured font.
std::array<PlotLabel, 3> ComputeQuantCaption(int x, int y, int bits, const TextMeasure& measure,
                                             bool fitWords = true);

// "Quantized by", the bit count in red and "bits", only while quantizing; drawn in the
// context's current font.
// fitWords false (the print-out): the words stay at their fixed offsets.
void DrawQuantCaption(platform::DrawContext& dc, int x, int y, bool quantize, int bits,
                      bool fitWords = true);

} // namespace plots
