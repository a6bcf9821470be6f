// One panel of the spectrum plot: grey dotted grid of 5 rows and 10 columns with a solid frame,
// the magnitude curve in red over the baseline, the frequency labels at the bottom of the plot
// area, and the magnitude and panel labels.
#pragma once

#include <span>
#include <vector>

#include "platform/DrawContext.h"
#include "plots/PlotGeometry.h"

namespace plots {

struct SpectrumSettings {
    double magRange = 50.0; // magnitude printed at the top of the panel
    int freqZoom = 0;       // 0: 1x (0..fs, all 256 bins), 1: 10x (fs/10, 25 bins)
    int startPos = 0;       // start-frequency slider, 0..100 (100 stands for fs)
    double fs = 1000.0;     // Hz
    // Screen: labels that would cover a neighbour in the measured font move clear of it. The
    // print-out keeps every label at its fixed place.
    bool fitLabels = true;
};

constexpr int kSpecGridRows = 5;
constexpr int kSpecGridColumns = 10;
constexpr int kSpecLastBin = 255;
constexpr int kSpecZoomSegments = 25;

struct SpectrumGeometry {
    std::vector<PlotSegment> grid;  // grey dotted
    std::vector<PlotSegment> frame; // context's own pen: top, bottom, left, right
    int baseline = 0;               // y of magnitude 0
    int firstBin = 0;
    std::vector<PlotSegment> curve;
    std::vector<PlotLabel> labels;
};

// One panel at (x0, y0) of the magnitudes m (the document's 256 scaled bins; bins past the end
// of m count as 0).
SpectrumGeometry ComputeSpectrum(const SpectrumSettings& settings, int x0, int y0,
                                 std::span<const double> magnitudes, bool input,
                                 const TextMeasure& measure);

void DrawSpectrum(platform::DrawContext& dc, int x0, int y0, std::span<const double> magnitudes,
                  bool input, const SpectrumSettings& settings);

} // namespace plots
