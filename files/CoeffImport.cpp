// The readers of the exchange formats. Each one walks the text once, keeps at most one value past
// what a load can take (it counts the rest, so that a file that does not fit is told by how
// much), and stops at the first fault with its line and reason.
#include "files/CoeffImport.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>

#include "dsp/QuantRules.h"
#include "files/CoeffFile.h"
#include "files/DesignFile.h"
#include "files/InputFile.h"
#include "files/JsonNesting.h"

namespace files {

namespace {

using Json = nlohmann::json;
using Keys = CoeffJsonKeys;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr size_t kShownLength = 40;
constexpr int kSosWidth = 6; // b0, b1, b2, a0, a1, a2
// Values kept at most: one past the largest load, so a file too long is still told apart.
constexpr size_t kKeptValues = static_cast<size_t>(kMaxFirFileValues) + 1;
constexpr int kMaxIirFileValues = kMaxIirFileSections * dsp::kSectionFields;
constexpr size_t kKeptComments = 256; // comment lines of a .coe or .mif read for what they say
constexpr int kMaxIntegerWidth = 62;  // far beyond any literal, inside an int64 with its sign

// ---- Text helpers -------------------------------------------------------------------------------

std::string_view SkipByteOrderMark(std::string_view text) {
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    return text;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

bool IsSpace(char c) {
    return IsBlank(c) || c == '\n';
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsSpace(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && IsSpace(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

char LowerChar(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), LowerChar);
    return lower;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) {
        return false;
    }
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (LowerChar(text[i]) != LowerChar(prefix[i])) {
            return false;
        }
    }
    return true;
}

bool IsAlnum(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}

// A token from the file, fit for a message line: in single quotes, at most kShownLength
// characters, every byte outside printable ASCII as '?'.
std::string Shown(std::string_view token) {
    std::string text(token.substr(0, kShownLength));
    for (char& c : text) {
        if (c < ' ' || c > '~') {
            c = '?';
        }
    }
    return "'" + text + (token.size() > kShownLength ? "...'" : "'");
}

std::string AtLine(int line, const std::string& what) {
    return "line " + std::to_string(line) + ": " + what;
}

struct Line {
    std::string_view text;
    int number = 0;
};

// The lines of a text one after the other, each without its line end ("\n" or "\r\n").
class Lines {
public:
    explicit Lines(std::string_view text) : m_text(text) {}
    bool Next(Line& line) {
        if (m_done || m_text.empty()) {
            return false;
        }
        const size_t end = m_text.find('\n');
        line.text = m_text.substr(0, end);
        if (!line.text.empty() && line.text.back() == '\r') {
            line.text.remove_suffix(1);
        }
        line.number = ++m_number;
        if (end == std::string_view::npos) {
            m_done = true;
        } else {
            m_text.remove_prefix(end + 1);
        }
        return true;
    }

private:
    std::string_view m_text;
    int m_number = 0;
    bool m_done = false;
};

// A decimal integer with an optional sign, nothing else.
bool IsIntegerText(std::string_view text) {
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        text.remove_prefix(1);
    }
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// ---- Results ------------------------------------------------------------------------------------

ImportedCoefficients Refusal(CoeffFileKind kind, std::string problem) {
    ImportedCoefficients result;
    result.kind = kind;
    result.problem = std::move(problem);
    return result;
}

std::string CountText(size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

// Empty when `held` values fit the structure, else why not.
std::string CheckFirCount(size_t held) {
    if (held == 0) {
        return "holds no values";
    }
    if (held > static_cast<size_t>(kMaxFirFileValues)) {
        return "holds " + CountText(held, "tap", "taps") + "; a FIR filter takes at most " +
               std::to_string(kMaxFirFileValues);
    }
    return {};
}

std::string CheckSectionCount(size_t held) {
    if (held == 0) {
        return "holds no values";
    }
    if (held > static_cast<size_t>(kMaxIirFileSections)) {
        return "holds " + CountText(held, "section", "sections") +
               "; an IIR filter takes at most " + std::to_string(kMaxIirFileSections);
    }
    return {};
}

const char* StructureName(bool iir) {
    return iir ? "IIR" : "FIR";
}

// A file of one structure asked for as the other.
std::string WrongStructure(bool fileIir, const std::string& what) {
    return "holds " + what + "; choose the " + StructureName(fileIir) + " structure to load it";
}

// a0 + a1 z^-1 + a2 z^-2 over a0' + a1' z^-1 + a2' z^-2 (scipy's b0, b1, b2, a0, a1, a2) as our
// section: both over a0'. Empty when it cannot be.
std::string SectionFromSos(const double* row, dsp::Section& section) {
    const double a0 = row[3];
    if (a0 == 0.0) {
        return "a0 of the denominator is 0";
    }
    section = {row[0], row[1], row[2], row[4], row[5]};
    if (a0 != 1.0) {
        for (double& value : section) {
            value /= a0;
        }
    }
    for (const double value : section) {
        if (!std::isfinite(value)) {
            return "divided by its a0 it gives a value beyond the range of a double";
        }
    }
    return {};
}

// ---- Comments of .coe and .mif files ------------------------------------------------------------

// What the comments of an integer file say about it.
struct CommentFacts {
    int declared = -1;        // 0 FIR, 1 IIR: a comment line starting with the word
    int bits = 0;             // "B = 16"
    bool storedSigns = false; // "a2, b1": b1 and b2 as stored, not negated
};

void ReadComment(std::string_view comment, CommentFacts& facts) {
    const std::string text = Lower(Trim(comment));
    for (const bool iir : {false, true}) {
        const std::string word = Lower(StructureName(iir));
        if (text.starts_with(word) && (text.size() == word.size() || !IsAlnum(text[word.size()]))) {
            facts.declared = facts.declared < 0 ? (iir ? 1 : 0) : facts.declared;
        }
    }
    if (text.find("a2, b1") != std::string::npos || text.find("a2,b1") != std::string::npos) {
        facts.storedSigns = true;
    }
    // "B = 16" as a word of its own.
    const std::string original(Trim(comment));
    for (size_t at = original.find('B'); at != std::string::npos; at = original.find('B', at + 1)) {
        if (at > 0 && IsAlnum(original[at - 1])) {
            continue;
        }
        size_t i = at + 1;
        while (i < original.size() && IsBlank(original[i])) {
            ++i;
        }
        if (i >= original.size() || original[i] != '=') {
            continue;
        }
        ++i;
        while (i < original.size() && IsBlank(original[i])) {
            ++i;
        }
        int bits = 0;
        const std::from_chars_result r =
            std::from_chars(original.data() + i, original.data() + original.size(), bits);
        if (r.ec == std::errc{} && r.ptr != original.data() + i && facts.bits == 0) {
            facts.bits = bits;
        }
    }
}

// The range of B for the structure, as the Coefficients command takes it.
std::string CheckBits(int bits, bool iir) {
    const int most = iir ? coeffs::kMaxIirQuantBits : coeffs::kMaxQuantBits;
    if (bits < coeffs::kMinQuantBits || bits > most) {
        return "B = " + std::to_string(bits) + " is outside " +
               std::to_string(coeffs::kMinQuantBits) + " to " + std::to_string(most) +
               " bits for " + (iir ? "an IIR" : "a FIR") + " filter";
    }
    return {};
}

// One integer of an integer file, with its line.
struct IntegerValue {
    std::int64_t value = 0;
    int line = 0;
};

// The integers at scale 2^(B-1) as the structure's coefficients. IIR: five a section, the last
// two negated unless the file holds the stored signs.
void StoreIntegers(const std::vector<IntegerValue>& integers, int bits, bool storedSigns,
                   ImportedCoefficients& result) {
    const int fraction = bits - 1;
    if (!result.iir) {
        for (const IntegerValue& v : integers) {
            result.taps.push_back(std::ldexp(static_cast<double>(v.value), -fraction));
        }
        return;
    }
    for (size_t s = 0; s + dsp::kSectionFields <= integers.size(); s += dsp::kSectionFields) {
        dsp::Section section{};
        for (int f = 0; f < dsp::kSectionFields; ++f) {
            const double value = std::ldexp(
                static_cast<double>(integers[s + static_cast<size_t>(f)].value), -fraction);
            section[static_cast<size_t>(f)] = f >= 3 && !storedSigns ? -value : value;
        }
        result.sections.push_back(section);
    }
}

// A signed integer that must fit `width` bits.
std::string CheckSignedFits(std::int64_t value, int width, int line) {
    const std::int64_t limit = std::int64_t{1} << (width - 1);
    if (value < -limit || value >= limit) {
        return AtLine(line,
                      std::to_string(value) + " does not fit " + std::to_string(width) + " bits");
    }
    return {};
}

// An unsigned word of `width` bits as a two's-complement value.
std::int64_t SignExtend(std::uint64_t word, int width) {
    const std::uint64_t sign = std::uint64_t{1} << (width - 1);
    return word & sign ? static_cast<std::int64_t>(word) - (std::int64_t{1} << width)
                       : static_cast<std::int64_t>(word);
}

// Digits of `radix` (2, 8, 10, 16) as an unsigned word, or false.
bool ParseWord(std::string_view text, int radix, std::uint64_t& word) {
    if (text.empty()) {
        return false;
    }
    const std::from_chars_result r =
        std::from_chars(text.data(), text.data() + text.size(), word, radix);
    return r.ec == std::errc{} && r.ptr == text.data() + text.size();
}

// Which structure, when a file says it or the chosen one; B from the comment or the caller,
// checked; then the integers stored. `width` is a .mif's WIDTH (0 for a .coe).
ImportedCoefficients FinishIntegers(CoeffFileKind kind, const std::vector<IntegerValue>& integers,
                                    size_t held, const CommentFacts& facts, int implied, bool iir,
                                    int callerBits, int width, const std::string& what) {
    const int declared = facts.declared >= 0 ? facts.declared : implied;
    if (declared >= 0 && (declared == 1) != iir) {
        return Refusal(kind,
                       WrongStructure(declared == 1, declared == 1 ? "IIR sections (" + what + ")"
                                                                   : "FIR taps (" + what + ")"));
    }
    ImportedCoefficients result;
    result.kind = kind;
    result.iir = iir;
    if (iir) {
        if (held % dsp::kSectionFields != 0) {
            return Refusal(kind, "holds " + CountText(held, "value", "values") +
                                     ", not five a section (a0, a1, a2, -b1, -b2)");
        }
        const std::string count = CheckSectionCount(held / dsp::kSectionFields);
        if (!count.empty()) {
            return Refusal(kind, count);
        }
    } else if (const std::string count = CheckFirCount(held); !count.empty()) {
        return Refusal(kind, count);
    }
    const int extra = iir ? dsp::kIirLiteralExtraBits : 0;
    if (width > 0) {
        const int fromWidth = width - extra;
        if (facts.bits != 0 && facts.bits != fromWidth) {
            return Refusal(kind, "WIDTH=" + std::to_string(width) + " does not match B = " +
                                     std::to_string(facts.bits) + " of its comment (" +
                                     (iir ? "an IIR coefficient is B + 2 bits wide)"
                                          : "a FIR tap is B bits wide)"));
        }
        result.bits = fromWidth;
        result.bitsFrom = "its WIDTH";
    } else if (facts.bits != 0) {
        result.bits = facts.bits;
        result.bitsFrom = "its comment";
    } else {
        result.bits = callerBits;
        result.bitsFrom = "the coefficient bit length";
    }
    if (const std::string range = CheckBits(result.bits, iir); !range.empty()) {
        return Refusal(kind, range + " (B from " + result.bitsFrom + ")");
    }
    const int literalWidth = result.bits + extra;
    for (const IntegerValue& v : integers) {
        const std::string fits = CheckSignedFits(v.value, literalWidth, v.line);
        if (!fits.empty()) {
            return Refusal(kind, fits + " (B = " + std::to_string(result.bits) + " from " +
                                     result.bitsFrom + ")");
        }
    }
    StoreIntegers(integers, result.bits, facts.storedSigns, result);
    result.description = (iir ? CountText(result.sections.size(), "section", "sections")
                              : CountText(result.taps.size(), "tap", "taps")) +
                         " of " + std::to_string(literalWidth) + "-bit integers in " + what;
    result.ok = true;
    return result;
}

// ---- Rows of numbers (CSV, numpy's savetxt, the older CSV export) -------------------------------

enum class TableLayout { kNone, kTaps, kSections };

// The header row of the older CSV export: "index,value[,integer]" or
// "section,a0,a1,a2,b1,b2[,a0_integer,...]".
TableLayout TableHeader(const std::vector<std::string_view>& fields) {
    if (fields.size() >= 2 && Lower(fields[0]) == "index" && Lower(fields[1]) == "value") {
        return TableLayout::kTaps;
    }
    if (fields.size() < 1 + dsp::kSectionFields || Lower(fields[0]) != "section") {
        return TableLayout::kNone;
    }
    for (int f = 0; f < dsp::kSectionFields; ++f) {
        if (Lower(fields[1 + static_cast<size_t>(f)]) != Keys::kSectionFields[f]) {
            return TableLayout::kNone;
        }
    }
    return TableLayout::kSections;
}

// The data of a line: the text before a '#', trimmed.
std::string_view LineData(std::string_view line) {
    return Trim(line.substr(0, line.find('#')));
}

// The fields of a data line: at its commas when it has one, else at its blanks.
std::vector<std::string_view> SplitFields(std::string_view data) {
    std::vector<std::string_view> fields;
    if (data.find(',') != std::string_view::npos) {
        for (;;) {
            const size_t comma = data.find(',');
            fields.push_back(Trim(data.substr(0, comma)));
            if (comma == std::string_view::npos) {
                break;
            }
            data.remove_prefix(comma + 1);
        }
        return fields;
    }
    size_t i = 0;
    while (i < data.size()) {
        while (i < data.size() && IsBlank(data[i])) {
            ++i;
        }
        const size_t start = i;
        while (i < data.size() && !IsBlank(data[i])) {
            ++i;
        }
        if (i > start) {
            fields.push_back(data.substr(start, i - start));
        }
    }
    return fields;
}

// A row of numbers, some fields perhaps empty (the reader says which).
bool NumberRow(const std::vector<std::string_view>& fields) {
    double ignored = 0.0;
    const auto number = [&](std::string_view f) { return ParseCoeffNumber(f, ignored); };
    return std::any_of(fields.begin(), fields.end(), number) &&
           std::all_of(fields.begin(), fields.end(),
                       [&](std::string_view f) { return f.empty() || number(f); });
}

// The first data line of a file of rows, or nothing.
std::optional<std::vector<std::string_view>> FirstRow(std::string_view text) {
    Lines lines(text);
    for (Line line; lines.Next(line);) {
        const std::string_view data = LineData(line.text);
        if (!data.empty()) {
            return SplitFields(data);
        }
    }
    return std::nullopt;
}

ImportedCoefficients ReadRows(std::string_view text, bool iir, CoeffFileKind kind) {
    TableLayout layout = TableLayout::kNone;
    size_t width = 0;
    int widthLine = 0;
    size_t held = 0;
    std::vector<std::vector<double>> rows;
    std::vector<int> rowLines;
    Lines lines(text);
    for (Line line; lines.Next(line);) {
        const std::string_view data = LineData(line.text);
        if (data.empty()) {
            continue;
        }
        const std::vector<std::string_view> fields = SplitFields(data);
        if (width == 0 && kind == CoeffFileKind::kCsvTable && layout == TableLayout::kNone) {
            layout = TableHeader(fields);
            width = fields.size();
            widthLine = line.number;
            continue;
        }
        std::vector<double> row;
        for (size_t f = 0; f < fields.size(); ++f) {
            double value = 0.0;
            if (fields[f].empty()) {
                return Refusal(kind,
                               AtLine(line.number, "field " + std::to_string(f + 1) + " is empty"));
            }
            if (!ParseCoeffNumber(fields[f], value)) {
                return Refusal(kind,
                               AtLine(line.number, Shown(fields[f]) + " is not a finite number"));
            }
            row.push_back(value);
        }
        if (width == 0) {
            width = row.size();
            widthLine = line.number;
        } else if (row.size() != width) {
            return Refusal(kind,
                           AtLine(line.number, "holds " + CountText(row.size(), "value", "values") +
                                                   " where line " + std::to_string(widthLine) +
                                                   " holds " + std::to_string(width)));
        }
        ++held;
        if (rows.size() < kKeptValues) {
            rows.push_back(std::move(row));
            rowLines.push_back(line.number);
        }
    }
    ImportedCoefficients result;
    result.kind = kind;
    bool fileIir = false;
    std::string what;
    if (kind == CoeffFileKind::kCsvTable) {
        fileIir = layout == TableLayout::kSections;
        what = fileIir ? "IIR sections (a CSV export with the header row section,a0,...)"
                       : "FIR taps (a CSV export with the header row index,value,...)";
    } else if (width == 1) {
        what = "FIR taps (one value a row; IIR sections are six a row: b0,b1,b2,1,a1,a2)";
    } else if (width == static_cast<size_t>(kSosWidth)) {
        fileIir = true;
        what = "IIR second-order sections (six values a row)";
    } else if (width != 0) {
        return Refusal(kind,
                       AtLine(widthLine, "holds " + CountText(width, "value", "values") +
                                             "; a row holds one value (a FIR tap) or six (an IIR "
                                             "section b0,b1,b2,a0,a1,a2 in scipy's order)"));
    }
    if (held > 0 && fileIir != iir) {
        return Refusal(kind, WrongStructure(fileIir, what));
    }
    result.iir = iir;
    if (!iir) {
        if (const std::string count = CheckFirCount(held); !count.empty()) {
            return Refusal(kind, count);
        }
        for (const std::vector<double>& row : rows) {
            result.taps.push_back(row[kind == CoeffFileKind::kCsvTable ? 1 : 0]);
        }
        result.description = CountText(held, "tap", "taps") +
                             (kind == CoeffFileKind::kCsvTable ? " of a CSV table" : ", one a row");
        result.ok = true;
        return result;
    }
    if (const std::string count = CheckSectionCount(held); !count.empty()) {
        return Refusal(kind, count);
    }
    for (size_t r = 0; r < rows.size(); ++r) {
        dsp::Section section{};
        if (kind == CoeffFileKind::kCsvTable) {
            std::copy_n(rows[r].begin() + 1, dsp::kSectionFields, section.begin());
        } else if (const std::string problem = SectionFromSos(rows[r].data(), section);
                   !problem.empty()) {
            return Refusal(kind, AtLine(rowLines[r], problem));
        }
        result.sections.push_back(section);
    }
    result.description =
        CountText(held, "section", "sections") +
        (kind == CoeffFileKind::kCsvTable ? " of a CSV table" : ", rows b0,b1,b2,a0,a1,a2");
    result.ok = true;
    return result;
}

// ---- JSON ---------------------------------------------------------------------------------------

std::string Quoted(std::string_view key) {
    // Appended piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) on "..." + std::string.
    std::string quoted = "\"";
    quoted.append(key);
    quoted += '"';
    return quoted;
}

// A list of finite numbers, or why not.
std::string ReadNumberList(const Json& value, std::vector<double>& numbers) {
    if (!value.is_array()) {
        return "expected a list of numbers";
    }
    for (size_t i = 0; i < value.size(); ++i) {
        const Json& entry = value[i];
        if (!entry.is_number() || !std::isfinite(entry.get<double>())) {
            return "entry " + std::to_string(i + 1) + " is not a finite number";
        }
        numbers.push_back(entry.get<double>());
    }
    return {};
}

ImportedCoefficients JsonRefusal(std::string problem) {
    return Refusal(CoeffFileKind::kJson, std::move(problem));
}

ImportedCoefficients ReadJsonFir(const Json& doc) {
    const char* key = doc.contains(Keys::kNumerator) ? Keys::kNumerator : Keys::kCoefficients;
    if (!doc.contains(key)) {
        return JsonRefusal(std::string("has no ") + Quoted(Keys::kNumerator) + " list of taps");
    }
    if (doc.contains(Keys::kDenominator)) {
        std::vector<double> denominator;
        const std::string problem = ReadNumberList(doc[Keys::kDenominator], denominator);
        if (!problem.empty() || denominator != std::vector<double>{1.0}) {
            return JsonRefusal(Quoted(Keys::kDenominator) +
                               ": a FIR filter has none other than [1]; give an IIR filter as " +
                               Quoted(Keys::kSos) + " rows");
        }
    }
    ImportedCoefficients result;
    result.kind = CoeffFileKind::kJson;
    if (const std::string problem = ReadNumberList(doc[key], result.taps); !problem.empty()) {
        return JsonRefusal(Quoted(key) + ": " + problem);
    }
    if (const std::string count = CheckFirCount(result.taps.size()); !count.empty()) {
        return JsonRefusal(count);
    }
    result.description = CountText(result.taps.size(), "tap", "taps") + " from " + Quoted(key);
    result.ok = true;
    return result;
}

// One entry of "sections": {"numerator": [3], "denominator": [3]} or {"a0": ..., "b2": ...}.
std::string ReadJsonSection(const Json& entry, dsp::Section& section) {
    if (!entry.is_object()) {
        return "expected an object";
    }
    if (entry.contains(Keys::kNumerator) || entry.contains(Keys::kDenominator)) {
        std::vector<double> row;
        for (const char* key : {Keys::kNumerator, Keys::kDenominator}) {
            std::vector<double> part;
            if (!entry.contains(key) || !ReadNumberList(entry[key], part).empty() ||
                part.size() != 3) {
                return Quoted(key) + ": expected three numbers";
            }
            row.insert(row.end(), part.begin(), part.end());
        }
        return SectionFromSos(row.data(), section);
    }
    for (int f = 0; f < dsp::kSectionFields; ++f) {
        const char* key = Keys::kSectionFields[f];
        if (!entry.contains(key) || !entry[key].is_number() ||
            !std::isfinite(entry[key].get<double>())) {
            return Quoted(key) + ": expected a finite number";
        }
        section[static_cast<size_t>(f)] = entry[key].get<double>();
    }
    return {};
}

ImportedCoefficients ReadJsonIir(const Json& doc) {
    ImportedCoefficients result;
    result.kind = CoeffFileKind::kJson;
    result.iir = true;
    const bool sos = doc.contains(Keys::kSos);
    const char* key = sos ? Keys::kSos : Keys::kSections;
    if (!doc.contains(key)) {
        return JsonRefusal(std::string("has no ") + Quoted(Keys::kSos) + " rows b0,b1,b2,a0,a1,a2");
    }
    const Json& list = doc[key];
    if (!list.is_array()) {
        return JsonRefusal(Quoted(key) + ": expected a list of sections");
    }
    if (const std::string count = CheckSectionCount(list.size()); !count.empty()) {
        return JsonRefusal(count);
    }
    for (size_t s = 0; s < list.size(); ++s) {
        dsp::Section section{};
        std::string problem;
        if (sos) {
            std::vector<double> row;
            problem = ReadNumberList(list[s], row);
            if (problem.empty() && row.size() != kSosWidth) {
                problem = "expected six numbers b0,b1,b2,a0,a1,a2";
            }
            problem = problem.empty() ? SectionFromSos(row.data(), section) : problem;
        } else {
            problem = ReadJsonSection(list[s], section);
        }
        if (!problem.empty()) {
            return JsonRefusal(Quoted(key) + " section " + std::to_string(s + 1) + ": " + problem);
        }
        result.sections.push_back(section);
    }
    result.description =
        CountText(result.sections.size(), "section", "sections") + " from " + Quoted(key);
    result.ok = true;
    return result;
}

ImportedCoefficients ReadJson(std::string_view text, bool iir) {
    if (const std::optional<JsonNestingExcess> deep =
            FindJsonNestingBeyond(text, kCoeffJsonMaxNesting)) {
        return JsonRefusal("nested more than " + std::to_string(kCoeffJsonMaxNesting) +
                           " levels deep (byte " + std::to_string(deep->byte) + ")");
    }
    Json doc;
    try {
        doc = Json::parse(text);
    } catch (const Json::parse_error& error) {
        return JsonRefusal("the JSON is malformed or cut short (byte " +
                           std::to_string(error.byte) + ")");
    } catch (const Json::exception&) {
        return JsonRefusal("it holds a number too large to read");
    }
    if (!doc.is_object()) {
        return JsonRefusal("expected a JSON object");
    }
    if (doc.contains(Keys::kFormat) && doc[Keys::kFormat] == kDesignFormat) {
        return JsonRefusal("is a design file: open it as a design");
    }
    int declared = -1;
    if (doc.contains(Keys::kStructure)) {
        const Json& structure = doc[Keys::kStructure];
        if (structure == Keys::kFir || structure == Keys::kIir) {
            declared = structure == Keys::kIir ? 1 : 0;
        } else {
            return JsonRefusal(Quoted(Keys::kStructure) + ": expected " + Quoted(Keys::kFir) +
                               " or " + Quoted(Keys::kIir));
        }
    } else if (doc.contains(Keys::kSos) || doc.contains(Keys::kSections)) {
        declared = 1;
    } else if (doc.contains(Keys::kNumerator) || doc.contains(Keys::kCoefficients)) {
        declared = 0;
    }
    if (declared >= 0 && (declared == 1) != iir) {
        return JsonRefusal(
            WrongStructure(declared == 1, declared == 1 ? "an IIR filter" : "a FIR filter"));
    }
    return iir ? ReadJsonIir(doc) : ReadJsonFir(doc);
}

// ---- .coe ---------------------------------------------------------------------------------------

struct Token {
    std::string_view text; // empty at the end
    int line = 0;
};

// The words and the punctuation of a .coe or .mif file, comments passed over and kept.
class Scanner {
public:
    enum class Comments { kCoe, kMif };
    Scanner(std::string_view text, Comments comments) : m_text(text), m_comments(comments) {}

    Token Next() {
        SkipSpaceAndComments();
        if (m_pos >= m_text.size()) {
            return {{}, m_line};
        }
        const size_t start = m_pos;
        if (IsPunctuation(m_text[m_pos])) {
            ++m_pos;
        } else {
            while (m_pos < m_text.size() && !IsSpace(m_text[m_pos]) &&
                   !IsPunctuation(m_text[m_pos]) && !StartsComment()) {
                ++m_pos;
            }
        }
        return {m_text.substr(start, m_pos - start), m_line};
    }

    const std::vector<std::string_view>& CommentTexts() const { return m_commentTexts; }

private:
    bool IsPunctuation(char c) const {
        if (c == '=' || c == ';' || c == ',') {
            return true;
        }
        return m_comments == Comments::kMif && (c == ':' || c == '[' || c == ']');
    }

    bool StartsComment() const {
        if (m_comments == Comments::kCoe) {
            return false; // a .coe comment is a whole line, seen at its start
        }
        return m_text.substr(m_pos).starts_with("--") || m_text[m_pos] == '%';
    }

    // At the start of a line: whether its first character past the blanks is a ';'.
    bool CoeCommentLine() const {
        size_t i = m_pos;
        while (i < m_text.size() && IsBlank(m_text[i])) {
            ++i;
        }
        return i < m_text.size() && m_text[i] == ';';
    }

    // The comments that say what a file holds come first: a few are kept, the rest passed over.
    void KeepComment(std::string_view comment) {
        if (m_commentTexts.size() < kKeptComments) {
            m_commentTexts.push_back(comment);
        }
    }

    void SkipSpaceAndComments() {
        while (m_pos < m_text.size()) {
            if (m_comments == Comments::kCoe && m_lineStart && CoeCommentLine()) {
                const size_t end = std::min(m_text.find('\n', m_pos), m_text.size());
                KeepComment(Trim(m_text.substr(m_pos, end - m_pos)).substr(1));
                m_pos = end;
                continue;
            }
            const char c = m_text[m_pos];
            if (c == '\n') {
                ++m_line;
                ++m_pos;
                m_lineStart = true;
                continue;
            }
            if (IsSpace(c)) {
                ++m_pos;
                continue;
            }
            if (m_comments == Comments::kMif && m_text.substr(m_pos).starts_with("--")) {
                const size_t end = std::min(m_text.find('\n', m_pos), m_text.size());
                KeepComment(m_text.substr(m_pos + 2, end - m_pos - 2));
                m_pos = end;
                continue;
            }
            if (m_comments == Comments::kMif && c == '%') {
                const size_t close = m_text.find('%', m_pos + 1);
                const size_t end = close == std::string_view::npos ? m_text.size() : close + 1;
                const std::string_view body = m_text.substr(m_pos + 1, end - m_pos - 1);
                m_line += static_cast<int>(std::count(body.begin(), body.end(), '\n'));
                Lines lines(body);
                for (Line line; lines.Next(line);) {
                    KeepComment(line.text);
                }
                m_pos = end;
                continue;
            }
            break;
        }
        m_lineStart = false;
    }

    std::string_view m_text;
    Comments m_comments;
    size_t m_pos = 0;
    int m_line = 1;
    bool m_lineStart = true;
    std::vector<std::string_view> m_commentTexts;
};

// The first word of a .coe or .mif file, lower case ("" for none).
std::string FirstWord(std::string_view text, Scanner::Comments comments) {
    Scanner scanner(text, comments);
    return Lower(scanner.Next().text);
}

bool IsCoeKeyword(const std::string& word) {
    return word == "radix" || word == "coefdata" || word == "memory_initialization_radix" ||
           word == "memory_initialization_vector";
}

bool IsMifKeyword(const std::string& word) {
    return word == "width" || word == "depth" || word == "address_radix" || word == "data_radix" ||
           word == "content";
}

ImportedCoefficients CoeRefusal(std::string problem) {
    return Refusal(CoeffFileKind::kCoe, std::move(problem));
}

// One value of a .coe list: a signed decimal integer, a word of digits of the radix, or (radix
// 10) a real number.
struct CoeValue {
    bool real = false;
    double realValue = 0.0;
    bool word = false; // digits of radix 2, 8 or 16, sign-extended once B is known
    std::uint64_t bits = 0;
    std::int64_t integer = 0;
    int line = 0;
};

std::string ReadCoeValue(const Token& token, int radix, CoeValue& value) {
    value.line = token.line;
    if (radix == 10) {
        if (IsIntegerText(token.text)) {
            std::string_view digits = token.text;
            if (digits.front() == '+') {
                digits.remove_prefix(1);
            }
            const std::from_chars_result r =
                std::from_chars(digits.data(), digits.data() + digits.size(), value.integer);
            if (r.ec != std::errc{} || value.integer < -(std::int64_t{1} << kMaxIntegerWidth) ||
                value.integer >= (std::int64_t{1} << kMaxIntegerWidth)) {
                return AtLine(token.line, Shown(token.text) + " is too large");
            }
            return {};
        }
        if (ParseCoeffNumber(token.text, value.realValue)) {
            value.real = true;
            return {};
        }
        return AtLine(token.line, Shown(token.text) + " is not a number");
    }
    value.word = true;
    if (!ParseWord(token.text, radix, value.bits)) {
        return AtLine(token.line,
                      Shown(token.text) + " is not a number of radix " + std::to_string(radix));
    }
    return {};
}

ImportedCoefficients ReadCoe(std::string_view text, bool iir, int callerBits) {
    Scanner scanner(text, Scanner::Comments::kCoe);
    int radix = 10;
    bool firCore = false;
    bool listRead = false;
    std::vector<CoeValue> values;
    size_t held = 0;
    for (;;) {
        const Token key = scanner.Next();
        if (key.text.empty()) {
            break;
        }
        if (key.text == ";") {
            continue;
        }
        const std::string word = Lower(key.text);
        if (!IsCoeKeyword(word)) {
            return CoeRefusal(AtLine(key.line, Shown(key.text) + " is not a .coe keyword"));
        }
        const Token equals = scanner.Next();
        if (equals.text != "=") {
            return CoeRefusal(AtLine(equals.line, "expected '=' after " + Shown(key.text)));
        }
        if (word == "radix" || word == "memory_initialization_radix") {
            const Token number = scanner.Next();
            if (number.text != "2" && number.text != "8" && number.text != "10" &&
                number.text != "16") {
                return CoeRefusal(AtLine(number.line, "the radix " + Shown(number.text) +
                                                          " is not 2, 8, 10 or 16"));
            }
            radix = std::stoi(std::string(number.text));
            const Token end = scanner.Next();
            if (end.text != ";") {
                return CoeRefusal(AtLine(end.line, "expected ';' after the radix"));
            }
            continue;
        }
        if (listRead) {
            return CoeRefusal(AtLine(key.line, "a second list of values"));
        }
        listRead = true;
        firCore = word == "coefdata";
        bool separated = true; // a value may follow: at the start or after a comma
        for (;;) {
            const Token token = scanner.Next();
            if (token.text.empty()) {
                return CoeRefusal("the list of values from line " + std::to_string(key.line) +
                                  " is not ended by ';'");
            }
            if (token.text == ";" || token.text == ",") {
                if (separated && (token.text == "," || held > 0)) {
                    return CoeRefusal(
                        AtLine(token.line, "a value is missing before " + Shown(token.text)));
                }
                if (token.text == ";") {
                    break;
                }
                separated = true;
                continue;
            }
            if (token.text == "=") {
                return CoeRefusal(AtLine(token.line, "'=' inside the list of values"));
            }
            CoeValue value;
            if (const std::string problem = ReadCoeValue(token, radix, value); !problem.empty()) {
                return CoeRefusal(problem);
            }
            separated = false;
            ++held;
            if (values.size() < kKeptValues) {
                values.push_back(value);
            }
        }
    }
    if (!listRead) {
        return CoeRefusal("holds no coefdata or memory_initialization_vector list");
    }
    CommentFacts facts;
    for (const std::string_view comment : scanner.CommentTexts()) {
        ReadComment(comment, facts);
    }
    const std::string what = firCore ? "a FIR core's .coe" : "a memory initialisation .coe";
    const bool real =
        std::any_of(values.begin(), values.end(), [](const CoeValue& v) { return v.real; });
    if (real) {
        // A FIR core takes real coefficients too; they stand as they are. Memory and the IIR
        // sections hold integers only.
        const CoeValue& first =
            *std::find_if(values.begin(), values.end(), [](const CoeValue& v) { return v.real; });
        if (!firCore || facts.declared == 1) {
            return CoeRefusal(AtLine(first.line, std::string(firCore ? "an IIR"
                                                                     : "a memory "
                                                                       "initialisation") +
                                                     " file holds integers, not real numbers"));
        }
        if (iir) {
            return CoeRefusal(WrongStructure(false, "FIR taps (" + what + ")"));
        }
        if (const std::string count = CheckFirCount(held); !count.empty()) {
            return CoeRefusal(count);
        }
        ImportedCoefficients result;
        result.kind = CoeffFileKind::kCoe;
        for (const CoeValue& v : values) {
            result.taps.push_back(v.real ? v.realValue : static_cast<double>(v.integer));
        }
        result.description = CountText(held, "tap", "taps") + " of real values in " + what;
        result.ok = true;
        return result;
    }
    // The words need the width of a literal: B from the comment or the caller.
    const int bits = facts.bits != 0 ? facts.bits : callerBits;
    const int width = bits + (iir ? dsp::kIirLiteralExtraBits : 0);
    const bool words =
        std::any_of(values.begin(), values.end(), [](const CoeValue& v) { return v.word; });
    if (const std::string range = CheckBits(bits, iir); words && !range.empty()) {
        return CoeRefusal(range);
    }
    std::vector<IntegerValue> integers;
    for (const CoeValue& v : values) {
        if (!v.word) {
            integers.push_back({v.integer, v.line});
            continue;
        }
        if ((v.bits >> width) != 0) {
            return CoeRefusal(AtLine(v.line, "a word wider than " + std::to_string(width) +
                                                 " bits (B = " + std::to_string(bits) + ")"));
        }
        integers.push_back({SignExtend(v.bits, width), v.line});
    }
    return FinishIntegers(CoeffFileKind::kCoe, integers, held, facts, firCore ? 0 : -1, iir,
                          callerBits, 0, what);
}

// ---- .mif ---------------------------------------------------------------------------------------

ImportedCoefficients MifRefusal(std::string problem) {
    return Refusal(CoeffFileKind::kMif, std::move(problem));
}

// The base of a radix word, 0 for another word; `signedDecimal` for DEC.
int MifRadix(std::string_view word, bool& signedDecimal) {
    const std::string radix = Lower(word);
    signedDecimal = radix == "dec";
    if (radix == "bin") {
        return 2;
    }
    if (radix == "oct") {
        return 8;
    }
    if (radix == "hex") {
        return 16;
    }
    return radix == "dec" || radix == "uns" ? 10 : 0;
}

struct MifHeader {
    int width = 0;
    std::int64_t depth = -1;
    int addressRadix = 0;
    int dataRadix = 0;
    bool signedData = false;
};

// The settings before CONTENT BEGIN, and BEGIN; empty, or why not.
std::string ReadMifHeader(Scanner& scanner, MifHeader& header) {
    for (;;) {
        const Token key = scanner.Next();
        if (key.text.empty()) {
            return "has no CONTENT BEGIN";
        }
        const std::string word = Lower(key.text);
        if (word == "content") {
            const Token begin = scanner.Next();
            if (Lower(begin.text) != "begin") {
                return AtLine(begin.line, "expected BEGIN after CONTENT");
            }
            break;
        }
        if (!IsMifKeyword(word)) {
            return AtLine(key.line, Shown(key.text) + " is not a .mif setting");
        }
        if (scanner.Next().text != "=") {
            return AtLine(key.line, "expected '=' after " + Shown(key.text));
        }
        const Token value = scanner.Next();
        if (word == "width" || word == "depth") {
            std::int64_t number = 0;
            const std::from_chars_result r =
                std::from_chars(value.text.data(), value.text.data() + value.text.size(), number);
            if (r.ec != std::errc{} || r.ptr != value.text.data() + value.text.size() ||
                number < 1) {
                return AtLine(value.line, Shown(value.text) + " is not a " + word);
            }
            if (word == "width") {
                if (number > kMaxIntegerWidth) {
                    return AtLine(value.line, "WIDTH=" + std::to_string(number) +
                                                  " is wider than any coefficient");
                }
                header.width = static_cast<int>(number);
            } else {
                header.depth = number;
            }
        } else {
            bool signedDecimal = false;
            const int radix = MifRadix(value.text, signedDecimal);
            if (radix == 0) {
                return AtLine(value.line, Shown(value.text) + " is not BIN, OCT, DEC, UNS or HEX");
            }
            (word == "address_radix" ? header.addressRadix : header.dataRadix) = radix;
            if (word == "data_radix") {
                header.signedData = signedDecimal;
            }
        }
        if (scanner.Next().text != ";") {
            return AtLine(value.line, "expected ';' after " + Shown(value.text));
        }
    }
    const char* missing = header.width == 0          ? "WIDTH"
                          : header.depth < 0         ? "DEPTH"
                          : header.addressRadix == 0 ? "ADDRESS_RADIX"
                          : header.dataRadix == 0    ? "DATA_RADIX"
                                                     : nullptr;
    if (missing != nullptr) {
        return std::string("gives no ") + missing + " before CONTENT";
    }
    return {};
}

// The entries up to END into `words` (DEPTH of them); empty, or why not.
std::string ReadMifContent(Scanner& scanner, const MifHeader& header,
                           std::vector<std::optional<IntegerValue>>& words) {
    const size_t depth = words.size();
    const auto readNumber = [](std::string_view text, int radix, std::uint64_t& number) {
        return ParseWord(text, radix, number);
    };
    // Address : value [value ...] ; or [first..last] : value ; up to END.
    for (;;) {
        Token token = scanner.Next();
        if (token.text.empty()) {
            return "has no END after its CONTENT";
        }
        if (Lower(token.text) == "end") {
            const Token after = scanner.Next();
            if (!after.text.empty() && (after.text != ";" || !scanner.Next().text.empty())) {
                return AtLine(after.line, "text after END");
            }
            break;
        }
        std::uint64_t first = 0;
        std::uint64_t last = 0;
        const int line = token.line;
        if (token.text == "[") {
            std::string range;
            for (token = scanner.Next(); !token.text.empty() && token.text != "]";
                 token = scanner.Next()) {
                range += token.text;
            }
            const size_t dots = range.find("..");
            if (token.text.empty() || dots == std::string::npos ||
                !readNumber(std::string_view(range).substr(0, dots), header.addressRadix, first) ||
                !readNumber(std::string_view(range).substr(dots + 2), header.addressRadix, last) ||
                last < first) {
                return AtLine(line, "expected an address range [first..last]");
            }
        } else if (!readNumber(token.text, header.addressRadix, first)) {
            return AtLine(line, Shown(token.text) + " is not an address");
        } else {
            last = first;
        }
        if (scanner.Next().text != ":") {
            return AtLine(line, "expected ':' after the address");
        }
        std::vector<IntegerValue> given;
        for (token = scanner.Next(); !token.text.empty() && token.text != ";";
             token = scanner.Next()) {
            std::int64_t value = 0;
            if (header.signedData && IsIntegerText(token.text)) {
                std::string_view digits = token.text;
                if (digits.front() == '+') {
                    digits.remove_prefix(1);
                }
                const std::from_chars_result r =
                    std::from_chars(digits.data(), digits.data() + digits.size(), value);
                if (r.ec != std::errc{}) {
                    return AtLine(token.line, Shown(token.text) + " is too large");
                }
                if (const std::string fits = CheckSignedFits(value, header.width, token.line);
                    !fits.empty()) {
                    return fits + " (WIDTH=" + std::to_string(header.width) + ")";
                }
            } else {
                std::uint64_t word = 0;
                if (!readNumber(token.text, header.dataRadix, word)) {
                    return AtLine(token.line, Shown(token.text) + " is not a number");
                }
                if ((word >> header.width) != 0) {
                    return AtLine(token.line, Shown(token.text) + " does not fit WIDTH=" +
                                                  std::to_string(header.width));
                }
                value = SignExtend(word, header.width);
            }
            given.push_back({value, token.line});
        }
        if (token.text.empty()) {
            return AtLine(line, "the entry is not ended by ';'");
        }
        if (given.empty() || (last != first && given.size() != 1)) {
            return AtLine(line, last != first ? "expected one value for the range"
                                              : "expected a value after ':'");
        }
        const std::uint64_t end = std::max<std::uint64_t>(last, first + given.size() - 1);
        if (end >= depth) {
            return AtLine(line, "address " + std::to_string(end) +
                                    " is past DEPTH=" + std::to_string(depth));
        }
        for (std::uint64_t a = first; a <= end; ++a) {
            words[a] = given[given.size() == 1 ? 0 : a - first];
        }
    }
    return {};
}

ImportedCoefficients ReadMif(std::string_view text, bool iir) {
    Scanner scanner(text, Scanner::Comments::kMif);
    MifHeader header;
    if (const std::string problem = ReadMifHeader(scanner, header); !problem.empty()) {
        return MifRefusal(problem);
    }
    const int takes = iir ? kMaxIirFileValues : kMaxFirFileValues;
    if (header.depth > takes) {
        return MifRefusal("holds DEPTH=" + std::to_string(header.depth) + " words; " +
                          (iir ? "an IIR filter takes at most " : "a FIR filter takes at most ") +
                          std::to_string(takes));
    }
    const size_t depth = static_cast<size_t>(header.depth);
    std::vector<std::optional<IntegerValue>> words(depth);
    if (const std::string problem = ReadMifContent(scanner, header, words); !problem.empty()) {
        return MifRefusal(problem);
    }
    std::vector<IntegerValue> integers;
    for (size_t a = 0; a < depth; ++a) {
        if (!words[a]) {
            return MifRefusal("address " + std::to_string(a) + " has no value");
        }
        integers.push_back(*words[a]);
    }
    CommentFacts facts;
    for (const std::string_view comment : scanner.CommentTexts()) {
        ReadComment(comment, facts);
    }
    return FinishIntegers(CoeffFileKind::kMif, integers, depth, facts, -1, iir, 0, header.width,
                          "a .mif");
}

} // namespace

CoeffFileKind DetectCoeffFileKind(std::string_view text) {
    text = SkipByteOrderMark(text);
    const std::string_view trimmed = Trim(text);
    const std::string_view firstToken = trimmed.substr(
        0, static_cast<size_t>(std::find_if(trimmed.begin(), trimmed.end(), IsSpace) -
                               trimmed.begin()));
    if (StartsWithNoCase(firstToken, "data_radix")) {
        return CoeffFileKind::kMif;
    }
    if (StartsWithNoCase(firstToken, "data")) {
        return CoeffFileKind::kCoeffFile;
    }
    if (trimmed.starts_with('{')) {
        return CoeffFileKind::kJson;
    }
    if (IsCoeKeyword(FirstWord(text, Scanner::Comments::kCoe))) {
        return CoeffFileKind::kCoe;
    }
    if (IsMifKeyword(FirstWord(text, Scanner::Comments::kMif))) {
        return CoeffFileKind::kMif;
    }
    const std::optional<std::vector<std::string_view>> row = FirstRow(text);
    if (row) {
        if (TableHeader(*row) != TableLayout::kNone) {
            return CoeffFileKind::kCsvTable;
        }
        if (NumberRow(*row)) {
            return CoeffFileKind::kColumns;
        }
    } else if (!trimmed.empty() && trimmed.front() == '#') {
        return CoeffFileKind::kColumns; // comments only: rows that hold no values
    }
    return CoeffFileKind::kUnknown;
}

ImportedCoefficients ImportCoefficients(std::string_view text, bool iir, int bits) {
    text = SkipByteOrderMark(text);
    const CoeffFileKind kind = DetectCoeffFileKind(text);
    switch (kind) {
    case CoeffFileKind::kColumns:
    case CoeffFileKind::kCsvTable:
        return ReadRows(text, iir, kind);
    case CoeffFileKind::kJson:
        return ReadJson(text, iir);
    case CoeffFileKind::kCoe:
        return ReadCoe(text, iir, bits);
    case CoeffFileKind::kMif:
        return ReadMif(text, iir);
    case CoeffFileKind::kCoeffFile:
    case CoeffFileKind::kUnknown:
        break;
    }
    return Refusal(kind, "is not a file of coefficients this reader knows");
}

std::string DescribeImportProblem(const std::string& path, const ImportedCoefficients& imported) {
    const bool sentence =
        imported.problem.starts_with("holds ") || imported.problem.starts_with("is ") ||
        imported.problem.starts_with("has ") || imported.problem.starts_with("gives ");
    return QuotedPath(path) + (sentence ? " " : ": ") + imported.problem;
}

} // namespace files
