// The VHDL Code command's handler, as its steps: the command's check that quantization is on,
// the data bit length dialog, locating the template, the command that builds the header and the
// substituted template, show the text (or the template's problem), restart the timer. Also the
// view's template search and its two substitution operations.
#include <string>

#include "app/Commands.h"
#include "app/OlvexDoc.h"
#include "app/OlvexDocEngine.h"
#include "app/OlvexView.h"
#include "resources/FilesResources.h"
#include "resources/VhdlResources.h"
#include "vhdl/VhdlDialogs.h"
#include "vhdl/VhdlText.h"

namespace {

std::string TemplateErrorText(bool notFound, const std::string& path) {
    return notFound ? resources::TemplateNotFoundText(path) : "Access to " + path + " was denied.";
}

} // namespace

void COlvexView::OnVhdlCode() {
    m_bRedrawPending = 1;
    // What the box shows until the new text is pushed; restored if the template fails, so the
    // field never holds a half-built text.
    const std::string shown = m_strOutput;
    m_strOutput.clear();

    const commands::Outcome check = commands::CheckVhdlCode(m_doc);
    if (check.Is(commands::OutcomeKind::kRefused)) {
        m_host.ShowWarning(check.warning.templateId, check.warning.title, check.warning.lines);
    } else {
        vhdl::CVhdlSourceDialog dlg;
        dlg.m_nDataBits = m_doc.m_nDataBits;
        if (m_host.RunModal(dlg) == platform::kIdOk) {
            m_bVhdlParamsSet = 1;
            m_nSubstIndex = 0;
            commands::VhdlCodeRequest request;
            request.dataBits = dlg.m_nDataBits;
            // The type words come from the structure last read from the form, before the dialog.
            request.headerStructure = m_nFirIir;
            UpdateData(true);
            request.iir = m_nFirIir == 1;
            LocateTemplate(vhdl::TemplateFileName(request.iir, m_doc.m_nIirSections));
            request.templatePath = m_strTemplatePath;
            const commands::VhdlOutcome outcome = commands::VhdlCode(m_doc, request);
            m_nSubstIndex = outcome.substIndex;
            if (outcome.Is(commands::OutcomeKind::kFileNotRead)) {
                m_strOutput = shown;
                m_host.MessageBox(outcome.message.empty()
                                      ? TemplateErrorText(outcome.notFound, outcome.path)
                                      : outcome.message,
                                  "", platform::MessageIcon::kWarning);
                return;
            }
            m_strOutput = outcome.text;
            if (!outcome.leftovers.empty()) {
                ShowLeftoverTokens(outcome.leftovers);
            }
        }
    }
    UpdateData(false);
    ScheduleRedraw(kCommandRedrawMs);
}

void COlvexView::LocateTemplate(const std::string& name) {
    if (const std::optional<std::string> found = m_host.SearchFile(name, ".vhd")) {
        m_strTemplatePath = *found;
        return;
    }
    vhdl::CLocateTemplateDialog warning(name);
    m_host.RunModal(warning);
    platform::FileDialogRequest request;
    request.open = true;
    request.fileName = name;
    request.flags = platform::kOfnHideReadOnly;
    if (const std::optional<std::string> picked = m_host.RunFileDialog(request)) {
        m_strTemplatePath = *picked;
    }
}

std::string COlvexView::SubstituteFirLine(const std::string& line) {
    return vhdl::SubstituteFirLine(m_doc, line, m_nSubstIndex);
}

std::string COlvexView::SubstituteIirLine(const std::string& line) {
    return vhdl::SubstituteIirLine(m_doc, line, m_nSubstIndex);
}
