// The data exchange of the Design command's dialogs.
#include "app/ui/DesignDialogs.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>
#include <utility>

#include "app/DesignCommands.h"
#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "app/ui/DesignPictures.h"
#include "dsp/Cic.h"
#include "dsp/FirDesign.h"
#include "dsp/FirMethods.h"
#include "dsp/Iir.h"
#include "files/NumberText.h"

namespace design {

namespace {

// The edit of a parameter dialog that holds a field of the range checks.
int FieldControl(int field) {
    switch (field) {
    case kFieldFs:
        return kIdcFs;
    case kFieldFc1:
        return kIdcFc1;
    case kFieldFc2:
        return kIdcFc2;
    case kFieldFc3:
        return kIdcFc3;
    case kFieldFc4:
        return kIdcFc4;
    case kFieldRR:
        return kIdcRR;
    case kFieldMultiplier:
        return kIdcMultiplier;
    case kFieldRipple:
        return kIdcRipple;
    case kFieldAp:
        return kIdcPassRipple;
    case kFieldAs:
        return kIdcStopAttenuation;
    case kFieldBeta:
        return kIdcKaiserBeta;
    default:
        return platform::kIdStatic;
    }
}

// The checked button of the radio group of `count` buttons from firstId; `none` when none is.
int CheckedIndex(const platform::ControlAccess& controls, int firstId, int count, int none) {
    for (int i = 0; i < count; ++i) {
        if (controls.GetCheck(firstId + i) != 0) {
            return i;
        }
    }
    return none;
}

} // namespace

CFirDesignDialog::CFirDesignDialog(int type, FirDialogKind kind)
    : platform::Dialog(FirDialogTemplate(type, kind)), m_nType(type), m_kind(kind) {}

void CFirDesignDialog::Fill(const COlvexDoc& doc, int shownTaps) {
    m_fs = doc.m_fs;
    m_fc1 = doc.m_fc1;
    m_fc2 = doc.m_fc2;
    m_fc3 = doc.m_fc3;
    m_fc4 = doc.m_fc4;
    m_nTaps = shownTaps;
    m_dRR = doc.m_dRR;
    m_nCoeffMultiplier = doc.m_nCoeffMultiplier;
    if (m_kind == FirDialogKind::kParameters) {
        m_bFromRequirements = doc.m_bFirFromRequirements;
        m_dApDb = doc.m_dFirApDb;
        m_dAsDb = doc.m_dFirAsDb;
        m_nFirKind = static_cast<int>(doc.FirKind());
        m_nFirMethod = doc.m_nFirMethod;
        m_dKaiserBeta = doc.m_dKaiserBeta;
        m_nRateKind = std::clamp(doc.m_nRateKind, 0, kRateKindRadios - 1);
        m_nRateFactor = doc.m_nRateFactor;
    }
}

bool CFirDesignDialog::UsesRR() const {
    return !UsesBandTable() && m_bFromRequirements == 0 && m_nFirMethod != dsp::kFirKaiser;
}

bool CFirDesignDialog::UsesBeta() const {
    return !UsesBandTable() && m_bFromRequirements == 0 && m_nFirMethod == dsp::kFirKaiser;
}

void CFirDesignDialog::Remember(COlvexDoc& doc) const {
    doc.m_bFirFromRequirements = m_bFromRequirements;
    doc.m_dFirApDb = m_dApDb;
    doc.m_dFirAsDb = m_dAsDb;
}

void CFirDesignDialog::OnInitDialog(platform::ControlAccess& controls) {
    ShowMode(controls);
}

void CFirDesignDialog::OnClicked(int controlId, platform::ControlAccess& controls) {
    if (controlId == kIdcFromRequirements ||
        (controlId >= kIdcFirKind && controlId < kIdcFirKind + kFirKindRadios) ||
        (controlId >= kIdcFirMethod && controlId < kIdcFirMethod + kFirMethodRadios) ||
        (controlId >= kIdcRateKind && controlId < kIdcRateKind + kRateKindRadios)) {
        ShowMode(controls);
    }
}

void CFirDesignDialog::ShowMode(platform::ControlAccess& controls) const {
    if (m_kind != FirDialogKind::kParameters) {
        return;
    }
    // A kind on a band table is designed by the Remez exchange from its own bands: the type's
    // edges, RR, the method and the requirements mode mean nothing to it.
    const bool table = CheckedIndex(controls, kIdcFirKind, kFirKindRadios, 0) != 0;
    const int method = CheckedIndex(controls, kIdcFirMethod, kFirMethodRadios, dsp::kFirRemez);
    if (table) {
        controls.SetCheck(kIdcFromRequirements, 0);
    }
    controls.SetEnabled(kIdcFromRequirements, !table);
    const int edges = IsThreeBand(m_nType) ? 4 : 2;
    for (int i = 0; i < edges; ++i) {
        controls.SetEnabled(FieldControl(kFieldFc1 + i), !table);
    }
    for (int i = 0; i < kFirMethodRadios; ++i) {
        // The half-band filter is a low pass, its stop band the mirror of its pass band.
        controls.SetEnabled(kIdcFirMethod + i,
                            !table && (i != dsp::kFirHalfband || m_nType == kLpf));
    }
    const bool halfband = !table && method == dsp::kFirHalfband;
    if (edges == 2) {
        controls.SetEnabled(FieldControl(kFieldFc2), !table && !halfband);
    }
    // Ap and As replace the tap count and RR, which the design then chooses (and beta, which
    // Kaiser's formula gives). The window takes no weights, so RR means nothing to it.
    const bool requirements = controls.GetCheck(kIdcFromRequirements) != 0;
    controls.SetEnabled(kIdcPassRipple, requirements);
    controls.SetEnabled(kIdcStopAttenuation, requirements);
    controls.SetEnabled(kIdcTaps, !requirements);
    controls.SetEnabled(kIdcRR, !table && !requirements && method != dsp::kFirKaiser && !halfband);
    controls.SetEnabled(kIdcKaiserBeta, !table && !requirements && method == dsp::kFirKaiser);
    controls.SetEnabled(kIdcRateFactor,
                        CheckedIndex(controls, kIdcRateKind, kRateKindRadios,
                                     COlvexDoc::kSingleRate) != COlvexDoc::kSingleRate);
}

void CFirDesignDialog::DoDataExchange(platform::DataExchange& exchange) {
    const bool parameters = m_kind == FirDialogKind::kParameters;
    if (parameters) {
        // First, as the fields below depend on them.
        exchange.Radio(kIdcFirKind, m_nFirKind);
        exchange.Radio(kIdcFirMethod, m_nFirMethod);
        if (exchange.Saving()) {
            m_nFirKind = m_nFirKind >= 0 && m_nFirKind < kFirKindRadios ? m_nFirKind : 0;
            m_nFirMethod = m_nFirMethod >= 0 && m_nFirMethod < kFirMethodRadios ? m_nFirMethod
                                                                                : dsp::kFirRemez;
        }
    }
    exchange.Double(kIdcFs, m_fs);
    // The fields a band table or the Kaiser window leaves disabled: a well-formed entry is read,
    // anything else is left alone, and nothing is checked. Opening shows every field alike.
    const auto field = [&exchange](int id, double& value, bool used) {
        if (used || !exchange.Saving()) {
            exchange.Double(id, value);
        } else {
            exchange.UnusedDouble(id, value);
        }
    };
    const bool edgesUsed = !parameters || !UsesBandTable();
    field(kIdcFc1, m_fc1, edgesUsed);
    // A half-band filter's stop edge is the mirror of its pass edge: the field is not read.
    field(kIdcFc2, m_fc2, edgesUsed && !(parameters && m_nFirMethod == dsp::kFirHalfband));
    if (IsThreeBand(m_nType)) {
        field(kIdcFc3, m_fc3, edgesUsed);
        field(kIdcFc4, m_fc4, edgesUsed);
    }
    exchange.IntRange(kIdcTaps, m_nTaps, COlvexDoc::kMinDialogTaps, COlvexDoc::kMaxDialogTaps);
    // The requirements mode keeps its own exchange of RR (the value shown is read and kept).
    field(kIdcRR, m_dRR, !parameters || (!UsesBandTable() && m_nFirMethod != dsp::kFirKaiser));
    // The multiplier's range is checked as the entry is read, so an oversized entry gets it too.
    exchange.IntRange(kIdcMultiplier, m_nCoeffMultiplier, kMinMultiplier,
                      std::numeric_limits<int>::max());
    if (parameters) {
        exchange.Check(kIdcFromRequirements, m_bFromRequirements);
        ExchangeRate(exchange);
        // A kind on a band table turns the mode off (its check box is disabled and clear).
        if (exchange.Saving() && UsesBandTable()) {
            m_bFromRequirements = 0;
        }
        exchange.Double(kIdcPassRipple, m_dApDb);
        exchange.Double(kIdcStopAttenuation, m_dAsDb);
        field(kIdcKaiserBeta, m_dKaiserBeta, UsesBeta());
    }
    // Values that cannot give a filter keep the dialog open, as a standard range check does.
    if (exchange.Saving() && !exchange.Failure()) {
        RangeRefusal check;
        if (parameters && UsesBandTable()) {
            // The band table is checked against fs in its own dialog.
            check = CheckSamplingFrequency(kFieldFs, m_fs);
        } else {
            const double fc[4] = {m_fc1, m_fc2, m_fc3, m_fc4};
            // In the requirements mode RR is chosen, so the RR shown (perhaps a chosen one beyond
            // the range an entry may have) is not checked; nor is it for the Kaiser window.
            const double rr = m_bFromRequirements != 0 || (parameters && !UsesRR()) ? 1.0 : m_dRR;
            check = CheckFirDialogValues(m_nType, m_fs, fc, rr, m_nCoeffMultiplier);
        }
        if (!check.Refused() && parameters && !UsesBandTable() && m_bFromRequirements != 0) {
            check = CheckRequirements(m_dApDb, m_dAsDb);
        }
        if (!check.Refused() && parameters && UsesBeta()) {
            check = CheckKaiserBeta(m_dKaiserBeta);
        }
        if (check.Refused()) {
            exchange.Refuse(FieldControl(check.field), check.message);
        }
    }
}

void CFirDesignDialog::ExchangeRate(platform::DataExchange& exchange) {
    exchange.Radio(kIdcRateKind, m_nRateKind);
    if (!exchange.Saving()) {
        exchange.IntRange(kIdcRateFactor, m_nRateFactor, COlvexDoc::kMinRateFactor,
                          COlvexDoc::kMaxRateFactor);
        return;
    }
    if (m_nRateKind < 0 || m_nRateKind >= kRateKindRadios) {
        m_nRateKind = COlvexDoc::kSingleRate;
    }
    std::string text;
    exchange.Text(kIdcRateFactor, text);
    int factor = 0;
    const bool inRange = files::ParseInt(text, factor) && factor >= COlvexDoc::kMinRateFactor &&
                         factor <= COlvexDoc::kMaxRateFactor;
    if (inRange) {
        m_nRateFactor = factor;
    } else if (m_nRateKind != COlvexDoc::kSingleRate) {
        // The dialog stays open on the factor with every entry as typed. Single rate does not
        // use the factor (its edit is disabled): anything else there is left alone.
        exchange.Refuse(kIdcRateFactor, std::string(kRateKindLabels[m_nRateKind]) +
                                            ": the factor must be an " + "integer from " +
                                            std::to_string(COlvexDoc::kMinRateFactor) + " to " +
                                            std::to_string(COlvexDoc::kMaxRateFactor) + ".");
    }
}

void CFirDesignDialog::DrawPicture(int controlId, platform::DrawContext& dc) {
    if (controlId == kIdcTypePicture) {
        DrawFirPicture(dc, m_nType);
    }
}

CIirDesignDialog::CIirDesignDialog(int type)
    : platform::Dialog(IirDialogTemplate(type)), m_nType(type) {}

void CIirDesignDialog::Fill(const COlvexDoc& doc) {
    m_nIirMethod = doc.m_nIirMethod;
    m_dIirAttenDb = doc.m_dIirAttenDb;
    m_nIirSections = doc.m_nIirSections;
    m_dRippleDb = doc.m_dRippleDb;
    m_dIirFc1 = doc.m_dIirFc1;
    m_dIirFc2 = doc.m_dIirFc2;
    m_fs = doc.m_fs;
    // Stop-band edges a quarter of the way from each cut-off to the end of its side, so the
    // requirements mode opens with edges on the right side of the cut-offs.
    const double half = 0.5 * m_fs;
    const double fc2 = IsThreeBand(m_nType) ? m_dIirFc2 : half;
    switch (m_nType) {
    case kHpf:
        m_dStopFc1 = 0.75 * m_dIirFc1;
        break;
    case kBpf:
        m_dStopFc1 = 0.75 * m_dIirFc1;
        m_dStopFc2 = fc2 + 0.25 * (half - fc2);
        break;
    case kBrf:
        m_dStopFc1 = m_dIirFc1 + 0.25 * (fc2 - m_dIirFc1);
        m_dStopFc2 = fc2 - 0.25 * (fc2 - m_dIirFc1);
        break;
    default:
        m_dStopFc1 = m_dIirFc1 + 0.25 * (half - m_dIirFc1);
        break;
    }
    m_bFromRequirements = doc.m_bIirFromRequirements;
    m_dAsDb = doc.m_dIirAsDb;
}

void CIirDesignDialog::Remember(COlvexDoc& doc) const {
    doc.m_bIirFromRequirements = m_bFromRequirements;
    doc.m_dIirAsDb = m_dAsDb;
}

void CIirDesignDialog::OnInitDialog(platform::ControlAccess& controls) {
    ShowMode(controls);
}

void CIirDesignDialog::OnClicked(int controlId, platform::ControlAccess& controls) {
    if (controlId == kIdcFromRequirements ||
        (controlId >= kIdcIirMethod && controlId < kIdcIirMethod + kIirMethodRadios)) {
        ShowMode(controls);
    }
}

namespace {

// The checked method radio; Chebyshev I when none is.
int CheckedMethod(const platform::ControlAccess& controls) {
    for (int i = 0; i < kIirMethodRadios; ++i) {
        if (controls.GetCheck(kIdcIirMethod + i) != 0) {
            return i;
        }
    }
    return dsp::kIirCheby1;
}

} // namespace

void CIirDesignDialog::ShowMode(platform::ControlAccess& controls) const {
    const int method = CheckedMethod(controls);
    // Bessel has no minimum-order formula: it is designed from n and the cut-off only.
    const bool bessel = method == dsp::kIirBessel;
    if (bessel) {
        controls.SetCheck(kIdcFromRequirements, 0);
    }
    controls.SetEnabled(kIdcFromRequirements, !bessel);
    // As and the stop-band edge(s) choose the section count; the ripple field is Ap, which
    // every method's minimum order reads.
    const bool requirements = controls.GetCheck(kIdcFromRequirements) != 0;
    controls.SetEnabled(kIdcStopAttenuation, requirements);
    controls.SetEnabled(kIdcStopEdge1, requirements);
    if (IsThreeBand(m_nType)) {
        controls.SetEnabled(kIdcStopEdge2, requirements);
    }
    controls.SetEnabled(kIdcIirSections, !requirements);
    controls.SetEnabled(kIdcRipple, requirements || dsp::IirMethodUsesRipple(method));
    // The requirement's As is the one designed with in the requirements mode.
    controls.SetEnabled(kIdcIirAttenuation, !requirements && dsp::IirMethodUsesAttenuation(method));
}

void CIirDesignDialog::DoDataExchange(platform::DataExchange& exchange) {
    exchange.Radio(kIdcIirMethod, m_nIirMethod);
    if (exchange.Saving() && (m_nIirMethod < 0 || m_nIirMethod >= kIirMethodRadios)) {
        m_nIirMethod = dsp::kIirCheby1;
    }
    exchange.IntRange(kIdcIirSections, m_nIirSections, MinIirSections(m_nType), MaxIirSections());
    exchange.Double(kIdcRipple, m_dRippleDb);
    exchange.Double(kIdcIirAttenuation, m_dIirAttenDb);
    if (IsThreeBand(m_nType)) {
        exchange.Double(kIdcFc1, m_dIirFc1);
        exchange.Double(kIdcFc2, m_dIirFc2);
    } else {
        exchange.Double(kIdcCutoff, m_dIirFc1);
    }
    exchange.Double(kIdcFs, m_fs);
    exchange.Check(kIdcFromRequirements, m_bFromRequirements);
    exchange.Double(kIdcStopAttenuation, m_dAsDb);
    exchange.Double(kIdcStopEdge1, m_dStopFc1);
    if (IsThreeBand(m_nType)) {
        exchange.Double(kIdcStopEdge2, m_dStopFc2);
    }
    if (exchange.Saving() && !exchange.Failure()) {
        RangeRefusal check = CheckIirDialogValues(m_nType, m_dRippleDb, m_dIirFc1, m_dIirFc2, m_fs);
        // In the requirements mode the ripple field holds Ap; the stop edges follow the cut-offs.
        if (!check.Refused() && m_bFromRequirements != 0) {
            check = CheckRequirements(m_dRippleDb, m_dAsDb);
        }
        if (!check.Refused() && m_bFromRequirements != 0) {
            check = CheckIirStopEdges(m_nType, m_fs, m_dIirFc1, m_dIirFc2, m_dStopFc1, m_dStopFc2);
        }
        // The method's own As, when it is designed with it: above the ripple for elliptic.
        bool methodAtten = false;
        if (!check.Refused() && m_bFromRequirements == 0 &&
            dsp::IirMethodUsesAttenuation(m_nIirMethod)) {
            check = m_nIirMethod == dsp::kIirEllip ? CheckRequirements(m_dRippleDb, m_dIirAttenDb)
                                                   : CheckIirAttenuation(m_dIirAttenDb);
            methodAtten = true;
        }
        if (!check.Refused() && m_bFromRequirements != 0 && m_nIirMethod == dsp::kIirBessel) {
            check = {kFieldNone, 0.0, 0.0,
                     "A Bessel filter is designed from its cut-off and section count only."};
        }
        if (check.Refused()) {
            // LPF and HPF show their one cut-off frequency in their own edit.
            int control = (check.field == kFieldFc1 && !IsThreeBand(m_nType))
                              ? kIdcCutoff
                              : FieldControl(check.field);
            if (check.field == kFieldAp) {
                control = kIdcRipple;
            } else if (check.field == kFieldAs && methodAtten) {
                control = kIdcIirAttenuation;
            } else if (check.field == kFieldNone) {
                control = kIdcFromRequirements;
            } else if (check.field == kFieldStop || check.field == kFieldStop2) {
                control = check.field == kFieldStop ? kIdcStopEdge1 : kIdcStopEdge2;
            }
            exchange.Refuse(control, check.message);
        }
    }
}

void CIirDesignDialog::DrawPicture(int controlId, platform::DrawContext& dc) {
    if (controlId == kIdcCommonPicture) {
        DrawIirCascadePicture(dc);
    } else if (controlId == kIdcTypePicture) {
        DrawIirPicture(dc, m_nType);
    }
}

// ---- The band table ---------------------------------------------------------------------------

static_assert(kBandTableRows == dsp::kMaxFirBands);

namespace {

std::string Hz(double value) {
    return files::FormatShownDouble(value) + " Hz";
}

std::string BandText(int band) {
    return "Band " + std::to_string(band + 1);
}

// The first problem of the rows in use, in the table's terms: which cell (a BandCellId) and why;
// cell kIdStatic when there is none. The edges are checked against fs.
struct BandTableProblem {
    int cell = platform::kIdStatic;
    std::string message;
};

BandTableProblem CheckBandRows(int count, const double* from, const double* to, const double* gain,
                               const double* weight, double fs) {
    const double half = 0.5 * fs;
    const std::string beyond = " is beyond fs/2 (" + Hz(half) + ").";
    for (int b = 0; b < count; ++b) {
        const int fromCell = BandCellId(b, kBandFrom);
        const int toCell = BandCellId(b, kBandTo);
        if (!(from[b] >= 0.0)) {
            return {fromCell, BandText(b) + ": From (" + Hz(from[b]) + ") is below 0 Hz."};
        }
        if (!(from[b] <= half)) {
            return {fromCell, BandText(b) + ": From (" + Hz(from[b]) + ")" + beyond};
        }
        if (b > 0 && from[b] < to[b - 1]) {
            return {fromCell, BandText(b) + " starts at " + Hz(from[b]) + ", inside " +
                                  BandText(b - 1) + " (up to " + Hz(to[b - 1]) +
                                  "): bands must ascend without overlapping."};
        }
        if (!(to[b] > from[b])) {
            return {toCell, BandText(b) + ": To (" + Hz(to[b]) + ") must be above From (" +
                                Hz(from[b]) + ")."};
        }
        if (!(to[b] <= half)) {
            return {toCell, BandText(b) + ": To (" + Hz(to[b]) + ")" + beyond};
        }
        if (!std::isfinite(gain[b])) {
            return {BandCellId(b, kBandGain), BandText(b) + ": the gain is not a number."};
        }
        if (!std::isfinite(weight[b]) || !(weight[b] > 0.0)) {
            return {BandCellId(b, kBandWeight), BandText(b) + ": the weight must be above 0."};
        }
    }
    return {};
}

} // namespace

CBandTableDialog::CBandTableDialog(int kind)
    : platform::Dialog(BandTableTemplate(kind)), m_nKind(kind) {}

void CBandTableDialog::Fill(const COlvexDoc& doc, double fs) {
    m_fs = fs;
    const dsp::FirBands bands = doc.BandTable();
    const bool multiband = m_nKind == static_cast<int>(dsp::FirKind::kMultiband);
    if (static_cast<int>(doc.FirKind()) == m_nKind || (multiband && bands.nBands > 0)) {
        const double docFs = doc.FsOf(0);
        m_nBands = std::clamp(bands.nBands, 1, kBandTableRows);
        for (int b = 0; b < m_nBands; ++b) {
            const auto k = static_cast<size_t>(b);
            m_aFrom[b] = bands.edges[2 * k] * docFs;
            m_aTo[b] = bands.edges[2 * k + 1] * docFs;
            m_aGain[b] = bands.desired[k];
            m_aWeight[b] = bands.weight[k];
        }
        return;
    }
    m_nBands = 1;
    m_aFrom[0] = m_nKind == static_cast<int>(dsp::FirKind::kHilbert) ? 0.05 * fs : 0.0;
    m_aTo[0] = 0.45 * fs;
    m_aGain[0] = 1.0;
    m_aWeight[0] = 1.0;
}

void CBandTableDialog::DoDataExchange(platform::DataExchange& exchange) {
    exchange.IntRange(kIdcBandCount, m_nBands, 1, kBandTableRows);
    for (int r = 0; r < kBandTableRows; ++r) {
        double* const cells[kBandTableColumns] = {&m_aFrom[r], &m_aTo[r], &m_aGain[r],
                                                  &m_aWeight[r]};
        for (int c = 0; c < kBandTableColumns; ++c) {
            if (r < m_nBands) {
                exchange.Double(BandCellId(r, c), *cells[c]);
            } else if (!exchange.Saving()) {
                std::string blank; // a row out of use opens empty
                exchange.Text(BandCellId(r, c), blank);
            }
        }
    }
    if (!exchange.Saving() || exchange.Failure()) {
        return;
    }
    const BandTableProblem problem =
        CheckBandRows(m_nBands, m_aFrom, m_aTo, m_aGain, m_aWeight, m_fs);
    if (problem.cell != platform::kIdStatic) {
        exchange.Refuse(problem.cell, problem.message);
        return;
    }
    // The design's own check of the table, which the rows above always pass.
    dsp::FirBands bands;
    bands.nBands = m_nBands;
    for (int b = 0; b < m_nBands; ++b) {
        const auto k = static_cast<size_t>(b);
        bands.edges[2 * k] = m_aFrom[b];
        bands.edges[2 * k + 1] = m_aTo[b];
        bands.desired[k] = m_aGain[b];
        bands.weight[k] = m_aWeight[b];
    }
    const RangeRefusal check = commands::CheckBandTable(bands, m_fs);
    if (check.Refused()) {
        exchange.Refuse(BandCellId(0, kBandFrom), check.message);
    }
}

void CBandTableDialog::OnInitDialog(platform::ControlAccess& controls) {
    ShowRows(controls, m_nBands);
}

void CBandTableDialog::OnButton(int controlId, platform::ControlAccess& controls) {
    if (controlId != kIdcAddBand && controlId != kIdcRemoveBand) {
        return;
    }
    int count = 1;
    if (!files::ParseInt(controls.GetText(kIdcBandCount), count)) {
        count = 1;
    }
    count = std::clamp(count + (controlId == kIdcAddBand ? 1 : -1), 1, kBandTableRows);
    controls.SetText(kIdcBandCount, std::to_string(count));
    ShowRows(controls, count);
    if (controlId == kIdcAddBand) {
        controls.SetFocus(BandCellId(count - 1, kBandFrom));
    }
}

void CBandTableDialog::ShowRows(platform::ControlAccess& controls, int count) const {
    for (int r = 0; r < kBandTableRows; ++r) {
        for (int c = 0; c < kBandTableColumns; ++c) {
            controls.SetEnabled(BandCellId(r, c), r < count);
        }
    }
    controls.SetEnabled(kIdcAddBand, count < kBandTableRows);
    controls.SetEnabled(kIdcRemoveBand, count > 1);
}

CAdjustChoiceDialog::CAdjustChoiceDialog() : platform::Dialog(AdjustChoiceTemplate()) {}

void CAdjustChoiceDialog::DoDataExchange(platform::DataExchange& exchange) {
    exchange.Radio(kIdcAdjustTaps, m_nChoice);
}

// ---- The CIC filter ----------------------------------------------------------------------------

namespace {

// The filter's range text as a message: capitalised, with a full stop.
std::string Sentence(std::string text) {
    if (!text.empty() && text[0] >= 'a' && text[0] <= 'z') {
        text[0] = static_cast<char>(text[0] - 'a' + 'A');
    }
    return text + ".";
}

} // namespace

CCicDesignDialog::CCicDesignDialog() : platform::Dialog(CicDialogTemplate()) {}

void CCicDesignDialog::Fill(const COlvexDoc& doc) {
    m_nKind = doc.m_bCicInterpolate != 0 ? 1 : 0;
    m_nRate = doc.m_nCicRate;
    m_nStages = doc.m_nCicStages;
    m_nDelay = doc.m_nCicDelay;
    m_nDataBits = doc.m_nCicDataBits;
    m_dEdge = doc.m_dCicEdge;
    m_bPrune = doc.m_bCicPrune;
    m_bPipeline = doc.m_bCicPipeline;
    m_bCompensate = doc.m_bCicCompensate;
    m_nCompTaps = doc.m_nCicCompTaps;
    m_dCompPassEdge = doc.m_dCicCompPassEdge;
    m_dCompStopEdge = doc.m_dCicCompStopEdge;
}

void CCicDesignDialog::Store(COlvexDoc& doc) const {
    doc.m_bCicInterpolate = m_nKind == 1 ? 1 : 0;
    doc.m_nCicRate = m_nRate;
    doc.m_nCicStages = m_nStages;
    doc.m_nCicDelay = m_nDelay;
    doc.m_nCicDataBits = m_nDataBits;
    doc.m_dCicEdge = m_dEdge;
    doc.m_bCicPrune = m_nKind == 1 ? 0 : m_bPrune;
    doc.m_bCicPipeline = m_nKind == 1 ? 0 : m_bPipeline;
    doc.m_bCicCompensate = m_bCompensate != 0 ? 1 : 0;
    doc.m_nCicCompTaps = m_nCompTaps;
    doc.m_dCicCompPassEdge = m_dCompPassEdge;
    doc.m_dCicCompStopEdge = m_dCompStopEdge;
}

void CCicDesignDialog::OnInitDialog(platform::ControlAccess& controls) {
    ShowMode(controls);
}

void CCicDesignDialog::OnClicked(int controlId, platform::ControlAccess& controls) {
    if ((controlId >= kIdcCicKind && controlId < kIdcCicKind + kCicKindRadios) ||
        controlId == kIdcCicPrune || controlId == kIdcCicPipeline ||
        controlId == kIdcCicCompensate) {
        ShowMode(controls);
    }
}

void CCicDesignDialog::ShowMode(platform::ControlAccess& controls) const {
    const bool decimate = CheckedIndex(controls, kIdcCicKind, kCicKindRadios, 0) == 0;
    // Pipelined adders are of the unpruned decimator: one option at a time.
    const bool prune = controls.GetCheck(kIdcCicPrune) != 0;
    const bool pipeline = controls.GetCheck(kIdcCicPipeline) != 0;
    controls.SetEnabled(kIdcCicPrune, decimate && !pipeline);
    controls.SetEnabled(kIdcCicPipeline, decimate && !prune);
    const bool compensate = controls.GetCheck(kIdcCicCompensate) != 0;
    for (int id : {kIdcCicCompTaps, kIdcCicCompPassEdge, kIdcCicCompStopEdge}) {
        controls.SetEnabled(id, compensate);
    }
}

bool CCicDesignDialog::ReadCompensator(platform::DataExchange& exchange,
                                       const dsp::CicParams& cic) {
    dsp::CicCompensatorParams c;
    std::string text;
    exchange.Text(kIdcCicCompTaps, text);
    if (!files::ParseInt(text, c.taps)) {
        exchange.Refuse(kIdcCicCompTaps, "The compensator's tap count must be an integer.");
        return false;
    }
    const std::pair<int, double*> edges[] = {{kIdcCicCompPassEdge, &c.passEdge},
                                             {kIdcCicCompStopEdge, &c.stopEdge}};
    for (const auto& [id, value] : edges) {
        exchange.Text(id, text);
        if (!files::ParseDouble(text, *value) || !std::isfinite(*value)) {
            exchange.Refuse(id, "The compensator's edges must be numbers, FP and FSTOP (cycles per "
                                "low-rate sample).");
            return false;
        }
    }
    const std::string error = dsp::CicCompensatorRangeError(cic, c);
    if (!error.empty()) {
        // The tap count, or the edge to correct (the pass-band edge for the droop).
        int control = kIdcCicCompPassEdge;
        if (error.find("tap count") != std::string::npos) {
            control = kIdcCicCompTaps;
        } else if (error.find("edges") != std::string::npos && c.passEdge > 0.0 &&
                   c.passEdge < 0.5) {
            control = kIdcCicCompStopEdge;
        }
        exchange.Refuse(control, Sentence(error));
        return false;
    }
    m_nCompTaps = c.taps;
    m_dCompPassEdge = c.passEdge;
    m_dCompStopEdge = c.stopEdge;
    return true;
}

void CCicDesignDialog::DoDataExchange(platform::DataExchange& exchange) {
    exchange.Radio(kIdcCicKind, m_nKind);
    exchange.Check(kIdcCicPrune, m_bPrune);
    exchange.Check(kIdcCicPipeline, m_bPipeline);
    exchange.Check(kIdcCicCompensate, m_bCompensate);
    struct IntField {
        int id;
        int& value;
    };
    const IntField ints[] = {{kIdcCicRate, m_nRate},
                             {kIdcCicStages, m_nStages},
                             {kIdcCicDelay, m_nDelay},
                             {kIdcCicDataBits, m_nDataBits}};
    if (!exchange.Saving()) {
        for (const IntField& field : ints) {
            exchange.Int(field.id, field.value);
        }
        exchange.Double(kIdcCicEdge, m_dEdge);
        exchange.Int(kIdcCicCompTaps, m_nCompTaps);
        exchange.Double(kIdcCicCompPassEdge, m_dCompPassEdge);
        exchange.Double(kIdcCicCompStopEdge, m_dCompStopEdge);
        return;
    }
    if (m_nKind < 0 || m_nKind >= kCicKindRadios) {
        m_nKind = 0;
    }
    // Every entry is read as typed first; nothing is taken until all of them pass, so a refusal
    // leaves the members (and the document) as they were.
    dsp::CicParams p;
    p.interpolate = m_nKind == 1;
    p.prune = !p.interpolate && m_bPrune != 0;
    p.pipeline = !p.interpolate && m_bPipeline != 0;
    int* const read[] = {&p.rate, &p.stages, &p.delay, &p.dataBits};
    const char* const names[] = {"the rate change", "the stage count", "the differential delay",
                                 "the data bit length"};
    for (size_t i = 0; i < std::size(ints); ++i) {
        std::string text;
        exchange.Text(ints[i].id, text);
        if (!files::ParseInt(text, *read[i])) {
            exchange.Refuse(ints[i].id, Sentence(std::string(names[i]) + " must be an integer"));
            return;
        }
    }
    std::string edgeText;
    exchange.Text(kIdcCicEdge, edgeText);
    double edge = 0.0;
    if (!files::ParseDouble(edgeText, edge) || !(edge > 0.0 && edge <= 0.5)) {
        exchange.Refuse(kIdcCicEdge, "The pass-band edge must be above 0 and at most 0.5 "
                                     "(cycles per sample of the low rate).");
        return;
    }
    const std::string error = dsp::CicRangeError(p);
    if (!error.empty()) {
        // The entry the filter's own text names.
        int control = kIdcCicRate;
        if (error.find("stage") != std::string::npos) {
            control = kIdcCicStages;
        } else if (error.find("delay") != std::string::npos) {
            control = kIdcCicDelay;
        } else if (error.find("data bit") != std::string::npos) {
            control = kIdcCicDataBits;
        } else if (error.find("prun") != std::string::npos ||
                   error.find("pipelin") != std::string::npos) {
            control = kIdcCicPipeline;
        }
        exchange.Refuse(control, Sentence(error));
        return;
    }
    // The compensator's entries are checked only while it is asked for; unchecked, they stay as
    // the document holds them.
    if (m_bCompensate != 0 && !ReadCompensator(exchange, p)) {
        return;
    }
    m_nRate = p.rate;
    m_nStages = p.stages;
    m_nDelay = p.delay;
    m_nDataBits = p.dataBits;
    m_dEdge = edge;
    m_bPrune = p.prune ? 1 : 0;
    m_bPipeline = p.pipeline ? 1 : 0;
}

} // namespace design
