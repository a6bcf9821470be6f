// Plot menu: the four filter views have no settings of their own (group delay takes the
// frequency axis of F-Response), so each is drawn at once from the form's FIR/IIR choice.
#include "plots/ui/FilterViewHandler.h"

#include "app/ui/OlvexView.h"

void FilterViewHandler::OnGroupDelayView() {
    ShowFilterView(COlvexView::kPlotGroupDelay);
}

void FilterViewHandler::OnPoleZeroView() {
    ShowFilterView(COlvexView::kPlotPoleZero);
}

void FilterViewHandler::OnImpulseView() {
    ShowFilterView(COlvexView::kPlotImpulse);
}

void FilterViewHandler::OnStepView() {
    ShowFilterView(COlvexView::kPlotStep);
}

void FilterViewHandler::ShowFilterView(int plotMode) {
    m_view.UpdateData(true); // the FIR/IIR choice of the form
    m_view.m_nPlotMode = plotMode;
    m_view.DrawPlotArea();
    m_view.ScheduleRedraw(COlvexView::kCommandRedrawMs);
}
