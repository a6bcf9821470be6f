// The VHDL Code command, as its steps: check that quantization is on, ask for the data bit
// length, write the header, locate the template and append it substituted, show the text,
// restart the timer. Also the view's template search and its two substitution operations.
#include <string>

#include "app/OlvexDoc.h"
#include "app/OlvexDocEngine.h"
#include "app/OlvexView.h"
#include "resources/FilesResources.h"
#include "resources/VhdlResources.h"
#include "vhdl/VhdlDialogs.h"
#include "vhdl/VhdlText.h"

namespace {

std::string TemplateErrorText(vhdl::TemplateStatus status, const std::string& path) {
    return status == vhdl::TemplateStatus::kNotFound ? resources::TemplateNotFoundText(path)
                                                     : "Access to " + path + " was denied.";
}

} // namespace

void COlvexView::OnVhdlCode() {
    m_bRedrawPending = 1;
    // What the box shows until the new text is pushed; restored if the template fails, so the
    // field never holds a half-built text.
    const std::string shown = m_strOutput;
    m_strOutput.clear();
    // The type words come from the structure last read from the form, before the dialog.
    vhdl::HeaderValues values = vhdl::FormatHeaderValues(m_doc, m_nFirIir);

    if (m_doc.m_bQuantize == 0) {
        const design::Warning warning = resources::VhdlNeedsQuantizeWarning();
        m_host.ShowWarning(warning.templateId, warning.title, warning.lines);
    } else {
        vhdl::CVhdlSourceDialog dlg;
        dlg.m_nDataBits = m_doc.m_nDataBits;
        if (m_host.RunModal(dlg) == platform::kIdOk) {
            m_bVhdlParamsSet = 1;
            m_doc.m_nDataBits = dlg.m_nDataBits;
            m_nSubstIndex = 0;
            values.dataBits = vhdl::FormatHeaderValues(m_doc, m_nFirIir).dataBits;
            UpdateData(true);

            const bool iir = m_nFirIir == 1;
            m_strOutput = vhdl::BuildVhdlHeader(vhdl::HeaderVariant::kDisplay, iir, values);
            LocateTemplate(vhdl::TemplateFileName(iir, m_doc.m_nIirSections));
            if (m_strTemplatePath.empty()) {
                m_strOutput.clear(); // no template was ever found or picked
            } else {
                const vhdl::TemplateStatus status = vhdl::AppendSubstitutedTemplate(
                    m_doc, iir, m_strTemplatePath, vhdl::HeaderVariant::kDisplay, m_nSubstIndex,
                    m_strOutput);
                if (status != vhdl::TemplateStatus::kOk) {
                    m_strOutput = shown;
                    m_host.MessageBox(TemplateErrorText(status, m_strTemplatePath), "",
                                      platform::MessageIcon::kWarning);
                    return;
                }
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
