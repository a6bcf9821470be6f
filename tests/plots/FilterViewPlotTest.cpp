// The filter views through the recorder: where the group delay and time-response curves go,
// the grey ideal curves that appear only while quantized (the frequency response's too), the
// pole-zero markers and the instability box, and the Plot menu's flow on the scripted desktop
// with its status-bar notice.
#include "plots/FilterViewPlots.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "app/OlvexDoc.h"
#include "app/PlotCommands.h"
#include "app/ui/OlvexView.h"
#include "platform/scripted/RecordingDrawContext.h"
#include "platform/scripted/ScriptedHost.h"
#include "plots/AnalysisPlot.h"
#include "plots/FreqResponsePlot.h"
#include "plots/PlotConventions.h"
#include "resources/Resources.h"
#include "tests/support/ScriptedWindow.h"

namespace {

using platform::RecordedLine;

std::vector<RecordedLine> LinesWith(const platform::Drawing& d, const platform::PenSpec& pen) {
    std::vector<RecordedLine> lines;
    std::copy_if(d.lines.begin(), d.lines.end(), std::back_inserter(lines),
                 [&](const RecordedLine& line) { return line.pen == pen; });
    return lines;
}

bool HasText(const platform::Drawing& d, const std::string& text) {
    return std::any_of(d.texts.begin(), d.texts.end(),
                       [&](const platform::RecordedText& t) { return t.text == text; });
}

std::shared_ptr<platform::Drawing> DrawMode(COlvexDoc& doc, plots::PlotMode mode, bool iir) {
    auto drawing = std::make_shared<platform::Drawing>();
    platform::RecordingDrawContext dc(drawing);
    plots::DrawAnalysisPlot(dc, commands::ComputePlot(doc, plots::PlotState{mode, iir, false}),
                            plots::Surface::kScreen);
    return drawing;
}

TEST(GroupDelayPlot, FollowsTheResponseAxisAndScalesToTheDelay) {
    struct Case {
        int zoom, start;
        std::size_t segments;
        int step;
    };
    const Case cases[] = {{0, 0, 179, 2}, {0, 50, 89, 2}, {1, 0, 18, 20}, {1, 100, 18, 20}};
    std::vector<double> delay(360, 15.0);
    for (const Case& c : cases) {
        plots::GroupDelaySettings settings{c.zoom, c.start, 1000.0, false};
        const plots::CurvePlotGeometry g = plots::ComputeGroupDelayPlot(settings, 20, 0, delay, {});
        ASSERT_EQ(g.shown.size(), c.segments) << c.zoom << " " << c.start;
        EXPECT_TRUE(g.ideal.empty());
        EXPECT_EQ(g.shown.front().from.x, 20);
        EXPECT_EQ(g.shown.back().to.x, 20 + c.step * static_cast<int>(c.segments));
        // 0 .. 18.75 samples, out to 20: a constant 15 lies at 15/20 of the height above the
        // bottom.
        EXPECT_DOUBLE_EQ(g.high, 20.0);
        EXPECT_EQ(g.shown.front().from.y, 250 - 187);
    }
    // The ideal curve runs under the quantized one, point for point.
    std::vector<double> ideal(360, 10.0);
    const plots::CurvePlotGeometry both = plots::ComputeGroupDelayPlot({}, 20, 0, delay, ideal);
    ASSERT_EQ(both.ideal.size(), both.shown.size());
    EXPECT_EQ(both.ideal.front().from.x, both.shown.front().from.x);
    EXPECT_GT(both.ideal.front().from.y, both.shown.front().from.y);
    EXPECT_EQ(both.idealLegend.size(), 1u);
}

TEST(TimeResponsePlot, SpreadsTheSamplesOverTheGridWithAZeroLine) {
    const std::vector<double> samples = {0.0, 1.0, -0.5, 0.25, 0.0};
    const plots::CurvePlotGeometry g =
        plots::ComputeTimeResponsePlot(20, 0, false, samples, {}, false);
    ASSERT_EQ(g.shown.size(), 4u);
    EXPECT_EQ(g.shown.front().from.x, 20);
    EXPECT_EQ(g.shown.back().to.x, 20 + 360);
    ASSERT_EQ(g.zeroLine.size(), 1u);
    // -0.875 .. 1.375 (a quarter of the span beyond each end): the peak below the top, the dip
    // above the bottom, 0 on the zero line.
    EXPECT_GT(g.shown[0].to.y, 0);
    EXPECT_LT(g.shown[1].to.y, 250);
    EXPECT_EQ(g.shown[0].from.y, g.zeroLine[0].from.y);
    EXPECT_EQ(g.labels.back().text, "           4"); // the last sample's index
}

TEST(PoleZeroPlot, MarksRootsAndBoxesUnstablePoles) {
    dsp::PoleZeroSet ideal;
    ideal.zeros = {{-1.0, 0.0}, {0.0, 1.0}};
    ideal.poles = {{0.5, 0.5}, {0.5, -0.5}};
    dsp::PoleZeroSet quantized = ideal;
    // Section 1 stable; section 2 with a pole on the circle; section 3's pole beyond the view,
    // drawn as an arrow at its edge.
    quantized.poles = {{0.5, 0.5}, {0.5, -0.5}, {1.0, 0.0}, {0.9, 0.0}, {5.0, 0.0}, {0.2, 0.0}};
    quantized.unstableSections = {2, 3};

    const plots::PoleZeroGeometry stable = plots::ComputePoleZeroPlot(20, 0, ideal, nullptr, false);
    EXPECT_EQ(stable.idealMarks.size(), 2u * 12u + 2u * 2u); // o: 12 sides, x: two strokes
    EXPECT_TRUE(stable.shownMarks.empty());
    EXPECT_TRUE(stable.unstableMarks.empty());
    EXPECT_DOUBLE_EQ(stable.viewRadius, 1.25);
    // The unit circle passes through (1, 0) at 110 / 1.25 = 88 units right of the centre.
    EXPECT_EQ(stable.unitCircle.front().from,
              (platform::Point{stable.centre.x + 88, stable.centre.y}));

    const plots::PoleZeroGeometry g = plots::ComputePoleZeroPlot(20, 0, ideal, &quantized, false);
    EXPECT_EQ(g.hiddenRoots, 1);
    EXPECT_EQ(g.shownMarks.size(), 2u * 12u + 5u * 2u + 3u); // the pole at 5: an arrow
    EXPECT_EQ(g.unstableMarks.size(), 4u);                   // one box, around the pole at 1
    ASSERT_EQ(g.redLabels.size(), 4u);
    EXPECT_EQ(g.redLabels[0].text, "Quantized");
    EXPECT_EQ(g.redLabels[1].text, "unstable: section 2");
    EXPECT_EQ(g.redLabels[2].text, "unstable: section 3");
    EXPECT_EQ(g.redLabels[3].text, "1"); // the count beside the arrow
}

TEST(FilterViews, IdealCurvesOnlyWhileQuantized) {
    for (plots::PlotMode mode : {plots::PlotMode::kResponse, plots::PlotMode::kGroupDelay,
                                 plots::PlotMode::kImpulse, plots::PlotMode::kStep}) {
        COlvexDoc doc;
        doc.DesignFir(0);
        EXPECT_TRUE(LinesWith(*DrawMode(doc, mode, false), plots::kGreyIdealPen).empty())
            << plots::PlotModeWord(mode);
        doc.m_bQuantize = 1;
        doc.m_nQuantBits = 8;
        const auto drawing = DrawMode(doc, mode, false);
        const std::vector<RecordedLine> grey = LinesWith(*drawing, plots::kGreyIdealPen);
        const std::vector<RecordedLine> red = LinesWith(*drawing, plots::kRedTracePen);
        ASSERT_FALSE(grey.empty()) << plots::PlotModeWord(mode);
        // The grey curve differs from the red one somewhere: 8 bits cost something.
        bool differs = false;
        for (std::size_t i = 0; i < grey.size() && i < red.size(); ++i) {
            differs = differs || grey[i].from.y != red[i].from.y;
        }
        EXPECT_TRUE(differs) << plots::PlotModeWord(mode);
    }
}

TEST(FilterViews, PlotMenuShowsEachViewAndNamesAnUnstableSection) {
    support::ScriptedWindow window(support::Start::kUnstarted);
    auto& [doc, host, view] = window;
    doc.m_nIirSections = 2;
    ASSERT_TRUE(doc.DesignIir());
    view.m_nFirIir = 1;
    view.UpdateData(false);
    view.m_bNoDesign = 0;
    struct Case {
        int command;
        plots::PlotMode mode;
        const char* legend;
    };
    const Case cases[] = {
        {resources::kIdPlotGroupDelay, plots::PlotMode::kGroupDelay, "Group delay"},
        {resources::kIdPlotPoleZero, plots::PlotMode::kPoleZero, "x pole   o zero"},
        {resources::kIdPlotImpulse, plots::PlotMode::kImpulse, "Impulse response"},
        {resources::kIdPlotStep, plots::PlotMode::kStep, "Step response"},
    };
    for (const Case& c : cases) {
        const std::size_t before = host.Drawings().size();
        ASSERT_TRUE(view.OnCommand(c.command));
        EXPECT_EQ(view.m_nPlotMode, plots::PlotModeNumber(c.mode));
        ASSERT_EQ(host.Drawings().size(), before + 1);
        EXPECT_TRUE(HasText(*host.Drawings().back(), c.legend)) << c.legend;
    }
    EXPECT_TRUE(host.StatusTexts().empty());

    // The second section's poles pushed onto the unit circle: named in the status bar and
    // drawn in the plot; once stable again the notice goes.
    doc.m_aB1[1] = 0.0;
    doc.m_aB2[1] = 1.0;
    ASSERT_TRUE(view.OnCommand(resources::kIdPlotPoleZero));
    ASSERT_FALSE(host.StatusTexts().empty());
    EXPECT_EQ(host.StatusTexts().back(), "unstable: section 2");
    EXPECT_TRUE(HasText(*host.Drawings().back(), "unstable: section 2"));
    EXPECT_EQ(LinesWith(*host.Drawings().back(), plots::kRedTracePen).size(), 8u);
    doc.m_aB2[1] = 0.5;
    ASSERT_TRUE(view.OnCommand(resources::kIdPlotImpulse));
    EXPECT_EQ(host.StatusTexts().back(), "Ready");
}

} // namespace
