#include "cli/CliArgs.h"

#include "dsp/Iir.h"
#include "files/NumberText.h"

#include <cstdio>
#include <limits>

namespace cli {

std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> parts;
    std::string current;
    for (char c : text) {
        if (c == ',') {
            parts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    parts.push_back(current);
    return parts;
}

bool ReadDouble(const CliArgs& args, const std::string& name, double& value) {
    if (!args.Has(name)) {
        return true;
    }
    if (!files::ParseDouble(args.Value(name), value)) {
        std::fprintf(stderr, "--%s: Please enter a number.\n", name.c_str());
        return false;
    }
    return true;
}

bool ReadIirMethod(const CliArgs& args, int& method) {
    if (!args.Has("method")) {
        return true;
    }
    const int m = dsp::IirMethodOfName(args.Value("method").c_str());
    if (m < 0) {
        std::fprintf(stderr, "--method: expected cheby1, butter, cheby2, ellip or bessel.\n");
        return false;
    }
    method = m;
    return true;
}

bool ReadInt(const CliArgs& args, const std::string& name, int& value) {
    return ReadInt(args, name, value, std::numeric_limits<int>::min() + 1,
                   std::numeric_limits<int>::max() - 1);
}

bool ReadInt(const CliArgs& args, const std::string& name, int& value, int low, int high) {
    if (!args.Has(name)) {
        return true;
    }
    const std::string& text = args.Value(name);
    if (files::ParseInt(text, value)) {
        return true;
    }
    if (!files::IsIntegerText(text)) {
        std::fprintf(stderr, "--%s: Please enter an integer.\n", name.c_str());
        return false;
    }
    const bool negative = text.find('-') != std::string::npos;
    if ((negative && low == std::numeric_limits<int>::min()) ||
        (!negative && high == std::numeric_limits<int>::max())) {
        std::fprintf(stderr, "--%s: %s\n", name.c_str(), files::IntRangeMessage(low, high).c_str());
        return false;
    }
    value = negative ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    return true;
}

bool ReadZoom(const CliArgs& args, const std::string& name, int& zoom) {
    if (!args.Has(name)) {
        return true;
    }
    const std::string& word = args.Value(name);
    if (word != "1" && word != "10") {
        std::fprintf(stderr, "--%s: expected 1 or 10\n", name.c_str());
        return false;
    }
    zoom = word == "10" ? 1 : 0;
    return true;
}

int ParseFilterType(const std::string& text) {
    static const char* const kNames[] = {"lpf", "hpf", "brf", "bpf"};
    for (int t = 0; t < 4; ++t) {
        if (text == kNames[t]) {
            return t;
        }
    }
    return -1;
}

void PrintValue(std::FILE* out, double value) {
    std::fprintf(out, "%.17g\n", value);
}

} // namespace cli
