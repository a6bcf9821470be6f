// The three analyses and the values the command line prints, as plain calls.
#include <algorithm>
#include <span>

#include "app/AnalysisCommands.h"
#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "app/VhdlCommands.h"
#include "files/UserWave.h"
#include "vhdl/HardwareWave.h"
#include "vhdl/Testbench.h"

namespace commands {

namespace {

// The zoom choice and the start slider every analysis dialog has.
RangeRefusal CheckZoomAndStart(int zoom, int startPos) {
    const RangeRefusal zoomCheck =
        design::CheckIntRange(design::kFieldZoom, zoom, 0, design::kMaxZoom);
    return zoomCheck.Refused()
               ? zoomCheck
               : design::CheckIntRange(design::kFieldStartPos, startPos, 0, design::kMaxStartPos);
}

} // namespace

Outcome FResponse(COlvexDoc& doc, const ResponseRequest& request) {
    RangeRefusal check = design::CheckDisplayRange(design::kFieldGainRange, request.gainRange);
    if (!check.Refused()) {
        check = CheckZoomAndStart(request.zoom, request.startPos);
    }
    if (check.Refused()) {
        return OutOfRange(check);
    }
    doc.m_dGainRange = request.gainRange;
    doc.m_nRespFreqZoom = request.zoom;
    doc.m_nRespStartPos = request.startPos;
    return Outcome{};
}

bool AsksForUserWave(const COlvexDoc& doc, const WaveRequest& request) {
    return request.useUserWave != 0 && doc.m_bUseUserWave == 0;
}

Outcome InOutWave(COlvexDoc& doc, const WaveRequest& request) {
    // Beside a user wave the sine frequency is unused: not checked, and kept when out of range.
    const RangeRefusal frequency = design::CheckWaveFrequency(request.frequency);
    RangeRefusal check = request.useUserWave == 0 ? frequency : RangeRefusal{};
    if (!check.Refused()) {
        check = design::CheckDisplayRange(design::kFieldMagRange, request.magRange);
    }
    if (!check.Refused()) {
        check = CheckZoomAndStart(request.zoom, request.startPos);
    }
    if (check.Refused()) {
        return OutOfRange(check);
    }
    doc.m_nWaveType = request.waveType;
    if (!frequency.Refused()) {
        doc.m_dWaveFreq = request.frequency;
    }
    doc.m_bUseUserWave = request.useUserWave;
    doc.m_dWaveMagRange = request.magRange;
    doc.m_nWaveTimeZoom = request.zoom;
    doc.m_nWaveStartPos = request.startPos;
    Outcome outcome;
    if (request.userWavePath.empty()) {
        return outcome;
    }
    // A file that cannot be opened or read, or holds no value, leaves the previous wave; one
    // that stops at a token that is not a number keeps the values before it. Either way the
    // settings stand. A file with more values than the buffer holds is used, with a message.
    const files::UserWaveRead read = files::ReadUserWave(request.userWavePath, doc.m_aWaveIn);
    outcome.path = request.userWavePath;
    outcome.message =
        files::DescribeUserWaveRead(request.userWavePath, read, std::size(doc.m_aWaveIn));
    if (read.Failed()) {
        outcome.kind = OutcomeKind::kFileNotRead;
        outcome.reason = outcome.message;
        // A file that gave no value at all is refused: "Use user wave" goes off again, so the
        // previous (generated) wave stays in use and the next OK asks for a file again.
        if (!read.reason.empty() || read.count == 0) {
            doc.m_bUseUserWave = 0;
        }
    } else {
        doc.m_strUserWavePath = request.userWavePath;
    }
    return outcome;
}

Outcome FftAnalysis(COlvexDoc& doc, const FftRequest& request) {
    RangeRefusal check = design::CheckDisplayRange(design::kFieldMagRange, request.magRange);
    if (!check.Refused()) {
        check = CheckZoomAndStart(request.zoom, request.startPos);
    }
    if (check.Refused()) {
        return OutOfRange(check);
    }
    doc.m_dFftMagRange = request.magRange;
    doc.m_nFftFreqZoom = request.zoom;
    doc.m_nFftStartPos = request.startPos;
    return Outcome{};
}

std::vector<ResponsePoint> ResponsePoints(COlvexDoc& doc, bool iir) {
    if (iir) {
        doc.IirResponse();
    } else {
        doc.FirResponse();
    }
    std::vector<ResponsePoint> points;
    points.reserve(COlvexDoc::kResponseUsed);
    for (int i = 0; i < COlvexDoc::kResponseUsed; ++i) {
        points.push_back({i, doc.m_aGainDb[i], doc.m_aPhase[i]});
    }
    return points;
}

WaveSamples SimulateWave(COlvexDoc& doc, bool iir) {
    // A user wave in use stays as it was read; otherwise the test wave of the settings.
    doc.GenerateTestWave();
    if (iir) {
        doc.FilterWaveIir();
    } else {
        doc.FilterWaveFir();
    }
    WaveSamples samples;
    samples.input.assign(doc.m_aWaveIn, doc.m_aWaveIn + COlvexDoc::kWaveFiltered);
    samples.output.assign(doc.m_aWaveOut, doc.m_aWaveOut + COlvexDoc::kWaveFiltered);
    return samples;
}

Spectra ComputeSpectra(COlvexDoc& doc) {
    Spectra spectra;
    doc.FftSpectrum(doc.m_aWaveIn);
    spectra.inMag.assign(std::begin(doc.m_aFftMag), std::end(doc.m_aFftMag));
    spectra.inPhase.assign(std::begin(doc.m_aFftPhase), std::end(doc.m_aFftPhase));
    doc.FftSpectrum(doc.m_aWaveOut);
    spectra.outMag.assign(std::begin(doc.m_aFftMag), std::end(doc.m_aFftMag));
    spectra.outPhase.assign(std::begin(doc.m_aFftPhase), std::end(doc.m_aFftPhase));
    return spectra;
}

HardwareWaveOutcome HardwareWave(const COlvexDoc& doc, bool iir, int dataBits) {
    HardwareWaveOutcome outcome;
    if (doc.m_bQuantize == 0) {
        static_cast<Outcome&>(outcome) = Refused(design::VhdlNeedsQuantizeWarning());
        return outcome;
    }
    const RangeRefusal bits = design::CheckIntRange(design::kFieldDataBits, dataBits,
                                                    design::kMinDataBits, design::kMaxDataBits);
    if (bits.Refused()) {
        static_cast<Outcome&>(outcome) = OutOfRange(bits);
        return outcome;
    }
    const vhdl::HardwareWave wave = HardwareWaveOf(doc, iir, dataBits);
    outcome.output = wave.output;
    outcome.overflow = vhdl::OverflowWarnings(wave, iir, dataBits);
    return outcome;
}

TextOutcome Testbench(const COlvexDoc& doc, bool iir, vhdl::HdlLanguage language,
                      vhdl::RateChange rate) {
    if (doc.m_bQuantize == 0) {
        return Refused(design::VhdlNeedsQuantizeWarning());
    }
    TextOutcome outcome;
    const std::span<const double> wave(doc.m_aWaveIn, COlvexDoc::kWaveFiltered);
    outcome.text =
        rate.Active() && !iir
            ? vhdl::BuildPolyphaseTestbench(doc.TakeCoefficients(false), doc.m_nDataBits, wave,
                                            rate, language)
            : vhdl::BuildTestbench(doc.TakeCoefficients(iir), doc.m_nDataBits, wave, language);
    return outcome;
}

} // namespace commands
