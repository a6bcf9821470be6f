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
        {226, 120},
        {
            {kIdcSaveCoeffs,
             ControlKind::kRadio,
             "Save Coefficients",
             {10, 22, 80, 12},
             kStyleGroupStart},
            {kIdcLoadCoeffs, ControlKind::kRadio, "Load Coefficients", {10, 40, 80, 12}},
            {kIdcSaveVhdl, ControlKind::kRadio, "Save VHDL", {10, 58, 80, 12}},
            {kIdcSaveTestbench, ControlKind::kRadio, "Save Testbench", {10, 76, 80, 12}},
            {kIdcExport, ControlKind::kRadio, "Export\u2026", {10, 94, 80, 12}},
            {kIdStatic, ControlKind::kStaticText, "File Name", {96, 8, 60, 10}, kStyleGroupStart},
            {kIdcSaveCoeffsName, ControlKind::kEdit, "", {96, 21, 70, 13}, kStyleGroupStart},
            {kIdcLoadCoeffsName, ControlKind::kEdit, "", {96, 39, 70, 13}, kStyleGroupStart},
            {kIdcSaveVhdlName, ControlKind::kEdit, "", {96, 57, 70, 13}, kStyleGroupStart},
            {kIdcSaveTestbenchName, ControlKind::kEdit, "", {96, 75, 70, 13}, kStyleGroupStart},
            {kIdcExportName, ControlKind::kEdit, "", {96, 93, 70, 13}, kStyleGroupStart},
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

const platform::DialogTemplate& ExportTemplate() {
    static const platform::DialogTemplate dialog{
        kIddExport,
        "Export",
        {0, 0},
        true,
        {186, 104},
        {
            {kIdStatic, ControlKind::kStaticText, "Format", {10, 8, 60, 10}},
            {kIdcExportCoe,
             ControlKind::kRadio,
             "Xilinx .coe",
             {10, 22, 110, 12},
             kStyleGroupStart},
            {kIdcExportMif, ControlKind::kRadio, "Intel .mif", {10, 38, 110, 12}},
            {kIdcExportCsv, ControlKind::kRadio, "CSV", {10, 54, 110, 12}},
            {kIdcExportJson, ControlKind::kRadio, "JSON", {10, 70, 110, 12}},
            {kIdcExportCHeader, ControlKind::kRadio, "C header (CMSIS-DSP)", {10, 86, 110, 12}},
            {platform::kIdOk,
             ControlKind::kDefaultPushButton,
             "OK",
             {132, 22, 46, 14},
             kStyleGroupStart},
            {platform::kIdCancel, ControlKind::kPushButton, "Cancel", {132, 40, 46, 14}},
        },
    };
    return dialog;
}

} // namespace resources
