// UiHost: everything a command handler of the form view asks of the desktop. Handlers are
// written once against this interface; the Qt backend shows real windows, the scripted backend
// answers from a script and records what was asked.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ControlAccess.h"
#include "platform/Dialog.h"
#include "platform/DrawContext.h"

namespace platform {

// The one view timer.
constexpr int kViewTimerId = 1;
// The plot-area picture control of the form.
constexpr int kPlotControlId = 1018;

enum class MessageIcon { kNone, kInformation, kWarning, kError };

// File dialog flags, with the values the platform gave them.
enum FileDialogFlags : unsigned {
    kOfnNone = 0,
    kOfnOverwritePrompt = 0x2, // Save: ask before replacing an existing file
    kOfnHideReadOnly = 0x4,    // no read-only check box
};

struct FileDialogRequest {
    bool open = true;     // Open dialog; false: Save dialog
    std::string fileName; // pre-filled name
    std::string filter;   // empty: no file-type filter
    std::string defaultExtension;
    unsigned flags = kOfnNone;
};

enum class PrintKind { kWithDialog, kDirect, kPreview };

// The answer to "save the changes first?" before a design is closed.
enum class SaveChangesAnswer { kSave, kDiscard, kCancel };

// Work that runs away from the window's thread (a synthesis run): it reports what it is doing
// through `progress` and stops soon after `cancel` becomes true. It must not touch the window.
using BackgroundWork = std::function<void(const std::atomic<bool>& cancel,
                                          const std::function<void(const std::string&)>& progress)>;

class UiHost {
public:
    virtual ~UiHost() = default;

    // Runs a dialog modally; returns kIdOk or kIdCancel. A failed check keeps it open.
    virtual int RunModal(Dialog& dialog) = 0;
    // A warning dialog (title, one to three fixed lines, OK). templateId names it for the record.
    virtual void ShowWarning(int templateId, const std::string& title,
                             const std::vector<std::string>& lines) = 0;
    // A message box with an OK button; an empty caption means the application's name.
    virtual void MessageBox(const std::string& text, const std::string& caption,
                            MessageIcon icon) = 0;
    // The chosen path, or nothing when the user cancelled.
    virtual std::optional<std::string> RunFileDialog(const FileDialogRequest& request) = 0;

    // Starts the view timer, or restarts it with a new period. It runs until replaced.
    virtual void SetTimer(int timerId, int periodMs) = 0;
    // Schedules a repaint of the view; erase also clears its background first.
    virtual void Invalidate(bool erase) = 0;
    // Replaces the text of the status bar's message pane.
    virtual void SetStatusText(const std::string& text) = 0;

    // A context for the plot area; drawing ends when it is destroyed.
    virtual std::unique_ptr<DrawContext> GetPlotContext() = 0;
    // The controls of the form (template 101), for the view's exchange.
    virtual ControlAccess& FormControls() = 0;

    // Searches a file by name along the search path (the program's folder, the current folder,
    // then the folders of PATH); defaultExtension is added when the name has none. A file that
    // `accept` refuses (when given) is passed over and the search goes on.
    virtual std::optional<std::string>
    SearchFile(const std::string& name, const std::string& defaultExtension,
               const std::function<bool(const std::string& path)>& accept) = 0;

    // Prints one page drawn by the renderer; false when cancelled or failed.
    virtual bool Print(PrintKind kind, const PageRenderer& renderer) = 0;

    // The bytes of a picture file of the page the renderer draws: a PNG or SVG of `size`
    // pixels, or a one-page PDF. Empty when it could not be drawn (and in a desktop without
    // pictures).
    virtual std::string RenderPicture(PictureFormat /*format*/, Size /*size*/,
                                      const PageRenderer& /*renderer*/) {
        return {};
    }

    // Runs the work on another thread and waits for it while the window stays responsive,
    // showing `title`, the work's progress text and a Cancel button that sets the cancel flag.
    // Returns when the work has ended: false when the user cancelled it.
    virtual bool RunInBackground(const std::string& title, const BackgroundWork& work) = 0;

    // ---- Window title and profile ----
    // Asks whether to save the changes (Save, Don't Save, Cancel); `question` names the design.
    virtual SaveChangesAnswer AskSaveChanges(const std::string& question) = 0;
    virtual void SetWindowTitle(const std::string& title) = 0;
    // The profile's recent-file list, most recent first.
    virtual std::vector<std::string> RecentFiles() = 0;
    virtual void SetRecentFiles(const std::vector<std::string>& files) = 0;
};

// What the desktop delivers to the view.
class ViewEvents {
public:
    virtual ~ViewEvents() = default;
    // A button or menu command; false when the view does not handle the id.
    virtual bool OnCommand(int id) = 0;
    virtual void OnTimer(int timerId) = 0;
    virtual void OnPaint() = 0;
    virtual void OnPrint(DrawContext& dc) = 0;
    // The mouse moved over the plot area (device point, surface size) or left it.
    virtual void OnPlotMouseMove(Point /*device*/, Size /*surface*/) {}
    virtual void OnPlotMouseLeave() {}
};

} // namespace platform
