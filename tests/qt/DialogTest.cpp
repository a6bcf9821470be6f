// Dialogs built from templates: the controls appear with their texts, a refused entry shows the
// standard message and keeps the dialog open, and the PNG, PDF and SVG renderers draw a plot.
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include "platform/qt/QtDialog.h"
#include "platform/qt/QtRender.h"
#include "platform/qt/QtUiHost.h"
#include "plots/PlotConventions.h"
#include "plots/PlotFrame.h"
#include "resources/Resources.h"

namespace {

using platform::ControlKind;

constexpr int kBitsEdit = 1020;
constexpr int kQuantizeCheck = 1019;
constexpr int kStartSlider = 1033;

class BitsDialog : public platform::Dialog {
public:
    BitsDialog() : Dialog(Shape()) {}
    int m_nBits = 16;
    int m_bQuantize = 1;
    int m_nStart = 30;
    void DoDataExchange(platform::DataExchange& dx) override {
        dx.Check(kQuantizeCheck, m_bQuantize);
        dx.IntRange(kBitsEdit, m_nBits, 4, 32);
        dx.Slider(kStartSlider, m_nStart);
    }

private:
    static platform::DialogTemplate Shape() {
        platform::DialogTemplate t;
        t.id = 134;
        t.title = "Coefficients";
        t.screenPosition = {100, 100};
        t.size = {150, 90};
        t.controls = {
            {kQuantizeCheck, ControlKind::kCheckBox, "Quantize by", {10, 10, 60, 12}},
            {kBitsEdit, ControlKind::kEdit, "", {75, 10, 30, 12}},
            {platform::kIdStatic, ControlKind::kStaticText, "bits", {110, 12, 20, 8}},
            {kStartSlider, ControlKind::kSlider, "", {10, 30, 120, 15}},
            {platform::kIdOk, ControlKind::kDefaultPushButton, "OK", {20, 65, 50, 14}},
            {platform::kIdCancel, ControlKind::kPushButton, "Cancel", {80, 65, 50, 14}},
        };
        return t;
    }
};

// Presses OK on the message box that the next check failure opens, and keeps its text.
void AnswerNextMessageBox(QString& text) {
    QTimer::singleShot(10, [&text] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            AnswerNextMessageBox(text); // not up yet
            return;
        }
        text = box->text();
        box->accept();
    });
}

TEST(QtDialog, RefusesAnOutOfRangeIntegerWithTheStandardMessage) {
    BitsDialog dialog;
    platform::qt::QtDialog window(dialog, nullptr, "Olvex");
    window.show();
    EXPECT_EQ(window.windowTitle(), "Coefficients");
    EXPECT_EQ(window.pos(), QPoint(100, 100));
    auto* edit = window.Controls().findChild<QLineEdit*>("control1020");
    auto* check = window.Controls().findChild<QCheckBox*>("control1019");
    auto* slider = window.Controls().findChild<QSlider*>("control1033");
    ASSERT_TRUE(edit && check && slider);
    EXPECT_EQ(edit->text(), "16");
    EXPECT_TRUE(check->isChecked());
    EXPECT_EQ(slider->value(), 30);
    EXPECT_EQ(slider->maximum(), 100);

    edit->setText("40");
    check->setChecked(false);
    QString message;
    AnswerNextMessageBox(message);
    EXPECT_FALSE(window.PressOk());
    EXPECT_EQ(message, "Please enter an integer between 4 and 32.");
    EXPECT_TRUE(window.isVisible()) << "the dialog stays open";
    EXPECT_EQ(window.result(), 0);
    EXPECT_EQ(dialog.m_nBits, 16);

    edit->setText("twelve");
    AnswerNextMessageBox(message);
    EXPECT_FALSE(window.PressOk());
    EXPECT_EQ(message, "Please enter an integer.");

    edit->setText("12");
    slider->setValue(75);
    EXPECT_TRUE(window.PressOk());
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.m_nBits, 12);
    EXPECT_EQ(dialog.m_bQuantize, 0);
    EXPECT_EQ(dialog.m_nStart, 75);
}

TEST(QtRender, FrameInImagePdfAndSvg) {
    const platform::PageRenderer frame = [](platform::DrawContext& dc) {
        plots::OpenPlotSurface(dc);
        plots::DrawResponseFrame(dc, 20, 0, false);
    };
    const QImage image = platform::qt::RenderToImage(QSize(402, 274), frame);
    // The frame at its logical corners as the mapping into the image places them: black, with
    // the end point of each line left out as the platform drew lines; the dotted grid grey on
    // row 4; outside white.
    const platform::Mapping m = plots::ScreenPlotMapping({402, 274});
    const auto at = [&m](int x, int y) {
        const platform::Point p = m.ToDevice({x, y});
        return QPoint(p.x, p.y);
    };
    EXPECT_EQ(image.pixel(at(20, 0)), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(at(380, 250) - QPoint(1, 0)), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(at(380, 250) - QPoint(0, 1)), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(at(380, 250)), qRgb(255, 255, 255));
    int grey = 0;
    for (int x = at(20, 0).x() + 1; x < at(380, 0).x(); ++x) {
        grey += image.pixel(x, at(0, 83).y()) == qRgb(100, 100, 100);
    }
    EXPECT_GT(grey, 50);
    EXPECT_LT(grey, at(380, 0).x() - at(20, 0).x() - 1) << "the grid is dotted";
    EXPECT_EQ(image.pixel(at(10, 100)), qRgb(255, 255, 255));
    // Drawing without text is the same every time.
    EXPECT_EQ(platform::qt::RenderToImage(QSize(402, 274), frame), image);

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    EXPECT_TRUE(platform::qt::RenderToPdf(dir.filePath("plot.pdf"), frame));
    EXPECT_GT(QFileInfo(dir.filePath("plot.pdf")).size(), 500);
    EXPECT_TRUE(platform::qt::RenderToSvg(dir.filePath("plot.svg"), QSize(402, 274), frame));
    QFile svg(dir.filePath("plot.svg"));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    EXPECT_TRUE(svg.readAll().contains("<svg"));
    EXPECT_FALSE(platform::qt::RenderToPdf("/nonexistent/dir/plot.pdf", frame));
}

} // namespace

namespace {

TEST(QtUiHost, WarningDialogShowsItsLinesAndCloses) {
    QWidget window;
    platform::qt::QtTemplateWidget form(resources::FormTemplate(), &window);
    platform::qt::QtUiHost host(form, window, "Olvex");
    QString title;
    QStringList lines;
    QTimer::singleShot(10, [&] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        title = dialog->windowTitle();
        for (QLabel* label : dialog->findChildren<QLabel*>()) {
            lines << label->text();
        }
        for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
            if (button->text() == "OK") {
                button->click();
            }
        }
    });
    host.ShowWarning(136, "Warning!",
                     {"Decrease the bits for Quantization!!", "(The integer exceeds the limit)"});
    EXPECT_EQ(title, "Warning!");
    EXPECT_EQ(lines, QStringList({"Decrease the bits for Quantization!!",
                                  "(The integer exceeds the limit)"}));
    // The plot area hands out a context that paints its image.
    {
        std::unique_ptr<platform::DrawContext> dc = host.GetPlotContext();
        ASSERT_NE(dc, nullptr);
        plots::OpenPlotSurface(*dc);
        plots::Segment(*dc, 0, 10, 100, 10);
    }
    const platform::Point middle =
        plots::ScreenPlotMapping(plots::kDefaultPlotSurface).ToDevice({50, 10});
    EXPECT_EQ(form.Picture(platform::kPlotControlId)->Image().pixel(middle.x, middle.y),
              qRgb(0, 0, 0));
}

} // namespace
