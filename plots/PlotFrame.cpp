#include "plots/PlotFrame.h"

#include "plots/PlotConventions.h"

namespace plots {

const char* const kDesignHint = "Click 'Design' to design FIR/IIR filters";

ResponseFrame ComputeResponseFrame(int x0, int y0) {
    ResponseFrame frame{};
    const int right = x0 + kRespGridWidth;
    const int bottom = y0 + kPlotHeight;
    for (int k = 0; k <= kRespGridRows; ++k) {
        frame.gridRows[static_cast<size_t>(k)] = {GridRow(y0, k, kPlotHeight, kRespGridRows), x0,
                                                  right};
    }
    for (int j = 0; j <= kRespGridColumns; ++j) {
        frame.gridColumns[static_cast<size_t>(j)] = {x0 + j * (kRespGridWidth / kRespGridColumns),
                                                     y0, bottom};
    }
    frame.references = {{{GridRow(y0, kZeroDbRow, kPlotHeight, kRespGridRows), x0, right},
                         {GridRow(y0, kZeroRadRow, kPlotHeight, kRespGridRows), x0, right}}};
    frame.frameRows = {{{GridRow(y0, 0, kPlotHeight, kRespGridRows), x0, right},
                        {GridRow(y0, kRespGridRows, kPlotHeight, kRespGridRows), x0, right}}};
    frame.frameColumns = {{{x0, y0, bottom}, {right, y0, bottom}}};
    frame.hint = {x0 + kHintOffsetX, y0 + kHintOffsetY};
    return frame;
}

namespace {
void Draw(platform::DrawContext& dc, const HorizontalLine& line) {
    Segment(dc, line.x1, line.y, line.x2, line.y);
}
void Draw(platform::DrawContext& dc, const VerticalLine& line) {
    Segment(dc, line.x, line.y1, line.x, line.y2);
}
} // namespace

void DrawResponseFrame(platform::DrawContext& dc, int x0, int y0, bool noDesign) {
    const ResponseFrame frame = ComputeResponseFrame(x0, y0);
    {
        ScopedPen grid(dc, kGreyGridPen);
        for (const HorizontalLine& row : frame.gridRows) {
            Draw(dc, row);
        }
        for (const VerticalLine& column : frame.gridColumns) {
            Draw(dc, column);
        }
    }
    {
        ScopedPen reference(dc, kBlackReferencePen);
        for (const HorizontalLine& row : frame.references) {
            Draw(dc, row);
        }
    }
    // The frame uses the context's own pen.
    for (const HorizontalLine& row : frame.frameRows) {
        Draw(dc, row);
    }
    for (const VerticalLine& column : frame.frameColumns) {
        Draw(dc, column);
    }
    if (noDesign) {
        ScopedFont font(dc, LabelFont());
        PrepareLabels(dc);
        dc.TextOut(frame.hint.x, frame.hint.y, kDesignHint);
    }
}

} // namespace plots
