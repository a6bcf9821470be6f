// The dialogs of the VHDL Code command: "VHDL Source Code" (template 163) asks for the in/out
// data bit length; the locate warning (template 174) names a template that was not found.
#pragma once

#include <string>

#include "platform/Dialog.h"

namespace vhdl {

class CVhdlSourceDialog : public platform::Dialog {
public:
    CVhdlSourceDialog();
    void DoDataExchange(platform::DataExchange& exchange) override;

    int m_nDataBits = 12; // 4..24
};

class CLocateTemplateDialog : public platform::Dialog {
public:
    explicit CLocateTemplateDialog(std::string name);
    void DoDataExchange(platform::DataExchange& exchange) override;

    std::string m_strName; // shown read-only between "This app needs" and the rest
};

} // namespace vhdl
