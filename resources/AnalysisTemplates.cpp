// Templates 132 (Frequency Response), 131 (Input/Output Wave) and 133 (FFT Result). Each has
// its ranges in group boxes, a 1x/10x radio group and a start slider with its end labels, and
// opens at its own screen position.
#include "resources/AnalysisResources.h"

namespace resources {

using platform::ControlKind;
using platform::kIdCancel;
using platform::kIdOk;
using platform::kIdStatic;
using platform::kStyleGroupStart;

namespace {

constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;

platform::ControlTemplate OkButton(int x, int y) {
    return {kIdOk,
            ControlKind::kDefaultPushButton,
            "OK",
            {x, y, kButtonWidth, kButtonHeight},
            kStyleGroupStart};
}

platform::ControlTemplate CancelButton(int x, int y) {
    return {kIdCancel,
            ControlKind::kPushButton,
            "Cancel",
            {x, y, kButtonWidth, kButtonHeight},
            kStyleGroupStart};
}

} // namespace

const platform::DialogTemplate& FreqResponseTemplate() {
    static const platform::DialogTemplate dialog{
        kIddFreqResponse,
        "Frequency Response",
        {170, 220},
        false,
        {250, 96},
        {
            {kIdStatic, ControlKind::kGroupBox, "Gain Range", {7, 7, 90, 34}, kStyleGroupStart},
            {kIdcGainRange, ControlKind::kEdit, "", {14, 20, 50, 14}, kStyleGroupStart},
            {kIdStatic, ControlKind::kStaticText, "[dB]", {68, 23, 22, 8}},
            {kIdStatic,
             ControlKind::kGroupBox,
             "Frequency Rng",
             {104, 7, 76, 34},
             kStyleGroupStart},
            {kIdcZoom1x, ControlKind::kRadio, "1x", {111, 21, 28, 10}, kStyleGroupStart},
            {kIdcZoom10x, ControlKind::kRadio, "10x", {144, 21, 30, 10}},
            {kIdStatic,
             ControlKind::kStaticText,
             "Start Frequency",
             {14, 48, 80, 8},
             kStyleGroupStart},
            {kIdcStartSlider, ControlKind::kSlider, "", {10, 58, 174, 15}},
            {kIdStatic, ControlKind::kStaticText, "0 [Hz]", {12, 76, 30, 8}},
            {kIdStatic, ControlKind::kStaticText, "Fs/2", {166, 76, 20, 8}},
            OkButton(193, 7),
            CancelButton(193, 25),
        },
    };
    return dialog;
}

const platform::DialogTemplate& InOutWaveTemplate() {
    static const platform::DialogTemplate dialog{
        kIddInOutWave,
        "Input/Output Wave",
        {150, 150},
        false,
        {300, 172},
        {
            {kIdStatic, ControlKind::kGroupBox, "Wave Type", {7, 7, 84, 40}, kStyleGroupStart},
            {kIdcSineWave, ControlKind::kRadio, "Sine Wave", {14, 19, 70, 10}, kStyleGroupStart},
            {kIdcSquareWave, ControlKind::kRadio, "Square Wave", {14, 32, 70, 10}},
            {kIdStatic, ControlKind::kGroupBox, "Frequency", {98, 7, 88, 40}, kStyleGroupStart},
            {kIdcWaveFreq, ControlKind::kEdit, "", {105, 21, 52, 14}, kStyleGroupStart},
            {kIdStatic, ControlKind::kStaticText, "[Hz]", {161, 24, 20, 8}},
            {kIdStatic, ControlKind::kGroupBox, "User Wave", {7, 51, 232, 28}},
            {kIdcUseUserWave,
             ControlKind::kCheckBox,
             "Use user wave (See \"Help\"->\"User wave\")",
             {14, 63, 220, 10},
             kStyleGroupStart},
            {kIdStatic, ControlKind::kGroupBox, "Magnitude Rng", {7, 83, 84, 34}},
            {kIdcMagnitudeRange, ControlKind::kEdit, "", {14, 97, 60, 14}, kStyleGroupStart},
            {kIdStatic, ControlKind::kGroupBox, "Time Range", {98, 83, 88, 34}},
            {kIdcZoom1x, ControlKind::kRadio, "1x", {105, 98, 30, 10}, kStyleGroupStart},
            {kIdcZoom10x, ControlKind::kRadio, "10x", {142, 98, 32, 10}},
            {kIdStatic, ControlKind::kStaticText, "Start Time", {14, 124, 80, 8}, kStyleGroupStart},
            {kIdcStartSlider, ControlKind::kSlider, "", {10, 134, 178, 15}},
            {kIdStatic, ControlKind::kStaticText, "0 [s]", {12, 152, 30, 8}},
            {kIdStatic, ControlKind::kStaticText, "100x(1/Fs)", {146, 152, 44, 8}},
            {kIdcShowHardware,
             ControlKind::kCheckBox,
             "Show hardware output",
             {196, 124, 100, 10},
             kStyleGroupStart},
            {kIdcHardwareBits, ControlKind::kStaticText, "", {206, 137, 90, 8}},
            OkButton(244, 7),
            CancelButton(244, 25),
        },
    };
    return dialog;
}

const platform::DialogTemplate& FftResultTemplate() {
    static const platform::DialogTemplate dialog{
        kIddFftResult,
        "FFT Result",
        {180, 200},
        false,
        {250, 96},
        {
            {kIdStatic, ControlKind::kGroupBox, "Magnitude Rng", {7, 7, 90, 34}, kStyleGroupStart},
            {kIdcMagnitudeRange, ControlKind::kEdit, "", {14, 20, 60, 14}, kStyleGroupStart},
            {kIdStatic,
             ControlKind::kGroupBox,
             "Frequency Rng",
             {104, 7, 76, 34},
             kStyleGroupStart},
            {kIdcZoom1x, ControlKind::kRadio, "1x", {111, 21, 28, 10}, kStyleGroupStart},
            {kIdcZoom10x, ControlKind::kRadio, "10x", {144, 21, 30, 10}},
            {kIdStatic,
             ControlKind::kStaticText,
             "Start Frequency",
             {14, 48, 80, 8},
             kStyleGroupStart},
            {kIdcStartSlider, ControlKind::kSlider, "", {10, 58, 174, 15}},
            {kIdStatic, ControlKind::kStaticText, "0 [Hz]", {12, 76, 30, 8}},
            {kIdStatic, ControlKind::kStaticText, "Fs", {172, 76, 14, 8}},
            OkButton(193, 7),
            CancelButton(193, 25),
        },
    };
    return dialog;
}

} // namespace resources
