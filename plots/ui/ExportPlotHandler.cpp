// Print > Export plot…: the desktop's Save dialog, then the plot the window shows drawn into a
// PNG of the width the user asks for, an SVG of the plot area's default size (a vector picture,
// any size), or into the printed page as a PDF (the picture's format by the extension), written
// through the output-file component.
#include "plots/ui/ExportPlotHandler.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "app/ExportCommands.h"
#include "app/OlvexDoc.h"
#include "app/PlotCommands.h"
#include "app/ui/OlvexView.h"
#include "plots/PlotPicture.h"

namespace {

platform::DialogTemplate ExportSizeTemplate() {
    using platform::ControlKind;
    platform::DialogTemplate dialog;
    dialog.id = CExportSizeDialog::kTemplateId;
    dialog.title = "Export plot";
    dialog.centered = true;
    dialog.size = {180, 62};
    dialog.controls = {
        {platform::kIdStatic, ControlKind::kStaticText, "Width in pixels:", {10, 12, 70, 10}},
        {CExportSizeDialog::kIdcWidth, ControlKind::kEdit, "", {84, 10, 86, 12}},
        {platform::kIdOk, ControlKind::kDefaultPushButton, "OK", {30, 38, 50, 14}},
        {platform::kIdCancel, ControlKind::kPushButton, "Cancel", {100, 38, 50, 14}},
    };
    return dialog;
}

} // namespace

CExportSizeDialog::CExportSizeDialog() : platform::Dialog(ExportSizeTemplate()) {}

void CExportSizeDialog::DoDataExchange(platform::DataExchange& exchange) {
    exchange.IntRange(kIdcWidth, m_nWidth, kMinWidth, kMaxWidth);
}

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
    plots::PlotPicture picture =
        plots::PlotPictureOf(commands::ComputePlot(m_doc, m_view), *format);
    if (picture.format == platform::PictureFormat::kPng) {
        // A raster picture: its size is asked for; the drawing scales with it.
        CExportSizeDialog size;
        if (m_host.RunModal(size) != platform::kIdOk) {
            return;
        }
        const double aspect = static_cast<double>(picture.size.cy) / picture.size.cx;
        picture.size = {size.m_nWidth,
                        std::max(1, static_cast<int>(std::lround(size.m_nWidth * aspect)))};
    }
    const commands::Outcome outcome = commands::SavePlotPicture(
        *path, m_host.RenderPicture(picture.format, picture.size, picture.draw));
    if (outcome.Is(commands::OutcomeKind::kFileNotWritten)) {
        m_view.m_strFileReason = outcome.reason;
        const std::string text =
            outcome.reason.empty() ? outcome.message : outcome.message + "\n" + outcome.reason;
        m_host.MessageBox(text, "", platform::MessageIcon::kWarning);
    }
}
