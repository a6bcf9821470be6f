#include "plots/PlotMode.h"

#include <iterator>

namespace plots {

namespace {

struct ModeWord {
    PlotMode mode;
    std::string_view word;
};
constexpr ModeWord kModeWords[] = {
    {PlotMode::kResponse, "response"}, {PlotMode::kSpectra, "spectrum"},
    {PlotMode::kWaves, "waves"},       {PlotMode::kGroupDelay, "groupdelay"},
    {PlotMode::kPoleZero, "polezero"}, {PlotMode::kImpulse, "impulse"},
    {PlotMode::kStep, "step"},
};
static_assert(std::size(kModeWords) == kPlotModeCount);

} // namespace

std::optional<PlotMode> PlotModeOfNumber(int number) {
    if (number < 0 || number >= kPlotModeCount) {
        return std::nullopt;
    }
    return static_cast<PlotMode>(number);
}

std::string_view PlotModeWord(PlotMode mode) {
    for (const ModeWord& entry : kModeWords) {
        if (entry.mode == mode) {
            return entry.word;
        }
    }
    return {};
}

std::optional<PlotMode> PlotModeOfWord(std::string_view word) {
    for (const ModeWord& entry : kModeWords) {
        if (entry.word == word) {
            return entry.mode;
        }
    }
    return std::nullopt;
}

} // namespace plots
