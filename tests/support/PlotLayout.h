// What every plot's text must satisfy on screen, in whatever font a context measures: each
// label's visible characters lie inside the plot control, and no two labels cover each other.
// Shared by the recorder's layout test and the Qt one (which measures with the real fonts).
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/OlvexDoc.h"
#include "app/PlotCommands.h"
#include "platform/DrawContext.h"
#include "plots/AnalysisPlot.h"
#include "plots/PlotConventions.h"
#include "plots/PlotGeometry.h"

namespace plot_layout {

struct PlacedText {
    platform::Point at;
    std::string text;
    platform::LogicalFont font;
};

struct LayoutCase {
    plots::PlotMode mode = plots::PlotMode::kResponse;
    int zoom = 0;         // the mode's 1x / 10x choice
    int start = 0;        // the mode's start slider
    double fs = 1000.0;   // wide frequency and time labels at large fs
    double range = 100.0; // gain range (mode 0), magnitude ranges (modes 1, 2)
    bool aboveNyquist = false;
    int taps = 90; // more than 100: the delay note
    bool quantize = false;
    bool noDesign = false;

    std::string Name() const {
        return "mode " + std::to_string(plots::PlotModeNumber(mode)) + " zoom " +
               std::to_string(zoom) + " start " + std::to_string(start) + " fs " +
               std::to_string(fs) + " range " + std::to_string(range) +
               (aboveNyquist ? " above Nyquist" : "") + " taps " + std::to_string(taps) +
               (quantize ? " quantized" : "") + (noDesign ? " no design" : "");
    }
};

// Every mode at both zooms and the slider's ends and middle, each with the widest labels the
// settings give: large fs, wide ranges, the Nyquist message with the delay note, the caption.
inline std::vector<LayoutCase> LayoutCases() {
    std::vector<LayoutCase> cases;
    for (plots::PlotMode mode :
         {plots::PlotMode::kResponse, plots::PlotMode::kSpectra, plots::PlotMode::kWaves,
          plots::PlotMode::kGroupDelay, plots::PlotMode::kPoleZero, plots::PlotMode::kImpulse,
          plots::PlotMode::kStep}) {
        for (int zoom : {0, 1}) {
            for (int start : {0, 50, 100}) {
                LayoutCase c{mode, zoom, start};
                cases.push_back(c);
                c.fs = 1.0e6;
                c.range = 9999.0;
                c.aboveNyquist = true;
                c.taps = 120;
                c.quantize = true;
                cases.push_back(c);
                c.fs = 8000.0;
                c.range = 0.5;
                c.aboveNyquist = false;
                c.quantize = false;
                c.noDesign = true;
                cases.push_back(c);
            }
        }
    }
    return cases;
}

// A designed 31-tap low-pass filter with the case's display settings; no filter at all for a
// case without a design (the hint shows only while there is nothing to show).
inline void Configure(COlvexDoc& doc, const LayoutCase& c) {
    doc.m_nTaps = 31;
    if (!c.noDesign) {
        doc.DesignFir(0);
    }
    doc.m_nTaps = c.taps;
    doc.m_fs = c.fs;
    doc.m_nRespFreqZoom = doc.m_nFftFreqZoom = doc.m_nWaveTimeZoom = c.zoom;
    doc.m_nRespStartPos = doc.m_nFftStartPos = doc.m_nWaveStartPos = c.start;
    doc.m_dGainRange = doc.m_dFftMagRange = doc.m_dWaveMagRange = c.range;
    doc.m_dWaveFreq = c.aboveNyquist ? 0.75 * c.fs : 0.1 * c.fs;
    doc.m_bQuantize = c.quantize ? 1 : 0;
    doc.m_nQuantBits = 32;
}

inline void DrawCase(platform::DrawContext& dc, const LayoutCase& c) {
    COlvexDoc doc;
    Configure(doc, c);
    plots::OpenPlotSurface(dc);
    plots::DrawAnalysisPlot(dc,
                            commands::ComputePlot(doc, plots::PlotState{c.mode, false, c.noDesign}),
                            plots::Surface::kScreen);
}

// Checks the texts of one drawing. measure: a context with the drawing's mapping, whose font
// the check selects for each text in turn.
inline void ExpectReadable(platform::DrawContext& measure, const std::vector<PlacedText>& texts,
                           platform::Size surface) {
    ASSERT_GE(texts.size(), 8u);
    const platform::Mapping& mapping = measure.GetMapping();
    const platform::Point topLeft = mapping.ToLogical({0, 0});
    const platform::Point bottomRight = mapping.ToLogical({surface.cx, surface.cy});
    std::vector<plots::TextBox> boxes;
    for (const PlacedText& t : texts) {
        plots::ScopedFont font(measure, t.font);
        const plots::TextBox box = plots::InkBox(plots::MeasureWith(measure), t.at, t.text);
        EXPECT_GT(box.right, box.left) << "'" << t.text << "'";
        EXPECT_GE(box.left, topLeft.x) << "'" << t.text << "'";
        EXPECT_GE(box.top, topLeft.y) << "'" << t.text << "'";
        EXPECT_LE(box.right, bottomRight.x) << "'" << t.text << "'";
        EXPECT_LE(box.bottom, bottomRight.y) << "'" << t.text << "'";
        boxes.push_back(box);
    }
    for (size_t i = 0; i < boxes.size(); ++i) {
        for (size_t j = i + 1; j < boxes.size(); ++j) {
            // The two panels of a stacked plot write the same time or frequency labels at the
            // same place: the same text on itself is no overprint.
            if (texts[i].text == texts[j].text && texts[i].at == texts[j].at) {
                continue;
            }
            EXPECT_FALSE(boxes[i].Overlaps(boxes[j]))
                << "'" << texts[i].text << "' at " << texts[i].at.x << "," << texts[i].at.y
                << " and '" << texts[j].text << "' at " << texts[j].at.x << "," << texts[j].at.y;
        }
    }
}

} // namespace plot_layout
