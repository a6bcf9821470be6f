// The plot area as the desktop shows it, with the platform's real fonts: every label of every
// mode readable and none overprinted (Qt's font metrics this time), text pixels where the gain
// scale stands, the grid at scaled positions when the control is twice as large, the plot
// growing with the window and redrawn at its new size at once, and the look of read-only and
// fixed-pitch controls.
#include <QApplication>
#include <QDialog>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "app/qt/MainFrame.h"
#include "platform/qt/QtDrawContext.h"
#include "platform/qt/QtTemplateWidget.h"
#include "plots/FreqResponsePlot.h"
#include "plots/PlotFrame.h"
#include "resources/AnalysisResources.h"
#include "resources/Resources.h"
#include "tests/support/PlotLayout.h"

namespace {

using platform::Point;

// A Qt context on an image that also keeps each text with its logical place and font.
class QtTextRecorder : public platform::qt::QtDrawContext {
public:
    explicit QtTextRecorder(QPainter& painter) : QtDrawContext(painter) {}
    std::vector<plot_layout::PlacedText> texts;

protected:
    void OnLogicalText(Point at, const std::string& text) override {
        texts.push_back({at, text, CurrentFont()});
    }
};

struct Rendered {
    QImage image;
    std::vector<plot_layout::PlacedText> texts;
};

Rendered Render(QSize size, const std::function<void(platform::DrawContext&)>& draw) {
    Rendered out{QImage(size, QImage::Format_RGB32), {}};
    out.image.fill(Qt::white);
    QPainter painter(&out.image);
    QtTextRecorder dc(painter);
    draw(dc);
    out.texts = dc.texts;
    return out;
}

QSize DefaultSize() {
    return {plots::kDefaultPlotSurface.cx, plots::kDefaultPlotSurface.cy};
}

TEST(PlotScreen, EveryTextReadableInTheDesktopFonts) {
    for (const QSize size : {DefaultSize(), DefaultSize() * 2}) {
        for (const plot_layout::LayoutCase& c : plot_layout::LayoutCases()) {
            SCOPED_TRACE(c.Name() + " on " + std::to_string(size.width()));
            const Rendered r =
                Render(size, [&c](platform::DrawContext& dc) { plot_layout::DrawCase(dc, c); });
            QImage scratch(size, QImage::Format_RGB32);
            QPainter painter(&scratch);
            platform::qt::QtDrawContext measure(painter);
            plots::OpenPlotSurface(measure);
            plot_layout::ExpectReadable(measure, r.texts, {size.width(), size.height()});
        }
    }
}

TEST(PlotScreen, GainScaleShowsInTheControl) {
    plot_layout::LayoutCase c;
    c.range = 100.0;
    const Rendered r =
        Render(DefaultSize(), [&c](platform::DrawContext& dc) { plot_layout::DrawCase(dc, c); });
    QImage scratch(DefaultSize(), QImage::Format_RGB32);
    QPainter painter(&scratch);
    platform::qt::QtDrawContext measure(painter);
    plots::OpenPlotSurface(measure);
    const platform::Mapping& mapping = measure.GetMapping();
    int checked = 0;
    for (const plot_layout::PlacedText& t : r.texts) {
        if (t.text != "     20" && t.text != "  0" && t.text != "     -50" &&
            t.text != "    -100" && t.text != "[dB]") {
            continue;
        }
        ++checked;
        plots::ScopedFont font(measure, t.font);
        const plots::TextBox box = plots::InkBox(plots::MeasureWith(measure), t.at, t.text);
        const Point from = mapping.ToDevice({box.left, box.top});
        const Point to = mapping.ToDevice({box.right, box.bottom});
        int dark = 0;
        for (int y = from.y; y < to.y; ++y) {
            for (int x = from.x; x < to.x; ++x) {
                dark += r.image.rect().contains(x, y) && qGray(r.image.pixel(x, y)) < 128;
            }
        }
        // The scale stands left of the grid, on white: dark pixels are its text.
        EXPECT_GT(from.x, 0) << t.text;
        EXPECT_GT(dark, 5) << "'" << t.text << "'";
    }
    EXPECT_EQ(checked, 5);
}

// The x of every column of the frame that holds a vertical line (grey dots or black), found
// from the pixels alone.
std::vector<int> LineColumns(const QImage& image) {
    std::vector<int> columns;
    for (int x = 0; x < image.width(); ++x) {
        int line = 0;
        for (int y = 0; y < image.height(); ++y) {
            line += qGray(image.pixel(x, y)) < 160;
        }
        if (line > image.height() / 6) {
            columns.push_back(x);
        }
    }
    return columns;
}

TEST(PlotScreen, GridScalesWithTheControl) {
    const auto frame = [](platform::DrawContext& dc) {
        plots::OpenPlotSurface(dc);
        plots::DrawResponseFrame(dc, 20, 0, false);
    };
    const std::vector<int> small = LineColumns(Render(DefaultSize(), frame).image);
    const std::vector<int> large = LineColumns(Render(DefaultSize() * 2, frame).image);
    ASSERT_EQ(small.size(), 11u); // the frame's two edges and nine dotted columns
    ASSERT_EQ(large.size(), small.size());
    for (size_t j = 0; j < small.size(); ++j) {
        EXPECT_NEAR(large[j], 2 * small[j], 2) << j;
    }
    // And where the mapping says the columns are.
    const platform::Mapping mapping =
        plots::ScreenPlotMapping({2 * DefaultSize().width(), 2 * DefaultSize().height()});
    EXPECT_EQ(large.front(), mapping.ToDevice({20, 0}).x);
    EXPECT_EQ(large.back(), mapping.ToDevice({380, 0}).x);
}

TEST(PlotScreen, PlotGrowsWithTheWindow) {
    COlvexDoc doc;
    CMainFrame frame(doc);
    frame.ShowAndUpdate();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    platform::qt::PictureWidget* plot = frame.Form().Picture(resources::kIdcPlotArea);
    QWidget* output = frame.Form().Control(resources::kIdcOutput);
    ASSERT_NE(plot, nullptr);
    EXPECT_EQ(plot->size(), DefaultSize());
    QTRY_COMPARE_WITH_TIMEOUT(frame.View().m_bRedrawPending, 0, 2000); // the first plot is drawn
    const QRect outputBefore = output->geometry();
    frame.resize(frame.width() + 400, frame.height() + 200);
    QTRY_COMPARE_WITH_TIMEOUT(plot->width(), DefaultSize().width() + 400, 2000);
    EXPECT_EQ(plot->height(), DefaultSize().height() + 150);
    EXPECT_EQ(output->geometry().top(), outputBefore.top() + 150);
    EXPECT_EQ(output->geometry().width(), outputBefore.width() + 400);
    // The resize itself redrew the plot at the new size: no Refresh View, and the picture is
    // what a drawing at that size gives, not the old one stretched.
    const QImage& image = plot->Image();
    EXPECT_EQ(image.size(), plot->size());
    const Rendered fresh =
        Render(plot->size(), [&](platform::DrawContext& dc) { frame.View().DrawScreenPlot(dc); });
    EXPECT_TRUE(image.convertToFormat(QImage::Format_RGB32) == fresh.image)
        << "the picture after the resize is not the plot drawn at the new size";
    const platform::Mapping mapping = plots::ScreenPlotMapping({plot->width(), plot->height()});
    const Point corner = mapping.ToDevice({20, 100});
    EXPECT_EQ(image.pixel(corner.x, corner.y), qRgb(0, 0, 0)) << "the frame's left edge";
    EXPECT_GT(corner.x, 40) << "drawn larger than at the default size";
}

TEST(PlotScreen, ReadOnlyFieldsLookItAndTakeNoInitialFocus) {
    platform::DialogTemplate dialog;
    dialog.size = {120, 60};
    dialog.controls = {
        {101, platform::ControlKind::kEdit, "1000", {5, 5, 50, 12}, platform::kStyleReadOnly},
        {102, platform::ControlKind::kEdit, "90", {5, 25, 50, 12}},
    };
    QDialog window;
    platform::qt::QtTemplateWidget form(dialog, &window);
    auto* fixed = qobject_cast<QLineEdit*>(form.Control(101));
    auto* editable = qobject_cast<QLineEdit*>(form.Control(102));
    EXPECT_TRUE(fixed->isReadOnly());
    EXPECT_NE(fixed->palette().color(QPalette::Base), editable->palette().color(QPalette::Base));
    EXPECT_EQ(fixed->palette().color(QPalette::Base), form.palette().color(QPalette::Window));
    EXPECT_FALSE(fixed->focusPolicy() & Qt::TabFocus);
    EXPECT_TRUE(editable->focusPolicy() & Qt::TabFocus);
    // The dialog opens with the focus in the first field that takes input.
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QTRY_VERIFY_WITH_TIMEOUT(editable->hasFocus(), 2000);
    EXPECT_FALSE(fixed->hasFocus());
    // A field made editable later takes input and looks it.
    form.SetReadOnly(101, false);
    EXPECT_EQ(fixed->palette().color(QPalette::Base), editable->palette().color(QPalette::Base));
    EXPECT_TRUE(fixed->focusPolicy() & Qt::TabFocus);
}

TEST(PlotScreen, FixedPitchOutputAndAFormatHelpThatFitsTheWindow) {
    QWidget window;
    platform::qt::QtTemplateWidget form(resources::FormTemplate(), &window);
    EXPECT_TRUE(QFontInfo(form.Control(resources::kIdcOutput)->font()).fixedPitch());

    const platform::DialogTemplate& help = resources::UserCoeffsFormatTemplate();
    EXPECT_LT(platform::qt::TemplatePixelSize(help).width(), resources::kFrameWidth);
    platform::qt::QtTemplateWidget shown(help, &window);
    int formats = 0;
    for (QLabel* label : shown.findChildren<QLabel*>()) {
        // Every line shows in full.
        EXPECT_LE(label->sizeHint().width(), label->width()) << label->text().toStdString();
        if (label->text().startsWith("<-")) {
            EXPECT_TRUE(QFontInfo(label->font()).fixedPitch());
            ++formats;
        }
    }
    EXPECT_EQ(formats, 2);
}

} // namespace
