// The four views beside the frequency response: group delay (over the response's frequency
// axis, zoom and start slider), the pole-zero diagram, and the impulse and step responses. Each
// computes its geometry as plain values first (Compute*), then draws it in a thin loop. While
// quantization is on, the ideal coefficients' curve or roots are drawn under the quantized ones.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "dsp/PoleZero.h"
#include "platform/DrawContext.h"
#include "plots/PlotConventions.h"
#include "plots/PlotFrame.h"
#include "plots/PlotGeometry.h"

namespace plots {

struct PlotData;

constexpr platform::Rgb kBlue{0, 0, 255};

// A curve over the response grid: the grid, a zero line, the ideal curve (grey, empty unless
// quantized), the curve of the coefficients in use (red), the legend lines and the labels.
struct CurvePlotGeometry {
    ResponseFrame frame;
    double low = 0.0;  // value at the bottom of the grid
    double high = 1.0; // value at the top
    std::vector<PlotSegment> zeroLine;
    std::vector<PlotSegment> ideal;
    std::vector<PlotSegment> shown;
    std::vector<PlotSegment> shownLegend;
    std::vector<PlotSegment> idealLegend;
    std::vector<PlotLabel> labels;
};

// The value range of a curve plot: from min(0, smallest) to max(0, largest), widened by a quarter
// of the span on the side away from 0 and then out to 1, 2 or 5 times a power of ten; 0 to 1
// when every value is 0.
struct ValueRange {
    double low = 0.0;
    double high = 1.0;
};
ValueRange CurveRange(std::span<const double> shown, std::span<const double> ideal);

// ---- Group delay ----------------------------------------------------------------------------
struct GroupDelaySettings {
    int freqZoom = 0; // as the frequency response: 0 1x, 1 10x
    int startPos = 0; // start-frequency slider, 0..100
    double fs = 1000.0;
    bool noDesign = false;
};

// delay and ideal hold one value per response point (360); ideal is empty when not quantized.
// With a measure, wide numbers move clear of their neighbours as on the frequency response
// (the last frequency of "[Hz]", the first frequency of the bottom of the scale).
CurvePlotGeometry ComputeGroupDelayPlot(const GroupDelaySettings& settings, int x0, int y0,
                                        std::span<const double> delay,
                                        std::span<const double> ideal,
                                        const TextMeasure& measure = {});
void DrawCurvePlot(platform::DrawContext& dc, const CurvePlotGeometry& g);

// ---- Impulse and step response -------------------------------------------------------------
// samples: n = 0 .. count - 1 across the grid width; ideal empty when not quantized.
CurvePlotGeometry ComputeTimeResponsePlot(int x0, int y0, bool step,
                                          std::span<const double> samples,
                                          std::span<const double> ideal, bool noDesign,
                                          const TextMeasure& measure = {});

// ---- Pole-zero diagram ----------------------------------------------------------------------
constexpr int kPoleZeroRadiusPixels = 110;  // the view's radius in logical units
constexpr double kPoleZeroMinRadius = 1.25; // the view reaches at least this |z|
constexpr double kPoleZeroMaxRadius = 1.5;  // and at most this: farther roots become arrows
constexpr int kMarkerSize = 4;              // half the width of a marker
constexpr int kArrowLength = 16;            // logical units of an arrow to roots beyond the view

// The |z| the view reaches: the unit circle plus a margin, widened to a tenth past the farthest
// root (in steps of 0.05) but never beyond kPoleZeroMaxRadius, so the unit circle keeps at least
// two thirds of the view however far one root lies.
double PoleZeroViewRadius(const dsp::PoleZeroSet& ideal, const dsp::PoleZeroSet* quantized);

// A repeated root (roots within 1e-3 of each other) is drawn once, with its count beside it.
// Roots beyond the view are drawn as an arrow at the view's edge in their direction (one per 15
// degrees of direction), with their count beside it.
struct RootMarker {
    platform::Point at; // the marker's centre, or the arrow's tip
    int count = 1;      // roots at this spot (or in this direction)
    bool beyond = false;
};
// One set's markers at `centre`, pixelsPerUnit for |z| = 1 and the view's radius in |z|.
std::vector<RootMarker> GroupRoots(const std::vector<dsp::Root>& roots, platform::Point centre,
                                   double pixelsPerUnit, double viewRadius);

struct PoleZeroGeometry {
    platform::Point centre;
    double viewRadius = kPoleZeroMinRadius; // |z| at kPoleZeroRadiusPixels
    std::vector<PlotSegment> axes;          // dotted
    std::vector<PlotSegment> unitCircle;    // black
    std::vector<PlotSegment> idealMarks;    // blue: x for poles, o for zeros, arrows beyond
    std::vector<PlotSegment> shownMarks;    // red: the quantized coefficients' roots
    std::vector<PlotSegment> unstableMarks; // red squares around poles on or outside the circle
    int hiddenRoots = 0;                    // roots beyond the view (drawn as arrows)
    std::vector<PlotLabel> labels;          // axis labels, legend, the count beyond the view
    std::vector<PlotLabel> blueLabels;      // "Ideal", then the counts of the ideal roots
    std::vector<PlotLabel> redLabels; // "Quantized", the instability notice, the quantized counts
};

// ideal: the roots of the unquantized coefficients; quantized: those of the quantized ones (no
// roots when quantization is off). unstable: the sections of the shown coefficients whose poles
// lie on or outside the unit circle. The axis labels ("1", "-1", "j", "-j", "Re", "Im") take the
// first place around their point that no marker or count covers (measured in the label font;
// without a measure, by an estimate).
PoleZeroGeometry ComputePoleZeroPlot(int x0, int y0, const dsp::PoleZeroSet& ideal,
                                     const dsp::PoleZeroSet* quantized, bool noDesign,
                                     const TextMeasure& measure = {});
void DrawPoleZeroPlot(platform::DrawContext& dc, const PoleZeroGeometry& g);

// ---- One view from its values ----------------------------------------------------------------
// Draws the filter view of data.state.mode (group delay .. step) at origin (x0, y0); any other
// mode draws nothing.
void DrawFilterView(platform::DrawContext& dc, const PlotData& data, int x0, int y0);

} // namespace plots
