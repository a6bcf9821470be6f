// The frame of the frequency response plot: dotted grid, the 0 dB and 0 rad reference lines,
// the solid frame, and the hint shown before the first design. The full plot draws its curves
// and labels over this frame.
#pragma once

#include <array>

#include "platform/DrawContext.h"

namespace plots {

constexpr int kRespGridRows = 12;    // horizontal divisions of the frequency response grid
constexpr int kRespGridColumns = 10; // vertical divisions
constexpr int kZeroDbRow = 2;
constexpr int kZeroRadRow = 7;
constexpr int kHintOffsetX = 100;
constexpr int kHintOffsetY = 87;
extern const char* const kDesignHint; // "Click 'Design' to design FIR/IIR filters"

struct HorizontalLine {
    int y;
    int x1;
    int x2;
};

struct VerticalLine {
    int x;
    int y1;
    int y2;
};

// The frame's geometry for origin (x0, y0), in logical units.
struct ResponseFrame {
    std::array<HorizontalLine, kRespGridRows + 1> gridRows;
    std::array<VerticalLine, kRespGridColumns + 1> gridColumns;
    std::array<HorizontalLine, 2> references; // 0 dB, 0 rad
    std::array<HorizontalLine, 2> frameRows;  // top, bottom
    std::array<VerticalLine, 2> frameColumns; // left, right
    platform::Point hint;
};

ResponseFrame ComputeResponseFrame(int x0, int y0);

// Draws the frame; the hint only when noDesign is set.
void DrawResponseFrame(platform::DrawContext& dc, int x0, int y0, bool noDesign);

} // namespace plots
