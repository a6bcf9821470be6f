// The status bar at the window's default 740 x 600: the message pane shows the whole measurement
// summary of a quantized design (the CAP, NUM and SCRL indicators step aside when the text needs
// their room), and a short message leaves the indicators in place.
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <string>

#include "app/MeasureCommands.h"
#include "app/OlvexDoc.h"
#include "app/qt/MainFrame.h"
#include "coeffs/ui/CoeffDialog.h"
#include "platform/qt/QtTemplateWidget.h"
#include "resources/Resources.h"

namespace {

void OnNextDialog(std::function<void(QDialog&)> action) {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(*dialog);
        }
    });
    timer->start(10);
}

void PressOk(QDialog& dialog) {
    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("control%1").arg(platform::kIdOk));
    ASSERT_NE(ok, nullptr);
    QTest::mouseClick(ok, Qt::LeftButton);
}

struct StatusBarFixture : ::testing::Test {
    COlvexDoc doc;
    CMainFrame frame{doc};
    StatusBarFixture() {
        doc.m_fnConsole = [](const std::string&) {};
        frame.ShowAndUpdate();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&frame));
    }
    void Click(int id) {
        QWidget* w = frame.Form().Control(id);
        QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(5, w->height() / 2));
    }
    QLabel& Pane() { return *frame.findChild<QLabel*>("messagePane"); }
    // The pane's width that no indicator covers, after the bar has laid out its widgets.
    int VisibleWidth() {
        QApplication::processEvents();
        QApplication::processEvents();
        QLabel& pane = Pane();
        int right = pane.geometry().right();
        for (const char* name : {"CAP", "NUM", "SCRL"}) {
            const auto* indicator = frame.statusBar()->findChild<QLabel*>(name);
            if (indicator != nullptr && indicator->isVisible()) {
                right = std::min(right, indicator->geometry().left() - 1);
            }
        }
        return std::min(pane.contentsRect().width(), right - pane.geometry().left() + 1);
    }
    int TextWidth() { return Pane().fontMetrics().horizontalAdvance(Pane().text()); }
    bool IndicatorsShown() {
        const auto* cap = frame.statusBar()->findChild<QLabel*>("CAP");
        return cap != nullptr && cap->isVisible();
    }
};

TEST_F(StatusBarFixture, QuantizedSummaryShowsWholeAtTheDefaultSize) {
    ASSERT_LE(frame.frameGeometry().width(), 740);
    // The idle message fits beside the indicators.
    EXPECT_TRUE(IndicatorsShown());
    EXPECT_GE(VisibleWidth(), TextWidth());

    OnNextDialog([](QDialog& dialog) { PressOk(dialog); });
    Click(resources::kIdcDesign);
    OnNextDialog([](QDialog& dialog) {
        auto* quantize =
            dialog.findChild<QCheckBox*>(QStringLiteral("control%1").arg(coeffs::kIdcQuantize));
        ASSERT_NE(quantize, nullptr);
        quantize->setChecked(true);
        PressOk(dialog);
    });
    Click(resources::kIdcCoefficients);
    ASSERT_EQ(doc.m_bQuantize, 1);
    const std::string summary = commands::MeasurementsSummary(doc, false);
    ASSERT_EQ(Pane().text().toStdString(), summary);
    ASSERT_NE(summary.find("quantized"), std::string::npos) << summary;
    EXPECT_GE(VisibleWidth(), TextWidth()) << summary;

    // Back to a short message: the indicators return.
    Pane().setText(QStringLiteral("Ready"));
    VisibleWidth();
    EXPECT_TRUE(IndicatorsShown());
}

} // namespace
