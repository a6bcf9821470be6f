#include "plots/AnalysisPlot.h"

#include <cstdio>

#include "app/OlvexDoc.h"
#include "app/ui/OlvexView.h"
#include "plots/FilterViewPlots.h"
#include "plots/FreqResponsePlot.h"
#include "plots/HardwareWavePlot.h"
#include "plots/PlotConventions.h"
#include "plots/SpectrumPlot.h"
#include "plots/WavePlot.h"
#include "resources/AnalysisResources.h"
#include "vhdl/HardwareWave.h"

namespace plots {

namespace {

constexpr int kIir = 1; // the form's structure choice

// Print layout: the page mapping and the font of the print-out.
constexpr platform::Size kPrintWindowExtent{100, 50};
constexpr platform::Point kPrintViewportOrigin{300, 300};
constexpr platform::Size kPrintViewportExtent{500, 250};
constexpr int kPrintFontHeight = 12;
constexpr int kPrintFontWidth = 7;
constexpr platform::Point kPrintWebAddress{20, 5};
constexpr int kCursorTextSize = 128;

// Origins on screen and on paper (the print-out leaves room above for the web address).
struct Origins {
    platform::Point response;
    platform::Point caption;
    platform::Point inputSpectrum;
    platform::Point outputSpectrum;
    platform::Point inputWave;
    platform::Point outputWave;
};
constexpr Origins kScreenOrigins{{20, 0}, {40, 5}, {7, 10}, {7, kPlotHeight / 2 + 10},
                                 {0, 20}, {0, 140}};
constexpr Origins kPrintOrigins{{20, 20}, {40, 25}, {7, 20}, {7, kPlotHeight / 2 + 20},
                                {0, 20},  {0, 140}};

} // namespace

void ComputeResponse(COlvexDoc& doc, int firIir) {
    if (firIir == kIir) {
        doc.IirResponse();
    } else {
        doc.FirResponse();
    }
}

void SimulateWave(COlvexDoc& doc, int firIir) {
    doc.GenerateTestWave();
    if (firIir == kIir) {
        doc.FilterWaveIir();
    } else {
        doc.FilterWaveFir();
    }
}

std::string ResponseCursorText(const COlvexDoc& doc, const PlotState& state,
                               platform::Point logical) {
    if (state.plotMode != COlvexView::kPlotResponse || state.noDesign) {
        return {};
    }
    const std::optional<ResponseReadout> readout =
        ReadResponseAt(ResponseSettingsOf(doc, state.noDesign), kScreenOrigins.response.x,
                       kScreenOrigins.response.y, doc.m_aGainDb, doc.m_aPhase, logical);
    if (!readout) {
        return {};
    }
    char text[kCursorTextSize];
    std::snprintf(text, sizeof text, "f = %.2f Hz   Gain = %.2f dB   Phase = %.3f rad",
                  readout->frequency, readout->gainDb, readout->phase);
    return text;
}

PlotNotes DrawAnalysisPlot(platform::DrawContext& dc, COlvexDoc& doc, const PlotState& state,
                           Surface surface) {
    PlotNotes notes;
    const bool print = surface == Surface::kPrint;
    const Origins& at = print ? kPrintOrigins : kScreenOrigins;
    switch (state.plotMode) {
    case COlvexView::kPlotResponse: {
        ComputeResponse(doc, state.firIir);
        FreqResponseSettings settings = ResponseSettingsOf(doc, state.noDesign);
        settings.fitLabels = !print;
        const std::vector<double> idealGain = doc.m_bQuantize == 1 && !state.noDesign
                                                  ? IdealGainOf(doc, state.firIir == kIir)
                                                  : std::vector<double>();
        DrawFreqResponse(dc, at.response.x, at.response.y, doc.m_aGainDb, doc.m_aPhase, settings,
                         idealGain);
        DrawQuantCaption(dc, at.caption.x, at.caption.y, doc.m_bQuantize == 1, doc.m_nQuantBits,
                         !print);
        break;
    }
    case COlvexView::kPlotSpectra: {
        SimulateWave(doc, state.firIir);
        // One spectrum array: the input is analysed and drawn before the output replaces it.
        SpectrumSettings settings = SpectrumSettingsOf(doc);
        settings.fitLabels = !print;
        doc.FftSpectrum(doc.m_aWaveIn);
        DrawSpectrum(dc, at.inputSpectrum.x, at.inputSpectrum.y, doc.m_aFftMag, true, settings);
        doc.FftSpectrum(doc.m_aWaveOut);
        DrawSpectrum(dc, at.outputSpectrum.x, at.outputSpectrum.y, doc.m_aFftMag, false, settings);
        break;
    }
    case COlvexView::kPlotWaves: {
        SimulateWave(doc, state.firIir);
        WaveSettings settings = WaveSettingsOf(doc);
        settings.fitLabels = !print;
        DrawWave(dc, at.inputWave.x, at.inputWave.y, doc.m_aWaveIn, true, settings);
        DrawWave(dc, at.outputWave.x, at.outputWave.y, doc.m_aWaveOut, false, settings);
        if (state.showHardware && doc.m_bQuantize == 1) {
            // The bit-true model of the generated VHDL, fed as its testbench feeds it.
            const bool iir = state.firIir == kIir;
            const vhdl::HardwareWave hardware = vhdl::ComputeHardwareWave(
                doc.TakeCoefficients(iir), doc.m_nDataBits, doc.m_aWaveIn, doc.m_aWaveOut);
            DrawHardwareOverlay(dc, at.outputWave.x, at.outputWave.y, at.inputWave.y,
                                hardware.output, {doc.m_nDataBits, hardware.largestDifference},
                                settings);
            notes.overflow = vhdl::OverflowWarnings(hardware, iir, doc.m_nDataBits);
        } else if (state.showHardware) {
            // The hardware works on the quantized coefficients: say why no hardware trace is
            // drawn, where its legend would be.
            dc.TextOut(at.outputWave.x, at.outputWave.y - kHardwareNoteRise,
                       kHardwareNeedsQuantizeNote);
        }
        break;
    }
    case COlvexView::kPlotGroupDelay:
    case COlvexView::kPlotPoleZero:
    case COlvexView::kPlotImpulse:
    case COlvexView::kPlotStep:
        notes.unstable = DrawFilterView(dc, doc, state.plotMode, state.firIir == kIir,
                                        state.noDesign, at.response.x, at.response.y);
        break;
    default:
        break;
    }
    return notes;
}

PlotNotes DrawPrintPage(platform::DrawContext& dc, COlvexDoc& doc, const PlotState& state) {
    dc.SetWindowOrg({0, 0});
    dc.SetWindowExt(kPrintWindowExtent);
    dc.SetViewportOrg(kPrintViewportOrigin);
    dc.SetViewportExt(kPrintViewportExtent);
    platform::LogicalFont font = dc.CurrentFont();
    font.height = kPrintFontHeight;
    font.width = kPrintFontWidth;
    ScopedFont printFont(dc, font);
    const PlotNotes notes = DrawAnalysisPlot(dc, doc, state, Surface::kPrint);
    dc.TextOut(kPrintWebAddress.x, kPrintWebAddress.y, resources::kWebAddress);
    return notes;
}

} // namespace plots
