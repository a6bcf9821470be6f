#include "plots/AnalysisPlot.h"

#include <algorithm>
#include <cstdio>

#include "plots/PlotConventions.h"

namespace plots {

namespace {

// Print layout: the page mapping and the font of the print-out.
constexpr platform::Size kPrintWindowExtent{100, 50};
constexpr platform::Point kPrintViewportOrigin{300, 300};
constexpr platform::Size kPrintViewportExtent{500, 250};
constexpr int kPrintFontHeight = 12;
constexpr int kPrintFontWidth = 7;
constexpr platform::Point kPrintWebAddress{20, 5};
constexpr int kCursorTextSize = 128;
constexpr int kUnstableNoteDrop = 16; // logical units between the caption's lines

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

std::string ResponseCursorText(const ResponseData& response, PlotMode mode, bool noDesign,
                               platform::Point logical) {
    if (mode != PlotMode::kResponse || noDesign) {
        return {};
    }
    const std::optional<ResponseReadout> readout =
        ReadResponseAt(response.settings, kScreenOrigins.response.x, kScreenOrigins.response.y,
                       response.gainDb, response.phase, logical);
    if (!readout) {
        return {};
    }
    char text[kCursorTextSize];
    std::snprintf(text, sizeof text, "f = %.2f Hz   Gain = %.2f dB   Phase = %.3f rad",
                  readout->frequency, readout->gainDb, readout->phase);
    return text;
}

void DrawAnalysisPlot(platform::DrawContext& dc, const PlotData& data, Surface surface) {
    const bool print = surface == Surface::kPrint;
    const Origins& at = print ? kPrintOrigins : kScreenOrigins;
    const PlotState& state = data.state;
    if (!data.drawn) {
        return;
    }
    if (!data.notes.unavailable.empty()) {
        const std::string& note = data.notes.unavailable;
        int y = at.caption.y;
        for (size_t from = 0; from < note.size();) {
            const size_t end = std::min(note.find("; ", from), note.size());
            dc.TextOut(at.caption.x, y, note.substr(from, end - from));
            y += kUnstableNoteDrop;
            from = end + 2;
        }
        return;
    }
    switch (state.mode) {
    case PlotMode::kResponse: {
        FreqResponseSettings settings = data.response.settings;
        settings.fitLabels = !print;
        DrawFreqResponse(dc, at.response.x, at.response.y, data.response.gainDb,
                         data.response.phase, settings, data.idealGain, data.response.extraGains);
        DrawQuantCaption(dc, at.caption.x, at.caption.y, data.quantize, data.quantBits, !print);
        if (!data.notes.unstable.empty()) {
            // Under the caption, in red, one line per section ("; " between them in the note):
            // the response of an unstable cascade is no filter's.
            dc.SetTextColor(kRed);
            const std::string& note = data.notes.unstable;
            int y = at.caption.y;
            for (size_t from = 0; from < note.size();) {
                const size_t end = std::min(note.find("; ", from), note.size());
                y += kUnstableNoteDrop;
                dc.TextOut(at.caption.x, y, note.substr(from, end - from));
                from = end + 2;
            }
            dc.SetTextColor(kBlack);
        }
        break;
    }
    case PlotMode::kSpectra: {
        SpectrumSettings settings = data.spectrum;
        settings.fitLabels = !print;
        DrawSpectrum(dc, at.inputSpectrum.x, at.inputSpectrum.y, data.inputSpectrum, true,
                     settings);
        DrawSpectrum(dc, at.outputSpectrum.x, at.outputSpectrum.y, data.outputSpectrum, false,
                     settings);
        break;
    }
    case PlotMode::kWaves: {
        WaveSettings settings = data.wave;
        settings.fitLabels = !print;
        DrawWave(dc, at.inputWave.x, at.inputWave.y, data.waveIn, true, settings);
        DrawWave(dc, at.outputWave.x, at.outputWave.y, data.waveOut, false, settings);
        if (state.showHardware && data.hardware) {
            DrawHardwareOverlay(dc, at.outputWave.x, at.outputWave.y, at.inputWave.y,
                                data.hardware->output, data.hardware->legend, settings);
        } else if (state.showHardware && !data.quantize) {
            // The hardware works on the quantized coefficients: say why no hardware trace is
            // drawn, where its legend would be.
            dc.TextOut(at.outputWave.x, at.outputWave.y - kHardwareNoteRise,
                       kHardwareNeedsQuantizeNote);
        }
        break;
    }
    case PlotMode::kGroupDelay:
    case PlotMode::kPoleZero:
    case PlotMode::kImpulse:
    case PlotMode::kStep:
        DrawFilterView(dc, data, at.response.x, at.response.y);
        break;
    }
}

void DrawPrintPage(platform::DrawContext& dc, const PlotData& data) {
    dc.SetWindowOrg({0, 0});
    dc.SetWindowExt(kPrintWindowExtent);
    dc.SetViewportOrg(kPrintViewportOrigin);
    dc.SetViewportExt(kPrintViewportExtent);
    platform::LogicalFont font = dc.CurrentFont();
    font.height = kPrintFontHeight;
    font.width = kPrintFontWidth;
    ScopedFont printFont(dc, font);
    DrawAnalysisPlot(dc, data, Surface::kPrint);
    dc.TextOut(kPrintWebAddress.x, kPrintWebAddress.y, data.webAddress);
}

} // namespace plots
