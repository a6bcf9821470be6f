// The exchanges of the two VHDL Code dialogs.
#include "vhdl/ui/VhdlDialogs.h"

#include "app/DesignRules.h"
#include "resources/VhdlResources.h"
#include "vhdl/Architecture.h"

namespace vhdl {

CVhdlSourceDialog::CVhdlSourceDialog() : platform::Dialog(resources::VhdlSourceTemplate()) {}

void CVhdlSourceDialog::DoDataExchange(platform::DataExchange& exchange) {
    // The range the VHDL Code command and the hardware model check too.
    exchange.IntRange(resources::kIdcVhdlDataBits, m_nDataBits, design::kMinDataBits,
                      design::kMaxDataBits);
    exchange.Radio(resources::kIdcArchSerial, m_nArchitecture);
    // Only the folded hardware takes the typed count; for the others the field is disabled and
    // keeps its last value unread.
    if (!exchange.Saving() || UsesMultipliers(m_nArchitecture)) {
        exchange.Int(resources::kIdcVhdlMultipliers, m_nMultipliers);
        if (exchange.Saving() && !exchange.Failure()) {
            const design::RangeRefusal check = design::CheckMultipliers(m_nMultipliers);
            if (check.Refused()) {
                exchange.Refuse(resources::kIdcVhdlMultipliers, check.message);
            }
        }
    }
    exchange.Double(resources::kIdcVhdlClockMhz, m_dClockMhz);
    if (exchange.Saving() && !exchange.Failure()) {
        const design::RangeRefusal check = design::CheckClockMhz(m_dClockMhz);
        if (check.Refused()) {
            exchange.Refuse(resources::kIdcVhdlClockMhz, check.message);
        }
    }
    exchange.Radio(resources::kIdcLanguageVhdl, m_nLanguage);
}

bool CVhdlSourceDialog::UsesMultipliers(int architecture) {
    return architecture == static_cast<int>(vhdl::Architecture::kFolded);
}

void CVhdlSourceDialog::ShowArchitecture(platform::ControlAccess& controls) {
    int architecture = 0;
    for (const int id : {resources::kIdcArchSerial, resources::kIdcArchFolded,
                         resources::kIdcArchParallel, resources::kIdcArchAuto}) {
        if (controls.GetCheck(id) != 0) {
            architecture = id - resources::kIdcArchSerial;
        }
    }
    controls.SetEnabled(resources::kIdcVhdlMultipliers, UsesMultipliers(architecture));
}

void CVhdlSourceDialog::OnInitDialog(platform::ControlAccess& controls) {
    ShowArchitecture(controls);
}

void CVhdlSourceDialog::OnClicked(int /*controlId*/, platform::ControlAccess& controls) {
    ShowArchitecture(controls);
}

void CVhdlSourceDialog::OnButton(int controlId, platform::ControlAccess& controls) {
    if (controlId == resources::kIdcHardwareReport && m_fnHardwareReport) {
        m_fnHardwareReport(controls);
    }
    if (controlId == resources::kIdcVhdlSaveTestbench && m_fnSaveTestbench) {
        m_fnSaveTestbench(controls);
    }
}

CLocateTemplateDialog::CLocateTemplateDialog(std::string name)
    : platform::Dialog(resources::LocateTemplateTemplate()), m_strName(std::move(name)) {}

void CLocateTemplateDialog::DoDataExchange(platform::DataExchange& exchange) {
    exchange.Text(resources::kIdcMissingTemplate, m_strName);
}

} // namespace vhdl
