// The Save/Load command's handler, as its steps: run the dialog, then one of its actions --
// save the coefficient file of the current design, load one into the document, save the
// generated VHDL or its testbench, or export the coefficients for another tool -- each as the
// command's check, the desktop's Save or Open dialog, the command, and its outcome shown; then
// restart the timer.
//
// A file the command could not write is reported by its path followed by " cannot be opened"
// and the system's reason on a second line, and the command ends there. A file Load refuses
// shows its warning with the reason (the system's, or the value where reading stopped) added.
#include "files/ui/SaveLoadHandler.h"

#include <algorithm>
#include <optional>
#include <string>

#include "app/CoefficientsCommands.h"
#include "app/DesignRules.h"
#include "app/ExportCommands.h"
#include "app/FileCommands.h"
#include "app/OlvexDoc.h"
#include "app/VhdlCommands.h"
#include "app/ui/OlvexView.h"
#include "files/InputFile.h"
#include "files/OutputFile.h"
#include "resources/FilesResources.h"
#include "vhdl/ui/CicTemplateSearch.h"

namespace {

enum SaveLoadAction {
    kActionSaveCoeffs = 0,
    kActionLoadCoeffs = 1,
    kActionSaveVhdl = 2,
    kActionSaveTestbench = 3,
    kActionExport = 4,
};

// Template 165: the action and the three file names, which only pre-fill the file dialogs.
class CSaveLoadDialog : public platform::Dialog {
public:
    CSaveLoadDialog() : platform::Dialog(resources::SaveLoadTemplate()) {}
    void DoDataExchange(platform::DataExchange& exchange) override {
        exchange.Radio(resources::kIdcSaveCoeffs, m_nAction);
        exchange.Text(resources::kIdcSaveCoeffsName, m_strSaveCoeffsName);
        exchange.Text(resources::kIdcLoadCoeffsName, m_strLoadCoeffsName);
        exchange.Text(resources::kIdcSaveVhdlName, m_strSaveVhdlName);
        exchange.Text(resources::kIdcSaveTestbenchName, m_strSaveTestbenchName);
        exchange.Text(resources::kIdcExportName, m_strExportName);
    }
    // The save action names the language VHDL Code writes in.
    void OnInitDialog(platform::ControlAccess& controls) override {
        if (m_nLanguage == static_cast<int>(vhdl::HdlLanguage::kVerilog)) {
            controls.SetText(resources::kIdcSaveVhdl, "Save Verilog");
        }
    }

    int m_nLanguage = 0; // vhdl::HdlLanguage

    int m_nAction = kActionSaveCoeffs;
    std::string m_strSaveCoeffsName = "coeff0.txt";
    std::string m_strLoadCoeffsName = "coeff0.txt";
    std::string m_strSaveVhdlName = "test0.vhd";
    std::string m_strSaveTestbenchName = "test0_tb.vhd";
    std::string m_strExportName = "coeff0"; // the format's extension is added
};

// Template 225: the export format, in files::ExportFormat's order.
class CExportDialog : public platform::Dialog {
public:
    CExportDialog() : platform::Dialog(resources::ExportTemplate()) {}
    void DoDataExchange(platform::DataExchange& exchange) override {
        exchange.Radio(resources::kIdcExportCoe, m_nFormat);
    }

    int m_nFormat = static_cast<int>(files::ExportFormat::kCoe);
};

// The name with its extension replaced by the format's.
std::string WithExtension(const std::string& name, files::ExportFormat format) {
    const std::size_t slash = name.find_last_of('/');
    const std::size_t dot = name.find_last_of('.');
    const bool hasExtension =
        dot != std::string::npos && dot != 0 && (slash == std::string::npos || dot > slash + 1);
    return (hasExtension ? name.substr(0, dot) : name) + files::ExportExtension(format);
}

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

// A warning with the reason as its last line.
void WarnWithReason(platform::UiHost& host, design::Warning warning, const std::string& reason) {
    if (!reason.empty()) {
        warning.lines.push_back(reason);
    }
    Warn(host, warning);
}

// A token from a file, fit to be shown: bytes outside printable ASCII become '?'.
std::string Printable(std::string token) {
    for (char& c : token) {
        if (c < ' ' || c > '~') {
            c = '?';
        }
    }
    return token;
}

// A file the command could not write: its path, then " cannot be opened", then the reason.
void ReportNotWritten(platform::UiHost& host, const commands::Outcome& outcome) {
    std::string text = outcome.message;
    if (!outcome.reason.empty() && text.find(outcome.reason) == std::string::npos) {
        text += "\n" + outcome.reason;
    }
    host.MessageBox(text, "", platform::MessageIcon::kWarning);
}

// The steps Save Coefficients and Save Testbench share: the command's check (a refusal is
// warned and ends the save), the file name, the write, and the report of a file not written.
// false only when the file could not be written; the reason is kept for the command line.
template <class Request, class Check, class Save>
bool CheckAskAndSave(platform::UiHost& host, std::string& fileReason, const std::string& name,
                     Request& request, Check check, Save save) {
    const commands::Outcome checked = check(request);
    if (checked.Is(commands::OutcomeKind::kRefused)) {
        Warn(host, checked.warning);
        return true;
    }
    const std::optional<std::string> path = host.RunFileDialog(FileRequest(false, name));
    if (!path) {
        return true;
    }
    request.path = *path;
    const commands::Outcome outcome = save(request);
    if (outcome.Is(commands::OutcomeKind::kFileNotWritten)) {
        fileReason = outcome.reason;
        ReportNotWritten(host, outcome);
        return false;
    }
    return true;
}

} // namespace

void SaveLoadHandler::OnSaveLoad() {
    m_view.m_bRedrawPending = 1;
    CSaveLoadDialog dlg;
    // Save VHDL proposes the extension of the language VHDL Code writes in.
    dlg.m_strSaveVhdlName =
        vhdl::WithLanguageExtension(dlg.m_strSaveVhdlName, commands::StoredLanguage(m_doc));
    dlg.m_strSaveTestbenchName =
        vhdl::WithLanguageExtension(dlg.m_strSaveTestbenchName, commands::StoredLanguage(m_doc));
    dlg.m_nLanguage = static_cast<int>(commands::StoredLanguage(m_doc));
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
        case kActionSaveTestbench:
            saved = SaveTestbench(dlg.m_strSaveTestbenchName);
            break;
        case kActionExport:
            saved = ExportCoefficients(dlg.m_strExportName);
            break;
        default:
            break;
        }
        if (!saved) {
            return; // a failed write ends the command at once
        }
    }
    m_view.ScheduleRedraw(COlvexView::kCommandRedrawMs);
}

bool SaveLoadHandler::SaveCoefficients(const std::string& name) {
    if (m_view.m_nFirIir == COlvexDoc::kCicStructure) {
        return SaveCicCompensator(name);
    }
    commands::SaveCoefficientsRequest request;
    request.iir = m_view.m_nFirIir == 1;
    request.coefficientsListed = m_view.m_bCoeffsListed != 0;
    return CheckAskAndSave(
        m_host, m_view.m_strFileReason, name, request,
        [](const auto& r) { return commands::CheckSaveCoefficients(r); },
        [this](const auto& r) { return commands::SaveCoefficients(m_doc, r); });
}

void SaveLoadHandler::LoadCoefficients(const std::string& name) {
    m_view.UpdateData(true); // the FIR/IIR choice of the form: the structure the file loads into
    m_host.Invalidate(false);
    const std::optional<std::string> path = m_host.RunFileDialog(FileRequest(true, name));
    if (path) {
        const commands::LoadOutcome outcome =
            commands::LoadCoefficients(m_doc, {m_view.m_nFirIir == 1, *path}, m_view.m_nLoadFormat);
        if (outcome.Is(commands::OutcomeKind::kRefused)) {
            m_view.m_strFileReason = outcome.reason;
            WarnWithReason(m_host, outcome.warning, outcome.reason);
        } else if (!outcome.notices.empty()) {
            // A file with a fault changed nothing: the design, its listing, its VHDL parameters
            // and the form stay as they were.
            m_strLoadStopToken = outcome.text;
            m_nLoadStopCount = outcome.valuesRead;
            // The value where reading stopped, as the command line names it.
            const std::string stop =
                outcome.text.empty() ? std::string()
                                     : "value " + std::to_string(outcome.valuesRead + 1) + ", '" +
                                           Printable(outcome.text) + "', is not a number";
            for (const design::Warning& notice : outcome.notices) {
                WarnWithReason(m_host, notice, stop);
            }
            return;
        } else {
            m_strLoadStopToken = outcome.text;
            m_nLoadStopCount = outcome.valuesRead;
        }
    }
    // After a load, the old report and VHDL parameters no longer describe the document.
    m_view.UpdateData(false);
    m_view.RedrawPlot();
    m_view.Coefficients().ShowCoeffPrompt();
    m_view.m_bCoeffsListed = 0;
    m_view.m_bVhdlParamsSet = 0;
    m_view.Measure().ShowMeasurementSummary();
}

bool SaveLoadHandler::SaveVhdl(const std::string& name) {
    if (m_view.m_nFirIir == COlvexDoc::kCicStructure) {
        return SaveCicHdl(name);
    }
    commands::SaveVhdlRequest request;
    request.headerStructure = m_view.m_nFirIir;
    request.vhdlParamsSet = m_view.m_bVhdlParamsSet != 0;
    request.templatePath = m_view.m_strTemplatePath;
    const commands::Outcome check = commands::CheckSaveVhdl(m_doc, request);
    if (check.Is(commands::OutcomeKind::kRefused)) {
        Warn(m_host, check.warning);
        return true;
    }
    m_view.VhdlCode().m_nSubstIndex = 0;
    const std::optional<std::string> path = m_host.RunFileDialog(FileRequest(false, name));
    if (!path) {
        return true;
    }
    request.path = *path;
    const commands::VhdlOutcome outcome =
        commands::SaveVhdl(m_doc, request, commands::DocumentRate(m_doc, m_view.m_nFirIir == 1));
    m_view.VhdlCode().m_nSubstIndex = outcome.substIndex;
    if (outcome.Is(commands::OutcomeKind::kFileNotWritten)) {
        m_view.m_strFileReason = outcome.reason;
        ReportNotWritten(m_host, outcome);
        return false;
    }
    if (!outcome.leftovers.empty()) {
        m_view.ShowLeftoverTokens(outcome.leftovers);
    }
    return true;
}

bool SaveLoadHandler::SaveTestbench(const std::string& name) {
    if (m_view.m_nFirIir == COlvexDoc::kCicStructure) {
        return SaveCicTestbench(name);
    }
    commands::SaveTestbenchRequest request;
    request.iir = m_view.m_nFirIir == 1;
    request.rate = commands::DocumentRate(m_doc, request.iir);
    if (const std::optional<std::string> refusal =
            commands::RateChangeRefusal(m_doc, request.rate, vhdl::Architecture::kSerial)) {
        m_host.MessageBox(*refusal, "", platform::MessageIcon::kWarning);
        return true;
    }
    request.vhdlParamsSet = m_view.m_bVhdlParamsSet != 0;
    return CheckAskAndSave(
        m_host, m_view.m_strFileReason, name, request,
        [this](const auto& r) { return commands::CheckSaveTestbench(m_doc, r); },
        [this](const auto& r) { return commands::SaveTestbench(m_doc, r); });
}

bool SaveLoadHandler::SaveCicHdl(const std::string& name) {
    if (!vhdl::CicDesignedOrWarn(m_host, m_doc)) {
        return true;
    }
    const vhdl::HdlLanguage language = commands::StoredLanguage(m_doc);
    const std::optional<std::string> found = vhdl::LocateCicTemplate(m_host, m_doc, language);
    if (!found) {
        return true;
    }
    const std::optional<std::string> path =
        m_host.RunFileDialog(FileRequest(false, vhdl::WithLanguageExtension(name, language)));
    if (!path) {
        return true;
    }
    const commands::VhdlOutcome outcome = commands::SaveCicHdl(m_doc, *found, *path);
    if (outcome.Is(commands::OutcomeKind::kFileNotWritten)) {
        m_view.m_strFileReason = outcome.reason;
        m_host.MessageBox(files::QuotedPath(*path) + design::kCannotBeOpened +
                              (outcome.reason.empty() ? "" : "\n" + outcome.reason),
                          "", platform::MessageIcon::kWarning);
        return false;
    }
    return true;
}

bool SaveLoadHandler::SaveCicTestbench(const std::string& name) {
    if (!vhdl::CicDesignedOrWarn(m_host, m_doc)) {
        return true;
    }
    const std::optional<std::string> path = m_host.RunFileDialog(FileRequest(false, name));
    if (!path) {
        return true;
    }
    // As `vantrel-cli cic --testbench FILE`: Verilog when the name ends in .v or .sv.
    const vhdl::HdlLanguage language = vhdl::LanguageOfPath(*path) == vhdl::HdlLanguage::kVerilog
                                           ? vhdl::HdlLanguage::kVerilog
                                           : vhdl::HdlLanguage::kVhdl;
    const files::OutputResult written =
        files::WriteOutputFile(*path, commands::CicTestbenchText(m_doc, language));
    if (!written.ok) {
        m_view.m_strFileReason = written.reason;
        m_host.MessageBox(files::QuotedPath(*path) + design::kCannotBeOpened +
                              (written.reason.empty() ? "" : "\n" + written.reason),
                          "", platform::MessageIcon::kWarning);
        return false;
    }
    return true;
}

// Save Coefficients with the CIC shown: its compensator's taps, refused without one.
bool SaveLoadHandler::SaveCicCompensator(const std::string& name) {
    const bool listed = m_view.m_bCoeffsListed != 0;
    const commands::Outcome check = commands::CheckCicCompensator(m_doc);
    if (!check.Is(commands::OutcomeKind::kAccepted)) {
        m_host.MessageBox(check.message, "", platform::MessageIcon::kWarning);
        return true;
    }
    if (!listed) {
        Warn(m_host, design::SaveNeedsCoeffsWarning());
        return true;
    }
    const std::optional<std::string> path = m_host.RunFileDialog(FileRequest(false, name));
    if (!path) {
        return true;
    }
    const commands::Outcome outcome = commands::SaveCicCompensator(m_doc, listed, *path);
    if (outcome.Is(commands::OutcomeKind::kFileNotWritten)) {
        m_view.m_strFileReason = outcome.reason;
        ReportNotWritten(m_host, outcome);
        return false;
    }
    return true;
}

bool SaveLoadHandler::ExportCoefficients(const std::string& name) {
    const bool cic = m_view.m_nFirIir == COlvexDoc::kCicStructure;
    if (cic && !commands::CheckCicCompensator(m_doc).Is(commands::OutcomeKind::kAccepted)) {
        m_host.MessageBox(commands::kNoCicCompensatorText, "", platform::MessageIcon::kWarning);
        return true;
    }
    CExportDialog format;
    if (m_host.RunModal(format) != platform::kIdOk) {
        return true;
    }
    commands::ExportRequest request;
    request.iir = m_view.m_nFirIir == 1;
    request.format = static_cast<files::ExportFormat>(
        std::clamp(format.m_nFormat, 0, static_cast<int>(files::ExportFormat::kCHeader)));
    request.rate = commands::DocumentRate(m_doc, request.iir);
    request.cic = cic;
    const commands::Outcome check = commands::CheckExport(m_doc, request);
    if (check.Is(commands::OutcomeKind::kRefused)) {
        Warn(m_host, check.warning);
        return true;
    }
    const std::optional<std::string> path =
        m_host.RunFileDialog(FileRequest(false, WithExtension(name, request.format)));
    if (!path) {
        return true;
    }
    request.path = *path;
    const commands::Outcome outcome = commands::Export(m_doc, request);
    if (outcome.Is(commands::OutcomeKind::kFileNotWritten)) {
        m_view.m_strFileReason = outcome.reason;
        ReportNotWritten(m_host, outcome);
        return false;
    }
    return true;
}
