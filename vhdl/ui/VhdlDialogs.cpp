// The exchanges of the two VHDL Code dialogs.
#include "vhdl/ui/VhdlDialogs.h"

#include "app/DesignRules.h"
#include "resources/VhdlResources.h"

namespace vhdl {

CVhdlSourceDialog::CVhdlSourceDialog() : platform::Dialog(resources::VhdlSourceTemplate()) {}

void CVhdlSourceDialog::DoDataExchange(platform::DataExchange& exchange) {
    // The range the VHDL Code command and the hardware model check too.
    exchange.IntRange(resources::kIdcVhdlDataBits, m_nDataBits, design::kMinDataBits,
                      design::kMaxDataBits);
    exchange.Radio(resources::kIdcArchSerial, m_nArchitecture);
    exchange.Int(resources::kIdcVhdlMultipliers, m_nMultipliers);
    if (exchange.Saving() && !exchange.Failure()) {
        const design::RangeRefusal check = design::CheckMultipliers(m_nMultipliers);
        if (check.Refused()) {
            exchange.Refuse(resources::kIdcVhdlMultipliers, check.message);
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
