// What the three plots share: the plot area's layout constants, the pen palette, the label font,
// the integer geometry and value-to-pixel rules, and the lifetime of pens and fonts (created
// when needed, selected, and always deselected and deleted, also when drawing ends early).
#pragma once

#include "platform/DrawContext.h"

namespace plots {

// ---- Layout constants (logical units) ------------------------------------------------------
constexpr int kPlotAreaWidth = 400;       // WA: plot area width, wave grid width
constexpr int kPlotHeight = 250;          // H: plot area height, frequency response grid height
constexpr int kRespGridWidth = 360;       // WR: 180 response samples at 2 pixels each
constexpr int kSpecGridWidth = 384;       // WS
constexpr int kWaveSamplesPerPanel = 100; // NS: samples across a wave panel at 1x
constexpr int kWavePanelHeight = 100;     // HP
constexpr int kSpecPanelHeight = 100;     // HS

// ---- Pen palette (every pen is width 1) ------------------------------------------------------
constexpr platform::PenSpec kGreyGridPen{platform::PenStyle::kDot, 1, {100, 100, 100}};
constexpr platform::PenSpec kGreenGridPen{platform::PenStyle::kDot, 1, {0, 255, 0}};
constexpr platform::PenSpec kBlackReferencePen{platform::PenStyle::kDot, 1, {0, 0, 0}};
constexpr platform::PenSpec kRedTracePen{platform::PenStyle::kSolid, 1, {255, 0, 0}};
constexpr platform::PenSpec kGreenTracePen{platform::PenStyle::kSolid, 1, {0, 255, 0}};
// The ideal coefficients' curve under the quantized one.
constexpr platform::PenSpec kGreyIdealPen{platform::PenStyle::kSolid, 1, {170, 170, 170}};
// The ideal pole-zero roots, and the parts of a cascade drawn beside its red gain.
constexpr platform::PenSpec kBlueTracePen{platform::PenStyle::kSolid, 1, {0, 0, 255}};
constexpr platform::PenSpec kMagentaTracePen{platform::PenStyle::kSolid, 1, {200, 0, 200}};

constexpr platform::Rgb kBlack{0, 0, 0};
constexpr platform::Rgb kRed{255, 0, 0};

// The label font: "Arial", height 14, default width, weight 400, ANSI, CLIP_LH_ANGLES.
platform::LogicalFont LabelFont();

// ---- The plot area on screen ----------------------------------------------------------------
// The logical rectangle that the screen drawing of every plot mode covers, its scale, unit and
// panel labels included: the 400 x 250 plot area plus the labels left of x = 0 (down to
// "Spectrum" at x0 - 60), right of x = 400 (up to the wave's "[s]") and under y = 250 (the
// response's "[Hz]"), with a small margin.
constexpr platform::Point kScreenViewOrigin{-56, -8};
constexpr platform::Size kScreenViewExtent{520, 285};
// The plot control of the form at the window's default size (268 x 183 dialog units).
constexpr platform::Size kDefaultPlotSurface{platform::DialogUnitsToPixelsX(268),
                                             platform::DialogUnitsToPixelsY(183)};

// The mapping of the screen view into a surface of the given size: one scale for both axes (the
// largest that fits), the view centred. A surface of (0, 0) counts as the default control.
platform::Mapping ScreenPlotMapping(platform::Size surface);

// Sets the plot area mapping for the context's surface (ScreenPlotMapping), so the whole
// logical picture, labels included, shows in the control at any size; y grows downward.
void OpenPlotSurface(platform::DrawContext& dc);

// ---- Integer geometry ----------------------------------------------------------------------
// Row k of a grid of `rows` rows over `height`: y0 + (k * height) / rows, truncating.
constexpr int GridRow(int y0, int k, int height, int rows) {
    return y0 + (k * height) / rows;
}

// A scaled sample value as a pixel offset: truncated toward zero. Values beyond any drawable
// range (including infinities from a zero scale range) are held at kMaxPixelOffset so the
// conversion stays defined; NaN draws on the baseline.
constexpr int kMaxPixelOffset = 1000000;
int PixelOffset(double scaled);
// The y of a scaled value over a baseline: positive values above it.
inline int PointY(int baseline, double scaled) {
    return baseline - PixelOffset(scaled);
}

// ---- Pen and font lifetime -----------------------------------------------------------------
// Creates a pen and selects it; on destruction selects the previous pen back and deletes it.
class ScopedPen {
public:
    ScopedPen(platform::DrawContext& dc, const platform::PenSpec& pen);
    ~ScopedPen();
    ScopedPen(const ScopedPen&) = delete;
    ScopedPen& operator=(const ScopedPen&) = delete;

private:
    platform::DrawContext& m_dc;
    platform::PenHandle m_pen;
    platform::PenHandle m_previous;
};

// Creates a font and selects it; on destruction selects the previous font back and deletes it.
class ScopedFont {
public:
    ScopedFont(platform::DrawContext& dc, const platform::LogicalFont& font);
    ~ScopedFont();
    ScopedFont(const ScopedFont&) = delete;
    ScopedFont& operator=(const ScopedFont&) = delete;

private:
    platform::DrawContext& m_dc;
    platform::FontHandle m_font;
    platform::FontHandle m_previous;
};

// Label text state of every plot: transparent background, black text.
void PrepareLabels(platform::DrawContext& dc);

// One segment: move to the left point, draw to the right point.
inline void Segment(platform::DrawContext& dc, int x1, int y1, int x2, int y2) {
    dc.MoveTo(x1, y1);
    dc.LineTo(x2, y2);
}

} // namespace plots
