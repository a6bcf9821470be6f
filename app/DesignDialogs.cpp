// The data exchange of the Design command's dialogs.
#include "app/DesignDialogs.h"

#include "app/DesignPictures.h"
#include "app/DesignRules.h"
#include "app/OlvexDoc.h"

namespace design {

CFirDesignDialog::CFirDesignDialog(int type, FirDialogKind kind)
    : platform::Dialog(FirDialogTemplate(type, kind)), m_nType(type) {}

void CFirDesignDialog::Fill(const COlvexDoc& doc, int shownTaps) {
    m_fs = doc.m_fs;
    m_fc1 = doc.m_fc1;
    m_fc2 = doc.m_fc2;
    m_fc3 = doc.m_fc3;
    m_fc4 = doc.m_fc4;
    m_nTaps = shownTaps;
    m_dRR = doc.m_dRR;
    m_nCoeffMultiplier = doc.m_nCoeffMultiplier;
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
    exchange.Int(kIdcMultiplier, m_nCoeffMultiplier);
}

void CFirDesignDialog::DrawPicture(int controlId, platform::DrawContext& dc) {
    if (controlId == kIdcTypePicture) {
        DrawFirPicture(dc, m_nType);
    }
}

CIirDesignDialog::CIirDesignDialog(int type)
    : platform::Dialog(IirDialogTemplate(type)), m_nType(type) {}

void CIirDesignDialog::Fill(const COlvexDoc& doc) {
    m_nIirSections = doc.m_nIirSections;
    m_dRippleDb = doc.m_dRippleDb;
    m_dIirFc1 = doc.m_dIirFc1;
    m_dIirFc2 = doc.m_dIirFc2;
    m_fs = doc.m_fs;
}

void CIirDesignDialog::DoDataExchange(platform::DataExchange& exchange) {
    exchange.IntRange(kIdcIirSections, m_nIirSections, MinIirSections(m_nType), MaxIirSections());
    exchange.Double(kIdcRipple, m_dRippleDb);
    if (IsThreeBand(m_nType)) {
        exchange.Double(kIdcFc1, m_dIirFc1);
        exchange.Double(kIdcFc2, m_dIirFc2);
    } else {
        exchange.Double(kIdcCutoff, m_dIirFc1);
    }
    exchange.Double(kIdcFs, m_fs);
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
