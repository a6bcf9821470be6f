// Reading a user wave. The file is split into white-space separated tokens and each token is
// converted as "%f" would take it, piece by piece, so "1.5,2.5" yields 1.5 and then stops at
// ",2.5". Reading is done into a scratch buffer: a file that fails half way (a folder, a device
// error) must not wipe the wave the user already has.
#include "files/UserWave.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace files {

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// Longer tokens than this are not taken as numbers (they are kept for the message only).
constexpr size_t kMaxTokenLength = 512;

bool IsSpace(int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads the next token into `token` (empty at the end of the file) and counts the line breaks
// before it in `line`. Returns false on a read error, with errno kept in `error`.
bool NextToken(std::FILE* file, std::string& token, int& line, int& error) {
    token.clear();
    int c = std::getc(file);
    while (c != EOF && IsSpace(c)) {
        if (c == '\n') {
            ++line;
        }
        c = std::getc(file);
    }
    while (c != EOF && !IsSpace(c)) {
        if (token.size() <= kMaxTokenLength) {
            token += static_cast<char>(c);
        }
        c = std::getc(file);
    }
    if (c == EOF && std::ferror(file)) {
        error = errno != 0 ? errno : EIO;
        return false;
    }
    if (c == '\n') {
        std::ungetc(c, file); // counted with the next token's leading space
    }
    return true;
}

} // namespace

UserWaveRead ReadUserWave(const std::string& path, std::span<double> wave) {
    UserWaveRead result;
    errno = 0;
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "r"));
    if (!file) {
        result.error = errno != 0 ? errno : EIO;
        return result;
    }
    result.opened = true;
    const size_t capacity = wave.size();
    std::vector<double> values;
    values.reserve(capacity);
    std::string token;
    int line = 1;
    result.complete = true;
    while (values.size() < capacity) {
        errno = 0;
        if (!NextToken(file.get(), token, line, result.error)) {
            result.complete = false;
            return result; // nothing is taken from a file that could not be read to its end
        }
        if (token.empty()) {
            break;
        }
        // One token may hold several numbers back to back ("1.5,2.5" holds 1.5 and then
        // something that is not a number), as "%f" reads them.
        const char* piece = token.c_str();
        while (*piece != '\0' && values.size() < capacity) {
            char* end = nullptr;
            const float value = token.size() > kMaxTokenLength ? 0.0f : std::strtof(piece, &end);
            // "%f" also takes "nan" and "inf", and an out-of-range number becomes infinite:
            // none of them is a sample a filter or a plot can use, so they end the wave like
            // any other token that is not a number.
            if (end == nullptr || end == piece || !std::isfinite(value)) {
                result.complete = false;
                result.line = line;
                const std::string rest(piece);
                result.token = rest.substr(0, kShownTokenLength);
                break;
            }
            values.push_back(value);
            piece = end;
        }
        if (!result.complete) {
            break;
        }
    }
    result.count = static_cast<int>(values.size());
    std::fill(wave.begin(), wave.end(), 0.0);
    std::copy(values.begin(), values.end(), wave.begin());
    return result;
}

std::string DescribeUserWaveRead(const std::string& path, const UserWaveRead& read) {
    if (read.error != 0) {
        return path + (read.opened ? " cannot be read: " : " cannot be opened: ") +
               std::strerror(read.error);
    }
    if (read.complete) {
        return std::string();
    }
    return path + ", line " + std::to_string(read.line) + ": \"" + read.token +
           "\" is not a number; " + std::to_string(read.count) +
           (read.count == 1 ? " value was" : " values were") + " read before it";
}

} // namespace files
