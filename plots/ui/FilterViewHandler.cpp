// Plot menu: the four filter views have no settings of their own (group delay takes the
// frequency axis of F-Response), so each is drawn at once from the form's FIR/IIR choice.
#include "app/ui/OlvexView.h"

void COlvexView::OnGroupDelayView() {
    ShowFilterView(kPlotGroupDelay);
}

void COlvexView::OnPoleZeroView() {
    ShowFilterView(kPlotPoleZero);
}

void COlvexView::OnImpulseView() {
    ShowFilterView(kPlotImpulse);
}

void COlvexView::OnStepView() {
    ShowFilterView(kPlotStep);
}

void COlvexView::ShowFilterView(int plotMode) {
    UpdateData(true); // the FIR/IIR choice of the form
    m_nPlotMode = plotMode;
    DrawPlotArea();
    ScheduleRedraw(kCommandRedrawMs);
}
