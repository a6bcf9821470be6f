#include "plots/PlotGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "plots/PlotConventions.h"

namespace plots {

namespace {
// Longest label text: "%12.10f" of a large time, or "%12.2f" of a large frequency.
constexpr int kLabelBufferSize = 64;
} // namespace

std::string FormatLabel(const char* format, double value) {
    char buffer[kLabelBufferSize];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

std::string FormatLabel(const char* format, int value) {
    char buffer[kLabelBufferSize];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

int StepDecimals(double step) {
    constexpr int kDefaultDecimals = 2;
    constexpr int kExtraDigits = 2;  // past the first significant digit of the step
    constexpr int kMaxDecimals = 12; // a step far below this shows as its leading digits
    if (!std::isfinite(step) || step <= 0.0) {
        return kDefaultDecimals;
    }
    const int first = std::max(0, -static_cast<int>(std::floor(std::log10(step))));
    const int last = std::min(kMaxDecimals, first + kExtraDigits);
    for (int d = first; d < last; ++d) {
        const double scaled = step * std::pow(10.0, d);
        if (std::abs(scaled - std::round(scaled)) <= 1e-9 * scaled) {
            return d;
        }
    }
    return last;
}

std::string FormatStep(double value, int width, int decimals) {
    char buffer[kLabelBufferSize];
    // No "-0.00": a value that rounds to zero shows as zero.
    const double scale = std::pow(10.0, decimals);
    if (std::round(std::abs(value) * scale) == 0.0) {
        value = 0.0;
    }
    std::snprintf(buffer, sizeof buffer, "%*.*f", width, decimals, value);
    return buffer;
}

double NiceCeil(double value) {
    const double power = std::pow(10.0, std::floor(std::log10(value)));
    for (double factor : {1.0, 2.0, 5.0, 10.0}) {
        if (factor * power >= value * (1.0 - 1e-12)) {
            return factor * power;
        }
    }
    return 10.0 * power;
}

std::vector<PlotLabel> AxisLabels(double first, double span, int x, int length, int y,
                                  const TextMeasure& measureIn) {
    constexpr int kSteps = 5; // the step is at least a fifth of the span
    std::vector<PlotLabel> labels;
    if (!std::isfinite(first) || !std::isfinite(span) || span <= 0.0 || length <= 0) {
        return labels;
    }
    const TextMeasure measure = MeasureOrEstimate(measureIn);
    const double tolerance = 1e-9 * span;
    // The next 1-2-5 step while the widest label and a gap each side do not fit between two.
    for (double step = NiceCeil(span / kSteps);; step = NiceCeil(step * (1.0 + 1e-6))) {
        const int decimals = StepDecimals(step);
        labels.clear();
        int widest = 0;
        for (double k = std::ceil((first - tolerance) / step); k * step <= first + span + tolerance;
             k += 1.0) {
            const double value = k * step;
            const std::string text = FormatStep(value, 0, decimals);
            const int width = measure(text).cx;
            widest = std::max(widest, width);
            const int at = x + static_cast<int>(std::lround((value - first) / span * length));
            labels.push_back({{at - width / 2, y}, text});
        }
        if (step >= span || widest + 2 * LabelGap(measure) <= step / span * length) {
            return labels;
        }
    }
}

void DropCovered(std::vector<PlotLabel>& labels, std::size_t first, const TextMeasure& measure) {
    if (labels.size() < first + 3) {
        return;
    }
    const int gap = LabelGap(measure);
    const auto padded = [&](const PlotLabel& label) {
        TextBox box = InkBox(measure, label.at, label.text);
        box.left -= gap;
        box.right += gap;
        return box;
    };
    const TextBox left = padded(labels[first]);
    const TextBox right = padded(labels.back());
    for (std::size_t k = labels.size() - 2; k > first; --k) {
        const TextBox box = InkBox(measure, labels[k].at, labels[k].text);
        if (box.Overlaps(left) || box.Overlaps(right)) {
            labels.erase(labels.begin() + static_cast<std::ptrdiff_t>(k));
        }
    }
}

TextMeasure MeasureOrEstimate(const TextMeasure& measure) {
    constexpr int kCharWidth = 8;
    constexpr int kTextHeight = 16;
    if (measure) {
        return measure;
    }
    return [](const std::string& text) {
        return platform::Size{kCharWidth * static_cast<int>(text.size()), kTextHeight};
    };
}

TextMeasure MeasureWith(const platform::DrawContext& dc) {
    return [&dc](const std::string& text) { return dc.GetTextExtent(text); };
}

TextBox InkBox(const TextMeasure& measure, platform::Point at, const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    const int height = measure(text).cy;
    if (first == std::string::npos) {
        return {at.x, at.y, at.x, at.y + height};
    }
    const size_t last = text.find_last_not_of(' ');
    const int left = first == 0 ? at.x : at.x + measure(text.substr(0, first)).cx;
    const int right = at.x + measure(text.substr(0, last + 1)).cx;
    return {left, at.y, right, at.y + height};
}

int LabelGap(const TextMeasure& measure) {
    constexpr int kMinGap = 2;
    return std::max(kMinGap, measure(" ").cx);
}

void MoveClearOf(const TextMeasure& measure, PlotLabel& label, const PlotLabel& fixed, Side side) {
    const TextBox box = InkBox(measure, label.at, label.text);
    const TextBox other = InkBox(measure, fixed.at, fixed.text);
    const int gap = LabelGap(measure);
    const TextBox padded{other.left - gap, other.top, other.right + gap, other.bottom};
    if (!box.Overlaps(padded)) {
        return;
    }
    if (side == Side::kLeft) {
        label.at.x -= box.right - padded.left;
    } else {
        label.at.x += padded.right - box.left;
    }
}

void DrawSegments(platform::DrawContext& dc, const std::vector<PlotSegment>& segments) {
    for (const PlotSegment& segment : segments) {
        Segment(dc, segment.from.x, segment.from.y, segment.to.x, segment.to.y);
    }
}

void DrawLabels(platform::DrawContext& dc, const std::vector<PlotLabel>& labels) {
    for (const PlotLabel& label : labels) {
        dc.TextOut(label.at.x, label.at.y, label.text);
    }
}

} // namespace plots
