// The user wave file: numbers separated by white space, in any form "%f" takes, each taken as a
// single-precision value. The In/Out Wave command and `vantrel-cli wave --user` read it into the
// input wave buffer.
#pragma once

#include <span>
#include <string>

namespace files {

struct UserWaveRead {
    bool opened = false;   // false: the file could not be opened
    int error = 0;         // not 0: the file could not be opened or read (a folder, an I/O
                           // error); the buffer is unchanged and this is the system's errno
    int count = 0;         // values stored from the start of the buffer
    bool complete = false; // true: reading ended at the end of the file or with a full buffer;
                           // false: it stopped at `token` on `line`, which is not a finite number
    int line = 0;          // line (from 1) of the token where reading stopped, when !complete
    std::string token;     // that token, at most kShownTokenLength characters
};

constexpr size_t kShownTokenLength = 40;

// Reads the whole file first; only a file read to its end (or to a full buffer, or to a token
// that is not a number) touches the buffer. Then it clears the whole buffer and stores the
// numbers in order, at most wave.size(). A token that is not a number (or not finite) ends the
// reading there; what was read before it stays.
UserWaveRead ReadUserWave(const std::string& path, std::span<double> wave);

// The message for a reading that failed or stopped early, empty for a complete one:
// "PATH cannot be opened: REASON", "PATH cannot be read: REASON" or
// "PATH, line L: "TOKEN" is not a number; N values were read before it".
std::string DescribeUserWaveRead(const std::string& path, const UserWaveRead& read);

} // namespace files
