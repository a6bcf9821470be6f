// The window side of the hardware checks on the scripted desktop: the Coefficients dialog's
// "Advise..." button, the hardware output over the In/Out Wave plot with its legend (placed
// clear of every other label), the overflow message in the status bar, and the measurement
// summary after Design and Coefficients.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/AnalysisCommands.h"
#include "app/CoefficientsCommands.h"
#include "app/MeasureCommands.h"
#include "app/OlvexDoc.h"
#include "app/PlotCommands.h"
#include "app/VhdlCommands.h"
#include "app/ui/OlvexView.h"
#include "coeffs/ui/CoeffDialog.h"
#include "dsp/Measure.h"
#include "dsp/MeasureReport.h"
#include "platform/scripted/RecordingDrawContext.h"
#include "platform/scripted/ScriptedHost.h"
#include "plots/HardwareWavePlot.h"
#include "resources/AnalysisResources.h"
#include "resources/Resources.h"
#include "tests/support/PlotLayout.h"
#include "tests/support/ScriptedWindow.h"
#include "vhdl/HardwareWave.h"

namespace {

using platform::DialogAnswer;

struct HardwareWindowFixture : support::ScriptedWindowTest {
    void DesignDefault(bool iir) {
        host.ClickFormRadio(iir ? resources::kIdcIir : resources::kIdcFir);
        host.AnswerDialog(DialogAnswer::Ok());
        view.OnCommand(resources::kIdcDesign);
    }
    void Coefficients(const DialogAnswer& answer) {
        host.AnswerDialog(answer);
        view.OnCommand(resources::kIdcCoefficients);
        ASSERT_EQ(host.UnansweredDialogs(), 0);
    }
    void Quantize(int bits) {
        Coefficients(DialogAnswer::Ok()
                         .Check(coeffs::kIdcQuantize, 1)
                         .Text(coeffs::kIdcQuantBits, std::to_string(bits)));
    }
    // In/Out Wave with the given wave type radio and the hardware check box.
    void Waves(int waveRadio, double freq, int showHardware) {
        host.AnswerDialog(DialogAnswer::Ok(resources::kIddInOutWave)
                              .Radio(waveRadio)
                              .Text(resources::kIdcWaveFreq, std::to_string(freq))
                              .Check(resources::kIdcShowHardware, showHardware));
        view.OnCommand(resources::kIdcInOutWave);
        ASSERT_EQ(host.UnansweredDialogs(), 0);
    }
    const platform::Drawing& LastDrawing() { return *host.Drawings().back(); }
};

std::vector<platform::RecordedLine> LinesIn(const platform::Drawing& d,
                                            const platform::PenSpec& pen) {
    std::vector<platform::RecordedLine> lines;
    for (const platform::RecordedLine& line : d.lines) {
        if (line.pen == pen) {
            lines.push_back(line);
        }
    }
    return lines;
}

bool HasText(const platform::Drawing& d, const std::string& text) {
    for (const platform::RecordedText& t : d.texts) {
        if (t.text == text) {
            return true;
        }
    }
    return false;
}

// ---- Advise... ---------------------------------------------------------------------------------

TEST_F(HardwareWindowFixture, AdviseFillsTheBitLengthAndShowsEveryCandidate) {
    for (const bool iir : {false, true}) {
        SCOPED_TRACE(iir ? "IIR" : "FIR");
        DesignDefault(iir);
        const dsp::BitAdvice advice =
            commands::AdviseDocumentBits(doc, iir, dsp::kDefaultToleranceDb);
        ASSERT_GT(advice.bits, 0);
        Coefficients(DialogAnswer::Ok(coeffs::kIddCoefficients).Press(coeffs::kIdcAdvise));
        // OK took the advised length and switched quantization on.
        EXPECT_EQ(doc.m_bQuantize, 1);
        EXPECT_EQ(doc.m_nQuantBits, advice.bits);
        const platform::ShownDialog& shown = host.Dialogs().back();
        EXPECT_EQ(shown.result, platform::kIdOk);
        const std::string table = shown.closed.GetText(coeffs::kIdcAdviceTable);
        EXPECT_EQ(table, dsp::AdviceText(advice, dsp::kDefaultToleranceDb, "\r\n"));
        // The design's own stop-band maximum and pass ripple, then one row per candidate with
        // its bit length, both values and its mark; the marks follow from the printed numbers:
        // "ok" within the tolerance of the design's values, "misses" beyond it.
        double designStop = 0.0;
        double designRipple = 0.0;
        const size_t designRow = table.find("\r\n   -  ");
        ASSERT_NE(designRow, std::string::npos) << table;
        ASSERT_EQ(
            std::sscanf(table.c_str() + designRow, " - %lf %lf design", &designStop, &designRipple),
            2);
        int misses = 0;
        for (const dsp::BitCandidate& c : advice.candidates) {
            SCOPED_TRACE(c.bits);
            const size_t row = table.find("\r\n" + std::string(c.bits < 10 ? "   " : "  ") +
                                          std::to_string(c.bits) + "  ");
            ASSERT_NE(row, std::string::npos);
            int bits = 0;
            double stop = 0.0;
            double ripple = 0.0;
            char mark[16] = "";
            ASSERT_GE(
                std::sscanf(table.c_str() + row, "%d %lf %lf %15s", &bits, &stop, &ripple, mark),
                3);
            const double slack = dsp::kDefaultToleranceDb + 0.002; // the printed rounding
            const double tight = dsp::kDefaultToleranceDb - 0.002;
            if (std::string(mark) == "ok") {
                EXPECT_LE(stop, designStop + slack);
                EXPECT_LE(ripple, designRipple + slack);
            } else if (c.stable) {
                EXPECT_EQ(std::string(mark), "misses");
                EXPECT_TRUE(stop > designStop + tight || ripple > designRipple + tight);
                ++misses;
            }
        }
        EXPECT_GT(misses, 0) << "4 bits cannot keep the default design";
    }
}

TEST_F(HardwareWindowFixture, AdviceCanBeOverriddenAndNeedsADesign) {
    // Before any design there is nothing to advise on: the fields stay as they were.
    Coefficients(DialogAnswer::Cancel().Press(coeffs::kIdcAdvise));
    EXPECT_EQ(host.Dialogs().back().closed.GetText(coeffs::kIdcAdviceTable),
              "Click 'Design' to design FIR/IIR filters");
    EXPECT_EQ(host.Dialogs().back().closed.GetText(coeffs::kIdcQuantBits),
              host.Dialogs().back().opened.GetText(coeffs::kIdcQuantBits));
    EXPECT_EQ(host.Dialogs().back().closed.GetCheck(coeffs::kIdcQuantize), 0);

    DesignDefault(false);
    // The user types over the advice before OK: the typed length is stored.
    Coefficients(DialogAnswer::Ok().Press(coeffs::kIdcAdvise).Text(coeffs::kIdcQuantBits, "20"));
    EXPECT_EQ(doc.m_nQuantBits, 20);
    // Cancel after the advice stores nothing.
    Coefficients(DialogAnswer::Cancel().Press(coeffs::kIdcAdvise));
    EXPECT_EQ(doc.m_nQuantBits, 20);
}

TEST(ScriptedPress, OnlyPushButtonsThatKeepTheDialogOpenCanBePressed) {
    support::ScriptedWindow window(support::Start::kUnstarted);
    auto& [doc, host, view] = window;
    for (const int id : {platform::kIdOk, platform::kIdCancel, coeffs::kIdcQuantize}) {
        host.AnswerDialog(DialogAnswer::Ok().Press(id));
        EXPECT_THROW(view.OnCommand(resources::kIdcCoefficients), platform::ScriptError) << id;
    }
}

// ---- Hardware output over the wave plot ------------------------------------------------------

TEST_F(HardwareWindowFixture, HardwareOutputIsDrawnOnlyWhenAskedAndQuantized) {
    DesignDefault(false);
    doc.m_nDataBits = 16;
    const int sine = resources::kIdcSineWave;
    // Asked for, but quantization is off: no hardware trace, and the plot says why. The dialog
    // names the data bit length the hardware output uses.
    Waves(sine, 50.0, 1);
    EXPECT_TRUE(LinesIn(LastDrawing(), plots::kHardwareTracePen).empty());
    EXPECT_TRUE(HasText(LastDrawing(), plots::kHardwareNeedsQuantizeNote));
    EXPECT_EQ(view.m_bShowHardwareWave, 1);
    EXPECT_EQ(host.Dialogs().back().opened.GetText(resources::kIdcHardwareBits), "Data bits: 16");

    Quantize(16);
    const platform::Drawing& shown = LastDrawing();
    EXPECT_FALSE(HasText(shown, plots::kHardwareNeedsQuantizeNote));
    const std::vector<platform::RecordedLine> hardware = LinesIn(shown, plots::kHardwareTracePen);
    // The 98 curve segments of the panel and the legend's sample line.
    ASSERT_EQ(hardware.size(), 99u);
    const vhdl::HardwareWave expected = commands::HardwareWaveOf(doc, false, 16);
    EXPECT_TRUE(HasText(shown, "Ideal"));
    EXPECT_TRUE(HasText(shown, "Hardware 16 bits"));
    EXPECT_TRUE(HasText(shown, "max. difference " +
                                   plots::FormatLabel("%.4g", expected.largestDifference)));
    // At 16 data bits the hardware follows the ideal output to within a pixel of the panel: a
    // wrong scale or a lost sample would move it off.
    EXPECT_LT(expected.largestDifference, 0.05);
    std::vector<platform::RecordedLine> ideal;
    for (const platform::RecordedLine& line : shown.lines) {
        if (line.pen == platform::PenSpec{} && line.from.y >= 140) {
            ideal.push_back(line);
        }
    }
    ASSERT_EQ(ideal.size(), 98u);
    for (size_t k = 0; k < ideal.size(); ++k) {
        EXPECT_EQ(hardware[k].from.x, ideal[k].from.x) << k;
        EXPECT_LE(std::abs(hardware[k].from.y - ideal[k].from.y), 1) << k;
    }

    // Switched off again: the plain plot.
    Waves(sine, 50.0, 0);
    EXPECT_TRUE(LinesIn(LastDrawing(), plots::kHardwareTracePen).empty());
    EXPECT_FALSE(HasText(LastDrawing(), "Ideal"));
    // Off and unquantized: nothing was asked for, nothing to explain.
    Coefficients(DialogAnswer::Ok().Check(coeffs::kIdcQuantize, 0));
    Waves(sine, 50.0, 0);
    EXPECT_FALSE(HasText(LastDrawing(), plots::kHardwareNeedsQuantizeNote));
}

TEST_F(HardwareWindowFixture, OverflowIsNamedInTheStatusBarAndTakenBack) {
    const struct {
        bool iir;
        const char* part; // the saturating part the message names
    } cases[] = {{false, "the FIR accumulator"}, {true, "section "}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.iir ? "IIR" : "FIR");
        DesignDefault(c.iir);
        Quantize(16);
        // A full-scale square wave overshoots in the filter's output (Gibbs ringing): the
        // hardware clips it.
        Waves(resources::kIdcSquareWave, 20.0, 1);
        const vhdl::HardwareWave wave = commands::HardwareWaveOf(doc, c.iir, doc.m_nDataBits);
        const std::vector<std::string> lines = vhdl::OverflowWarnings(wave, c.iir, doc.m_nDataBits);
        ASSERT_FALSE(lines.empty());
        const std::string status = host.StatusTexts().back();
        EXPECT_EQ(status.rfind("Overflow: ", 0), 0u) << status;
        EXPECT_NE(status.find(c.part), std::string::npos) << status;
        EXPECT_NE(status.find(lines.front()), std::string::npos) << status;

        // A sine in the stop band leaves the output small: the message goes, once.
        const size_t before = host.StatusTexts().size();
        Waves(resources::kIdcSineWave, 400.0, 1);
        ASSERT_EQ(host.StatusTexts().size(), before + 1);
        EXPECT_EQ(host.StatusTexts().back(), "Ready");
        host.TickTimer();
        EXPECT_EQ(host.StatusTexts().size(), before + 1);
    }
}

// Every text of the wave plot with the hardware legend lies inside the plot control and none
// covers another, with the delay note, wide magnitude labels and both zooms.
TEST(HardwareWaveLayout, LegendKeepsClearOfEveryLabel) {
    for (const int taps : {90, 120}) {
        for (const double range : {50.0, 9999.0}) {
            for (const int zoom : {0, 1}) {
                for (const double fs : {1000.0, 1.0e6}) {
                    SCOPED_TRACE("taps " + std::to_string(taps) + " range " +
                                 std::to_string(range) + " zoom " + std::to_string(zoom) + " fs " +
                                 std::to_string(fs));
                    plot_layout::LayoutCase c{plots::PlotMode::kWaves, zoom, 50, fs, range};
                    c.taps = taps;
                    c.quantize = true;
                    COlvexDoc doc;
                    plot_layout::Configure(doc, c);
                    auto drawing = std::make_shared<platform::Drawing>();
                    {
                        platform::RecordingDrawContext dc(drawing, plots::kDefaultPlotSurface);
                        plots::OpenPlotSurface(dc);
                        plots::DrawAnalysisPlot(
                            dc,
                            commands::ComputePlot(doc,
                                                  plots::PlotState{c.mode, false, false, true}),
                            plots::Surface::kScreen);
                    }
                    ASSERT_TRUE(HasText(*drawing, "Ideal"));
                    std::vector<plot_layout::PlacedText> texts;
                    for (const platform::RecordedText& t : drawing->texts) {
                        texts.push_back({t.at, t.text, t.font});
                    }
                    platform::RecordingDrawContext measure(std::make_shared<platform::Drawing>(),
                                                           plots::kDefaultPlotSurface);
                    plots::OpenPlotSurface(measure);
                    plot_layout::ExpectReadable(measure, texts, plots::kDefaultPlotSurface);
                }
            }
        }
    }
}

// ---- Measurement summary ---------------------------------------------------------------------

TEST_F(HardwareWindowFixture, SummaryFollowsDesignAndCoefficients) {
    // Coefficients before any design: no summary.
    Coefficients(DialogAnswer::Ok());
    for (const std::string& text : host.StatusTexts()) {
        EXPECT_EQ(text.find("Measured"), std::string::npos) << text;
    }
    DesignDefault(false);
    EXPECT_EQ(host.StatusTexts().back(), "Measured: pass ripple 0.008 dB, stop max -87.181 dB");
    Quantize(12);
    EXPECT_EQ(host.StatusTexts().back(),
              "Measured: pass ripple 0.008 dB, stop max -87.181 dB; quantized to 12 bits: pass "
              "ripple " +
                  plots::FormatLabel("%.3f",
                                     [&] {
                                         const dsp::Measurements m =
                                             commands::MeasureDocument(doc, false);
                                         return m.quantized[0].maxDb - m.quantized[0].minDb;
                                     }()) +
                  " dB, stop max -45.149 dB");
}

} // namespace
