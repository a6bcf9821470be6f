// The hardware output over the wave plot's output panel, and its legend row.
#include "plots/HardwareWavePlot.h"

#include <climits>
#include <optional>
#include <string>

#include "plots/PlotConventions.h"

namespace plots {

namespace {

constexpr int kLegendRowAbovePanel = 18; // a legend row's top, above a panel's top line
constexpr int kSampleTextGap = 3;        // between a legend line sample and its text

// One row of legend items placed left to right by measured width, each item moved right past
// the boxes it would cover. Nothing when the row would end beyond `right`.
class LegendRow {
public:
    LegendRow(const TextMeasure& measure, const std::vector<TextBox>& taken, int x, int y,
              int right)
        : m_measure(measure), m_taken(taken), m_x(x), m_y(y), m_right(right),
          m_gap(LabelGap(measure)) {}

    // A line sample followed by its text; returns the sample's segment.
    PlotSegment AddSample(const std::string& text, HardwareOverlay& out) {
        const int height = m_measure(text).cy;
        const int width = kLegendLineLength + kSampleTextGap + m_measure(text).cx;
        const int left = Place(width, height);
        const int lineY = m_y + height / 2;
        out.labels.push_back({{left + kLegendLineLength + kSampleTextGap, m_y}, text});
        return PlotSegment{{left, lineY}, {left + kLegendLineLength, lineY}};
    }
    void AddText(const std::string& text, HardwareOverlay& out) {
        const int left = Place(m_measure(text).cx, m_measure(text).cy);
        out.labels.push_back({{left, m_y}, text});
    }
    bool Fits() const { return m_fits; }

private:
    // The left of the first free stretch of `width` from the cursor; moves the cursor past it.
    int Place(int width, int height) {
        int left = m_x;
        for (bool moved = true; moved;) {
            moved = false;
            const TextBox box{left, m_y, left + width, m_y + height};
            for (const TextBox& t : m_taken) {
                const TextBox padded{t.left - m_gap, t.top, t.right + m_gap, t.bottom};
                if (box.Overlaps(padded)) {
                    left = padded.right;
                    moved = true;
                }
            }
        }
        m_x = left + width + m_gap;
        m_fits = m_fits && left + width <= m_right;
        return left;
    }

    const TextMeasure& m_measure;
    const std::vector<TextBox>& m_taken;
    int m_x;
    int m_y;
    int m_right;
    int m_gap;
    bool m_fits = true;
};

// The two line samples with their texts at row top y, or nothing when they do not end by
// `right`.
std::optional<HardwareOverlay> SamplesAt(const TextMeasure& measure,
                                         const std::vector<TextBox>& taken, int y, int x, int right,
                                         const HardwareLegend& legend) {
    HardwareOverlay row;
    LegendRow place(measure, taken, x, y, right);
    row.idealSample.push_back(place.AddSample("Ideal", row));
    row.hardwareSample.push_back(
        place.AddSample("Hardware " + std::to_string(legend.dataBits) + " bits", row));
    return place.Fits() ? std::optional<HardwareOverlay>(row) : std::nullopt;
}

// The largest difference at row top y, after the samples when they share the row.
std::optional<PlotLabel> DifferenceAt(const TextMeasure& measure, const std::vector<TextBox>& taken,
                                      int y, int x, int right, const HardwareLegend& legend) {
    HardwareOverlay row;
    LegendRow place(measure, taken, x, y, right);
    place.AddText("max. difference " + FormatLabel("%.4g", legend.largestDifference), row);
    return place.Fits() ? std::optional<PlotLabel>(row.labels.front()) : std::nullopt;
}

// The boxes taken, with the samples and their texts added.
std::vector<TextBox> TakenWith(const TextMeasure& measure, const std::vector<TextBox>& taken,
                               const HardwareOverlay& samples) {
    std::vector<TextBox> boxes = taken;
    for (const PlotLabel& label : samples.labels) {
        boxes.push_back(InkBox(measure, label.at, label.text));
    }
    for (const std::vector<PlotSegment>* lines : {&samples.idealSample, &samples.hardwareSample}) {
        for (const PlotSegment& line : *lines) {
            boxes.push_back({line.from.x, line.from.y, line.to.x, line.to.y + 1});
        }
    }
    return boxes;
}

} // namespace

HardwareOverlay ComputeHardwareOverlay(const WaveSettings& settings, int x0, int y0, int inputY0,
                                       std::span<const double> hardware,
                                       const HardwareLegend& legend, const TextMeasure& measure) {
    // The panel's own geometry gives the curve (same pixels as the ideal output) and, with the
    // input panel's, the labels the legend must keep clear of.
    const WaveGeometry output = ComputeWave(settings, x0, y0, hardware, false, measure);
    if (output.curve.empty()) {
        return {};
    }
    const WaveGeometry input = ComputeWave(settings, x0, inputY0, {}, true, measure);
    std::vector<TextBox> taken;
    for (const WaveGeometry* panel : {&input, &output}) {
        for (const PlotLabel& label : panel->labels) {
            taken.push_back(InkBox(measure, label.at, label.text));
        }
    }
    const int right = kScreenViewOrigin.x + kScreenViewExtent.cx - LabelGap(measure);
    // The samples and the difference share the row between the panels, or the one over the
    // input panel, or take one each, in this order of preference.
    const int between = y0 - kLegendRowAbovePanel;
    const int over = inputY0 - kLegendRowAbovePanel;
    const struct {
        int samplesRow;
        int differenceRow;
    } choices[] = {{between, between}, {between, over}, {over, over}, {over, between}};
    std::optional<HardwareOverlay> overlay;
    for (const auto& choice : choices) {
        overlay = SamplesAt(measure, taken, choice.samplesRow, x0, right, legend);
        if (!overlay) {
            continue;
        }
        const std::optional<PlotLabel> difference = DifferenceAt(
            measure, TakenWith(measure, taken, *overlay), choice.differenceRow, x0, right, legend);
        if (difference) {
            overlay->labels.push_back(*difference);
            break;
        }
        overlay.reset();
    }
    if (!overlay) {
        // No choice fits the font: everything between the panels, as far as it goes.
        overlay = SamplesAt(measure, taken, between, x0, INT_MAX, legend);
        overlay->labels.push_back(*DifferenceAt(measure, TakenWith(measure, taken, *overlay),
                                                between, x0, INT_MAX, legend));
    }
    overlay->curve = output.curve;
    return *overlay;
}

void DrawHardwareOverlay(platform::DrawContext& dc, int x0, int y0, int inputY0,
                         std::span<const double> hardware, const HardwareLegend& legend,
                         const WaveSettings& settings) {
    ScopedFont font(dc, LabelFont());
    const HardwareOverlay g =
        ComputeHardwareOverlay(settings, x0, y0, inputY0, hardware, legend, MeasureWith(dc));
    DrawSegments(dc, g.idealSample); // the context's own pen, as the ideal output
    {
        ScopedPen pen(dc, kHardwareTracePen);
        DrawSegments(dc, g.curve);
        DrawSegments(dc, g.hardwareSample);
    }
    PrepareLabels(dc);
    DrawLabels(dc, g.labels);
}

} // namespace plots
