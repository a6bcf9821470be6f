// The dialogs of the VHDL Code command: "VHDL Source Code" (template 163) asks for the in/out
// data bit length, the hardware (architecture, folded multipliers, FPGA clock) and the language
// (VHDL, Verilog); its "Hardware report" button places and routes that hardware and its "Save
// testbench" button writes the testbench in the language, while the dialog stays open; the
// locate warning (template 174) names a template that was not found.
#pragma once

#include <functional>
#include <string>

#include "platform/Dialog.h"

namespace vhdl {

class CVhdlSourceDialog : public platform::Dialog {
public:
    CVhdlSourceDialog();
    void DoDataExchange(platform::DataExchange& exchange) override;

    void OnButton(int controlId, platform::ControlAccess& controls) override;
    // Multipliers is enabled only for the architecture that takes it (folded).
    void OnInitDialog(platform::ControlAccess& controls) override;
    void OnClicked(int controlId, platform::ControlAccess& controls) override;
    static bool UsesMultipliers(int architecture);

    int m_nDataBits = 12;      // 4..24
    int m_nArchitecture = 0;   // vhdl::Architecture: 0 serial, 1 folded, 2 parallel, 3 auto
    int m_nMultipliers = 4;    // the folded hardware's multipliers
    double m_dClockMhz = 48.0; // the FPGA clock
    int m_nLanguage = 0;       // vhdl::HdlLanguage: 0 VHDL, 1 Verilog
    // Run when "Hardware report" or "Save testbench" is pressed, with the dialog's controls; set
    // by the handler.
    std::function<void(platform::ControlAccess&)> m_fnHardwareReport;
    std::function<void(platform::ControlAccess&)> m_fnSaveTestbench;

private:
    void ShowArchitecture(platform::ControlAccess& controls);
};

class CLocateTemplateDialog : public platform::Dialog {
public:
    explicit CLocateTemplateDialog(std::string name);
    void DoDataExchange(platform::DataExchange& exchange) override;

    std::string m_strName; // shown read-only between "This app needs" and the rest
};

} // namespace vhdl
