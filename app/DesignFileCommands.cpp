// Save Design and Open Design over the record. Reading a file is three steps: the JSON reader
// checks format, version, fields and types; CheckDesignState applies the dialogs' range rules;
// only a file that passes both is stored into the record, so a refused file changes nothing.
#include "app/DesignFileCommands.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>
#include <utility>
#include <vector>

#include "app/DesignCommands.h"
#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "dsp/QuantRules.h"
#include "files/InputFile.h"
#include "files/OutputFile.h"
#include "files/UserWave.h"
#include "plots/PlotMode.h"
#include "vhdl/Architecture.h"

namespace commands {

namespace {

constexpr int kCoeffFormats = 4;
constexpr int kArchitectures = 4;

template <size_t N>
void CopySections(const std::vector<files::DesignSection>& sections, int column, double (&to)[N]) {
    for (size_t s = 0; s < N && s < sections.size(); ++s) {
        to[s] = sections[s][static_cast<size_t>(column)];
    }
}

// The checks in the order a reader meets the fields: each names its field in the file.
using NamedCheck = std::pair<const char*, RangeRefusal>;

// The filter type and fs a structure's coefficients were made for: the design's for the
// structure it stands in, the other pair (when the file has it) for the other one.
// A CIC design keeps the FIR/IIR pair as a FIR design does.
int PairStructure(int structure) {
    return structure == COlvexDoc::kCicStructure ? 0 : structure;
}

int TypeOfStructure(const files::DesignState& s, int structure) {
    return structure == PairStructure(s.structure) || s.otherType < 0 ? s.filterType : s.otherType;
}

double FsOfStructure(const files::DesignState& s, int structure) {
    return structure == PairStructure(s.structure) || s.otherFs < 0.0 ? s.fs : s.otherFs;
}

std::vector<NamedCheck> RangeChecks(const files::DesignState& s) {
    using namespace design;
    const double fc[4] = {s.fc1, s.fc2, s.fc3, s.fc4};
    const int anyInt = std::numeric_limits<int>::max();
    const int firType = TypeOfStructure(s, 0);
    const int iirType = TypeOfStructure(s, 1);
    const double firFs = FsOfStructure(s, 0);
    const double iirFs = FsOfStructure(s, 1);
    return {
        {"design.structure", CheckIntRange(kFieldNone, s.structure, 0, 2)},
        {"design.type", CheckIntRange(kFieldNone, s.filterType, kLpf, kBpf)},
        {"design.fs", CheckSamplingFrequency(kFieldFs, s.fs)},
        {"design.otherType",
         s.otherType == -1 ? RangeRefusal{} : CheckIntRange(kFieldNone, s.otherType, kLpf, kBpf)},
        {"design.otherFs",
         s.otherFs == -1.0 ? RangeRefusal{} : CheckSamplingFrequency(kFieldFs, s.otherFs)},
        {"fir", CheckFirDialogValues(firType, firFs, fc, s.rr, s.multiplier)},
        {"fir.taps", CheckIntRange(kFieldTaps, s.taps, 1, COlvexDoc::kMaxFirTaps)},
        {"iir.sections",
         CheckIntRange(kFieldSections, s.iirSections, MinIirSections(iirType), MaxIirSections())},
        {"iir", CheckIirDialogValues(iirType, s.rippleDb, s.iirFc1, s.iirFc2, iirFs)},
        {"fir.method", CheckFirMethodName(s.firMethod)},
        {"fir.kaiserBeta", CheckKaiserBeta(s.kaiserBeta)},
        {"iir.method", CheckIirMethodName(s.iirMethod)},
        {"iir.attenDb", CheckIirAttenuation(s.iirAttenDb)},
        {"quantization.bits",
         CheckIntRange(kFieldQuantBits, s.quantBits, coeffs::kMinQuantBits, coeffs::kMaxQuantBits)},
        {"quantization.format", CheckIntRange(kFieldNone, s.coeffFormat, 0, kCoeffFormats - 1)},
        {"hardware.dataBits",
         CheckIntRange(kFieldDataBits, s.dataBits, kMinDataBits, kMaxDataBits)},
        {"hardware.architecture", CheckIntRange(kFieldNone, s.architecture, 0, kArchitectures - 1)},
        {"hardware.multipliers", CheckMultipliers(s.multipliers)},
        {"hardware.clockMhz", CheckClockMhz(s.clockMhz)},
        {"hardware.language", CheckIntRange(kFieldNone, s.language, 0, 1)},
        {"analysis.plotMode", CheckIntRange(kFieldNone, s.plotMode, 0, plots::kPlotModeCount - 1)},
        {"analysis.gainRange", CheckDisplayRange(kFieldGainRange, s.gainRange)},
        {"analysis.responseZoom", CheckIntRange(kFieldZoom, s.respZoom, 0, kMaxZoom)},
        {"analysis.responseStart", CheckIntRange(kFieldStartPos, s.respStart, 0, kMaxStartPos)},
        {"analysis.fftRange", CheckDisplayRange(kFieldMagRange, s.fftMagRange)},
        {"analysis.fftZoom", CheckIntRange(kFieldZoom, s.fftZoom, 0, kMaxZoom)},
        {"analysis.fftStart", CheckIntRange(kFieldStartPos, s.fftStart, 0, kMaxStartPos)},
        {"analysis.waveType", CheckIntRange(kFieldNone, s.waveType, 0, 1)},
        {"analysis.waveFrequency", CheckWaveFrequency(s.waveFreq)},
        {"analysis.waveRange", CheckDisplayRange(kFieldMagRange, s.waveMagRange)},
        {"analysis.waveZoom", CheckIntRange(kFieldZoom, s.waveZoom, 0, kMaxZoom)},
        {"analysis.waveStart", CheckIntRange(kFieldStartPos, s.waveStart, 0, kMaxStartPos)},
        {"fir.multiplier", CheckIntRange(kFieldMultiplier, s.multiplier, kMinMultiplier, anyInt)},
    };
}

// The edge order of the structure the design stands in (the other structure's edges may have
// been left behind by an fs that changed since).
std::string CheckEdgeOrder(const files::DesignState& s) {
    design::Warning warning;
    if (PairStructure(s.structure) == 0) {
        if (!design::CheckFirEdges(s.filterType, s.fs, s.fc1, s.fc2, s.fc3, s.fc4, warning)) {
            return "fir: " + warning.OneLine();
        }
    } else if (!design::CheckIirParameters(s.filterType, s.iirSections, s.fs, s.iirFc1, s.iirFc2,
                                           warning)) {
        return "iir: " + warning.OneLine();
    }
    return {};
}

// The Coefficients dialog's bit-length rules for the structure the design stands in: the
// quantized values must fit a 32-bit integer (FIR taps as K * h, every IIR section), and an
// IIR takes at most 24 bits. A file breaking them is refused as that dialog refuses the bits.
std::string CheckQuantization(const files::DesignState& s) {
    if (s.quantize == 0) {
        return {};
    }
    const bool iir = s.structure == 1;
    double largest = 0.0;
    if (iir) {
        for (const files::DesignSection& section : s.sections) {
            largest = std::max(largest, coeffs::LargestMagnitude(section));
        }
    } else {
        largest = coeffs::LargestMagnitude(s.firTaps) * std::max(1, s.multiplier);
    }
    design::Warning warning;
    if (!coeffs::CheckQuantBits(largest, iir, s.quantBits, warning)) {
        return "quantization.bits: " + warning.OneLine();
    }
    return {};
}

// A group check ("fir") names the field of its refusal ("fir.fc2").
std::string FieldOfGroup(const char* group, int field) {
    const std::string name = group;
    if (name != "fir" && name != "iir") {
        return name;
    }
    switch (field) {
    case design::kFieldFc1:
        return name + ".fc1";
    case design::kFieldFc2:
        return name + ".fc2";
    case design::kFieldFc3:
        return name + ".fc3";
    case design::kFieldFc4:
        return name + ".fc4";
    case design::kFieldRR:
        return "fir.rr";
    case design::kFieldMultiplier:
        return "fir.multiplier";
    case design::kFieldRipple:
        return "iir.rippleDb";
    case design::kFieldFs:
        return "design.fs";
    default:
        return name;
    }
}

// The kinds of FIR design a file names, by the record's dsp::FirKind.
constexpr const char* kFirKindNames[] = {"", "hilbert", "differentiator", "multiband"};

int FirKindOfName(const std::string& name) {
    for (int k = 1; k < static_cast<int>(std::size(kFirKindNames)); ++k) {
        if (name == kFirKindNames[k]) {
            return k;
        }
    }
    return name.empty() ? 0 : -1;
}

// A band-table design's kind and table; a file without them designs the filter type's layout.
void StoreFirBandTable(COlvexDoc& doc, const files::DesignState& s) {
    doc.m_nFirKind = std::max(FirKindOfName(s.firKind), 0);
    if (doc.m_nFirKind == 0) {
        return;
    }
    doc.m_nBands = static_cast<int>(std::min<size_t>(s.firBands.size(), COlvexDoc::kMaxBands));
    for (int b = 0; b < doc.m_nBands; ++b) {
        doc.m_aBandEdges[2 * b] = s.firBands[static_cast<size_t>(b)][0];
        doc.m_aBandEdges[2 * b + 1] = s.firBands[static_cast<size_t>(b)][1];
        doc.m_aBandDesired[b] = s.firBands[static_cast<size_t>(b)][2];
        doc.m_aBandWeight[b] = s.firBands[static_cast<size_t>(b)][3];
    }
}

// The band table of a band-table design, checked as the command line checks its bands.
std::string CheckFirBandTable(const files::DesignState& s) {
    if (FirKindOfName(s.firKind) < 0) {
        return "fir.kind: expected hilbert, differentiator or multiband";
    }
    if (s.firKind.empty()) {
        return {};
    }
    dsp::FirBands bands;
    bands.nBands = static_cast<int>(s.firBands.size());
    for (size_t b = 0; b < s.firBands.size() && b < static_cast<size_t>(dsp::kMaxFirBands); ++b) {
        bands.edges[2 * b] = s.firBands[b][0] * s.fs;
        bands.edges[2 * b + 1] = s.firBands[b][1] * s.fs;
        bands.desired[b] = s.firBands[b][2];
        bands.weight[b] = s.firBands[b][3];
    }
    const RangeRefusal check = commands::CheckBandTable(bands, s.fs);
    return check.Refused() ? "fir.bands: " + check.message : std::string();
}

// The FIR's rate change by its name in the file; -1 for a name the file may not hold.
int RateKindOfName(const std::string& name) {
    if (name.empty()) {
        return COlvexDoc::kSingleRate;
    }
    if (name == "decimate") {
        return COlvexDoc::kDecimate;
    }
    return name == "interpolate" ? COlvexDoc::kInterpolate : -1;
}

// A CIC design: its kind by name and the filter's own ranges. A CIC structure needs them.
std::string CheckCic(const files::DesignState& s) {
    if (s.cicKind.empty()) {
        return s.structure == COlvexDoc::kCicStructure ? "cic.kind: missing" : std::string();
    }
    if (s.cicKind != "decimate" && s.cicKind != "interpolate") {
        return "cic.kind: expected decimate or interpolate";
    }
    dsp::CicParams p;
    p.interpolate = s.cicKind == "interpolate";
    p.rate = s.cicRate;
    p.stages = s.cicStages;
    p.delay = s.cicDelay;
    p.dataBits = s.cicDataBits;
    p.prune = s.cicPrune != 0;
    p.pipeline = s.cicPipeline != 0;
    const std::string error = dsp::CicRangeError(p);
    if (!error.empty()) {
        return "cic: " + error;
    }
    if (!(s.cicEdge > 0.0 && s.cicEdge <= 0.5)) {
        return "cic.edge: expected a number above 0 and at most 0.5";
    }
    if (s.cicCompTaps != 0) {
        dsp::CicCompensatorParams c;
        c.taps = s.cicCompTaps;
        c.passEdge = s.cicCompPassEdge;
        c.stopEdge = s.cicCompStopEdge;
        const std::string compensator = dsp::CicCompensatorRangeError(p, c);
        if (!compensator.empty()) {
            return "cic: " + compensator;
        }
    }
    return {};
}

std::string CheckFirRate(const files::DesignState& s) {
    if (RateKindOfName(s.firRate) < 0) {
        return "fir.rate: expected decimate or interpolate";
    }
    if (!s.firRate.empty() && (s.firRateFactor < COlvexDoc::kMinRateFactor ||
                               s.firRateFactor > COlvexDoc::kMaxRateFactor)) {
        return "fir.rateFactor: expected an integer from " +
               std::to_string(COlvexDoc::kMinRateFactor) + " to " +
               std::to_string(COlvexDoc::kMaxRateFactor);
    }
    return {};
}

void StoreDesignState(COlvexDoc& doc, const files::DesignState& s) {
    doc.ClearDesignArrays();
    doc.m_nFilterType = s.filterType;
    doc.m_fs = s.fs;
    const int pair = PairStructure(s.structure);
    doc.m_nShownStructure = pair;
    const int other = 1 - pair;
    doc.m_nOtherFilterType = TypeOfStructure(s, other);
    doc.m_dOtherFs = FsOfStructure(s, other);
    doc.m_bOtherBandsKnown = s.otherBandsKnown < 0 ? (s.bandsKnown ? 1 : 0) : s.otherBandsKnown;
    // A file from before the pair was kept leaves the other structure to take the design's.
    doc.m_aStructureMade[pair] = 1;
    doc.m_aStructureMade[other] = s.otherType < 0 ? 0 : 1;
    doc.m_fc1 = s.fc1;
    doc.m_fc2 = s.fc2;
    doc.m_fc3 = s.fc3;
    doc.m_fc4 = s.fc4;
    doc.m_nTaps = s.taps;
    doc.m_bEvenTaps = s.evenTaps;
    doc.m_dRR = s.rr;
    doc.m_nCoeffMultiplier = s.multiplier;
    StoreFirBandTable(doc, s);
    doc.m_nRateKind = std::max(RateKindOfName(s.firRate), 0);
    doc.m_nRateFactor = doc.m_nRateKind == COlvexDoc::kSingleRate ? 2 : s.firRateFactor;
    if (!s.cicKind.empty()) {
        doc.m_bCicInterpolate = s.cicKind == "interpolate" ? 1 : 0;
        doc.m_nCicRate = s.cicRate;
        doc.m_nCicStages = s.cicStages;
        doc.m_nCicDelay = s.cicDelay;
        doc.m_nCicDataBits = s.cicDataBits;
        doc.m_dCicEdge = s.cicEdge;
        doc.m_bCicPrune = s.cicPrune;
        doc.m_bCicPipeline = s.cicPipeline;
        doc.m_bCicCompensate = s.cicCompTaps > 0 ? 1 : 0;
        if (s.cicCompTaps > 0) {
            doc.m_nCicCompTaps = s.cicCompTaps;
            doc.m_dCicCompPassEdge = s.cicCompPassEdge;
            doc.m_dCicCompStopEdge = s.cicCompStopEdge;
        }
        // The compensator is designed again from its parameters (the design is deterministic).
        doc.DesignCicCompensator();
        doc.m_bCicDesigned = s.structure == COlvexDoc::kCicStructure ? 1 : 0;
    }
    std::copy(s.firTaps.begin(), s.firTaps.end(), doc.m_aFirCoeffs);
    doc.m_bDesignOk = 1;
    doc.m_bBandsKnown = s.bandsKnown ? 1 : 0;
    doc.m_nIirSections = s.iirSections;
    doc.m_dRippleDb = s.rippleDb;
    doc.m_dIirFc1 = s.iirFc1;
    doc.m_dIirFc2 = s.iirFc2;
    doc.m_nFirMethod = std::max(dsp::FirMethodOfName(s.firMethod.c_str()), 0);
    doc.m_dKaiserBeta = s.kaiserBeta;
    doc.m_nIirMethod = std::max(dsp::IirMethodOfName(s.iirMethod.c_str()), 0);
    doc.m_dIirAttenDb = s.iirAttenDb;
    CopySections(s.sections, 0, doc.m_aA0);
    CopySections(s.sections, 1, doc.m_aA1);
    CopySections(s.sections, 2, doc.m_aA2);
    CopySections(s.sections, 3, doc.m_aB1);
    CopySections(s.sections, 4, doc.m_aB2);
    doc.m_bQuantize = s.quantize;
    doc.m_nQuantBits = s.quantBits;
    doc.m_nCoeffFormat = s.coeffFormat;
    doc.m_nDataBits = s.dataBits;
    doc.m_nVhdlArchitecture = s.architecture;
    doc.m_nVhdlMultipliers = s.multipliers;
    doc.m_dVhdlClockMhz = s.clockMhz;
    doc.m_nHdlLanguage = s.language;
    doc.m_dGainRange = s.gainRange;
    doc.m_nRespFreqZoom = s.respZoom;
    doc.m_nRespStartPos = s.respStart;
    doc.m_dFftMagRange = s.fftMagRange;
    doc.m_nFftFreqZoom = s.fftZoom;
    doc.m_nFftStartPos = s.fftStart;
    doc.m_nWaveType = s.waveType;
    doc.m_dWaveFreq = s.waveFreq;
    doc.m_bUseUserWave = s.useUserWave;
    doc.m_strUserWavePath = s.userWavePath;
    doc.m_dWaveMagRange = s.waveMagRange;
    doc.m_nWaveTimeZoom = s.waveZoom;
    doc.m_nWaveStartPos = s.waveStart;
}

} // namespace

files::DesignState TakeDesignState(const COlvexDoc& doc, const FormSettings& form) {
    files::DesignState s;
    // The filter the saved structure's coefficients were made for, whichever structure the
    // form shows.
    s.structure = form.structure;
    const int pair = PairStructure(form.structure);
    const int other = 1 - pair;
    s.filterType = doc.FilterTypeOf(pair);
    s.designed = form.designed;
    s.bandsKnown = doc.BandsKnownOf(pair);
    s.fs = doc.FsOf(pair);
    s.otherType = doc.FilterTypeOf(other);
    s.otherFs = doc.FsOf(other);
    s.otherBandsKnown = doc.BandsKnownOf(other) ? 1 : 0;
    s.fc1 = doc.m_fc1;
    s.fc2 = doc.m_fc2;
    s.fc3 = doc.m_fc3;
    s.fc4 = doc.m_fc4;
    s.taps = doc.m_nTaps;
    s.evenTaps = doc.m_bEvenTaps;
    s.rr = doc.m_dRR;
    s.multiplier = doc.m_nCoeffMultiplier;
    if (doc.FirUsesBandTable()) {
        s.firKind = kFirKindNames[static_cast<int>(doc.FirKind())];
        for (int b = 0; b < std::clamp(doc.m_nBands, 0, COlvexDoc::kMaxBands); ++b) {
            s.firBands.push_back({doc.m_aBandEdges[2 * b], doc.m_aBandEdges[2 * b + 1],
                                  doc.m_aBandDesired[b], doc.m_aBandWeight[b]});
        }
    }
    if (form.structure == COlvexDoc::kCicStructure) {
        s.cicKind = doc.m_bCicInterpolate != 0 ? "interpolate" : "decimate";
        s.cicRate = doc.m_nCicRate;
        s.cicStages = doc.m_nCicStages;
        s.cicDelay = doc.m_nCicDelay;
        s.cicDataBits = doc.m_nCicDataBits;
        s.cicEdge = doc.m_dCicEdge;
        s.cicPrune = doc.m_bCicPrune;
        s.cicPipeline = doc.m_bCicPipeline;
        if (doc.m_bCicCompensate != 0) {
            s.cicCompTaps = doc.m_nCicCompTaps;
            s.cicCompPassEdge = doc.m_dCicCompPassEdge;
            s.cicCompStopEdge = doc.m_dCicCompStopEdge;
        }
    }
    if (doc.HasRateChange()) {
        s.firRate = doc.m_nRateKind == COlvexDoc::kDecimate ? "decimate" : "interpolate";
        s.firRateFactor = doc.m_nRateFactor;
    }
    s.iirSections = doc.m_nIirSections;
    s.rippleDb = doc.m_dRippleDb;
    s.iirFc1 = doc.m_dIirFc1;
    s.iirFc2 = doc.m_dIirFc2;
    s.firMethod = dsp::FirMethodName(doc.m_nFirMethod);
    s.kaiserBeta = doc.m_dKaiserBeta;
    s.iirMethod = dsp::IirMethodName(doc.m_nIirMethod);
    s.iirAttenDb = doc.m_dIirAttenDb;
    s.quantize = doc.m_bQuantize;
    s.quantBits = doc.m_nQuantBits;
    s.coeffFormat = doc.m_nCoeffFormat;
    s.dataBits = doc.m_nDataBits;
    s.templatePath = form.templatePath;
    s.architecture = doc.m_nVhdlArchitecture;
    s.multipliers = doc.m_nVhdlMultipliers;
    s.clockMhz = doc.m_dVhdlClockMhz;
    s.language = doc.m_nHdlLanguage;
    s.plotMode = form.plotMode;
    s.gainRange = doc.m_dGainRange;
    s.respZoom = doc.m_nRespFreqZoom;
    s.respStart = doc.m_nRespStartPos;
    s.fftMagRange = doc.m_dFftMagRange;
    s.fftZoom = doc.m_nFftFreqZoom;
    s.fftStart = doc.m_nFftStartPos;
    s.waveType = doc.m_nWaveType;
    s.waveFreq = doc.m_dWaveFreq;
    s.useUserWave = doc.m_bUseUserWave;
    s.userWavePath = doc.m_strUserWavePath;
    s.waveMagRange = doc.m_dWaveMagRange;
    s.waveZoom = doc.m_nWaveTimeZoom;
    s.waveStart = doc.m_nWaveStartPos;
    s.showHardwareWave = form.showHardwareWave;
    const int taps = std::clamp(doc.m_nTaps, 0, COlvexDoc::kMaxFirTaps);
    s.firTaps.assign(doc.m_aFirCoeffs, doc.m_aFirCoeffs + taps);
    for (int i = 0; i < COlvexDoc::kIirSections; ++i) {
        s.sections.push_back(
            {doc.m_aA0[i], doc.m_aA1[i], doc.m_aA2[i], doc.m_aB1[i], doc.m_aB2[i]});
    }
    return s;
}

std::string CheckDesignState(const files::DesignState& state) {
    for (const auto& [group, check] : RangeChecks(state)) {
        if (check.Refused()) {
            return FieldOfGroup(group, check.field) + ": " + check.message;
        }
    }
    if (state.firTaps.size() != static_cast<size_t>(state.taps)) {
        return "coefficients.fir: expected fir.taps = " + std::to_string(state.taps) + " taps";
    }
    // Coefficients that are not finite give no filter; JSON cannot even write them.
    const auto finite = [](double v) { return std::isfinite(v); };
    if (!std::all_of(state.firTaps.begin(), state.firTaps.end(), finite)) {
        return "coefficients.fir: a tap is not a finite number";
    }
    for (const files::DesignSection& section : state.sections) {
        if (!std::all_of(section.begin(), section.end(), finite)) {
            return "coefficients.iir: a coefficient is not a finite number";
        }
    }
    const std::string quantization = CheckQuantization(state);
    if (!quantization.empty()) {
        return quantization;
    }
    const std::string bands = CheckFirBandTable(state);
    if (!bands.empty()) {
        return bands;
    }
    const std::string cic = CheckCic(state);
    if (!cic.empty()) {
        return cic;
    }
    const std::string rate = CheckFirRate(state);
    if (!rate.empty()) {
        return rate;
    }
    return CheckEdgeOrder(state);
}

Outcome SaveDesign(const COlvexDoc& doc, const FormSettings& form, const std::string& path) {
    Outcome outcome;
    outcome.path = path;
    const files::OutputResult written =
        files::WriteOutputFile(path, files::WriteDesignText(TakeDesignState(doc, form)));
    if (!written.ok) {
        outcome.kind = OutcomeKind::kFileNotWritten;
        outcome.reason = written.reason;
        outcome.message = path + design::kCannotBeOpened;
        return outcome;
    }
    outcome.kind = OutcomeKind::kFileWritten;
    return outcome;
}

OpenDesignOutcome OpenDesign(COlvexDoc& doc, const std::string& path) {
    OpenDesignOutcome outcome;
    outcome.path = path;
    const auto refuse = [&outcome, &path](const std::string& problem) {
        outcome.kind = OutcomeKind::kFileNotRead;
        outcome.reason = problem;
        outcome.message = files::QuotedPath(path) + ": " + problem;
        return outcome;
    };
    const files::InputFile input = files::ReadInputFile(path, files::kMaxDesignFileBytes);
    if (!input.ok) {
        return refuse(input.reason);
    }
    const files::DesignRead read = files::ReadDesignText(input.text);
    if (!read.ok) {
        return refuse(read.message);
    }
    const std::string problem = CheckDesignState(read.state);
    if (!problem.empty()) {
        return refuse(problem);
    }
    // The user wave is read before anything is stored: a wave that cannot be read any more
    // leaves the design to the test wave.
    files::DesignState state = read.state;
    double wave[COlvexDoc::kWaveInSamples] = {};
    bool waveRead = false;
    if (state.useUserWave != 0 && !state.userWavePath.empty()) {
        const files::UserWaveRead wr = files::ReadUserWave(state.userWavePath, wave);
        waveRead = !wr.Failed();
        if (!waveRead) {
            outcome.message = files::DescribeUserWaveRead(state.userWavePath, wr, std::size(wave));
            state.useUserWave = 0;
        }
    } else if (state.useUserWave != 0) {
        state.useUserWave = 0; // no file named: the test wave
    }
    StoreDesignState(doc, state);
    if (waveRead) {
        std::copy(std::begin(wave), std::end(wave), doc.m_aWaveIn);
    }
    outcome.form.structure = state.structure;
    outcome.form.plotMode = state.plotMode;
    outcome.form.designed = state.designed;
    outcome.form.templatePath = state.templatePath;
    outcome.form.showHardwareWave = state.showHardwareWave;
    return outcome;
}

void NewDesign(COlvexDoc& doc) {
    auto console = std::move(doc.m_fnConsole);
    doc = COlvexDoc();
    doc.m_fnConsole = std::move(console);
}

} // namespace commands
