#include "vhdl/CicHdl.h"

#include <utility>
#include <vector>

namespace vhdl {

std::string CicTemplateName(const dsp::CicParams& params, HdlLanguage language) {
    return std::string(params.interpolate ? "cic_interpolator"
                       : params.prune     ? "cic_decimator_pruned"
                       : params.pipeline  ? "cic_decimator_pipelined"
                                          : "cic_decimator") +
           HdlExtension(language);
}

std::string CicHdlText(const dsp::CicParams& p, std::string_view templateText,
                       HdlLanguage language) {
    const dsp::CicStructure s = dsp::DescribeCic(p);
    const std::pair<const char*, int> tokens[] = {
        {"CICSTAGES", p.stages}, {"CICRATE", p.rate},          {"CICDELAY", p.delay},
        {"CICDATA", p.dataBits}, {"CICWIDTH", s.registerBits}, {"CICSHIFT", s.growth},
    };
    std::vector<std::pair<std::string, std::string>> replacements;
    for (const auto& [token, value] : tokens) {
        replacements.emplace_back(token, std::to_string(value));
    }
    const dsp::CicPruning pruning = p.prune ? dsp::PruneCic(p) : dsp::CicPruning{};
    std::string dropped;
    if (p.prune) {
        // VHDL: an aggregate in stage order; Verilog: a concatenation of 8-bit fields, the last
        // stage's first, so that stage j's field is drops[8*(j-1) +: 8].
        std::string list;
        for (size_t j = 0; j < pruning.dropped.size(); ++j) {
            const std::string bits = std::to_string(pruning.dropped[j]);
            const std::string comma = j == 0 ? "" : ", ";
            list =
                language == HdlLanguage::kVhdl ? list + comma + bits : "8'd" + bits + comma + list;
            dropped += (j == 0 ? "" : " ") + bits;
        }
        replacements.emplace_back("CICDROPS",
                                  language == HdlLanguage::kVhdl ? list : "{" + list + "}");
    }
    std::string text(templateText);
    for (const auto& [name, replacement] : replacements) {
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
        "-- Output Shift = " + std::to_string(s.growth) + "\n" +
        (p.prune ? "-- Dropped Bits = " + dropped + "\n" +
                       "-- Error Bound = " + std::to_string(pruning.errorBound) + "\n"
                 : std::string());
    return HeaderInLanguage(header, language) + text;
}

} // namespace vhdl
