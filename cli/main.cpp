// vantrel-cli: the batch command line. Standard output carries only data; warnings, proposals
// and the engine's console notices go to standard error.
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "files/InputFile.h"
#include "files/OutputFile.h"

#include <cstdio>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace {

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

} // namespace

int main(int argc, char** argv) {
    GuardStandardStreams();
    files::UseStandardStreamNames(true); // "-" is standard input or output here
    return FinishOutput(cli::RunCommandLine(argc, argv));
}
