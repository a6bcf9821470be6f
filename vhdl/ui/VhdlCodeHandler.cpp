// The VHDL Code command's handler, as its steps: the command's check that quantization is on,
// the data bit length dialog, locating the template, the command that builds the header and the
// substituted template, show the text (or the template's problem), restart the timer; and the
// dialog's "Hardware report" button, which runs the place-and-route flow in the background. Also
// the template search and the two substitution operations.
#include "vhdl/ui/VhdlCodeHandler.h"

#include <algorithm>
#include <atomic>
#include <functional>
#include <optional>
#include <string>

#include "app/AnalysisCommands.h"
#include "app/OlvexDoc.h"
#include "app/VhdlCommands.h"
#include "app/ui/OlvexView.h"
#include "files/InputFile.h"
#include "files/OutputFile.h"
#include "resources/FilesResources.h"
#include "resources/Resources.h"
#include "resources/VhdlResources.h"
#include "vhdl/HdlLanguage.h"
#include "vhdl/Polyphase.h"
#include "vhdl/VhdlText.h"
#include "vhdl/ui/CicTemplateSearch.h"
#include "vhdl/ui/VhdlDialogs.h"

namespace {

std::string TemplateErrorText(bool notFound, const std::string& path) {
    return notFound ? commands::TemplateNotFoundText(path) : "Access to " + path + " was denied.";
}

// The output box's text after a hardware report: its lines, then what went wrong, if anything.
std::string HardwareReportText(bool finished, const commands::HardwareReportOutcome& outcome) {
    if (!finished) {
        return "Hardware report cancelled.";
    }
    if (!outcome.Is(commands::OutcomeKind::kAccepted)) {
        return outcome.warning.OneLine().empty() ? outcome.path + ": " + outcome.reason
                                                 : outcome.warning.OneLine();
    }
    std::string text = outcome.text;
    const vhdl::HardwareStatus status = outcome.hardware.status;
    if (status == vhdl::HardwareStatus::kOk || status == vhdl::HardwareStatus::kMissedClock) {
        text += vhdl::FmaxSpreadText(outcome.hardware.figures) + "\r\n" +
                vhdl::FillText(outcome.hardware.figures) + "\r\n";
    }
    if (!outcome.hardware.note.empty()) {
        text += outcome.hardware.note + "\r\n";
    }
    const std::string problem = commands::HardwareProblemText(outcome.hardware);
    if (!problem.empty()) {
        text += problem + "\r\n";
    }
    return text;
}

const char* const kCicDataBitsText =
    "A CIC filter's data bits are set in its Design dialog (D): keep them here.";

vhdl::HdlLanguage LanguageOf(const vhdl::CVhdlSourceDialog& dlg) {
    return dlg.m_nLanguage == 1 ? vhdl::HdlLanguage::kVerilog : vhdl::HdlLanguage::kVhdl;
}

} // namespace

void VhdlCodeHandler::OnVhdlCode() {
    m_view.m_bRedrawPending = 1;
    // What the box shows until the new text is pushed; restored if the template fails, so the
    // field never holds a half-built text.
    const std::string shown = m_view.m_strOutput;
    m_view.m_strOutput.clear();
    if (m_host.FormControls().GetCheck(resources::kIdcCic) != 0) {
        OnCicVhdlCode(shown);
        return;
    }

    const commands::Outcome check = commands::CheckVhdlCode(m_doc);
    if (check.Is(commands::OutcomeKind::kRefused)) {
        m_host.ShowWarning(check.warning.templateId, check.warning.title, check.warning.lines);
    } else {
        vhdl::CVhdlSourceDialog dlg;
        dlg.m_nDataBits = m_doc.m_nDataBits;
        dlg.m_nArchitecture = m_doc.m_nVhdlArchitecture;
        dlg.m_nMultipliers = m_doc.m_nVhdlMultipliers;
        dlg.m_dClockMhz = m_doc.m_dVhdlClockMhz;
        dlg.m_nLanguage = m_doc.m_nHdlLanguage;
        bool reported = false; // the box shows a hardware report made while the dialog was open
        dlg.m_fnHardwareReport = [this, &dlg, &reported](platform::ControlAccess& controls) {
            reported = OnHardwareReport(dlg, controls) || reported;
        };
        dlg.m_fnSaveTestbench = [this, &dlg](platform::ControlAccess& controls) {
            OnSaveTestbench(dlg, controls);
        };
        const int button = m_host.RunModal(dlg);
        if (button != platform::kIdOk && reported) {
            return; // Cancel keeps the report in the box
        }
        if (button == platform::kIdOk) {
            const commands::VhdlOutcome outcome = GenerateVhdl(dlg);
            if (outcome.Is(commands::OutcomeKind::kFileNotRead) ||
                outcome.Is(commands::OutcomeKind::kOutOfRange)) {
                m_view.m_strOutput = shown;
                m_host.MessageBox(outcome.message.empty()
                                      ? TemplateErrorText(outcome.notFound, outcome.path)
                                      : outcome.message,
                                  "", platform::MessageIcon::kWarning);
                return;
            }
            m_view.m_strOutput = outcome.text;
            if (!outcome.leftovers.empty()) {
                m_view.ShowLeftoverTokens(outcome.leftovers);
            }
        } else {
            m_view.m_strOutput = shown; // Cancel changes nothing: the listing stays
        }
    }
    m_view.UpdateData(false);
    m_view.ScheduleRedraw(COlvexView::kCommandRedrawMs);
}

void VhdlCodeHandler::OnCicVhdlCode(const std::string& shown) {
    m_view.m_strOutput = shown;
    m_view.m_nFirIir = COlvexDoc::kCicStructure;
    if (!vhdl::CicDesignedOrWarn(m_host, m_doc)) {
        return;
    }
    vhdl::CVhdlSourceDialog dlg;
    dlg.m_nDataBits = m_doc.m_nCicDataBits;
    dlg.m_nArchitecture = m_doc.m_nVhdlArchitecture;
    dlg.m_nMultipliers = m_doc.m_nVhdlMultipliers;
    dlg.m_dClockMhz = m_doc.m_dVhdlClockMhz;
    dlg.m_nLanguage = m_doc.m_nHdlLanguage;
    dlg.m_fnHardwareReport = [this, &dlg](platform::ControlAccess& controls) {
        OnCicHardwareReport(dlg, controls);
    };
    dlg.m_fnSaveTestbench = [this, &dlg](platform::ControlAccess& controls) {
        OnSaveCicTestbench(dlg, controls);
    };
    // Cancel keeps what the box shows: the listing, or a report made while the dialog was open.
    if (m_host.RunModal(dlg) != platform::kIdOk) {
        return;
    }
    const std::optional<std::string> found = CicTemplateOf(dlg);
    if (!found) {
        return;
    }
    const commands::VhdlOutcome outcome = commands::CicHdl(m_doc, *found);
    if (!outcome.Is(commands::OutcomeKind::kAccepted)) {
        m_host.MessageBox(outcome.message.empty() ? TemplateErrorText(outcome.notFound, *found)
                                                  : outcome.message,
                          "", platform::MessageIcon::kWarning);
        return;
    }
    m_view.m_strTemplatePath = *found;
    m_view.m_bVhdlParamsSet = 1;
    m_view.m_strOutput = outcome.text;
    m_view.UpdateData(false);
    m_view.ScheduleRedraw(COlvexView::kCommandRedrawMs);
}

std::optional<std::string> VhdlCodeHandler::CicTemplateOf(const vhdl::CVhdlSourceDialog& dlg) {
    if (dlg.m_nDataBits != m_doc.m_nCicDataBits) {
        m_host.MessageBox(kCicDataBitsText, "", platform::MessageIcon::kWarning);
        return std::nullopt;
    }
    const vhdl::HdlLanguage language = LanguageOf(dlg);
    m_doc.m_nHdlLanguage = dlg.m_nLanguage == 1 ? 1 : 0;
    return vhdl::LocateCicTemplate(m_host, m_doc, language);
}

// Runs the prepared report's tools on another thread (Cancel stops them) and shows its text.
void VhdlCodeHandler::RunHardwareReport(commands::HardwareReportJob& job) {
    commands::HardwareReportOutcome outcome;
    const bool finished = m_host.RunInBackground(
        resources::kHardwareReportTitle,
        [&job, &outcome](const std::atomic<bool>& cancel,
                         const std::function<void(const std::string&)>& progress) {
            job.hardware.cancel = &cancel;
            job.hardware.progress = progress;
            outcome = commands::RunHardwareReport(job);
        });
    m_view.m_strOutput = HardwareReportText(finished, outcome);
    m_view.UpdateData(false);
}

void VhdlCodeHandler::OnCicHardwareReport(vhdl::CVhdlSourceDialog& dlg,
                                          platform::ControlAccess& controls) {
    if (const std::optional<platform::ExchangeFailure> failure =
            platform::AcceptDialog(dlg, controls)) {
        m_host.MessageBox(failure->message, "", platform::MessageIcon::kWarning);
        return;
    }
    const std::optional<std::string> found = CicTemplateOf(dlg);
    if (!found) {
        return;
    }
    commands::CicHardwareRequest request;
    request.params = m_doc.CicParams();
    request.templatePath = *found;
    request.clockHz = dlg.m_dClockMhz * 1e6;
    request.lineEnd = "\r\n";
    // The text is built here; only the tools run on the other thread, on values.
    commands::HardwareReportJob job = commands::PrepareCicHardwareReport(request);
    RunHardwareReport(job);
}

void VhdlCodeHandler::OnSaveCicTestbench(vhdl::CVhdlSourceDialog& dlg,
                                         platform::ControlAccess& controls) {
    if (const std::optional<platform::ExchangeFailure> failure =
            platform::AcceptDialog(dlg, controls)) {
        m_host.MessageBox(failure->message, "", platform::MessageIcon::kWarning);
        return;
    }
    const vhdl::HdlLanguage language = LanguageOf(dlg);
    platform::FileDialogRequest file;
    file.open = false;
    file.fileName = vhdl::WithLanguageExtension("tb0.vhd", language);
    file.flags = platform::kOfnHideReadOnly | platform::kOfnOverwritePrompt;
    const std::optional<std::string> path = m_host.RunFileDialog(file);
    if (!path) {
        return;
    }
    const files::OutputResult written =
        files::WriteOutputFile(*path, commands::CicTestbenchText(m_doc, language));
    if (!written.ok) {
        m_view.m_strFileReason = written.reason;
        m_host.MessageBox(files::QuotedPath(*path) + design::kCannotBeOpened +
                              (written.reason.empty() ? "" : "\n" + written.reason),
                          "", platform::MessageIcon::kWarning);
    }
}

commands::VhdlOutcome VhdlCodeHandler::GenerateVhdl(const vhdl::CVhdlSourceDialog& dlg) {
    m_view.m_bVhdlParamsSet = 1;
    m_nSubstIndex = 0;
    commands::VhdlCodeRequest request;
    request.dataBits = dlg.m_nDataBits;
    request.architecture = static_cast<vhdl::Architecture>(std::clamp(dlg.m_nArchitecture, 0, 3));
    request.multipliers = dlg.m_nMultipliers;
    request.clockMhz = dlg.m_dClockMhz;
    request.language = LanguageOf(dlg);
    // The type words come from the structure last read from the form, before the dialog.
    request.headerStructure = m_view.m_nFirIir;
    m_view.UpdateData(true);
    request.iir = m_view.m_nFirIir == 1;
    // A FIR designed to decimate or interpolate is generated as its polyphase filter, from that
    // filter's own template.
    const vhdl::RateChange rate = commands::DocumentRate(m_doc, request.iir);
    if (const std::optional<std::string> refusal = commands::RateChangeRefusal(
            m_doc, rate, request.architecture, request.multipliers, request.clockMhz)) {
        commands::VhdlOutcome refused;
        refused.kind = commands::OutcomeKind::kOutOfRange;
        refused.message = *refusal;
        return refused;
    }
    if (rate.Active()) {
        LocateTemplate(commands::PolyphaseTemplateName(m_doc, rate, request.architecture,
                                                       request.multipliers, request.clockMhz,
                                                       request.language),
                       false, {});
    } else {
        LocateTemplate(commands::ArchitectureTemplateName(m_doc, request.iir, request.architecture,
                                                          request.multipliers, request.clockMhz,
                                                          request.language),
                       request.iir,
                       commands::LegacyArchitectureTemplateName(
                           m_doc, request.iir, request.architecture, request.multipliers,
                           request.clockMhz, request.language));
    }
    request.templatePath = m_view.m_strTemplatePath;
    const commands::VhdlOutcome outcome = commands::VhdlCode(m_doc, request, rate);
    m_nSubstIndex = outcome.substIndex;
    return outcome;
}

bool VhdlCodeHandler::OnHardwareReport(vhdl::CVhdlSourceDialog& dlg,
                                       platform::ControlAccess& controls) {
    if (const std::optional<platform::ExchangeFailure> failure =
            platform::AcceptDialog(dlg, controls)) {
        m_host.MessageBox(failure->message, "", platform::MessageIcon::kWarning);
        return false;
    }
    const commands::VhdlOutcome vhdl = GenerateVhdl(dlg);
    if (vhdl.Is(commands::OutcomeKind::kFileNotRead) ||
        vhdl.Is(commands::OutcomeKind::kOutOfRange)) {
        m_host.MessageBox(vhdl.message.empty() ? TemplateErrorText(vhdl.notFound, vhdl.path)
                                               : vhdl.message,
                          "", platform::MessageIcon::kWarning);
        return false;
    }
    commands::HardwareReportRequest request;
    request.headerStructure = m_view.m_nFirIir;
    request.vhdlParamsSet = true;
    request.templatePath = m_view.m_strTemplatePath;
    request.lineEnd = "\r\n";
    // The text is built here; only the tools run on the other thread, on values.
    commands::HardwareReportJob job = commands::PrepareHardwareReport(
        m_doc, request, commands::DocumentRate(m_doc, m_view.m_nFirIir == 1));
    RunHardwareReport(job);
    return true;
}

void VhdlCodeHandler::OnSaveTestbench(vhdl::CVhdlSourceDialog& dlg,
                                      platform::ControlAccess& controls) {
    if (const std::optional<platform::ExchangeFailure> failure =
            platform::AcceptDialog(dlg, controls)) {
        m_host.MessageBox(failure->message, "", platform::MessageIcon::kWarning);
        return;
    }
    // The entries stored as VHDL Code stores them; the testbench needs no template.
    commands::VhdlCodeRequest request;
    request.dataBits = dlg.m_nDataBits;
    request.architecture = static_cast<vhdl::Architecture>(std::clamp(dlg.m_nArchitecture, 0, 3));
    request.multipliers = dlg.m_nMultipliers;
    request.clockMhz = dlg.m_dClockMhz;
    request.language = LanguageOf(dlg);
    m_view.UpdateData(true);
    request.iir = m_view.m_nFirIir == 1;
    // A decimating or interpolating FIR is tested as the polyphase filter VHDL Code makes of it.
    const vhdl::RateChange rate = commands::DocumentRate(m_doc, request.iir);
    if (const std::optional<std::string> refusal =
            commands::RateChangeRefusal(m_doc, rate, vhdl::Architecture::kSerial)) {
        m_host.MessageBox(*refusal, "", platform::MessageIcon::kWarning);
        return;
    }
    commands::VhdlCode(m_doc, request);
    commands::SimulateWave(m_doc, request.iir); // the stimulus is the wave In/Out Wave sends
    const commands::TextOutcome testbench =
        commands::Testbench(m_doc, request.iir, request.language, rate);
    if (testbench.Is(commands::OutcomeKind::kRefused)) {
        m_host.ShowWarning(testbench.warning.templateId, testbench.warning.title,
                           testbench.warning.lines);
        return;
    }
    platform::FileDialogRequest file;
    file.open = false;
    file.fileName = vhdl::WithLanguageExtension("tb0.vhd", request.language);
    file.flags = platform::kOfnHideReadOnly | platform::kOfnOverwritePrompt;
    const std::optional<std::string> path = m_host.RunFileDialog(file);
    if (!path) {
        return;
    }
    const files::OutputResult written = files::WriteOutputFile(*path, testbench.text);
    if (!written.ok) {
        m_view.m_strFileReason = written.reason;
        m_host.MessageBox(files::QuotedPath(*path) + design::kCannotBeOpened +
                              (written.reason.empty() ? "" : "\n" + written.reason),
                          "", platform::MessageIcon::kWarning);
    }
}

void VhdlCodeHandler::LocateTemplate(const std::string& name, bool iir,
                                     const std::string& legacyName) {
    const vhdl::HdlLanguage language =
        vhdl::LanguageOfPath(name).value_or(vhdl::HdlLanguage::kVhdl);
    // A file of the name that is no template of the structure (VHDL generated into the current
    // folder) is passed over, and the search goes on to the installed templates. A user's
    // template of the per-section-count name comes first.
    for (const std::string& wanted : {legacyName, name}) {
        if (wanted.empty()) {
            continue;
        }
        if (const std::optional<std::string> found = m_host.SearchFile(
                wanted, vhdl::HdlExtension(language),
                [iir](const std::string& path) { return vhdl::SearchTakesTemplate(path, iir); })) {
            m_view.m_strTemplatePath = *found;
            return;
        }
    }
    vhdl::CLocateTemplateDialog warning(name);
    m_host.RunModal(warning);
    platform::FileDialogRequest request;
    request.open = true;
    request.fileName = name;
    request.flags = platform::kOfnHideReadOnly;
    if (const std::optional<std::string> picked = m_host.RunFileDialog(request)) {
        m_view.m_strTemplatePath = *picked;
    }
}

std::string VhdlCodeHandler::SubstituteFirLine(const std::string& line) {
    return commands::SubstituteFirLineOf(m_doc, line, m_nSubstIndex);
}

std::string VhdlCodeHandler::SubstituteIirLine(const std::string& line) {
    return commands::SubstituteIirLineOf(m_doc, line, m_nSubstIndex);
}
