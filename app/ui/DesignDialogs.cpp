// The data exchange of the Design command's dialogs.
#include "app/ui/DesignDialogs.h"

#include <limits>

#include "app/DesignRules.h"
#include "app/OlvexDoc.h"
#include "app/ui/DesignPictures.h"
#include "dsp/Iir.h"

#include <string>

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
    default:
        return platform::kIdStatic;
    }
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
    }
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
    if (controlId == kIdcFromRequirements) {
        ShowMode(controls);
    }
}

void CFirDesignDialog::ShowMode(platform::ControlAccess& controls) const {
    if (m_kind != FirDialogKind::kParameters) {
        return;
    }
    // Ap and As replace the tap count and RR, which the design then chooses.
    const bool requirements = controls.GetCheck(kIdcFromRequirements) != 0;
    controls.SetEnabled(kIdcPassRipple, requirements);
    controls.SetEnabled(kIdcStopAttenuation, requirements);
    controls.SetEnabled(kIdcTaps, !requirements);
    controls.SetEnabled(kIdcRR, !requirements);
}

void CFirDesignDialog::DoDataExchange(platform::DataExchange& exchange) {
    exchange.Double(kIdcFs, m_fs);
    exchange.Double(kIdcFc1, m_fc1);
    exchange.Double(kIdcFc2, m_fc2);
    if (IsThreeBand(m_nType)) {
        exchange.Double(kIdcFc3, m_fc3);
        exchange.Double(kIdcFc4, m_fc4);
    }
    exchange.IntRange(kIdcTaps, m_nTaps, COlvexDoc::kMinDialogTaps, COlvexDoc::kMaxDialogTaps);
    exchange.Double(kIdcRR, m_dRR);
    // The multiplier's range is checked as the entry is read, so an oversized entry gets it too.
    exchange.IntRange(kIdcMultiplier, m_nCoeffMultiplier, kMinMultiplier,
                      std::numeric_limits<int>::max());
    if (m_kind == FirDialogKind::kParameters) {
        exchange.Check(kIdcFromRequirements, m_bFromRequirements);
        exchange.Double(kIdcPassRipple, m_dApDb);
        exchange.Double(kIdcStopAttenuation, m_dAsDb);
    }
    // Values that cannot give a filter keep the dialog open, as a standard range check does.
    if (exchange.Saving() && !exchange.Failure()) {
        const double fc[4] = {m_fc1, m_fc2, m_fc3, m_fc4};
        // In the requirements mode RR is chosen, so the RR shown (perhaps a chosen one beyond the
        // range an entry may have) is not checked.
        const double rr = m_bFromRequirements != 0 ? 1.0 : m_dRR;
        RangeRefusal check = CheckFirDialogValues(m_nType, m_fs, fc, rr, m_nCoeffMultiplier);
        if (!check.Refused() && m_bFromRequirements != 0) {
            check = CheckRequirements(m_dApDb, m_dAsDb);
        }
        if (check.Refused()) {
            exchange.Refuse(FieldControl(check.field), check.message);
        }
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

CAdjustChoiceDialog::CAdjustChoiceDialog() : platform::Dialog(AdjustChoiceTemplate()) {}

void CAdjustChoiceDialog::DoDataExchange(platform::DataExchange& exchange) {
    exchange.Radio(kIdcAdjustTaps, m_nChoice);
}

} // namespace design
