// Template 165 (Save/Load). The texts of its warnings are rules of the commands (app/DesignRules).
#include "resources/FilesResources.h"

namespace resources {

using platform::ControlKind;
using platform::kIdStatic;
using platform::kStyleGroupStart;

const platform::DialogTemplate& SaveLoadTemplate() {
    static const platform::DialogTemplate dialog{
        kIddSaveLoad,
        "Save/Load",
        {0, 0},
        true,
        {226, 84},
        {
            {kIdcSaveCoeffs,
             ControlKind::kRadio,
             "Save Coefficients",
             {10, 22, 80, 12},
             kStyleGroupStart},
            {kIdcLoadCoeffs, ControlKind::kRadio, "Load Coefficients", {10, 40, 80, 12}},
            {kIdcSaveVhdl, ControlKind::kRadio, "Save VHDL", {10, 58, 80, 12}},
            {kIdStatic, ControlKind::kStaticText, "File Name", {96, 8, 60, 10}, kStyleGroupStart},
            {kIdcSaveCoeffsName, ControlKind::kEdit, "", {96, 21, 70, 13}, kStyleGroupStart},
            {kIdcLoadCoeffsName, ControlKind::kEdit, "", {96, 39, 70, 13}, kStyleGroupStart},
            {kIdcSaveVhdlName, ControlKind::kEdit, "", {96, 57, 70, 13}, kStyleGroupStart},
            {platform::kIdOk,
             ControlKind::kDefaultPushButton,
             "OK",
             {172, 21, 46, 14},
             kStyleGroupStart},
            {platform::kIdCancel, ControlKind::kPushButton, "Cancel", {172, 39, 46, 14}},
        },
    };
    return dialog;
}

} // namespace resources
