#include "plots/PlotConventions.h"

#include <algorithm>
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

platform::Mapping ScreenPlotMapping(platform::Size surface) {
    if (surface.cx <= 0 || surface.cy <= 0) {
        surface = kDefaultPlotSurface;
    }
    const double scale = std::min(static_cast<double>(surface.cx) / kScreenViewExtent.cx,
                                  static_cast<double>(surface.cy) / kScreenViewExtent.cy);
    const platform::Size shown{std::max(1, static_cast<int>(kScreenViewExtent.cx * scale)),
                               std::max(1, static_cast<int>(kScreenViewExtent.cy * scale))};
    platform::Mapping mapping;
    mapping.windowOrigin = kScreenViewOrigin;
    mapping.windowExtent = kScreenViewExtent;
    mapping.viewportExtent = shown;
    mapping.viewportOrigin = {(surface.cx - shown.cx) / 2, (surface.cy - shown.cy) / 2};
    return mapping;
}

void OpenPlotSurface(platform::DrawContext& dc) {
    const platform::Mapping mapping = ScreenPlotMapping(dc.SurfaceSize());
    dc.SetWindowOrg(mapping.windowOrigin);
    dc.SetWindowExt(mapping.windowExtent);
    dc.SetViewportOrg(mapping.viewportOrigin);
    dc.SetViewportExt(mapping.viewportExtent);
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
