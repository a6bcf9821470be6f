#include "app/PlotCommands.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <iterator>
#include <numbers>
#include <span>

#include "app/MeasureCommands.h"
#include "app/OlvexDoc.h"
#include "app/SessionState.h"
#include "app/ViewCommands.h"
#include "dsp/Cic.h"
#include "dsp/GroupDelay.h"
#include "dsp/ImpulseStep.h"
#include "dsp/PoleZero.h"
#include "dsp/Response.h"
#include "plots/PlotConventions.h"
#include "vhdl/HardwareWave.h"
#include "vhdl/VhdlText.h"

namespace commands {

namespace {

constexpr int kIir = 1; // the form's structure choice

template <typename T, std::size_t N> std::vector<double> Values(const T (&array)[N]) {
    return {std::begin(array), std::end(array)};
}

void ComputeResponse(COlvexDoc& doc, bool iir) {
    if (iir) {
        doc.IirResponse();
    } else {
        doc.FirResponse();
    }
}

void ComputeWaves(COlvexDoc& doc, bool iir) {
    doc.GenerateTestWave();
    if (iir) {
        doc.FilterWaveIir();
    } else {
        doc.FilterWaveFir();
    }
}

// The roots the pole-zero diagram shows: a FIR's N' - 1 poles at the origin (h0 + h1 z^-1 + ...
// is a polynomial over z^(N'-1)) beside its zeros.
dsp::PoleZeroSet DiagramRootsOf(const dsp::FilterCoefficients& c) {
    dsp::PoleZeroSet set = dsp::PoleZeroOf(c);
    if (!c.iir && !c.taps.empty()) {
        set.poles.assign(c.taps.size() - 1, dsp::Root{0.0, 0.0});
    }
    return set;
}

// The filter views of the coefficients in use (quantized while quantization is on) and, while
// quantized, of the ideal ones.
void ComputeFilterView(const COlvexDoc& doc, plots::PlotData& data) {
    const plots::PlotState& state = data.state;
    const dsp::FilterCoefficients ideal = doc.TakeCoefficients(state.iir, false);
    std::optional<dsp::FilterCoefficients> quantized;
    if (data.quantize) {
        quantized = doc.TakeCoefficients(state.iir, true);
    }
    const dsp::FilterCoefficients& inUse = quantized ? *quantized : ideal;
    switch (state.mode) {
    case plots::PlotMode::kGroupDelay:
        data.groupDelay = GroupDelaySettingsOf(doc, state.noDesign);
        if (!state.noDesign) {
            const dsp::GroupDelay delay = dsp::GroupDelayOf(inUse, doc.m_fs);
            data.viewCurve.assign(delay.delay.begin(), delay.delay.end());
            if (quantized) {
                const dsp::GroupDelay idealDelay = dsp::GroupDelayOf(ideal, doc.m_fs);
                data.idealViewCurve.assign(idealDelay.delay.begin(), idealDelay.delay.end());
            }
        }
        break;
    case plots::PlotMode::kPoleZero:
        data.idealRoots = DiagramRootsOf(ideal);
        if (quantized) {
            data.quantizedRoots = DiagramRootsOf(*quantized);
        }
        break;
    case plots::PlotMode::kImpulse:
    case plots::PlotMode::kStep: {
        const dsp::Excitation excitation = state.mode == plots::PlotMode::kStep
                                               ? dsp::Excitation::kStep
                                               : dsp::Excitation::kImpulse;
        if (!state.noDesign) {
            data.viewCurve = dsp::TimeResponseOf(inUse, excitation);
            if (quantized) {
                data.idealViewCurve = dsp::TimeResponseOf(ideal, excitation);
            }
        }
        break;
    }
    default:
        return;
    }
    if (state.iir && !state.noDesign) {
        data.notes.unstable =
            UnstableText(dsp::IirPoleZero(inUse.DesignedSections()).unstableSections);
    }
}

// The CIC's views from its parameters, at the document's fs as the high rate.
void ComputeCicPlot(COlvexDoc& doc, plots::PlotData& data) {
    const plots::PlotState& state = data.state;
    data.quantize = false; // a CIC has no coefficients to quantize
    const dsp::CicParams p = doc.CicParams();
    if (!state.noDesign && !dsp::CicRangeError(p).empty()) {
        data.notes.unavailable = "The CIC parameters are out of range: " + dsp::CicRangeError(p);
        return;
    }
    switch (state.mode) {
    case plots::PlotMode::kResponse: {
        if (doc.HasCicCompensator() && !state.noDesign) {
            // The CIC, its compensator (the taps as they leave the design) and the cascade, at
            // the low rate.
            const dsp::FilterCoefficients taps = doc.TakeCicCompensatorCoefficients();
            const CicCascadeResponse r = CicCascadeResponseOf(p, taps.DesignedTaps());
            std::copy(r.cascadeDb.begin(), r.cascadeDb.end(), doc.m_aGainDb);
            std::copy(r.phase.begin(), r.phase.end(), doc.m_aPhase);
            data.response = HeldResponse(doc, false);
            data.response.settings.fs = doc.m_fs / p.rate;
            data.response.settings.gainLegend = kCascadeCurveLegend;
            data.response.extraGains = {
                {{r.cicDb.begin(), r.cicDb.end()}, plots::kBlueTracePen, kCicCurveLegend},
                {{r.compensatorDb.begin(), r.compensatorDb.end()},
                 plots::kMagentaTracePen,
                 kCompensatorCurveLegend}};
            data.quantize = taps.quantized;
            break;
        }
        const CicResponse r = CicResponseOf(p);
        std::copy(r.gainDb.begin(), r.gainDb.end(), doc.m_aGainDb);
        std::copy(r.phase.begin(), r.phase.end(), doc.m_aPhase);
        data.response = HeldResponse(doc, state.noDesign);
        break;
    }
    case plots::PlotMode::kGroupDelay:
        data.groupDelay = GroupDelaySettingsOf(doc, state.noDesign);
        if (!state.noDesign) {
            data.viewCurve.assign(dsp::kResponseUsed, dsp::CicGroupDelay(p));
        }
        break;
    case plots::PlotMode::kImpulse:
        if (!state.noDesign) {
            data.viewCurve = dsp::CicImpulseResponse(p);
        }
        break;
    case plots::PlotMode::kStep:
        if (!state.noDesign) {
            data.viewCurve = dsp::CicStepResponse(p);
        }
        break;
    case plots::PlotMode::kPoleZero:
        data.notes.unavailable = kCicPoleZeroNote;
        break;
    case plots::PlotMode::kSpectra:
    case plots::PlotMode::kWaves:
        data.notes.unavailable = kCicWavesNote;
        break;
    }
}

} // namespace

const char* const kCicPoleZeroNote =
    "No pole-zero diagram for a CIC filter:; its zeros lie S-fold on the unit circle; at every "
    "R*DL-th root of unity but z = 1.";
const char* const kCicWavesNote =
    "No test-wave view for a CIC filter:; it changes the rate. Its response,; group delay, "
    "impulse and step are shown.";

const char* const kCicCurveLegend = "CIC";
const char* const kCompensatorCurveLegend = "Comp.";
const char* const kCascadeCurveLegend = "Cascade";

CicCascadeResponse CicCascadeResponseOf(const dsp::CicParams& p,
                                        std::span<const double> compensator) {
    CicCascadeResponse r;
    const double delay = dsp::CicGroupDelay(p);
    const double length = static_cast<double>(p.rate) * p.delay;
    const auto db = [](double magnitude) {
        return magnitude > 0.0 ? std::max(20.0 * std::log10(magnitude), kCicFloorDb) : kCicFloorDb;
    };
    for (int i = 0; i < dsp::kResponseUsed; ++i) {
        // omega at the low rate; the CIC's at the high rate is omega / R.
        const double omega = dsp::ResponseOmega(i, false);
        const double high = omega / p.rate;
        // The CIC: e^(-j high delay) (sin(high R DL / 2) / (R DL sin(high / 2)))^S.
        const double half = std::sin(high / 2.0);
        const double ratio =
            std::fabs(half) < 1e-300 ? 1.0 : std::sin(high * length / 2.0) / (length * half);
        const std::complex<double> cic = std::pow(ratio, p.stages) * std::polar(1.0, -high * delay);
        std::complex<double> comp = 0.0;
        for (size_t k = 0; k < compensator.size(); ++k) {
            comp += compensator[k] * std::polar(1.0, -omega * static_cast<double>(k));
        }
        const size_t at = static_cast<size_t>(i);
        r.cicDb[at] = db(std::abs(cic));
        r.compensatorDb[at] = db(std::abs(comp));
        r.cascadeDb[at] = std::max(r.cicDb[at] + r.compensatorDb[at], kCicFloorDb);
        const std::complex<double> cascade = cic * comp;
        r.phase[at] = std::abs(cascade) > 0.0 ? std::arg(cascade) : 0.0;
    }
    return r;
}

CicResponse CicResponseOf(const dsp::CicParams& p) {
    CicResponse r;
    const double delay = dsp::CicGroupDelay(p);
    const double length = static_cast<double>(p.rate) * p.delay;
    for (int i = 0; i < dsp::kResponseUsed; ++i) {
        const double omega = dsp::ResponseOmega(i, false);
        // The grid goes once around the circle; the magnitude is even about f = 0.5.
        double f = omega / (2.0 * std::numbers::pi);
        f -= std::floor(f);
        const double folded = f > 0.5 ? 1.0 - f : f;
        const double magnitude = dsp::CicMagnitude(p, folded);
        r.gainDb[static_cast<size_t>(i)] =
            magnitude > 0.0 ? std::max(20.0 * std::log10(magnitude), kCicFloorDb) : kCicFloorDb;
        // H = e^(-j omega delay) (sin(omega R DL / 2) / sin(omega / 2))^S / (R DL)^S: the
        // linear phase, turned by pi where the real amplitude is negative.
        const double ratio = std::sin(omega * length / 2.0) / std::sin(omega / 2.0);
        const bool negative = (p.stages % 2 == 1) && ratio < 0.0;
        double phase = -omega * delay + (negative ? std::numbers::pi : 0.0);
        phase = std::remainder(phase, 2.0 * std::numbers::pi);
        if (phase <= -std::numbers::pi) {
            phase += 2.0 * std::numbers::pi;
        }
        r.phase[static_cast<size_t>(i)] = phase;
    }
    return r;
}

bool HoldsFilter(const COlvexDoc& doc, bool iir) {
    const dsp::FilterCoefficients c = doc.TakeCoefficients(iir, false);
    if (!iir) {
        const std::span<const double> taps = c.DesignedTaps();
        return std::any_of(taps.begin(), taps.end(), [](double h) { return h != 0.0; });
    }
    constexpr dsp::Section kPassThrough{1.0, 0.0, 0.0, 0.0, 0.0};
    const std::span<const dsp::Section> sections = c.DesignedSections();
    return std::any_of(sections.begin(), sections.end(),
                       [&](const dsp::Section& section) { return section != kPassThrough; });
}

plots::PlotState ShownState(const COlvexDoc& doc, plots::PlotState state) {
    if (state.cic) {
        state.iir = false;
        state.noDesign = state.noDesign || doc.m_bCicDesigned == 0;
        return state;
    }
    state.noDesign = state.noDesign && !HoldsFilter(doc, state.iir);
    return state;
}

std::optional<plots::PlotState> PlotStateOf(const SessionState& session) {
    const std::optional<plots::PlotMode> mode = plots::PlotModeOfNumber(session.m_nPlotMode);
    if (!mode) {
        return std::nullopt;
    }
    return plots::PlotState{*mode, session.m_nFirIir == kIir, session.m_bNoDesign != 0,
                            session.m_bShowHardwareWave != 0,
                            session.m_nFirIir == COlvexDoc::kCicStructure};
}

plots::PlotData ComputePlot(COlvexDoc& doc, const plots::PlotState& asked) {
    const plots::PlotState state = ShownState(doc, asked);
    plots::PlotData data;
    data.state = state;
    data.quantize = doc.m_bQuantize == 1;
    data.quantBits = doc.m_nQuantBits;
    data.webAddress = vhdl::kWebAddress;
    if (state.cic) {
        ComputeCicPlot(doc, data);
        return data;
    }
    switch (state.mode) {
    case plots::PlotMode::kResponse:
        ComputeResponse(doc, state.iir);
        data.response = HeldResponse(doc, state.noDesign);
        // A FIR that decimates (or interpolates): the bands that fold onto its pass band.
        if (const auto aliasing = state.noDesign ? std::nullopt : AliasingOf(doc, state.iir)) {
            for (const dsp::Band& band : aliasing->bands) {
                data.response.settings.markedBands.emplace_back(band.lo, band.hi);
            }
        }
        if (data.quantize && !state.noDesign) {
            data.idealGain = IdealGainOf(doc, state.iir);
        }
        if (!state.noDesign) {
            data.notes.unstable = UnstableText(UnstableSectionsOf(doc, state.iir));
        }
        break;
    case plots::PlotMode::kSpectra:
        ComputeWaves(doc, state.iir);
        data.spectrum = SpectrumSettingsOf(doc);
        // One spectrum array in the document: it ends holding the output's.
        doc.FftSpectrum(doc.m_aWaveIn);
        data.inputSpectrum = Values(doc.m_aFftMag);
        doc.FftSpectrum(doc.m_aWaveOut);
        data.outputSpectrum = Values(doc.m_aFftMag);
        break;
    case plots::PlotMode::kWaves:
        ComputeWaves(doc, state.iir);
        data.wave = WaveSettingsOf(doc);
        data.waveIn = Values(doc.m_aWaveIn);
        data.waveOut = Values(doc.m_aWaveOut);
        if (state.showHardware && data.quantize) {
            // The bit-true model of the generated VHDL, fed as its testbench feeds it.
            const vhdl::HardwareWave hardware = vhdl::ComputeHardwareWave(
                doc.TakeCoefficients(state.iir), doc.m_nDataBits, doc.m_aWaveIn, doc.m_aWaveOut);
            data.hardware = plots::HardwareTrace{hardware.output,
                                                 {doc.m_nDataBits, hardware.largestDifference}};
            data.notes.overflow = vhdl::OverflowWarnings(hardware, state.iir, doc.m_nDataBits);
        }
        break;
    case plots::PlotMode::kGroupDelay:
    case plots::PlotMode::kPoleZero:
    case plots::PlotMode::kImpulse:
    case plots::PlotMode::kStep:
        ComputeFilterView(doc, data);
        break;
    }
    return data;
}

plots::PlotData ComputePlot(COlvexDoc& doc, const SessionState& session) {
    const std::optional<plots::PlotState> state = PlotStateOf(session);
    if (!state) {
        plots::PlotData nothing;
        nothing.drawn = false;
        nothing.webAddress = vhdl::kWebAddress;
        return nothing;
    }
    return ComputePlot(doc, *state);
}

std::string CursorReadout(const COlvexDoc& doc, const SessionState& session,
                          platform::Point logical) {
    std::optional<plots::PlotState> state = PlotStateOf(session);
    if (!state) {
        return {};
    }
    state = ShownState(doc, *state);
    plots::ResponseData held = HeldResponse(doc, state->noDesign);
    if (state->cic && doc.HasCicCompensator()) {
        held.settings.fs = doc.m_fs / doc.m_nCicRate; // the cascade is drawn at the low rate
    }
    return plots::ResponseCursorText(held, state->mode, state->noDesign, logical);
}

plots::ResponseData HeldResponse(const COlvexDoc& doc, bool noDesign) {
    return {ResponseSettingsOf(doc, noDesign), Values(doc.m_aGainDb), Values(doc.m_aPhase)};
}

plots::FreqResponseSettings ResponseSettingsOf(const COlvexDoc& doc, bool noDesign) {
    return {doc.m_dGainRange, doc.m_nRespFreqZoom, doc.m_nRespStartPos, doc.m_fs, noDesign};
}

plots::SpectrumSettings SpectrumSettingsOf(const COlvexDoc& doc) {
    return {doc.m_dFftMagRange, doc.m_nFftFreqZoom, doc.m_nFftStartPos, doc.m_fs};
}

plots::WaveSettings WaveSettingsOf(const COlvexDoc& doc) {
    return {doc.m_dWaveMagRange,
            doc.m_dPlotAmplitude,
            doc.m_nWaveTimeZoom,
            doc.m_nWaveStartPos,
            doc.m_fs,
            doc.m_dWaveFreq,
            doc.m_bUseUserWave != 0,
            doc.m_nTaps};
}

plots::GroupDelaySettings GroupDelaySettingsOf(const COlvexDoc& doc, bool noDesign) {
    return {doc.m_nRespFreqZoom, doc.m_nRespStartPos, doc.m_fs, noDesign};
}

std::vector<double> IdealGainOf(const COlvexDoc& doc, bool iir) {
    const dsp::FilterCoefficients ideal = doc.TakeCoefficients(iir, false);
    const dsp::Response r =
        iir ? dsp::IirResponse(ideal.DesignedSections()) : dsp::FirResponse(ideal.DesignedTaps());
    return {r.gainDb.begin(), r.gainDb.end()};
}

} // namespace commands
