// The options of vantrel-cli, one table for the parser and the help text: each row names an
// option, its value, its default and the subcommands that take it.
#pragma once

#include <cstdio>
#include <set>
#include <string>
#include <vector>

class COlvexDoc;

namespace cli {

// Subcommands, as bits of OptionRow::commands.
enum CommandBit : unsigned { kCmdFir = 1, kCmdIir = 2, kCmdWave = 4, kCmdLoad = 8 };

struct OptionRow {
    const char* name;  // without the leading "--"
    const char* value; // the value's placeholder; nullptr for a flag
    // The default as --help shows it, from a fresh document where the document holds it.
    std::string (*fallback)(const COlvexDoc& fresh);
    const char* help;
    unsigned commands;
};

const std::vector<OptionRow>& OptionTable();

// The bit of a subcommand word; 0 when unknown.
unsigned CommandBitOf(const std::string& command);

// The options of a subcommand that take a value, and its bare flags.
std::set<std::string> ValuedOptions(unsigned command);
std::set<std::string> FlagOptions(unsigned command);

// The help of one subcommand, or of all of them with command 0.
std::string HelpText(unsigned command);

} // namespace cli
