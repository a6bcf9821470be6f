#include "app/ViewCommands.h"

#include <cmath>
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
        text += std::string(kind) + " " + TableNumber(root.real()) + " " +
                TableNumber(root.imag()) + "\n";
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
    std::string text;
    for (int section : unstableSections) {
        text += (text.empty() ? "" : "; ") + std::string("unstable: section ") +
                std::to_string(section);
    }
    return text;
}

std::string TableNumber(double value) {
    if (std::isnan(value)) {
        return "undefined";
    }
    if (std::isinf(value)) {
        return value > 0.0 ? "overflow" : "-overflow";
    }
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::vector<int> UnstableSectionsOf(const COlvexDoc& doc, bool iir) {
    if (!iir) {
        return {};
    }
    return dsp::IirPoleZero(doc.TakeCoefficients(true).DesignedSections()).unstableSections;
}

std::vector<std::string> UnstableNotes(const COlvexDoc& doc, bool iir) {
    std::vector<std::string> notes;
    for (int section : UnstableSectionsOf(doc, iir)) {
        notes.push_back("unstable: section " + std::to_string(section));
    }
    return notes;
}

ViewTable FilterViewTable(const COlvexDoc& doc, bool iir, plots::PlotMode view) {
    const dsp::FilterCoefficients c = doc.TakeCoefficients(iir);
    ViewTable table;
    table.notes = UnstableNotes(doc, iir);
    switch (view) {
    case plots::PlotMode::kGroupDelay: {
        const dsp::GroupDelay g = dsp::GroupDelayOf(c, doc.m_fs);
        for (std::size_t i = 0; i < g.delay.size(); ++i) {
            table.text += TableNumber(g.frequency[i]) + " " + TableNumber(g.delay[i]) + "\n";
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
            table.text += std::to_string(n) + " " + TableNumber(samples[n]) + "\n";
        }
        break;
    }
    default: // not a filter view
        break;
    }
    return table;
}

} // namespace commands
