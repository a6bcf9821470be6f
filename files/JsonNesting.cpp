#include "files/JsonNesting.h"

#include <vector>

namespace files {

std::optional<JsonNestingExcess> FindJsonNestingBeyond(std::string_view text, int maxLevels) {
    std::vector<char> open;        // '{' or '[' of every level entered
    std::vector<std::string> keys; // the latest key of every level, "" in a list
    std::string lastString;
    bool inString = false;
    bool escaped = false;
    size_t stringStart = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (inString) {
            if (escaped) {
                escaped = false;
            } else if (c == '\\') {
                escaped = true;
            } else if (c == '"') {
                inString = false;
                lastString.assign(text.substr(stringStart, i - stringStart));
            }
            continue;
        }
        switch (c) {
        case '"':
            inString = true;
            stringStart = i + 1;
            break;
        case ':':
            if (!open.empty() && open.back() == '{') {
                keys.back() = lastString;
            }
            break;
        case '{':
        case '[':
            if (open.size() >= static_cast<size_t>(maxLevels)) {
                JsonNestingExcess excess;
                excess.byte = i;
                for (const std::string& key : keys) {
                    if (!key.empty()) {
                        excess.field += (excess.field.empty() ? "" : ".") + key;
                    }
                }
                return excess;
            }
            open.push_back(c);
            keys.emplace_back();
            break;
        case '}':
        case ']':
            if (!open.empty()) {
                open.pop_back();
                keys.pop_back();
            }
            break;
        default:
            break;
        }
    }
    return std::nullopt;
}

} // namespace files
