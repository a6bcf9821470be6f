#include "app/ViewCommands.h"

#include <cstdio>
#include <optional>

#include "app/OlvexDoc.h"
#include "dsp/GroupDelay.h"
#include "dsp/ImpulseStep.h"
#include "dsp/PoleZero.h"

namespace commands {

namespace {

constexpr int kLineSize = 96;

void AppendLine(std::string& text, const char* format, auto... values) {
    char line[kLineSize];
    std::snprintf(line, sizeof line, format, values...);
    text += line;
}

void AppendRoots(std::string& text, const char* kind, const std::vector<dsp::Root>& roots) {
    for (const dsp::Root& root : roots) {
        AppendLine(text, "%s %.17g %.17g\n", kind, root.real(), root.imag());
    }
}

} // namespace

bool FilterViewOf(const std::string& word, plots::PlotMode& view) {
    const std::optional<plots::PlotMode> mode = plots::PlotModeOfWord(word);
    if (!mode || !plots::IsFilterView(*mode)) {
        return false;
    }
    view = *mode;
    return true;
}

std::string UnstableText(const std::vector<int>& unstableSections) {
    return unstableSections.empty() ? std::string()
                                    : "unstable: section " + std::to_string(unstableSections[0]);
}

ViewTable FilterViewTable(const COlvexDoc& doc, bool iir, plots::PlotMode view) {
    const dsp::FilterCoefficients c = doc.TakeCoefficients(iir);
    ViewTable table;
    if (iir) {
        for (int section : dsp::IirPoleZero(c.DesignedSections()).unstableSections) {
            table.notes.push_back("unstable: section " + std::to_string(section));
        }
    }
    switch (view) {
    case plots::PlotMode::kGroupDelay: {
        const dsp::GroupDelay g = dsp::GroupDelayOf(c, doc.m_fs);
        for (std::size_t i = 0; i < g.delay.size(); ++i) {
            AppendLine(table.text, "%.17g %.17g\n", g.frequency[i], g.delay[i]);
        }
        if (g.undefinedPoints > 0) {
            table.notes.push_back("group delay undefined (zero response) at " +
                                  std::to_string(g.undefinedPoints) + " frequencies, given as 0");
        }
        break;
    }
    case plots::PlotMode::kPoleZero: {
        const dsp::PoleZeroSet set = dsp::PoleZeroOf(c);
        AppendRoots(table.text, "zero", set.zeros);
        AppendRoots(table.text, "pole", set.poles);
        for (int section : set.unstableSections) {
            AppendLine(table.text, "unstable: section %d\n", section);
        }
        break;
    }
    case plots::PlotMode::kImpulse:
    case plots::PlotMode::kStep: {
        const std::vector<double> samples = dsp::TimeResponseOf(
            c, view == plots::PlotMode::kStep ? dsp::Excitation::kStep : dsp::Excitation::kImpulse);
        for (std::size_t n = 0; n < samples.size(); ++n) {
            AppendLine(table.text, "%zu %.17g\n", n, samples[n]);
        }
        break;
    }
    default: // not a filter view
        break;
    }
    return table;
}

} // namespace commands
