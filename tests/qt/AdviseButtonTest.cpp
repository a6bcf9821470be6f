// The hardware checks on Qt: the Coefficients dialog's "Advise..." runs the advisor without
// closing the dialog, fills the bit length and the table, and OK then takes the advised length;
// the hardware legend of the wave plot stays readable in the desktop's real fonts.
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

#include "app/CoefficientsCommands.h"
#include "app/DesignCommands.h"
#include "app/MeasureCommands.h"
#include "app/OlvexDoc.h"
#include "app/PlotCommands.h"
#include "coeffs/ui/CoeffDialog.h"
#include "dsp/Measure.h"
#include "platform/qt/QtDialog.h"
#include "platform/qt/QtDrawContext.h"
#include "tests/support/PlotLayout.h"

namespace {

QString ControlName(int id) {
    return QStringLiteral("control%1").arg(id);
}

TEST(AdviseButton, FillsTheDialogAndKeepsItOpen) {
    COlvexDoc doc;
    doc.DesignFir(0);
    const dsp::BitAdvice advice =
        commands::AdviseDocumentBits(doc, false, dsp::kDefaultToleranceDb);
    ASSERT_GT(advice.bits, 0);

    coeffs::CCoeffDialog dlg;
    dlg.m_pDesign = &doc;
    dlg.m_nQuantBits = 32;
    platform::qt::QtDialog dialog(dlg, nullptr, QStringLiteral("Olvex"));
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    auto* advise = dialog.findChild<QPushButton*>(ControlName(coeffs::kIdcAdvise));
    ASSERT_NE(advise, nullptr);
    QTest::mouseClick(advise, Qt::LeftButton);

    EXPECT_TRUE(dialog.isVisible()) << "the advice keeps the dialog open";
    EXPECT_EQ(dialog.findChild<QLineEdit*>(ControlName(coeffs::kIdcQuantBits))->text(),
              QString::number(advice.bits));
    EXPECT_TRUE(dialog.findChild<QCheckBox*>(ControlName(coeffs::kIdcQuantize))->isChecked());
    auto* table = dialog.findChild<QPlainTextEdit*>(ControlName(coeffs::kIdcAdviceTable));
    ASSERT_NE(table, nullptr);
    EXPECT_TRUE(table->isReadOnly());
    EXPECT_TRUE(
        table->toPlainText().startsWith(QStringLiteral("Advised: %1 bits").arg(advice.bits)))
        << table->toPlainText().toStdString();
    // Every candidate has its row: the header lines, the design's own row and one per bit length.
    EXPECT_EQ(table->toPlainText().split(QLatin1Char('\n'), Qt::SkipEmptyParts).size(),
              static_cast<qsizetype>(3 + advice.candidates.size()));

    // The table's box grows with the dialog; the dialog never gets smaller than its template.
    const QSize tableBefore = table->size();
    const QSize dialogBefore = dialog.size();
    dialog.resize(dialogBefore + QSize(200, 150));
    QTRY_COMPARE_WITH_TIMEOUT(table->size(), tableBefore + QSize(200, 150), 2000);
    EXPECT_EQ(dialog.minimumSize(), dialogBefore);

    ASSERT_TRUE(dialog.PressOk());
    EXPECT_EQ(dlg.m_nQuantBits, advice.bits);
    EXPECT_EQ(dlg.m_bQuantize, 1);
}

// A Qt context that keeps each text with its logical place and font.
class TextRecorder : public platform::qt::QtDrawContext {
public:
    explicit TextRecorder(QPainter& painter) : QtDrawContext(painter) {}
    std::vector<plot_layout::PlacedText> texts;

protected:
    void OnLogicalText(platform::Point at, const std::string& text) override {
        texts.push_back({at, text, CurrentFont()});
    }
};

TEST(HardwareLegend, ReadableInTheDesktopFonts) {
    const QSize size(plots::kDefaultPlotSurface.cx, plots::kDefaultPlotSurface.cy);
    for (const int taps : {90, 120}) {
        for (const double range : {50.0, 9999.0}) {
            SCOPED_TRACE("taps " + std::to_string(taps) + " range " + std::to_string(range));
            plot_layout::LayoutCase c{plots::PlotMode::kWaves, 0, 50, 1000.0, range};
            c.taps = taps;
            c.quantize = true;
            COlvexDoc doc;
            plot_layout::Configure(doc, c);
            QImage image(size, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            TextRecorder dc(painter);
            plots::OpenPlotSurface(dc);
            plots::DrawAnalysisPlot(
                dc, commands::ComputePlot(doc, plots::PlotState{c.mode, false, false, true}),
                plots::Surface::kScreen);
            painter.end();
            bool legend = false;
            for (const plot_layout::PlacedText& t : dc.texts) {
                legend = legend || t.text == "Ideal";
            }
            ASSERT_TRUE(legend);
            QImage scratch(size, QImage::Format_RGB32);
            QPainter measuring(&scratch);
            platform::qt::QtDrawContext measure(measuring);
            plots::OpenPlotSurface(measure);
            plot_layout::ExpectReadable(measure, dc.texts, {size.width(), size.height()});
        }
    }
}

} // namespace
