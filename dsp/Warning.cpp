#include "dsp/Warning.h"

namespace design {

std::string Warning::OneLine() const {
    std::string text;
    for (const std::string& line : lines) {
        // Some warning lines carry a trailing blank of their own.
        if (!text.empty() && text.back() != ' ') {
            text += ' ';
        }
        text += line;
    }
    while (!text.empty() && text.back() == ' ') {
        text.pop_back();
    }
    return text;
}

} // namespace design
