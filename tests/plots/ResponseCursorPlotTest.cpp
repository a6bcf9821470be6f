// The cursor readout over the frequency response: the sample under the mouse, its frequency and
// the gain and phase that FirResponse computed for it, for each zoom and start; nothing outside
// the grid, beside the drawn curve, in the other plots or before a design; and the status bar of
// the view as the mouse moves over the plot control.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "app/OlvexDoc.h"
#include "app/PlotCommands.h"
#include "app/ui/OlvexView.h"
#include "platform/scripted/ScriptedHost.h"
#include "plots/AnalysisPlot.h"
#include "plots/FreqResponsePlot.h"
#include "plots/PlotConventions.h"
#include "resources/Resources.h"
#include "tests/support/ScriptedWindow.h"

namespace {

using platform::Point;

// The default low-pass design (fs 1000, pass band to 200 Hz, stop band from 250 Hz, 90 taps).
struct Designed {
    COlvexDoc doc;
    Designed() {
        doc.DesignFir(0);
        doc.FirResponse();
    }
};

std::string Expected(double f, double gain, double phase) {
    char text[128];
    std::snprintf(text, sizeof text, "f = %.2f Hz   Gain = %.2f dB   Phase = %.3f rad", f, gain,
                  phase);
    return text;
}

TEST(ResponseCursor, ReadsTheSampleUnderTheMouse) {
    const Designed designed;
    const COlvexDoc& doc = designed.doc;
    const struct {
        int zoom;
        int start;
        Point at; // logical, response origin (20, 0)
        int sample;
        bool passBand; // else stop band
    } cases[] = {
        {0, 0, {92, 100}, 36, true},              // 2 px per sample: 100 Hz
        {0, 0, {91, 10}, 36, true},               // half-way from sample 35 takes 36, at any height
        {0, 0, {20 + 2 * 108, 200}, 108, false},  // 300 Hz
        {1, 0, {120, 60}, 5, true},               // 20 px per sample at 10x
        {0, 50, {40, 60}, 100, false},            // start 50: sample 90 at x0
        {1, 100, {20 + 20 * 18, 60}, 180, false}, // 10x at the end: the right edge is fs/2
    };
    for (const auto& c : cases) {
        plots::FreqResponseSettings settings = commands::ResponseSettingsOf(doc, false);
        settings.freqZoom = c.zoom;
        settings.startPos = c.start;
        const auto readout =
            plots::ReadResponseAt(settings, 20, 0, doc.m_aGainDb, doc.m_aPhase, c.at);
        SCOPED_TRACE(c.sample);
        ASSERT_TRUE(readout.has_value());
        EXPECT_EQ(readout->sample, c.sample);
        EXPECT_DOUBLE_EQ(readout->frequency, c.sample * doc.m_fs / 360.0);
        const auto i = static_cast<size_t>(c.sample);
        EXPECT_EQ(readout->gainDb, doc.m_aGainDb[i]);
        EXPECT_EQ(readout->phase, doc.m_aPhase[i]);
        // What the readout shows is the filter: near 0 dB in the pass band, far below in the stop
        // band.
        if (c.passBand) {
            EXPECT_NEAR(readout->gainDb, 0.0, 0.5);
        } else {
            EXPECT_LT(readout->gainDb, -30.0);
        }
    }
}

TEST(ResponseCursor, NothingOutsideTheDrawnCurve) {
    const Designed designed;
    const COlvexDoc& doc = designed.doc;
    const struct {
        int zoom;
        int start;
        Point at;
    } cases[] = {
        {0, 0, {19, 100}},           // left of the grid
        {0, 0, {381, 100}},          // right of it
        {0, 0, {100, -1}},           // above it
        {0, 0, {100, 251}},          // below it
        {0, 50, {20 + 2 * 90, 100}}, // start 50: the gain curve ends at sample 179 (x0 + 178)
        {1, 0, {20 + 20 * 18 + 11, 100}},
    };
    for (const auto& c : cases) {
        plots::FreqResponseSettings settings = commands::ResponseSettingsOf(doc, false);
        settings.freqZoom = c.zoom;
        settings.startPos = c.start;
        EXPECT_FALSE(
            plots::ReadResponseAt(settings, 20, 0, doc.m_aGainDb, doc.m_aPhase, c.at).has_value())
            << c.at.x << "," << c.at.y;
    }
    // Only the frequency response of a design has a readout.
    const plots::ResponseData response = commands::HeldResponse(doc, false);
    EXPECT_NE(plots::ResponseCursorText(response, plots::PlotMode::kResponse, false, {92, 100}),
              "");
    EXPECT_EQ(plots::ResponseCursorText(response, plots::PlotMode::kResponse, true, {92, 100}), "");
    EXPECT_EQ(plots::ResponseCursorText(response, plots::PlotMode::kSpectra, false, {92, 100}), "");
    EXPECT_EQ(plots::ResponseCursorText(response, plots::PlotMode::kWaves, false, {92, 100}), "");
}

TEST(ResponseCursor, StatusBarFollowsTheMouseOverThePlotControl) {
    support::ScriptedWindow window(support::Start::kUnstarted);
    auto& [doc, host, view] = window;
    doc.DesignFir(0);
    view.m_bNoDesign = 0;
    view.RedrawPlot(); // computes the response the readout reads
    const std::string ready = resources::LoadString(resources::kIdsIdleMessage);
    // A status message of another command stays while the mouse is away from the curve.
    host.SetStatusText("Reached maximum iteration count. Results may be bad.");
    view.OnPlotMouseMove({0, 0}, plots::kDefaultPlotSurface);
    view.OnPlotMouseLeave();
    EXPECT_EQ(host.StatusTexts().back(), "Reached maximum iteration count. Results may be bad.");
    const struct {
        platform::Size surface;
    } cases[] = {{plots::kDefaultPlotSurface}, {{1000, 700}}};
    for (const auto& c : cases) {
        const platform::Mapping mapping = plots::ScreenPlotMapping(c.surface);
        // 100 Hz is sample 36, drawn at x = 20 + 72.
        view.OnPlotMouseMove(mapping.ToDevice({92, 120}), c.surface);
        ASSERT_FALSE(host.StatusTexts().empty());
        EXPECT_EQ(host.StatusTexts().back(), Expected(100.0, doc.m_aGainDb[36], doc.m_aPhase[36]))
            << c.surface.cx;
        view.OnPlotMouseMove({0, 0}, c.surface); // the corner: outside the grid
        EXPECT_EQ(host.StatusTexts().back(), ready);
        view.OnPlotMouseMove(mapping.ToDevice({92, 120}), c.surface);
        view.OnPlotMouseLeave();
        EXPECT_EQ(host.StatusTexts().back(), ready);
    }
}

} // namespace
