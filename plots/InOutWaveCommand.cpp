// In/Out Wave: asks for the test wave (sine, square or a user wave file), its frequency, the
// magnitude range, the zoom, the start time and whether the generated hardware's output is drawn
// beside the ideal one (with quantization on), then shows the input and output waves at once.
// The file dialog comes up only when "Use user wave" has just been switched on; later commands
// keep the wave already loaded. OK or Cancel, the timer redraws the plot again.
#include "app/OlvexDoc.h"
#include "app/OlvexView.h"
#include "files/UserWave.h"
#include "plots/AnalysisDialogs.h"

void COlvexView::OnInOutWave() {
    m_bRedrawPending = 1;
    m_host.Invalidate(true);
    plots::CInOutWaveDlg dialog;
    dialog.m_nWaveType = m_doc.m_nWaveType;
    dialog.m_dWaveFreq = m_doc.m_dWaveFreq;
    dialog.m_bUseUserWave = m_doc.m_bUseUserWave;
    dialog.m_dWaveMagRange = m_doc.m_dWaveMagRange;
    dialog.m_nWaveTimeZoom = m_doc.m_nWaveTimeZoom;
    dialog.m_nWaveStartPos = m_doc.m_nWaveStartPos;
    dialog.m_bShowHardware = m_bShowHardwareWave;
    if (m_host.RunModal(dialog) == platform::kIdOk) {
        UpdateData(true); // the FIR/IIR choice of the form, for the filtering
        const bool userWaveSwitchedOn = dialog.m_bUseUserWave != 0 && m_doc.m_bUseUserWave == 0;
        m_doc.m_nWaveType = dialog.m_nWaveType;
        m_doc.m_dWaveFreq = dialog.m_dWaveFreq;
        m_doc.m_bUseUserWave = dialog.m_bUseUserWave;
        m_doc.m_dWaveMagRange = dialog.m_dWaveMagRange;
        m_doc.m_nWaveTimeZoom = dialog.m_nWaveTimeZoom;
        m_doc.m_nWaveStartPos = dialog.m_nWaveStartPos;
        m_bShowHardwareWave = dialog.m_bShowHardware;
        m_nPlotMode = kPlotWaves;
        if (userWaveSwitchedOn) {
            platform::FileDialogRequest request;
            request.open = true;
            request.fileName = "*.*";
            request.flags = platform::kOfnHideReadOnly | platform::kOfnOverwritePrompt;
            // Cancel reads nothing, but the user wave stays switched on.
            // A file that cannot be opened or read leaves the previous wave and says why; one
            // that stops at a token that is not a number keeps the values before it and says
            // where it stopped.
            if (const std::optional<std::string> path = m_host.RunFileDialog(request)) {
                const files::UserWaveRead read = files::ReadUserWave(*path, m_doc.m_aWaveIn);
                const std::string problem = files::DescribeUserWaveRead(*path, read);
                if (!problem.empty()) {
                    m_host.MessageBox(problem, "", platform::MessageIcon::kWarning);
                }
            }
        }
        DrawPlotArea();
    }
    ScheduleRedraw(kCommandRedrawMs);
}
