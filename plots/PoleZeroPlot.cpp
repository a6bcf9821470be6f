// The pole-zero diagram: the unit circle in a square view centred in the plot area, poles as x
// and zeros as o. The view reaches at least |z| = 1.25 and as far as the farthest root (plus a
// tenth) up to kPoleZeroMaxRadius; roots beyond it are counted in a label instead of drawn.
#include <algorithm>
#include <cmath>

#include "plots/FilterViewPlots.h"
#include "plots/PlotConventions.h"

namespace plots {

namespace {

constexpr double kMinViewRadius = 1.25;
constexpr double kRadiusMargin = 1.1;
constexpr int kCircleSegments = 90;
constexpr int kZeroMarkerSegments = 12;
constexpr int kUnstableBox = 8; // half the side of the square around an unstable pole
constexpr double kTwoPi = 6.28318530717958647692;
constexpr int kCentreX = kPlotAreaWidth / 2;
constexpr int kCentreY = kPlotHeight / 2;
constexpr int kLegendX = 5;
constexpr int kLegendY = 5;
constexpr int kLineHeight = 16;
constexpr double kOnCircle = 1e-9; // a pole this close to the circle lies on it

double FarthestRoot(const dsp::PoleZeroSet& set, double farthest) {
    for (const std::vector<dsp::Root>* roots : {&set.zeros, &set.poles}) {
        for (const dsp::Root& r : *roots) {
            if (std::abs(r) <= kPoleZeroMaxRadius) {
                farthest = std::max(farthest, std::abs(r));
            }
        }
    }
    return farthest;
}

struct Mapper {
    platform::Point centre;
    double pixelsPerUnit;
    platform::Point operator()(dsp::Root z) const {
        return {centre.x + PixelOffset(z.real() * pixelsPerUnit),
                centre.y - PixelOffset(z.imag() * pixelsPerUnit)};
    }
};

void AddCross(std::vector<PlotSegment>& out, platform::Point p) {
    out.push_back({{p.x - kMarkerSize, p.y - kMarkerSize}, {p.x + kMarkerSize, p.y + kMarkerSize}});
    out.push_back({{p.x - kMarkerSize, p.y + kMarkerSize}, {p.x + kMarkerSize, p.y - kMarkerSize}});
}

// A closed polygon of `segments` sides around p.
void AddRing(std::vector<PlotSegment>& out, platform::Point p, double radius, int segments) {
    const auto corner = [&](int k) {
        const double a = kTwoPi * k / segments;
        return platform::Point{p.x + PixelOffset(radius * std::cos(a)),
                               p.y - PixelOffset(radius * std::sin(a))};
    };
    for (int k = 0; k < segments; ++k) {
        out.push_back({corner(k), corner(k + 1)});
    }
}

void AddBox(std::vector<PlotSegment>& out, platform::Point p) {
    const int l = p.x - kUnstableBox, r = p.x + kUnstableBox;
    const int t = p.y - kUnstableBox, b = p.y + kUnstableBox;
    out.push_back({{l, t}, {r, t}});
    out.push_back({{r, t}, {r, b}});
    out.push_back({{r, b}, {l, b}});
    out.push_back({{l, b}, {l, t}});
}

// The markers of one set; returns how many roots lie beyond the view.
int AddMarks(std::vector<PlotSegment>& out, const dsp::PoleZeroSet& set, const Mapper& map) {
    int hidden = 0;
    for (const dsp::Root& z : set.zeros) {
        if (std::abs(z) > kPoleZeroMaxRadius) {
            ++hidden;
        } else {
            AddRing(out, map(z), kMarkerSize, kZeroMarkerSegments);
        }
    }
    for (const dsp::Root& p : set.poles) {
        if (std::abs(p) > kPoleZeroMaxRadius) {
            ++hidden;
        } else {
            AddCross(out, map(p));
        }
    }
    return hidden;
}

} // namespace

PoleZeroGeometry ComputePoleZeroPlot(int x0, int y0, const dsp::PoleZeroSet& ideal,
                                     const dsp::PoleZeroSet* quantized, bool noDesign) {
    PoleZeroGeometry g;
    g.centre = {x0 + kCentreX, y0 + kCentreY};
    double farthest = FarthestRoot(ideal, 0.0);
    if (quantized != nullptr) {
        farthest = FarthestRoot(*quantized, farthest);
    }
    g.viewRadius = std::max(kMinViewRadius, kRadiusMargin * farthest);
    const Mapper map{g.centre, kPoleZeroRadiusPixels / g.viewRadius};
    const int reach = kPoleZeroRadiusPixels;
    g.axes = {{{g.centre.x - reach, g.centre.y}, {g.centre.x + reach, g.centre.y}},
              {{g.centre.x, g.centre.y - reach}, {g.centre.x, g.centre.y + reach}}};
    AddRing(g.unitCircle, g.centre, map.pixelsPerUnit, kCircleSegments);

    if (!noDesign) {
        g.hiddenRoots = AddMarks(g.idealMarks, ideal, map);
        const dsp::PoleZeroSet& shown = quantized != nullptr ? *quantized : ideal;
        if (quantized != nullptr) {
            g.hiddenRoots += AddMarks(g.shownMarks, *quantized, map);
        }
        // The poles of an unstable section (two per section, in section order) that lie on or
        // outside the circle, within rounding, are boxed.
        for (int section : shown.unstableSections) {
            for (std::size_t k = 2 * static_cast<std::size_t>(section - 1);
                 k < 2 * static_cast<std::size_t>(section) && k < shown.poles.size(); ++k) {
                const double radius = std::abs(shown.poles[k]);
                if (radius >= 1.0 - kOnCircle && radius <= kPoleZeroMaxRadius) {
                    AddBox(g.unstableMarks, map(shown.poles[k]));
                }
            }
        }
        // One line per unstable section, the last just above the bottom of the plot area.
        int line = static_cast<int>(shown.unstableSections.size());
        for (int section : shown.unstableSections) {
            g.redLabels.push_back({{x0 + kLegendX, y0 + kPlotHeight - kLineHeight * line--},
                                   "unstable: section " + std::to_string(section)});
        }
    }
    const int right = g.centre.x + reach;
    g.labels = {
        {{right + 4, g.centre.y - 7}, "Re"},
        {{g.centre.x + 4, g.centre.y - reach - 7}, "Im"},
        {{g.centre.x + PixelOffset(map.pixelsPerUnit) + 2, g.centre.y + 2}, "1"},
        {{g.centre.x - PixelOffset(map.pixelsPerUnit) - 14, g.centre.y + 2}, "-1"},
        {{g.centre.x + 4, g.centre.y - PixelOffset(map.pixelsPerUnit) - 16}, "j"},
        {{g.centre.x + 4, g.centre.y + PixelOffset(map.pixelsPerUnit) + 2}, "-j"},
        {{x0 + kLegendX, y0 + kLegendY}, "x pole   o zero"},
    };
    g.blueLabels = {{{x0 + kLegendX, y0 + kLegendY + kLineHeight}, "Ideal"}};
    if (quantized != nullptr) {
        g.redLabels.insert(g.redLabels.begin(),
                           {{x0 + kLegendX, y0 + kLegendY + 2 * kLineHeight}, "Quantized"});
    }
    if (g.hiddenRoots > 0) {
        g.labels.push_back({{right - 60, y0 + kPlotHeight - kLineHeight},
                            std::to_string(g.hiddenRoots) +
                                " beyond |z| = " + FormatLabel("%.0f", kPoleZeroMaxRadius)});
    }
    if (noDesign) {
        g.labels.push_back({ComputeResponseFrame(x0, y0).hint, kDesignHint});
    }
    return g;
}

void DrawPoleZeroPlot(platform::DrawContext& dc, const PoleZeroGeometry& g) {
    ScopedFont font(dc, LabelFont());
    {
        ScopedPen grid(dc, kGreyGridPen);
        DrawSegments(dc, g.axes);
    }
    DrawSegments(dc, g.unitCircle); // the context's own pen
    {
        ScopedPen ideal(dc, kBlueTracePen);
        DrawSegments(dc, g.idealMarks);
    }
    {
        ScopedPen shown(dc, kRedTracePen);
        DrawSegments(dc, g.shownMarks);
        DrawSegments(dc, g.unstableMarks);
    }
    PrepareLabels(dc);
    DrawLabels(dc, g.labels);
    dc.SetTextColor(kBlue);
    DrawLabels(dc, g.blueLabels);
    dc.SetTextColor(kRed);
    DrawLabels(dc, g.redLabels);
    dc.SetTextColor(kBlack);
}

} // namespace plots
