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

// Warning dialogs, each with one OK button; the commands give them (app/DesignRules.h).
using design::kIddWarnInvalidCoeffs;
using design::kIddWarnInvalidFileName;
using design::kIddWarnMissingHeader;
using design::kIddWarnSaveNeedsCoeffs;
using design::kIddWarnVhdlNeedsParams;
using design::kIddWarnVhdlNeedsQuantize;

using design::InvalidCoeffsWarning;
using design::InvalidFileNameWarning;
using design::MissingHeaderWarning;
using design::SaveNeedsCoeffsWarning;
using design::VhdlNeedsParamsWarning;
using design::VhdlNeedsQuantizeWarning;

using design::kCannotBeOpened;

} // namespace resources
