// What VHDL Code, Save VHDL and Save Testbench of a CIC design check first: that a CIC was
// designed, and where its template is (a file of the template's name that is no CIC template,
// such as a generated one, is passed over). Each says why not in a message box.
#pragma once

#include <optional>
#include <string>

#include "vhdl/HdlLanguage.h"

class COlvexDoc;
namespace platform {
class UiHost;
}

namespace vhdl {

// false, after the "design a CIC first" message, when the document holds no CIC design.
bool CicDesignedOrWarn(platform::UiHost& host, const COlvexDoc& doc);
// The CIC template of the language along the search folders; nothing, after the "not found"
// message, when there is none.
std::optional<std::string> LocateCicTemplate(platform::UiHost& host, const COlvexDoc& doc,
                                             HdlLanguage language);

} // namespace vhdl
