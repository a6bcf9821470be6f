// One spectrum panel through the recorder: bins and pixels per zoom and start frequency, the
// baseline and scale of the magnitudes, and the frequency and panel labels.
#include "plots/SpectrumPlot.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/scripted/RecordingDrawContext.h"
#include "plots/PlotConventions.h"

namespace {

using platform::Point;
using platform::RecordedLine;

struct Panel {
    std::vector<double> magnitudes = std::vector<double>(256, 0.0);
    plots::SpectrumSettings settings;
    int x0 = 7;
    int y0 = 10;
    bool input = true;

    std::shared_ptr<platform::Drawing> Draw() const {
        auto drawing = std::make_shared<platform::Drawing>();
        {
            platform::RecordingDrawContext dc(drawing);
            plots::DrawSpectrum(dc, x0, y0, magnitudes, input, settings);
        }
        return drawing;
    }
};

std::vector<RecordedLine> With(const platform::Drawing& d, const platform::PenSpec& pen) {
    std::vector<RecordedLine> lines;
    for (const RecordedLine& line : d.lines) {
        if (line.pen == pen) {
            lines.push_back(line);
        }
    }
    return lines;
}

bool Has(const platform::Drawing& d, const std::string& text, Point at) {
    for (const platform::RecordedText& t : d.texts) {
        if (t.text == text && t.at == at) {
            return true;
        }
    }
    return false;
}

TEST(SpectrumPlot, ZoomAndStartChooseBinsAndPixels) {
    const struct {
        int zoom;
        int start;
        int segments;
        int firstBin;
        int lastRightX; // from x0
    } cases[] = {
        {0, 0, 255, 0, 382},                           // 1.5 pixels per bin across the grid
        {0, 50, 128, 127, 192}, {0, 100, 0, 255, 0},   // f0 = fs: nothing left to draw
        {1, 0, 25, 0, 375},     {1, 50, 25, 127, 375}, // bins 127 to 152
        {1, 95, 13, 242, 195},                         // the right bin may not pass 255
        {1, 100, 0, 255, 0},
    };
    for (const auto& c : cases) {
        Panel panel;
        panel.settings.freqZoom = c.zoom;
        panel.settings.startPos = c.start;
        panel.magnitudes[static_cast<size_t>(c.firstBin)] = 40.0; // the top grid line
        const auto drawing = panel.Draw();
        const auto curve = With(*drawing, plots::kRedTracePen);
        SCOPED_TRACE(testing::Message() << "zoom " << c.zoom << " start " << c.start);
        ASSERT_EQ(static_cast<int>(curve.size()), c.segments);
        if (c.segments > 0) {
            EXPECT_EQ(curve.front().from, (Point{7, 10}));
            EXPECT_EQ(curve.front().to, (Point{7 + (c.zoom == 1 ? 15 : 1), 90}));
            EXPECT_EQ(curve.back().to.x, 7 + c.lastRightX);
        }
        // The grid (6 rows, 11 columns) and the frame stay in every case.
        EXPECT_EQ(With(*drawing, plots::kGreyGridPen).size(), 17u);
        EXPECT_EQ(With(*drawing, platform::PenSpec{}).size(), 4u);
        EXPECT_EQ(drawing->leakedPens, 0);
        EXPECT_EQ(drawing->leakedFonts, 0);
    }
}

TEST(SpectrumPlot, MagnitudesRiseFromTheBaselineUpToThePanelsTop) {
    const struct {
        double magnitude;
        int y; // baseline at y0 + 80 = 90; the panel's top at y0 = 10
    } cases[] = {{0.0, 90}, {10.0, 70}, {40.0, 10}, {50.0, 10}, {1e6, 10}, {0.4, 90}, {0.6, 89}};
    for (const auto& c : cases) {
        Panel panel;
        panel.magnitudes[0] = c.magnitude;
        EXPECT_EQ(With(*panel.Draw(), plots::kRedTracePen).front().from.y, c.y) << c.magnitude;
    }
}

TEST(SpectrumPlot, LabelsOfBothPanels) {
    const struct {
        int zoom;
        int start;
        int y0;
        bool input;
        std::vector<std::pair<std::string, Point>> labels;
    } cases[] = {
        {0,
         0,
         10,
         true,
         {{"0", {4, 250}},
          {"400", {151, 250}},
          // Moved left from 377 to end one blank (7) before "[Hz]" at 411.
          {"1000", {376, 250}},
          {"[Hz]", {411, 250}},
          {" 50.00", {-33, 5}},
          {"0.0", {-23, 82}},
          {"Input", {-43, 40}},
          {"Spectrum", {-53, 55}}}},
        {1,
         50,
         135,
         false,
         {{"500", {-3, 250}},
          {"540", {151, 250}},
          {"600", {381, 250}},
          {"0.0", {-23, 207}},
          {"Output", {-43, 165}},
          {"Spectrum", {-53, 180}}}},
        {0, 100, 10, true, {{"1000", {-7, 250}}, {"2000", {376, 250}}}},
    };
    for (const auto& c : cases) {
        Panel panel;
        panel.settings.freqZoom = c.zoom;
        panel.settings.startPos = c.start;
        panel.y0 = c.y0;
        panel.input = c.input;
        const auto drawing = panel.Draw();
        for (const auto& [text, at] : c.labels) {
            EXPECT_TRUE(Has(*drawing, text, at)) << "'" << text << "' at " << at.x << "," << at.y;
        }
    }
}

} // namespace
