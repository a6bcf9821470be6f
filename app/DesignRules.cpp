#include "app/DesignRules.h"

#include "app/OlvexDoc.h"
#include "dsp/FirMethods.h"
#include "dsp/Iir.h"
#include "files/NumberText.h"
#include "vhdl/Architecture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace design {

bool IsThreeBand(int type) {
    return type == kBrf || type == kBpf;
}

bool CheckFirEdges(int type, double fs, double fc1, double fc2, double fc3, double fc4,
                   Warning& warning) {
    if (IsThreeBand(type)) {
        if (fc1 < fc2 && fc2 < fc3 && fc3 < fc4 && fc4 < 0.5 * fs) {
            return true;
        }
        warning = {
            "Warning", {"Frequencies need to be", "Fc1 < Fc2 < Fc3 < Fc4 < Fs/2."}, kIddWarnEdges4};
        return false;
    }
    if (fc1 < fc2 && fc2 < 0.5 * fs) {
        return true;
    }
    warning = {"Warning!", {"Frequencies need to be", "Fc1 < Fc2 < Fs/2."}, kIddWarnEdges};
    return false;
}

bool FirBandsUnbalanced(double fc1, double fc2, double fc3, double fc4, Warning& warning) {
    const double ratio = (fc2 - fc1) / (fc4 - fc3);
    if (ratio >= 1.5 || ratio <= 0.67) {
        warning = {
            "Warning!",
            {"Warning!!", "The result might be bad. ", "(fc2-fc1) had better equal to (fc4-fc3). "},
            kIddWarnUnbalanced};
        return true;
    }
    return false;
}

bool FirOddTapsOnly(int type, int method) {
    return type == kHpf || type == kBrf || method == dsp::kFirLeastSquares;
}

void StoreFirTapCount(COlvexDoc& doc, int type, int nEntered) {
    if (FirOddTapsOnly(type, doc.m_nFirMethod) && nEntered % 2 == 0) {
        doc.m_nTaps = nEntered - 1;
        doc.m_bEvenTaps = 1;
    } else {
        doc.m_nTaps = nEntered;
        doc.m_bEvenTaps = 0;
    }
}

int ShownFirTapCount(const COlvexDoc& doc) {
    return doc.m_nTaps + (doc.m_bEvenTaps ? 1 : 0);
}

} // namespace design

namespace design {

EdgeProposal ProposeEdges(const COlvexDoc& doc, int type) {
    EdgeProposal p{{doc.m_fc1, doc.m_fc2, doc.m_fc3, doc.m_fc4}, {false, false, false, false}};
    switch (type) {
    case kLpf:
        p.fc[1] = doc.EstimateFc2FromFc1();
        p.adjusted[1] = true;
        break;
    case kHpf:
        p.fc[0] = doc.EstimateFc1FromFc2();
        p.adjusted[0] = true;
        break;
    case kBrf:
        p.fc[1] = doc.EstimateFc2FromFc1();
        p.fc[2] = doc.EstimateFc3FromFc4();
        p.adjusted[1] = p.adjusted[2] = true;
        break;
    default:
        p.fc[0] = doc.EstimateFc1FromFc2();
        p.fc[3] = doc.EstimateFc4FromFc3();
        p.adjusted[0] = p.adjusted[3] = true;
        break;
    }
    return p;
}

void StoreEdgeProposal(COlvexDoc& doc, const EdgeProposal& proposal) {
    double* const fields[4] = {&doc.m_fc1, &doc.m_fc2, &doc.m_fc3, &doc.m_fc4};
    for (int i = 0; i < 4; ++i) {
        if (proposal.adjusted[i]) {
            *fields[i] = proposal.fc[i];
        }
    }
}

} // namespace design

namespace design {

int MinIirSections(int type) {
    return IsThreeBand(type) ? 2 : 1;
}

int MaxIirSections() {
    return dsp::kIirMaxSections;
}

bool CheckIirParameters(int type, int nSections, double fs, double fc1, double fc2,
                        Warning& warning) {
    if (!IsThreeBand(type)) {
        if (0.5 * fs > fc1) {
            return true;
        }
        warning = {
            "Warning!", {"Cut off needs to be lower than", "Nyquist Frequency!!"}, kIddWarnCutoff};
        return false;
    }
    // An odd count is reported even when the frequencies are wrong too.
    if (nSections % 2 != 0) {
        warning = {"Warning!",
                   {"for BPF and BRF, ", "the Number of IIRs needs to be", "2, 4, 6 or 8."},
                   kIddWarnIirSections};
        return false;
    }
    if (fc1 < fc2 && fc2 < 0.5 * fs) {
        return true;
    }
    warning = {"Warning!", {"Frequencies need to be", "Fc1 < Fc2 < Fs/2."}, kIddWarnEdges};
    return false;
}

void StoreIirParameters(COlvexDoc& doc, int type, int nSections, double rippleDb, double fc1,
                        double fc2, double fs) {
    doc.m_nIirSections = nSections;
    doc.m_dRippleDb = rippleDb;
    doc.m_dIirFc1 = fc1;
    if (IsThreeBand(type)) {
        doc.m_dIirFc2 = fc2;
    }
    doc.m_fs = fs;
    doc.m_nFilterType = type;
    doc.m_bQuantize = 0;
    doc.m_nCoeffFormat = 0;
}

} // namespace design

namespace design {

// Every rule below refuses NaN as well: each comparison is written so that NaN fails it.

std::string NumberRangeMessage(double low, double high) {
    return "Please enter a number above " + files::FormatDialogDouble(low) + " and at most " +
           files::FormatDialogDouble(high) + ".";
}

namespace {

RangeRefusal NumberRange(int field, double value, double low, double high) {
    if (value > low && value <= high) {
        return {field, low, high, std::string()};
    }
    return {field, low, high, NumberRangeMessage(low, high)};
}

} // namespace

RangeRefusal CheckSamplingFrequency(int field, double fs) {
    return NumberRange(field, fs, 0.0, kMaxSamplingFrequency);
}

RangeRefusal CheckLowerBandFrequency(int field, double frequency, double fs) {
    RangeRefusal check{field, 0.0, 0.5 * fs, std::string()};
    // fs/2 itself is refused later by the edge warnings, so the message names both bounds as
    // exclusive.
    if (!(frequency > 0.0)) {
        check.message =
            "Please enter a number above 0 and below " + files::FormatDialogDouble(0.5 * fs) + ".";
    }
    return check;
}

RangeRefusal CheckRipple(double rippleDb) {
    return NumberRange(kFieldRipple, rippleDb, 0.0, kMaxRippleDb);
}

RangeRefusal CheckWaveFrequency(double frequency) {
    return NumberRange(kFieldWaveFreq, frequency, 0.0, kMaxSamplingFrequency);
}

RangeRefusal CheckRR(double rr) {
    return NumberRange(kFieldRR, rr, 0.0, kMaxRR);
}

RangeRefusal CheckDisplayRange(int field, double range) {
    return NumberRange(field, range, 0.0, kMaxDisplayRange);
}

RangeRefusal CheckIntRange(int field, int value, int low, int high) {
    return {field, static_cast<double>(low), static_cast<double>(high),
            value >= low && value <= high ? std::string() : files::IntRangeMessage(low, high)};
}

RangeRefusal CheckFirDialogValues(int type, double fs, const double (&fc)[4], double rr,
                                  int multiplier) {
    RangeRefusal check = CheckSamplingFrequency(kFieldFs, fs);
    const int edges = IsThreeBand(type) ? 4 : 2;
    for (int i = 0; i < edges && !check.Refused(); ++i) {
        check = CheckLowerBandFrequency(kFieldFc1 + i, fc[i], fs);
    }
    if (!check.Refused()) {
        check = CheckRR(rr);
    }
    if (!check.Refused()) {
        check = CheckIntRange(kFieldMultiplier, multiplier, kMinMultiplier,
                              std::numeric_limits<int>::max());
    }
    return check.Refused() ? check : RangeRefusal{};
}

RangeRefusal CheckIirDialogValues(int type, double rippleDb, double fc1, double fc2, double fs) {
    RangeRefusal check = CheckRipple(rippleDb);
    if (!check.Refused()) {
        check = CheckSamplingFrequency(kFieldFs, fs);
    }
    if (!check.Refused()) {
        check = CheckLowerBandFrequency(kFieldFc1, fc1, fs);
    }
    if (!check.Refused() && IsThreeBand(type)) {
        check = CheckLowerBandFrequency(kFieldFc2, fc2, fs);
    }
    return check.Refused() ? check : RangeRefusal{};
}

} // namespace design

namespace design {

Warning SaveNeedsCoeffsWarning() {
    return {"Warning",
            {"Warning!!", "Click 'Coefficients' button", "before saving coefficients."},
            kIddWarnSaveNeedsCoeffs};
}

Warning InvalidFileNameWarning() {
    return {"Warning", {"Warning!!", "Invalid File Name!!"}, kIddWarnInvalidFileName};
}

Warning VhdlNeedsQuantizeWarning() {
    return {"Warning",
            {"Warning!!", "Click \"Coefficients\" and enable \"Quantize\"",
             "before VHDL code generation!!"},
            kIddWarnVhdlNeedsQuantize};
}

Warning ExportNeedsQuantizeWarning() {
    return {"Warning",
            {"Warning!!", "Click \"Coefficients\" and enable \"Quantize\"",
             "before exporting integer coefficients (.coe, .mif)!!"},
            kIddWarnExportNeedsQuantize};
}

Warning VhdlNeedsParamsWarning() {
    return {"Warning",
            {"Click \"VHDL Code\" button ", "and put parameters!!"},
            kIddWarnVhdlNeedsParams};
}

Warning MissingHeaderWarning() {
    return {
        "Warning",
        {"Warning!!", "Missing Header Information!! ", "See \"Help\" -> \"User Coeffs Format\""},
        kIddWarnMissingHeader};
}

Warning InvalidCoeffsWarning() {
    return {"Warning",
            {"Invalid Coeffs Format", "See \"Help\" -> \"User Coeffs Format\""},
            kIddWarnInvalidCoeffs};
}

} // namespace design

namespace design {

RangeRefusal CheckMultipliers(int multipliers) {
    return CheckIntRange(kFieldMultipliers, multipliers, vhdl::kMinMultipliers,
                         vhdl::kMaxMultipliers);
}

RangeRefusal CheckClockMhz(double clockMhz) {
    const bool inside = clockMhz > 0.0 && clockMhz <= kMaxClockMhz;
    return {kFieldClock, 0.0, kMaxClockMhz,
            inside ? std::string() : NumberRangeMessage(0.0, kMaxClockMhz)};
}

const char* FieldName(int field) {
    static constexpr const char* kNames[] = {
        "",          "fs",     "fc1",  "fc2",      "fc3",         "fc4",       "rr",
        "mult",      "ripple", "taps", "sections", "quantize",    "data-bits", "gain-range",
        "mag-range", "freq",   "zoom", "start",    "multipliers", "clock",     "ap",
        "as",        "stop",   "stop", "beta",
    };
    return field >= 0 && field < static_cast<int>(std::size(kNames)) ? kNames[field] : "";
}

} // namespace design

namespace design {

RangeRefusal CheckRequirements(double apDb, double asDb) {
    RangeRefusal check = NumberRange(kFieldAp, apDb, 0.0, kMaxRippleDb);
    return check.Refused() ? check : NumberRange(kFieldAs, asDb, apDb, kMaxAttenuationDb);
}

RangeRefusal CheckIirMethodName(const std::string& name) {
    if (dsp::IirMethodOfName(name.c_str()) >= 0) {
        return {};
    }
    return {kFieldNone, 0.0, 0.0,
            "Please choose the design method cheby1, butter, cheby2, ellip or bessel."};
}

RangeRefusal CheckIirAttenuation(double asDb) {
    return NumberRange(kFieldAs, asDb, 0.0, kMaxAttenuationDb);
}

RangeRefusal CheckFirMethodName(const std::string& name) {
    if (dsp::FirMethodOfName(name.c_str()) >= 0) {
        return {};
    }
    return {kFieldNone, 0.0, 0.0, "Please choose the design method remez, ls or kaiser."};
}

std::string FirMethodText(const COlvexDoc& doc, bool fir) {
    if (!fir || doc.m_nFirMethod == dsp::kFirRemez) {
        return std::string();
    }
    std::string text = dsp::FirMethodTitle(doc.m_nFirMethod);
    if (doc.m_nFirMethod == dsp::kFirKaiser) {
        text += ", beta " + files::FormatDialogDouble(doc.m_dKaiserBeta);
    }
    return text;
}

RangeRefusal CheckKaiserBeta(double beta) {
    if (beta >= 0.0 && beta <= dsp::kMaxKaiserBeta) {
        return {kFieldBeta, 0.0, dsp::kMaxKaiserBeta, std::string()};
    }
    return {kFieldBeta, 0.0, dsp::kMaxKaiserBeta,
            "Please enter a number from 0 to " + files::FormatDialogDouble(dsp::kMaxKaiserBeta) +
                "."};
}

RangeRefusal CheckHalfband(int type, double fs, double passEdge, int taps) {
    if (type != 0) {
        return {kFieldNone, 0.0, 0.0, "A half-band filter is a low-pass filter."};
    }
    if (!dsp::IsHalfbandTapCount(taps)) {
        return {kFieldTaps, 7.0, static_cast<double>(dsp::kMaxRemezTaps),
                "A half-band filter takes 4k + 3 taps: 7, 11, 15, ... up to " +
                    std::to_string(dsp::kMaxRemezTaps - (dsp::kMaxRemezTaps - 3) % 4) + "."};
    }
    if (!(passEdge > 0.0 && passEdge < 0.25 * fs)) {
        return {kFieldFc1, 0.0, 0.25 * fs,
                "The pass-band edge of a half-band filter must lie above 0 and below fs/4 (" +
                    files::FormatDialogDouble(0.25 * fs) + ")."};
    }
    return {};
}

RangeRefusal CheckIirStopEdges(int type, double fs, double fc1, double fc2, double stop1,
                               double stop2) {
    const double half = 0.5 * fs;
    const auto inside = [](double value, double low, double high,
                           int field = kFieldStop) -> RangeRefusal {
        if (value > low && value < high) {
            return {};
        }
        return {field, low, high,
                "Please enter a stop band edge above " + files::FormatDialogDouble(low) +
                    " and below " + files::FormatDialogDouble(high) + "."};
    };
    switch (type) {
    case kHpf:
        return inside(stop1, 0.0, fc1);
    case kBpf: {
        const RangeRefusal lower = inside(stop1, 0.0, fc1);
        return lower.Refused() ? lower : inside(stop2, fc2, half, kFieldStop2);
    }
    case kBrf: {
        const RangeRefusal lower = inside(stop1, fc1, fc2);
        return lower.Refused() ? lower : inside(stop2, stop1, fc2, kFieldStop2);
    }
    default:
        return inside(stop1, fc1, half);
    }
}

} // namespace design
