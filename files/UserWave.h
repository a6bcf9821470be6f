// The user wave file: numbers separated by white space, in any form "%f" reads, each taken as a
// single-precision value. The In/Out Wave command reads it into the input wave buffer.
#pragma once

#include <span>
#include <string>

namespace files {

struct UserWaveRead {
    bool opened = false;   // false: the file could not be opened and the buffer is unchanged
    int count = 0;         // values stored from the start of the buffer
    bool complete = false; // true: reading ended at the end of the file or with a full buffer;
                           // false: it stopped at a token that is not a finite number
};

// Clears the whole buffer, then stores the file's numbers in order, at most wave.size(). A token
// that is not a number (or not finite) ends the reading there; what was read before it stays.
// A file that cannot be opened changes nothing.
UserWaveRead ReadUserWave(const std::string& path, std::span<double> wave);

} // namespace files
