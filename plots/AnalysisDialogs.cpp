#include "plots/AnalysisDialogs.h"

#include <cmath>

#include "app/DesignRules.h"
#include "plots/PlotConventions.h"
#include "resources/AnalysisResources.h"

namespace plots {

const char* const kRangeMessage = design::kGreaterThanZeroMessage;

bool DisplayRangeAccepted(double range) {
    return design::PositiveFinite(range);
}

namespace {

// A range edit: read into a local first, so a refused entry never reaches the member.
void RangeEdit(platform::DataExchange& exchange, int id, double& range) {
    double entered = range;
    exchange.Double(id, entered);
    if (exchange.Saving() && !exchange.Failure()) {
        if (!DisplayRangeAccepted(entered)) {
            exchange.Refuse(id, kRangeMessage);
            return;
        }
        range = entered;
    }
}

// The test wave frequency: above 0 and at most the highest sampling frequency, so the wave's
// samples stay finite. At or above fs/2 it is still accepted; the plot says so.
void WaveFrequencyEdit(platform::DataExchange& exchange, int id, double& frequency) {
    double entered = frequency;
    exchange.Double(id, entered);
    if (exchange.Saving() && !exchange.Failure()) {
        const design::RangeRefusal check = design::CheckWaveFrequency(entered);
        if (check.Refused()) {
            exchange.Refuse(id, check.message);
            return;
        }
    }
    frequency = entered;
}

} // namespace

CFreqResponseDlg::CFreqResponseDlg() : Dialog(resources::FreqResponseTemplate()) {}

void CFreqResponseDlg::DoDataExchange(platform::DataExchange& exchange) {
    RangeEdit(exchange, resources::kIdcGainRange, m_dGainRange);
    exchange.Radio(resources::kIdcZoom1x, m_nRespFreqZoom);
    exchange.Slider(resources::kIdcStartSlider, m_nRespStartPos);
}

CInOutWaveDlg::CInOutWaveDlg() : Dialog(resources::InOutWaveTemplate()) {}

void CInOutWaveDlg::DoDataExchange(platform::DataExchange& exchange) {
    exchange.Radio(resources::kIdcSineWave, m_nWaveType);
    WaveFrequencyEdit(exchange, resources::kIdcWaveFreq, m_dWaveFreq);
    exchange.Check(resources::kIdcUseUserWave, m_bUseUserWave);
    RangeEdit(exchange, resources::kIdcMagnitudeRange, m_dWaveMagRange);
    exchange.Radio(resources::kIdcZoom1x, m_nWaveTimeZoom);
    exchange.Slider(resources::kIdcStartSlider, m_nWaveStartPos);
    exchange.Check(resources::kIdcShowHardware, m_bShowHardware);
}

CFftResultDlg::CFftResultDlg() : Dialog(resources::FftResultTemplate()) {}

void CFftResultDlg::DoDataExchange(platform::DataExchange& exchange) {
    RangeEdit(exchange, resources::kIdcMagnitudeRange, m_dFftMagRange);
    exchange.Radio(resources::kIdcZoom1x, m_nFftFreqZoom);
    exchange.Slider(resources::kIdcStartSlider, m_nFftStartPos);
}

} // namespace plots
