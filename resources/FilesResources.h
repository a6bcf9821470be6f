// The Save/Load dialog (template 165) and the warnings of the Save/Load command and of the
// coefficient file reader.
#pragma once

#include "platform/DialogTemplate.h"

namespace resources {

constexpr int kIddSaveLoad = 165;
constexpr int kIdcSaveCoeffs = 1038; // start of the action group: Save Coefficients,
constexpr int kIdcLoadCoeffs = 1039; // Load Coefficients,
constexpr int kIdcSaveVhdl = 1040;   // Save VHDL
constexpr int kIdcSaveCoeffsName = 1041;
constexpr int kIdcLoadCoeffsName = 1042;
constexpr int kIdcSaveVhdlName = 1043;

// The two actions that follow Save VHDL: the testbench of the VHDL, and the coefficients for
// another tool (the format is chosen in template 225 after OK).
constexpr int kIdcSaveTestbench = 1150;
constexpr int kIdcExport = 1151;
constexpr int kIdcSaveTestbenchName = 1152;
constexpr int kIdcExportName = 1153;

const platform::DialogTemplate& SaveLoadTemplate();

// Template 225 (Export): the format, one radio button each in files::ExportFormat's order.
constexpr int kIddExport = 225;
constexpr int kIdcExportCoe = 1160; // start of the format group
constexpr int kIdcExportMif = 1161;
constexpr int kIdcExportCsv = 1162;
constexpr int kIdcExportJson = 1163;
constexpr int kIdcExportCHeader = 1164;
const platform::DialogTemplate& ExportTemplate();

} // namespace resources
