// Section blocks of the templates: the markers, the repetition and the small expressions.
#include "vhdl/TemplateBlocks.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <optional>

namespace vhdl {

namespace {

constexpr std::string_view kOpenWord = "SECTION";
constexpr std::string_view kEndWord = "END";
constexpr std::string_view kValueOpen = "@{";
constexpr std::string_view kConditionOpen = "@[";
// Values past this are refused rather than left to overflow.
constexpr std::int64_t kLargest = 1'000'000'000'000;
constexpr int kWidestField = 99;
// Parentheses and signs an expression may nest (a bound on the parser's recursion).
constexpr int kDeepest = 32;

// A piece of a template line as a message quotes it: at most 60 characters, then "...".
std::string Quoted(std::string_view text) {
    constexpr size_t kShown = 60;
    return "\"" + std::string(text.substr(0, kShown)) + (text.size() > kShown ? "...\"" : "\"");
}

struct Scope {
    int n = 0;
    int s = 0;
    bool inBlock = false;
};

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// "--@WORD" or "//@WORD" alone on its line or followed by a blank and a remark; the marker as
// written, empty when the line is no such marker.
std::string_view Marker(std::string_view trimmed, std::string_view word) {
    if (trimmed.size() < 3 + word.size() ||
        (trimmed.substr(0, 3) != "--@" && trimmed.substr(0, 3) != "//@") ||
        trimmed.substr(3, word.size()) != word) {
        return {};
    }
    const size_t end = 3 + word.size();
    if (end < trimmed.size() && !std::isspace(static_cast<unsigned char>(trimmed[end]))) {
        return {};
    }
    return trimmed.substr(0, end);
}

// Recursive descent over EXPR and COND; `error` says what went wrong (empty when nothing did).
class Evaluator {
public:
    Evaluator(std::string_view text, const Scope& scope) : m_text(text), m_scope(scope) {}

    std::optional<std::int64_t> Value() {
        const std::optional<std::int64_t> v = Sum();
        return Finish(v);
    }

    std::optional<bool> Condition() {
        Blanks();
        bool negate = false;
        if (Take('!')) {
            negate = true;
            Blanks();
        }
        std::optional<bool> holds;
        if (Word("first")) {
            holds = NeedS() ? std::optional<bool>(m_scope.s == 1) : std::nullopt;
        } else if (Word("last")) {
            holds = NeedS() ? std::optional<bool>(m_scope.s == m_scope.n) : std::nullopt;
        } else {
            holds = Comparison();
        }
        if (!holds || !Finish(std::optional<std::int64_t>(0))) {
            return std::nullopt;
        }
        return negate ? !*holds : *holds;
    }

    const std::string& Error() const { return m_error; }

private:
    std::optional<std::int64_t> Finish(std::optional<std::int64_t> v) {
        Blanks();
        if (v && m_at != m_text.size()) {
            return Fail("unexpected " + Quoted(m_text.substr(m_at)));
        }
        return v;
    }

    std::optional<bool> Comparison() {
        const std::optional<std::int64_t> left = Sum();
        if (!left) {
            return std::nullopt;
        }
        Blanks();
        static constexpr std::string_view kOperators[] = {"!=", "<=", ">=", "=", "<", ">"};
        for (const std::string_view op : kOperators) {
            if (m_text.substr(m_at, op.size()) != op) {
                continue;
            }
            m_at += op.size();
            const std::optional<std::int64_t> right = Sum();
            if (!right) {
                return std::nullopt;
            }
            const std::int64_t a = *left;
            const std::int64_t b = *right;
            switch (op[0] == '!' ? 'n' : op.size() == 2 ? (op[0] == '<' ? 'l' : 'g') : op[0]) {
            case 'n':
                return a != b;
            case 'l':
                return a <= b;
            case 'g':
                return a >= b;
            case '=':
                return a == b;
            case '<':
                return a < b;
            default:
                return a > b;
            }
        }
        Fail("a comparison (= != < <= > >=), first or last expected");
        return std::nullopt;
    }

    std::optional<std::int64_t> Sum() {
        std::optional<std::int64_t> v = Product();
        while (v) {
            Blanks();
            const char op = m_at < m_text.size() ? m_text[m_at] : '\0';
            if (op != '+' && op != '-') {
                break;
            }
            ++m_at;
            const std::optional<std::int64_t> right = Product();
            if (!right) {
                return std::nullopt;
            }
            v = Checked(op == '+' ? *v + *right : *v - *right);
        }
        return v;
    }

    std::optional<std::int64_t> Product() {
        std::optional<std::int64_t> v = Factor();
        while (v) {
            Blanks();
            const char op = m_at < m_text.size() ? m_text[m_at] : '\0';
            if (op != '*' && op != '/') {
                break;
            }
            ++m_at;
            const std::optional<std::int64_t> right = Factor();
            if (!right) {
                return std::nullopt;
            }
            if (op == '/' && *right == 0) {
                return Fail("division by zero");
            }
            v = Checked(op == '*' ? *v * *right : *v / *right);
        }
        return v;
    }

    std::optional<std::int64_t> Factor() {
        Blanks();
        if (m_depth >= kDeepest) {
            return Fail("nested too deeply");
        }
        if (Take('-')) {
            ++m_depth;
            const std::optional<std::int64_t> v = Factor();
            --m_depth;
            return v ? std::optional<std::int64_t>(-*v) : std::nullopt;
        }
        if (Take('(')) {
            ++m_depth;
            const std::optional<std::int64_t> v = Sum();
            --m_depth;
            Blanks();
            if (v && !Take(')')) {
                return Fail("\")\" expected");
            }
            return v;
        }
        if (Word("s")) {
            return NeedS() ? std::optional<std::int64_t>(m_scope.s) : std::nullopt;
        }
        if (Word("n")) {
            return m_scope.n;
        }
        const size_t start = m_at;
        while (m_at < m_text.size() && std::isdigit(static_cast<unsigned char>(m_text[m_at]))) {
            ++m_at;
        }
        if (m_at == start) {
            return Fail("a number, s, n or \"(\" expected" +
                        (m_at < m_text.size() ? " at " + Quoted(m_text.substr(m_at))
                                              : std::string(" at the end")));
        }
        if (m_at - start > 12) {
            return Fail("the number is too large");
        }
        return std::strtoll(std::string(m_text.substr(start, m_at - start)).c_str(), nullptr, 10);
    }

    std::optional<std::int64_t> Checked(std::int64_t v) {
        if (v > kLargest || v < -kLargest) {
            return Fail("the value is too large");
        }
        return v;
    }

    bool NeedS() {
        if (!m_scope.inBlock) {
            Fail("s is only known inside a section block");
            return false;
        }
        return true;
    }

    // A name not followed by a letter, digit or underscore.
    bool Word(std::string_view word) {
        Blanks();
        if (m_text.substr(m_at, word.size()) != word) {
            return false;
        }
        const size_t end = m_at + word.size();
        if (end < m_text.size() &&
            (std::isalnum(static_cast<unsigned char>(m_text[end])) || m_text[end] == '_')) {
            return false;
        }
        m_at = end;
        return true;
    }

    bool Take(char c) {
        if (m_at < m_text.size() && m_text[m_at] == c) {
            ++m_at;
            return true;
        }
        return false;
    }

    void Blanks() {
        while (m_at < m_text.size() && (m_text[m_at] == ' ' || m_text[m_at] == '\t')) {
            ++m_at;
        }
    }

    std::nullopt_t Fail(const std::string& why) {
        if (m_error.empty()) {
            m_error = why;
        }
        return std::nullopt;
    }

    std::string_view m_text;
    Scope m_scope;
    size_t m_at = 0;
    int m_depth = 0; // parentheses and signs open around the current factor
    std::string m_error;
};

struct Line {
    std::string_view text; // with its line end
    int number = 0;
};

class Expander {
public:
    explicit Expander(int sections) : m_sections(sections) {}

    // Writes one template line in the scope; false (with the error set) when it cannot be.
    bool Write(const Line& line, const Scope& scope) {
        std::string_view text = line.text;
        if (text.find('@') == std::string_view::npos) {
            Append(text, line.number);
            return true;
        }
        if (text.substr(0, kConditionOpen.size()) == kConditionOpen) {
            const size_t close = text.find(']');
            const size_t end = text.find('\n');
            if (close == std::string_view::npos || (end != std::string_view::npos && close > end)) {
                return Fail(line.number, "\"@[\" has no closing \"]\"");
            }
            const std::string_view condition = text.substr(2, close - 2);
            Evaluator evaluator(condition, scope);
            const std::optional<bool> holds = evaluator.Condition();
            if (!holds) {
                return Fail(line.number, Quoted("@[" + std::string(condition) + "]") +
                                             " is not a condition: " + evaluator.Error());
            }
            if (!*holds) {
                return true;
            }
            text.remove_prefix(close + 1);
        }
        std::string out;
        for (size_t at = 0;;) {
            const size_t open = text.find(kValueOpen, at);
            if (open == std::string_view::npos) {
                out += text.substr(at);
                break;
            }
            out += text.substr(at, open - at);
            const size_t close = text.find('}', open);
            const size_t end = text.find('\n', open);
            if (close == std::string_view::npos || (end != std::string_view::npos && close > end)) {
                const std::string_view rest = Trim(text.substr(open, end - open));
                return Fail(line.number, Quoted(rest) + " has no closing \"}\"");
            }
            const std::string_view inside = text.substr(open + 2, close - open - 2);
            std::string_view expression = inside;
            int width = 0;
            if (const size_t colon = inside.rfind(':'); colon != std::string_view::npos) {
                expression = inside.substr(0, colon);
                const std::string_view field = Trim(inside.substr(colon + 1));
                width = ParseWidth(field);
                if (width <= 0) {
                    return Fail(line.number, Quoted("@{" + std::string(inside) + "}") +
                                                 ": the width after \":\" must be 1.." +
                                                 std::to_string(kWidestField));
                }
            }
            Evaluator evaluator(expression, scope);
            const std::optional<std::int64_t> value = evaluator.Value();
            if (!value) {
                return Fail(line.number,
                            Quoted("@{" + std::string(inside) + "}") +
                                " is not an expression of s and n: " + evaluator.Error());
            }
            std::string digits = std::to_string(*value);
            if (static_cast<int>(digits.size()) < width) {
                digits.insert(0, static_cast<size_t>(width) - digits.size(), ' ');
            }
            out += digits;
            at = close + 1;
        }
        m_out.text += out;
        m_out.sourceLines.push_back(line.number);
        return true;
    }

    bool WriteBlock(const std::vector<Line>& block) {
        for (int s = 1; s <= m_sections; ++s) {
            for (const Line& line : block) {
                if (!Write(line, Scope{m_sections, s, true})) {
                    return false;
                }
            }
        }
        return true;
    }

    bool Fail(int lineNumber, const std::string& why) {
        m_out.error = "template line " + std::to_string(lineNumber) + ": " + why;
        return false;
    }

    BlockExpansion Result() {
        if (!m_out.Ok()) {
            m_out.text.clear();
            m_out.sourceLines.clear();
        }
        return std::move(m_out);
    }

    int Sections() const { return m_sections; }

private:
    static int ParseWidth(std::string_view field) {
        if (field.empty() || field.size() > 2) {
            return 0;
        }
        int width = 0;
        for (const char c : field) {
            if (!std::isdigit(static_cast<unsigned char>(c))) {
                return 0;
            }
            width = width * 10 + (c - '0');
        }
        return width;
    }

    void Append(std::string_view text, int lineNumber) {
        m_out.text += text;
        m_out.sourceLines.push_back(lineNumber);
    }

    int m_sections;
    BlockExpansion m_out;
};

} // namespace

BlockExpansion ExpandSectionBlocks(std::string_view templateText, int sections) {
    Expander expander(std::max(sections, 0));
    std::vector<Line> block;
    int blockLine = 0; // the line of the open block's marker; 0 when none is open
    std::string_view blockMarker;
    int number = 0;
    bool ok = true;
    for (size_t at = 0; ok && at < templateText.size();) {
        const size_t end = templateText.find('\n', at);
        const size_t next = end == std::string_view::npos ? templateText.size() : end + 1;
        const Line line{templateText.substr(at, next - at), ++number};
        at = next;
        const std::string_view trimmed = Trim(line.text);
        if (const std::string_view open = Marker(trimmed, kOpenWord); !open.empty()) {
            if (blockLine != 0) {
                ok = expander.Fail(number, "\"" + std::string(open) +
                                               "\" inside the section block opened on line " +
                                               std::to_string(blockLine) + " (blocks do not nest)");
                break;
            }
            blockLine = number;
            blockMarker = open;
            block.clear();
            continue;
        }
        if (const std::string_view close = Marker(trimmed, kEndWord); !close.empty()) {
            if (blockLine == 0) {
                ok =
                    expander.Fail(number, "\"" + std::string(close) + "\" without a section block");
                break;
            }
            ok = expander.WriteBlock(block);
            blockLine = 0;
            continue;
        }
        if (blockLine != 0) {
            block.push_back(line);
        } else {
            ok = expander.Write(line, Scope{expander.Sections(), 0, false});
        }
    }
    if (ok && blockLine != 0) {
        expander.Fail(blockLine, "the section block opened here has no \"" +
                                     std::string(blockMarker.substr(0, 3)) + std::string(kEndWord) +
                                     "\"");
    }
    return expander.Result();
}

std::string SectionBlockError(std::string_view templateText) {
    return ExpandSectionBlocks(templateText, 1).error;
}

} // namespace vhdl
