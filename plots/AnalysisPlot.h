// What the plot area shows in each plot mode: the analysis is recomputed from the document's
// current state, then drawn with the plot routines at their screen or print positions. The
// view's redraw, its print-out and the three analysis commands all draw through here.
#pragma once

#include <string>
#include <vector>

#include "platform/DrawContext.h"

class COlvexDoc;

namespace plots {

enum class Surface { kScreen, kPrint };

// What the view contributes: the plot mode (0 response, 1 spectra, 2 waves, 3 group delay,
// 4 pole-zero, 5 impulse, 6 step), the FIR/IIR choice
// last read from the form (0 FIR, 1 IIR) and whether a design has been made.
struct PlotState {
    int plotMode = 0;
    int firIir = 0;
    bool noDesign = true;
    // Waves: the generated hardware's output at the document's m_nDataBits beside the ideal
    // output, while quantization is on.
    bool showHardware = false;
};

// What a drawing found that the window reports elsewhere.
// Over the output wave when "Show hardware output" is on but quantization is off.
constexpr const char* kHardwareNeedsQuantizeNote =
    "No hardware output: enable \"Quantize\" in \"Coefficients\"";
constexpr int kHardwareNoteRise = 20; // logical units above the output panel

struct PlotNotes {
    // Waves with the hardware output: one line per part of the hardware that saturated.
    std::vector<std::string> overflow;
    // The filter views of an IIR cascade with a pole on or outside the unit circle:
    // "unstable: section k".
    std::string unstable;
};

// The response of the chosen structure into m_aGainDb and m_aPhase.
void ComputeResponse(COlvexDoc& doc, int firIir);
// The test wave (unless a user wave is in use) and its passage through the chosen structure.
void SimulateWave(COlvexDoc& doc, int firIir);

// The status-bar text for a point of the screen's plot area (logical units): frequency, gain
// and phase under it while the frequency response of a design is shown; empty elsewhere. Reads
// the response arrays as the last drawing left them.
std::string ResponseCursorText(const COlvexDoc& doc, const PlotState& state,
                               platform::Point logical);

// Recomputes and draws the plot of state.plotMode; any other mode draws nothing.
PlotNotes DrawAnalysisPlot(platform::DrawContext& dc, COlvexDoc& doc, const PlotState& state,
                           Surface surface);

// The print-out: one page with the print mapping and font, the plot of state.plotMode at its
// print positions and the web address above it.
PlotNotes DrawPrintPage(platform::DrawContext& dc, COlvexDoc& doc, const PlotState& state);

} // namespace plots
