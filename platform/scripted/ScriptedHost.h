// The scripted desktop: answers dialogs and file dialogs from a queue of scripted answers and
// records everything the commands asked of the desktop. Tests play whole command flows with it,
// and the batch command line runs the same commands from its flags.
#pragma once

#include <deque>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/UiHost.h"
#include "platform/scripted/RecordingDrawContext.h"

namespace platform {

// A dialog came up that the script has no answer for, or the answer does not fit the dialog.
class ScriptError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What the user does in one dialog: change controls, then press a button. An OK whose entries
// fail a check leaves the dialog open for the next answer in the queue.
struct DialogAnswer {
    enum class EntryKind { kText, kCheck, kRadio, kSlider, kButton };
    struct Entry {
        EntryKind kind;
        int id;
        std::string text;
        int value;
    };

    int templateId = 0; // 0: whichever dialog comes up
    std::vector<Entry> entries;
    int button = kIdOk;

    static DialogAnswer Ok(int templateId = 0);
    static DialogAnswer Cancel(int templateId = 0);
    DialogAnswer& Text(int id, const std::string& text);
    DialogAnswer& Check(int id, int check);
    DialogAnswer& Radio(int id); // clicks this radio button
    DialogAnswer& Slider(int id, int position);
    // Presses a push button that runs a handler and leaves the dialog open (not OK or Cancel).
    DialogAnswer& Press(int id);
};

struct ShownDialog {
    int templateId = 0;
    std::string title;
    int result = kIdCancel;
    // The messages of checks that failed on the way (the dialog stayed open after each).
    std::vector<std::string> failedChecks;
    // The controls as the dialog showed them when it opened, and when it closed.
    ControlValues opened;
    ControlValues closed;
};

struct ShownWarning {
    int templateId = 0;
    std::string title;
    std::vector<std::string> lines;
};

struct ShownMessage {
    std::string text;
    std::string caption;
    MessageIcon icon = MessageIcon::kNone;
};

struct TimerStart {
    int timerId = 0;
    int periodMs = 0;
};

struct PrintJob {
    PrintKind kind = PrintKind::kWithDialog;
    std::shared_ptr<Drawing> page;
};

// A picture asked for: its format and size, and what was drawn into it.
struct PictureJob {
    PictureFormat format = PictureFormat::kPng;
    Size size;
    std::shared_ptr<Drawing> page;
};

class ScriptedHost : public UiHost {
public:
    // The application's name, used as the caption of message boxes without one.
    static constexpr const char* kApplicationName = "Olvex";

    explicit ScriptedHost(const DialogTemplate& form);

    // ---- Script -------------------------------------------------------------------------------
    void AnswerDialog(const DialogAnswer& answer) { m_dialogAnswers.push_back(answer); }
    // A path for the next file dialog, or nothing for Cancel.
    void AnswerFileDialog(std::optional<std::string> path) { m_fileAnswers.push_back(path); }
    void SetSearchFolders(std::vector<std::string> folders) {
        m_searchFolders = std::move(folders);
    }
    void SetEventSink(ViewEvents* view) { m_view = view; }
    // The user clicks a radio button of the form.
    void ClickFormRadio(int radioId);
    // Delivers one tick of a running timer to the view; false when that timer is not running.
    bool TickTimer(int timerId = kViewTimerId);
    // A repaint of the view, as after uncovering the window.
    void Paint();
    int UnansweredDialogs() const { return static_cast<int>(m_dialogAnswers.size()); }
    // The user presses Cancel when the next background work shows its progress text number
    // `step` (from 1); 0: never.
    void CancelBackgroundAt(int step) { m_cancelBackgroundAt = step; }
    // The answer to the next "save the changes?" question (Discard when none is scripted).
    void AnswerSaveChanges(SaveChangesAnswer answer) { m_saveAnswers.push_back(answer); }

    // ---- Record -------------------------------------------------------------------------------
    const std::vector<ShownDialog>& Dialogs() const { return m_dialogs; }
    const std::vector<ShownWarning>& Warnings() const { return m_warnings; }
    const std::vector<ShownMessage>& Messages() const { return m_messages; }
    const std::vector<FileDialogRequest>& FileDialogs() const { return m_fileDialogs; }
    const std::vector<TimerStart>& TimerStarts() const { return m_timerStarts; }
    // The current period of a running timer.
    std::optional<int> TimerPeriod(int timerId) const;
    // One entry per Invalidate call: its erase flag.
    const std::vector<bool>& Invalidations() const { return m_invalidations; }
    // Every text put into the status bar's message pane, in order.
    const std::vector<std::string>& StatusTexts() const { return m_statusTexts; }
    const std::vector<std::shared_ptr<Drawing>>& Drawings() const { return m_drawings; }
    const std::vector<PrintJob>& PrintJobs() const { return m_prints; }
    const std::vector<PictureJob>& PictureJobs() const { return m_pictures; }
    ControlValues& Form() { return m_form; }
    // Background work: the title of each run and every progress text, in order.
    const std::vector<std::string>& BackgroundTitles() const { return m_backgroundTitles; }
    const std::vector<std::string>& BackgroundProgress() const { return m_backgroundProgress; }
    // Every "save the changes?" question asked, and every window title set, in order.
    const std::vector<std::string>& SaveQuestions() const { return m_saveQuestions; }
    const std::vector<std::string>& Titles() const { return m_titles; }

    // ---- UiHost -------------------------------------------------------------------------------
    int RunModal(Dialog& dialog) override;
    void ShowWarning(int templateId, const std::string& title,
                     const std::vector<std::string>& lines) override;
    void MessageBox(const std::string& text, const std::string& caption, MessageIcon icon) override;
    std::optional<std::string> RunFileDialog(const FileDialogRequest& request) override;
    void SetTimer(int timerId, int periodMs) override;
    void Invalidate(bool erase) override { m_invalidations.push_back(erase); }
    void SetStatusText(const std::string& text) override { m_statusTexts.push_back(text); }
    std::unique_ptr<DrawContext> GetPlotContext() override;
    ControlAccess& FormControls() override { return m_form; }
    std::optional<std::string>
    SearchFile(const std::string& name, const std::string& defaultExtension,
               const std::function<bool(const std::string& path)>& accept) override;
    bool Print(PrintKind kind, const PageRenderer& renderer) override;
    // Records the drawing; the bytes are a line naming the format and counting what was drawn.
    std::string RenderPicture(PictureFormat format, Size size,
                              const PageRenderer& renderer) override;
    // Runs the work at once on the calling thread, recording its title and progress texts; the
    // script may press Cancel at the n-th progress text (CancelBackgroundAt).
    bool RunInBackground(const std::string& title, const BackgroundWork& work) override;
    SaveChangesAnswer AskSaveChanges(const std::string& question) override;
    void SetWindowTitle(const std::string& title) override { m_titles.push_back(title); }
    // The profile lives as long as the host: a test plays several sessions on one host.
    std::vector<std::string> RecentFiles() override { return m_recentFiles; }
    void SetRecentFiles(const std::vector<std::string>& files) override { m_recentFiles = files; }

private:
    void Apply(const DialogAnswer& answer, Dialog& dialog, ControlValues& controls);

    const DialogTemplate& m_formTemplate;
    ControlValues m_form;
    ViewEvents* m_view = nullptr;
    std::deque<DialogAnswer> m_dialogAnswers;
    std::vector<PictureJob> m_pictures;
    std::deque<std::optional<std::string>> m_fileAnswers;
    std::vector<std::string> m_searchFolders;

    std::vector<ShownDialog> m_dialogs;
    std::vector<ShownWarning> m_warnings;
    std::vector<ShownMessage> m_messages;
    std::vector<FileDialogRequest> m_fileDialogs;
    std::vector<TimerStart> m_timerStarts;
    std::map<int, int> m_timerPeriods;
    std::vector<bool> m_invalidations;
    std::vector<std::string> m_statusTexts;
    std::vector<std::shared_ptr<Drawing>> m_drawings;
    std::vector<PrintJob> m_prints;
    int m_cancelBackgroundAt = 0;
    std::vector<std::string> m_backgroundTitles;
    std::vector<std::string> m_backgroundProgress;
    std::deque<SaveChangesAnswer> m_saveAnswers;
    std::vector<std::string> m_saveQuestions;
    std::vector<std::string> m_titles;
    std::vector<std::string> m_recentFiles;
};

} // namespace platform
