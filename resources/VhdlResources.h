// The dialogs of the VHDL Code command: "VHDL Source Code" (template 163), which asks for the
// in/out data bit length, and the locate warning (template 174), which names a template that
// was not found before the Open-file dialog asks for it. Warning 164 (quantization off) is shared
// with Save VHDL and lives with the Save/Load resources.
#pragma once

#include "platform/DialogTemplate.h"

namespace resources {

constexpr int kIddVhdlSource = 163;
constexpr int kIdcVhdlDataBits = 1020; // "Data Bit Length =", 4..24
// The hardware: the architecture radio group (Serial, Folded, Parallel, Auto in id order), the
// folded multiplier count, the FPGA clock in MHz, and the button that places and routes it.
constexpr int kIdcArchSerial = 1080;
constexpr int kIdcArchFolded = 1081;
constexpr int kIdcArchParallel = 1082;
constexpr int kIdcArchAuto = 1083;
constexpr int kIdcVhdlMultipliers = 1084;
constexpr int kIdcVhdlClockMhz = 1085;
constexpr int kIdcHardwareReport = 1086;
// The Language group (VHDL, Verilog) and the "Save testbench" button.
constexpr int kIdcLanguageVhdl = 1300;
constexpr int kIdcLanguageVerilog = 1301;
constexpr int kIdcVhdlSaveTestbench = 1302;
// The progress window's title while the hardware report runs.
constexpr const char* kHardwareReportTitle = "Hardware report: synthesis, placement and routing";

constexpr int kIddLocateTemplate = 174;
constexpr int kIdcMissingTemplate = 1051; // read-only field with the missing file name

const platform::DialogTemplate& VhdlSourceTemplate();
const platform::DialogTemplate& LocateTemplateTemplate();

} // namespace resources
