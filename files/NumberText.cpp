#include "files/NumberText.h"

#include <cstdio>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <string>

namespace files {

namespace {
std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}
} // namespace

bool ParseDouble(std::string_view text, double& value) {
    const std::string s(Trim(text));
    if (s.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(s.c_str(), &end);
    if (end != s.c_str() + s.size() || errno == ERANGE || !std::isfinite(v)) {
        return false;
    }
    value = v;
    return true;
}

bool ParseInt(std::string_view text, int& value) {
    const std::string s(Trim(text));
    if (s.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(s.c_str(), &end, 10);
    if (end != s.c_str() + s.size() || errno == ERANGE || v < INT_MIN || v > INT_MAX) {
        return false;
    }
    value = static_cast<int>(v);
    return true;
}

bool IsIntegerText(std::string_view text) {
    std::string_view s = Trim(text);
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        s.remove_prefix(1);
    }
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

const char* const kEnterIntegerMessage = "Please enter an integer.";
const char* const kEnterNumberMessage = "Please enter a number.";

std::string IntRangeMessage(int low, int high) {
    return "Please enter an integer between " + std::to_string(low) + " and " +
           std::to_string(high) + ".";
}

std::string FormatDialogDouble(double value) {
    constexpr int kSignificantDigits = 15;
    constexpr int kBufferSize = 64;
    char buffer[kBufferSize];
    std::snprintf(buffer, sizeof buffer, "%.*g", kSignificantDigits, value);
    return buffer;
}

std::string FormatShownDouble(double value) {
    constexpr double kLargestWhole = 1e15;
    if (std::isfinite(value) && value == std::trunc(value) && std::fabs(value) < kLargestWhole) {
        return FormatDialogDouble(value);
    }
    constexpr int kShownDigits = 6;
    constexpr int kBufferSize = 64;
    char buffer[kBufferSize];
    std::snprintf(buffer, sizeof buffer, "%.*g", kShownDigits, value);
    return buffer;
}

} // namespace files
