// Templates of the three analysis dialogs (Frequency Response 132, Input/Output Wave 131, FFT
// Result 133) and of the four Help menu dialogs, with their control ids.
#pragma once

#include "platform/DialogTemplate.h"

namespace resources {

// ---- Dialog ids -------------------------------------------------------------------------------
constexpr int kIddAbout = 100;
constexpr int kIddInOutWave = 131;
constexpr int kIddFreqResponse = 132;
constexpr int kIddFftResult = 133;
constexpr int kIddUserWaveHelp = 185;
constexpr int kIddOnlineHelp = 186;
constexpr int kIddUserCoeffsFormat = 187;

// ---- Controls of the analysis dialogs ---------------------------------------------------------
constexpr int kIdcGainRange = 1008;      // 132
constexpr int kIdcSineWave = 1004;       // 131, start of the wave type group
constexpr int kIdcSquareWave = 1005;     // 131
constexpr int kIdcWaveFreq = 1006;       // 131
constexpr int kIdcUseUserWave = 1007;    // 131
constexpr int kIdcShowHardware = 1072;   // 131, "Show hardware output"
constexpr int kIdcHardwareBits = 1073;   // 131, the data bit length the hardware output uses
constexpr int kIdcMagnitudeRange = 1009; // 131 and 133
constexpr int kIdcZoom1x = 1031;         // start of the zoom group, all three
constexpr int kIdcZoom10x = 1032;
constexpr int kIdcStartSlider = 1033; // start frequency or start time, all three
constexpr int kIdcAboutIcon = 1050;   // the application's icon in the About dialog

const platform::DialogTemplate& FreqResponseTemplate();
const platform::DialogTemplate& InOutWaveTemplate();
const platform::DialogTemplate& FftResultTemplate();

const platform::DialogTemplate& UserWaveHelpTemplate();
const platform::DialogTemplate& OnlineHelpTemplate();
const platform::DialogTemplate& UserCoeffsFormatTemplate();
const platform::DialogTemplate& AboutTemplate();

// The product's web address, shown on the print-out and in the help dialogs.
constexpr const char* kWebAddress = "https://vantrel.example/";
constexpr const char* kVersionLine = "Vantrel ver 2.6";

} // namespace resources
