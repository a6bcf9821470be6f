// The pole-zero diagram: the unit circle in a square view centred in the plot area, poles as x
// and zeros as o. The view reaches |z| = 1.25, or a tenth past the farthest root up to 1.5; roots
// beyond it are arrows at the edge of the view pointing their way, with their count. Roots on
// one spot share a marker with their count beside it.
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "plots/FilterViewPlots.h"
#include "plots/PlotConventions.h"

namespace plots {

namespace {

constexpr double kRadiusMargin = 1.1;
constexpr double kRadiusStep = 0.05;
constexpr int kCircleSegments = 90;
constexpr int kZeroMarkerSegments = 12;
constexpr int kUnstableBox = 8; // half the side of the square around an unstable pole
constexpr double kTwoPi = 6.28318530717958647692;
constexpr int kArrowDirections = 24; // arrows point at multiples of 15 degrees
constexpr int kArrowHead = 5;
// Roots this close count as one repeated root: a k-fold root found numerically spreads by about
// the k-th root of the rounding (2e-4 for a fourfold one).
constexpr double kRepeatedRoot = 1e-3;
constexpr int kCentreX = kPlotAreaWidth / 2;
constexpr int kCentreY = kPlotHeight / 2;
constexpr int kLegendX = 5;
constexpr int kLegendY = 5;
constexpr int kLineHeight = 16;
constexpr double kOnCircle = 1e-9; // a pole this close to the circle lies on it

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

double DirectionOf(int direction) {
    return kTwoPi * direction / kArrowDirections;
}

// The point `distance` units from the centre towards `angle` (y grows downward).
platform::Point Towards(platform::Point centre, double angle, double distance) {
    return {centre.x + PixelOffset(distance * std::cos(angle)),
            centre.y - PixelOffset(distance * std::sin(angle))};
}

// An arrow from inside the view's edge out to its tip, with a two-stroke head.
void AddArrow(std::vector<PlotSegment>& out, platform::Point centre, platform::Point tip) {
    const double angle = std::atan2(centre.y - tip.y, tip.x - centre.x);
    const platform::Point tail = Towards(tip, angle + kTwoPi / 2, kArrowLength);
    out.push_back({tail, tip});
    out.push_back({Towards(tip, angle + 0.8 * kTwoPi / 2, kArrowHead), tip});
    out.push_back({Towards(tip, angle - 0.8 * kTwoPi / 2, kArrowHead), tip});
}

// A count to place: its usual place, the point it belongs to and its set (the quantized one red).
struct PendingLabel {
    PlotLabel usual;
    platform::Point anchor;
    bool shown = false;
};

// Draws one set's markers into `marks` and the boxes they cover into `taken`, and lists their
// counts in `labels`; returns how many roots lie beyond the view.
int AddMarks(std::vector<PlotSegment>& marks, std::vector<PendingLabel>& labels,
             std::vector<TextBox>& taken, const dsp::PoleZeroSet& set, const Mapper& map,
             double viewRadius, const TextMeasure& measure, bool shown) {
    int hidden = 0;
    for (const bool poles : {false, true}) {
        const std::vector<dsp::Root>& roots = poles ? set.poles : set.zeros;
        for (const RootMarker& m : GroupRoots(roots, map.centre, map.pixelsPerUnit, viewRadius)) {
            if (m.beyond) {
                hidden += m.count;
                AddArrow(marks, map.centre, m.at);
                taken.push_back({std::min(m.at.x, map.centre.x) - kArrowHead,
                                 std::min(m.at.y, map.centre.y) - kArrowHead,
                                 std::max(m.at.x, map.centre.x) + kArrowHead + 1,
                                 std::max(m.at.y, map.centre.y) + kArrowHead + 1});
                // The count inside the view, just beyond the arrow's tail.
                const std::string text = std::to_string(m.count);
                const platform::Size size = measure(text);
                const double angle = std::atan2(map.centre.y - m.at.y, m.at.x - map.centre.x);
                const platform::Point mid =
                    Towards(map.centre, angle, kPoleZeroRadiusPixels - kArrowLength - 10);
                labels.push_back({{{mid.x - size.cx / 2, mid.y - size.cy / 2}, text}, mid, shown});
                continue;
            }
            if (poles) {
                AddCross(marks, m.at);
            } else {
                AddRing(marks, m.at, kMarkerSize, kZeroMarkerSegments);
            }
            taken.push_back({m.at.x - kMarkerSize - 1, m.at.y - kMarkerSize - 1,
                             m.at.x + kMarkerSize + 2, m.at.y + kMarkerSize + 2});
            if (m.count > 1) {
                // The count at the marker's upper right.
                const std::string text = std::to_string(m.count);
                labels.push_back(
                    {{{m.at.x + kMarkerSize + 1, m.at.y - kMarkerSize - measure(text).cy}, text},
                     m.at,
                     shown});
            }
        }
    }
    return hidden;
}

bool Clear(const TextBox& box, const std::vector<TextBox>& taken) {
    return std::none_of(taken.begin(), taken.end(),
                        [&](const TextBox& other) { return box.Overlaps(other); });
}

// The first place for an axis label that nothing taken covers: its usual place, then places
// around its point at growing distances; the usual place when none is clear.
PlotLabel PlaceClear(const TextMeasure& measure, const std::vector<TextBox>& taken,
                     platform::Point usual, platform::Point anchor, const std::string& text) {
    const PlotLabel first{usual, text};
    if (Clear(InkBox(measure, first.at, text), taken)) {
        return first;
    }
    const platform::Size size = measure(text);
    for (int d = 2; d <= 3 * kUnstableBox; d += 2) {
        const platform::Point places[] = {
            {anchor.x + d, anchor.y + d},                     // below right
            {anchor.x + d, anchor.y - d - size.cy},           // above right
            {anchor.x - d - size.cx, anchor.y + d},           // below left
            {anchor.x - d - size.cx, anchor.y - d - size.cy}, // above left
        };
        for (const platform::Point& at : places) {
            if (Clear(InkBox(measure, at, text), taken)) {
                return {at, text};
            }
        }
    }
    return first;
}

} // namespace

double PoleZeroViewRadius(const dsp::PoleZeroSet& ideal, const dsp::PoleZeroSet* quantized) {
    double farthest = 0.0;
    for (const dsp::PoleZeroSet* set : {&ideal, quantized}) {
        for (const std::vector<dsp::Root>* roots :
             {set ? &set->zeros : nullptr, set ? &set->poles : nullptr}) {
            for (std::size_t k = 0; roots != nullptr && k < roots->size(); ++k) {
                const double r = std::abs((*roots)[k]);
                if (std::isfinite(r)) {
                    farthest = std::max(farthest, r);
                }
            }
        }
    }
    const double wanted = std::ceil(kRadiusMargin * farthest / kRadiusStep - 1e-9) * kRadiusStep;
    return std::clamp(wanted, kPoleZeroMinRadius, kPoleZeroMaxRadius);
}

std::vector<RootMarker> GroupRoots(const std::vector<dsp::Root>& roots, platform::Point centre,
                                   double pixelsPerUnit, double viewRadius) {
    std::vector<RootMarker> markers;
    std::vector<dsp::Root> firsts; // the first root of each marker
    const Mapper map{centre, pixelsPerUnit};
    for (const dsp::Root& z : roots) {
        if (!std::isfinite(z.real()) || !std::isfinite(z.imag())) {
            continue; // no place to draw it
        }
        const bool beyond = std::abs(z) > viewRadius;
        platform::Point at;
        if (beyond) {
            const double turns = std::arg(z) / kTwoPi;
            const int direction = static_cast<int>(std::lround(turns * kArrowDirections));
            at = Towards(centre, DirectionOf(direction), kPoleZeroRadiusPixels);
        } else {
            at = map(z);
        }
        // Beyond the view, one arrow per direction; inside it, one marker per repeated root.
        std::size_t k = 0;
        while (k < markers.size() &&
               !(beyond ? markers[k].beyond && markers[k].at == at
                        : !markers[k].beyond && std::abs(firsts[k] - z) <= kRepeatedRoot)) {
            ++k;
        }
        if (k < markers.size()) {
            ++markers[k].count;
        } else {
            markers.push_back({at, 1, beyond});
            firsts.push_back(z);
        }
    }
    return markers;
}

PoleZeroGeometry ComputePoleZeroPlot(int x0, int y0, const dsp::PoleZeroSet& ideal,
                                     const dsp::PoleZeroSet* quantized, bool noDesign,
                                     const TextMeasure& measureIn) {
    const TextMeasure measure = MeasureOrEstimate(measureIn);
    PoleZeroGeometry g;
    g.centre = {x0 + kCentreX, y0 + kCentreY};
    g.viewRadius = noDesign ? kPoleZeroMinRadius : PoleZeroViewRadius(ideal, quantized);
    const Mapper map{g.centre, kPoleZeroRadiusPixels / g.viewRadius};
    const int reach = kPoleZeroRadiusPixels;
    g.axes = {{{g.centre.x - reach, g.centre.y}, {g.centre.x + reach, g.centre.y}},
              {{g.centre.x, g.centre.y - reach}, {g.centre.x, g.centre.y + reach}}};
    AddRing(g.unitCircle, g.centre, map.pixelsPerUnit, kCircleSegments);

    std::vector<TextBox> taken; // markers, arrows and counts: the axis labels keep clear of them
    std::vector<PendingLabel> pending;
    if (!noDesign) {
        g.hiddenRoots =
            AddMarks(g.idealMarks, pending, taken, ideal, map, g.viewRadius, measure, false);
        const dsp::PoleZeroSet& shown = quantized != nullptr ? *quantized : ideal;
        if (quantized != nullptr) {
            g.hiddenRoots += AddMarks(g.shownMarks, pending, taken, *quantized, map, g.viewRadius,
                                      measure, true);
        }
        // The poles of an unstable section (two per section, in section order) that lie on or
        // outside the circle, within rounding, and inside the view, are boxed.
        for (int section : shown.unstableSections) {
            for (std::size_t k = 2 * static_cast<std::size_t>(section - 1);
                 k < 2 * static_cast<std::size_t>(section) && k < shown.poles.size(); ++k) {
                const double radius = std::abs(shown.poles[k]);
                if (radius >= 1.0 - kOnCircle && radius <= g.viewRadius) {
                    const platform::Point p = map(shown.poles[k]);
                    AddBox(g.unstableMarks, p);
                    taken.push_back({p.x - kUnstableBox, p.y - kUnstableBox, p.x + kUnstableBox + 1,
                                     p.y + kUnstableBox + 1});
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
    // Counts, then the axis labels, each clear of the markers and of the labels placed before.
    const auto place = [&](platform::Point usual, platform::Point anchor, const std::string& text) {
        const PlotLabel label = PlaceClear(measure, taken, usual, anchor, text);
        taken.push_back(InkBox(measure, label.at, label.text));
        return label;
    };
    std::vector<PlotLabel> idealCounts;
    std::vector<PlotLabel> shownCounts;
    for (const PendingLabel& p : pending) {
        (p.shown ? shownCounts : idealCounts).push_back(place(p.usual.at, p.anchor, p.usual.text));
    }
    const int unit = PixelOffset(map.pixelsPerUnit);
    const platform::Point c = g.centre;
    const int right = c.x + reach;
    g.labels.push_back(place({right + 4, c.y - 7}, {right, c.y}, "Re"));
    g.labels.push_back(place({c.x + 4, c.y - reach - 7}, {c.x, c.y - reach}, "Im"));
    g.labels.push_back(place({c.x + unit + 2, c.y + 2}, {c.x + unit, c.y}, "1"));
    g.labels.push_back(place({c.x - unit - 14, c.y + 2}, {c.x - unit, c.y}, "-1"));
    g.labels.push_back(place({c.x + 4, c.y - unit - 16}, {c.x, c.y - unit}, "j"));
    g.labels.push_back(place({c.x + 4, c.y + unit + 2}, {c.x, c.y + unit}, "-j"));
    g.labels.push_back({{x0 + kLegendX, y0 + kLegendY}, "x pole   o zero"});
    g.blueLabels = {{{x0 + kLegendX, y0 + kLegendY + kLineHeight}, "Ideal"}};
    g.blueLabels.insert(g.blueLabels.end(), idealCounts.begin(), idealCounts.end());
    if (quantized != nullptr) {
        g.redLabels.insert(g.redLabels.begin(),
                           {{x0 + kLegendX, y0 + kLegendY + 2 * kLineHeight}, "Quantized"});
    }
    g.redLabels.insert(g.redLabels.end(), shownCounts.begin(), shownCounts.end());
    if (g.hiddenRoots > 0) {
        g.labels.push_back({{right - 60, y0 + kPlotHeight - kLineHeight},
                            std::to_string(g.hiddenRoots) + " beyond |z| = " +
                                FormatStep(g.viewRadius, 0, StepDecimals(g.viewRadius))});
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
