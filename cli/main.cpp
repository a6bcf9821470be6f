// vantrel-cli: the batch command line. Standard output carries only data; warnings, proposals
// and the engine's console notices go to standard error.
#include "app/OlvexDoc.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "files/OutputFile.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

namespace {

// One row per subcommand: its word, the options taking a value, the bare flags, its runner.
struct Subcommand {
    const char* name;
    const std::set<std::string>& (*valued)();
    const std::set<std::string>& (*flags)();
    int (*run)(const cli::CliArgs&, COlvexDoc&);
    // A first argument without "--" is the value of this option ("load FILE").
    const char* leadingOption = nullptr;
};

const Subcommand kSubcommands[] = {
    {"fir", cli::FirOptions, cli::CoefficientFlags, cli::RunFir},
    {"iir", cli::IirOptions, cli::CoefficientFlags, cli::RunIir},
    {"wave", cli::WaveOptions, cli::WaveFlags, cli::RunWave},
    {"load", cli::LoadOptions, cli::CoefficientFlags, cli::RunLoad, "file"},
};

void PrintUsage(std::FILE* out) {
    std::fputs("usage:\n"
               "  vantrel-cli fir [--type lpf|hpf|brf|bpf] [--fs F] [--edges E1,E2[,E3,E4]]\n"
               "                  [--taps N] [--rr RR] [--mult K] [--auto taps|edges]\n"
               "                  [--quantize B] [--report [--format real|bin|dec|hex]]\n"
               "                  [--response FILE]\n"
               "                  [--vhdl FILE] [--testbench FILE [--wave sine|square]\n"
               "                  [--freq F] [--user FILE]] [--data-bits D] [--template PATH]\n"
               "  vantrel-cli iir [--type lpf|hpf|brf|bpf] [--fs F] [--cutoff FC1[,FC2]]\n"
               "                  [--sections n] [--ripple AC] [--quantize B]\n"
               "                  [--report [--format real|bin|dec|hex]] [--response FILE]\n"
               "                  [the VHDL options of fir]\n"
               "  vantrel-cli wave [--structure fir|iir] [design options of fir or iir]\n"
               "                  [--wave sine|square] [--freq F] [--user FILE] [--quantize B]\n"
               "                  [--spectrum] [--mag-range R]\n"
               "  vantrel-cli load FILE [--structure fir|iir] [--quantize B]\n"
               "                  [--report [--format real|bin|dec|hex]] [--response FILE]\n"
               "  fir, iir and load also take --save-coeffs FILE (with --format)\n"
               "exit status: 0 done, 2 input refused, 3 design failed, 4 file not written\n",
               out);
    cli::PrintMeasureUsage(out);
}

// A standard stream the caller closed (">&-") is reopened on /dev/null for reading, so that no
// file the program opens later takes its number and receives the data meant for standard
// output; writing to it then fails, and that failure is reported.
void GuardStandardStreams() {
    for (int fd = 0; fd <= 2; ++fd) {
        if (fcntl(fd, F_GETFD) < 0) {
            const int opened = open("/dev/null", O_RDONLY);
            if (opened >= 0 && opened != fd) {
                close(opened);
            }
        }
    }
}

// Everything a command printed must have reached standard output; a failure there is reported
// like a file that could not be written.
int FinishOutput(int status) {
    std::string reason;
    if (!files::FinishStandardOutput(true, reason)) {
        std::fprintf(stderr, "vantrel-cli: standard output: %s\n", reason.c_str());
        return status == cli::kExitOk ? cli::kExitFileError : status;
    }
    return status;
}

int Run(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        PrintUsage(argc < 2 ? stderr : stdout);
        return argc < 2 ? cli::kExitInvalid : cli::kExitOk;
    }
    COlvexDoc doc;
    doc.m_fnConsole = [](const std::string& text) { std::fputs(text.c_str(), stderr); };

    for (const Subcommand& sub : kSubcommands) {
        if (std::strcmp(argv[1], sub.name) != 0) {
            continue;
        }
        cli::CliArgs args;
        std::string error;
        // The subcommand word is replaced by the option a leading value belongs to.
        int first = 2;
        std::string leading;
        std::vector<char*> words(argv, argv + argc);
        if (sub.leadingOption != nullptr && argc > 2 && std::strncmp(argv[2], "--", 2) != 0) {
            leading = std::string("--") + sub.leadingOption;
            words[1] = leading.data();
            first = 1;
        }
        if (!args.Parse(argc, words.data(), first, sub.valued(), sub.flags(), error)) {
            std::fprintf(stderr, "vantrel-cli %s: %s\n", sub.name, error.c_str());
            return cli::kExitInvalid;
        }
        return sub.run(args, doc);
    }
    std::fprintf(stderr, "vantrel-cli: unknown command '%s'\n", argv[1]);
    PrintUsage(stderr);
    return cli::kExitInvalid;
}

} // namespace

int main(int argc, char** argv) {
    GuardStandardStreams();
    return FinishOutput(Run(argc, argv));
}
