// Reading the 8-digit hexadecimal ("...h") and 32-digit binary ("...b") forms back.
//
// The number is the full-width digit window just before the first terminator within the first
// 40 characters of the line. Its most significant place gives the sign; characters in the window
// that are not digits of the base (blanks, for instance) are skipped without using up a place.
// A malformed number sets the caller's error flag, which only the caller clears after a whole
// file.
#include "dsp/NumberForms.h"

#include <algorithm>

namespace coeffs {

namespace {

constexpr size_t kSearchLength = 40;
constexpr int kMaxPlaces = 32;
constexpr char kFiller = '\0'; // an unfilled place: neither a digit nor a sign

struct Form {
    char terminator;
    int places; // digits of the full-width form
    int base;
};
constexpr Form kHexForm{'h', 8, 16};
constexpr Form kBinaryForm{'b', 32, 2};

// Value of c as a digit of `base`, or -1.
int DigitValue(char c, int base) {
    int d = -1;
    if (c >= '0' && c <= '9') {
        d = c - '0';
    } else if (c >= 'A' && c <= 'F') {
        d = c - 'A' + 10;
    } else if (c >= 'a' && c <= 'f') {
        d = c - 'a' + 10;
    }
    return d < base ? d : -1;
}

// Returns the value and sets `error` on a malformed number.
double ParseForm(std::string_view line, const Form& form, bool& error) {
    const std::string_view searched = line.substr(0, std::min(line.size(), kSearchLength));
    const size_t p = searched.find(form.terminator);
    if (p == std::string_view::npos || p < 2) {
        error = true;
    }
    const size_t end = p == std::string_view::npos ? 0 : p;

    // window[places - 1] is the character just before the terminator.
    char window[kMaxPlaces];
    std::fill(window, window + kMaxPlaces, kFiller);
    for (int place = form.places - 1, pos = static_cast<int>(end) - 1; place >= 0 && pos >= 0;
         --place, --pos) {
        window[place] = line[static_cast<size_t>(pos)];
    }

    const int sign = DigitValue(window[0], form.base);
    if (sign < 0) {
        error = true;
        return 0.0;
    }
    const bool negative = sign >= form.base / 2;
    const int top = form.base - 1;
    double sum = 0.0;
    double weight = 1.0;
    for (int place = form.places - 1; place >= 0; --place) {
        const int d = DigitValue(window[place], form.base);
        if (d < 0) {
            continue;
        }
        // A negative number is read through its one's complement: -(~v) - 1 = v.
        sum += (negative ? top - d : d) * weight;
        weight *= form.base;
    }
    return negative ? -(sum + 1.0) : sum;
}

} // namespace

double ParseHex(std::string_view line, bool& error) {
    return ParseForm(line, kHexForm, error);
}

double ParseBinary(std::string_view line, bool& error) {
    return ParseForm(line, kBinaryForm, error);
}

} // namespace coeffs
