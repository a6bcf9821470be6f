// Reading a user wave. The file is split into white-space separated tokens and each token is
// converted as "%f" would take it, piece by piece, so "1.5,2.5" yields 1.5 and then stops at
// ",2.5". Reading is done into a scratch buffer: a file that fails half way (a folder, a device
// error) must not wipe the wave the user already has.
#include "files/UserWave.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "files/InputFile.h"

namespace files {

namespace {

// Longer tokens than this are not taken as numbers (they are kept for the message only).
constexpr size_t kMaxTokenLength = 512;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The file's text as tokens, each a view into it, with the line each starts on. A NUL byte is
// not white space: it stays inside its token, where it is no part of any number.
class Tokens {
public:
    explicit Tokens(std::string_view text) : m_text(text) {}
    std::string_view Next() {
        while (m_pos < m_text.size() && IsSpace(m_text[m_pos])) {
            m_line += m_text[m_pos] == '\n' ? 1 : 0;
            ++m_pos;
        }
        const size_t start = m_pos;
        while (m_pos < m_text.size() && !IsSpace(m_text[m_pos])) {
            ++m_pos;
        }
        return m_text.substr(start, m_pos - start);
    }
    int Line() const { return m_line; }

private:
    std::string_view m_text;
    size_t m_pos = 0;
    int m_line = 1;
};

// Stops the reading at the piece `rest` of a token.
void StopAt(UserWaveRead& result, int line, std::string_view rest, bool outOfRange) {
    result.complete = false;
    result.outOfRange = outOfRange;
    result.line = line;
    result.token = std::string(rest.substr(0, kShownTokenLength));
}

// Reads the numbers of one token into `values` (up to `capacity`); false when it stopped at a
// piece that is not a number. `full` tells whether the token still held something when the
// buffer was full.
bool ReadToken(std::string_view token, int line, size_t capacity, std::vector<double>& values,
               UserWaveRead& result, bool& full) {
    // A copy ends in NUL for strtof, which then stops at any NUL inside the token as well.
    const std::string text(token.size() > kMaxTokenLength ? std::string_view() : token);
    size_t at = 0;
    while (at < token.size()) {
        if (values.size() >= capacity) {
            full = true;
            return true;
        }
        const char* const piece = text.c_str() + at;
        char* end = nullptr;
        errno = 0;
        const float value = text.empty() ? 0.0f : std::strtof(piece, &end);
        // "%f" also takes "nan" and "inf", and an out-of-range number becomes infinite: none of
        // them is a sample a filter or a plot can use, so they end the wave like any other
        // token that is not a number.
        if (end == nullptr || end == piece || !std::isfinite(value)) {
            const bool tooLarge = end != nullptr && end != piece && errno == ERANGE;
            StopAt(result, line, token.substr(at), tooLarge);
            return false;
        }
        values.push_back(value);
        at = static_cast<size_t>(end - text.c_str());
    }
    return true;
}

} // namespace

UserWaveRead ReadUserWave(const std::string& path, std::span<double> wave) {
    UserWaveRead result;
    const InputFile file = ReadInputFile(path);
    result.opened = file.opened;
    if (!file.ok) {
        result.reason = file.reason;
        return result;
    }
    const size_t capacity = wave.size();
    std::vector<double> values;
    values.reserve(capacity);
    Tokens tokens(file.text);
    result.complete = true;
    for (;;) {
        const std::string_view token = tokens.Next();
        if (token.empty()) {
            break;
        }
        bool full = false;
        if (!ReadToken(token, tokens.Line(), capacity, values, result, full)) {
            break;
        }
        if (full || values.size() >= capacity) {
            result.moreValues = full || !tokens.Next().empty();
            break;
        }
    }
    result.count = static_cast<int>(values.size());
    if (result.complete && values.empty()) {
        return result; // a file without a value leaves the wave the user has
    }
    std::fill(wave.begin(), wave.end(), 0.0);
    std::copy(values.begin(), values.end(), wave.begin());
    return result;
}

std::string DescribeUserWaveRead(const std::string& path, const UserWaveRead& read,
                                 size_t capacity) {
    const std::string name = QuotedPath(path);
    if (!read.reason.empty()) {
        return name + (read.opened ? " cannot be read: " : " cannot be opened: ") + read.reason;
    }
    if (!read.complete) {
        std::string token;
        for (const char c : read.token) {
            token += (c < ' ' || c > '~') ? '?' : c; // a NUL or a control byte, shown
        }
        return name + ", line " + std::to_string(read.line) + ": \"" + token + "\" is " +
               (read.outOfRange ? "out of range" : "not a number") + "; " +
               std::to_string(read.count) + (read.count == 1 ? " value was" : " values were") +
               " read before it";
    }
    if (read.count == 0) {
        return name + " holds no values";
    }
    if (read.moreValues) {
        const std::string n = std::to_string(capacity);
        return name + " holds more than the " + n + " values a wave can hold; the first " + n +
               " are used";
    }
    return std::string();
}

} // namespace files
