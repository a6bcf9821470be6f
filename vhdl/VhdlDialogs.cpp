// The exchanges of the two VHDL Code dialogs.
#include "vhdl/VhdlDialogs.h"

#include "app/DesignRules.h"
#include "resources/VhdlResources.h"

namespace vhdl {

CVhdlSourceDialog::CVhdlSourceDialog() : platform::Dialog(resources::VhdlSourceTemplate()) {}

void CVhdlSourceDialog::DoDataExchange(platform::DataExchange& exchange) {
    // The range the VHDL Code command and the hardware model check too.
    exchange.IntRange(resources::kIdcVhdlDataBits, m_nDataBits, design::kMinDataBits,
                      design::kMaxDataBits);
}

CLocateTemplateDialog::CLocateTemplateDialog(std::string name)
    : platform::Dialog(resources::LocateTemplateTemplate()), m_strName(std::move(name)) {}

void CLocateTemplateDialog::DoDataExchange(platform::DataExchange& exchange) {
    exchange.Text(resources::kIdcMissingTemplate, m_strName);
}

} // namespace vhdl
