// The four filter views drawn from the document: the coefficients in use (quantized while
// quantization is on) and, while quantized, the ideal ones under them.
#include <optional>

#include "app/OlvexDoc.h"
#include "app/ui/OlvexView.h"
#include "app/ViewCommands.h"
#include "dsp/GroupDelay.h"
#include "dsp/ImpulseStep.h"
#include "plots/FilterViewPlots.h"
#include "plots/PlotConventions.h"

namespace plots {

std::string DrawFilterView(platform::DrawContext& dc, COlvexDoc& doc, int plotMode, bool iir,
                           bool noDesign, int x0, int y0) {
    const bool quantized = doc.m_bQuantize == 1;
    const dsp::FilterCoefficients ideal = doc.TakeCoefficients(iir, false);
    std::optional<dsp::FilterCoefficients> shown;
    if (quantized) {
        shown = doc.TakeCoefficients(iir, true);
    }
    const dsp::FilterCoefficients& inUse = shown ? *shown : ideal;
    // Labels are placed by their width in the label font.
    const ScopedFont font(dc, LabelFont());
    const TextMeasure measure = MeasureWith(dc);
    switch (plotMode) {
    case COlvexView::kPlotGroupDelay: {
        const dsp::GroupDelay delay = dsp::GroupDelayOf(inUse, doc.m_fs);
        std::optional<dsp::GroupDelay> idealDelay;
        if (shown) {
            idealDelay = dsp::GroupDelayOf(ideal, doc.m_fs);
        }
        DrawCurvePlot(dc, ComputeGroupDelayPlot(GroupDelaySettingsOf(doc, noDesign), x0, y0,
                                                noDesign ? std::span<const double>() : delay.delay,
                                                idealDelay && !noDesign
                                                    ? std::span<const double>(idealDelay->delay)
                                                    : std::span<const double>(),
                                                measure));
        break;
    }
    case COlvexView::kPlotPoleZero: {
        const dsp::PoleZeroSet idealSet = dsp::PoleZeroOf(ideal);
        std::optional<dsp::PoleZeroSet> shownSet;
        if (shown) {
            shownSet = dsp::PoleZeroOf(*shown);
        }
        DrawPoleZeroPlot(
            dc, ComputePoleZeroPlot(x0, y0, idealSet, shownSet ? &*shownSet : nullptr, noDesign));
        break;
    }
    case COlvexView::kPlotImpulse:
    case COlvexView::kPlotStep: {
        const bool step = plotMode == COlvexView::kPlotStep;
        const dsp::Excitation excitation =
            step ? dsp::Excitation::kStep : dsp::Excitation::kImpulse;
        std::vector<double> samples;
        std::vector<double> idealSamples;
        if (!noDesign) {
            samples = dsp::TimeResponseOf(inUse, excitation);
            if (shown) {
                idealSamples = dsp::TimeResponseOf(ideal, excitation);
            }
        }
        DrawCurvePlot(
            dc, ComputeTimeResponsePlot(x0, y0, step, samples, idealSamples, noDesign, measure));
        break;
    }
    default:
        return {};
    }
    if (!iir || noDesign) {
        return {};
    }
    return commands::UnstableText(dsp::IirPoleZero(inUse.DesignedSections()).unstableSections);
}

} // namespace plots
