// The split between computing a plot and drawing it: the plot modes' stored numbers and
// command-line words, the document left as the window's redraw always left it, and drawings that
// read only their values (the same drawing twice, the document untouched).
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "app/OlvexDoc.h"
#include "app/PlotCommands.h"
#include "app/SessionState.h"
#include "app/ViewCommands.h"
#include "platform/scripted/RecordingDrawContext.h"
#include "plots/AnalysisPlot.h"
#include "plots/PlotMode.h"

namespace {

using plots::PlotMode;

constexpr PlotMode kAllModes[] = {PlotMode::kResponse,   PlotMode::kSpectra,  PlotMode::kWaves,
                                  PlotMode::kGroupDelay, PlotMode::kPoleZero, PlotMode::kImpulse,
                                  PlotMode::kStep};

TEST(PlotModes, StoredNumbersAndWordsNameEachModeOnce) {
    // The numbers are those of saved design files; the words those of --plot and --table.
    const struct {
        PlotMode mode;
        int number;
        const char* word;
        bool filterView;
    } cases[] = {
        {PlotMode::kResponse, 0, "response", false}, {PlotMode::kSpectra, 1, "spectrum", false},
        {PlotMode::kWaves, 2, "waves", false},       {PlotMode::kGroupDelay, 3, "groupdelay", true},
        {PlotMode::kPoleZero, 4, "polezero", true},  {PlotMode::kImpulse, 5, "impulse", true},
        {PlotMode::kStep, 6, "step", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.word);
        EXPECT_EQ(plots::PlotModeNumber(c.mode), c.number);
        EXPECT_EQ(plots::PlotModeOfNumber(c.number), c.mode);
        EXPECT_EQ(plots::PlotModeWord(c.mode), c.word);
        EXPECT_EQ(plots::PlotModeOfWord(c.word), c.mode);
        EXPECT_EQ(plots::IsFilterView(c.mode), c.filterView);
        // --table takes the filter views' words only.
        PlotMode view = PlotMode::kResponse;
        EXPECT_EQ(commands::FilterViewOf(c.word, view), c.filterView);
        if (c.filterView) {
            EXPECT_EQ(view, c.mode);
        }
    }
    for (int number : {-1, 7, 100}) {
        EXPECT_FALSE(plots::PlotModeOfNumber(number).has_value()) << number;
    }
    for (const char* word : {"", "Response", "spectra", "wave", "pole-zero"}) {
        EXPECT_FALSE(plots::PlotModeOfWord(word).has_value()) << word;
        PlotMode view = PlotMode::kResponse;
        EXPECT_FALSE(commands::FilterViewOf(word, view)) << word;
    }
}

// A quantized IIR design with the hardware shown: every mode has something to draw.
COlvexDoc QuantizedIir() {
    COlvexDoc doc;
    doc.m_nIirSections = 4;
    EXPECT_TRUE(doc.DesignIir());
    doc.m_bQuantize = 1;
    doc.m_nQuantBits = 12;
    return doc;
}

std::string Describe(const platform::Drawing& d) {
    std::ostringstream out;
    for (const platform::RecordedLine& l : d.lines) {
        out << l.from.x << ',' << l.from.y << '-' << l.to.x << ',' << l.to.y << ' '
            << static_cast<int>(l.pen.style) << ' ' << int{l.pen.color.r} << ' '
            << int{l.pen.color.g} << ' ' << int{l.pen.color.b} << '\n';
    }
    for (const platform::RecordedText& t : d.texts) {
        out << t.at.x << ',' << t.at.y << ' ' << t.text << ' ' << int{t.color.r} << '\n';
    }
    return out.str();
}

std::string Draw(const plots::PlotData& data, plots::Surface surface) {
    auto drawing = std::make_shared<platform::Drawing>();
    {
        platform::RecordingDrawContext dc(drawing);
        if (surface == plots::Surface::kPrint) {
            plots::DrawPrintPage(dc, data);
        } else {
            plots::DrawAnalysisPlot(dc, data, surface);
        }
    }
    EXPECT_EQ(drawing->leakedPens + drawing->leakedFonts, 0);
    return Describe(*drawing);
}

template <typename T, std::size_t N> std::vector<double> Held(const T (&array)[N]) {
    return {std::begin(array), std::end(array)};
}

TEST(PlotData, DrawingReadsOnlyItsValues) {
    for (PlotMode mode : kAllModes) {
        SCOPED_TRACE(plots::PlotModeWord(mode));
        COlvexDoc doc = QuantizedIir();
        const plots::PlotData data =
            commands::ComputePlot(doc, plots::PlotState{mode, true, false, true});
        const COlvexDoc computed = doc;
        for (plots::Surface surface : {plots::Surface::kScreen, plots::Surface::kPrint}) {
            const std::string first = Draw(data, surface);
            EXPECT_GT(first.size(), 200u);
            EXPECT_EQ(Draw(data, surface), first);
        }
        // The document stays as the computation left it.
        EXPECT_EQ(Held(doc.m_aGainDb), Held(computed.m_aGainDb));
        EXPECT_EQ(Held(doc.m_aWaveIn), Held(computed.m_aWaveIn));
        EXPECT_EQ(Held(doc.m_aWaveOut), Held(computed.m_aWaveOut));
        EXPECT_EQ(Held(doc.m_aFftMag), Held(computed.m_aFftMag));
    }
}

TEST(PlotData, TheDocumentHoldsWhatTheRedrawComputed) {
    COlvexDoc doc = QuantizedIir();
    const plots::PlotState iir{PlotMode::kResponse, true, false, true};

    plots::PlotData data = commands::ComputePlot(doc, iir);
    EXPECT_EQ(data.response.gainDb, Held(doc.m_aGainDb));
    EXPECT_EQ(data.response.phase, Held(doc.m_aPhase));
    EXPECT_FALSE(data.idealGain.empty()); // quantized: the ideal gain under it

    // One spectrum array in the document: after the spectra it holds the output's.
    data = commands::ComputePlot(doc, {PlotMode::kSpectra, true, false, true});
    EXPECT_EQ(data.outputSpectrum, Held(doc.m_aFftMag));
    EXPECT_NE(data.inputSpectrum, data.outputSpectrum);
    doc.FftSpectrum(doc.m_aWaveIn);
    EXPECT_EQ(data.inputSpectrum, Held(doc.m_aFftMag));

    data = commands::ComputePlot(doc, {PlotMode::kWaves, true, false, true});
    EXPECT_EQ(data.waveIn, Held(doc.m_aWaveIn));
    EXPECT_EQ(data.waveOut, Held(doc.m_aWaveOut));
    ASSERT_TRUE(data.hardware.has_value());
    EXPECT_EQ(data.hardware->legend.dataBits, doc.m_nDataBits);
    // Without quantization no hardware output, and the wave plot says why.
    doc.m_bQuantize = 0;
    data = commands::ComputePlot(doc, {PlotMode::kWaves, true, false, true});
    EXPECT_FALSE(data.hardware.has_value());
    EXPECT_NE(Draw(data, plots::Surface::kScreen).find(plots::kHardwareNeedsQuantizeNote),
              std::string::npos);

    // A stored mode that names no plot computes and draws nothing.
    commands::SessionState session;
    session.m_nPlotMode = 7;
    const COlvexDoc before = doc;
    data = commands::ComputePlot(doc, session);
    EXPECT_FALSE(data.drawn);
    EXPECT_EQ(Draw(data, plots::Surface::kScreen), "");
    EXPECT_EQ(Held(doc.m_aFftMag), Held(before.m_aFftMag));
}

} // namespace
