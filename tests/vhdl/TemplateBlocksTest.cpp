// Section blocks: the lines of a block written once per section with the section's numbers and
// conditions, the coefficient and width tokens inside a block, the malformed blocks refused
// with their template line, and the shipped folded and parallel IIR templates written for
// every section count.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "dsp/FilterCoefficients.h"
#include "vhdl/TemplateBlocks.h"
#include "vhdl/VhdlText.h"

namespace {

// n sections, section s (from 1) with a0 = s / 16 and the rest 0, quantized to 8 bits.
dsp::FilterCoefficients IirOf(int n) {
    std::vector<dsp::Section> sections;
    for (int s = 1; s <= n; ++s) {
        sections.push_back({s / 16.0, 0.0, 0.0, 0.0, 0.0});
    }
    return dsp::IirCoefficients(sections, n, true, 8);
}

std::string ShippedTemplate(const std::string& name) {
    std::ifstream in(std::string(VANTREL_SOURCE_DIR) + "/vhdl/templates/" + name, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(SectionBlocks, WrittenOncePerSection) {
    const std::string table = "begin\n"
                              "--@SECTION\n"
                              "@[!last]  @{s-1} => x, -- section @{s} of @{n}\n"
                              "@[last]  @{s-1} => x -- section @{s} of @{n}\n"
                              "--@END\n"
                              "end\n";
    const std::string verilog = "//@SECTION  the case items\n"
                                "  @{8*(s-1)+4:3}: c = @{s*s};\n"
                                "//@END\n";
    const struct {
        const char* name;
        std::string text;
        int n;
        std::string expected;
        std::vector<int> sourceLines;
    } cases[] = {
        {"one section", table, 1, "begin\n  0 => x -- section 1 of 1\nend\n", {1, 4, 6}},
        {"two sections",
         table,
         2,
         "begin\n  0 => x, -- section 1 of 2\n  1 => x -- section 2 of 2\nend\n",
         {1, 3, 4, 6}},
        {"eight sections",
         table,
         8,
         "begin\n  0 => x, -- section 1 of 8\n  1 => x, -- section 2 of 8\n"
         "  2 => x, -- section 3 of 8\n  3 => x, -- section 4 of 8\n"
         "  4 => x, -- section 5 of 8\n  5 => x, -- section 6 of 8\n"
         "  6 => x, -- section 7 of 8\n  7 => x -- section 8 of 8\nend\n",
         {1, 3, 3, 3, 3, 3, 3, 3, 4, 6}},
        {"no sections: the block is not written", table, 0, "begin\nend\n", {1, 6}},
        {"aligned values and a remark after the marker",
         verilog,
         3,
         "    4: c = 1;\n   12: c = 4;\n   20: c = 9;\n",
         {2, 2, 2}},
        {"first and comparisons",
         "--@SECTION\n@[first]a\n@[s>=2]b@{s}\n@[!s=3]c\n@[s != n]d\n--@END\n",
         3,
         "a\nc\nd\nb2\nc\nd\nb3\n",
         {2, 4, 5, 3, 4, 5, 3}},
        {"the count outside a block, and its conditions",
         "@[n=1]one section\n@[n>1]@{n} sections, @{5*n+2} and @{n/2} clocks\n",
         5,
         "5 sections, 27 and 2 clocks\n",
         {2}},
        {"a value too wide for its field keeps its digits", "@{n*100:2}\n", 8, "800\n", {1}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const vhdl::BlockExpansion expanded = vhdl::ExpandSectionBlocks(c.text, c.n);
        ASSERT_TRUE(expanded.Ok()) << expanded.error;
        EXPECT_EQ(expanded.text, c.expected);
        EXPECT_EQ(expanded.sourceLines, c.sourceLines);
    }
    // Text without the marks is copied byte for byte, CR LF and a last line without its end
    // included; Verilog's @ and marks that are not whole words are plain text.
    const std::string plain =
        "always @(posedge clk) begin\r\n  x <= @y; // @ {}\r\n--@SECTIONS\n//@ENDING\nz@";
    const vhdl::BlockExpansion copied = vhdl::ExpandSectionBlocks(plain, 4);
    ASSERT_TRUE(copied.Ok()) << copied.error;
    EXPECT_EQ(copied.text, plain);
}

// A malformed mark is refused with its template line and nothing written.
TEST(SectionBlocks, MalformedMarksAreRefusedWithTheirLine) {
    const struct {
        const char* text;
        const char* error;
    } cases[] = {
        {"a\n--@SECTION\nb\n", "template line 2: the section block opened here has no \"--@END\""},
        {"//@SECTION\nb\n", "template line 1: the section block opened here has no \"//@END\""},
        {"--@SECTION\n--@SECTION\n--@END\n--@END\n",
         "template line 2: \"--@SECTION\" inside the section block opened on line 1 (blocks do "
         "not nest)"},
        {"a\n--@END\n", "template line 2: \"--@END\" without a section block"},
        {"--@SECTION\n--@END\n//@END\n", "template line 3: \"//@END\" without a section block"},
        {"x @{s+1\ny}\n", "template line 1: \"@{s+1\" has no closing \"}\""},
        {"a\r\nx // @{ in a comment\r\n",
         "template line 2: \"@{ in a comment\" has no closing \"}\""},
        {"--@SECTION\nx @{s+}\n--@END\n",
         "template line 2: \"@{s+}\" is not an expression of s and n: a number, s, n or \"(\" "
         "expected at the end"},
        {"x @{s}\n",
         "template line 1: \"@{s}\" is not an expression of s and n: s is only known inside a "
         "section block"},
        {"@[last]x\n",
         "template line 1: \"@[last]\" is not a condition: s is only known inside a section "
         "block"},
        {"--@SECTION\n@[middle]x\n--@END\n",
         "template line 2: \"@[middle]\" is not a condition: a number, s, n or \"(\" expected at "
         "\"middle\""},
        {"--@SECTION\n@[s]x\n--@END\n",
         "template line 2: \"@[s]\" is not a condition: a comparison (= != < <= > >=), first or "
         "last expected"},
        {"@[n=1 x\n", "template line 1: \"@[\" has no closing \"]\""},
        {"@{n:0}\n", "template line 1: \"@{n:0}\": the width after \":\" must be 1..99"},
        {"@{n:w}\n", "template line 1: \"@{n:w}\": the width after \":\" must be 1..99"},
        {"@{n/(n-n)}\n",
         "template line 1: \"@{n/(n-n)}\" is not an expression of s and n: division by zero"},
        {"@{(n+1}\n", "template line 1: \"@{(n+1}\" is not an expression of s and n: \")\" "
                      "expected"},
        {"@{n n}\n",
         "template line 1: \"@{n n}\" is not an expression of s and n: unexpected \"n\""},
        {"@{999999*999999*999999}\n",
         "template line 1: \"@{999999*999999*999999}\" is not an expression of s and n: the value "
         "is too large"},
    };
    const std::string deep = "@{" + std::string(100000, '(') + "n}\n";
    EXPECT_EQ(vhdl::SectionBlockError(deep).substr(0, 16), "template line 1:");
    EXPECT_NE(vhdl::SectionBlockError(deep).find("nested too deeply"), std::string::npos);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const vhdl::BlockExpansion expanded = vhdl::ExpandSectionBlocks(c.text, 2);
        EXPECT_EQ(expanded.error, c.error);
        EXPECT_TRUE(expanded.text.empty());
        EXPECT_TRUE(expanded.sourceLines.empty());
        // The same whatever the count, a block's lines included when none is written.
        EXPECT_EQ(vhdl::SectionBlockError(c.text), c.error);
    }
    // A FIR design writes no sections, yet its template's blocks are checked.
    const dsp::FilterCoefficients fir =
        dsp::FirCoefficients(std::vector<double>(4, 0.25), 4, 4, 1, true, 8);
    EXPECT_EQ(vhdl::TemplateBlockError(fir, "--@SECTION\n@{s:}\n--@END\n"),
              "template line 2: \"@{s:}\": the width after \":\" must be 1..99");
    EXPECT_EQ(vhdl::TemplateBlockError(IirOf(3), "--@SECTION\nrepa0 @{s}\n--@END\n"), "");
}

// Inside a block the coefficient tokens take each section's values in turn and the width tokens
// their numbers; a token left over is told at the template line it came from.
TEST(SectionBlocks, TokensInsideABlock) {
    const std::string text = "--@SECTION\n"
                             "s@{s}: repa0 repa1 repa2 repb1 repb2 COB-1\n"
                             "--@END\n";
    const struct {
        int n;
        std::string expected;
    } cases[] = {
        {1, "s1: 0000001000 0000000000 0000000000 0000000000 0000000000  9\n"},
        {2, "s1: 0000001000 0000000000 0000000000 0000000000 0000000000  9\n"
            "s2: 0000010000 0000000000 0000000000 0000000000 0000000000  9\n"},
        {8, "s1: 0000001000 0000000000 0000000000 0000000000 0000000000  9\n"
            "s2: 0000010000 0000000000 0000000000 0000000000 0000000000  9\n"
            "s3: 0000011000 0000000000 0000000000 0000000000 0000000000  9\n"
            "s4: 0000100000 0000000000 0000000000 0000000000 0000000000  9\n"
            "s5: 0000101000 0000000000 0000000000 0000000000 0000000000  9\n"
            "s6: 0000110000 0000000000 0000000000 0000000000 0000000000  9\n"
            "s7: 0000111000 0000000000 0000000000 0000000000 0000000000  9\n"
            "s8: 0001000000 0000000000 0000000000 0000000000 0000000000  9\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.n);
        int index = 0;
        EXPECT_EQ(vhdl::SubstituteTemplate(IirOf(c.n), 12, text, vhdl::HeaderVariant::kFile, index),
                  c.expected);
        EXPECT_EQ(index, c.n);
        EXPECT_TRUE(vhdl::FindLeftoverTokens(IirOf(c.n), 12, text).empty());
    }
    // A FIR token in an IIR block is left once per section, told at the template line it is on.
    const std::vector<vhdl::LeftoverToken> left = vhdl::FindLeftoverTokens(
        IirOf(2), 12, "x\ny\n--@SECTION\nrepa0 repb2 TAPN\n--@END\nreph  0\n");
    ASSERT_EQ(left.size(), 3u);
    EXPECT_EQ(left[0].line, 4);
    EXPECT_EQ(left[0].token, "TAPN");
    EXPECT_EQ(left[1].line, 4);
    EXPECT_EQ(left[2].line, 6);
    EXPECT_EQ(left[2].token, "reph  0");
}

// The shipped templates of every section count: each section's coefficients once, nothing left,
// the count and the last section in the right places.
TEST(SectionBlocks, ShippedTemplatesForEveryCount) {
    const struct {
        const char* name;
        const char* countLine;     // with %d for n
        const char* lastTableLine; // with %d, %d for n - 1 and n
    } templates[] = {
        {"iirfilter_folded.vhd", "  constant sections   : integer := %d;\n",
         "    %d => (\"repa0\", \"repa1\", \"repa2\", \"repb1\", \"repb2\") -- section %d\n"},
        {"iirfilter_parallel.vhd", "  constant sections   : integer := %d;\n",
         "    %d => (\"repa0\", \"repa1\", \"repa2\", \"repb1\", \"repb2\") -- section %d\n"},
        {"iirfilter_folded.v", "  localparam sections   = %d;\n",
         "        %3d: coeff = COB'brepb2; // section %d nb2\n"},
        {"iirfilter_parallel.v", "  localparam sections   = %d;\n",
         "        %2d: coeff = COB'brepb2; // section %d nb2\n"},
    };
    for (const auto& t : templates) {
        const std::string text = ShippedTemplate(t.name);
        ASSERT_FALSE(text.empty()) << t.name;
        EXPECT_EQ(vhdl::SectionBlockError(text), "") << t.name;
        for (int n = 1; n <= 8; ++n) {
            SCOPED_TRACE(std::string(t.name) + " n=" + std::to_string(n));
            const vhdl::BlockExpansion expanded = vhdl::ExpandSectionBlocks(text, n);
            ASSERT_TRUE(expanded.Ok()) << expanded.error;
            char line[160];
            std::snprintf(line, sizeof line, t.countLine, n);
            EXPECT_NE(expanded.text.find(line), std::string::npos) << line;
            const bool verilog = std::string(t.name).ends_with(".v");
            std::snprintf(line, sizeof line, t.lastTableLine, verilog ? 8 * (n - 1) + 4 : n - 1, n);
            if (std::string(t.name) == "iirfilter_parallel.v") {
                std::snprintf(line, sizeof line, t.lastTableLine, 5 * (n - 1) + 4, n);
            }
            EXPECT_NE(expanded.text.find(line), std::string::npos) << line;
            EXPECT_EQ(expanded.text.find('@' + std::string("{")), std::string::npos);
            int index = 0;
            vhdl::SubstituteTemplate(IirOf(n), 12, text, vhdl::HeaderVariant::kFile, index);
            EXPECT_EQ(index, n) << "each section's coefficients taken once";
            EXPECT_TRUE(vhdl::FindLeftoverTokens(IirOf(n), 12, text).empty());
        }
    }
}

} // namespace
