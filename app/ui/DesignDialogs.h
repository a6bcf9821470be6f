// The dialogs of the Design command: the eight parameter dialogs (FIR and IIR for each filter
// type), the adjustment choice dialog and the eight adjustment result dialogs. Each is a small
// class whose members are exchanged with the controls of its template in both directions.
#pragma once

#include "platform/Dialog.h"

class COlvexDoc;

namespace design {

// ---- Template ids ------------------------------------------------------------------------------
constexpr int kIddFirParameters = 200;  // + filter type: FIR parameter dialogs 200..203
constexpr int kIddIirParameters = 204;  // + filter type: IIR parameter dialogs 204..207
constexpr int kIddAdjustChoice = 210;   // "Warning!" with "Auto Adjustment"
constexpr int kIddTapAdjustment = 211;  // + filter type: 211..214
constexpr int kIddEdgeAdjustment = 215; // + filter type: 215..218

// ---- Control ids
// ---------------------------------------------------------------------------------
constexpr int kIdcFs = 1025;
constexpr int kIdcFc1 = 1027;
constexpr int kIdcFc2 = 1026;
constexpr int kIdcFc3 = 1031;
constexpr int kIdcFc4 = 1032;
constexpr int kIdcTaps = 1028;
constexpr int kIdcRR = 1029;
constexpr int kIdcMultiplier = 1030;
constexpr int kIdcIirSections = 1022;
constexpr int kIdcRipple = 1023;
constexpr int kIdcCutoff = 1024;
constexpr int kIdcAdjustTaps = 1043; // radio group start, index 0
constexpr int kIdcAdjustEdges = 1044;
constexpr int kIdcTypePicture = 1060;   // the response sketch of the type (FIR: with H(z))
constexpr int kIdcCommonPicture = 1061; // IIR: the cascade of second-order sections
// Design from requirements (FIR and IIR parameter dialogs).
constexpr int kIdcFromRequirements = 1250; // check box: the mode
constexpr int kIdcPassRipple = 1251;       // FIR: Ap, dB (IIR: the ripple field is Ap)
constexpr int kIdcStopAttenuation = 1252;  // As, dB
constexpr int kIdcStopEdge1 = 1253;        // IIR: the stop-band edge(s), Hz
constexpr int kIdcStopEdge2 = 1254;

// The label of the mode's check box.
extern const char* const kFromRequirementsLabel; // "From requirements"

// The label of an adjusted field in the adjustment result dialogs.
extern const char* const kAdjustedLabel; // "(Adjusted)"

// Which of the FIR dialogs of a type.
enum class FirDialogKind { kParameters, kTapAdjustment, kEdgeAdjustment };

// ---- Templates
// -----------------------------------------------------------------------------------
platform::DialogTemplate FirDialogTemplate(int type, FirDialogKind kind);
platform::DialogTemplate IirDialogTemplate(int type);
const platform::DialogTemplate& AdjustChoiceTemplate();

// ---- Dialogs
// ------------------------------------------------------------------------------------- A FIR
// parameter dialog or an adjustment result dialog: fs, the edges of the type, N, RR and the
// multiplier. The adjustment result dialogs keep every field but the adjusted ones read-only.
class CFirDesignDialog : public platform::Dialog {
public:
    CFirDesignDialog(int type, FirDialogKind kind);

    // Pre-fills from the document; the tap count field shows `shownTaps`.
    void Fill(const COlvexDoc& doc, int shownTaps);
    void DoDataExchange(platform::DataExchange& exchange) override;
    void DrawPicture(int controlId, platform::DrawContext& dc) override;

    double m_fs = 0.0;
    double m_fc1 = 0.0;
    double m_fc2 = 0.0;
    double m_fc3 = 0.0;
    double m_fc4 = 0.0;
    int m_nTaps = 0;
    double m_dRR = 0.0;
    int m_nCoeffMultiplier = 1;
    // Design from requirements (parameter dialogs only): on, Ap and As replace N and RR.
    int m_bFromRequirements = 0;
    double m_dApDb = 0.5;
    double m_dAsDb = 60.0;

private:
    int m_nType;
    FirDialogKind m_kind;
};

// An IIR parameter dialog: n, the ripple, the cut-off edge(s) and fs.
class CIirDesignDialog : public platform::Dialog {
public:
    explicit CIirDesignDialog(int type);

    void Fill(const COlvexDoc& doc);
    void DoDataExchange(platform::DataExchange& exchange) override;
    void DrawPicture(int controlId, platform::DrawContext& dc) override;

    int m_nIirSections = 0;
    double m_dRippleDb = 0.0;
    double m_dIirFc1 = 0.0;
    double m_dIirFc2 = 0.0;
    double m_fs = 0.0;
    // Design from requirements: on, the ripple is Ap, and As with the stop-band edge(s) choose n.
    int m_bFromRequirements = 0;
    double m_dAsDb = 40.0;
    double m_dStopFc1 = 0.0;
    double m_dStopFc2 = 0.0;

private:
    int m_nType;
};

// The adjustment choice: 0 Tap Count, 1 Band Edge. Only an OK button.
class CAdjustChoiceDialog : public platform::Dialog {
public:
    CAdjustChoiceDialog();
    void DoDataExchange(platform::DataExchange& exchange) override;

    int m_nChoice = 0;
};

} // namespace design
