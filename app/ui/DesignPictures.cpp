// The pictures of the Design command's dialogs, computed as segments and labels, then drawn.
#include "app/ui/DesignPictures.h"

#include <array>

#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "plots/PlotConventions.h"

namespace design {

using platform::Point;

namespace {

// The picture font and pens.
constexpr int kFontHeight = 8; // dialog units
constexpr platform::PenSpec kFramePen{platform::PenStyle::kSolid, 1, {0, 0, 0}};
constexpr platform::PenSpec kCurvePen{platform::PenStyle::kSolid, 1, {0, 0, 255}};
constexpr platform::PenSpec kLimitPen{platform::PenStyle::kDot, 1, {100, 100, 100}};

// One band of a response sketch, from xa to xb: a pass band at the high level, a stop band near
// the axis.
struct Band {
    int xa;
    int xb;
    bool pass;
};

// Where a band lies among the bands of its sketch: a monotone stop band rises towards a pass
// band on its right, falls away from one on its left, and dips between two.
enum class BandPlace { kFirst, kMiddle, kLast };

// Where a response sketch sits in its picture and how its ripples look.
struct SketchFrame {
    int x0;         // the gain axis
    int x1;         // the end of the frequency axis
    int yTop;       // top of the gain axis
    int yHigh;      // gain 1 (pass band)
    int yAxis;      // gain 0 (the frequency axis)
    int passRipple; // FIR: d1 on each side of yHigh; IIR: Ac below yHigh
    int stopRipple; // FIR: d2 above the axis; 0: a monotone stop band (IIR)
    bool chebyshev; // pass band ripple below the high level only
};

constexpr int kRippleStep = 6; // half a ripple period
constexpr int kStopDecay = 10; // the monotone stop band starts this far above the axis
constexpr int kTickLength = 3;
constexpr int kLabelHalfWidth = 6; // labels of edge marks are centred on the mark

void Line(PictureSketch& s, Point a, Point b, SketchPen pen = SketchPen::kFrame) {
    s.lines.push_back({a, b, pen});
}

void Label(PictureSketch& s, int x, int y, const std::string& text) {
    s.labels.push_back({{x, y}, text});
}

// The curve of one band as a polyline: ripples between two levels, or a monotone decay.
std::vector<Point> BandCurve(const SketchFrame& f, const Band& band, BandPlace place) {
    std::vector<Point> points;
    int upper = 0;
    int lower = 0;
    if (band.pass) {
        upper = f.yHigh - (f.chebyshev ? 0 : f.passRipple);
        lower = f.yHigh + f.passRipple;
    } else if (f.stopRipple > 0) {
        upper = f.yAxis - f.stopRipple;
        lower = f.yAxis;
    } else {
        const int deep = f.yAxis - 1;
        const int shallow = f.yAxis - kStopDecay;
        if (place == BandPlace::kMiddle) {
            points = {{band.xa, shallow}, {(band.xa + band.xb) / 2, deep}, {band.xb, shallow}};
        } else if (place == BandPlace::kFirst) {
            points = {{band.xa, deep}, {band.xb, shallow}};
        } else {
            points = {{band.xa, shallow}, {band.xb, deep}};
        }
        return points;
    }
    bool up = true;
    for (int x = band.xa; x < band.xb; x += kRippleStep) {
        points.push_back({x, up ? upper : lower});
        up = !up;
    }
    points.push_back({band.xb, up ? upper : lower});
    return points;
}

void AddResponse(PictureSketch& s, const SketchFrame& f, const std::vector<Band>& bands) {
    Line(s, {f.x0, f.yTop}, {f.x0, f.yAxis});
    Line(s, {f.x0, f.yAxis}, {f.x1 + kTickLength, f.yAxis});
    Label(s, f.x1 + kTickLength, f.yAxis - kFontHeight, "f");
    Point last{-1, -1};
    for (size_t i = 0; i < bands.size(); ++i) {
        const BandPlace place = i == 0                  ? BandPlace::kFirst
                                : i + 1 == bands.size() ? BandPlace::kLast
                                                        : BandPlace::kMiddle;
        const std::vector<Point> curve = BandCurve(f, bands[i], place);
        if (last.x >= 0) {
            Line(s, last, curve.front(), SketchPen::kCurve); // the transition
        }
        for (size_t i = 1; i < curve.size(); ++i) {
            Line(s, curve[i - 1], curve[i], SketchPen::kCurve);
        }
        last = curve.back();
    }
}

void AddEdgeMark(PictureSketch& s, const SketchFrame& f, int x, const std::string& name) {
    Line(s, {x, f.yAxis}, {x, f.yAxis + kTickLength});
    Label(s, x - kLabelHalfWidth, f.yAxis + kTickLength - 1, name);
}

// ---- FIR picture ------------------------------------------------------------------------------
constexpr int kDelayLineY = 32;
constexpr int kSumLineY = 60;
constexpr std::array<int, 4> kTapX = {14, 46, 78, 120};
constexpr const char* kTapNames[4] = {"h0", "h1", "h2", "hN-1"};
constexpr int kDelayHalfWidth = 8;
constexpr int kDelayHalfHeight = 6;
constexpr int kArrowLength = 12;
constexpr int kArrowHead = 4;

void AddDelayLine(PictureSketch& s) {
    Label(s, 2, kDelayLineY - 12, "x(n)");
    Line(s, {2, kDelayLineY}, {kTapX[0], kDelayLineY});
    for (size_t i = 0; i + 1 < kTapX.size(); ++i) {
        const int mid = (kTapX[i] + kTapX[i + 1]) / 2;
        const int left = mid - kDelayHalfWidth;
        const int right = mid + kDelayHalfWidth;
        const int top = kDelayLineY - kDelayHalfHeight;
        const int bottom = kDelayLineY + kDelayHalfHeight;
        Line(s, {kTapX[i], kDelayLineY}, {left, kDelayLineY});
        Line(s, {left, top}, {right, top});
        Line(s, {right, top}, {right, bottom});
        Line(s, {right, bottom}, {left, bottom});
        Line(s, {left, bottom}, {left, top});
        Label(s, left + 1, top + 1, "z^-1");
        Line(s, {right, kDelayLineY}, {kTapX[i + 1], kDelayLineY});
    }
    // The taps between h2 and hN-1 are left out.
    Label(s, (kTapX[2] + kTapX[3]) / 2 - 4, kDelayLineY - 16, "...");
    for (size_t i = 0; i < kTapX.size(); ++i) {
        Line(s, {kTapX[i], kDelayLineY}, {kTapX[i], kSumLineY});
        Label(s, kTapX[i] + 2, kDelayLineY + 10, kTapNames[i]);
    }
    const int end = kTapX.back() + kArrowLength;
    Line(s, {kTapX.front(), kSumLineY}, {end, kSumLineY});
    Line(s, {end, kSumLineY}, {end - kArrowHead, kSumLineY - kArrowHead + 1});
    Line(s, {end, kSumLineY}, {end - kArrowHead, kSumLineY + kArrowHead - 1});
    Label(s, end + 2, kSumLineY - kFontHeight / 2, "y(n)");
}

constexpr SketchFrame kFirFrame{160, 240, 14, 30, 84, 3, 4, false};
constexpr std::array<int, 2> kFirEdges2 = {188, 204};
constexpr std::array<int, 4> kFirEdges4 = {176, 190, 208, 222};

} // namespace

PictureSketch FirPictureSketch(int type) {
    PictureSketch s;
    Label(s, 4, 1, "H(z) = h0 + h1 z^-1 + ... + hN-1 z^-(N-1)");
    AddDelayLine(s);

    const SketchFrame& f = kFirFrame;
    std::vector<Band> bands;
    std::vector<int> edges;
    if (IsThreeBand(type)) {
        edges.assign(kFirEdges4.begin(), kFirEdges4.end());
        const bool rejection = type == kBrf;
        bands = {{f.x0, edges[0], rejection},
                 {edges[1], edges[2], !rejection},
                 {edges[3], f.x1, rejection}};
    } else {
        edges.assign(kFirEdges2.begin(), kFirEdges2.end());
        const bool lowPass = type != kHpf;
        bands = {{f.x0, edges[0], lowPass}, {edges[1], f.x1, !lowPass}};
    }
    AddResponse(s, f, bands);
    // The ripple limits: d1 around the pass band level, d2 above the axis.
    Line(s, {f.x0, f.yHigh - f.passRipple}, {f.x1, f.yHigh - f.passRipple}, SketchPen::kLimit);
    Line(s, {f.x0, f.yHigh + f.passRipple}, {f.x1, f.yHigh + f.passRipple}, SketchPen::kLimit);
    Line(s, {f.x0, f.yAxis - f.stopRipple}, {f.x1, f.yAxis - f.stopRipple}, SketchPen::kLimit);
    Label(s, f.x0 - 14, f.yHigh - kFontHeight / 2, "d1");
    Label(s, f.x0 - 14, f.yAxis - f.stopRipple - kFontHeight, "d2");
    for (size_t i = 0; i < edges.size(); ++i) {
        AddEdgeMark(s, f, edges[i], "fc" + std::to_string(i + 1));
    }
    return s;
}

PictureSketch IirCascadeSketch() {
    constexpr int kBoxTop = 22;
    constexpr int kBoxBottom = 36;
    constexpr int kChainY = (kBoxTop + kBoxBottom) / 2;
    constexpr std::array<int, 3> kBoxLeft = {24, 80, 148};
    constexpr int kBoxWidth = 40;
    constexpr const char* kBoxNames[3] = {"IIR 1", "IIR 2", "IIR n"};
    PictureSketch s;
    Label(s, 4, 1, "Hk(z) = (a0 + a1 z^-1 + a2 z^-2) / (1 + b1 z^-1 + b2 z^-2)");
    Label(s, 4, 11, "H(z) = H1(z) H2(z) ... Hn(z)");
    Label(s, 2, kBoxTop - 1, "x(n)");
    int x = 18;
    for (size_t i = 0; i < kBoxLeft.size(); ++i) {
        const int left = kBoxLeft[i];
        const int right = left + kBoxWidth;
        Line(s, {x, kChainY}, {left, kChainY});
        Line(s, {left, kBoxTop}, {right, kBoxTop});
        Line(s, {right, kBoxTop}, {right, kBoxBottom});
        Line(s, {right, kBoxBottom}, {left, kBoxBottom});
        Line(s, {left, kBoxBottom}, {left, kBoxTop});
        Label(s, left + 10, kBoxTop + 3, kBoxNames[i]);
        x = right;
        if (i == 1) {
            // Sections 3 to n-1 are left out.
            Line(s, {x, kChainY}, {x + 6, kChainY});
            Label(s, x + 9, kBoxTop + 3, "...");
            x = kBoxLeft[2] - 6;
        }
    }
    Line(s, {x, kChainY}, {x + 16, kChainY});
    Label(s, x + 18, kBoxTop - 1, "y(n)");
    return s;
}

namespace {
constexpr SketchFrame kIirFrame{30, 236, 4, 12, 46, 6, 0, true};
constexpr int kIirEdge = 130;
constexpr std::array<int, 2> kIirEdges = {100, 170};
constexpr int kIirTransition = 16;
} // namespace

PictureSketch IirResponseSketch(int type) {
    const SketchFrame& f = kIirFrame;
    PictureSketch s;
    std::vector<Band> bands;
    switch (type) {
    case kHpf:
        bands = {{f.x0, kIirEdge - kIirTransition, false}, {kIirEdge, f.x1, true}};
        break;
    case kBrf:
        bands = {{f.x0, kIirEdges[0], true},
                 {kIirEdges[0] + kIirTransition, kIirEdges[1] - kIirTransition, false},
                 {kIirEdges[1], f.x1, true}};
        break;
    case kBpf:
        bands = {{f.x0, kIirEdges[0] - kIirTransition, false},
                 {kIirEdges[0], kIirEdges[1], true},
                 {kIirEdges[1] + kIirTransition, f.x1, false}};
        break;
    default:
        bands = {{f.x0, kIirEdge, true}, {kIirEdge + kIirTransition, f.x1, false}};
        break;
    }
    AddResponse(s, f, bands);
    // The ripple Ac: the pass band swings between the two limits.
    Line(s, {f.x0, f.yHigh}, {f.x1, f.yHigh}, SketchPen::kLimit);
    Line(s, {f.x0, f.yHigh + f.passRipple}, {f.x1, f.yHigh + f.passRipple}, SketchPen::kLimit);
    Label(s, 2, f.yHigh - 1, "Ac [dB]");
    if (IsThreeBand(type)) {
        AddEdgeMark(s, f, kIirEdges[0], "fc1");
        AddEdgeMark(s, f, kIirEdges[1], "fc2");
    } else {
        AddEdgeMark(s, f, kIirEdge, "fc");
    }
    return s;
}

void DrawSketch(platform::DrawContext& dc, const PictureSketch& sketch) {
    platform::LogicalFont font = plots::LabelFont();
    font.height = kFontHeight;
    plots::ScopedFont labelFont(dc, font);
    plots::PrepareLabels(dc);
    const struct {
        SketchPen kind;
        const platform::PenSpec& look;
    } pens[] = {{SketchPen::kFrame, kFramePen},
                {SketchPen::kLimit, kLimitPen},
                {SketchPen::kCurve, kCurvePen}};
    for (const auto& pen : pens) {
        plots::ScopedPen selected(dc, pen.look);
        for (const SketchLine& line : sketch.lines) {
            if (line.pen == pen.kind) {
                plots::Segment(dc, line.from.x, line.from.y, line.to.x, line.to.y);
            }
        }
    }
    for (const SketchLabel& label : sketch.labels) {
        dc.TextOut(label.at.x, label.at.y, label.text);
    }
}

} // namespace design
