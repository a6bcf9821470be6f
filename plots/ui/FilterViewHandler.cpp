// Plot menu: the four filter views have no settings of their own (group delay takes the
// frequency axis of F-Response), so each is drawn at once from the form's FIR/IIR choice.
#include "app/ui/OlvexView.h"
#include "plots/PlotMode.h"

void COlvexView::OnGroupDelayView() {
    ShowFilterView(plots::PlotModeNumber(plots::PlotMode::kGroupDelay));
}

void COlvexView::OnPoleZeroView() {
    ShowFilterView(plots::PlotModeNumber(plots::PlotMode::kPoleZero));
}

void COlvexView::OnImpulseView() {
    ShowFilterView(plots::PlotModeNumber(plots::PlotMode::kImpulse));
}

void COlvexView::OnStepView() {
    ShowFilterView(plots::PlotModeNumber(plots::PlotMode::kStep));
}

void COlvexView::ShowFilterView(int plotMode) {
    UpdateData(true); // the FIR/IIR choice of the form
    m_nPlotMode = plotMode;
    DrawPlotArea();
    ScheduleRedraw(kCommandRedrawMs);
}
