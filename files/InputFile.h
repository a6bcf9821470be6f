// The one way the program reads a file the user names: coefficient files, user waves and VHDL
// templates all come through ReadInputFile, in the window and in vantrel-cli alike, and each
// command reads its file once.
//
// A named file can be anything: a FIFO nobody writes to, an endless device, a file of several
// gigabytes. The reader never waits for a FIFO's writer and never takes more than a cap:
// - a regular file is read whole, and refused when it is larger than the cap;
// - a FIFO is read only when it has a writer (one that appears within kFifoWriterWait), and
//   refused when its writer stays silent for kFifoIdleWait or sends more than the cap;
// - a directory, a device or a socket is refused.
// A refusal gives a reason fit for a message line; nothing is read in part.
//
// In a program that takes the standard streams by name (vantrel-cli: UseStandardStreamNames),
// the name "-" stands for standard input, as it does for most command-line programs: it is read
// to its end, however long its writer takes, and refused beyond the cap like any file. A file
// actually called "-" is reached as "./-". Elsewhere (the window, whose standard input is
// nobody's to read) "-" is a file name like any other.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>

namespace files {

// Far more than any coefficient file, user wave or template the program could use.
constexpr size_t kMaxInputFileBytes = size_t{4} << 20;
// How long a FIFO without a writer is given to get one (a writer started just before the
// program), and how long a writer may stay silent before the FIFO is given up.
constexpr std::chrono::milliseconds kFifoWriterWait{250};
constexpr std::chrono::milliseconds kFifoIdleWait{2000};

// The name that stands for standard input here and for standard output in files/OutputFile.
inline constexpr const char* kStandardStreamPath = "-";
// Whether "-" names the standard streams in this process (off unless switched on, once, at the
// start of a command-line program).
void UseStandardStreamNames(bool use);
bool IsStandardStreamPath(const std::string& path);

struct InputFile {
    bool ok = false;
    bool opened = false; // the path could be opened (a refusal came later)
    std::string text;    // the file's bytes when ok
    std::string reason;  // why not, when !ok: the system's reason or one of the refusals above
};

// The bytes of `path`, at most `cap` of them, as described above.
InputFile ReadInputFile(const std::string& path, size_t cap = kMaxInputFileBytes);

// A path fit for a message line: as it is, or in double quotes with C escapes when it holds a
// control character (a newline in a name must not forge a second message line).
std::string QuotedPath(const std::string& path);

} // namespace files
