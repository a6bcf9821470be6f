// The nesting of a JSON text's brackets, checked before the JSON library parses it: the library
// builds and copies its values recursively, so a text nested deep enough would exhaust the stack
// there. The scan skips strings (with their escapes) and leaves malformed text to the parser.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace files {

struct JsonNestingExcess {
    size_t byte = 0;   // the bracket that opens the level beyond the limit
    std::string field; // the object keys of the levels around it, joined by '.' ("" none)
};

// Where the text's brackets, outside strings, first nest deeper than maxLevels; nothing when
// they never do.
std::optional<JsonNestingExcess> FindJsonNestingBeyond(std::string_view text, int maxLevels);

} // namespace files
