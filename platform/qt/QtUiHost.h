// The Qt desktop: modal QDialogs from templates, QMessageBox, QFileDialog, QTimer for the view
// timer, the plot area's image as drawing surface, the form widget's controls, and printing
// through QPrinter with its print and preview dialogs. No product logic lives here.
#pragma once

#include <QPrinter>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <map>
#include <memory>

#include "platform/UiHost.h"
#include "platform/qt/QtTemplateWidget.h"

namespace platform::qt {

// A file dialog's choices of file kinds in Qt's form: the request's filter converted from the
// desktop's "Description|*.ext|…||" form (or the pre-filled name's kind when it has no filter),
// then "All files (*)".
QStringList QtNameFilters(const FileDialogRequest& request);

class QtUiHost : public UiHost {
public:
    // form: the form widget holding the plot-area picture; window: parent of the dialogs.
    QtUiHost(QtTemplateWidget& form, QWidget& window, QString applicationName);
    ~QtUiHost() override;

    void SetEventSink(ViewEvents* view) { m_view = view; }
    // The current period of a running timer, or -1.
    int TimerPeriod(int timerId) const;
    QPrinter& Printer() { return *m_printer; }

    int RunModal(Dialog& dialog) override;
    void ShowWarning(int templateId, const std::string& title,
                     const std::vector<std::string>& lines) override;
    void MessageBox(const std::string& text, const std::string& caption, MessageIcon icon) override;
    std::optional<std::string> RunFileDialog(const FileDialogRequest& request) override;
    void SetTimer(int timerId, int periodMs) override;
    void Invalidate(bool erase) override;
    void SetStatusText(const std::string& text) override;
    std::unique_ptr<DrawContext> GetPlotContext() override;
    ControlAccess& FormControls() override { return m_form; }
    std::optional<std::string>
    SearchFile(const std::string& name, const std::string& defaultExtension,
               const std::function<bool(const std::string& path)>& accept) override;
    bool Print(PrintKind kind, const PageRenderer& renderer) override;
    std::string RenderPicture(PictureFormat format, Size size,
                              const PageRenderer& renderer) override;
    // A QThread runs the work while a window-modal QProgressDialog shows its progress text and
    // Cancel; a local event loop keeps the window painting until the thread ends.
    bool RunInBackground(const std::string& title, const BackgroundWork& work) override;
    // A QMessageBox with Save, Discard and Cancel; the title on the window; the recent-file
    // list in the profile's "Recent File List" group (QSettings), File1 the most recent.
    SaveChangesAnswer AskSaveChanges(const std::string& question) override;
    void SetWindowTitle(const std::string& title) override;
    std::vector<std::string> RecentFiles() override;
    void SetRecentFiles(const std::vector<std::string>& files) override;

private:
    QtTemplateWidget& m_form;
    QWidget& m_window;
    QString m_applicationName;
    ViewEvents* m_view = nullptr;
    std::map<int, std::unique_ptr<QTimer>> m_timers;
    std::unique_ptr<QPrinter> m_printer;
};

} // namespace platform::qt
