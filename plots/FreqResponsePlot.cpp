// Frequency response plot. At 1x the grid shows fs/2 from the start frequency, two pixels per
// response sample (one degree of angular frequency); at 10x it shows fs/20, twenty pixels per
// sample. The gain panel spans +0.2 x range (row 0) through 0 dB (row 2) to -range (row 12); the
// phase panel spans pi (row 3) through 0 (row 7) to -pi (row 11).
#include "plots/FreqResponsePlot.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "plots/PlotConventions.h"

namespace plots {

namespace {

constexpr int kH = kPlotHeight;
constexpr int kWR = kRespGridWidth;
constexpr int kSliderSpan = 200; // s = (position x WR) / 200: position 100 is sample 180
constexpr int kMaxSliderPos = 100;
// Phase scale: H/3 pixels per 3.1415 rad; the stored constant is 1/3.1415, not 1/pi.
constexpr double kPhasePixelsPerRad = (4.0 * kH) * (1.0 / 12.0) * (1.0 / 3.1415);
// Gain scale: H/120 pixels per percent of the range; clamped to the grid's top and bottom.
constexpr double kGainPixelsPerPercent = kH / 120.0;
constexpr double kGainTopOffset = 20.0 * kH / 120.0;
constexpr double kGainBottomOffset = -100.0 * kH / 120.0;
constexpr double kFreqLabelFactor = 0.005; // f0 = position x fs x 0.005

// Legends: a short line beside "Gain" and "Phase".
constexpr int kLegendX1 = 280;
constexpr int kLegendX2 = 310;
constexpr int kGainLegendY = 12;
constexpr int kPhaseLegendY = 32;
constexpr int kLegendTextX = 240;
constexpr int kGainTextY = 5;
constexpr int kPhaseTextY = 25;
// The extra curves' legends: a second column left of the first (the phase scale's unit stands
// right of it), clear of the quantization caption, one row each.
constexpr int kExtraLegendShift = -95;
constexpr int kLegendRowStep = kPhaseTextY - kGainTextY;

// Indices into the label list; the frequency labels follow the fixed ones.
constexpr size_t kBottomGainLabel = 3;
constexpr size_t kFirstPhaseLabel = 5;
constexpr size_t kLastPhaseLabel = 10;
constexpr size_t kFreqUnitLabel = 11;
constexpr size_t kFirstFreqLabel = 14;

double SampleAt(std::span<const double> values, int i) {
    return i >= 0 && static_cast<size_t>(i) < values.size() ? values[static_cast<size_t>(i)] : 0.0;
}

int Row(int y0, int k) {
    return GridRow(y0, k, kH, kRespGridRows);
}

} // namespace

int ResponseStartSample(int startPos, int freqZoom) {
    const int s = (std::clamp(startPos, 0, kMaxSliderPos) * kWR) / kSliderSpan;
    return freqZoom == 1 ? std::min(s, kRespNyquistSample - kRespZoomGainSegments) : s;
}

double ResponseStartFrequency(int startPos, int freqZoom, double fs) {
    constexpr double kDegreesPerTurn = 360.0;
    const int position = std::clamp(startPos, 0, kMaxSliderPos);
    const int s = ResponseStartSample(position, freqZoom);
    if (s < (position * kWR) / kSliderSpan) {
        return s * fs / kDegreesPerTurn;
    }
    return position * fs * kFreqLabelFactor;
}

FreqResponseGeometry ComputeFreqResponse(const FreqResponseSettings& settings, int x0, int y0,
                                         std::span<const double> gain,
                                         std::span<const double> phase, const TextMeasure& measure,
                                         std::span<const double> idealGain,
                                         std::span<const ExtraGainCurve> extras) {
    FreqResponseGeometry g;
    g.frame = ComputeResponseFrame(x0, y0);
    const bool zoomed = settings.freqZoom == 1;
    const int zoom = zoomed ? kRespZoomFactor : 1;
    const int s = ResponseStartSample(settings.startPos, settings.freqZoom);
    g.startSample = s;

    // The marked bands, clipped to the frequencies shown: fs/2 (1x) or fs/20 (10x) from the
    // start across the grid's width.
    const double shownFrom =
        ResponseStartFrequency(settings.startPos, settings.freqZoom, settings.fs);
    const double shownSpan = 0.5 * settings.fs / zoom;
    for (const auto& [lo, hi] : settings.markedBands) {
        if (!(shownSpan > 0.0) || !(hi > lo)) {
            continue;
        }
        const double from = std::max(0.0, (lo - shownFrom) / shownSpan * kWR);
        const double to = std::min(static_cast<double>(kWR), (hi - shownFrom) / shownSpan * kWR);
        if (!(to >= from)) {
            continue;
        }
        const int first = static_cast<int>(std::ceil(from));
        const int last = static_cast<int>(std::floor(to));
        for (int x = first; x <= last; x += kMarkedHatchStep) {
            g.markedHatch.push_back({{x0 + x, y0}, {x0 + x, y0 + kH}});
        }
        if (last >= first && (last - first) % kMarkedHatchStep != 0) {
            g.markedHatch.push_back({{x0 + last, y0}, {x0 + last, y0 + kH}}); // the upper edge
        }
    }

    // Phase: the curve starts one sample (and one step) in from the gain curve.
    const int zeroRad = Row(y0, kZeroRadRow);
    const auto phaseY = [&](int i) {
        return PointY(zeroRad, kPhasePixelsPerRad * SampleAt(phase, i));
    };
    const int phaseSegments = zoomed ? kRespZoomPhaseSegments : kRespLastPhaseSample - 1 - s;
    const int phaseStep = zoomed ? kRespZoomFactor * kRespSampleStride : kRespSampleStride;
    for (int k = 0; k < phaseSegments; ++k) {
        const int x = x0 + phaseStep + phaseStep * k;
        g.phaseCurve.push_back({{x, phaseY(s + 1 + k)}, {x + phaseStep, phaseY(s + 2 + k)}});
    }
    g.phaseLegend = {{x0 + kLegendX1, y0 + kPhaseLegendY}, {x0 + kLegendX2, y0 + kPhaseLegendY}};

    // Gain, clamped to the grid; a range of 0 or below has no scale and draws no curve.
    if (settings.gainRange > 0.0) {
        const int zeroDb = Row(y0, kZeroDbRow);
        const auto gainY = [&](std::span<const double> values, int i) {
            const double offset =
                kGainPixelsPerPercent * SampleAt(values, i) * 100.0 / settings.gainRange;
            return PointY(zeroDb, std::clamp(offset, kGainBottomOffset, kGainTopOffset));
        };
        const int gainSegments = zoomed ? kRespZoomGainSegments : kRespLastGainSample - s;
        const int gainStep = phaseStep;
        for (const ExtraGainCurve& extra : extras) {
            std::vector<PlotSegment>& curve = g.extraCurves.emplace_back();
            for (int k = 0; k < gainSegments; ++k) {
                const int x = x0 + gainStep * k;
                curve.push_back({{x, gainY(extra.gainDb, s + k)},
                                 {x + gainStep, gainY(extra.gainDb, s + 1 + k)}});
            }
        }
        for (int k = 0; k < gainSegments; ++k) {
            const int x = x0 + gainStep * k;
            g.gainCurve.push_back(
                {{x, gainY(gain, s + k)}, {x + gainStep, gainY(gain, s + 1 + k)}});
            if (!idealGain.empty()) {
                g.idealGainCurve.push_back(
                    {{x, gainY(idealGain, s + k)}, {x + gainStep, gainY(idealGain, s + 1 + k)}});
            }
        }
    }
    g.gainLegend = {{x0 + kLegendX1, y0 + kGainLegendY}, {x0 + kLegendX2, y0 + kGainLegendY}};

    // Labels. The phase scale stands right of the plot area, whatever the origin.
    const double range = settings.gainRange;
    const int phaseX = kPlotAreaWidth + 7;
    const double f0 = ResponseStartFrequency(settings.startPos, settings.freqZoom, settings.fs);
    // Each scale label is a multiple of a tenth of the range (one grid row): as many decimals
    // as that step needs.
    const int gainDecimals = StepDecimals(0.1 * range);
    g.labels = {
        {{x0 - 60, y0 - 5}, FormatStep(0.2 * range, 7, gainDecimals)},
        {{x0 - 40, Row(y0, kZeroDbRow) - 5}, "  0"},
        {{x0 - 65, Row(y0, kZeroRadRow) - 5}, FormatStep(-0.5 * range, 8, gainDecimals)},
        {{x0 - 65, y0 + kH - 5}, FormatStep(-range, 8, gainDecimals)},
        {{x0 - 45, y0 + 10}, "[dB]"},
        {{phaseX, Row(y0, 3) - 5}, "  pai "},
        {{phaseX, Row(y0, 5) - 5}, " pai/2"},
        {{phaseX, Row(y0, 7) - 5}, "   0 "},
        {{phaseX, Row(y0, 9) - 5}, "-pai/2"},
        {{phaseX, Row(y0, 11) - 5}, " -pai "},
        {{phaseX, y0 + 10}, "[rad]"},
        {{x0 + kWR + 10, y0 + kH + 10}, "[Hz]"},
        {{x0 + kLegendTextX, y0 + kGainTextY}, settings.gainLegend},
        {{x0 + kLegendTextX, y0 + kPhaseTextY}, "Phase"},
    };
    // The frequency axis: fs/2 (1x) or fs/20 (10x) from f0, labelled at 1-2-5 steps.
    const std::vector<PlotLabel> freqs =
        AxisLabels(f0, 0.5 * settings.fs / zoom, x0, kWR, y0 + kH, measure);
    g.labels.insert(g.labels.end(), freqs.begin(), freqs.end());
    // Wide numbers yield to their neighbours: the last frequency to "[Hz]", the first frequency
    // to the bottom of the gain scale.
    if (settings.fitLabels && g.labels.size() > kFirstFreqLabel) {
        MoveClearOf(measure, g.labels.back(), g.labels[kFreqUnitLabel], Side::kLeft);
        MoveClearOf(measure, g.labels[kFirstFreqLabel], g.labels[kBottomGainLabel], Side::kRight);
        DropCovered(g.labels, kFirstFreqLabel, measure);
    }
    for (size_t i = 0; i < extras.size(); ++i) {
        const int row = static_cast<int>(i) * kLegendRowStep;
        g.extraLegends.push_back({{x0 + kLegendX1 + kExtraLegendShift, y0 + kGainLegendY + row},
                                  {x0 + kLegendX2 + kExtraLegendShift, y0 + kGainLegendY + row}});
        g.labels.push_back(
            {{x0 + kLegendTextX + kExtraLegendShift, y0 + kGainTextY + row}, extras[i].legend});
    }
    if (settings.noDesign) {
        // The hint stays left of the phase scale in any font.
        PlotLabel hint{g.frame.hint, kDesignHint};
        for (size_t i = kFirstPhaseLabel; settings.fitLabels && i <= kLastPhaseLabel; ++i) {
            MoveClearOf(measure, hint, g.labels[i], Side::kLeft);
        }
        g.labels.push_back(hint);
    }
    return g;
}

namespace {

void DrawHorizontal(platform::DrawContext& dc, const HorizontalLine& line) {
    Segment(dc, line.x1, line.y, line.x2, line.y);
}

void DrawVertical(platform::DrawContext& dc, const VerticalLine& line) {
    Segment(dc, line.x, line.y1, line.x, line.y2);
}

} // namespace

void DrawFreqResponse(platform::DrawContext& dc, int x0, int y0, std::span<const double> gain,
                      std::span<const double> phase, const FreqResponseSettings& settings,
                      std::span<const double> idealGain, std::span<const ExtraGainCurve> extras) {
    ScopedFont font(dc, LabelFont());
    const FreqResponseGeometry g =
        ComputeFreqResponse(settings, x0, y0, gain, phase, MeasureWith(dc), idealGain, extras);
    {
        ScopedPen marked(dc, kMarkedBandPen);
        DrawSegments(dc, g.markedHatch);
    }
    {
        ScopedPen grid(dc, kGreyGridPen);
        std::for_each(g.frame.gridRows.begin(), g.frame.gridRows.end(),
                      [&](const HorizontalLine& line) { DrawHorizontal(dc, line); });
        std::for_each(g.frame.gridColumns.begin(), g.frame.gridColumns.end(),
                      [&](const VerticalLine& line) { DrawVertical(dc, line); });
    }
    {
        ScopedPen reference(dc, kBlackReferencePen);
        for (const HorizontalLine& line : g.frame.references) {
            DrawHorizontal(dc, line);
        }
    }
    // The frame uses the context's own pen.
    for (const HorizontalLine& line : g.frame.frameRows) {
        DrawHorizontal(dc, line);
    }
    for (const VerticalLine& line : g.frame.frameColumns) {
        DrawVertical(dc, line);
    }
    {
        ScopedPen trace(dc, kGreenTracePen);
        DrawSegments(dc, g.phaseCurve);
        DrawSegments(dc, {g.phaseLegend});
    }
    {
        ScopedPen ideal(dc, kGreyIdealPen);
        DrawSegments(dc, g.idealGainCurve);
    }
    for (size_t i = 0; i < g.extraCurves.size() && i < extras.size(); ++i) {
        ScopedPen trace(dc, extras[i].pen);
        DrawSegments(dc, g.extraCurves[i]);
        DrawSegments(dc, {g.extraLegends[i]});
    }
    {
        ScopedPen trace(dc, kRedTracePen);
        DrawSegments(dc, g.gainCurve);
        DrawSegments(dc, {g.gainLegend});
    }
    PrepareLabels(dc);
    DrawLabels(dc, g.labels);
}

std::optional<ResponseReadout> ReadResponseAt(const FreqResponseSettings& settings, int x0, int y0,
                                              std::span<const double> gain,
                                              std::span<const double> phase,
                                              platform::Point logical) {
    constexpr double kDegreesPerTurn = 360.0;
    if (logical.x < x0 || logical.x > x0 + kWR || logical.y < y0 || logical.y > y0 + kH) {
        return std::nullopt;
    }
    const bool zoomed = settings.freqZoom == 1;
    const int step = zoomed ? kRespZoomFactor * kRespSampleStride : kRespSampleStride;
    const int s = ResponseStartSample(settings.startPos, settings.freqZoom);
    // The nearest sample drawn at this x; the gain curve ends at its last segment's right end.
    const int k = (logical.x - x0 + step / 2) / step;
    const int lastK = zoomed ? kRespZoomGainSegments : kRespLastGainSample - s;
    if (k > lastK) {
        return std::nullopt;
    }
    const int i = s + k;
    return ResponseReadout{i, i * settings.fs / kDegreesPerTurn, SampleAt(gain, i),
                           SampleAt(phase, i)};
}

std::array<PlotLabel, 3> ComputeQuantCaption(int x, int y, int bits, const TextMeasure& measure,
                                             bool fitWords) {
    std::array<PlotLabel, 3> caption{{{{x, y}, kCaptionText},
                                      {{x + kCaptionBitsOffset, y}, FormatLabel("%2d", bits)},
                                      {{x + kCaptionUnitOffset, y}, "bits"}}};
    // Each word starts after the one before it, however wide the font draws them.
    for (size_t i = 1; fitWords && i < caption.size(); ++i) {
        const TextBox before = InkBox(measure, caption[i - 1].at, caption[i - 1].text);
        const TextBox box = InkBox(measure, caption[i].at, caption[i].text);
        const int shortfall = before.right + LabelGap(measure) - box.left;
        if (shortfall > 0) {
            caption[i].at.x += shortfall;
        }
    }
    return caption;
}

void DrawQuantCaption(platform::DrawContext& dc, int x, int y, bool quantize, int bits,
                      bool fitWords) {
    if (!quantize) {
        return;
    }
    const std::array<PlotLabel, 3> caption =
        ComputeQuantCaption(x, y, bits, MeasureWith(dc), fitWords);
    dc.TextOut(caption[0].at.x, caption[0].at.y, caption[0].text);
    dc.SetTextColor(kRed);
    dc.TextOut(caption[1].at.x, caption[1].at.y, caption[1].text);
    dc.SetTextColor(kBlack);
    dc.TextOut(caption[2].at.x, caption[2].at.y, caption[2].text);
}

} // namespace plots
