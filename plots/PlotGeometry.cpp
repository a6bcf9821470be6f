#include "plots/PlotGeometry.h"

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
