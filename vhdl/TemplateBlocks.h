// Section blocks: one template serves every IIR section count. Before the token substitution,
// the lines between a block's markers are written once per section, and small integer
// expressions of the section number and the section count are replaced by their values:
//
//   --@SECTION            (or //@SECTION) opens a block; the marker line is not written
//   --@END                (or //@END) closes it; blocks do not nest
//   @{EXPR}               the value of EXPR, in decimal
//   @{EXPR:W}             the same, right-aligned in W columns
//   @[COND]               at the start of a line: the line (without the prefix) is written only
//                         where COND holds
//
// EXPR is built from integers, `s` (the section number, 1..n, inside a block only), `n` (the
// section count), + - * / (integer division) and parentheses. COND is `first` (s = 1), `last`
// (s = n), or EXPR compared with EXPR by = != < <= > >=, optionally negated by a leading `!`.
// A template without these marks passes through unchanged, byte for byte.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vhdl {

struct BlockExpansion {
    std::string text;
    // The template line (from 1) each line of `text` came from.
    std::vector<int> sourceLines;
    // "template line L: ..." when the marks are malformed; `text` is then empty.
    std::string error;

    bool Ok() const { return error.empty(); }
};

// The template with every block written for s = 1..sections (none for 0 sections) and every
// expression replaced.
BlockExpansion ExpandSectionBlocks(std::string_view templateText, int sections);

// Why the template's marks cannot be expanded for any section count (an unclosed or nested
// block, an end without a block, an expression or condition that does not parse); empty when
// they can.
std::string SectionBlockError(std::string_view templateText);

} // namespace vhdl
