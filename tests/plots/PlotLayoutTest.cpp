// The plots as the screen shows them, through the recorder's font metric: for every mode, zoom
// and start position and the widest labels, each text lies inside the plot control and none
// covers another, at the default control size and at twice it. Also the mapping of the screen
// view into controls of other shapes.
#include "tests/support/PlotLayout.h"

#include <memory>

#include "app/PlotCommands.h"
#include "platform/scripted/RecordingDrawContext.h"

namespace {

using platform::Point;
using platform::Size;

TEST(PlotLayout, EveryTextVisibleAndNoneOverprinted) {
    const Size surfaces[] = {
        plots::kDefaultPlotSurface,
        {2 * plots::kDefaultPlotSurface.cx, 2 * plots::kDefaultPlotSurface.cy}};
    for (const Size surface : surfaces) {
        for (const plot_layout::LayoutCase& c : plot_layout::LayoutCases()) {
            SCOPED_TRACE(c.Name() + " on " + std::to_string(surface.cx));
            auto drawing = std::make_shared<platform::Drawing>();
            {
                platform::RecordingDrawContext dc(drawing, surface);
                plot_layout::DrawCase(dc, c);
            }
            std::vector<plot_layout::PlacedText> texts;
            for (const platform::RecordedText& t : drawing->texts) {
                texts.push_back({t.at, t.text, t.font});
            }
            platform::RecordingDrawContext measure(std::make_shared<platform::Drawing>(), surface);
            plots::OpenPlotSurface(measure);
            plot_layout::ExpectReadable(measure, texts, surface);
        }
    }
}

TEST(PlotLayout, ScreenViewFillsTheControlAtOneScaleCentred) {
    const struct {
        Size surface;
        Point topLeftShows; // logical point at the device's top-left corner of the view
        Size shown;         // device size of the view
    } cases[] = {
        // Default control: width-bound, centred vertically.
        {plots::kDefaultPlotSurface, {-56, -8}, {469, 257}},
        // Twice the size: the same picture, every length doubled.
        {{938, 548}, {-56, -8}, {938, 514}},
        // A tall narrow control: width-bound still.
        {{260, 600}, {-56, -8}, {260, 142}},
        // A wide flat control: height-bound, centred horizontally.
        {{1200, 285}, {-56, -8}, {520, 285}},
        // No size from the device: the default control.
        {{0, 0}, {-56, -8}, {469, 257}},
    };
    for (const auto& c : cases) {
        const platform::Mapping m = plots::ScreenPlotMapping(c.surface);
        const Size surface = c.surface.cx == 0 ? plots::kDefaultPlotSurface : c.surface;
        SCOPED_TRACE(surface.cx);
        EXPECT_EQ(m.viewportExtent, c.shown);
        EXPECT_EQ(m.ToDevice(c.topLeftShows), m.viewportOrigin);
        // Centred: equal margins (to a pixel) on both sides of each axis.
        EXPECT_LE(std::abs(2 * m.viewportOrigin.x + c.shown.cx - surface.cx), 1);
        EXPECT_LE(std::abs(2 * m.viewportOrigin.y + c.shown.cy - surface.cy), 1);
        // One scale for both axes.
        EXPECT_NEAR(m.ScaleX(), m.ScaleY(), 0.01);
        // Device to logical and back lands within a pixel.
        const Point corner = m.ToDevice({plots::kPlotAreaWidth, plots::kPlotHeight});
        const Point back = m.ToDevice(m.ToLogical(corner));
        EXPECT_LE(std::abs(back.x - corner.x), 2);
        EXPECT_LE(std::abs(back.y - corner.y), 2);
    }
}

} // namespace

namespace {

// The print-out keeps every label at its fixed place, whatever the font: only the screen moves
// labels clear of each other.
TEST(PlotLayout, PrintKeepsTheFixedPlaces) {
    const struct {
        plots::PlotMode mode;
        std::string text;
        platform::Point at; // fixed place at the print origins
    } cases[] = {
        {plots::PlotMode::kResponse, "500", {20 + 360 - 10, 20 + 250}}, // centred, 7 a character
        {plots::PlotMode::kResponse, "16", {40 + 75, 25}},
        {plots::PlotMode::kResponse, "bits", {40 + 105, 25}},
        {plots::PlotMode::kSpectra, "1000", {7 + 384 - 14, 250}},
        {plots::PlotMode::kWaves, "0.10", {400 - 14, 252}},
        {plots::PlotMode::kWaves, "Output Wave may have huge delay", {120, 140 - 18}},
    };
    for (const auto& c : cases) {
        plot_layout::LayoutCase layout{c.mode};
        layout.quantize = true;
        layout.taps = 120;
        COlvexDoc doc;
        plot_layout::Configure(doc, layout);
        doc.m_nQuantBits = 16;
        auto drawing = std::make_shared<platform::Drawing>();
        {
            platform::RecordingDrawContext dc(drawing);
            // The print font of the view: height 12, width 7.
            platform::LogicalFont font = dc.CurrentFont();
            font.height = 12;
            font.width = 7;
            plots::ScopedFont printFont(dc, font);
            plots::DrawAnalysisPlot(
                dc, commands::ComputePlot(doc, plots::PlotState{c.mode, false, false}),
                plots::Surface::kPrint);
        }
        bool found = false;
        for (const platform::RecordedText& t : drawing->texts) {
            found = found || (t.text == c.text && t.at == c.at);
        }
        EXPECT_TRUE(found) << "'" << c.text << "' at " << c.at.x << "," << c.at.y;
    }
}

} // namespace
