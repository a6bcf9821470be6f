// The values of the plot area: what each plot mode draws, computed from the document the way
// the window's redraw computes it (and stored back into the document's response, wave and
// spectrum arrays as before), for the plots to draw (plots/AnalysisPlot.h). The window's redraw,
// print-out and picture files and vantrel-cli's --plot compute through here, then draw.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "dsp/Cic.h"
#include "dsp/Response.h"
#include "plots/AnalysisPlot.h"

class COlvexDoc;

namespace commands {

struct SessionState;

// The plot state of the form: its plot mode, structure, design and hardware choice. Nothing when
// the stored plot mode names no plot (nothing is drawn then).
std::optional<plots::PlotState> PlotStateOf(const SessionState& session);

// Whether the document holds a filter of this structure to show: a FIR tap other than 0, or an
// IIR section other than the pass-through one (a design or a coefficient load has run).
bool HoldsFilter(const COlvexDoc& doc, bool iir);
// The state as drawn: the design hint (noDesign) only while the document holds no filter of the
// structure, so a loaded filter shows without it.
plots::PlotState ShownState(const COlvexDoc& doc, plots::PlotState state);

// Recomputes what the plot of `state` draws (as ShownState gives it). Response: the response of the
// structure into m_aGainDb and m_aPhase and, while quantized with a design, the ideal gain.
// Spectra: the test wave through the structure into m_aWaveIn and m_aWaveOut, then the input
// spectrum and the output spectrum (m_aFftMag ends holding the output's). Waves: the two waves as
// for the spectra and, with the hardware shown and quantization on, the hardware output at
// m_nDataBits and its overflow notes. The filter views: the view of the coefficients in use and,
// while quantized, of the ideal ones, and the unstable note of an IIR cascade.
plots::PlotData ComputePlot(COlvexDoc& doc, const plots::PlotState& state);
// The same for the form's state; a stored plot mode that names no plot computes nothing and
// draws nothing.
plots::PlotData ComputePlot(COlvexDoc& doc, const SessionState& session);

// The response as the document holds it now (the last computation left it); nothing is
// recomputed.
plots::ResponseData HeldResponse(const COlvexDoc& doc, bool noDesign);
// The status-bar readout of the form's plot under a point of the screen's plot area (logical
// units), from the response the document holds: empty unless the frequency response of a design
// is shown (plots::ResponseCursorText).
std::string CursorReadout(const COlvexDoc& doc, const SessionState& session,
                          platform::Point logical);

// A CIC filter's frequency response on the response grid (dsp::ResponseOmega, FIR), from the
// closed form of its magnitude, however long its kernel: the gain in dB relative to DC (never
// below kCicFloorDb, its nulls included) and the phase, linear with a turn by pi where an odd
// stage count's amplitude is negative. ComputePlot draws it in the F-Response view of a CIC
// design, at the document's fs taken as the high rate.
constexpr double kCicFloorDb = -400.0;
struct CicResponse {
    std::array<double, dsp::kResponseUsed> gainDb{};
    std::array<double, dsp::kResponseUsed> phase{};
};
CicResponse CicResponseOf(const dsp::CicParams& params);
// A CIC with its droop compensator, on the response grid at the low rate (sample i at i/360
// cycles per low-rate sample, 180 at half the low rate): the CIC's gain, the compensator's, the
// cascade's (their sum, in dB) and the cascade's phase. The F-Response view of a CIC design with a
// compensator draws the three gains, the cascade's in red, at fs / R.
struct CicCascadeResponse {
    std::array<double, dsp::kResponseUsed> cicDb{};
    std::array<double, dsp::kResponseUsed> compensatorDb{};
    std::array<double, dsp::kResponseUsed> cascadeDb{};
    std::array<double, dsp::kResponseUsed> phase{};
};
CicCascadeResponse CicCascadeResponseOf(const dsp::CicParams& params,
                                        std::span<const double> compensator);
// The legend words of the three curves.
extern const char* const kCicCurveLegend;
extern const char* const kCompensatorCurveLegend;
extern const char* const kCascadeCurveLegend;
// What the pole-zero view and the test-wave views (spectra, waves) say for a CIC design.
extern const char* const kCicPoleZeroNote;
extern const char* const kCicWavesNote;

// The settings each plot reads from the document.
plots::FreqResponseSettings ResponseSettingsOf(const COlvexDoc& doc, bool noDesign);
plots::SpectrumSettings SpectrumSettingsOf(const COlvexDoc& doc);
plots::WaveSettings WaveSettingsOf(const COlvexDoc& doc);
plots::GroupDelaySettings GroupDelaySettingsOf(const COlvexDoc& doc, bool noDesign);
// The gain of the document's unquantized coefficients at the response points.
std::vector<double> IdealGainOf(const COlvexDoc& doc, bool iir);

} // namespace commands
