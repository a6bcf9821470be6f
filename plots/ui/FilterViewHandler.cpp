// Plot menu: the four filter views have no settings of their own (group delay takes the
// frequency axis of F-Response), so each is drawn at once from the form's FIR/IIR choice.
#include "plots/ui/FilterViewHandler.h"

#include "app/ui/OlvexView.h"
#include "plots/PlotMode.h"

void FilterViewHandler::OnGroupDelayView() {
    ShowFilterView(plots::PlotModeNumber(plots::PlotMode::kGroupDelay));
}

void FilterViewHandler::OnPoleZeroView() {
    ShowFilterView(plots::PlotModeNumber(plots::PlotMode::kPoleZero));
}

void FilterViewHandler::OnImpulseView() {
    ShowFilterView(plots::PlotModeNumber(plots::PlotMode::kImpulse));
}

void FilterViewHandler::OnStepView() {
    ShowFilterView(plots::PlotModeNumber(plots::PlotMode::kStep));
}

void FilterViewHandler::ShowFilterView(int plotMode) {
    m_view.UpdateData(true); // the FIR/IIR choice of the form
    m_view.m_nPlotMode = plotMode;
    m_view.DrawPlotArea();
    m_view.ScheduleRedraw(COlvexView::kCommandRedrawMs);
}
