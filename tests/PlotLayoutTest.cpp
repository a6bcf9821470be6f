// The plots as the screen shows them, through the recorder's font metric: for every mode, zoom
// and start position and the widest labels, each text lies inside the plot control and none
// covers another, at the default control size and at twice it. Also the mapping of the screen
// view into controls of other shapes.
#include "tests/PlotLayoutTest.h"

#include <memory>

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
