// The dialogs of the three analysis commands. Each dialog has one exchange used in both
// directions; a display range outside 0 < range <= 1e6 is refused there with the range message of
// design::CheckDisplayRange (the plots divide by it), so the document never receives one.
#pragma once

#include <string>

#include "platform/Dialog.h"

namespace plots {

// The In/Out Wave dialog's note of the data bit length the hardware output uses.
std::string HardwareDataBitsText(int dataBits);

// Template 132: gain range, 1x/10x, start frequency.
class CFreqResponseDlg : public platform::Dialog {
public:
    CFreqResponseDlg();
    void DoDataExchange(platform::DataExchange& exchange) override;

    double m_dGainRange = 100.0;
    int m_nRespFreqZoom = 0;
    int m_nRespStartPos = 0;
};

// Template 131: wave type, frequency, user wave, magnitude range, 1x/10x, start time.
class CInOutWaveDlg : public platform::Dialog {
public:
    CInOutWaveDlg();
    void DoDataExchange(platform::DataExchange& exchange) override;

    int m_nWaveType = 0;
    double m_dWaveFreq = 100.0;
    int m_bUseUserWave = 0;
    double m_dWaveMagRange = 50.0;
    int m_nWaveTimeZoom = 0;
    int m_nWaveStartPos = 0;
    // With quantization on: the generated hardware's output beside the ideal one.
    int m_bShowHardware = 0;
    // Shown under "Show hardware output": the data bit length of VHDL Code that the hardware
    // output uses ("Data bits: 12"). Read only.
    int m_nHardwareDataBits = 12;
};

// Template 133: magnitude range, 1x/10x, start frequency.
class CFftResultDlg : public platform::Dialog {
public:
    CFftResultDlg();
    void DoDataExchange(platform::DataExchange& exchange) override;

    double m_dFftMagRange = 50.0;
    int m_nFftFreqZoom = 0;
    int m_nFftStartPos = 0;
};

} // namespace plots
