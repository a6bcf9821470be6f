// The polyphase model, walk and template text. The model sums in 128 bits: B + D + 9 bits (the
// hardware's accumulator) can pass 64 at B = 32, D = 24.
#include "vhdl/Polyphase.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "dsp/NumberForms.h"
#include "vhdl/BitTrueModel.h"

namespace vhdl {

namespace {

__extension__ typedef __int128 WideSum;

// sum shifted right by `shift` bits (floor), saturated to `dataBits`; counts a clipped output.
std::int64_t ScaleSum(WideSum sum, int coeffBits, int dataBits, SaturationCount* saturation) {
    const WideSum shifted = sum >> (coeffBits - 1); // arithmetic: floor
    const WideSum high = (WideSum{1} << (dataBits - 1)) - 1;
    const WideSum low = -(WideSum{1} << (dataBits - 1));
    const WideSum clipped = std::clamp(shifted, low, high);
    if (saturation != nullptr && clipped != shifted) {
        ++saturation->filterOutput;
    }
    return static_cast<std::int64_t>(clipped);
}

int CeilLog2(int n) {
    int bits = 1;
    while ((1 << bits) < n) {
        ++bits;
    }
    return bits;
}

std::string Number(int v, const char* format = "%d") {
    char text[32];
    std::snprintf(text, sizeof text, format, v);
    return text;
}

// Replaces every occurrence of token in line with replacement.
void ReplaceEvery(std::string& line, std::string_view token, const std::string& replacement) {
    for (size_t at = line.find(token); at != std::string::npos;
         at = line.find(token, at + replacement.size())) {
        line.replace(at, token.size(), replacement);
    }
}

// Replaces the indexed tokens "NAME  0" .. "NAME399" of the line by `value(index)`.
template <typename Value>
void ReplaceIndexed(std::string& line, std::string_view name, const Value& value) {
    constexpr size_t kIndexLength = 3;
    for (size_t at = line.find(name); at != std::string::npos; at = line.find(name, at + 1)) {
        if (at + name.size() + kIndexLength > line.size()) {
            break;
        }
        const std::string digits = line.substr(at + name.size(), kIndexLength);
        int index = 0;
        bool seenDigit = false;
        bool ok = true;
        for (const char ch : digits) {
            if (ch == ' ' && !seenDigit) {
                continue;
            }
            if (ch < '0' || ch > '9') {
                ok = false;
                break;
            }
            seenDigit = true;
            index = index * 10 + (ch - '0');
        }
        if (ok && seenDigit) {
            line.replace(at, name.size() + kIndexLength, value(index));
        }
    }
}

} // namespace

std::vector<std::int64_t> PolyphaseBitTrue(std::span<const std::int64_t> taps, int coeffBits,
                                           int dataBits, std::span<const std::int64_t> input,
                                           RateChange rate, SaturationCount* saturation) {
    std::vector<std::int64_t> output;
    const auto sample = [&input](std::int64_t n) -> std::int64_t {
        return n >= 0 && n < static_cast<std::int64_t>(input.size()) ? input[static_cast<size_t>(n)]
                                                                     : 0;
    };
    const auto ntaps = static_cast<std::int64_t>(taps.size());
    const auto nin = static_cast<std::int64_t>(input.size());
    if (rate.kind == RateKind::kDecimate) {
        const std::int64_t m = rate.factor;
        for (std::int64_t n = 0; n < nin; n += m) {
            WideSum sum = 0;
            for (std::int64_t k = 0; k < ntaps && k <= n; ++k) {
                sum += static_cast<WideSum>(taps[static_cast<size_t>(k)]) * sample(n - k);
            }
            output.push_back(ScaleSum(sum, coeffBits, dataBits, saturation));
        }
    } else if (rate.kind == RateKind::kInterpolate) {
        const std::int64_t l = rate.factor;
        for (std::int64_t j = 0; j < nin; ++j) {
            for (std::int64_t p = 0; p < l; ++p) {
                WideSum sum = 0;
                for (std::int64_t i = 0; p + i * l < ntaps; ++i) {
                    sum +=
                        static_cast<WideSum>(taps[static_cast<size_t>(p + i * l)]) * sample(j - i);
                }
                output.push_back(ScaleSum(sum, coeffBits, dataBits, saturation));
            }
        }
    } else {
        output.assign(input.begin(), input.end());
    }
    return output;
}

std::vector<PolyphaseEntry> PolyphaseEntries(std::span<const std::int64_t> taps, RateChange rate) {
    std::vector<PolyphaseEntry> entries;
    const int ntaps = static_cast<int>(taps.size());
    if (rate.kind == RateKind::kInterpolate) {
        for (int p = 0; p < rate.factor; ++p) {
            const size_t first = entries.size();
            for (int i = 0; p + i * rate.factor < ntaps; ++i) {
                const std::int64_t literal = taps[static_cast<size_t>(p + i * rate.factor)];
                if (literal != 0) {
                    entries.push_back({literal, i, false});
                }
            }
            if (entries.size() == first) {
                entries.push_back({0, 0, false});
            }
            entries.back().last = true;
        }
        return entries;
    }
    for (int k = 0; k < ntaps; ++k) {
        if (taps[static_cast<size_t>(k)] != 0) {
            entries.push_back({taps[static_cast<size_t>(k)], k, false});
        }
    }
    if (entries.empty()) {
        entries.push_back({0, 0, false});
    }
    entries.back().last = true;
    return entries;
}

namespace {

// The walk split into its outputs' runs of entries.
std::vector<std::vector<PolyphaseEntry>> OutputRuns(std::span<const std::int64_t> taps,
                                                    RateChange rate) {
    std::vector<std::vector<PolyphaseEntry>> runs(1);
    for (const PolyphaseEntry& entry : PolyphaseEntries(taps, rate)) {
        runs.back().push_back(entry);
        if (entry.last) {
            runs.emplace_back();
        }
    }
    runs.pop_back(); // the walk ends with a last entry
    return runs;
}

} // namespace

int PolyphaseUsedMultipliers(std::span<const std::int64_t> taps, RateChange rate, int multipliers) {
    size_t longest = 1;
    for (const auto& run : OutputRuns(taps, rate)) {
        longest = std::max(longest, run.size());
    }
    return std::clamp(multipliers, 1, static_cast<int>(longest));
}

std::vector<PolyphaseEntry> PolyphaseFoldedEntries(std::span<const std::int64_t> taps,
                                                   RateChange rate, int multipliers) {
    const auto lanes = static_cast<size_t>(PolyphaseUsedMultipliers(taps, rate, multipliers));
    std::vector<PolyphaseEntry> entries;
    for (std::vector<PolyphaseEntry> run : OutputRuns(taps, rate)) {
        run.back().last = false;
        run.resize((run.size() + lanes - 1) / lanes * lanes, PolyphaseEntry{});
        run.back().last = true;
        entries.insert(entries.end(), run.begin(), run.end());
    }
    return entries;
}

int PolyphaseRows(std::span<const std::int64_t> taps, RateChange rate, int multipliers) {
    const int lanes = PolyphaseUsedMultipliers(taps, rate, multipliers);
    return static_cast<int>(PolyphaseFoldedEntries(taps, rate, multipliers).size()) / lanes;
}

int PolyphaseDepth(int taps, RateChange rate) {
    if (rate.kind == RateKind::kInterpolate) {
        return std::max(1, (taps + rate.factor - 1) / rate.factor);
    }
    return std::max(1, taps);
}

int PolyphaseAddressBits(int taps, RateChange rate) {
    const int depth = PolyphaseDepth(taps, rate);
    return CeilLog2(rate.kind == RateKind::kDecimate ? depth + rate.factor - 1 : depth);
}

int PolyphaseClocks(int entries, RateChange rate) {
    return rate.kind == RateKind::kDecimate ? std::max(rate.factor, entries + 1) : entries + 1;
}

double PolyphaseInputsPerClock(int entries, RateChange rate) {
    const double clocks = PolyphaseClocks(entries, rate);
    return rate.kind == RateKind::kDecimate ? rate.factor / clocks : 1.0 / clocks;
}

double PolyphaseClocksPerInput(int entries, RateChange rate) {
    return 1.0 / PolyphaseInputsPerClock(entries, rate);
}

std::string PolyphaseTemplateName(RateChange rate, HdlLanguage language, bool folded) {
    return std::string(rate.kind == RateKind::kInterpolate ? "firfilter_interp"
                                                           : "firfilter_decim") +
           (folded ? "_folded" : "") + HdlExtension(language);
}

std::string RateChangeWords(RateChange rate) {
    return std::string(rate.kind == RateKind::kInterpolate ? "Interpolation = " : "Decimation = ") +
           std::to_string(rate.factor);
}

std::string PolyphaseArchitectureWords(int entries, RateChange rate, int multipliers) {
    const int clocks = PolyphaseClocks(entries, rate);
    std::string text = multipliers <= 0
                           ? std::string("polyphase, 1 multiplier, ")
                           : "polyphase folded, " + std::to_string(multipliers) +
                                 (multipliers == 1 ? " multiplier, " : " multipliers, ");
    text += std::to_string(clocks) + " clocks per ";
    if (rate.kind == RateKind::kDecimate) {
        return text + std::to_string(rate.factor) + " input samples";
    }
    return text + "input sample (" + std::to_string(rate.factor) + " outputs)";
}

PolyphaseChoice ChoosePolyphaseMultipliers(std::span<const std::int64_t> taps, RateChange rate,
                                           double clockHz, double fs) {
    const double budget = clockHz > 0.0 && fs > 0.0 ? std::floor(rate.factor * clockHz / fs) : 0.0;
    const int most = PolyphaseUsedMultipliers(taps, rate, kMaxPolyphaseMultipliers);
    for (int k = 1; k <= most; ++k) {
        if (PolyphaseClocks(PolyphaseRows(taps, rate, k), rate) <= budget) {
            return {k, true};
        }
    }
    return {most, false};
}

std::optional<std::string> PolyphaseRefusal(const dsp::FilterCoefficients& c, RateChange rate,
                                            int multipliers) {
    if (c.iir) {
        return std::string("a rate change needs a FIR filter");
    }
    const std::vector<std::int64_t> literals = FirLiterals(c);
    const size_t entries = PolyphaseEntries(literals, rate).size();
    if (entries > static_cast<size_t>(kMaxPolyphaseEntries)) {
        return "the polyphase hardware holds at most " + std::to_string(kMaxPolyphaseEntries) +
               " products per job; this filter has " + std::to_string(entries);
    }
    const size_t padded = PolyphaseFoldedEntries(literals, rate, multipliers).size();
    if (padded > static_cast<size_t>(kMaxPolyphaseEntries)) {
        return "the folded polyphase hardware holds at most " +
               std::to_string(kMaxPolyphaseEntries) + " table entries per job; with " +
               std::to_string(PolyphaseUsedMultipliers(literals, rate, multipliers)) +
               " multipliers each output's products padded to whole rows take " +
               std::to_string(padded) + ": choose fewer multipliers";
    }
    return std::nullopt;
}

std::string SubstitutePolyphaseTemplate(const dsp::FilterCoefficients& c, int dataBits,
                                        RateChange rate, std::string_view templateText,
                                        HeaderVariant variant, int multipliers) {
    const std::vector<std::int64_t> literals = FirLiterals(c);
    const std::vector<PolyphaseEntry> entries = PolyphaseFoldedEntries(literals, rate, multipliers);
    const int count = static_cast<int>(entries.size());
    const int width = c.LiteralWidth();
    const auto literal = [&](int e) {
        const std::int64_t v = e < count ? entries[static_cast<size_t>(e)].literal : 0;
        return coeffs::FormatBinaryWidth(static_cast<int>(v), width);
    };
    const auto code = [&](int e) {
        if (e >= count) {
            return Number(1, "%4d");
        }
        const PolyphaseEntry& entry = entries[static_cast<size_t>(e)];
        return Number(2 * entry.back + (entry.last ? 1 : 0), "%4d");
    };
    const std::pair<const char*, std::string> tokens[] = {
        {"POLYM", Number(rate.factor, "%2d")},
        {"POLYE", Number(count, "%3d")},
        {"POLYD", Number(PolyphaseDepth(c.ShownTaps(), rate), "%3d")},
        {"POLYA", Number(PolyphaseAddressBits(c.ShownTaps(), rate), "%2d")},
        {"POLYK", Number(PolyphaseUsedMultipliers(literals, rate, multipliers), "%2d")},
    };
    std::string text;
    size_t start = 0;
    while (start < templateText.size()) {
        size_t end = templateText.find('\n', start);
        const bool lineEnd = end != std::string_view::npos;
        end = lineEnd ? end : templateText.size();
        std::string line(templateText.substr(start, end - start));
        start = end + 1;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        ReplaceIndexed(line, "reph", literal);
        ReplaceIndexed(line, "repo", code);
        for (const auto& [token, value] : tokens) {
            ReplaceEvery(line, token, value);
        }
        int pastTaps = kMaxPolyphaseEntries; // the tap tokens are done: only the widths remain
        text += SubstituteFirLine(c, dataBits, line, pastTaps);
        if (lineEnd || variant == HeaderVariant::kDisplay) {
            text += variant == HeaderVariant::kDisplay ? "\r\n" : "\n";
        }
    }
    return text;
}

std::vector<LeftoverToken> FindPolyphaseLeftovers(std::string_view substitutedText) {
    constexpr std::string_view kTokens[] = {"reph",  "repo", "POLYM", "POLYE", "POLYD", "POLYA",
                                            "POLYK", "TAPN", "ADDB",  "DIOB",  "COB"};
    std::vector<LeftoverToken> found;
    int lineNumber = 1;
    for (size_t at = 0; at < substitutedText.size(); ++at) {
        if (substitutedText[at] == '\n') {
            ++lineNumber;
            continue;
        }
        for (const std::string_view token : kTokens) {
            if (substitutedText.substr(at, token.size()) == token) {
                found.push_back({lineNumber, std::string(token)});
                at += token.size() - 1;
                break;
            }
        }
    }
    return found;
}

} // namespace vhdl
