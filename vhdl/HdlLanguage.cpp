// The language of the generated text: names, file extensions and the comment header.
#include "vhdl/HdlLanguage.h"

#include <algorithm>
#include <cctype>

namespace vhdl {

namespace {

bool EndsWithNoCase(std::string_view text, std::string_view ending) {
    if (text.size() < ending.size()) {
        return false;
    }
    return std::equal(ending.begin(), ending.end(), text.end() - ending.size(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) ==
               std::tolower(static_cast<unsigned char>(b));
    });
}

} // namespace

const char* HdlLanguageName(HdlLanguage language) {
    return language == HdlLanguage::kVerilog ? "Verilog" : "VHDL";
}

const char* HdlExtension(HdlLanguage language) {
    return language == HdlLanguage::kVerilog ? ".v" : ".vhd";
}

std::optional<HdlLanguage> LanguageOfPath(std::string_view path) {
    if (EndsWithNoCase(path, ".v") || EndsWithNoCase(path, ".sv")) {
        return HdlLanguage::kVerilog;
    }
    if (EndsWithNoCase(path, ".vhd") || EndsWithNoCase(path, ".vhdl")) {
        return HdlLanguage::kVhdl;
    }
    return std::nullopt;
}

HdlLanguage TemplateLanguage(std::string_view templatePath, HdlLanguage chosen) {
    return LanguageOfPath(templatePath).value_or(chosen);
}

std::string WithLanguageExtension(std::string_view name, HdlLanguage language) {
    for (const std::string_view ending : {".vhd", ".v"}) {
        if (name.size() > ending.size() && name.substr(name.size() - ending.size()) == ending) {
            return std::string(name.substr(0, name.size() - ending.size())) +
                   HdlExtension(language);
        }
    }
    return std::string(name);
}

std::string HeaderInLanguage(std::string_view vhdlHeader, HdlLanguage language) {
    std::string text(vhdlHeader);
    if (language != HdlLanguage::kVerilog) {
        return text;
    }
    for (size_t at = 0; at < text.size();) {
        if (text.compare(at, 2, "--") == 0) {
            text.replace(at, 2, "//");
        }
        const size_t end = text.find('\n', at);
        if (end == std::string::npos) {
            break;
        }
        at = end + 1;
    }
    return text;
}

} // namespace vhdl
