// Group delay and impulse/step response: one curve (and the ideal one under it while
// quantized) over the 12 x 10 grid of the frequency response. Group delay takes the response's
// x mapping: at 1x two pixels per point from the slider's start point, at 10x twenty pixels per
// point. The time responses spread their samples over the grid's width.
#include <algorithm>
#include <cmath>

#include "plots/FilterViewPlots.h"
#include "plots/FreqResponsePlot.h"
#include "plots/PlotConventions.h"

namespace plots {

namespace {

constexpr int kH = kPlotHeight;
constexpr int kWR = kRespGridWidth;
constexpr double kRangeMargin = 0.25; // of the span, beyond the largest value: room for the legend
constexpr int kMiddleRow = kRespGridRows / 2;

// Legend: the line right of its text.
constexpr int kLegendTextX = 200;
constexpr int kLegendX1 = 320;
constexpr int kLegendX2 = 350;
constexpr int kShownLegendY = 12;
constexpr int kIdealLegendY = 32;

// The y of a value on the grid from `low` (bottom) to `high` (top), held inside the grid.
int ValueY(int y0, const ValueRange& range, double value) {
    const double fraction = (value - range.low) / (range.high - range.low);
    return y0 + kH - PixelOffset(std::clamp(fraction, 0.0, 1.0) * kH);
}

double At(std::span<const double> values, int i) {
    return i >= 0 && static_cast<std::size_t>(i) < values.size()
               ? values[static_cast<std::size_t>(i)]
               : 0.0;
}

// Indices into the label list: the unit of the x axis first, then the scale.
constexpr std::size_t kXUnitLabel = 0;
constexpr std::size_t kBottomScaleLabel = 3;

// Wide numbers yield to their neighbours: the last x label to the unit, the first x label to
// the bottom of the scale. The x labels are the list's [firstX, lastX].
void FitLabels(CurvePlotGeometry& g, const TextMeasure& measure, std::size_t firstX,
               std::size_t lastX) {
    if (!measure || lastX >= g.labels.size() || firstX > lastX) {
        return;
    }
    MoveClearOf(measure, g.labels[lastX], g.labels[kXUnitLabel], Side::kLeft);
    MoveClearOf(measure, g.labels[firstX], g.labels[kBottomScaleLabel], Side::kRight);
    if (lastX + 1 == g.labels.size()) {
        DropCovered(g.labels, firstX, measure);
    }
}

// The scale on the left, the legend and the hint, shared by both curve plots.
void AddCommonLabels(CurvePlotGeometry& g, int x0, int y0, const char* unit, const char* name,
                     bool withIdeal, bool noDesign) {
    const ValueRange range{g.low, g.high};
    const double middle = 0.5 * (g.low + g.high);
    int decimals = 0;
    for (double value : {g.low, middle, g.high}) {
        decimals = std::max(decimals, value != 0.0 ? StepDecimals(std::abs(value)) : 0);
    }
    g.labels.push_back({{x0 - 60, y0 - 5}, FormatStep(g.high, 7, decimals)});
    g.labels.push_back({{x0 - 60, GridRow(y0, kMiddleRow, kH, kRespGridRows) - 5},
                        FormatStep(middle, 7, decimals)});
    g.labels.push_back({{x0 - 60, y0 + kH - 5}, FormatStep(g.low, 7, decimals)});
    if (*unit != '\0') {
        g.labels.push_back({{x0 - 55, y0 + 10}, unit});
    }
    g.labels.push_back({{x0 + kLegendTextX, y0 + kShownLegendY - 7}, name});
    g.shownLegend = {{{x0 + kLegendX1, y0 + kShownLegendY}, {x0 + kLegendX2, y0 + kShownLegendY}}};
    if (withIdeal) {
        g.labels.push_back({{x0 + kLegendTextX, y0 + kIdealLegendY - 7}, "Ideal"});
        g.idealLegend = {
            {{x0 + kLegendX1, y0 + kIdealLegendY}, {x0 + kLegendX2, y0 + kIdealLegendY}}};
    }
    if (g.low < 0.0 && g.high > 0.0) {
        const int y = ValueY(y0, range, 0.0);
        g.zeroLine = {{{x0, y}, {x0 + kWR, y}}};
    }
    if (noDesign) {
        g.labels.push_back({g.frame.hint, kDesignHint});
    }
}

} // namespace

ValueRange CurveRange(std::span<const double> shown, std::span<const double> ideal) {
    double low = 0.0;
    double high = 0.0;
    for (std::span<const double> values : {shown, ideal}) {
        for (double v : values) {
            if (std::isfinite(v)) {
                low = std::min(low, v);
                high = std::max(high, v);
            }
        }
    }
    const double margin = kRangeMargin * (high - low);
    high += high > 0.0 ? margin : 0.0;
    low -= low < 0.0 ? margin : 0.0;
    if (high - low <= 0.0) {
        high = low + 1.0; // all zero: a unit scale
    }
    // Each end rounded outward to 1, 2 or 5 times a power of ten, for scale labels people read.
    high = high > 0.0 ? NiceCeil(high) : high;
    low = low < 0.0 ? -NiceCeil(-low) : low;
    return {low, high};
}

CurvePlotGeometry ComputeGroupDelayPlot(const GroupDelaySettings& settings, int x0, int y0,
                                        std::span<const double> delay,
                                        std::span<const double> ideal, const TextMeasure& measure) {
    CurvePlotGeometry g;
    g.frame = ComputeResponseFrame(x0, y0);
    const bool zoomed = settings.freqZoom == 1;
    const int zoom = zoomed ? kRespZoomFactor : 1;
    const int s = ResponseStartSample(settings.startPos, settings.freqZoom);
    const int segments = zoomed ? kRespZoomGainSegments : kRespLastGainSample - s;
    const int step = zoomed ? kRespZoomFactor * kRespSampleStride : kRespSampleStride;

    // The scale covers the points drawn, not the whole circle.
    const auto drawn = [&](std::span<const double> values) {
        const std::size_t first = std::min(values.size(), static_cast<std::size_t>(s));
        return values.subspan(
            first, std::min(values.size() - first, static_cast<std::size_t>(segments + 1)));
    };
    const ValueRange range = CurveRange(drawn(delay), drawn(ideal));
    g.low = range.low;
    g.high = range.high;
    const auto curve = [&](std::span<const double> values, std::vector<PlotSegment>& out) {
        for (int k = 0; k < segments && !values.empty(); ++k) {
            const int x = x0 + step * k;
            out.push_back({{x, ValueY(y0, range, At(values, s + k))},
                           {x + step, ValueY(y0, range, At(values, s + k + 1))}});
        }
    };
    curve(ideal, g.ideal);
    curve(delay, g.shown);

    const double f0 = ResponseStartFrequency(settings.startPos, settings.freqZoom, settings.fs);
    g.labels = {{{x0 + kWR + 10, y0 + kH + 10}, "[Hz]"}};
    AddCommonLabels(g, x0, y0, "[smp]", "Group delay", !ideal.empty(), settings.noDesign);
    // The frequency axis as on the frequency response: labelled at 1-2-5 steps.
    const std::size_t firstX = g.labels.size();
    const std::vector<PlotLabel> freqs =
        AxisLabels(f0, 0.5 * settings.fs / zoom, x0, kWR, y0 + kH, measure);
    g.labels.insert(g.labels.end(), freqs.begin(), freqs.end());
    FitLabels(g, measure, firstX, g.labels.size() - 1);
    return g;
}

CurvePlotGeometry ComputeTimeResponsePlot(int x0, int y0, bool step,
                                          std::span<const double> samples,
                                          std::span<const double> ideal, bool noDesign,
                                          const TextMeasure& measure) {
    CurvePlotGeometry g;
    g.frame = ComputeResponseFrame(x0, y0);
    const ValueRange range = CurveRange(samples, ideal);
    g.low = range.low;
    g.high = range.high;
    const int count = static_cast<int>(std::max(samples.size(), ideal.size()));
    const int last = std::max(count - 1, 1);
    const auto xOf = [&](int n) { return x0 + (n * kWR) / last; };
    const auto curve = [&](std::span<const double> values, std::vector<PlotSegment>& out) {
        for (int n = 0; n + 1 < static_cast<int>(values.size()); ++n) {
            out.push_back({{xOf(n), ValueY(y0, range, At(values, n))},
                           {xOf(n + 1), ValueY(y0, range, At(values, n + 1))}});
        }
    };
    curve(ideal, g.ideal);
    curve(samples, g.shown);
    g.labels = {{{x0 + kWR + 10, y0 + kH + 10}, "[n]"}};
    AddCommonLabels(g, x0, y0, "", step ? "Step response" : "Impulse response", !ideal.empty(),
                    noDesign);
    const std::size_t firstX = g.labels.size();
    g.labels.push_back({{x0 - 30, y0 + kH}, FormatLabel("%12d", 0)});
    g.labels.push_back({{x0 + kWR / 2 - 30, y0 + kH}, FormatLabel("%12d", last / 2)});
    g.labels.push_back({{x0 + kWR - 30, y0 + kH}, FormatLabel("%12d", last)});
    FitLabels(g, measure, firstX, g.labels.size() - 1);
    return g;
}

void DrawCurvePlot(platform::DrawContext& dc, const CurvePlotGeometry& g) {
    ScopedFont font(dc, LabelFont());
    {
        ScopedPen grid(dc, kGreyGridPen);
        for (const HorizontalLine& row : g.frame.gridRows) {
            Segment(dc, row.x1, row.y, row.x2, row.y);
        }
        for (const VerticalLine& column : g.frame.gridColumns) {
            Segment(dc, column.x, column.y1, column.x, column.y2);
        }
    }
    {
        ScopedPen reference(dc, kBlackReferencePen);
        DrawSegments(dc, g.zeroLine);
    }
    // The frame uses the context's own pen.
    for (const HorizontalLine& row : g.frame.frameRows) {
        Segment(dc, row.x1, row.y, row.x2, row.y);
    }
    for (const VerticalLine& column : g.frame.frameColumns) {
        Segment(dc, column.x, column.y1, column.x, column.y2);
    }
    {
        ScopedPen trace(dc, kGreyIdealPen);
        DrawSegments(dc, g.ideal);
        DrawSegments(dc, g.idealLegend);
    }
    {
        ScopedPen trace(dc, kRedTracePen);
        DrawSegments(dc, g.shown);
        DrawSegments(dc, g.shownLegend);
    }
    PrepareLabels(dc);
    DrawLabels(dc, g.labels);
}

} // namespace plots
