// CMainFrame: the main window. It carries the menu, the toolbar (Print, About), the status bar
// with its message pane and the CAP/NUM/SCRL indicators, the accelerators and the form of
// template 101, and hands the form's buttons and the menu commands to the view first.
#pragma once

#include <QMainWindow>
#include <map>
#include <memory>

#include "app/ui/OlvexView.h"
#include "platform/qt/QtTemplateWidget.h"
#include "platform/qt/QtUiHost.h"

class COlvexDoc;
class QAction;
class QLabel;

class CMainFrame : public QMainWindow {
public:
    explicit CMainFrame(COlvexDoc& doc);
    ~CMainFrame() override;

    COlvexView& View() { return *m_view; }
    platform::qt::QtTemplateWidget& Form() { return *m_form; }
    platform::qt::QtUiHost& Host() { return *m_host; }
    QAction* Action(int commandId) const;

    // Shows the window at its fixed position and outer size, then runs the view's initial update.
    void ShowAndUpdate();
    // Opens a design file named outside the window (the command line); false when refused, the
    // reason shown as File > Open shows it.
    bool OpenFile(const QString& path);
    // Routes a command: the view first, then the frame.
    void OnCommand(int id);

protected:
    // Closing with unsaved changes asks whether to save them first.
    void closeEvent(QCloseEvent* event) override;

private:
    // The recent designs of the File menu: their names from the profile, unused ones hidden;
    // files that no longer exist leave the list.
    void UpdateRecentMenu();
    // Edit > Undo and Redo are enabled while the view has a step to undo or redo.
    void UpdateEditMenu();
    void BuildMenu();
    void BuildToolbar();
    void BuildStatusBar();
    void BuildAccelerators();
    QAction* MakeAction(int id, const QString& text, const QString& prompt);
    // Copy and paste go to the control with the keyboard focus.
    void SendToFocus(const char* operation);
    void FitOuterSize();

    std::map<int, QAction*> m_actions;
    platform::qt::QtTemplateWidget* m_form = nullptr;
    std::unique_ptr<platform::qt::QtUiHost> m_host;
    std::unique_ptr<COlvexView> m_view;
    QToolBar* m_toolbar = nullptr;
};
