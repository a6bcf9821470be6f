// COlvexApp: the application object. It sets the profile key, creates the one document, the
// main frame and the view, and shows the window.
#pragma once

#include <QApplication>
#include <QStringList>
#include <memory>

class COlvexDoc;
class CMainFrame;

class COlvexApp : public QApplication {
public:
    COlvexApp(int& argc, char** argv);
    ~COlvexApp() override;

    // Start-up: settings, document, frame and view, the window shown. False makes the program
    // exit.
    bool InitInstance();
    CMainFrame* MainFrame() { return m_frame.get(); }
    // The recent-file list as loaded from the profile settings.
    const QStringList& RecentFiles() const { return m_recentFiles; }

private:
    void LoadStdProfileSettings();

    std::unique_ptr<COlvexDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
    QStringList m_recentFiles;
};
