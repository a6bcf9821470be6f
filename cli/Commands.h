// The subcommands of vantrel-cli.
#pragma once

#include <set>
#include <string>

class COlvexDoc;

namespace cli {

class CliArgs;

// fir: design from --type --fs --edges --taps --rr --mult --auto; prints the taps.
const std::set<std::string>& FirOptions();
int DesignFirFromArgs(const CliArgs& args, COlvexDoc& doc);
int RunFir(const CliArgs& args, COlvexDoc& doc);

} // namespace cli
