// Plain values a plot computes before it draws: line segments and labels in logical units, and
// the printf-style label formatting. The drawing half of every plot is a loop over these.
#pragma once

#include <string>
#include <vector>

#include "platform/DrawContext.h"

namespace plots {

struct PlotSegment {
    platform::Point from; // left point: the pen moves here
    platform::Point to;   // right point: the line is drawn to here
    friend bool operator==(const PlotSegment&, const PlotSegment&) = default;
};

struct PlotLabel {
    platform::Point at; // top-left corner of the text
    std::string text;
    friend bool operator==(const PlotLabel&, const PlotLabel&) = default;
};

// A label value with its printf-style format ("%7.2f", "-%7.2f", "%12.10f", "%2d" ...).
std::string FormatLabel(const char* format, double value);
std::string FormatLabel(const char* format, int value);

// Draws every segment with the current pen, then every label with the current font.
void DrawSegments(platform::DrawContext& dc, const std::vector<PlotSegment>& segments);
void DrawLabels(platform::DrawContext& dc, const std::vector<PlotLabel>& labels);

} // namespace plots
