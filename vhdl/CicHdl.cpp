#include "vhdl/CicHdl.h"

#include <utility>

namespace vhdl {

std::string CicTemplateName(const dsp::CicParams& params, HdlLanguage language) {
    return std::string(params.interpolate ? "cic_interpolator" : "cic_decimator") +
           HdlExtension(language);
}

std::string CicHdlText(const dsp::CicParams& p, std::string_view templateText,
                       HdlLanguage language) {
    const dsp::CicStructure s = dsp::DescribeCic(p);
    const std::pair<const char*, int> tokens[] = {
        {"CICSTAGES", p.stages}, {"CICRATE", p.rate},          {"CICDELAY", p.delay},
        {"CICDATA", p.dataBits}, {"CICWIDTH", s.registerBits}, {"CICSHIFT", s.growth},
    };
    std::string text(templateText);
    for (const auto& [token, value] : tokens) {
        const std::string name(token);
        const std::string replacement = std::to_string(value);
        for (size_t at = text.find(name); at != std::string::npos;
             at = text.find(name, at + replacement.size())) {
            text.replace(at, name.size(), replacement);
        }
    }
    const std::string header =
        std::string("-- CIC ") + (p.interpolate ? "interpolator" : "decimator") + "\n" +
        "-- Stages = " + std::to_string(p.stages) + "\n" + "-- Rate = " + std::to_string(p.rate) +
        "\n" + "-- Differential Delay = " + std::to_string(p.delay) + "\n" +
        "-- Data Bits = " + std::to_string(p.dataBits) + "\n" +
        "-- Register Bits = " + std::to_string(s.registerBits) + "\n" +
        "-- Output Shift = " + std::to_string(s.growth) + "\n";
    return HeaderInLanguage(header, language) + text;
}

} // namespace vhdl
