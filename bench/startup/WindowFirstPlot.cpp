// The window program's start as vantrel runs it, up to the first plot drawn, then exit: what
// bench/window_startup.py times from the launch of the process to its end.
#include <QCoreApplication>
#include <QEventLoop>

#include "app/qt/MainFrame.h"
#include "app/qt/OlvexApp.h"
#include "app/ui/OlvexView.h"

int main(int argc, char** argv) {
    COlvexApp app(argc, argv);
    if (!app.InitInstance()) {
        return 1;
    }
    // The view draws its first plot from its timer, once the window is up.
    const COlvexView& view = app.MainFrame()->View();
    while (view.m_bTimerDone == 0) {
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    QCoreApplication::processEvents(); // the drawn plot reaches the screen
    return 0;
}
