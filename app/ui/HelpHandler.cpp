// The Help menu: four dialogs of fixed text with one OK button. The plot they covered is drawn
// again by the timer once they close.
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

void COlvexView::OnUserWaveHelp() {
    ShowInfo(*this, resources::UserWaveHelpTemplate());
}

void COlvexView::OnOnlineHelp() {
    ShowInfo(*this, resources::OnlineHelpTemplate());
}

void COlvexView::OnUserCoeffsFormat() {
    ShowInfo(*this, resources::UserCoeffsFormatTemplate());
}

void COlvexView::OnAbout() {
    help::CAboutDlg dialog;
    ShowInfo(*this, dialog);
}
