// The one way the program writes a file. Every writer (the response table, coefficient files,
// VHDL and testbenches) hands its whole text to WriteOutputFile, so that a failed save never
// leaves a half-written file where a good one stood and never replaces anything but the target:
// - a target that exists and is not a regular file (a device, a FIFO) is written in place;
// - a symbolic link is followed and the file it names is replaced;
// - a regular file (or a new one) is written to a uniquely named temporary file in the same
//   folder, flushed, given the old file's mode, closed and renamed over the target;
// - a stream the program has open ("/proc/self/fd/N", "/dev/fd/N", "/dev/stdout", or the file
//   standard output or standard error writes to) is written in place, after what the stream
//   already holds.
// - "-" is standard output, as for most command-line programs: the text is written to it after
//   what the program printed there so far (a file actually called "-" is reached as "./-").
// On any failure the temporary file is removed and the old file is left as it was.
#pragma once

#include <string>
#include <string_view>

namespace files {

struct OutputResult {
    bool ok = false;
    std::string path;   // the target as the caller named it
    std::string reason; // the system's reason when !ok (strerror text), empty otherwise

    // "PATH: REASON" ("standard output: REASON" for "-"), for a message line.
    std::string Describe() const;
};

// Writes `content` to `path` as described above.
OutputResult WriteOutputFile(const std::string& path, std::string_view content);

// Checks that everything written to standard output so far has reached it: flushes it and tests
// its error flag. With `close` it also closes it, which reports errors the flush could not see.
// On failure `reason` holds the system's reason. Commands call it after their last write and map
// a failure to exit status 4.
bool FinishStandardOutput(bool close, std::string& reason);

} // namespace files
