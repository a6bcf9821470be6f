// Template 101: the form of the main window, in tab order. The type radio buttons run LPF, HPF,
// BRF, BPF in tab order, so BRF is index 2 although BPF stands above it.
#include "resources/Resources.h"

namespace resources {

using platform::ControlKind;
using platform::kIdStatic;

namespace {
constexpr platform::Size kFormSize{414, 316};
} // namespace

const platform::DialogTemplate& FormTemplate() {
    static const platform::DialogTemplate form{
        kIddForm,
        "",
        {0, 0},
        false,
        kFormSize,
        {
            {kIdStatic, ControlKind::kGroupBox, "Filter Type", {15, 13, 47, 77}},
            {kIdcLpf, ControlKind::kRadio, "LPF", {22, 26, 36, 12}, platform::kStyleGroupStart},
            {kIdcHpf, ControlKind::kRadio, "HPF", {22, 42, 36, 11}},
            {kIdcBrf, ControlKind::kRadio, "BRF", {22, 72, 36, 11}},
            {kIdcBpf, ControlKind::kRadio, "BPF", {22, 57, 36, 11}},
            {kIdStatic,
             ControlKind::kGroupBox,
             "FIR/IIR",
             {69, 13, 38, 55},
             platform::kStyleGroupStart},
            {kIdcFir, ControlKind::kRadio, "FIR", {73, 23, 31, 12}, platform::kStyleGroupStart},
            {kIdcIir, ControlKind::kRadio, "IIR", {73, 37, 31, 12}},
            {kIdcCic, ControlKind::kRadio, "CIC", {73, 51, 31, 12}},
            {kIdcDesign,
             ControlKind::kDefaultPushButton,
             "Design",
             {70, 72, 37, 22},
             platform::kStyleGroupStart},
            {kIdcFResponse, ControlKind::kPushButton, "F-Response", {22, 106, 80, 17}},
            {kIdcInOutWave, ControlKind::kPushButton, "In/Out Wave", {22, 130, 80, 18}},
            {kIdcFftAnalysis, ControlKind::kPushButton, "FFT Analysis", {22, 155, 80, 17}},
            {kIdcCoefficients, ControlKind::kPushButton, "Coefficients", {22, 179, 80, 18}},
            {kIdcVhdlCode, ControlKind::kPushButton, "VHDL Code", {22, 204, 80, 17}},
            {kIdcSaveLoad, ControlKind::kPushButton, "Save/Load", {22, 228, 80, 17}},
            {kIdcRefreshView, ControlKind::kPushButton, "Refresh View", {22, 252, 80, 17}},
            {kIdcPlotArea,
             ControlKind::kPicture,
             "",
             {138, 8, 268, 183},
             platform::kStyleSunken | platform::kStyleWhiteFill},
            {kIdcOutput,
             ControlKind::kEdit,
             "",
             {138, 197, 230, 112},
             // Fixed pitch: the report's columns line up.
             platform::kStyleMultiLine | platform::kStyleReadOnly | platform::kStyleScrollBars |
                 platform::kStyleBorder | platform::kStyleFixedPitch},
            {kIdStatic, ControlKind::kStaticText, "Vantrel", {29, 275, 80, 8}},
            {kIdStatic, ControlKind::kStaticText, "Digital filter design", {27, 286, 100, 8}},
            {kIdStatic, ControlKind::kStaticText, "https://vantrel.example/", {28, 297, 100, 8}},
        },
    };
    return form;
}

} // namespace resources
