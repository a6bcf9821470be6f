// FFT Analysis: asks for the magnitude range, the zoom and the start frequency, then runs the
// test wave through the filter and shows the input and output spectra at once. OK or Cancel,
// the timer redraws the plot again.
#include "plots/ui/FftAnalysisHandler.h"

#include "app/AnalysisCommands.h"
#include "app/OlvexDoc.h"
#include "app/ui/OlvexView.h"
#include "plots/PlotMode.h"
#include "plots/ui/AnalysisDialogs.h"

void FftAnalysisHandler::OnFftAnalysis() {
    m_view.m_bRedrawPending = 1;
    m_host.Invalidate(true);
    plots::CFftResultDlg dialog;
    dialog.m_dFftMagRange = m_doc.m_dFftMagRange;
    dialog.m_nFftFreqZoom = m_doc.m_nFftFreqZoom;
    dialog.m_nFftStartPos = m_doc.m_nFftStartPos;
    if (m_host.RunModal(dialog) == platform::kIdOk) {
        m_view.UpdateData(true); // the FIR/IIR choice of the form, for the filtering
        // The dialog's checks already hold, so the command takes the request.
        commands::FftAnalysis(
            m_doc, {dialog.m_dFftMagRange, dialog.m_nFftFreqZoom, dialog.m_nFftStartPos});
        m_view.m_nPlotMode = plots::PlotModeNumber(plots::PlotMode::kSpectra);
        m_view.DrawPlotArea();
    }
    m_view.ScheduleRedraw(COlvexView::kCommandRedrawMs);
}
