// F-Response: asks for the gain range, the zoom and the start frequency, then shows the gain
// and phase of the current design at once. OK or Cancel, the timer redraws the plot again.
#include "plots/ui/FResponseHandler.h"

#include "app/AnalysisCommands.h"
#include "app/OlvexDoc.h"
#include "app/ui/OlvexView.h"
#include "plots/PlotMode.h"
#include "plots/ui/AnalysisDialogs.h"

void FResponseHandler::OnFResponse() {
    m_view.m_bRedrawPending = 1;
    m_host.Invalidate(true);
    plots::CFreqResponseDlg dialog;
    dialog.m_dGainRange = m_doc.m_dGainRange;
    dialog.m_nRespFreqZoom = m_doc.m_nRespFreqZoom;
    dialog.m_nRespStartPos = m_doc.m_nRespStartPos;
    if (m_host.RunModal(dialog) == platform::kIdOk) {
        m_view.UpdateData(true); // the FIR/IIR choice of the form, for the response
        // The dialog's checks already hold, so the command takes the request.
        commands::FResponse(m_doc,
                            {dialog.m_dGainRange, dialog.m_nRespFreqZoom, dialog.m_nRespStartPos});
        m_view.m_nPlotMode = plots::PlotModeNumber(plots::PlotMode::kResponse);
        m_view.DrawPlotArea();
    }
    m_view.ScheduleRedraw(COlvexView::kCommandRedrawMs);
}
