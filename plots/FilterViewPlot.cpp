// The four filter views drawn from their values: the coefficients in use (quantized while
// quantization is on) and, while quantized, the ideal ones under them.
#include "plots/AnalysisPlot.h"
#include "plots/FilterViewPlots.h"
#include "plots/PlotConventions.h"

namespace plots {

void DrawFilterView(platform::DrawContext& dc, const PlotData& data, int x0, int y0) {
    const PlotMode mode = data.state.mode;
    const bool noDesign = data.state.noDesign;
    // Labels are placed by their width in the label font.
    const ScopedFont font(dc, LabelFont());
    const TextMeasure measure = MeasureWith(dc);
    switch (mode) {
    case PlotMode::kGroupDelay:
        DrawCurvePlot(dc, ComputeGroupDelayPlot(data.groupDelay, x0, y0, data.viewCurve,
                                                data.idealViewCurve, measure));
        break;
    case PlotMode::kPoleZero:
        DrawPoleZeroPlot(dc,
                         ComputePoleZeroPlot(x0, y0, data.idealRoots,
                                             data.quantizedRoots ? &*data.quantizedRoots : nullptr,
                                             noDesign, measure));
        break;
    case PlotMode::kImpulse:
    case PlotMode::kStep:
        DrawCurvePlot(dc, ComputeTimeResponsePlot(x0, y0, mode == PlotMode::kStep, data.viewCurve,
                                                  data.idealViewCurve, noDesign, measure));
        break;
    default:
        break;
    }
}

} // namespace plots
