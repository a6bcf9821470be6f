// The hardware output over the output panel of the wave plot: the generated filter's output at
// D data bits, drawn in its own colour beside the ideal output, with a legend that names both
// and the largest difference between them.
#pragma once

#include <span>
#include <vector>

#include "platform/DrawContext.h"
#include "plots/PlotGeometry.h"
#include "plots/WavePlot.h"

namespace plots {

// The hardware output's pen: solid blue, width 1.
constexpr platform::PenSpec kHardwareTracePen{platform::PenStyle::kSolid, 1, {0, 0, 255}};
constexpr int kLegendLineLength = 20; // logical units of a legend's line sample

struct HardwareLegend {
    int dataBits = 12;              // D, named in the legend
    double largestDifference = 0.0; // largest |hardware - ideal|, in the wave's units
};

// Empty (nothing drawn) when the panel draws no wave: at or above the Nyquist frequency, or
// with a magnitude range of 0 or below.
struct HardwareOverlay {
    std::vector<PlotSegment> curve;          // the hardware output, kHardwareTracePen
    std::vector<PlotSegment> idealSample;    // legend line of the ideal output (context's pen)
    std::vector<PlotSegment> hardwareSample; // legend line of the hardware output
    std::vector<PlotLabel> labels;           // "Ideal", "Hardware D bits", the difference
};

// The overlay of the output panel at (x0, y0), the input panel's top at inputY0. The legend is
// one row of measured items from x0, each moved right past any label of the two panels it
// would cover: between the two panels when the row fits there, else over the input panel. The
// curve follows the panel's own sample-to-pixel rule, so the two outputs are drawn on the same
// pixels where they agree.
HardwareOverlay ComputeHardwareOverlay(const WaveSettings& settings, int x0, int y0, int inputY0,
                                       std::span<const double> hardware,
                                       const HardwareLegend& legend, const TextMeasure& measure);

void DrawHardwareOverlay(platform::DrawContext& dc, int x0, int y0, int inputY0,
                         std::span<const double> hardware, const HardwareLegend& legend,
                         const WaveSettings& settings);

} // namespace plots
