// A warning the system gives when it refuses or questions an entry: the dialog's title, its text
// lines and the template of the warning dialog that shows it. A plain value, so the rules that
// give warnings, the commands and both front ends pass it around alike.
#pragma once

#include <string>
#include <vector>

namespace design {

struct Warning {
    std::string title;
    std::vector<std::string> lines;
    int templateId = 0; // the warning dialog's template
    // The lines joined by single spaces, for one-line reports.
    std::string OneLine() const;
};

} // namespace design
