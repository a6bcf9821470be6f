// The Help menu: four dialogs of fixed text with one OK button. The plot they covered is drawn
// again by the timer once they close.
#include "app/ui/HelpHandler.h"

#include "app/ui/HelpDialogs.h"
#include "app/ui/OlvexView.h"
#include "resources/AnalysisResources.h"

namespace {

void ShowInfo(COlvexView& view, platform::Dialog& dialog) {
    view.Host().RunModal(dialog);
    view.ScheduleRedraw(COlvexView::kCommandRedrawMs);
}

void ShowInfo(COlvexView& view, const platform::DialogTemplate& shape) {
    help::CInfoDlg dialog(shape);
    ShowInfo(view, dialog);
}

} // namespace

void HelpHandler::OnUserWaveHelp() {
    ShowInfo(m_view, resources::UserWaveHelpTemplate());
}

void HelpHandler::OnOnlineHelp() {
    ShowInfo(m_view, resources::OnlineHelpTemplate());
}

void HelpHandler::OnUserCoeffsFormat() {
    ShowInfo(m_view, resources::UserCoeffsFormatTemplate());
}

void HelpHandler::OnAbout() {
    help::CAboutDlg dialog;
    ShowInfo(m_view, dialog);
}
