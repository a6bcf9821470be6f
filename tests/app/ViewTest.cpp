// The form view on the scripted desktop: the start-up redraw, the timer, paint and Refresh View,
// the form exchange, every routed command reaching its handler, and the print-out's mapping and
// font.
#include "app/ui/OlvexView.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "app/ui/DesignDialogs.h"
#include "coeffs/ui/CoeffDialog.h"
#include "platform/scripted/ScriptedHost.h"
#include "plots/PlotFrame.h"
#include "plots/PlotMode.h"
#include "resources/AnalysisResources.h"
#include "resources/FilesResources.h"
#include "resources/Resources.h"
#include "tests/support/ScriptedWindow.h"

namespace {

struct ViewFixture : support::ScriptedWindowTest {
    ViewFixture() : support::ScriptedWindowTest(support::Start::kUnstarted) {}

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

// What a routed command shows on a fresh window (FIR low pass, nothing designed yet), so that a
// press is seen to reach the handler of that command and no other.
enum class Shows {
    kDialog,     // the dialog of template `what` (answered with Cancel)
    kWarning,    // the warning of template `what`
    kMessage,    // a message box
    kFileDialog, // the desktop's file dialog, pre-filled with `text` (answered with Cancel)
    kPlot,       // the plot of mode `what`, drawn at once
};

struct RouteCase {
    int id;
    Shows shows;
    int what = 0;
    std::string text;
};

TEST_F(ViewFixture, EachRoutedCommandReachesItsHandler) {
    const RouteCase cases[] = {
        {resources::kIdcDesign, Shows::kDialog, design::kIddFirParameters, ""},
        {resources::kIdcFResponse, Shows::kDialog, resources::kIddFreqResponse, ""},
        {resources::kIdPlotFResponse, Shows::kDialog, resources::kIddFreqResponse, ""},
        {resources::kIdcInOutWave, Shows::kDialog, resources::kIddInOutWave, ""},
        {resources::kIdPlotInOutWave, Shows::kDialog, resources::kIddInOutWave, ""},
        {resources::kIdcFftAnalysis, Shows::kDialog, resources::kIddFftResult, ""},
        {resources::kIdPlotFftAnalysis, Shows::kDialog, resources::kIddFftResult, ""},
        {resources::kIdcCoefficients, Shows::kDialog, coeffs::kIddCoefficients, ""},
        {resources::kIdcVhdlCode, Shows::kWarning, design::kIddWarnVhdlNeedsQuantize, ""},
        {resources::kIdcSaveLoad, Shows::kDialog, resources::kIddSaveLoad, ""},
        {resources::kIdUserWave, Shows::kDialog, resources::kIddUserWaveHelp, ""},
        {resources::kIdOnlineHelp, Shows::kDialog, resources::kIddOnlineHelp, ""},
        {resources::kIdUserCoeffsFormat, Shows::kDialog, resources::kIddUserCoeffsFormat, ""},
        {resources::kIdAppAbout, Shows::kDialog, resources::kIddAbout, ""},
        {resources::kIdMeasurements, Shows::kMessage, 0, ""},
        {resources::kIdcRefreshView, Shows::kPlot, plots::PlotModeNumber(plots::PlotMode::kWaves),
         ""}, // redraws the plot shown
        {resources::kIdPlotGroupDelay, Shows::kPlot, plots::PlotModeNumber(plots::PlotMode::kGroupDelay), ""},
        {resources::kIdPlotPoleZero, Shows::kPlot, plots::PlotModeNumber(plots::PlotMode::kPoleZero), ""},
        {resources::kIdPlotImpulse, Shows::kPlot, plots::PlotModeNumber(plots::PlotMode::kImpulse), ""},
        {resources::kIdPlotStep, Shows::kPlot, plots::PlotModeNumber(plots::PlotMode::kStep), ""},
        {resources::kIdExportPlot, Shows::kFileDialog, 0, "plot0.png"},
        {resources::kIdFileNew, Shows::kPlot, plots::PlotModeNumber(plots::PlotMode::kResponse), ""},
        {resources::kIdFileOpen, Shows::kFileDialog, 0, ""},
        {resources::kIdFileSave, Shows::kFileDialog, 0, "Untitled.vantrel"},
        {resources::kIdFileSaveAs, Shows::kFileDialog, 0, "Untitled.vantrel"},
        // A recent design that is gone: the message that it cannot be opened.
        {resources::kIdRecentFirst, Shows::kMessage, 0, ""},
    };
    for (const RouteCase& c : cases) {
        support::ScriptedWindow window;
        platform::ScriptedHost& host = window.host;
        host.SetRecentFiles({"/nonexistent-folder-of-the-test/gone.vantrel"});
        host.AnswerDialog(platform::DialogAnswer::Cancel());
        host.AnswerFileDialog(std::nullopt);
        window.view.m_nPlotMode = plots::PlotModeNumber(plots::PlotMode::kWaves); // a plot command changes it
        ASSERT_TRUE(window.Press(c.id)) << c.id;
        switch (c.shows) {
        case Shows::kDialog:
            ASSERT_EQ(host.Dialogs().size(), 1u) << c.id;
            EXPECT_EQ(host.Dialogs()[0].templateId, c.what) << c.id;
            break;
        case Shows::kWarning:
            ASSERT_EQ(host.Warnings().size(), 1u) << c.id;
            EXPECT_EQ(host.Warnings()[0].templateId, c.what) << c.id;
            break;
        case Shows::kMessage:
            EXPECT_EQ(host.Messages().size(), 1u) << c.id;
            break;
        case Shows::kFileDialog:
            ASSERT_EQ(host.FileDialogs().size(), 1u) << c.id;
            EXPECT_EQ(host.FileDialogs()[0].fileName, c.text) << c.id;
            break;
        case Shows::kPlot:
            EXPECT_EQ(host.Drawings().size(), 1u) << c.id;
            EXPECT_EQ(window.view.m_nPlotMode, c.what) << c.id;
            break;
        }
        if (c.shows != Shows::kDialog) {
            EXPECT_TRUE(host.Dialogs().empty()) << c.id;
        }
        if (c.shows != Shows::kFileDialog) {
            EXPECT_TRUE(host.FileDialogs().empty()) << c.id;
        }
        // Every command leaves the title naming the design.
        ASSERT_FALSE(host.Titles().empty()) << c.id;
        EXPECT_EQ(host.Titles().back().rfind("Untitled", 0), 0u) << c.id;
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
