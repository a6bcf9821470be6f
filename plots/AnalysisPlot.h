// What the plot area shows in each plot mode, drawn from values: the response, the spectra, the
// waves or a filter view as the application computed them (PlotData), at their screen or print
// positions. The view's redraw, its print-out, the picture files and the three analysis commands
// all draw through here; none of it reads or writes the document.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "dsp/PoleZero.h"
#include "platform/DrawContext.h"
#include "plots/FilterViewPlots.h"
#include "plots/FreqResponsePlot.h"
#include "plots/HardwareWavePlot.h"
#include "plots/PlotMode.h"
#include "plots/SpectrumPlot.h"
#include "plots/WavePlot.h"

namespace plots {

enum class Surface { kScreen, kPrint };

// What the view contributes: the plot mode, the FIR/IIR choice last read from the form and
// whether a design has been made.
struct PlotState {
    PlotMode mode = PlotMode::kResponse;
    bool iir = false;
    bool noDesign = true;
    // Waves: the generated hardware's output at the document's data bits beside the ideal
    // output, while quantization is on.
    bool showHardware = false;
    // The form's third structure, a CIC filter: its views come from its parameters (iir false).
    bool cic = false;
};

// What a drawing reports elsewhere in the window.
// Over the output wave when "Show hardware output" is on but quantization is off.
constexpr const char* kHardwareNeedsQuantizeNote =
    "No hardware output: enable \"Quantize\" in \"Coefficients\"";
constexpr int kHardwareNoteRise = 20; // logical units above the output panel

struct PlotNotes {
    // Waves with the hardware output: one line per part of the hardware that saturated.
    std::vector<std::string> overflow;
    // The frequency response and the filter views of an IIR cascade with a pole on or outside
    // the unit circle: "unstable: section k" for every such section.
    std::string unstable;
    // A view the shown filter has none of (the pole-zero diagram of a CIC filter, say): why, in
    // lines separated by "; ", drawn in place of the view.
    std::string unavailable;
};

// The frequency response as drawn: the settings and one gain and phase value per response
// sample.
struct ResponseData {
    FreqResponseSettings settings;
    std::vector<double> gainDb;
    std::vector<double> phase;
    // Gain curves drawn with it (the parts of a cascade); none for one filter.
    std::vector<ExtraGainCurve> extraGains = {};
};

// The hardware output drawn over the output wave.
struct HardwareTrace {
    std::vector<double> output;
    HardwareLegend legend;
};

// Everything one plot mode draws. Only the part of `mode` is filled in.
struct PlotData {
    PlotState state;
    bool drawn = true;     // false: the form's stored plot mode names no plot; nothing is drawn
    bool quantize = false; // the coefficients in use are quantized
    int quantBits = 0;     // their bit count, for the response's caption

    // kResponse: the response of the coefficients in use and, while quantized, the ideal gain.
    ResponseData response;
    std::vector<double> idealGain;

    // kSpectra: the input and the output spectrum.
    SpectrumSettings spectrum;
    std::vector<double> inputSpectrum;
    std::vector<double> outputSpectrum;

    // kWaves: the input and output waves and, with the hardware shown and quantization on, the
    // hardware output.
    WaveSettings wave;
    std::vector<double> waveIn;
    std::vector<double> waveOut;
    std::optional<HardwareTrace> hardware;

    // The filter views: the curve of the coefficients in use (group delay, impulse or step
    // response; empty without a design) and, while quantized, the ideal one; the roots of the
    // ideal and, while quantized, of the quantized coefficients.
    GroupDelaySettings groupDelay;
    std::vector<double> viewCurve;
    std::vector<double> idealViewCurve;
    dsp::PoleZeroSet idealRoots;
    std::optional<dsp::PoleZeroSet> quantizedRoots;

    // What the window reports beside the plot (overflowing hardware, an unstable cascade).
    PlotNotes notes;
    // The print-out's line above the plot: the program's web address.
    std::string webAddress;
};

// The status-bar text for a point of the screen's plot area (logical units): frequency, gain
// and phase under it while the frequency response of a design is shown; empty elsewhere.
std::string ResponseCursorText(const ResponseData& response, PlotMode mode, bool noDesign,
                               platform::Point logical);

// Draws the plot of data.state.mode (nothing when !data.drawn).
void DrawAnalysisPlot(platform::DrawContext& dc, const PlotData& data, Surface surface);

// The print-out: one page with the print mapping and font, the plot at its print positions and
// the web address above it.
void DrawPrintPage(platform::DrawContext& dc, const PlotData& data);

} // namespace plots
