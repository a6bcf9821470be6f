// The analysis commands and the Help menu played on the scripted desktop: what OK and Cancel
// store, draw and schedule, the refused display ranges, the user wave file dialog, the FIR/IIR
// choice a redraw follows, and the print-out of the waves. (Paint and Refresh View on their own
// are played in ViewTest.)
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "app/OlvexDoc.h"
#include "app/PlotCommands.h"
#include "app/ui/OlvexView.h"
#include "platform/scripted/RecordingDrawContext.h"
#include "platform/scripted/ScriptedHost.h"
#include "plots/AnalysisPlot.h"
#include "plots/PlotConventions.h"
#include "plots/SpectrumPlot.h"
#include "plots/WavePlot.h"
#include "plots/ui/AnalysisDialogs.h"
#include "resources/AnalysisResources.h"
#include "resources/Resources.h"
#include "tests/support/ScriptedWindow.h"

namespace {

using platform::DialogAnswer;
using platform::RecordedLine;

struct CommandFixture : support::ScriptedWindowTest {
    CommandFixture() {
        host.TickTimer(); // the first plot, so each test starts from an idle timer
    }
    size_t Drawn() const { return host.Drawings().size(); }
    std::vector<RecordedLine> Red(const platform::Drawing& d) const {
        std::vector<RecordedLine> lines;
        for (const RecordedLine& line : d.lines) {
            if (line.pen == plots::kRedTracePen) {
                lines.push_back(line);
            }
        }
        return lines;
    }
};

struct CommandCase {
    int command;
    int templateId;
    int plotMode;
    int rangeEdit;
    double COlvexDoc::*range;
};
const CommandCase kCommands[] = {
    {resources::kIdcFResponse, resources::kIddFreqResponse,
     plots::PlotModeNumber(plots::PlotMode::kResponse), resources::kIdcGainRange,
     &COlvexDoc::m_dGainRange},
    {resources::kIdcInOutWave, resources::kIddInOutWave,
     plots::PlotModeNumber(plots::PlotMode::kWaves), resources::kIdcMagnitudeRange,
     &COlvexDoc::m_dWaveMagRange},
    {resources::kIdcFftAnalysis, resources::kIddFftResult,
     plots::PlotModeNumber(plots::PlotMode::kSpectra), resources::kIdcMagnitudeRange,
     &COlvexDoc::m_dFftMagRange},
};

TEST_F(CommandFixture, OkStoresDrawsAtOnceAndStartsTheTimer) {
    for (const CommandCase& c : kCommands) {
        view.m_nPlotMode = -1;
        const size_t before = Drawn();
        host.AnswerDialog(DialogAnswer::Ok(c.templateId)
                              .Radio(resources::kIdcZoom10x)
                              .Slider(resources::kIdcStartSlider, 40));
        ASSERT_TRUE(view.OnCommand(c.command));
        SCOPED_TRACE(c.command);
        EXPECT_EQ(host.Dialogs().back().result, platform::kIdOk);
        EXPECT_EQ(view.m_nPlotMode, c.plotMode);
        EXPECT_EQ(Drawn(), before + 1) << "the command draws its plot at once";
        EXPECT_TRUE(host.Drawings().back()->released);
        EXPECT_FALSE(host.Drawings().back()->lines.empty());
        EXPECT_TRUE(host.Invalidations().back()) << "the view is invalidated with erase";
        EXPECT_EQ(host.TimerPeriod(platform::kViewTimerId), 50);
        EXPECT_EQ(view.m_bTimerDone, 0);
        // The command drew but the delayed redraw is still due, and it runs once.
        EXPECT_EQ(view.m_bRedrawPending, 1);
        host.TickTimer();
        host.TickTimer();
        EXPECT_EQ(Drawn(), before + 2);
        EXPECT_EQ(view.m_bRedrawPending, 0);
        EXPECT_EQ(host.TimerPeriod(platform::kViewTimerId), 1000);
    }
    EXPECT_EQ(doc.m_nRespFreqZoom, 1);
    EXPECT_EQ(doc.m_nRespStartPos, 40);
    EXPECT_EQ(doc.m_nWaveTimeZoom, 1);
    EXPECT_EQ(doc.m_nWaveStartPos, 40);
    EXPECT_EQ(doc.m_nFftFreqZoom, 1);
    EXPECT_EQ(doc.m_nFftStartPos, 40);
}

TEST_F(CommandFixture, CancelStoresNothingAndStillStartsTheTimer) {
    for (const CommandCase& c : kCommands) {
        const COlvexDoc saved = doc;
        view.m_nPlotMode = 7;
        const size_t before = Drawn();
        // The user changes every kind of control, then cancels.
        host.AnswerDialog(DialogAnswer::Cancel(c.templateId)
                              .Text(c.rangeEdit, "75")
                              .Radio(resources::kIdcZoom10x)
                              .Slider(resources::kIdcStartSlider, 80));
        view.OnCommand(c.command);
        SCOPED_TRACE(c.command);
        EXPECT_EQ(Drawn(), before);
        EXPECT_EQ(view.m_nPlotMode, 7);
        EXPECT_EQ(doc.*c.range, saved.*c.range);
        EXPECT_EQ(doc.m_nRespFreqZoom + doc.m_nWaveTimeZoom + doc.m_nFftFreqZoom, 0);
        EXPECT_EQ(doc.m_nRespStartPos + doc.m_nWaveStartPos + doc.m_nFftStartPos, 0);
        EXPECT_EQ(host.TimerPeriod(platform::kViewTimerId), 50);
        EXPECT_EQ(view.m_bTimerDone, 0);
        host.TickTimer();
        EXPECT_EQ(Drawn(), before + 1);
    }
}

const char* const kRangeMessage = "Please enter a number above 0 and at most 1000000.";

// A range is refused at 0 and below and above a million (axis labels wider than the plot); a
// million itself is still drawn.
TEST_F(CommandFixture, RangesOutsideZeroToAMillionAreRefusedAndTheOldValueKept) {
    for (const CommandCase& c : kCommands) {
        const double before = doc.*c.range;
        SCOPED_TRACE(c.command);
        // Two refused entries keep the dialog open; Cancel then keeps the old range.
        host.AnswerDialog(DialogAnswer::Ok(c.templateId).Text(c.rangeEdit, "0"));
        host.AnswerDialog(DialogAnswer::Ok(c.templateId).Text(c.rangeEdit, "-20"));
        host.AnswerDialog(DialogAnswer::Cancel(c.templateId));
        view.OnCommand(c.command);
        EXPECT_EQ(host.Dialogs().back().failedChecks,
                  (std::vector<std::string>{kRangeMessage, kRangeMessage}));
        EXPECT_EQ(doc.*c.range, before);
        // A refused entry, then a good one: the good one is stored and drawn.
        host.AnswerDialog(DialogAnswer::Ok(c.templateId).Text(c.rangeEdit, "-1e-9"));
        host.AnswerDialog(DialogAnswer::Ok(c.templateId).Text(c.rangeEdit, "12.5"));
        const size_t drawn = Drawn();
        view.OnCommand(c.command);
        EXPECT_EQ(host.Dialogs().back().result, platform::kIdOk);
        EXPECT_EQ(doc.*c.range, 12.5);
        EXPECT_EQ(Drawn(), drawn + 1);
        // Above a million, then a million.
        host.AnswerDialog(DialogAnswer::Ok(c.templateId).Text(c.rangeEdit, "1e300"));
        host.AnswerDialog(DialogAnswer::Ok(c.templateId).Text(c.rangeEdit, "1000000.1"));
        host.AnswerDialog(DialogAnswer::Ok(c.templateId).Text(c.rangeEdit, "1e6"));
        view.OnCommand(c.command);
        EXPECT_EQ(host.Dialogs().back().failedChecks,
                  (std::vector<std::string>{kRangeMessage, kRangeMessage}));
        EXPECT_EQ(doc.*c.range, 1e6);
        EXPECT_EQ(Drawn(), drawn + 2);
    }
    EXPECT_EQ(host.UnansweredDialogs(), 0);
}

TEST_F(CommandFixture, DialogsOpenWithTheDocumentValues) {
    doc.m_dGainRange = 60.0;
    doc.m_nRespFreqZoom = 1;
    doc.m_nRespStartPos = 30;
    host.AnswerDialog(DialogAnswer::Cancel(resources::kIddFreqResponse));
    view.OnCommand(resources::kIdcFResponse);
    const platform::ShownDialog& shown = host.Dialogs().back();
    EXPECT_EQ(shown.title, "Frequency Response");
    EXPECT_EQ(shown.opened.GetText(resources::kIdcGainRange), "60");
    EXPECT_EQ(shown.opened.GetCheck(resources::kIdcZoom10x), 1);
    EXPECT_EQ(shown.opened.GetCheck(resources::kIdcZoom1x), 0);
    EXPECT_EQ(shown.opened.GetSliderPos(resources::kIdcStartSlider), 30);
}

TEST_F(CommandFixture, SpectraFollowTheStructureLastReadFromTheForm) {
    doc.m_nTaps = 31; // a FIR design and an IIR design that filter the wave differently
    doc.DesignFir(0);
    ASSERT_TRUE(doc.DesignIir());
    const auto outputCurve = [this](int firIir) {
        COlvexDoc copy = doc;
        const plots::PlotData data = commands::ComputePlot(
            copy, plots::PlotState{plots::PlotMode::kSpectra, firIir == 1, false});
        auto drawing = std::make_shared<platform::Drawing>();
        {
            platform::RecordingDrawContext dc(drawing);
            plots::DrawSpectrum(dc, 7, 135, data.outputSpectrum, false, data.spectrum);
        }
        return Red(*drawing);
    };
    const auto iirCurve = outputCurve(1);
    const auto firCurve = outputCurve(0);
    const auto y = [](const std::vector<RecordedLine>& lines) {
        std::vector<int> ys;
        for (const RecordedLine& line : lines) {
            ys.push_back(line.from.y);
        }
        return ys;
    };
    ASSERT_NE(y(iirCurve), y(firCurve));

    host.ClickFormRadio(resources::kIdcIir);
    host.AnswerDialog(DialogAnswer::Ok(resources::kIddFftResult));
    view.OnCommand(resources::kIdcFftAnalysis);
    host.ClickFormRadio(resources::kIdcFir); // shown on the form, not read yet
    view.OnCommand(resources::kIdcRefreshView);
    for (const auto& drawing : {host.Drawings().end()[-2], host.Drawings().back()}) {
        const auto red = Red(*drawing);
        ASSERT_EQ(red.size(), 2 * iirCurve.size());
        const std::vector<RecordedLine> output(red.begin() + static_cast<long>(iirCurve.size()),
                                               red.end());
        EXPECT_EQ(y(output), y(iirCurve));
    }
}

struct TempFile {
    support::ScratchFolder folder{"wave"};
    std::filesystem::path path =
        folder /
        (std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".txt");
    explicit TempFile(const std::string& text) { std::ofstream(path) << text; }
};

TEST_F(CommandFixture, UserWaveIsAskedForOnlyWhenSwitchedOn) {
    TempFile file("1.234\n120\n-32.1\n1.4e-2\n-3.5e1\n");
    const auto okWithUserWave = [](int check) {
        return DialogAnswer::Ok(resources::kIddInOutWave).Check(resources::kIdcUseUserWave, check);
    };
    // Switched on: the open dialog comes up and the file is read.
    host.AnswerDialog(okWithUserWave(1));
    host.AnswerFileDialog(file.path.string());
    view.OnCommand(resources::kIdcInOutWave);
    ASSERT_EQ(host.FileDialogs().size(), 1u);
    const platform::FileDialogRequest& request = host.FileDialogs()[0];
    EXPECT_TRUE(request.open);
    EXPECT_EQ(request.fileName, "*.*");
    EXPECT_EQ(request.filter, "");
    EXPECT_EQ(request.flags, platform::kOfnHideReadOnly | platform::kOfnOverwritePrompt);
    EXPECT_EQ(doc.m_bUseUserWave, 1);
    EXPECT_EQ(doc.m_aWaveIn[0], static_cast<double>(1.234f));
    EXPECT_EQ(doc.m_aWaveIn[2], static_cast<double>(-32.1f));
    EXPECT_EQ(doc.m_aWaveIn[4], -35.0);
    EXPECT_EQ(doc.m_aWaveIn[5], 0.0);
    // Still on: no dialog, the wave stays even with another frequency.
    host.AnswerDialog(okWithUserWave(1).Text(resources::kIdcWaveFreq, "37"));
    view.OnCommand(resources::kIdcInOutWave);
    EXPECT_EQ(host.FileDialogs().size(), 1u);
    EXPECT_EQ(doc.m_aWaveIn[1], 120.0);
    // Off, then on again with the file dialog cancelled: the box stays on, the wave as it was.
    host.AnswerDialog(okWithUserWave(0));
    view.OnCommand(resources::kIdcInOutWave);
    EXPECT_EQ(doc.m_bUseUserWave, 0);
    doc.m_aWaveIn[0] = 9.0; // as the generated wave would leave it
    host.AnswerDialog(okWithUserWave(1));
    host.AnswerFileDialog(std::nullopt);
    view.OnCommand(resources::kIdcInOutWave);
    EXPECT_EQ(host.FileDialogs().size(), 2u);
    EXPECT_EQ(doc.m_bUseUserWave, 1);
    EXPECT_EQ(doc.m_aWaveIn[0], 9.0);
    // A file that cannot be opened, or gives no value, is refused: the box goes off again, the
    // generated wave in use before stays, and the next OK with the box ticked asks again.
    TempFile noValue("abc 1 2\n");
    for (const std::string& refused :
         {(file.path.parent_path() / "no-such-dir" / "wave.txt").string(), noValue.path.string()}) {
        SCOPED_TRACE(refused);
        host.AnswerDialog(okWithUserWave(0));
        view.OnCommand(resources::kIdcInOutWave);
        EXPECT_EQ(doc.m_aWaveIn[0], 0.0) << "switched off, the sine is generated again";
        const std::vector<double> generated(std::begin(doc.m_aWaveIn), std::end(doc.m_aWaveIn));
        const size_t asked = host.FileDialogs().size();
        host.AnswerDialog(okWithUserWave(1));
        host.AnswerFileDialog(refused);
        view.OnCommand(resources::kIdcInOutWave);
        EXPECT_EQ(doc.m_bUseUserWave, 0);
        EXPECT_EQ(std::vector<double>(std::begin(doc.m_aWaveIn), std::end(doc.m_aWaveIn)),
                  generated);
        host.AnswerDialog(okWithUserWave(1));
        host.AnswerFileDialog(file.path.string());
        view.OnCommand(resources::kIdcInOutWave);
        EXPECT_EQ(host.FileDialogs().size(), asked + 2) << "OK asks for a file again";
        EXPECT_EQ(doc.m_bUseUserWave, 1);
        EXPECT_EQ(doc.m_aWaveIn[1], 120.0);
        EXPECT_EQ(host.UnansweredDialogs(), 0);
    }
}

// Beside a user wave the sine frequency is unused: whatever is left in its edit is neither checked
// nor blanks the plot with the Nyquist message; a usable entry is still kept for the sine.
TEST_F(CommandFixture, UserWaveLeavesTheSineFrequencyUnchecked) {
    TempFile file("1.5\n-2\n3\n");
    const auto hasText = [](const platform::Drawing& d, const std::string& text) {
        for (const platform::RecordedText& t : d.texts) {
            if (t.text == text) {
                return true;
            }
        }
        return false;
    };
    const auto answer = [](int userWave, const char* freq) {
        return DialogAnswer::Ok(resources::kIddInOutWave)
            .Check(resources::kIdcUseUserWave, userWave)
            .Text(resources::kIdcWaveFreq, freq);
    };
    const struct {
        int userWave;
        const char* freq;
        double stored; // m_dWaveFreq afterwards
        bool nyquist;  // the plot shows the Nyquist message instead of the waves
    } steps[] = {
        {1, "5000", 5000.0, false},  // above fs/2 = 500: the user wave is drawn all the same
        {1, "abc", 5000.0, false},   // not a number: not taken, not refused
        {1, "1e308", 5000.0, false}, // out of range: not taken, not refused
        {0, "5000", 5000.0, true},   // the sine is used again: the message stands
    };
    bool first = true;
    for (const auto& step : steps) {
        SCOPED_TRACE(step.freq);
        host.AnswerDialog(answer(step.userWave, step.freq));
        if (first) {
            host.AnswerFileDialog(file.path.string());
            first = false;
        }
        view.OnCommand(resources::kIdcInOutWave);
        EXPECT_TRUE(host.Dialogs().back().failedChecks.empty());
        EXPECT_EQ(host.Dialogs().back().result, platform::kIdOk);
        EXPECT_EQ(doc.m_dWaveFreq, step.stored);
        EXPECT_EQ(hasText(*host.Drawings().back(), plots::kNyquistMessage), step.nyquist);
        // The two wave curves (the context's own pen, 98 segments a panel), or neither.
        size_t curve = 0;
        for (const RecordedLine& line : host.Drawings().back()->lines) {
            curve += line.pen == platform::PenSpec{} ? 1 : 0;
        }
        EXPECT_EQ(curve >= 2 * 98, !step.nyquist) << curve;
    }
    // With the sine in use the frequency is checked again.
    host.AnswerDialog(answer(0, "abc"));
    host.AnswerDialog(DialogAnswer::Cancel(resources::kIddInOutWave));
    view.OnCommand(resources::kIdcInOutWave);
    EXPECT_EQ(host.Dialogs().back().failedChecks,
              std::vector<std::string>{"Please enter a number."});
    EXPECT_EQ(host.UnansweredDialogs(), 0);
}

TEST_F(CommandFixture, HelpDialogsRestartTheTimerWhenClosed) {
    const struct {
        int command;
        int templateId;
        const char* title;
    } cases[] = {
        {resources::kIdUserWave, resources::kIddUserWaveHelp, "User Wave"},
        {resources::kIdOnlineHelp, resources::kIddOnlineHelp, "Online Help"},
        {resources::kIdUserCoeffsFormat, resources::kIddUserCoeffsFormat, "User Coeffs Format"},
        {resources::kIdAppAbout, resources::kIddAbout, "About pelmix1.exe"},
    };
    for (const auto& c : cases) {
        ASSERT_EQ(view.m_bTimerDone, 1);
        const size_t drawn = Drawn();
        host.AnswerDialog(DialogAnswer::Ok(c.templateId));
        EXPECT_TRUE(view.OnCommand(c.command));
        EXPECT_EQ(host.Dialogs().back().title, c.title);
        EXPECT_EQ(Drawn(), drawn) << "nothing is drawn at once";
        EXPECT_EQ(view.m_bTimerDone, 0);
        EXPECT_EQ(host.TimerPeriod(platform::kViewTimerId), 50);
        host.TickTimer();
        EXPECT_EQ(Drawn(), drawn + 1) << c.title;
    }
}

TEST_F(CommandFixture, WavesPrintAtTheirScreenPositionsUnderTheWebAddress) {
    doc.m_nTaps = 31;
    doc.DesignFir(0);
    view.m_nPlotMode = plots::PlotModeNumber(plots::PlotMode::kWaves);
    view.RedrawPlot();
    host.Print(platform::PrintKind::kPreview,
               [this](platform::DrawContext& dc) { view.OnPrint(dc); });
    const platform::Drawing& screen = *host.Drawings().back();
    const platform::Drawing& paper = *host.PrintJobs().back().page;
    ASSERT_EQ(screen.lines.size(), paper.lines.size());
    for (size_t i = 0; i < screen.lines.size(); ++i) {
        ASSERT_EQ(screen.lines[i].from, paper.lines[i].from) << i;
    }
    EXPECT_EQ(paper.texts.back().text, resources::kWebAddress);
    EXPECT_EQ(paper.texts.back().at, (platform::Point{20, 5}));
    EXPECT_EQ(paper.leakedPens + paper.leakedFonts, 0);
}

} // namespace
