// The HDL of a CIC filter: the cic_decimator template with its constants substituted.
#pragma once

#include <string>
#include <string_view>

#include "dsp/Cic.h"
#include "vhdl/HdlLanguage.h"

namespace vhdl {

// The template's file name in the language: "cic_decimator.vhd", "cic_interpolator.v".
std::string CicTemplateName(const dsp::CicParams& params, HdlLanguage language);

// A header comment naming the filter, then `templateText` with CICSTAGES, CICRATE, CICDELAY,
// CICDATA, CICWIDTH and CICSHIFT replaced by the filter's values.
std::string CicHdlText(const dsp::CicParams& params, std::string_view templateText,
                       HdlLanguage language);

} // namespace vhdl
