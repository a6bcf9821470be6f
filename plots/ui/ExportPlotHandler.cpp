// Print > Export plot…: the desktop's Save dialog, then the plot the window shows drawn into a
// PNG or SVG of the plot area's default size, or into the printed page as a PDF (the picture's
// format by the extension), written through the output-file component.
#include "plots/ui/ExportPlotHandler.h"

#include <optional>
#include <string>

#include "app/ExportCommands.h"
#include "app/OlvexDoc.h"
#include "app/PlotCommands.h"
#include "app/ui/OlvexView.h"
#include "plots/PlotPicture.h"

void ExportPlotHandler::OnExportPlot() {
    platform::FileDialogRequest request;
    request.open = false;
    request.fileName = "plot0.png";
    request.filter = "Pictures (*.png *.svg *.pdf)";
    request.flags = platform::kOfnHideReadOnly | platform::kOfnOverwritePrompt;
    const std::optional<std::string> path = m_host.RunFileDialog(request);
    if (!path) {
        return;
    }
    const std::optional<platform::PictureFormat> format = plots::PictureFormatOf(*path);
    if (!format) {
        m_host.MessageBox(*path + " does not end in .png, .svg or .pdf", "",
                          platform::MessageIcon::kWarning);
        return;
    }
    const plots::PlotPicture picture =
        plots::PlotPictureOf(commands::ComputePlot(m_doc, m_view), *format);
    const commands::Outcome outcome = commands::SavePlotPicture(
        *path, m_host.RenderPicture(picture.format, picture.size, picture.draw));
    if (outcome.Is(commands::OutcomeKind::kFileNotWritten)) {
        m_view.m_strFileReason = outcome.reason;
        m_host.MessageBox(outcome.message, "", platform::MessageIcon::kWarning);
    }
}
