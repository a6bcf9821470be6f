// Plain values a plot computes before it draws: line segments and labels in logical units, and
// the printf-style label formatting. The drawing half of every plot is a loop over these.
#pragma once

#include <functional>
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

// Measures a text in logical units in the font it will be drawn with.
using TextMeasure = std::function<platform::Size(const std::string&)>;
// Measures with the context's current font and mapping.
TextMeasure MeasureWith(const platform::DrawContext& dc);

// The box a label's visible characters cover, in logical units (right and bottom exclusive).
// Leading and trailing blanks of a padded number ("%12.2f") take room but show nothing, so they
// are left out.
struct TextBox {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool Overlaps(const TextBox& other) const {
        return left < other.right && other.left < right && top < other.bottom && other.top < bottom;
    }
    friend bool operator==(const TextBox&, const TextBox&) = default;
};
TextBox InkBox(const TextMeasure& measure, platform::Point at, const std::string& text);

// Placing a label by measured width: the space kept between two labels is the width of one blank
// in their font (at least 2 units).
int LabelGap(const TextMeasure& measure);
// Moves `label` sideways (left or right of `fixed`) until their visible characters keep the gap;
// a label whose box does not come that close stays where it is.
enum class Side { kLeft, kRight };
void MoveClearOf(const TextMeasure& measure, PlotLabel& label, const PlotLabel& fixed, Side side);

// A label value with its printf-style format ("%7.2f", "-%7.2f", "%12.10f", "%2d" ...).
std::string FormatLabel(const char* format, double value);
std::string FormatLabel(const char* format, int value);

// ---- Numbers for people ----------------------------------------------------------------------
// The decimals that show every multiple of `step` exactly, up to two past the step's first
// significant digit: 250 -> 0, 12.5 -> 1, 0.05 -> 2, 0.0001 -> 4, 433.57 -> 2. Non-finite or
// non-positive steps take 2.
int StepDecimals(double step);
// A label value with `decimals` decimals, right-aligned in `width` characters (printf's
// "%*.*f"); a value that rounds to zero shows without a sign.
std::string FormatStep(double value, int width, int decimals);
// The smallest 1, 2 or 5 times a power of ten that is >= value (value > 0).
double NiceCeil(double value);

// The labels of a value axis that runs from `first` over `span` across `length` units from `x`:
// one at every multiple of a 1, 2 or 5 step (at most six), each centred under its place at the
// height `y`, with the decimals the step needs.
std::vector<PlotLabel> AxisLabels(double first, double span, int x, int length, int y,
                                  const TextMeasure& measure);
// After the first and the last of the axis labels labels[first ..] moved clear of their
// neighbours: the labels between them that they now cover are left out.
void DropCovered(std::vector<PlotLabel>& labels, std::size_t first, const TextMeasure& measure);
// Without a measure: the label font's size, roughly (8 units a character, 16 high).
TextMeasure MeasureOrEstimate(const TextMeasure& measure);

// Draws every segment with the current pen, then every label with the current font.
void DrawSegments(platform::DrawContext& dc, const std::vector<PlotSegment>& segments);
void DrawLabels(platform::DrawContext& dc, const std::vector<PlotLabel>& labels);

} // namespace plots
