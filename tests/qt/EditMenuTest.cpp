// Edit > Undo and Redo in the window program: the menu after File, its shortcuts, the items
// enabled only while there is a step, and the keys taking the design back and forth.
#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>

#include "app/OlvexDoc.h"
#include "app/qt/MainFrame.h"
#include "plots/PlotMode.h"
#include "resources/Resources.h"

namespace {

struct EditMenuFixture : ::testing::Test {
    COlvexDoc doc;
    CMainFrame frame{doc};
    EditMenuFixture() {
        frame.ShowAndUpdate();
        frame.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&frame));
    }
    QAction* Undo() const { return frame.Action(resources::kIdEditUndo); }
    QAction* Redo() const { return frame.Action(resources::kIdEditRedo); }
    int PlotMode() { return frame.View().m_nPlotMode; }
};

TEST_F(EditMenuFixture, EditMenuFollowsFileWithUndoAndRedoAndTheirKeys) {
    const QList<QAction*> menus = frame.menuBar()->actions();
    ASSERT_GE(menus.size(), 2);
    EXPECT_EQ(menus[1]->text(), "&Edit");
    ASSERT_NE(Undo(), nullptr);
    ASSERT_NE(Redo(), nullptr);
    EXPECT_EQ(menus[1]->menu()->actions(), (QList<QAction*>{Undo(), Redo()}));
    EXPECT_TRUE(Undo()->text().startsWith("&Undo"));
    EXPECT_TRUE(Redo()->text().startsWith("&Redo"));
    EXPECT_TRUE(Undo()->shortcuts().contains(QKeySequence("Ctrl+Z")));
    EXPECT_TRUE(Redo()->shortcuts().contains(QKeySequence("Ctrl+Shift+Z")));
    EXPECT_TRUE(Redo()->shortcuts().contains(QKeySequence("Ctrl+Y")));
}

TEST_F(EditMenuFixture, KeysTakeTheChangeBackAndMakeItAgain) {
    // Nothing to undo or redo at the start.
    EXPECT_FALSE(Undo()->isEnabled());
    EXPECT_FALSE(Redo()->isEnabled());
    const int response = plots::PlotModeNumber(plots::PlotMode::kResponse);
    const int groupDelay = plots::PlotModeNumber(plots::PlotMode::kGroupDelay);
    ASSERT_EQ(PlotMode(), response);

    // A change of the design's plot (no dialog to answer) is one step.
    frame.OnCommand(resources::kIdPlotGroupDelay);
    EXPECT_EQ(PlotMode(), groupDelay);
    EXPECT_TRUE(Undo()->isEnabled());
    EXPECT_FALSE(Redo()->isEnabled());
    EXPECT_EQ(frame.windowTitle(), "Untitled* - Vantrel");

    QTest::keyClick(&frame, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(PlotMode(), response);
    EXPECT_FALSE(Undo()->isEnabled());
    EXPECT_TRUE(Redo()->isEnabled());
    EXPECT_EQ(frame.windowTitle(), "Untitled - Vantrel");

    QTest::keyClick(&frame, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(PlotMode(), groupDelay);
    QTest::keyClick(&frame, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(PlotMode(), response);
    QTest::keyClick(&frame, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(PlotMode(), groupDelay);
    EXPECT_TRUE(Undo()->isEnabled());
    EXPECT_FALSE(Redo()->isEnabled());

    // The menu items do the same.
    Undo()->trigger();
    EXPECT_EQ(PlotMode(), response);
    Redo()->trigger();
    EXPECT_EQ(PlotMode(), groupDelay);
}

} // namespace
