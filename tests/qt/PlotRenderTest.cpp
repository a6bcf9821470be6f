// The three plots drawn by Qt: each curve lands in the image where the recorder says it is (red
// gain and spectrum curves, black waves), the F-Response button draws the plot area of the
// window, and the print-out of every mode becomes a one-page PDF.
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "app/OlvexDoc.h"
#include "app/PlotCommands.h"
#include "app/qt/MainFrame.h"
#include "app/ui/OlvexView.h"
#include "platform/qt/QtRender.h"
#include "platform/scripted/RecordingDrawContext.h"
#include "platform/scripted/ScriptedHost.h"
#include "plots/AnalysisPlot.h"
#include "plots/PlotConventions.h"
#include "resources/Resources.h"

namespace {

// The plot area with room for the phase labels right of x = 400.
const QSize kImageSize(460, 275);

bool IsRed(QRgb c) {
    return qRed(c) > 200 && qGreen(c) < 80 && qBlue(c) < 80;
}

bool IsBlack(QRgb c) {
    return qGray(c) < 60;
}

// Whether a pixel of the wanted colour is at p or next to it.
bool ColourNear(const QImage& image, platform::Point p, bool (*wanted)(QRgb)) {
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const QPoint q(p.x + dx, p.y + dy);
            if (image.rect().contains(q) && wanted(image.pixel(q))) {
                return true;
            }
        }
    }
    return false;
}

struct Designed {
    COlvexDoc doc;
    Designed() {
        doc.m_nTaps = 31;
        doc.DesignFir(0);
        doc.m_dWaveFreq = 180.0;
    }
};

TEST(PlotRender, CurvesLandWhereTheRecorderPutThem) {
    const struct {
        plots::PlotMode mode;
        platform::PenSpec curvePen;
        bool (*colour)(QRgb);
    } cases[] = {
        {plots::PlotMode::kResponse, plots::kRedTracePen, IsRed},
        {plots::PlotMode::kSpectra, plots::kRedTracePen, IsRed},
        {plots::PlotMode::kWaves, platform::PenSpec{}, IsBlack},
    };
    for (const auto& c : cases) {
        Designed designed;
        const plots::PlotState state{c.mode, false, false};
        const platform::PageRenderer render = [&](platform::DrawContext& dc) {
            plots::OpenPlotSurface(dc);
            plots::DrawAnalysisPlot(dc, commands::ComputePlot(designed.doc, state),
                                    plots::Surface::kScreen);
        };
        auto drawing = std::make_shared<platform::Drawing>();
        {
            platform::RecordingDrawContext dc(drawing, {kImageSize.width(), kImageSize.height()});
            render(dc);
        }
        const QImage image = platform::qt::RenderToImage(kImageSize, render);
        int segments = 0;
        int found = 0;
        for (const platform::RecordedLine& line : drawing->lines) {
            // Curve segments only; the wave grid's frame lines share no pen with the curve.
            if (!(line.pen == c.curvePen) || line.from.y == line.to.y) {
                continue;
            }
            ++segments;
            found += ColourNear(image, line.deviceFrom, c.colour);
        }
        SCOPED_TRACE(plots::PlotModeNumber(c.mode));
        ASSERT_GT(segments, 20);
        // Text drawn later may cover a few points of a curve, never most of them.
        EXPECT_GE(found * 100, segments * 95) << found << " of " << segments;
        // Away from every curve the image stays white: the bottom-right corner.
        EXPECT_EQ(image.pixel(kImageSize.width() - 2, 2), qRgb(255, 255, 255));
    }
}

// Presses OK on the next modal dialog with this title, once it is up.
void PressOkOnDialog(const QString& title, bool& pressed) {
    QTimer::singleShot(20, [title, &pressed] {
        QWidget* dialog = QApplication::activeModalWidget();
        if (dialog == nullptr || dialog->windowTitle() != title) {
            PressOkOnDialog(title, pressed);
            return;
        }
        for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
            if (button->text() == "OK") {
                pressed = true;
                button->click();
                return;
            }
        }
    });
}

TEST(PlotRender, FResponseButtonDrawsTheGainInTheWindow) {
    Designed designed;
    CMainFrame frame(designed.doc);
    frame.ShowAndUpdate();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    frame.View().m_bNoDesign = 0;
    QTRY_COMPARE_WITH_TIMEOUT(frame.View().m_bTimerDone, 1, 2000);
    // The waves are on show when the button is pressed.
    frame.View().m_nPlotMode = plots::PlotModeNumber(plots::PlotMode::kWaves);
    frame.View().RedrawPlot();
    const QImage before = frame.Form().Picture(resources::kIdcPlotArea)->Image();

    bool pressed = false;
    PressOkOnDialog("Frequency Response", pressed);
    frame.OnCommand(resources::kIdcFResponse);
    EXPECT_TRUE(pressed);
    const QImage& image = frame.Form().Picture(resources::kIdcPlotArea)->Image();
    EXPECT_NE(image, before);
    EXPECT_EQ(frame.View().m_nPlotMode, plots::PlotModeNumber(plots::PlotMode::kResponse));
    // The designed low-pass passes about 0 dB at the start: red next to row 2 (y 41) in every
    // column of its first 60 logical units, as the control shows them.
    const platform::Mapping mapping =
        plots::ScreenPlotMapping({image.deviceIndependentSize().toSize().width(),
                                  image.deviceIndependentSize().toSize().height()});
    const platform::Point from = mapping.ToDevice({20, 41});
    const platform::Point to = mapping.ToDevice({80, 41});
    int red = 0;
    for (int x = from.x; x < to.x; ++x) {
        red += ColourNear(image, {x, from.y}, IsRed);
    }
    EXPECT_GT(to.x - from.x, 50);
    EXPECT_EQ(red, to.x - from.x);
    EXPECT_EQ(frame.Host().TimerPeriod(platform::kViewTimerId), 50);
}

int PdfPages(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QString text = QString::fromLatin1(file.readAll());
    return static_cast<int>(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))));
}

TEST(PlotRender, PrintOfEachModeIsAOnePagePdf) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (int mode : {plots::PlotModeNumber(plots::PlotMode::kResponse),
                     plots::PlotModeNumber(plots::PlotMode::kSpectra),
                     plots::PlotModeNumber(plots::PlotMode::kWaves)}) {
        Designed designed;
        platform::ScriptedHost host(resources::FormTemplate());
        COlvexView view(designed.doc, host);
        view.m_nPlotMode = mode;
        const QString path = dir.filePath(QStringLiteral("plot%1.pdf").arg(mode));
        ASSERT_TRUE(platform::qt::RenderToPdf(
            path, [&view](platform::DrawContext& dc) { view.OnPrint(dc); }));
        EXPECT_GT(QFileInfo(path).size(), 2000) << mode;
        EXPECT_EQ(PdfPages(path), 1) << mode;
    }
}

TEST(PlotRender, PrintPreviewFromTheMenuShowsOnePage) {
    Designed designed;
    CMainFrame frame(designed.doc);
    frame.ShowAndUpdate();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    frame.View().m_nPlotMode = plots::PlotModeNumber(plots::PlotMode::kWaves);
    int pages = -1;
    std::function<void()> closePreview = [&] {
        auto* preview = qobject_cast<QPrintPreviewDialog*>(QApplication::activeModalWidget());
        auto* widget = preview ? preview->findChild<QPrintPreviewWidget*>() : nullptr;
        if (widget == nullptr || widget->pageCount() == 0) {
            QTimer::singleShot(20, closePreview);
            return;
        }
        pages = widget->pageCount();
        preview->reject();
    };
    QTimer::singleShot(20, closePreview);
    frame.Action(resources::kIdFilePrintPreview)->trigger();
    EXPECT_EQ(pages, 1);
}

} // namespace
