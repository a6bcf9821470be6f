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

// The label of the mode's check box.
extern const char* const kFromRequirementsLabel; // "From requirements"

// The label of an adjusted field in the adjustment result dialogs.
extern const char* const kAdjustedLabel; // "(Adjusted)"

// Which of the FIR dialogs of a type.
enum class FirDialogKind { kParameters, kTapAdjustment, kEdgeAdjustment };

// ---- Templates -------------------------------------------------------------------------------
platform::DialogTemplate FirDialogTemplate(int type, FirDialogKind kind);
platform::DialogTemplate IirDialogTemplate(int type);
const platform::DialogTemplate& AdjustChoiceTemplate();

} // namespace design
