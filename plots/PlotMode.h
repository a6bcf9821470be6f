// The plots the plot area shows, each named once: its number as design files and the form's
// state store it, and its command-line word.
#pragma once

#include <optional>
#include <string_view>

namespace plots {

// In the order of the stored numbers 0 .. 6.
enum class PlotMode { kResponse, kSpectra, kWaves, kGroupDelay, kPoleZero, kImpulse, kStep };

constexpr int kPlotModeCount = 7;

// The number a design file and commands::SessionState::m_nPlotMode hold.
constexpr int PlotModeNumber(PlotMode mode) {
    return static_cast<int>(mode);
}
// The mode of a stored number; nothing for a number that names no plot.
std::optional<PlotMode> PlotModeOfNumber(int number);

// The command-line word: response, spectrum, waves, groupdelay, polezero, impulse, step.
std::string_view PlotModeWord(PlotMode mode);
// The mode a command-line word names; nothing for another word.
std::optional<PlotMode> PlotModeOfWord(std::string_view word);

// The four views of the filter beside its frequency response (group delay .. step).
constexpr bool IsFilterView(PlotMode mode) {
    return mode == PlotMode::kGroupDelay || mode == PlotMode::kPoleZero ||
           mode == PlotMode::kImpulse || mode == PlotMode::kStep;
}

} // namespace plots
