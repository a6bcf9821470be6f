// The form view on the scripted desktop: the start-up redraw, the timer, paint and Refresh View,
// the form exchange, the command routing and the print-out's mapping and font.
#include "app/ui/OlvexView.h"

#include <gtest/gtest.h>

#include "app/OlvexDoc.h"
#include "platform/scripted/ScriptedHost.h"
#include "plots/PlotFrame.h"
#include "resources/Resources.h"

namespace {

struct ViewFixture : ::testing::Test {
    COlvexDoc doc;
    platform::ScriptedHost host{resources::FormTemplate()};
    COlvexView view{doc, host};
    ViewFixture() { host.SetEventSink(&view); }

    bool DrewHint(const platform::Drawing& drawing) const {
        for (const platform::RecordedText& text : drawing.texts) {
            if (text.text == plots::kDesignHint) {
                return true;
            }
        }
        return false;
    }
};

TEST_F(ViewFixture, StartShowsDefaultsAndFirstTickDrawsTheFrame) {
    view.OnInitialUpdate();
    EXPECT_EQ(host.Form().GetCheck(resources::kIdcLpf), 1);
    EXPECT_EQ(host.Form().GetCheck(resources::kIdcFir), 1);
    EXPECT_EQ(host.Form().GetText(resources::kIdcOutput), "");
    EXPECT_EQ(host.TimerPeriod(platform::kViewTimerId), 50);
    EXPECT_TRUE(host.Drawings().empty()) << "nothing is drawn before the first tick";
    // A paint before the first tick schedules nothing: the pending flag starts at 1.
    host.Paint();
    EXPECT_EQ(host.TimerStarts().size(), 1u);

    ASSERT_TRUE(host.TickTimer());
    ASSERT_EQ(host.Drawings().size(), 1u);
    const platform::Drawing& first = *host.Drawings()[0];
    EXPECT_TRUE(first.released);
    EXPECT_EQ(first.leakedPens, 0);
    EXPECT_EQ(first.leakedFonts, 0);
    EXPECT_TRUE(DrewHint(first));
    EXPECT_EQ(view.m_bRedrawPending, 0);
    EXPECT_EQ(view.m_bTimerDone, 1);
    EXPECT_EQ(host.TimerPeriod(platform::kViewTimerId), 1000);
    // Idle ticks draw nothing more.
    host.TickTimer();
    host.TickTimer();
    EXPECT_EQ(host.Drawings().size(), 1u);
}

TEST_F(ViewFixture, PaintRefreshAndTimerTogether) {
    view.OnInitialUpdate();
    host.TickTimer();
    // Uncovering the window: one redraw 10 ms later.
    host.Paint();
    EXPECT_EQ(host.TimerPeriod(platform::kViewTimerId), 10);
    host.TickTimer();
    EXPECT_EQ(host.Drawings().size(), 2u);
    // Refresh View draws at once and drops a pending delayed redraw.
    view.ScheduleRedraw(COlvexView::kCommandRedrawMs);
    EXPECT_TRUE(view.OnCommand(resources::kIdcRefreshView));
    EXPECT_EQ(host.Drawings().size(), 3u);
    host.TickTimer();
    EXPECT_EQ(host.Drawings().size(), 3u);
    // After the first design the hint is gone.
    view.m_bNoDesign = 0;
    view.RedrawPlot();
    EXPECT_FALSE(DrewHint(*host.Drawings().back()));
}

// A resize of the plot area redraws the plot at once (the desktop hands out a context of the new
// size); before the first redraw, and while a command is about to draw, it leaves that to them.
TEST_F(ViewFixture, ResizeRedrawsThePlotAtOnce) {
    view.OnInitialUpdate();
    view.OnPlotResized();
    EXPECT_TRUE(host.Drawings().empty()) << "the first tick draws the first plot";
    host.TickTimer();
    ASSERT_EQ(host.Drawings().size(), 1u);
    const int timerStarts = static_cast<int>(host.TimerStarts().size());
    view.OnPlotResized();
    ASSERT_EQ(host.Drawings().size(), 2u);
    EXPECT_TRUE(host.Drawings().back()->released);
    EXPECT_TRUE(DrewHint(*host.Drawings().back()));
    EXPECT_EQ(static_cast<int>(host.TimerStarts().size()), timerStarts) << "no delayed redraw";
    view.m_bRedrawPending = 1;
    view.OnPlotResized();
    EXPECT_EQ(host.Drawings().size(), 2u);
}

TEST_F(ViewFixture, RadioClicksWaitForACommandAndPaintRestoresThem) {
    view.OnInitialUpdate();
    host.TickTimer();
    host.ClickFormRadio(resources::kIdcBrf);
    host.ClickFormRadio(resources::kIdcIir);
    EXPECT_EQ(view.m_nFilterSel, 0);
    EXPECT_EQ(view.m_nFirIir, 0);
    // A repaint before any command read the form returns it to the last read selection.
    host.Paint();
    EXPECT_EQ(host.Form().GetCheck(resources::kIdcLpf), 1);
    EXPECT_EQ(host.Form().GetCheck(resources::kIdcBrf), 0);

    const struct {
        int radio;
        int expected;
    } types[] = {{resources::kIdcLpf, 0},
                 {resources::kIdcHpf, 1},
                 {resources::kIdcBrf, 2},
                 {resources::kIdcBpf, 3}};
    for (const auto& type : types) {
        host.ClickFormRadio(type.radio);
        host.ClickFormRadio(resources::kIdcIir);
        view.UpdateData(true);
        EXPECT_EQ(view.m_nFilterSel, type.expected);
        EXPECT_EQ(view.m_nFirIir, 1);
    }
    view.m_strOutput = "Click 'Coefficients' to get coefficients!!\r\n";
    view.UpdateData(false);
    EXPECT_EQ(host.Form().GetText(resources::kIdcOutput), view.m_strOutput);
}

TEST_F(ViewFixture, RoutingTable) {
    const int viewCommands[] = {
        resources::kIdcDesign,      resources::kIdcFResponse,       resources::kIdcInOutWave,
        resources::kIdcFftAnalysis, resources::kIdcCoefficients,    resources::kIdcVhdlCode,
        resources::kIdcSaveLoad,    resources::kIdcRefreshView,     resources::kIdUserWave,
        resources::kIdOnlineHelp,   resources::kIdUserCoeffsFormat, resources::kIdAppAbout,
        resources::kIdMeasurements};
    for (int id : viewCommands) {
        EXPECT_TRUE(COlvexView::RoutesCommand(id)) << id;
    }
    // The frame and the application keep the rest.
    for (int id : {resources::kIdFilePrint, resources::kIdAppExit, resources::kIdEditCopy,
                   resources::kIdcLpf}) {
        EXPECT_FALSE(view.OnCommand(id)) << id;
    }
}

TEST_F(ViewFixture, PrintMapsThePageAndReleasesItsFont) {
    ASSERT_TRUE(host.Print(platform::PrintKind::kPreview,
                           [this](platform::DrawContext& dc) { view.OnPrint(dc); }));
    const platform::Drawing& page = *host.PrintJobs().at(0).page;
    EXPECT_EQ(page.leakedFonts, 0);
    EXPECT_EQ(page.leakedPens, 0);
    const platform::RecordedText& address = page.texts.back();
    EXPECT_EQ(address.at, (platform::Point{20, 5}));
    EXPECT_EQ(address.deviceAt, (platform::Point{400, 325}));
    EXPECT_EQ(address.font.height, 12);
    EXPECT_EQ(address.font.width, 7);
    // The frame's top-left corner on paper: (20, 20) logical.
    EXPECT_EQ(page.lines.at(0).from, (platform::Point{20, 20}));
    EXPECT_EQ(page.lines.at(0).deviceFrom, (platform::Point{400, 400}));
}

} // namespace
