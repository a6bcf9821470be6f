// The Save/Load dialog (template 165) and the warnings of the Save/Load command and of the
// coefficient file reader.
#pragma once

#include "app/DesignRules.h"
#include "platform/DialogTemplate.h"

namespace resources {

constexpr int kIddSaveLoad = 165;
constexpr int kIdcSaveCoeffs = 1038; // start of the action group: Save Coefficients,
constexpr int kIdcLoadCoeffs = 1039; // Load Coefficients,
constexpr int kIdcSaveVhdl = 1040;   // Save VHDL
constexpr int kIdcSaveCoeffsName = 1041;
constexpr int kIdcLoadCoeffsName = 1042;
constexpr int kIdcSaveVhdlName = 1043;

const platform::DialogTemplate& SaveLoadTemplate();

// Warning dialogs, each with one OK button.
constexpr int kIddWarnSaveNeedsCoeffs = 177; // Save Coefficients before the report
constexpr int kIddWarnInvalidFileName = 167; // the file to load cannot be opened
constexpr int kIddWarnVhdlNeedsQuantize = 164;
constexpr int kIddWarnVhdlNeedsParams = 170; // Save VHDL before the VHDL Code command
constexpr int kIddWarnMissingHeader = 188;   // a coefficient file without its header line
constexpr int kIddWarnInvalidCoeffs = 168;   // a malformed number in a coefficient file

design::Warning SaveNeedsCoeffsWarning();
design::Warning InvalidFileNameWarning();
design::Warning VhdlNeedsQuantizeWarning();
design::Warning VhdlNeedsParamsWarning();
design::Warning MissingHeaderWarning();
design::Warning InvalidCoeffsWarning();

// Text of the message box for an output file that cannot be written: the path, then this.
constexpr const char* kCannotBeOpened = " cannot be opened";

} // namespace resources
