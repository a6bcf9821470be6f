// Wave panel. At 1x a panel spans 100 samples at 4 pixels each from the start sample; at 10x it
// spans 10 samples at 40 pixels each. The panel's top is +range, its centre 0 and its bottom
// -range; values beyond are held at the panel's top or bottom line, so the wave stays inside.
#include "plots/WavePlot.h"

#include <algorithm>
#include <array>

#include "plots/PlotConventions.h"

namespace plots {

const char* const kNyquistMessage = "Wave Frequency should be lower than Nyquist Frequency";
const char* const kDelayNote = "Output Wave may have huge delay";

namespace {

constexpr int kWA = kPlotAreaWidth;
constexpr int kNS = kWaveSamplesPerPanel;
constexpr int kHP = kWavePanelHeight;
constexpr int kGridColumns = 4;
constexpr int kMaxSliderPos = 100;
constexpr int kPixelsPerSample = kWA / kNS;                              // 4 at 1x
constexpr int kSegments = kNS - 2;                                       // 98 at 1x
constexpr int kZoomSegments = kNS / kWaveZoomFactor;                     // 10 at 10x
constexpr int kZoomPixelsPerSample = kWaveZoomFactor * kPixelsPerSample; // 40
constexpr double kStartFraction = 0.01;                                  // t0 = T x position x 0.01
constexpr int kNoteInsetY = 3; // the delay note inside an empty panel, under its top line
// Indices into the label list; the time labels follow the fixed ones.
constexpr size_t kTimeUnitLabel = 0;
constexpr size_t kMagnitudeLabel = 1;
static_assert(kNS + kSegments < kWaveScaledSamples);

} // namespace

WaveGeometry ComputeWave(const WaveSettings& settings, int x0, int y0,
                         std::span<const double> samples, bool input, const TextMeasure& measure) {
    WaveGeometry g;
    // Grid: top, centre and bottom rows; five columns at quarters of the width.
    for (int y : {y0, y0 + kHP / 2, y0 + kHP}) {
        g.grid.push_back({{x0, y}, {x0 + kWA, y}});
    }
    for (int i = 0; i <= kGridColumns; ++i) {
        const int x = x0 + (kWA * i) / kGridColumns;
        g.grid.push_back({{x, y0}, {x, y0 + kHP}});
    }

    const bool zoomed = settings.timeZoom == 1;
    const int zoom = zoomed ? kWaveZoomFactor : 1;
    const int position = std::clamp(settings.startPos, 0, kMaxSliderPos);
    const int s = (kNS * position) / 100;
    const bool belowNyquist = settings.userWave || settings.fs / 2.0 > settings.waveFreq;
    if (belowNyquist && settings.magRange > 0.0) {
        // v: the first 280 samples in pixels above the centre line.
        std::array<double, kWaveScaledSamples> v{};
        const size_t n = std::min(samples.size(), v.size());
        for (size_t i = 0; i < n; ++i) {
            v[i] = (settings.plotAmplitude / settings.magRange) * samples[i];
        }
        const int centre = y0 + kHP / 2;
        const auto y = [&](double value) {
            return std::clamp(PointY(centre, value), y0, y0 + kHP);
        };
        const int segments = zoomed ? kZoomSegments : kSegments;
        const int step = zoomed ? kZoomPixelsPerSample : kPixelsPerSample;
        for (int k = 0; k < segments; ++k) {
            const auto at = static_cast<size_t>(s + k);
            g.curve.push_back({{x0 + step * k, y(v[at])}, {x0 + step * k + step, y(v[at + 1])}});
        }
    }

    // Time labels sit at the absolute height H + 2, under the output panel, for both panels.
    const double period = kNS / settings.fs;
    const double t0 = period * position * kStartFraction;
    const int timeY = kPlotHeight + 2;
    g.labels = {
        {{x0 + kWA + 40, timeY}, "[s]"},
        {{x0 - 40, y0 - 10}, FormatLabel("%6.2f", settings.magRange)},
        {{x0 - 40, y0 + kHP / 2 - 20}, input ? "Input" : "Output"},
        {{x0 - 40, y0 + kHP / 2 - 5}, "Wave"},
    };
    // The time axis: one period (1x) or a tenth of it (10x) from t0, labelled at 1-2-5 steps.
    const std::size_t fixed = g.labels.size();
    const std::vector<PlotLabel> times = AxisLabels(t0, period / zoom, x0, kWA, timeY, measure);
    g.labels.insert(g.labels.end(), times.begin(), times.end());
    const bool fit = settings.fitLabels;
    if (fit && g.labels.size() > fixed) {
        MoveClearOf(measure, g.labels.back(), g.labels[kTimeUnitLabel], Side::kLeft);
        DropCovered(g.labels, fixed, measure);
    }
    if (!belowNyquist) {
        // A font too wide for the message to end inside the screen view moves it left, but
        // never over the magnitude label.
        PlotLabel message{{x0 + 100, y0 - 20}, kNyquistMessage};
        if (fit) {
            const int viewRight = kScreenViewOrigin.x + kScreenViewExtent.cx - LabelGap(measure);
            const int excess = InkBox(measure, message.at, message.text).right - viewRight;
            message.at.x -= std::max(0, excess);
            MoveClearOf(measure, message, g.labels[kMagnitudeLabel], Side::kRight);
        }
        g.labels.push_back(message);
    }
    if (!input && settings.taps > kWaveLongFilterTaps) {
        PlotLabel note{{x0 + 120, y0 - 18}, kDelayNote};
        // Above Nyquist the message takes the line over the panel; the panel itself is empty
        // then (no curve), so the note goes just under its top line.
        if (fit && !belowNyquist) {
            note.at.y = y0 + kNoteInsetY;
        }
        g.labels.push_back(note);
    }
    return g;
}

void DrawWave(platform::DrawContext& dc, int x0, int y0, std::span<const double> samples,
              bool input, const WaveSettings& settings) {
    ScopedFont font(dc, LabelFont());
    const WaveGeometry g = ComputeWave(settings, x0, y0, samples, input, MeasureWith(dc));
    {
        ScopedPen grid(dc, kGreenGridPen);
        DrawSegments(dc, g.grid);
    }
    // The wave itself is drawn with the context's own pen.
    DrawSegments(dc, g.curve);
    PrepareLabels(dc);
    DrawLabels(dc, g.labels);
}

} // namespace plots
