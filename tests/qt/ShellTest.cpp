// The window program under the offscreen platform: the main window's position, size and
// buttons, the form of template 101, radio buttons read only by commands, the first plot frame
// drawn by the timer, and copy and paste through the frame.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFont>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>

#include <set>

#include "app/qt/MainFrame.h"
#include "app/OlvexDoc.h"
#include "plots/PlotConventions.h"
#include "resources/Resources.h"

namespace {

struct ShellFixture : ::testing::Test {
    COlvexDoc doc;
    CMainFrame frame{doc};
    ShellFixture() {
        frame.ShowAndUpdate();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame));
    }
    QWidget* Control(int id) { return frame.Form().Control(id); }
    void Click(int id) {
        QWidget* w = Control(id);
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(5, w->height() / 2));
    }
};

TEST_F(ShellFixture, MainWindowAtTopLeftAndMaximizable) {
    EXPECT_EQ(frame.frameGeometry().topLeft(), QPoint(0, 0));
    EXPECT_EQ(frame.frameGeometry().size(), QSize(740, 600));
    EXPECT_TRUE(frame.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(frame.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_EQ(frame.windowTitle(), "Untitled - Vantrel");
    // The plot control is wider than the 400-pixel plot area: the phase labels start at x = 407
    // and the widest of them, "-pai/2" in the 14-pixel label font, must fit on screen.
    QFont labelFont(QString::fromStdString(plots::LabelFont().face));
    labelFont.setPixelSize(plots::LabelFont().height);
    const int widestPhaseLabel = QFontMetrics(labelFont).horizontalAdvance("-pai/2");
    EXPECT_GE(Control(resources::kIdcPlotArea)->width(), 407 + widestPhaseLabel);
    EXPECT_GE(Control(resources::kIdcPlotArea)->height(), 250);
    // Menu items and the toolbar's Print and About.
    ASSERT_NE(frame.Action(resources::kIdUserCoeffsFormat), nullptr);
    EXPECT_EQ(frame.Action(resources::kIdAppAbout)->text(), "&About pelmix1.exe...");
    EXPECT_TRUE(
        frame.Action(resources::kIdFilePrint)->shortcuts().contains(QKeySequence("Ctrl+P")));
    EXPECT_TRUE(
        frame.Action(resources::kIdEditCopy)->shortcuts().contains(QKeySequence("Ctrl+Ins")));
    auto* pane = frame.findChild<QLabel*>("messagePane");
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(pane->text(), "Ready");
    for (const char* indicator : {"CAP", "NUM", "SCRL"}) {
        EXPECT_NE(frame.findChild<QLabel*>(indicator), nullptr) << indicator;
    }
}

TEST_F(ShellFixture, FileMenuComesFirstWithItsShortcutsAndExit) {
    const QList<QAction*> menus = frame.menuBar()->actions();
    ASSERT_GE(menus.size(), 3);
    EXPECT_EQ(menus[0]->text(), "&File");
    EXPECT_EQ(menus[1]->text(), "&Edit");
    EXPECT_EQ(menus[2]->text(), "&Print");
    const std::pair<int, const char*> shortcuts[] = {
        {resources::kIdFileNew, "Ctrl+N"},  {resources::kIdFileOpen, "Ctrl+O"},
        {resources::kIdFileSave, "Ctrl+S"}, {resources::kIdFileSaveAs, "Ctrl+Shift+S"},
        {resources::kIdAppExit, "Ctrl+Q"},
    };
    for (const auto& [id, keys] : shortcuts) {
        ASSERT_NE(frame.Action(id), nullptr) << keys;
        EXPECT_TRUE(frame.Action(id)->shortcuts().contains(QKeySequence(keys))) << keys;
        EXPECT_TRUE(menus[0]->menu()->actions().contains(frame.Action(id))) << keys;
    }
    EXPECT_FALSE(menus[2]->menu()->actions().contains(frame.Action(resources::kIdAppExit)));
    EXPECT_TRUE(menus[2]->menu()->actions().contains(frame.Action(resources::kIdFilePrint)));
}

TEST_F(ShellFixture, FormHoldsEveryControlOfTemplate101) {
    QStringList groupTitles;
    for (QGroupBox* box : frame.Form().findChildren<QGroupBox*>()) {
        groupTitles << box->title();
    }
    QStringList labels;
    for (QLabel* label : frame.Form().findChildren<QLabel*>()) {
        labels << label->text();
    }
    for (const platform::ControlTemplate& control : resources::FormTemplate().controls) {
        const QString text = QString::fromStdString(control.text);
        const QRect expected(platform::DialogUnitsToPixelsX(control.rect.x),
                             platform::DialogUnitsToPixelsY(control.rect.y),
                             platform::DialogUnitsToPixelsX(control.rect.width),
                             platform::DialogUnitsToPixelsY(control.rect.height));
        if (control.id == platform::kIdStatic) {
            EXPECT_TRUE(groupTitles.contains(text) || labels.contains(text)) << control.text;
            continue;
        }
        QWidget* widget = Control(control.id);
        ASSERT_NE(widget, nullptr) << control.id;
        EXPECT_EQ(widget->geometry(), expected) << control.id;
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            EXPECT_EQ(button->text(), text) << control.id;
        }
    }
    auto* output = qobject_cast<QPlainTextEdit*>(Control(resources::kIdcOutput));
    ASSERT_NE(output, nullptr);
    EXPECT_TRUE(output->isReadOnly());
    EXPECT_TRUE(output->toPlainText().isEmpty());
    EXPECT_TRUE(qobject_cast<QAbstractButton*>(Control(resources::kIdcLpf))->isChecked());
    EXPECT_TRUE(qobject_cast<QAbstractButton*>(Control(resources::kIdcFir))->isChecked());
}

TEST_F(ShellFixture, RadioClicksTakeEffectWhenACommandReadsTheForm) {
    COlvexView& view = frame.View();
    Click(resources::kIdcBrf);
    Click(resources::kIdcIir);
    EXPECT_TRUE(qobject_cast<QAbstractButton*>(Control(resources::kIdcBrf))->isChecked());
    EXPECT_FALSE(qobject_cast<QAbstractButton*>(Control(resources::kIdcLpf))->isChecked());
    EXPECT_FALSE(qobject_cast<QAbstractButton*>(Control(resources::kIdcFir))->isChecked());
    EXPECT_EQ(view.m_nFilterSel, 0);
    EXPECT_EQ(view.m_nFirIir, 0);
    view.UpdateData(true);
    EXPECT_EQ(view.m_nFilterSel, 2) << "BRF is index 2 although BPF stands above it";
    EXPECT_EQ(view.m_nFirIir, 1);
    Click(resources::kIdcBpf);
    view.UpdateData(true);
    EXPECT_EQ(view.m_nFilterSel, 3);
}

TEST_F(ShellFixture, ControlRepaintsKeepAnUnreadSelectionButAViewRepaintRestoresIt) {
    COlvexView& view = frame.View();
    QTRY_COMPARE_WITH_TIMEOUT(view.m_bRedrawPending, 0, 2000);
    auto* hpf = qobject_cast<QAbstractButton*>(Control(resources::kIdcHpf));
    Click(resources::kIdcHpf);
    // The clicked button repaints itself over the form; that is no repaint of the view.
    hpf->repaint();
    QTest::qWait(50);
    EXPECT_TRUE(hpf->isChecked());
    EXPECT_EQ(frame.Host().TimerPeriod(platform::kViewTimerId), 1000);
    // An invalidated view pushes the last read selection back and schedules a redraw.
    frame.Host().Invalidate(true);
    QTRY_VERIFY_WITH_TIMEOUT(!hpf->isChecked(), 2000);
    EXPECT_TRUE(qobject_cast<QAbstractButton*>(Control(resources::kIdcLpf))->isChecked());
}

TEST_F(ShellFixture, FirstTickDrawsTheResponseFrame) {
    auto* picture = frame.Form().Picture(resources::kIdcPlotArea);
    ASSERT_NE(picture, nullptr);
    QTRY_COMPARE_WITH_TIMEOUT(frame.View().m_bTimerDone, 1, 2000);
    EXPECT_EQ(frame.Host().TimerPeriod(platform::kViewTimerId), 1000);
    const QImage& image = picture->Image();
    // The plot's logical picture, mapped into the control.
    const platform::Mapping mapping =
        plots::ScreenPlotMapping({picture->width(), picture->height()});
    const auto at = [&mapping](int x, int y) {
        const platform::Point p = mapping.ToDevice({x, y});
        return QPoint(p.x, p.y);
    };
    // The solid frame: left edge at x = 20 and bottom edge at y = 250, black.
    EXPECT_EQ(image.pixel(at(20, 100)), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(at(200, 250)), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(at(380, 100)), qRgb(0, 0, 0));
    // Outside the grid stays white.
    EXPECT_EQ(image.pixel(at(390, 100)), qRgb(255, 255, 255));
    // The hint: dark text pixels in its box (grid columns left out), gone after a design.
    const auto darkInHintBox = [picture, &at] {
        int dark = 0;
        const QRect box(at(121, 87), at(330, 101));
        std::set<int> gridColumns;
        for (int j = 0; j <= 10; ++j) {
            gridColumns.insert(at(20 + 36 * j, 0).x());
        }
        for (int y = box.top(); y < box.bottom(); ++y) {
            for (int x = box.left(); x < box.right(); ++x) {
                dark += gridColumns.count(x) == 0 && qGray(picture->Image().pixel(x, y)) < 128;
            }
        }
        return dark;
    };
    EXPECT_GT(darkInHintBox(), 50);
    frame.View().m_bNoDesign = 0;
    frame.View().RedrawPlot();
    EXPECT_EQ(darkInHintBox(), 0);
}

TEST_F(ShellFixture, CopyFromTheOutputBoxAndNoPasteIntoIt) {
    COlvexView& view = frame.View();
    view.m_strOutput = "Data is Hex : 1.0 => 00008000h\r\n";
    view.UpdateData(false);
    auto* output = qobject_cast<QPlainTextEdit*>(Control(resources::kIdcOutput));
    EXPECT_EQ(output->toPlainText(), "Data is Hex : 1.0 => 00008000h\n");
    output->setFocus();
    output->selectAll();
    QApplication::clipboard()->setText("other");
    frame.Action(resources::kIdEditCopy)->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "Data is Hex : 1.0 => 00008000h\n");
    QApplication::clipboard()->setText("pasted");
    frame.Action(resources::kIdEditPaste)->trigger();
    EXPECT_EQ(output->toPlainText(), "Data is Hex : 1.0 => 00008000h\n");
    view.UpdateData(true);
    EXPECT_EQ(view.m_strOutput, "Data is Hex : 1.0 => 00008000h\r\n");
}

} // namespace
