// The language of the generated text: which names say which language, the Verilog header, the
// module a Verilog text declares, and the Verilog testbench's expected outputs against the VHDL
// one's (both from the bit-true model).
#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "dsp/FilterCoefficients.h"
#include "vhdl/HardwareReport.h"
#include "vhdl/HdlLanguage.h"
#include "vhdl/Testbench.h"
#include "vhdl/VhdlText.h"

namespace {

using vhdl::HdlLanguage;

TEST(HdlLanguage, FileNamesSayTheirLanguage) {
    const struct {
        const char* path;
        std::optional<HdlLanguage> language;
    } cases[] = {
        {"filter.v", HdlLanguage::kVerilog},
        {"tb.SV", HdlLanguage::kVerilog},
        {"/a.vhd/b.sv", HdlLanguage::kVerilog},
        {"firfilter.vhd", HdlLanguage::kVhdl},
        {"x.VHDL", HdlLanguage::kVhdl},
        {"filter.txt", std::nullopt},
        {"v", std::nullopt},
        {"filter.vh", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(vhdl::LanguageOfPath(c.path), c.language) << c.path;
    }
    EXPECT_EQ(vhdl::TemplateLanguage("my.template", HdlLanguage::kVerilog), HdlLanguage::kVerilog);
    EXPECT_EQ(vhdl::TemplateLanguage("my.vhd", HdlLanguage::kVerilog), HdlLanguage::kVhdl);
}

TEST(HdlLanguage, NamesTakeTheLanguagesExtension) {
    const struct {
        const char* name;
        HdlLanguage language;
        const char* expected;
    } cases[] = {
        {"test0.vhd", HdlLanguage::kVerilog, "test0.v"},
        {"test0.v", HdlLanguage::kVhdl, "test0.vhd"},
        {"test0.vhd", HdlLanguage::kVhdl, "test0.vhd"},
        {"iirfilter3_folded.vhd", HdlLanguage::kVerilog, "iirfilter3_folded.v"},
        {"notes", HdlLanguage::kVerilog, "notes"},
        {".v", HdlLanguage::kVhdl, ".v"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(vhdl::WithLanguageExtension(c.name, c.language), c.expected) << c.name;
    }
}

// The Verilog header is the VHDL one line for line, each comment marker "--" written "//".
TEST(HdlLanguage, VerilogHeaderIsTheVhdlHeaderInLineComments) {
    vhdl::HeaderSource source;
    source.filterType = 3;
    source.shownTaps = 61;
    source.quantBits = 16;
    source.dataBits = 12;
    vhdl::HeaderValues values = vhdl::FormatHeaderValues(source);
    values.architecture = "folded, 4 multipliers, 9 clocks per sample";
    for (const vhdl::HeaderVariant variant :
         {vhdl::HeaderVariant::kFile, vhdl::HeaderVariant::kDisplay}) {
        const std::string vhdlHeader = vhdl::BuildVhdlHeader(variant, false, values);
        const std::string verilog = vhdl::HeaderInLanguage(vhdlHeader, HdlLanguage::kVerilog);
        EXPECT_EQ(vhdl::HeaderInLanguage(vhdlHeader, HdlLanguage::kVhdl), vhdlHeader);
        ASSERT_EQ(verilog.size(), vhdlHeader.size());
        std::istringstream vhdlLines(vhdlHeader);
        std::istringstream verilogLines(verilog);
        std::string a;
        std::string b;
        int lines = 0;
        while (std::getline(vhdlLines, a) && std::getline(verilogLines, b)) {
            ++lines;
            ASSERT_EQ(a.substr(0, 2), "--");
            EXPECT_EQ(b.substr(0, 2), "//");
            EXPECT_EQ(a.substr(2), b.substr(2));
        }
        EXPECT_GE(lines, 10);
    }
}

TEST(HdlLanguage, ModuleNameOfAVerilogText) {
    const struct {
        const char* text;
        const char* name;
    } cases[] = {
        {"// module commented (\nmodule firfilter (\n  input wire clk", "firfilter"},
        {"  module iirfilter(clk);\nendmodule\n", "iirfilter"},
        {"entity firfilter is\n", ""},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(vhdl::FindModuleName(c.text), c.name) << c.text;
    }
}

// The integers of every "name[i] = v;" in a Verilog testbench, in index order.
std::vector<long long> VerilogTable(const std::string& text, const std::string& name) {
    std::vector<long long> values;
    const std::regex entry("\\b" + name + "\\[(\\d+)\\] = (-?\\d+);");
    for (std::sregex_iterator it(text.begin(), text.end(), entry), end; it != end; ++it) {
        const size_t index = std::stoul((*it)[1].str());
        values.resize(std::max(values.size(), index + 1));
        values[index] = std::stoll((*it)[2].str());
    }
    return values;
}

// The integers of the VHDL testbench's "constant name : sample_array := ( ... );".
std::vector<long long> VhdlTable(const std::string& text, const std::string& name) {
    const size_t start = text.find("constant " + name + " : sample_array := (");
    const size_t open = text.find('(', start);
    const size_t close = text.find(')', open);
    std::vector<long long> values;
    std::string body = text.substr(open + 1, close - open - 1);
    std::replace(body.begin(), body.end(), ',', ' ');
    std::istringstream in(body);
    long long v = 0;
    while (in >> v) {
        values.push_back(v);
    }
    return values;
}

TEST(HdlLanguage, VerilogTestbenchChecksTheSameSamplesAsTheVhdlOne) {
    std::vector<double> h(31, 0.0);
    for (size_t k = 0; k < h.size(); ++k) {
        h[k] = 0.02 * static_cast<double>(k % 7) - 0.05;
    }
    std::vector<dsp::Section> sections(8, dsp::Section{1.0, 0.0, 0.0, 0.0, 0.0});
    sections[0] = {0.2, 0.4, 0.2, -0.6, 0.2};
    std::vector<double> wave(300);
    for (size_t i = 0; i < wave.size(); ++i) {
        wave[i] = 60.0 * std::sin(0.37 * static_cast<double>(i)); // clips at D bits too
    }
    for (const dsp::FilterCoefficients& c : {dsp::FirCoefficients(h, 31, 31, 1, true, 12),
                                             dsp::IirCoefficients(sections, 2, true, 16)}) {
        for (const int dataBits : {4, 12, 24}) {
            const std::string vhdlText =
                vhdl::BuildTestbench(c, dataBits, wave, HdlLanguage::kVhdl);
            const std::string verilog =
                vhdl::BuildTestbench(c, dataBits, wave, HdlLanguage::kVerilog);
            EXPECT_NE(verilog.find(c.iir ? "module iirfilter_tb;" : "module firfilter_tb;"),
                      std::string::npos);
            for (const char* table : {"stimulus", "expected"}) {
                const std::vector<long long> fromVhdl = VhdlTable(vhdlText, table);
                // The wave, then the full-scale burst: twice the taps, or twice the 128 samples
                // of an IIR impulse response.
                EXPECT_EQ(fromVhdl.size(), wave.size() + 2 * (c.iir ? 128 : 31)) << table;
                EXPECT_EQ(VerilogTable(verilog, table), fromVhdl)
                    << table << " iir " << c.iir << " D " << dataBits;
            }
        }
    }
}

} // namespace
