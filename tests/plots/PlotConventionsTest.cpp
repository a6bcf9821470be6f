// The drawing conventions: mappings as the platform computed them, pen and font lifetime, the
// integer geometry and value-to-pixel rules, and the frame of the frequency response plot.
#include "plots/PlotConventions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

#include "platform/scripted/RecordingDrawContext.h"
#include "plots/PlotFrame.h"

namespace {

using platform::Point;

struct MappingCase {
    Point windowOrigin;
    platform::Size windowExtent;
    Point viewportOrigin;
    platform::Size viewportExtent;
    Point logical;
    Point device;
};

TEST(Mapping, MapsLogicalPointsAsThePlatformDid) {
    const MappingCase cases[] = {
        // The screen plot area: one logical unit per pixel.
        {{0, 0}, {400, 250}, {0, 0}, {400, 250}, {0, 0}, {0, 0}},
        {{0, 0}, {400, 250}, {0, 0}, {400, 250}, {407, 125}, {407, 125}},
        {{0, 0}, {400, 250}, {0, 0}, {400, 250}, {-40, -5}, {-40, -5}},
        // The print mapping: five device units per logical unit, shifted by (300, 300).
        {{0, 0}, {100, 50}, {300, 300}, {500, 250}, {0, 0}, {300, 300}},
        {{0, 0}, {100, 50}, {300, 300}, {500, 250}, {20, 5}, {400, 325}},
        {{0, 0}, {100, 50}, {300, 300}, {500, 250}, {380, 270}, {2200, 1650}},
        {{0, 0}, {100, 50}, {300, 300}, {500, 250}, {-40, -5}, {100, 275}},
        // Non-integral scales round to the nearest unit, halves away from zero.
        {{0, 0}, {3, 3}, {0, 0}, {2, 2}, {1, 2}, {1, 1}},
        {{0, 0}, {3, 3}, {0, 0}, {2, 2}, {-1, -2}, {-1, -1}},
        {{0, 0}, {4, 4}, {0, 0}, {2, 2}, {1, -1}, {1, -1}},
        // A window origin moves the logical point first; a negative extent flips the axis.
        {{10, 10}, {100, -100}, {50, 50}, {100, 100}, {20, 30}, {60, 30}},
    };
    for (const MappingCase& c : cases) {
        platform::Mapping mapping{c.windowOrigin, c.windowExtent, c.viewportOrigin,
                                  c.viewportExtent};
        EXPECT_EQ(mapping.ToDevice(c.logical), c.device)
            << c.logical.x << "," << c.logical.y << " with window extent " << c.windowExtent.cx;
    }
}

TEST(Recorder, KeepsLogicalAndDevicePointsWithPenAndFont) {
    auto drawing = std::make_shared<platform::Drawing>();
    {
        platform::RecordingDrawContext dc(drawing);
        dc.SetWindowExt({100, 50});
        dc.SetWindowExt({0, 50}); // refused: keeps (100, 50)
        dc.SetViewportOrg({300, 300});
        dc.SetViewportExt({500, 250});
        {
            plots::ScopedPen red(dc, plots::kRedTracePen);
            plots::Segment(dc, 0, 0, 10, 10);
        }
        plots::Segment(dc, 1, 1, 2, 2);
        plots::ScopedFont font(dc, plots::LabelFont());
        plots::PrepareLabels(dc);
        dc.TextOut(20, 5, "[Hz]");
    }
    ASSERT_EQ(drawing->lines.size(), 2u);
    EXPECT_EQ(drawing->lines[0].pen, plots::kRedTracePen);
    EXPECT_EQ(drawing->lines[0].deviceTo, (Point{350, 350}));
    EXPECT_EQ(drawing->lines[1].pen, (platform::PenSpec{platform::PenStyle::kSolid, 1, {0, 0, 0}}));
    ASSERT_EQ(drawing->texts.size(), 1u);
    EXPECT_EQ(drawing->texts[0].deviceAt, (Point{400, 325}));
    EXPECT_EQ(drawing->texts[0].font, plots::LabelFont());
    EXPECT_TRUE(drawing->texts[0].transparent);
    EXPECT_EQ(drawing->leakedPens, 0);
    EXPECT_EQ(drawing->leakedFonts, 0);
}

TEST(Recorder, PensAndFontsAreReleasedOnEarlyExit) {
    auto drawing = std::make_shared<platform::Drawing>();
    {
        platform::RecordingDrawContext dc(drawing);
        try {
            plots::ScopedFont font(dc, plots::LabelFont());
            plots::ScopedPen grid(dc, plots::kGreyGridPen);
            plots::ScopedPen trace(dc, plots::kGreenTracePen);
            throw std::runtime_error("drawing stopped");
        } catch (const std::runtime_error&) {
        }
        EXPECT_EQ(dc.CurrentPen(), (platform::PenSpec{}));
        // The selected pen and the context's own objects cannot be deleted.
        const platform::PenHandle pen = dc.CreatePen(plots::kRedTracePen);
        const platform::PenHandle previous = dc.SelectPen(pen);
        EXPECT_FALSE(dc.DeletePen(pen));
        EXPECT_FALSE(dc.DeletePen(platform::DrawContext::kDefaultPen));
        dc.SelectPen(previous);
        EXPECT_TRUE(dc.DeletePen(pen));
        EXPECT_EQ(dc.SelectPen(pen), -1);
        dc.CreatePen(plots::kRedTracePen); // left alive on purpose
    }
    EXPECT_EQ(drawing->leakedFonts, 0);
    EXPECT_EQ(drawing->leakedPens, 1);
}

TEST(PlotGeometry, IntegerRowsAndTruncatedOffsets) {
    EXPECT_EQ(plots::GridRow(0, 7, 250, 12), 145);
    EXPECT_EQ(plots::GridRow(0, 2, 250, 12), 41);
    EXPECT_EQ(plots::GridRow(20, 12, 250, 12), 270);
    const struct {
        double scaled;
        int offset;
    } cases[] = {{2.9, 2},
                 {-2.9, -2},
                 {0.999, 0},
                 {-0.5, 0},
                 {1e300, plots::kMaxPixelOffset},
                 {-std::numeric_limits<double>::infinity(), -plots::kMaxPixelOffset},
                 {std::nan(""), 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(plots::PixelOffset(c.scaled), c.offset) << c.scaled;
    }
    EXPECT_EQ(plots::PointY(41, 20.7), 21);
    EXPECT_EQ(plots::PointY(41, -20.7), 61);
}

TEST(PlotFrame, GridReferencesFrameAndHint) {
    const plots::ResponseFrame frame = plots::ComputeResponseFrame(20, 0);
    EXPECT_EQ(frame.gridRows[7].y, 145);
    EXPECT_EQ(frame.gridRows[12].y, 250);
    EXPECT_EQ(frame.gridRows[0].x2, 380);
    EXPECT_EQ(frame.gridColumns[10].x, 380);
    EXPECT_EQ(frame.gridColumns[1].x, 56);
    EXPECT_EQ(frame.references[0].y, 41);
    EXPECT_EQ(frame.hint, (Point{120, 87}));

    auto drawing = std::make_shared<platform::Drawing>();
    {
        platform::RecordingDrawContext dc(drawing);
        plots::OpenPlotSurface(dc);
        plots::DrawResponseFrame(dc, 20, 0, true);
        // The screen view (x from -56, y from -8, 520 x 285) at the default control's scale.
        EXPECT_EQ(dc.GetMapping().ToDevice({-56, -8}), (Point{0, 8}));
        EXPECT_EQ(dc.GetMapping().ToDevice({464, 277}), (Point{469, 265}));
    }
    int grey = 0;
    int reference = 0;
    int solid = 0;
    for (const platform::RecordedLine& line : drawing->lines) {
        grey += line.pen == plots::kGreyGridPen;
        reference += line.pen == plots::kBlackReferencePen;
        solid += line.pen == platform::PenSpec{};
    }
    EXPECT_EQ(grey, 13 + 11);
    EXPECT_EQ(reference, 2);
    EXPECT_EQ(solid, 4);
    ASSERT_EQ(drawing->texts.size(), 1u);
    EXPECT_EQ(drawing->texts[0].text, "Click 'Design' to design FIR/IIR filters");
    EXPECT_EQ(drawing->texts[0].at, (Point{120, 87}));
    EXPECT_EQ(drawing->texts[0].color, plots::kBlack);
    EXPECT_EQ(drawing->texts[0].font.face, "Arial");
    EXPECT_EQ(drawing->texts[0].font.clipPrecision, platform::kClipLhAngles);
    EXPECT_EQ(drawing->leakedPens + drawing->leakedFonts, 0);
}

} // namespace
