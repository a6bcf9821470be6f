#include "platform/qt/QtUiHost.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QProgressDialog>
#include <QSettings>
#include <QThread>
#include <cstdlib>

#include "files/SearchPath.h"
#include "platform/qt/QtDialog.h"
#include "platform/qt/QtDrawContext.h"
#include "platform/qt/QtRender.h"

namespace platform::qt {

namespace {

// A dialog without members: the warnings.
class PlainDialog : public Dialog {
public:
    using Dialog::Dialog;
    void DoDataExchange(DataExchange& /*exchange*/) override {}
};

// Paints into the plot area's image; the widget shows the result when the context is released.
class PlotAreaContext : public QtDrawContext {
public:
    PlotAreaContext(std::unique_ptr<QPainter> painter, PictureWidget& picture)
        : QtDrawContext(*painter), m_painter(std::move(painter)), m_picture(picture) {}
    ~PlotAreaContext() override {
        m_painter->end();
        m_picture.update();
    }

private:
    std::unique_ptr<QPainter> m_painter;
    PictureWidget& m_picture;
};

// Renders one page on a printer: the drawing fills the printable area, keeping its aspect.
void RenderPage(QPrinter& printer, const PageRenderer& renderer) {
    QPainter painter(&printer);
    DrawFittedPage(painter, QRectF(0, 0, printer.width(), printer.height()), renderer);
}

} // namespace

QtUiHost::QtUiHost(QtTemplateWidget& form, QWidget& window, QString applicationName)
    : m_form(form), m_window(window), m_applicationName(std::move(applicationName)),
      m_printer(std::make_unique<QPrinter>(QPrinter::HighResolution)) {}

QtUiHost::~QtUiHost() = default;

int QtUiHost::RunModal(Dialog& dialog) {
    QtDialog window(dialog, &m_window, m_applicationName);
    return window.exec() == QDialog::Accepted ? kIdOk : kIdCancel;
}

void QtUiHost::ShowWarning(int templateId, const std::string& title,
                           const std::vector<std::string>& lines) {
    PlainDialog warning(MakeWarningTemplate(templateId, title, lines));
    RunModal(warning);
}

void QtUiHost::MessageBox(const std::string& text, const std::string& caption, MessageIcon icon) {
    static constexpr QMessageBox::Icon kIcons[] = {QMessageBox::NoIcon, QMessageBox::Information,
                                                   QMessageBox::Warning, QMessageBox::Critical};
    const QString title = caption.empty() ? m_applicationName : QString::fromStdString(caption);
    QMessageBox box(kIcons[static_cast<int>(icon)], title, QString::fromStdString(text),
                    QMessageBox::Ok, &m_window);
    box.exec();
}

namespace {

const QString kAllFiles = QStringLiteral("All files (*)");

// One choice of the desktop's pipe form ("Text (*.txt)|*.txt") in Qt's form: the description
// with the patterns in parentheses, separated by spaces; "*.*" means every file.
QString QtFilterOf(QString description, const QString& patterns) {
    QStringList list = patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    for (QString& pattern : list) {
        pattern = pattern.trimmed();
        if (pattern == QLatin1String("*.*")) {
            pattern = QStringLiteral("*");
        }
    }
    description = description.trimmed();
    // "All Files (*.*)" names its patterns already; Qt reads the last parentheses.
    const int open = description.lastIndexOf(QLatin1Char('('));
    if (open > 0 && description.endsWith(QLatin1Char(')'))) {
        description = description.left(open).trimmed();
    }
    if (list == QStringList{QStringLiteral("*")}) {
        return kAllFiles;
    }
    return QStringLiteral("%1 (%2)").arg(description, list.join(QLatin1Char(' ')));
}

} // namespace

QStringList QtNameFilters(const FileDialogRequest& request) {
    QStringList filters;
    const QString filter = QString::fromStdString(request.filter);
    if (filter.contains(QLatin1Char('|'))) {
        // Description and pattern in turn, the list ending in "||".
        const QStringList parts = filter.split(QLatin1Char('|'));
        for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
            if (!parts[i].isEmpty() && !parts[i + 1].isEmpty()) {
                filters.append(QtFilterOf(parts[i], parts[i + 1]));
            }
        }
    } else if (!filter.isEmpty()) {
        filters.append(filter);
    } else {
        // No filter: the pre-filled name's kind first (a wildcard name is a pattern itself).
        const QString name = QString::fromStdString(request.fileName);
        const QString base = name.mid(name.lastIndexOf(QLatin1Char('/')) + 1);
        const int dot = base.lastIndexOf(QLatin1Char('.'));
        if (base.contains(QLatin1Char('*')) || base.contains(QLatin1Char('?'))) {
            filters.append(QtFilterOf(QStringLiteral("Files"), base));
        } else if (dot >= 0 && dot + 1 < base.size()) {
            const QString extension = base.mid(dot + 1);
            filters.append(QStringLiteral("%1 files (*.%2)").arg(extension.toUpper(), extension));
        }
    }
    filters.removeDuplicates();
    filters.removeAll(kAllFiles);
    filters.append(kAllFiles);
    return filters;
}

std::optional<std::string> QtUiHost::RunFileDialog(const FileDialogRequest& request) {
    QFileDialog dialog(&m_window);
    dialog.setAcceptMode(request.open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(request.open ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, (request.flags & kOfnOverwritePrompt) == 0);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setNameFilters(QtNameFilters(request));
    if (!request.defaultExtension.empty()) {
        dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    }
    const QString name = QString::fromStdString(request.fileName);
    // A wildcard name such as "*.*" only chooses the files listed (a filter above).
    if (!name.isEmpty() && !name.contains(QLatin1Char('*')) && !name.contains(QLatin1Char('?'))) {
        dialog.selectFile(name);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    return dialog.selectedFiles().front().toStdString();
}

void QtUiHost::SetTimer(int timerId, int periodMs) {
    std::unique_ptr<QTimer>& timer = m_timers[timerId];
    if (!timer) {
        timer = std::make_unique<QTimer>();
        QObject::connect(timer.get(), &QTimer::timeout, [this, timerId] {
            if (m_view != nullptr) {
                m_view->OnTimer(timerId);
            }
        });
    }
    timer->start(periodMs);
}

int QtUiHost::TimerPeriod(int timerId) const {
    const auto it = m_timers.find(timerId);
    return it == m_timers.end() || !it->second->isActive() ? -1 : it->second->interval();
}

void QtUiHost::Invalidate(bool /*erase*/) {
    // Qt always paints the background of the form before its controls.
    m_form.RequestViewPaint();
}

void QtUiHost::SetStatusText(const std::string& text) {
    // The main window's message pane (a window without a status bar has none).
    if (auto* pane = m_window.findChild<QLabel*>(QStringLiteral("messagePane"))) {
        pane->setText(QString::fromStdString(text));
    }
}

std::unique_ptr<DrawContext> QtUiHost::GetPlotContext() {
    PictureWidget* picture = m_form.Picture(kPlotControlId);
    if (picture == nullptr) {
        return nullptr;
    }
    picture->Image().fill(Qt::white);
    return std::make_unique<PlotAreaContext>(std::make_unique<QPainter>(&picture->Image()),
                                             *picture);
}

std::optional<std::string>
QtUiHost::SearchFile(const std::string& name, const std::string& defaultExtension,
                     const std::function<bool(const std::string& path)>& accept) {
    const char* path = std::getenv("PATH");
    const std::vector<std::string> folders = files::SearchFolders(
        QCoreApplication::applicationDirPath().toStdString(), QDir::currentPath().toStdString(),
        path == nullptr ? std::string() : path, files::InstalledTemplateFolder());
    return accept ? files::SearchAlongPath(name, defaultExtension, folders, accept)
                  : files::SearchAlongPath(name, defaultExtension, folders);
}

bool QtUiHost::Print(PrintKind kind, const PageRenderer& renderer) {
    switch (kind) {
    case PrintKind::kDirect:
        RenderPage(*m_printer, renderer);
        return true;
    case PrintKind::kWithDialog: {
        QPrintDialog dialog(m_printer.get(), &m_window);
        if (dialog.exec() != QDialog::Accepted) {
            return false;
        }
        RenderPage(*m_printer, renderer);
        return true;
    }
    case PrintKind::kPreview: {
        QPrintPreviewDialog preview(m_printer.get(), &m_window);
        QObject::connect(&preview, &QPrintPreviewDialog::paintRequested,
                         [&renderer](QPrinter* printer) { RenderPage(*printer, renderer); });
        return preview.exec() == QDialog::Accepted;
    }
    }
    return false;
}

std::string QtUiHost::RenderPicture(PictureFormat format, Size size, const PageRenderer& renderer) {
    const QByteArray bytes = RenderPictureBytes(format, QSize(size.cx, size.cy), renderer);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

bool QtUiHost::RunInBackground(const std::string& title, const BackgroundWork& work) {
    std::atomic<bool> cancel{false};
    QProgressDialog progress(QString::fromStdString(title), QStringLiteral("Cancel"), 0, 0,
                             &m_window);
    progress.setWindowTitle(m_applicationName);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    // The work's progress texts reach the dialog through its thread's event queue.
    const auto report = [&progress](const std::string& text) {
        QMetaObject::invokeMethod(
            &progress,
            [&progress, label = QString::fromStdString(text)] { progress.setLabelText(label); },
            Qt::QueuedConnection);
    };
    std::unique_ptr<QThread> thread(
        QThread::create([&work, &cancel, &report] { work(cancel, report); }));
    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);
    QObject::connect(&progress, &QProgressDialog::canceled, &progress,
                     [&cancel] { cancel = true; });
    thread->start();
    progress.show();
    loop.exec();
    thread->wait();
    return !cancel;
}

namespace {
// The profile's group of the recent-file list, File1 .. FileN.
const QString kRecentGroup = QStringLiteral("Recent File List");
constexpr int kMostRecentEntries = 16; // more than any list the view keeps
} // namespace

SaveChangesAnswer QtUiHost::AskSaveChanges(const std::string& question) {
    const QMessageBox::StandardButton button = QMessageBox::question(
        &m_window, m_applicationName, QString::fromStdString(question),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (button == QMessageBox::Save) {
        return SaveChangesAnswer::kSave;
    }
    return button == QMessageBox::Discard ? SaveChangesAnswer::kDiscard
                                          : SaveChangesAnswer::kCancel;
}

void QtUiHost::SetWindowTitle(const std::string& title) {
    m_window.setWindowTitle(QString::fromStdString(title));
}

std::vector<std::string> QtUiHost::RecentFiles() {
    QSettings settings;
    settings.beginGroup(kRecentGroup);
    std::vector<std::string> files;
    for (int i = 1; i <= kMostRecentEntries; ++i) {
        const QString file = settings.value(QStringLiteral("File%1").arg(i)).toString();
        if (!file.isEmpty()) {
            files.push_back(file.toStdString());
        }
    }
    return files;
}

void QtUiHost::SetRecentFiles(const std::vector<std::string>& files) {
    QSettings settings;
    settings.beginGroup(kRecentGroup);
    for (int i = 1; i <= kMostRecentEntries; ++i) {
        const QString key = QStringLiteral("File%1").arg(i);
        if (static_cast<size_t>(i) <= files.size()) {
            settings.setValue(key, QString::fromStdString(files[static_cast<size_t>(i - 1)]));
        } else {
            settings.remove(key);
        }
    }
}

} // namespace platform::qt
