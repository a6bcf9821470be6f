// Templates of the Design command's dialogs: the FIR parameter and adjustment result dialogs,
// the IIR parameter dialogs and the adjustment choice. Positions and sizes in dialog units; each
// dialog opens at a fixed screen position in pixels.
#include <algorithm>
#include <array>
#include <string>

#include "resources/DesignResources.h"

namespace design {

using platform::ControlKind;
using platform::ControlTemplate;
using platform::DialogTemplate;
using platform::kIdStatic;

const char* const kAdjustedLabel = "(Adjusted)";

namespace {

constexpr platform::Point kDialogPosition{100, 100};
constexpr platform::Point kIirBrfPosition{150, 180};

// Layout of the parameter rows, in dialog units.
constexpr int kDialogWidth = 264;
constexpr int kMargin = 7;
constexpr int kPictureWidth = kFirPictureSize.cx;
constexpr int kFirPictureHeight = kFirPictureSize.cy;
constexpr int kIirCommonPictureHeight = kIirCommonPictureSize.cy;
constexpr int kIirTypePictureHeight = kIirTypePictureSize.cy;
static_assert(kPictureWidth == kDialogWidth - 2 * kMargin);
static_assert(kIirCommonPictureSize.cx == kPictureWidth && kIirTypePictureSize.cx == kPictureWidth);
constexpr int kPictureGap = 4;
constexpr int kRowStep = 16;
constexpr int kLabelX = 12;
constexpr int kLabelWidth = 96;
constexpr int kEditX = 110;
constexpr int kEditWidth = 60;
constexpr int kEditHeight = 12;
constexpr int kTextOffsetY = 2; // labels sit a little lower than their edits
constexpr int kTextHeight = 10;
constexpr int kUnitX = 174;
constexpr int kUnitWidth = 56;
constexpr int kAdjustedX = 200;
constexpr int kAdjustedWidth = 56;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kButtonGap = 8;

constexpr const char* kHz = "[Hz]";

const char* const kFirTitles[4] = {"FIR Low Pass Filter", "FIR High Pass Filter",
                                   "FIR Band Rejection Filter", "FIR Band Pass Filter"};
const char* const kIirTitles[4] = {"IIR Low Pass Filter", "IIR High Pass Filter",
                                   "IIR Band Rejection Filter", "IIR Band Pass Filter"};
const char* const kTapAdjustTitles[4] = {
    "LPF (Auto Tap Count Adjustment)", "HPF (Auto Tap Count Adjustment)",
    "BRF (Auto Tap Adjustment)", "BPF (Auto Tap Count Adjustment)"};
const char* const kEdgeAdjustTitles[4] = {
    "LPF (Auto Band Edge Adjustment)", "HPF (Auto Band Edge Adjustment)",
    "BRF (Auto Band Edge Adjustment)", "BPF (Auto Band Edge Adjustment)"};

// The edge labels per type: fc1..fc4 are pass or stop band edges depending on the type.
const char* const kEdgeLabels[4][4] = {
    {"Pass band edge (fc1) =", "Stop band edge (fc2) =", nullptr, nullptr},
    {"Stop band edge (fc1) =", "Pass band edge (fc2) =", nullptr, nullptr},
    {"Pass band edge (fc1) =", "Stop band edge (fc2) =", "Stop band edge (fc3) =",
     "Pass band edge (fc4) ="},
    {"Stop band edge (fc1) =", "Pass band edge (fc2) =", "Pass band edge (fc3) =",
     "Stop band edge (fc4) ="},
};
constexpr int kEdgeIds[4] = {kIdcFc1, kIdcFc2, kIdcFc3, kIdcFc4};

// The filter types in the order of the form's filter-type radio group (the record's
// FilterType); BRF and BPF have four band edges.
constexpr int kLpf = 0;
constexpr int kHpf = 1;
constexpr int kBrf = 2;
constexpr int kBpf = 3;

bool IsThreeBand(int type) {
    return type == kBrf || type == kBpf;
}

int BoundedType(int type) {
    return type >= kLpf && type <= kBpf ? type : kLpf;
}

struct Row {
    int id;
    const char* label;
    const char* unit; // or a hint; nullptr: none
    bool readOnly;
    bool adjusted;
};

// Adds one labelled edit row at y; returns the next row's y.
int AddRow(DialogTemplate& dialog, int y, const Row& row) {
    dialog.controls.push_back({kIdStatic,
                               ControlKind::kStaticText,
                               row.label,
                               {kLabelX, y + kTextOffsetY, kLabelWidth, kTextHeight}});
    dialog.controls.push_back({row.id,
                               ControlKind::kEdit,
                               "",
                               {kEditX, y, kEditWidth, kEditHeight},
                               row.readOnly ? platform::kStyleReadOnly : platform::kStyleNone});
    if (row.unit != nullptr) {
        dialog.controls.push_back({kIdStatic,
                                   ControlKind::kStaticText,
                                   row.unit,
                                   {kUnitX, y + kTextOffsetY, kUnitWidth, kTextHeight}});
    }
    if (row.adjusted) {
        dialog.controls.push_back({kIdStatic,
                                   ControlKind::kStaticText,
                                   kAdjustedLabel,
                                   {kAdjustedX, y + kTextOffsetY, kAdjustedWidth, kTextHeight}});
    }
    return y + kRowStep;
}

// OK (and Cancel) right-aligned under the rows; sets the dialog's size.
void AddButtons(DialogTemplate& dialog, int y, bool withCancel) {
    const int right = kDialogWidth - kMargin;
    if (withCancel) {
        dialog.controls.push_back(
            {platform::kIdOk,
             ControlKind::kDefaultPushButton,
             "OK",
             {right - 2 * kButtonWidth - kButtonGap, y, kButtonWidth, kButtonHeight},
             platform::kStyleGroupStart});
        dialog.controls.push_back({platform::kIdCancel,
                                   ControlKind::kPushButton,
                                   "Cancel",
                                   {right - kButtonWidth, y, kButtonWidth, kButtonHeight}});
    } else {
        dialog.controls.push_back({platform::kIdOk,
                                   ControlKind::kDefaultPushButton,
                                   "OK",
                                   {right - kButtonWidth, y, kButtonWidth, kButtonHeight},
                                   platform::kStyleGroupStart});
    }
    dialog.size = {kDialogWidth, y + kButtonHeight + kMargin};
}

ControlTemplate Picture(int id, int y, int height) {
    return {id,
            ControlKind::kPicture,
            "",
            {kMargin, y, kPictureWidth, height},
            platform::kStyleSunken | platform::kStyleWhiteFill};
}

// Design from requirements: the mode's check box across the row, then its edits. FIR: Ap and As
// (N and RR are then chosen); IIR: As and the stop-band edge(s) (the ripple field is Ap, n is
// chosen).
int AddRequirementRows(DialogTemplate& dialog, int y, bool iir, bool threeBand) {
    dialog.controls.push_back({kIdcFromRequirements,
                               ControlKind::kCheckBox,
                               kFromRequirementsLabel,
                               {kLabelX, y, kLabelWidth + kEditWidth, kEditHeight},
                               platform::kStyleGroupStart});
    y += kRowStep;
    if (!iir) {
        y = AddRow(dialog, y, {kIdcPassRipple, "Pass ripple (Ap) =", "[dB]", false, false});
    }
    y = AddRow(dialog, y, {kIdcStopAttenuation, "Stop atten. (As) =", "[dB]", false, false});
    if (iir) {
        y = AddRow(dialog, y,
                   {kIdcStopEdge1, threeBand ? "Stop band edge 1 =" : "Stop band edge =", kHz,
                    false, false});
        if (threeBand) {
            y = AddRow(dialog, y, {kIdcStopEdge2, "Stop band edge 2 =", kHz, false, false});
        }
    }
    return y;
}

// The IIR method: a framed group of radios, three on the first line and two on the second;
// returns the next row's y.
int AddMethodGroup(DialogTemplate& dialog, int y) {
    constexpr int kTitleHeight = 10;
    constexpr int kRadioHeight = 10;
    constexpr int kRadioStep = 13;
    constexpr int kColumns = 3;
    constexpr int kColumnWidth = (kPictureWidth - 2 * kMargin) / kColumns;
    constexpr int kRows = (kIirMethodRadios + kColumns - 1) / kColumns;
    constexpr int kGroupHeight = kTitleHeight + kRows * kRadioStep + 3;
    dialog.controls.push_back(
        {kIdStatic, ControlKind::kGroupBox, "Method", {kMargin, y, kPictureWidth, kGroupHeight}});
    for (int i = 0; i < kIirMethodRadios; ++i) {
        const int column = i % kColumns;
        const int row = i / kColumns;
        dialog.controls.push_back(
            {kIdcIirMethod + i,
             ControlKind::kRadio,
             kIirMethodLabels[i],
             {2 * kMargin + column * kColumnWidth, y + kTitleHeight + row * kRadioStep,
              kColumnWidth - 4, kRadioHeight},
             i == 0 ? platform::kStyleGroupStart : platform::kStyleNone});
    }
    return y + kGroupHeight + kPictureGap;
}

// The FIR kind and method side by side: the kind's radios down the left frame (the dialog's own
// filter type first), the method's radios and the Kaiser window's beta down the right one;
// returns the next row's y.
int AddFirKindAndMethodGroups(DialogTemplate& dialog, int y, int type) {
    constexpr int kTitleHeight = 10;
    constexpr int kRadioHeight = 10;
    constexpr int kRadioStep = 12;
    constexpr int kGap = 4;
    constexpr int kGroupWidth = (kPictureWidth - kGap) / 2;
    // The method group's radios and the beta row below them.
    constexpr int kGroupHeight =
        kTitleHeight + std::max(kFirKindRadios, kFirMethodRadios + 1) * kRadioStep + 5;
    constexpr int kRadioWidth = kGroupWidth - 2 * kMargin;
    static const char* const kTypeKinds[4] = {"Low pass", "High pass", "Band rejection",
                                              "Band pass"};
    dialog.controls.push_back(
        {kIdStatic, ControlKind::kGroupBox, "Kind", {kMargin, y, kGroupWidth, kGroupHeight}});
    for (int i = 0; i < kFirKindRadios; ++i) {
        dialog.controls.push_back(
            {kIdcFirKind + i,
             ControlKind::kRadio,
             i == 0 ? kTypeKinds[type] : kFirKindLabels[i - 1],
             {2 * kMargin, y + kTitleHeight + i * kRadioStep, kRadioWidth, kRadioHeight},
             i == 0 ? platform::kStyleGroupStart : platform::kStyleNone});
    }
    const int right = kMargin + kGroupWidth + kGap;
    dialog.controls.push_back(
        {kIdStatic, ControlKind::kGroupBox, "Method", {right, y, kGroupWidth, kGroupHeight}});
    for (int i = 0; i < kFirMethodRadios; ++i) {
        dialog.controls.push_back(
            {kIdcFirMethod + i,
             ControlKind::kRadio,
             kFirMethodLabels[i],
             {right + kMargin, y + kTitleHeight + i * kRadioStep, kRadioWidth, kRadioHeight},
             i == 0 ? platform::kStyleGroupStart : platform::kStyleNone});
    }
    constexpr int kBetaLabelWidth = 44;
    constexpr int kBetaEditWidth = 50;
    const int betaY = y + kTitleHeight + kFirMethodRadios * kRadioStep + 1;
    dialog.controls.push_back(
        {kIdStatic,
         ControlKind::kStaticText,
         "Beta =",
         {right + kMargin + 12, betaY + kTextOffsetY, kBetaLabelWidth, kTextHeight}});
    dialog.controls.push_back(
        {kIdcKaiserBeta,
         ControlKind::kEdit,
         "",
         {right + kMargin + 12 + kBetaLabelWidth, betaY, kBetaEditWidth, kEditHeight}});
    return y + kGroupHeight + kPictureGap;
}

// The rate: its radios on one line in a frame, the factor's edit (M or L, 2 to 64) after them;
// returns the next row's y.
int AddRateGroup(DialogTemplate& dialog, int y) {
    constexpr int kTitleHeight = 10;
    constexpr int kRadioHeight = 10;
    constexpr int kGroupHeight = kTitleHeight + kEditHeight + 5;
    constexpr int kRadioWidths[kRateKindRadios] = {54, 58, 66};
    constexpr int kFactorWidth = 30;
    dialog.controls.push_back(
        {kIdStatic, ControlKind::kGroupBox, "Rate", {kMargin, y, kPictureWidth, kGroupHeight}});
    const int lineY = y + kTitleHeight + 1;
    int x = 2 * kMargin;
    for (int i = 0; i < kRateKindRadios; ++i) {
        dialog.controls.push_back({kIdcRateKind + i,
                                   ControlKind::kRadio,
                                   kRateKindLabels[i],
                                   {x, lineY + 1, kRadioWidths[i], kRadioHeight},
                                   i == 0 ? platform::kStyleGroupStart : platform::kStyleNone});
        x += kRadioWidths[i] + 4;
    }
    dialog.controls.push_back(
        {kIdcRateFactor, ControlKind::kEdit, "", {x, lineY, kFactorWidth, kEditHeight}});
    return y + kGroupHeight + kPictureGap;
}

} // namespace

const char* const kCicKindLabels[kCicKindRadios] = {"Decimate by R", "Interpolate by R"};
const char* const kRateKindLabels[kRateKindRadios] = {"Single rate", "Decimate by",
                                                      "Interpolate by"};
const char* const kFirMethodLabels[kFirMethodRadios] = {"Remez exchange", "Least squares",
                                                        "Kaiser window", "Half-band"};
const char* const kFirKindLabels[kFirKindRadios - 1] = {"Hilbert transformer", "Differentiator",
                                                        "Multiband"};
const char* const kFromRequirementsLabel = "From requirements";
const char* const kIirMethodLabels[kIirMethodRadios] = {"Chebyshev I", "Butterworth",
                                                        "Chebyshev II", "Elliptic", "Bessel"};

DialogTemplate FirDialogTemplate(int type, FirDialogKind kind) {
    const int t = BoundedType(type);
    DialogTemplate dialog;
    switch (kind) {
    case FirDialogKind::kParameters:
        dialog.id = kIddFirParameters + t;
        dialog.title = kFirTitles[t];
        break;
    case FirDialogKind::kTapAdjustment:
        dialog.id = kIddTapAdjustment + t;
        dialog.title = kTapAdjustTitles[t];
        break;
    case FirDialogKind::kEdgeAdjustment:
        dialog.id = kIddEdgeAdjustment + t;
        dialog.title = kEdgeAdjustTitles[t];
        break;
    }
    dialog.screenPosition = kDialogPosition;
    dialog.controls.push_back(Picture(kIdcTypePicture, kMargin, kFirPictureHeight));

    // Which fields the user may edit: all of them in a parameter dialog; in a result dialog
    // only the adjusted ones (the tap count, or the stop-band edges the proposal moved).
    bool editable[4] = {false, false, false, false};
    if (kind == FirDialogKind::kEdgeAdjustment) {
        editable[0] = t == kHpf || t == kBpf;
        editable[1] = t == kLpf || t == kBrf;
        editable[2] = t == kBrf;
        editable[3] = t == kBpf;
    }
    const bool parameters = kind == FirDialogKind::kParameters;
    const bool tapsAdjusted = kind == FirDialogKind::kTapAdjustment;

    int y = kMargin + kFirPictureHeight + kPictureGap + kMargin;
    if (parameters) {
        y = AddFirKindAndMethodGroups(dialog, y - kMargin, t);
        y = AddRateGroup(dialog, y) + kMargin - kPictureGap;
    }
    y = AddRow(dialog, y, {kIdcFs, "Sampling F (fs) =", kHz, !parameters, false});
    const int edges = IsThreeBand(t) ? 4 : 2;
    for (int i = 0; i < edges; ++i) {
        y = AddRow(dialog, y,
                   {kEdgeIds[i], kEdgeLabels[t][i], kHz, !parameters && !editable[i], editable[i]});
    }
    y = AddRow(dialog, y,
               {kIdcTaps, "Tap count (N) =", nullptr, !parameters && !tapsAdjusted, tapsAdjusted});
    y = AddRow(dialog, y, {kIdcRR, "RR = K*(d1/d2) =", nullptr, !parameters, false});
    y = AddRow(dialog, y, {kIdcMultiplier, "Multiple coeffs by", nullptr, !parameters, false});
    if (parameters) {
        y = AddRequirementRows(dialog, y, false, IsThreeBand(t));
    }
    AddButtons(dialog, y + kPictureGap, parameters);
    return dialog;
}

DialogTemplate IirDialogTemplate(int type) {
    const int t = BoundedType(type);
    DialogTemplate dialog;
    dialog.id = kIddIirParameters + t;
    dialog.title = kIirTitles[t];
    dialog.screenPosition = t == kBrf ? kIirBrfPosition : kDialogPosition;
    dialog.controls.push_back(Picture(kIdcCommonPicture, kMargin, kIirCommonPictureHeight));
    const int typeY = kMargin + kIirCommonPictureHeight + kPictureGap;
    dialog.controls.push_back(Picture(kIdcTypePicture, typeY, kIirTypePictureHeight));

    int y = AddMethodGroup(dialog, typeY + kIirTypePictureHeight + kPictureGap);
    y += kMargin - kPictureGap;
    const bool threeBand = IsThreeBand(t);
    y = AddRow(dialog, y,
               {kIdcIirSections, "Number of IIRs (n) =", threeBand ? "(2, 4, 6, 8)" : "(1 to 8)",
                false, false});
    y = AddRow(dialog, y, {kIdcRipple, "Ripple (Ac) =", "[dB]", false, false});
    y = AddRow(dialog, y, {kIdcIirAttenuation, "Attenuation (As) =", "[dB]", false, false});
    if (threeBand) {
        y = AddRow(dialog, y, {kIdcFc1, "Cut off 1 (fc1) =", kHz, false, false});
        y = AddRow(dialog, y, {kIdcFc2, "Cut off 2 (fc2) =", kHz, false, false});
    } else {
        y = AddRow(dialog, y, {kIdcCutoff, "Cut off (fc) =", kHz, false, false});
    }
    y = AddRow(dialog, y, {kIdcFs, "Sampling F (fs) =", kHz, false, false});
    y = AddRequirementRows(dialog, y, true, threeBand);
    AddButtons(dialog, y + kPictureGap, true);
    return dialog;
}

DialogTemplate BandTableTemplate(int kind) {
    // The kinds in the order of dsp::FirKind after the filter type's layout.
    constexpr int kHilbert = 1;
    constexpr int kDifferentiator = 2;
    constexpr int kMultiband = 3;
    const int k = kind == kHilbert || kind == kDifferentiator ? kind : kMultiband;
    static const char* const kTitles[3] = {"FIR Hilbert Transformer", "FIR Differentiator",
                                           "FIR Multiband Filter"};
    DialogTemplate dialog;
    dialog.id = kIddFirBandTable + k - 1;
    dialog.title = kTitles[k - 1];
    dialog.screenPosition = kDialogPosition;

    constexpr int kLineWidth = kDialogWidth - 2 * kMargin;
    constexpr int kNumberX = kLabelX;
    constexpr int kNumberWidth = 22;
    constexpr int kCellX = 40;
    constexpr int kCellWidth = 50;
    constexpr int kCellStep = 54;
    constexpr int kCellRowStep = 15;
    int y = kMargin;
    // A differentiator's gain rises with the frequency: the column holds its slope.
    dialog.controls.push_back({kIdStatic,
                               ControlKind::kStaticText,
                               k == kDifferentiator ? "Gain = Slope * f / fs. Edges in Hz."
                                                    : "Edges in Hz, from 0 to fs/2, ascending.",
                               {kMargin, y, kLineWidth, kTextHeight}});
    y += kTextHeight + kPictureGap;
    static const char* const kHeadings[kBandTableColumns] = {"From [Hz]", "To [Hz]", "Gain",
                                                             "Weight"};
    dialog.controls.push_back(
        {kIdStatic, ControlKind::kStaticText, "Band", {kNumberX, y, kNumberWidth, kTextHeight}});
    for (int c = 0; c < kBandTableColumns; ++c) {
        const char* heading = c == kBandGain && k == kDifferentiator ? "Slope" : kHeadings[c];
        dialog.controls.push_back({kIdStatic,
                                   ControlKind::kStaticText,
                                   heading,
                                   {kCellX + c * kCellStep, y, kCellWidth, kTextHeight}});
    }
    y += kTextHeight + 2;
    static const char* const kNumbers[kBandTableRows] = {"1", "2", "3", "4", "5", "6", "7", "8"};
    for (int r = 0; r < kBandTableRows; ++r) {
        dialog.controls.push_back({kIdStatic,
                                   ControlKind::kStaticText,
                                   kNumbers[r],
                                   {kNumberX, y + kTextOffsetY, kNumberWidth, kTextHeight}});
        for (int c = 0; c < kBandTableColumns; ++c) {
            dialog.controls.push_back({BandCellId(r, c),
                                       ControlKind::kEdit,
                                       "",
                                       {kCellX + c * kCellStep, y, kCellWidth, kEditHeight}});
        }
        y += kCellRowStep;
    }
    y += kPictureGap;
    constexpr int kCountLabelWidth = 40;
    constexpr int kCountWidth = 20;
    constexpr int kRowButtonWidth = 80;
    dialog.controls.push_back({kIdStatic,
                               ControlKind::kStaticText,
                               "Bands =",
                               {kNumberX, y + kTextOffsetY + 1, kCountLabelWidth, kTextHeight}});
    dialog.controls.push_back({kIdcBandCount,
                               ControlKind::kEdit,
                               "",
                               {kNumberX + kCountLabelWidth, y + 1, kCountWidth, kEditHeight},
                               platform::kStyleReadOnly});
    const int buttonsX = kNumberX + kCountLabelWidth + kCountWidth + 12;
    dialog.controls.push_back({kIdcAddBand,
                               ControlKind::kPushButton,
                               "Add band",
                               {buttonsX, y, kRowButtonWidth, kButtonHeight}});
    dialog.controls.push_back(
        {kIdcRemoveBand,
         ControlKind::kPushButton,
         "Remove band",
         {buttonsX + kRowButtonWidth + 6, y, kRowButtonWidth, kButtonHeight}});
    AddButtons(dialog, y + kButtonHeight + 2 * kPictureGap, true);
    return dialog;
}

const DialogTemplate& AdjustChoiceTemplate() {
    constexpr int kWidth = 230;
    constexpr int kLineWidth = kWidth - 2 * 10;
    static const DialogTemplate dialog{
        kIddAdjustChoice,
        "Warning!",
        {0, 0},
        true,
        {kWidth, 150},
        {
            {kIdStatic, ControlKind::kStaticText, "Not executable!!", {10, 8, kLineWidth, 10}},
            {kIdStatic,
             ControlKind::kStaticText,
             "Choose one of the following",
             {10, 20, kLineWidth, 10}},
            {kIdStatic,
             ControlKind::kStaticText,
             "for Auto Parameter Adjustment",
             {10, 32, kLineWidth, 10}},
            {kIdStatic, ControlKind::kGroupBox, "Auto Adjustment", {10, 46, kLineWidth, 32}},
            {kIdcAdjustTaps,
             ControlKind::kRadio,
             "Tap Count",
             {20, 59, 80, 12},
             platform::kStyleGroupStart},
            {kIdcAdjustEdges, ControlKind::kRadio, "Band Edge", {115, 59, 80, 12}},
            {kIdStatic,
             ControlKind::kStaticText,
             "** If you design a filter with LONG Tap Count, **",
             {10, 86, kLineWidth, 10},
             platform::kStyleGroupStart},
            {kIdStatic,
             ControlKind::kStaticText,
             "** (fc2-fc1) and (fc4-fc3) had better be SMALL. **",
             {10, 98, kLineWidth, 10}},
            {platform::kIdOk,
             ControlKind::kDefaultPushButton,
             "OK",
             {(kWidth - kButtonWidth) / 2, 118, kButtonWidth, kButtonHeight},
             platform::kStyleGroupStart},
        },
    };
    return dialog;
}

DialogTemplate CicDialogTemplate() {
    DialogTemplate dialog;
    dialog.id = kIddCicParameters;
    dialog.title = "CIC Filter";
    dialog.screenPosition = kDialogPosition;
    constexpr int kTitleHeight = 10;
    constexpr int kRadioHeight = 10;
    constexpr int kRadioWidth = 90;
    constexpr int kGroupHeight = kTitleHeight + kRadioHeight + 5;
    int y = kMargin;
    dialog.controls.push_back({kIdStatic,
                               ControlKind::kGroupBox,
                               "Rate change",
                               {kMargin, y, kPictureWidth, kGroupHeight}});
    for (int i = 0; i < kCicKindRadios; ++i) {
        dialog.controls.push_back({kIdcCicKind + i,
                                   ControlKind::kRadio,
                                   kCicKindLabels[i],
                                   {2 * kMargin + i * (kRadioWidth + 10), y + kTitleHeight + 1,
                                    kRadioWidth, kRadioHeight},
                                   i == 0 ? platform::kStyleGroupStart : platform::kStyleNone});
    }
    y += kGroupHeight + kPictureGap + kMargin - kPictureGap;
    y = AddRow(dialog, y, {kIdcCicRate, "Rate change (R) =", "(2 to 1024)", false, false});
    y = AddRow(dialog, y, {kIdcCicStages, "Stages (S) =", "(1 to 8)", false, false});
    y = AddRow(dialog, y, {kIdcCicDelay, "Diff. delay (DL) =", "(1 or 2)", false, false});
    y = AddRow(dialog, y, {kIdcCicDataBits, "Data bits (D) =", "(4 to 24)", false, false});
    y = AddRow(dialog, y, {kIdcCicEdge, "Pass band edge =", "[cycles/sample]", false, false});
    dialog.controls.push_back({kIdcCicPrune,
                               ControlKind::kCheckBox,
                               "Pruned registers (decimator)",
                               {kLabelX, y, kLabelWidth + kEditWidth + 40, kEditHeight},
                               platform::kStyleGroupStart});
    y += kRowStep;
    dialog.controls.push_back({kIdcCicPipeline,
                               ControlKind::kCheckBox,
                               "Pipelined adders (decimator)",
                               {kLabelX, y, kLabelWidth + kEditWidth + 40, kEditHeight}});
    y += kRowStep;
    dialog.controls.push_back({kIdcCicCompensate,
                               ControlKind::kCheckBox,
                               "Droop compensator",
                               {kLabelX, y, kLabelWidth + kEditWidth + 40, kEditHeight}});
    y += kRowStep;
    y = AddRow(dialog, y, {kIdcCicCompTaps, "Comp. taps (N) =", "(4 to 380)", false, false});
    y = AddRow(dialog, y,
               {kIdcCicCompPassEdge, "Comp. pass edge =", "[cycles/sample]", false, false});
    y = AddRow(dialog, y,
               {kIdcCicCompStopEdge, "Comp. stop edge =", "[cycles/sample]", false, false});
    AddButtons(dialog, y + kPictureGap, true);
    return dialog;
}

} // namespace design
