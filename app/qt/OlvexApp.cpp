#include "app/qt/OlvexApp.h"

#include <QSettings>

#include <clocale>

#include "app/qt/MainFrame.h"
#include "app/OlvexDoc.h"
#include "resources/Resources.h"

COlvexApp::COlvexApp(int& argc, char** argv) : QApplication(argc, argv) {
    // QApplication takes the C locale from the environment. The reports, files and VHDL are
    // written with printf-style formatting and read back with strtod, which must always use a
    // decimal point, whatever language the desktop speaks.
    std::setlocale(LC_NUMERIC, "C");
}

COlvexApp::~COlvexApp() {
    // The frame (and its timers) go before the document they draw.
    m_frame.reset();
    m_doc.reset();
}

void COlvexApp::LoadStdProfileSettings() {
    QSettings settings;
    settings.beginGroup(QStringLiteral("Recent File List"));
    for (int i = 1; i <= resources::kRecentFileCount; ++i) {
        const QString file = settings.value(QStringLiteral("File%1").arg(i)).toString();
        if (!file.isEmpty()) {
            m_recentFiles.append(file);
        }
    }
    settings.endGroup();
}

bool COlvexApp::InitInstance() {
    setOrganizationName(QString::fromLatin1(resources::kRegistryKey));
    setApplicationName(QString::fromStdString(resources::LoadString(resources::kIdsAppTitle)));
    // The desktop entry's name (Wayland's application id); the X11 window class stays the
    // application's name, which the desktop entry names as its StartupWMClass.
    setDesktopFileName(QStringLiteral("vantrel"));
    LoadStdProfileSettings();
    // Every start begins from the defaults; a design file named on the command line (the
    // desktop's "open with") is then opened as File > Open opens it.
    m_doc = std::make_unique<COlvexDoc>();
    m_frame = std::make_unique<CMainFrame>(*m_doc);
    m_frame->ShowAndUpdate();
    const QStringList args = arguments();
    if (args.size() > 1) {
        m_frame->OpenFile(args.at(1));
    }
    return true;
}
