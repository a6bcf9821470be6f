// The user wave file: numbers separated by white space, in any form "%f" takes, each taken as a
// single-precision value. The In/Out Wave command and `vantrel-cli wave --user` read it into the
// input wave buffer through the bounded reader (files/InputFile.h).
#pragma once

#include <span>
#include <string>

namespace files {

struct UserWaveRead {
    bool opened = false;     // false: the file could not be opened
    std::string reason;      // not empty: the file could not be opened or was refused (a folder,
                             // a device, a FIFO without a writer, over the size cap, an I/O
                             // error); the buffer is unchanged
    int count = 0;           // values stored from the start of the buffer
    bool complete = false;   // true: reading ended at the end of the file or with a full buffer;
                             // false: it stopped at `token` on `line`, which is not a finite number
    bool outOfRange = false; // when !complete: the token is a number too large for a sample
    int line = 0;            // line (from 1) of the token where reading stopped, when !complete
    std::string token;       // that token, at most kShownTokenLength characters
    bool moreValues = false; // the buffer was filled and the file holds more after it

    // A file that gives no wave: refused, stopped at a token, or holding no values at all.
    bool Failed() const { return !reason.empty() || !complete || count == 0; }
};

constexpr size_t kShownTokenLength = 40;

// Reads the whole file first; only a file that was read (to a full buffer, or to a token that
// is not a number) and holds at least one value touches the buffer. Then it clears the whole
// buffer and stores the numbers in order, at most wave.size(). A token that is not a number
// (or not finite) ends the reading there; what was read before it stays. A NUL byte is an
// invalid character at its position.
UserWaveRead ReadUserWave(const std::string& path, std::span<double> wave);

// The message for a reading, empty for a complete one that fitted the buffer:
// "PATH cannot be opened: REASON", "PATH cannot be read: REASON",
// "PATH, line L: "TOKEN" is not a number; N values were read before it" (or "is out of range"),
// "PATH holds no values", or, for a wave that was used,
// "PATH holds more than the 700 values a wave can hold; the first 700 are used".
std::string DescribeUserWaveRead(const std::string& path, const UserWaveRead& read,
                                 size_t capacity);

} // namespace files
