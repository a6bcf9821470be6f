// In/Out Wave: asks for the test wave (sine, square or a user wave file), its frequency, the
// magnitude range, the zoom, the start time and whether the generated hardware's output is drawn
// beside the ideal one (with quantization on), then shows the input and output waves at once.
// The file dialog comes up only when "Use user wave" has just been switched on; later commands
// keep the wave already loaded. A file that cannot be read, or stops early, is reported in a
// message box. OK or Cancel, the timer redraws the plot again.
#include "plots/ui/InOutWaveHandler.h"

#include "app/AnalysisCommands.h"
#include "app/OlvexDoc.h"
#include "app/ui/OlvexView.h"
#include "plots/PlotMode.h"
#include "plots/ui/AnalysisDialogs.h"

void InOutWaveHandler::OnInOutWave() {
    m_view.m_bRedrawPending = 1;
    m_host.Invalidate(true);
    plots::CInOutWaveDlg dialog;
    dialog.m_nWaveType = m_doc.m_nWaveType;
    dialog.m_dWaveFreq = m_doc.m_dWaveFreq;
    dialog.m_bUseUserWave = m_doc.m_bUseUserWave;
    dialog.m_dWaveMagRange = m_doc.m_dWaveMagRange;
    dialog.m_nWaveTimeZoom = m_doc.m_nWaveTimeZoom;
    dialog.m_nWaveStartPos = m_doc.m_nWaveStartPos;
    dialog.m_bShowHardware = m_view.m_bShowHardwareWave;
    dialog.m_nHardwareDataBits = m_doc.m_nDataBits;
    if (m_host.RunModal(dialog) == platform::kIdOk) {
        m_view.UpdateData(true); // the FIR/IIR choice of the form, for the filtering
        commands::WaveRequest request;
        request.waveType = dialog.m_nWaveType;
        request.frequency = dialog.m_dWaveFreq;
        request.useUserWave = dialog.m_bUseUserWave;
        request.magRange = dialog.m_dWaveMagRange;
        request.zoom = dialog.m_nWaveTimeZoom;
        request.startPos = dialog.m_nWaveStartPos;
        request.showHardware = dialog.m_bShowHardware;
        if (commands::AsksForUserWave(m_doc, request)) {
            platform::FileDialogRequest file;
            file.open = true;
            file.fileName = "*.*";
            file.flags = platform::kOfnHideReadOnly | platform::kOfnOverwritePrompt;
            // Cancel reads nothing, but the user wave stays switched on.
            request.userWavePath = m_host.RunFileDialog(file).value_or("");
        }
        const commands::Outcome outcome = commands::InOutWave(m_doc, request);
        m_view.m_bShowHardwareWave = request.showHardware;
        m_view.m_nPlotMode = plots::PlotModeNumber(plots::PlotMode::kWaves);
        // A user wave that could not be used, or one cut to the buffer's length.
        if (!outcome.message.empty()) {
            m_host.MessageBox(outcome.message, "", platform::MessageIcon::kWarning);
        }
        m_view.DrawPlotArea();
    }
    m_view.ScheduleRedraw(COlvexView::kCommandRedrawMs);
}
