// Template 210 (Band Edges): the bands View > Measurements measures loaded coefficients against.
#include "resources/MeasureBandsResources.h"

namespace resources {

using platform::ControlKind;
using platform::kIdStatic;
using platform::kStyleGroupStart;

const platform::DialogTemplate& MeasureBandsTemplate() {
    constexpr int kLabelX = 10;
    constexpr int kEditX = 60;
    static const platform::DialogTemplate dialog{
        kIddMeasureBands,
        "Band Edges",
        {0, 0},
        true,
        {200, 146},
        {
            {kIdStatic, ControlKind::kStaticText, kMeasureBandsPrompt, {kLabelX, 8, 180, 20}},
            {kIdStatic, ControlKind::kStaticText, "Fs (Hz)", {kLabelX, 34, 46, 10}},
            {kIdcBandsFs, ControlKind::kEdit, "", {kEditX, 32, 70, 13}, kStyleGroupStart},
            {kIdStatic, ControlKind::kStaticText, "Fc1 (Hz)", {kLabelX, 52, 46, 10}},
            {kIdcBandsFc1, ControlKind::kEdit, "", {kEditX, 50, 70, 13}, kStyleGroupStart},
            {kIdStatic, ControlKind::kStaticText, "Fc2 (Hz)", {kLabelX, 70, 46, 10}},
            {kIdcBandsFc2, ControlKind::kEdit, "", {kEditX, 68, 70, 13}, kStyleGroupStart},
            {kIdStatic, ControlKind::kStaticText, "Fc3 (Hz)", {kLabelX, 88, 46, 10}},
            {kIdcBandsFc3, ControlKind::kEdit, "", {kEditX, 86, 70, 13}, kStyleGroupStart},
            {kIdStatic, ControlKind::kStaticText, "Fc4 (Hz)", {kLabelX, 106, 46, 10}},
            {kIdcBandsFc4, ControlKind::kEdit, "", {kEditX, 104, 70, 13}, kStyleGroupStart},
            {platform::kIdOk,
             ControlKind::kDefaultPushButton,
             "OK",
             {144, 32, 46, 14},
             kStyleGroupStart},
            {platform::kIdCancel, ControlKind::kPushButton, "Cancel", {144, 50, 46, 14}},
        },
    };
    return dialog;
}

} // namespace resources
