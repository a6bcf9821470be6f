#include "plots/PlotConventions.h"

#include <cmath>

namespace plots {

namespace {
constexpr int kLabelFontHeight = 14;
} // namespace

platform::LogicalFont LabelFont() {
    platform::LogicalFont font;
    font.face = "Arial";
    font.height = kLabelFontHeight;
    font.width = 0;
    font.weight = platform::kWeightNormal;
    font.charset = platform::kAnsiCharset;
    font.clipPrecision = platform::kClipLhAngles;
    return font;
}

void OpenPlotSurface(platform::DrawContext& dc) {
    dc.SetWindowExt({kPlotAreaWidth, kPlotHeight});
    dc.SetViewportExt({kPlotAreaWidth, kPlotHeight});
    dc.SetViewportOrg({0, 0});
}

int PixelOffset(double scaled) {
    if (std::isnan(scaled)) {
        return 0;
    }
    if (scaled >= kMaxPixelOffset) {
        return kMaxPixelOffset;
    }
    if (scaled <= -kMaxPixelOffset) {
        return -kMaxPixelOffset;
    }
    return static_cast<int>(scaled); // truncation toward zero
}

ScopedPen::ScopedPen(platform::DrawContext& dc, const platform::PenSpec& pen)
    : m_dc(dc), m_pen(dc.CreatePen(pen)), m_previous(dc.SelectPen(m_pen)) {}

ScopedPen::~ScopedPen() {
    m_dc.SelectPen(m_previous);
    m_dc.DeletePen(m_pen);
}

ScopedFont::ScopedFont(platform::DrawContext& dc, const platform::LogicalFont& font)
    : m_dc(dc), m_font(dc.CreateFontIndirect(font)), m_previous(dc.SelectFont(m_font)) {}

ScopedFont::~ScopedFont() {
    m_dc.SelectFont(m_previous);
    m_dc.DeleteFont(m_font);
}

void PrepareLabels(platform::DrawContext& dc) {
    dc.SetTransparentBackground(true);
    dc.SetTextColor(kBlack);
}

} // namespace plots
