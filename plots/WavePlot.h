// One panel of the input/output wave plot: a green dotted grid, the wave in the context's own
// pen, the time labels under the output panel, the magnitude and panel labels, and the notes
// (the Nyquist message, the delay note of long FIR filters).
#pragma once

#include <span>
#include <vector>

#include "platform/DrawContext.h"
#include "plots/PlotGeometry.h"

namespace plots {

struct WaveSettings {
    double magRange = 50.0;      // value drawn at the top of a panel; a range <= 0 draws no wave
    double plotAmplitude = 50.0; // pixel half-height the range maps to
    int timeZoom = 0;            // 0: 1x (100 samples), 1: 10x (10 samples)
    int startPos = 0;            // start-time slider, 0..100: the first sample shown
    double fs = 1000.0;          // Hz
    double waveFreq = 100.0;     // Hz, checked against fs/2 for the sine and square waves
    bool userWave = false;       // a user wave is drawn whatever the sine frequency
    int taps = 90;               // FIR tap count, for the delay note
    // Screen: labels that would cover a neighbour in the measured font move clear of it. The
    // print-out keeps every label at its fixed place.
    bool fitLabels = true;
};

constexpr int kWaveScaledSamples = 280; // samples scaled per panel
constexpr int kWaveZoomFactor = 10;
constexpr int kWaveLongFilterTaps = 100; // more taps than this: the output may lag far behind
extern const char* const kNyquistMessage;
extern const char* const kDelayNote;

struct WaveGeometry {
    std::vector<PlotSegment> grid;  // green dotted: 3 rows, 5 columns
    std::vector<PlotSegment> curve; // empty when the wave frequency is not below fs/2
    std::vector<PlotLabel> labels;
};

// One panel at (x0, y0); input selects the "Input" or "Output" label and the delay note. Labels
// are placed by their measured width so that none covers another.
WaveGeometry ComputeWave(const WaveSettings& settings, int x0, int y0,
                         std::span<const double> samples, bool input, const TextMeasure& measure);

void DrawWave(platform::DrawContext& dc, int x0, int y0, std::span<const double> samples,
              bool input, const WaveSettings& settings);

} // namespace plots
