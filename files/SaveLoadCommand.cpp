// The Save/Load command, as its steps: run the dialog, then one of its three actions -- save the
// coefficient file of the current design, load one into the document, or save the generated
// VHDL -- each through the desktop's Save or Open dialog, and restart the timer.
//
// Every file goes through files::WriteOutputFile, so a failed save leaves the old file as it
// was; its path is then reported followed by " cannot be opened" and the command ends there.
#include <optional>
#include <string>

#include "app/OlvexDoc.h"
#include "app/OlvexDocEngine.h"
#include "app/OlvexView.h"
#include "files/CoeffFile.h"
#include "files/OutputFile.h"
#include "resources/FilesResources.h"
#include "vhdl/VhdlText.h"

namespace {

enum SaveLoadAction { kActionSaveCoeffs = 0, kActionLoadCoeffs = 1, kActionSaveVhdl = 2 };

// Template 165: the action and the three file names, which only pre-fill the file dialogs.
class CSaveLoadDialog : public platform::Dialog {
public:
    CSaveLoadDialog() : platform::Dialog(resources::SaveLoadTemplate()) {}
    void DoDataExchange(platform::DataExchange& exchange) override {
        exchange.Radio(resources::kIdcSaveCoeffs, m_nAction);
        exchange.Text(resources::kIdcSaveCoeffsName, m_strSaveCoeffsName);
        exchange.Text(resources::kIdcLoadCoeffsName, m_strLoadCoeffsName);
        exchange.Text(resources::kIdcSaveVhdlName, m_strSaveVhdlName);
    }

    int m_nAction = kActionSaveCoeffs;
    std::string m_strSaveCoeffsName = "coeff0.txt";
    std::string m_strLoadCoeffsName = "coeff0.txt";
    std::string m_strSaveVhdlName = "test0.vhd";
};

// No filter, no default extension, no read-only box; Save asks before replacing a file.
platform::FileDialogRequest FileRequest(bool open, const std::string& name) {
    platform::FileDialogRequest request;
    request.open = open;
    request.fileName = name;
    request.flags = platform::kOfnHideReadOnly | (open ? 0u : platform::kOfnOverwritePrompt);
    return request;
}

void Warn(platform::UiHost& host, const design::Warning& warning) {
    host.ShowWarning(warning.templateId, warning.title, warning.lines);
}

// Writes the text; on failure keeps the system's reason, reports the path and returns false.
bool SaveText(platform::UiHost& host, const std::string& path, const std::string& text,
              std::string& reason) {
    const files::OutputResult result = files::WriteOutputFile(path, text);
    if (result.ok) {
        return true;
    }
    reason = result.reason;
    host.MessageBox(path + resources::kCannotBeOpened, "", platform::MessageIcon::kWarning);
    return false;
}

} // namespace

void COlvexView::OnSaveLoad() {
    m_bRedrawPending = 1;
    CSaveLoadDialog dlg;
    if (m_host.RunModal(dlg) == platform::kIdOk) {
        bool saved = true;
        switch (dlg.m_nAction) {
        case kActionSaveCoeffs:
            saved = SaveCoefficients(dlg.m_strSaveCoeffsName);
            break;
        case kActionLoadCoeffs:
            LoadCoefficients(dlg.m_strLoadCoeffsName);
            break;
        case kActionSaveVhdl:
            saved = SaveVhdl(dlg.m_strSaveVhdlName);
            break;
        default:
            break;
        }
        if (!saved) {
            return; // a failed write ends the command at once
        }
    }
    ScheduleRedraw(kCommandRedrawMs);
}

bool COlvexView::SaveCoefficients(const std::string& name) {
    if (m_bCoeffsListed == 0) {
        Warn(m_host, resources::SaveNeedsCoeffsWarning());
        return true;
    }
    const std::optional<std::string> path = m_host.RunFileDialog(FileRequest(false, name));
    if (!path) {
        return true;
    }
    return SaveText(m_host, *path, files::CoeffFileText(m_doc, m_nFirIir == 1), m_strFileReason);
}

void COlvexView::LoadCoefficients(const std::string& name) {
    m_host.Invalidate(false);
    const std::optional<std::string> path = m_host.RunFileDialog(FileRequest(true, name));
    if (path) {
        const files::CoeffFileBytes bytes = files::ReadCoeffFileBytes(*path);
        if (!bytes.ok) {
            m_strFileReason = bytes.reason;
            Warn(m_host, resources::InvalidFileNameWarning());
        } else {
            const files::CoeffLoad load =
                files::ReadCoeffFile(bytes, m_doc, m_nFirIir == 1, m_nLoadFormat);
            m_strLoadStopToken = load.badToken;
            m_nLoadStopCount = load.count;
            if (!load.headerFound) {
                Warn(m_host, resources::MissingHeaderWarning());
            } else if (load.invalidFormat) {
                Warn(m_host, resources::InvalidCoeffsWarning());
            }
        }
    }
    // Whatever happened, the old report and VHDL parameters no longer describe the document.
    UpdateData(false);
    RedrawPlot();
    ShowCoeffPrompt();
    m_bCoeffsListed = 0;
    m_bVhdlParamsSet = 0;
    ShowMeasurementSummary();
}

bool COlvexView::SaveVhdl(const std::string& name) {
    if (m_doc.m_bQuantize == 0) {
        Warn(m_host, resources::VhdlNeedsQuantizeWarning());
        return true;
    }
    if (m_bVhdlParamsSet == 0) {
        Warn(m_host, resources::VhdlNeedsParamsWarning());
        return true;
    }
    m_nSubstIndex = 0;
    const std::optional<std::string> path = m_host.RunFileDialog(FileRequest(false, name));
    if (!path) {
        return true;
    }
    // The template the last VHDL Code command located is read again; it is not searched for.
    std::string text;
    if (!vhdl::BuildVhdlText(m_doc, m_nFirIir, m_strTemplatePath, true, text)) {
        m_host.MessageBox(*path + resources::kCannotBeOpened, "", platform::MessageIcon::kWarning);
        return false;
    }
    return SaveText(m_host, *path, text, m_strFileReason);
}
