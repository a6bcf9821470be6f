// The hardware description language the filter text is written in. Every template exists in
// both: "firfilter.vhd" beside "firfilter.v", "iirfilter_folded.vhd" beside
// "iirfilter_folded.v", with the same module, ports, arithmetic and clocks per sample, so the
// bit-true model covers both. The header records the same design in the language's comments.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vhdl {

enum class HdlLanguage { kVhdl, kVerilog };

// "VHDL", "Verilog".
const char* HdlLanguageName(HdlLanguage language);
// The extension of the language's templates and of the file the window proposes: ".vhd", ".v".
const char* HdlExtension(HdlLanguage language);

// The language a file name says: ".v" and ".sv" are Verilog, ".vhd" and ".vhdl" VHDL (any
// letter case); nothing for any other name.
std::optional<HdlLanguage> LanguageOfPath(std::string_view path);
// The language of a template: the one its name says, else `chosen`.
HdlLanguage TemplateLanguage(std::string_view templatePath, HdlLanguage chosen);

// A template or output file name in the language: a ".vhd" (VHDL) or ".v" (Verilog) ending is
// swapped for the language's; any other name gets nothing appended.
std::string WithLanguageExtension(std::string_view name, HdlLanguage language);

// The VHDL comment header in the language: each line's leading "--" becomes "//" for Verilog;
// unchanged for VHDL.
std::string HeaderInLanguage(std::string_view vhdlHeader, HdlLanguage language);

} // namespace vhdl
