#include "vhdl/ui/CicTemplateSearch.h"

#include "app/OlvexDoc.h"
#include "app/VhdlCommands.h"
#include "platform/UiHost.h"

namespace vhdl {

bool CicDesignedOrWarn(platform::UiHost& host, const COlvexDoc& doc) {
    if (doc.m_bCicDesigned != 0) {
        return true;
    }
    host.MessageBox(commands::kCicNotDesignedText, "", platform::MessageIcon::kWarning);
    return false;
}

std::optional<std::string> LocateCicTemplate(platform::UiHost& host, const COlvexDoc& doc,
                                             HdlLanguage language) {
    const std::string name = commands::CicTemplateNameOf(doc, language);
    std::optional<std::string> found =
        host.SearchFile(name, HdlExtension(language),
                        [](const std::string& path) { return commands::IsCicTemplate(path); });
    if (!found) {
        host.MessageBox(commands::TemplateNotFoundText(name), "", platform::MessageIcon::kWarning);
    }
    return found;
}

} // namespace vhdl
