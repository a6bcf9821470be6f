#include "plots/ui/AnalysisDialogs.h"

#include <cmath>

#include "app/DesignRules.h"
#include "plots/PlotConventions.h"
#include "resources/AnalysisResources.h"

namespace plots {

namespace {

// A range edit: read into a local first, so a refused entry never reaches the member.
void RangeEdit(platform::DataExchange& exchange, int id, int field, double& range) {
    double entered = range;
    exchange.Double(id, entered);
    if (exchange.Saving() && !exchange.Failure()) {
        const design::RangeRefusal check = design::CheckDisplayRange(field, entered);
        if (check.Refused()) {
            exchange.Refuse(id, check.message);
            return;
        }
        range = entered;
    }
}

// The test wave frequency: above 0 and at most the highest sampling frequency, so the wave's
// samples stay finite. At or above fs/2 it is still accepted; the plot says so. Beside a user
// wave the sine is not generated, so its frequency is not checked (a value out of range is
// simply not taken).
void WaveFrequencyEdit(platform::DataExchange& exchange, int id, bool used, double& frequency) {
    double entered = frequency;
    if (!used) {
        exchange.UnusedDouble(id, entered);
        if (!design::CheckWaveFrequency(entered).Refused()) {
            frequency = entered;
        }
        return;
    }
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
    RangeEdit(exchange, resources::kIdcGainRange, design::kFieldGainRange, m_dGainRange);
    exchange.Radio(resources::kIdcZoom1x, m_nRespFreqZoom);
    exchange.Slider(resources::kIdcStartSlider, m_nRespStartPos);
}

CInOutWaveDlg::CInOutWaveDlg() : Dialog(resources::InOutWaveTemplate()) {}

void CInOutWaveDlg::DoDataExchange(platform::DataExchange& exchange) {
    exchange.Radio(resources::kIdcSineWave, m_nWaveType);
    // The check box first: it decides whether the frequency is checked.
    exchange.Check(resources::kIdcUseUserWave, m_bUseUserWave);
    WaveFrequencyEdit(exchange, resources::kIdcWaveFreq, m_bUseUserWave == 0, m_dWaveFreq);
    RangeEdit(exchange, resources::kIdcMagnitudeRange, design::kFieldMagRange, m_dWaveMagRange);
    exchange.Radio(resources::kIdcZoom1x, m_nWaveTimeZoom);
    exchange.Slider(resources::kIdcStartSlider, m_nWaveStartPos);
    exchange.Check(resources::kIdcShowHardware, m_bShowHardware);
    if (!exchange.Saving()) {
        std::string bits = HardwareDataBitsText(m_nHardwareDataBits);
        exchange.Text(resources::kIdcHardwareBits, bits);
    }
}

std::string HardwareDataBitsText(int dataBits) {
    return "Data bits: " + std::to_string(dataBits);
}

CFftResultDlg::CFftResultDlg() : Dialog(resources::FftResultTemplate()) {}

void CFftResultDlg::DoDataExchange(platform::DataExchange& exchange) {
    RangeEdit(exchange, resources::kIdcMagnitudeRange, design::kFieldMagRange, m_dFftMagRange);
    exchange.Radio(resources::kIdcZoom1x, m_nFftFreqZoom);
    exchange.Slider(resources::kIdcStartSlider, m_nFftStartPos);
}

} // namespace plots
