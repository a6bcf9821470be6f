// One wave panel through the recorder: samples and pixels per zoom and start time, the scale of
// the magnitude range, the Nyquist message instead of the curve, the delay note of the output
// panel, and the time and panel labels with their formats.
#include "plots/WavePlot.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/scripted/RecordingDrawContext.h"
#include "plots/PlotConventions.h"

namespace {

using platform::Point;
using platform::RecordedLine;

struct Panel {
    std::vector<double> samples = std::vector<double>(400, 0.0);
    plots::WaveSettings settings;
    int x0 = 0;
    int y0 = 20;
    bool input = true;

    std::shared_ptr<platform::Drawing> Draw() const {
        auto drawing = std::make_shared<platform::Drawing>();
        {
            platform::RecordingDrawContext dc(drawing);
            plots::DrawWave(dc, x0, y0, samples, input, settings);
        }
        return drawing;
    }
};

std::vector<RecordedLine> Curve(const platform::Drawing& d) {
    std::vector<RecordedLine> curve;
    for (const RecordedLine& line : d.lines) {
        if (line.pen == platform::PenSpec{}) { // the context's own pen: solid black, width 1
            curve.push_back(line);
        }
    }
    return curve;
}

std::vector<std::string> Texts(const platform::Drawing& d) {
    std::vector<std::string> texts;
    for (const platform::RecordedText& t : d.texts) {
        texts.push_back(t.text);
    }
    return texts;
}

bool Has(const platform::Drawing& d, const std::string& text, Point at) {
    for (const platform::RecordedText& t : d.texts) {
        if (t.text == text && t.at == at) {
            return true;
        }
    }
    return false;
}

TEST(WavePlot, ZoomAndStartChooseSamplesAndPixels) {
    const struct {
        int zoom;
        int start;
        int segments;
        int lastX;      // right end of the last segment, from x0
        int lastSample; // sample at that end
    } cases[] = {
        {0, 0, 98, 392, 98},
        {0, 100, 98, 392, 198}, // the panel shows samples 100 to 198
        {1, 0, 10, 400, 10},
        {1, 37, 10, 400, 47},
    };
    for (const auto& c : cases) {
        Panel panel;
        panel.settings.timeZoom = c.zoom;
        panel.settings.startPos = c.start;
        panel.samples[static_cast<size_t>(c.start)] = 50.0;       // the top line
        panel.samples[static_cast<size_t>(c.lastSample)] = -25.0; // a quarter panel down
        const auto drawing = panel.Draw();
        const auto curve = Curve(*drawing);
        SCOPED_TRACE(testing::Message() << "zoom " << c.zoom << " start " << c.start);
        ASSERT_EQ(static_cast<int>(curve.size()), c.segments);
        EXPECT_EQ(curve.front().from, (Point{0, 20}));
        EXPECT_EQ(curve.back().to, (Point{c.lastX, 95}));
        // Every segment is one sample wide.
        const int step = c.zoom == 1 ? 40 : 4;
        for (const RecordedLine& line : curve) {
            ASSERT_EQ(line.to.x - line.from.x, step);
        }
        EXPECT_EQ(drawing->leakedPens, 0);
        EXPECT_EQ(drawing->leakedFonts, 0);
    }
}

TEST(WavePlot, MagnitudeRangeScalesWithinThePanel) {
    const struct {
        double range;
        double value;
        int y; // centre line at y0 + 50 = 70; values beyond the range held at 20 or 120
    } cases[] = {{50.0, 50.0, 20},   {50.0, -50.0, 120}, {100.0, 50.0, 45}, {25.0, 50.0, 20},
                 {25.0, -60.0, 120}, {50.0, 0.7, 70},    {50.0, -1.9, 71}};
    for (const auto& c : cases) {
        Panel panel;
        panel.settings.magRange = c.range;
        panel.samples[0] = c.value;
        EXPECT_EQ(Curve(*panel.Draw()).front().from.y, c.y) << c.value << " in " << c.range;
    }
}

TEST(WavePlot, NyquistMessageReplacesTheCurve) {
    const struct {
        double fs;
        double freq;
        bool curve;
    } cases[] = {{1000.0, 499.9, true},
                 {1000.0, 500.0, false},
                 {1000.0, 700.0, false},
                 {48000.0, 100.0, true}};
    for (const auto& c : cases) {
        Panel panel;
        panel.settings.fs = c.fs;
        panel.settings.waveFreq = c.freq;
        const auto drawing = panel.Draw();
        EXPECT_EQ(Curve(*drawing).empty(), !c.curve) << c.freq;
        // At x0 + 100 the message (53 of the recorder's 7-unit characters) would run past the
        // screen's right edge at 464 less a blank: it starts at 86 instead.
        EXPECT_EQ(Has(*drawing, plots::kNyquistMessage, {86, 0}), !c.curve) << c.freq;
        // The grid stays: three rows and five columns in dotted green.
        int grid = 0;
        for (const RecordedLine& line : drawing->lines) {
            grid += line.pen == plots::kGreenGridPen;
        }
        EXPECT_EQ(grid, 8);
    }
    // A range of 0 or below has no scale: the grid and labels stay, the curve goes.
    Panel panel;
    panel.settings.magRange = 0.0;
    EXPECT_TRUE(Curve(*panel.Draw()).empty());
}

TEST(WavePlot, DelayNoteOnlyOnTheOutputOfLongFilters) {
    const struct {
        bool input;
        int taps;
        bool note;
    } cases[] = {{false, 101, true}, {false, 380, true}, {false, 100, false},
                 {false, 4, false},  {true, 380, false}, {true, 101, false}};
    for (const auto& c : cases) {
        Panel panel;
        panel.input = c.input;
        panel.y0 = 140;
        panel.settings.taps = c.taps;
        EXPECT_EQ(Has(*panel.Draw(), plots::kDelayNote, {120, 122}), c.note)
            << (c.input ? "input" : "output") << " with " << c.taps << " taps";
    }
    // Above Nyquist the message takes the line over the output panel; the note goes into the
    // panel, empty then, under its top line, and the two never share a line.
    Panel panel;
    panel.input = false;
    panel.y0 = 140;
    panel.settings.taps = 120;
    panel.settings.waveFreq = 600.0;
    const auto drawing = panel.Draw();
    EXPECT_TRUE(Curve(*drawing).empty());
    EXPECT_TRUE(Has(*drawing, plots::kNyquistMessage, {86, 120}));
    EXPECT_TRUE(Has(*drawing, plots::kDelayNote, {120, 143}));
}

TEST(WavePlot, TimeAndPanelLabels) {
    const struct {
        int zoom;
        int start;
        double fs;
        int y0;
        bool input;
        std::vector<std::pair<std::string, Point>> labels;
    } cases[] = {
        {1,
         0,
         1000.0,
         20,
         true,
         {{"0.000", {-17, 252}},
          {"0.004", {143, 252}},
          {"0.010", {383, 252}},
          {" 50.00", {-40, 10}},
          {"Input", {-40, 50}}}},
        // The time labels keep their height on the output panel too.
        {0,
         100,
         8000.0,
         140,
         false,
         {{"0.015", {63, 252}},
          {"0.020", {223, 252}},
          {"0.025", {383, 252}},
          {"Output", {-40, 170}},
          {"Wave", {-40, 185}}}},
    };
    for (const auto& c : cases) {
        Panel panel;
        panel.settings.timeZoom = c.zoom;
        panel.settings.startPos = c.start;
        panel.settings.fs = c.fs;
        panel.y0 = c.y0;
        panel.input = c.input;
        const auto drawing = panel.Draw();
        for (const auto& [text, at] : c.labels) {
            EXPECT_TRUE(Has(*drawing, text, at))
                << "'" << text << "' at " << at.x << "," << at.y << " in "
                << testing::PrintToString(Texts(*drawing));
        }
        for (const platform::RecordedText& t : drawing->texts) {
            EXPECT_EQ(t.font, plots::LabelFont());
        }
    }
}

} // namespace
