// The VHDL Code command's handler: the data bit length dialog with its "Hardware report" and
// "Save testbench" buttons, the template search, and the substitution of the template's tokens.
#pragma once

#include <optional>
#include <string>

#include "app/ui/HandlerBase.h"

namespace commands {
struct HardwareReportJob;
struct VhdlOutcome;
}
namespace platform {
class ControlAccess;
}
namespace vhdl {
class CVhdlSourceDialog;
}

class VhdlCodeHandler : HandlerBase {
public:
    using HandlerBase::HandlerBase;

    void OnVhdlCode();
    // One template line with the FIR or IIR tokens replaced; advance m_nSubstIndex.
    std::string SubstituteFirLine(const std::string& line);
    std::string SubstituteIirLine(const std::string& line);

    int m_nSubstIndex = 0; // next tap or section the coefficient tokens take (Save VHDL too)

private:
    // Finds the template along the search path, or names it in warning 174 and asks for it with
    // the Open-file dialog; sets m_strTemplatePath when found or picked, else leaves it as it is.
    void LocateTemplate(const std::string& name, bool iir, const std::string& legacyName = {});
    // The dialog's entries to the VHDL Code command: locates the architecture's template and
    // builds the text.
    commands::VhdlOutcome GenerateVhdl(const vhdl::CVhdlSourceDialog& dlg);
    // "Hardware report" in the open dialog: checks its entries, runs VHDL Code with them, then
    // synthesizes, places and routes in the background and shows the report in the output box.
    // true when the box now shows a report.
    bool OnHardwareReport(vhdl::CVhdlSourceDialog& dlg, platform::ControlAccess& controls);
    // "Save testbench" in the open dialog: checks its entries, stores them as VHDL Code does, and
    // writes the self-checking testbench in the chosen language to the file the user picks.
    void OnSaveTestbench(vhdl::CVhdlSourceDialog& dlg, platform::ControlAccess& controls);
    // VHDL Code of a CIC design: the language from the dialog (its data bits are the CIC's own),
    // the CIC template of that language, the text into the box; its Save Testbench button.
    void OnCicVhdlCode(const std::string& shown);
    // The CIC's template in the dialog's language (stored as the document's), after checking
    // that the dialog keeps the CIC's data bits; nothing, after the message, otherwise.
    std::optional<std::string> CicTemplateOf(const vhdl::CVhdlSourceDialog& dlg);
    // "Hardware report" in the open dialog of a CIC: the CIC's filter placed and routed in the
    // background at the dialog's clock, its report in the output box.
    void OnCicHardwareReport(vhdl::CVhdlSourceDialog& dlg, platform::ControlAccess& controls);
    void RunHardwareReport(commands::HardwareReportJob& job);
    void OnSaveCicTestbench(vhdl::CVhdlSourceDialog& dlg, platform::ControlAccess& controls);
};
