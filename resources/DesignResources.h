// The templates of the Design command's dialogs: the eight parameter dialogs (FIR and IIR for
// each filter type), the adjustment choice dialog and the eight adjustment result dialogs, with
// their template and control ids and the sizes of their pictures. The dialogs' classes
// (app/ui/DesignDialogs.h) exchange their members with these controls.
#pragma once

#include "platform/DialogTemplate.h"
#include "platform/DrawContext.h"

namespace design {

// Picture control sizes in dialog units (the templates lay out around them; the sketches are
// drawn inside them).
constexpr platform::Size kFirPictureSize{250, 96};
constexpr platform::Size kIirCommonPictureSize{250, 40};
constexpr platform::Size kIirTypePictureSize{250, 60};

// ---- Template ids ------------------------------------------------------------------------------
constexpr int kIddFirParameters = 200;  // + filter type: FIR parameter dialogs 200..203
constexpr int kIddIirParameters = 204;  // + filter type: IIR parameter dialogs 204..207
constexpr int kIddAdjustChoice = 210;   // "Warning!" with "Auto Adjustment"
constexpr int kIddTapAdjustment = 211;  // + filter type: 211..214
constexpr int kIddEdgeAdjustment = 215; // + filter type: 215..218
// The band table of a FIR kind designed on one: + dsp::FirKind - 1 (227 Hilbert transformer,
// 228 differentiator, 229 multiband).
constexpr int kIddFirBandTable = 227;
// The CIC parameter dialog.
constexpr int kIddCicParameters = 230;

// ---- Control ids -----------------------------------------------------------------------------
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
// The IIR design method: a radio group in the order of dsp::IirMethod (Chebyshev I, Butterworth,
// Chebyshev II, elliptic, Bessel), and the stop-band attenuation the Chebyshev II and elliptic
// methods are designed with.
constexpr int kIdcIirMethod = 1255; // radio group start, index 0
constexpr int kIirMethodRadios = 5;
constexpr int kIdcIirAttenuation = 1260; // As of the method, dB

// The labels of the method radios, in the group's order.
extern const char* const kIirMethodLabels[kIirMethodRadios];

// The FIR parameter dialogs' kind: a radio group in the order of dsp::FirKind (the dialog's own
// filter type, Hilbert transformer, differentiator, multiband); every kind after the first is
// designed on a band table of its own dialog. The FIR design method: a radio group in the order
// of dsp::FirMethod (Remez exchange, least squares, Kaiser window, half-band) and the Kaiser
// window's beta.
constexpr int kIdcFirKind = 1262; // radio group start, index 0
constexpr int kFirKindRadios = 4;
constexpr int kIdcFirMethod = 1266; // radio group start, index 0
constexpr int kFirMethodRadios = 4;
constexpr int kIdcKaiserBeta = 1270;

// The labels of the FIR method radios, and of the kind radios after the filter type's own.
extern const char* const kFirMethodLabels[kFirMethodRadios];
extern const char* const kFirKindLabels[kFirKindRadios - 1];

// The FIR parameter dialogs' rate: a radio group in the order of COlvexDoc::RateKind (single
// rate, decimate by, interpolate by) and the factor the two rate changes take.
constexpr int kIdcRateKind = 1271; // radio group start, index 0
constexpr int kRateKindRadios = 3;
constexpr int kIdcRateFactor = 1274;
extern const char* const kRateKindLabels[kRateKindRadios];

// The CIC parameter dialog: decimator or interpolator (a radio group, decimate first), the rate
// change R, the stage count S, the differential delay DL, the data bits D and the pass-band edge
// at which the droop is reported (cycles per sample of the low rate).
constexpr int kIdcCicKind = 1280; // radio group start, index 0: decimate, 1: interpolate
constexpr int kCicKindRadios = 2;
constexpr int kIdcCicRate = 1282;
constexpr int kIdcCicStages = 1283;
constexpr int kIdcCicDelay = 1284;
constexpr int kIdcCicDataBits = 1285;
constexpr int kIdcCicEdge = 1286;
constexpr int kIdcCicPrune = 1287;    // check box: register pruning (decimator)
constexpr int kIdcCicPipeline = 1288; // check box: pipelined adders (decimator)
// The droop compensator: a check box, then its tap count and its pass- and stop-band edges
// (cycles per sample of the low rate), enabled while the box is checked.
constexpr int kIdcCicCompensate = 1289;
constexpr int kIdcCicCompTaps = 1290;
constexpr int kIdcCicCompPassEdge = 1291;
constexpr int kIdcCicCompStopEdge = 1292;
extern const char* const kCicKindLabels[kCicKindRadios];

// The band table: up to eight rows of four edits (from and to in Hz, the gain, the weight), the
// count of rows in use (read-only; Add band and Remove band change it).
constexpr int kBandTableRows = 8;
constexpr int kBandTableColumns = 4;
enum BandColumn { kBandFrom = 0, kBandTo = 1, kBandGain = 2, kBandWeight = 3 };
constexpr int kIdcBandCells = 1400; // + kBandTableColumns * row + column
constexpr int kIdcBandCount = 1440;
constexpr int kIdcAddBand = 1441;
constexpr int kIdcRemoveBand = 1442;
constexpr int BandCellId(int row, int column) {
    return kIdcBandCells + kBandTableColumns * row + column;
}

// The label of the mode's check box.
extern const char* const kFromRequirementsLabel; // "From requirements"

// The label of an adjusted field in the adjustment result dialogs.
extern const char* const kAdjustedLabel; // "(Adjusted)"

// Which of the FIR dialogs of a type.
enum class FirDialogKind { kParameters, kTapAdjustment, kEdgeAdjustment };

// ---- Templates -------------------------------------------------------------------------------
platform::DialogTemplate FirDialogTemplate(int type, FirDialogKind kind);
platform::DialogTemplate IirDialogTemplate(int type);
// The band table of a FIR kind (a dsp::FirKind other than the filter type's layout; any other
// value gives the multiband one).
platform::DialogTemplate BandTableTemplate(int kind);
const platform::DialogTemplate& AdjustChoiceTemplate();
platform::DialogTemplate CicDialogTemplate();

} // namespace design
