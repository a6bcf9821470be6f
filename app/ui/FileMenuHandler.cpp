// The File menu: New, Open, Save, Save As and the four most recent designs, with the question
// before unsaved changes are dropped and the window title that names the design. The design
// file itself is app/DesignFileCommands.h; the recent list lives in the desktop's profile.
#include "app/ui/FileMenuHandler.h"

#include <algorithm>
#include <filesystem>

#include "app/DesignFileCommands.h"
#include "app/OlvexDoc.h"
#include "app/ui/OlvexView.h"
#include "plots/PlotMode.h"
#include "resources/Resources.h"

namespace {

constexpr const char* kUntitled = "Untitled";
constexpr const char* kModifiedMark = "*";
constexpr const char* kDesignFilter = "Design Files (*.vantrel)|*.vantrel|All Files (*.*)|*.*||";
constexpr const char* kDesignExtension = "vantrel";

// What the form keeps beside the record that belongs to the design.
commands::FormSettings FormOf(const COlvexView& view) {
    commands::FormSettings form;
    form.structure = view.m_nDesignStructure; // not a radio clicked since
    form.plotMode = view.m_nPlotMode;
    form.designed = view.m_bNoDesign == 0;
    form.templatePath = view.m_strTemplatePath;
    form.showHardwareWave = view.m_bShowHardwareWave;
    return form;
}

} // namespace

FileMenuHandler::FileMenuHandler(COlvexView& view) : HandlerBase(view) {
    m_savedDesign = CurrentDesign(); // the start's design has nothing to save
}

bool FileMenuHandler::IsFileMenuCommand(int id) {
    return id == resources::kIdFileNew || id == resources::kIdFileOpen ||
           id == resources::kIdFileSave || id == resources::kIdFileSaveAs ||
           (id >= resources::kIdRecentFirst &&
            id < resources::kIdRecentFirst + resources::kRecentFileCount);
}

void FileMenuHandler::OnFileMenuCommand(int id) {
    switch (id) {
    case resources::kIdFileNew:
        OnFileNew();
        break;
    case resources::kIdFileOpen:
        OnFileOpen();
        break;
    case resources::kIdFileSave:
        OnFileSave();
        break;
    case resources::kIdFileSaveAs:
        OnFileSaveAs();
        break;
    default:
        OnOpenRecent(id - resources::kIdRecentFirst);
        break;
    }
}

files::DesignState FileMenuHandler::CurrentDesign() const {
    return commands::TakeDesignState(m_doc, FormOf(m_view));
}

bool FileMenuHandler::IsModified() const {
    // Undo can bring back a design under another name than the one last saved.
    return !(CurrentDesign() == m_savedDesign && m_view.m_strDesignPath == m_savedPath);
}

std::string FileMenuHandler::WindowTitle() const {
    const std::string name =
        m_view.m_strDesignPath.empty()
            ? std::string(kUntitled)
            : std::filesystem::path(m_view.m_strDesignPath).filename().string();
    return name + (IsModified() ? kModifiedMark : "") + " - " +
           resources::DocumentString(resources::DocString::kWindowTitle);
}

void FileMenuHandler::UpdateTitle() {
    m_host.SetWindowTitle(WindowTitle());
}

bool FileMenuHandler::QueryClose() {
    m_view.UpdateData(true); // the form as the user left it (the design keeps its own structure)
    if (!IsModified()) {
        return true;
    }
    const std::string name =
        m_view.m_strDesignPath.empty()
            ? std::string(kUntitled)
            : std::filesystem::path(m_view.m_strDesignPath).filename().string();
    switch (m_host.AskSaveChanges("Save changes to " + name + "?")) {
    case platform::SaveChangesAnswer::kSave:
        OnFileSave();
        return !IsModified(); // a save cancelled or not written keeps the window open
    case platform::SaveChangesAnswer::kDiscard:
        return true;
    case platform::SaveChangesAnswer::kCancel:
        break;
    }
    return false;
}

void FileMenuHandler::OnFileNew() {
    if (!QueryClose()) {
        return;
    }
    commands::NewDesign(m_doc);
    m_view.m_nFirIir = 0;
    m_view.m_nDesignStructure = 0;
    m_view.m_nFilterSel = m_doc.m_nFilterType;
    m_view.m_nPlotMode = plots::PlotModeNumber(plots::PlotMode::kResponse);
    m_view.m_bNoDesign = 1;
    m_view.m_bCoeffsListed = 0;
    m_view.m_bVhdlParamsSet = 0;
    m_view.m_bShowHardwareWave = 0;
    m_view.m_strTemplatePath.clear();
    m_view.m_strOutput.clear();
    m_view.m_strDesignPath.clear();
    m_view.UpdateData(false);
    m_view.RedrawPlot();
    m_host.SetStatusText(resources::LoadString(resources::kIdsIdleMessage));
    m_savedDesign = CurrentDesign();
    m_savedPath.clear();
}

void FileMenuHandler::OnFileOpen() {
    if (!QueryClose()) {
        return;
    }
    platform::FileDialogRequest request;
    request.open = true;
    request.filter = kDesignFilter;
    request.defaultExtension = kDesignExtension;
    request.flags = platform::kOfnHideReadOnly;
    if (const std::optional<std::string> path = m_host.RunFileDialog(request)) {
        OpenDesignFile(*path);
    }
}

void FileMenuHandler::OnOpenRecent(int index) {
    const std::vector<std::string> recent = m_host.RecentFiles();
    if (index < 0 || static_cast<size_t>(index) >= recent.size() || !QueryClose()) {
        return;
    }
    const std::string& path = recent[static_cast<size_t>(index)];
    if (!OpenDesignFile(path) && !std::filesystem::exists(path)) {
        std::vector<std::string> kept = recent;
        std::erase(kept, path);
        m_host.SetRecentFiles(kept);
    }
}

void FileMenuHandler::OnFileSave() {
    m_view.UpdateData(true);
    if (m_view.m_strDesignPath.empty()) {
        OnFileSaveAs();
        return;
    }
    SaveDesignFile(m_view.m_strDesignPath);
}

void FileMenuHandler::OnFileSaveAs() {
    m_view.UpdateData(true);
    platform::FileDialogRequest request;
    request.open = false;
    request.fileName = m_view.m_strDesignPath.empty() ? std::string(kUntitled) + ".vantrel"
                                                      : m_view.m_strDesignPath;
    request.filter = kDesignFilter;
    request.defaultExtension = kDesignExtension;
    request.flags = platform::kOfnHideReadOnly | platform::kOfnOverwritePrompt;
    if (const std::optional<std::string> path = m_host.RunFileDialog(request)) {
        SaveDesignFile(*path);
    }
}

namespace {

// The profile's list with `path` first, at most kRecentFileCount entries.
std::vector<std::string> WithRecent(std::vector<std::string> recent, const std::string& path) {
    std::erase(recent, path);
    recent.insert(recent.begin(), path);
    if (recent.size() > static_cast<size_t>(resources::kRecentFileCount)) {
        recent.resize(resources::kRecentFileCount);
    }
    return recent;
}

// The message of a failed file step, with the reason (the system's or the reader's) on a second
// line; the message alone when there is no reason or the message names it already.
std::string WithReason(const std::string& message, const std::string& reason) {
    if (reason.empty() || message.find(reason) != std::string::npos) {
        return message;
    }
    return message + "\n" + reason;
}

} // namespace

bool FileMenuHandler::OpenDesignFile(const std::string& path) {
    const commands::OpenDesignOutcome outcome = commands::OpenDesign(m_doc, path);
    if (!outcome.Is(commands::OutcomeKind::kAccepted)) {
        m_view.m_strFileReason = outcome.reason;
        m_host.MessageBox(WithReason(outcome.message, outcome.reason), "",
                          platform::MessageIcon::kWarning);
        return false;
    }
    // The form shows the opened design: its structure and type, the coefficient prompt, and
    // the plot it was saved with.
    m_view.m_nFirIir = outcome.form.structure;
    m_view.m_nDesignStructure = outcome.form.structure;
    m_view.m_nFilterSel = m_doc.m_nFilterType;
    m_view.m_nPlotMode = outcome.form.plotMode;
    m_view.m_bNoDesign = outcome.form.designed ? 0 : 1;
    m_view.m_strTemplatePath = outcome.form.templatePath;
    m_view.m_bShowHardwareWave = outcome.form.showHardwareWave;
    m_view.m_bCoeffsListed = 0;
    m_view.m_bVhdlParamsSet = 0;
    m_view.m_strDesignPath = path;
    m_view.UpdateData(false);
    m_view.Coefficients().ShowCoeffPrompt();
    m_view.RedrawPlot();
    m_view.Measure().ShowMeasurementSummary();
    if (!outcome.message.empty()) {
        m_host.MessageBox(outcome.message, "", platform::MessageIcon::kWarning); // the user wave
    }
    m_savedDesign = CurrentDesign();
    m_savedPath = path;
    m_host.SetRecentFiles(WithRecent(m_host.RecentFiles(), path));
    return true;
}

bool FileMenuHandler::SaveDesignFile(const std::string& path) {
    const commands::Outcome outcome = commands::SaveDesign(m_doc, FormOf(m_view), path);
    if (!outcome.Is(commands::OutcomeKind::kFileWritten)) {
        m_view.m_strFileReason = outcome.reason;
        m_host.MessageBox(WithReason(outcome.message, outcome.reason), "",
                          platform::MessageIcon::kWarning);
        return false;
    }
    m_view.m_strDesignPath = path;
    m_savedDesign = CurrentDesign();
    m_savedPath = path;
    m_host.SetRecentFiles(WithRecent(m_host.RecentFiles(), path));
    return true;
}
