// The analyses: F-Response, In/Out Wave and FFT Analysis as the dialogs set them, and the numbers
// the command line prints of them (response points, wave samples, spectra, the hardware's output,
// the testbench).
#pragma once

#include <string>
#include <vector>

#include "app/Outcome.h"
#include "vhdl/HdlLanguage.h"
#include "vhdl/Polyphase.h"

class COlvexDoc;

namespace commands {

// F-Response: gain range (> 0), zoom 0 (1x) / 1 (10x), start position 0..100.
struct ResponseRequest {
    double gainRange = 100.0;
    int zoom = 0;
    int startPos = 0;
};
Outcome FResponse(COlvexDoc& doc, const ResponseRequest& request);

// In/Out Wave: wave type 0 sine / 1 square, frequency (0 < f <= 1e12), user wave on/off,
// magnitude range (> 0), zoom, start position, the hardware output beside the ideal one.
// `userWavePath` is read into the input wave when not empty.
struct WaveRequest {
    int waveType = 0;
    double frequency = 100.0;
    int useUserWave = 0;
    double magRange = 50.0;
    int zoom = 0;
    int startPos = 0;
    int showHardware = 0;
    std::string userWavePath;
};
// Whether the window asks for a user wave file: "Use user wave" is switched on by this request.
bool AsksForUserWave(const COlvexDoc& doc, const WaveRequest& request);
// Stores the settings, then reads userWavePath. A file that cannot be opened or read, or gives
// no value, is refused: the previous wave stays and "Use user wave" is switched off again. One
// that stops at a token that is not a number keeps the values before it. Both are kFileNotRead
// with the reader's `message` (the other settings are stored all the same).
Outcome InOutWave(COlvexDoc& doc, const WaveRequest& request);

// FFT Analysis: magnitude range (> 0), zoom, start position.
struct FftRequest {
    double magRange = 50.0;
    int zoom = 0;
    int startPos = 0;
};
Outcome FftAnalysis(COlvexDoc& doc, const FftRequest& request);

// The 360 frequency response points of the structure: index, gain in dB, phase. Recomputes the
// document's response arrays.
struct ResponsePoint {
    int index = 0;
    double gainDb = 0.0;
    double phase = 0.0;
};
std::vector<ResponsePoint> ResponsePoints(COlvexDoc& doc, bool iir);

// The test wave (or the user wave in use) through the structure: kWaveFiltered samples of input
// and output. Recomputes the document's wave arrays.
struct WaveSamples {
    std::vector<double> input;
    std::vector<double> output;
};
WaveSamples SimulateWave(COlvexDoc& doc, bool iir);

// The spectra of the input and the output wave as FFT Analysis shows them (256 bins each), of
// the waves the document holds (SimulateWave first).
struct Spectra {
    std::vector<double> inMag, inPhase, outMag, outPhase;
};
Spectra ComputeSpectra(COlvexDoc& doc);

// The output of the generated hardware at data bits D for the waves the document holds:
// kWaveFiltered samples, and one line per saturating part of the hardware. Needs quantization
// on (kRefused, warning 164) and D in 4..24 (kOutOfRange, field kFieldDataBits).
struct HardwareWaveOutcome : Outcome {
    std::vector<double> output;
    std::vector<std::string> overflow;
};
HardwareWaveOutcome HardwareWave(const COlvexDoc& doc, bool iir, int dataBits);

// The self-checking testbench of the design at the document's data bits (as VHDL Code stored
// them), driven by the input wave the document holds, in `text`, in the language; with `rate`,
// the testbench of the polyphase decimator or interpolator. Needs quantization on (kRefused,
// warning 164).
TextOutcome Testbench(const COlvexDoc& doc, bool iir,
                      vhdl::HdlLanguage language = vhdl::HdlLanguage::kVhdl,
                      vhdl::RateChange rate = {});

} // namespace commands
