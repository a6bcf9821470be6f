// Spectrum panel. At 1x the panel spans 0 to fs from the start frequency (the whole 256-bin
// spectrum, mirror half included, about 1.5 pixels per bin); at 10x it spans fs/10 (15 pixels
// per bin). The top grid line is 80 pixels above the baseline; values above the panel are held
// at its top line, so that a peak never leaves the panel.
#include "plots/SpectrumPlot.h"

#include <algorithm>

#include "plots/PlotConventions.h"

namespace plots {

namespace {

constexpr int kWS = kSpecGridWidth;
constexpr int kHS = kSpecPanelHeight;
constexpr int kMaxSliderPos = 100;
constexpr double kCurveScale = 2.0; // Y = 2 x magnitude
constexpr int kBaselineRow = 4;     // of kSpecGridRows
// x of bin s + k at 1x is x0 + (3k)/2; at 10x x0 + (30k)/2.
constexpr int kHalfPixelsPerBin = 3;
constexpr int kZoomHalfPixelsPerBin = 30;
constexpr double kStartFraction = 0.01;
// Indices into the label list; the frequency labels follow the fixed ones.
constexpr size_t kFreqUnitLabel = 0;

double BinAt(std::span<const double> m, int i) {
    return i >= 0 && static_cast<size_t>(i) < m.size() ? m[static_cast<size_t>(i)] : 0.0;
}

} // namespace

SpectrumGeometry ComputeSpectrum(const SpectrumSettings& settings, int x0, int y0,
                                 std::span<const double> magnitudes, bool input,
                                 const TextMeasure& measure) {
    SpectrumGeometry g;
    const int right = x0 + kWS;
    const int bottom = y0 + kHS;
    for (int i = 0; i <= kSpecGridRows; ++i) {
        const int y = GridRow(y0, i, kHS, kSpecGridRows);
        g.grid.push_back({{x0, y}, {right, y}});
    }
    for (int i = 0; i <= kSpecGridColumns; ++i) {
        const int x = x0 + (i * kWS) / kSpecGridColumns;
        g.grid.push_back({{x, y0}, {x, bottom}});
    }
    g.frame = {{{x0, y0}, {right, y0}},
               {{x0, bottom}, {right, bottom}},
               {{x0, y0}, {x0, bottom}},
               {{right, y0}, {right, bottom}}};

    const bool zoomed = settings.freqZoom == 1;
    const int zoom = zoomed ? 10 : 1;
    const int position = std::clamp(settings.startPos, 0, kMaxSliderPos);
    const int s = (position * kSpecLastBin) / 100;
    g.firstBin = s;
    g.baseline = GridRow(y0, kBaselineRow, kHS, kSpecGridRows);
    const auto y = [&](int bin) {
        return std::clamp(PointY(g.baseline, kCurveScale * BinAt(magnitudes, bin)), y0, bottom);
    };
    // Segments stop at the last bin: at 1x all bins from s, at 10x at most 25.
    const int available = kSpecLastBin - s;
    const int segments = zoomed ? std::min(kSpecZoomSegments, available) : available;
    const int half = zoomed ? kZoomHalfPixelsPerBin : kHalfPixelsPerBin;
    for (int k = 0; k < segments; ++k) {
        g.curve.push_back(
            {{x0 + (half * k) / 2, y(s + k)}, {x0 + (half * k + half) / 2, y(s + k + 1)}});
    }

    // Frequency labels sit at the absolute height H, the bottom of the plot area.
    const double f0 = settings.fs * position * kStartFraction;
    g.labels = {
        {{x0 + kWS + 20, kPlotHeight}, "[Hz]"},
        {{x0 - 40, y0 - 5}, FormatLabel("%6.2f", settings.magRange)},
        {{x0 - 30, g.baseline - 8}, "0.0"},
        {{x0 - 50, y0 + kHS / 2 - 20}, input ? "Input" : "Output"},
        {{x0 - 60, y0 + kHS / 2 - 5}, "Spectrum"},
    };
    // The frequency axis: fs (1x) or fs/10 (10x) from f0, labelled at 1-2-5 steps.
    const std::size_t fixed = g.labels.size();
    const std::vector<PlotLabel> freqs =
        AxisLabels(f0, settings.fs / zoom, x0, kWS, kPlotHeight, measure);
    g.labels.insert(g.labels.end(), freqs.begin(), freqs.end());
    // A wide last frequency yields to "[Hz]" beside it.
    if (settings.fitLabels && g.labels.size() > fixed) {
        MoveClearOf(measure, g.labels.back(), g.labels[kFreqUnitLabel], Side::kLeft);
        DropCovered(g.labels, fixed, measure);
    }
    return g;
}

void DrawSpectrum(platform::DrawContext& dc, int x0, int y0, std::span<const double> magnitudes,
                  bool input, const SpectrumSettings& settings) {
    ScopedFont font(dc, LabelFont());
    const SpectrumGeometry g =
        ComputeSpectrum(settings, x0, y0, magnitudes, input, MeasureWith(dc));
    {
        ScopedPen grid(dc, kGreyGridPen);
        DrawSegments(dc, g.grid);
    }
    DrawSegments(dc, g.frame);
    {
        ScopedPen trace(dc, kRedTracePen);
        DrawSegments(dc, g.curve);
    }
    PrepareLabels(dc);
    DrawLabels(dc, g.labels);
}

} // namespace plots
