// The exchanges of the two VHDL Code dialogs.
#include "vhdl/VhdlDialogs.h"

#include "resources/VhdlResources.h"

namespace vhdl {

CVhdlSourceDialog::CVhdlSourceDialog() : platform::Dialog(resources::VhdlSourceTemplate()) {}

void CVhdlSourceDialog::DoDataExchange(platform::DataExchange& exchange) {
    exchange.IntRange(resources::kIdcVhdlDataBits, m_nDataBits, resources::kMinVhdlDataBits,
                      resources::kMaxVhdlDataBits);
}

CLocateTemplateDialog::CLocateTemplateDialog(std::string name)
    : platform::Dialog(resources::LocateTemplateTemplate()), m_strName(std::move(name)) {}

void CLocateTemplateDialog::DoDataExchange(platform::DataExchange& exchange) {
    exchange.Text(resources::kIdcMissingTemplate, m_strName);
}

} // namespace vhdl
