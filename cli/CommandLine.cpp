// The command line of vantrel-cli: the subcommand word, its options parsed against the option
// table, and the run on a fresh session. --help anywhere prints the table's help.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "cli/OptionTable.h"
#include "cli/PlotOptions.h"
#include "cli/Session.h"

namespace cli {

namespace {

struct Subcommand {
    const char* name;
    int (*run)(const CliArgs&, Session&);
    // A first argument without "--" is the value of this option ("load FILE").
    const char* leadingOption = nullptr;
};

const Subcommand kSubcommands[] = {
    {"fir", RunFir},
    {"iir", RunIir},
    {"wave", RunWave},
    {"load", RunLoad, "file"},
};

int PrintHelp(unsigned command, std::FILE* out) {
    std::fputs(HelpText(command).c_str(), out);
    if (command == 0 || command == kCmdFir || command == kCmdIir || command == kCmdLoad ||
        command == kCmdWave) {
        PrintMeasureUsage(out);
    }
    return out == stdout ? kExitOk : kExitInvalid;
}

int RunSubcommand(const Subcommand& sub, int argc, char** argv) {
    const unsigned bit = CommandBitOf(sub.name);
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            return PrintHelp(bit, stdout);
        }
    }
    // The subcommand word is replaced by the option a leading value belongs to.
    int first = 2;
    std::string leading;
    std::vector<char*> words(argv, argv + argc);
    if (sub.leadingOption != nullptr && argc > 2 && std::strncmp(argv[2], "--", 2) != 0) {
        leading = std::string("--") + sub.leadingOption;
        words[1] = leading.data();
        first = 1;
    }
    CliArgs args;
    std::string error;
    if (!args.Parse(argc, words.data(), first, ValuedOptions(bit), FlagOptions(bit), error)) {
        std::fprintf(stderr, "vantrel-cli %s: %s (vantrel-cli %s --help lists the options)\n",
                     sub.name, error.c_str(), sub.name);
        return kExitInvalid;
    }
    int status = CheckPlotOptions(args);
    if (status != kExitOk) {
        return status;
    }
    Session session;
    status = sub.run(args, session);
    // A design short of the optimum still stands, so its plot is drawn too.
    if (status == kExitOk || status == kExitShortOfOptimum) {
        const int plotted = WritePlotOption(args, session);
        status = plotted != kExitOk ? plotted : status;
    }
    return status;
}

} // namespace

int RunCommandLine(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        return PrintHelp(0, argc < 2 ? stderr : stdout);
    }
    for (const Subcommand& sub : kSubcommands) {
        if (std::strcmp(argv[1], sub.name) == 0) {
            return RunSubcommand(sub, argc, argv);
        }
    }
    std::fprintf(stderr, "vantrel-cli: unknown command '%s' (expected fir, iir, wave or load)\n",
                 argv[1]);
    PrintHelp(0, stderr);
    return kExitInvalid;
}

} // namespace cli
