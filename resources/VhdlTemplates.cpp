// Templates 163 ("VHDL Source Code") and 174 (the locate warning), and the file-error text.
#include <string>

#include "resources/AnalysisResources.h"
#include "resources/VhdlResources.h"

namespace resources {

using platform::ControlKind;
using platform::kIdStatic;
using platform::kStyleGroupStart;

const platform::DialogTemplate& VhdlSourceTemplate() {
    static const platform::DialogTemplate dialog{
        kIddVhdlSource,
        "VHDL Source Code",
        {0, 0},
        true,
        {200, 206},
        {
            {kIdStatic, ControlKind::kStaticText, "Data Bit Length =", {10, 12, 64, 10}},
            {kIdcVhdlDataBits, ControlKind::kEdit, "", {76, 10, 40, 12}, kStyleGroupStart},
            {kIdStatic,
             ControlKind::kStaticText,
             "Note: It may take more than 10 seconds ",
             {10, 32, 180, 9}},
            {kIdStatic, ControlKind::kStaticText, "to get the VHDL code. ", {10, 42, 180, 9}},
            {kIdStatic,
             ControlKind::kStaticText,
             "Note: Restart this software if it takes",
             {10, 54, 180, 9}},
            {kIdStatic, ControlKind::kStaticText, "much more than 10 seconds.", {10, 64, 180, 9}},
            {kIdStatic, ControlKind::kGroupBox, "Architecture", {6, 76, 188, 56}},
            {kIdcArchSerial, ControlKind::kRadio, "Serial", {12, 88, 50, 10}, kStyleGroupStart},
            {kIdcArchFolded, ControlKind::kRadio, "Folded", {12, 100, 50, 10}},
            {kIdcArchParallel, ControlKind::kRadio, "Parallel", {12, 112, 50, 10}},
            {kIdcArchAuto, ControlKind::kRadio, "Auto", {66, 88, 40, 10}},
            {kIdStatic, ControlKind::kStaticText, "Multipliers =", {66, 102, 60, 9}},
            {kIdcVhdlMultipliers, ControlKind::kEdit, "", {136, 100, 50, 12}, kStyleGroupStart},
            {kIdStatic, ControlKind::kStaticText, "Clock (MHz) =", {66, 116, 60, 9}},
            {kIdcVhdlClockMhz, ControlKind::kEdit, "", {136, 114, 50, 12}, kStyleGroupStart},
            {kIdStatic, ControlKind::kGroupBox, "Language", {6, 134, 188, 24}},
            {kIdcLanguageVhdl, ControlKind::kRadio, "VHDL", {12, 144, 50, 10}, kStyleGroupStart},
            {kIdcLanguageVerilog, ControlKind::kRadio, "Verilog", {66, 144, 50, 10}},
            {kIdcHardwareReport,
             ControlKind::kPushButton,
             "Hardware report",
             {14, 166, 80, 14},
             kStyleGroupStart},
            {kIdcVhdlSaveTestbench,
             ControlKind::kPushButton,
             "Save testbench",
             {106, 166, 80, 14},
             kStyleGroupStart},
            {platform::kIdOk,
             ControlKind::kDefaultPushButton,
             "OK",
             {36, 188, 50, 14},
             kStyleGroupStart},
            {platform::kIdCancel, ControlKind::kPushButton, "Cancel", {110, 188, 50, 14}},
        },
    };
    return dialog;
}

const platform::DialogTemplate& LocateTemplateTemplate() {
    static const platform::DialogTemplate dialog{
        kIddLocateTemplate,
        "Warning",
        {0, 0},
        true,
        {220, 150},
        {
            {kIdStatic, ControlKind::kStaticText, "This app needs", {10, 10, 60, 9}},
            {kIdcMissingTemplate,
             ControlKind::kEdit,
             "",
             {72, 8, 80, 12},
             kStyleGroupStart | platform::kStyleReadOnly},
            {kIdStatic, ControlKind::kStaticText, "to generate VHDL code. ", {10, 24, 200, 9}},
            {kIdStatic,
             ControlKind::kStaticText,
             "Please point out its location. ",
             {10, 34, 200, 9}},
            {kIdStatic, ControlKind::kStaticText, "In case you have lost it... ", {10, 48, 200, 9}},
            {kIdStatic,
             ControlKind::kStaticText,
             "*** How to retrieve the file ***",
             {10, 60, 200, 9}},
            {kIdStatic,
             ControlKind::kStaticText,
             std::string("1) Go to ") + kWebAddress,
             {10, 72, 200, 9}},
            {kIdStatic, ControlKind::kStaticText, "2) Go to \"Software\".", {10, 82, 200, 9}},
            {kIdStatic, ControlKind::kStaticText, "3) Choose \"Vantrel\".", {10, 92, 200, 9}},
            {kIdStatic,
             ControlKind::kStaticText,
             "4) Download the archive and install it again.",
             {10, 102, 200, 9}},
            {platform::kIdOk,
             ControlKind::kDefaultPushButton,
             "OK",
             {85, 124, 50, 14},
             kStyleGroupStart},
        },
    };
    return dialog;
}

} // namespace resources
