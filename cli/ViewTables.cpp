// --table groupdelay|polezero|impulse|step: the numbers of the window's filter views, printed
// instead of the coefficients, after Coefficients (--quantize) has run.
#include <cstdio>

#include "app/ViewCommands.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "cli/PlotOptions.h"

namespace cli {

int CheckTableOption(const CliArgs& args) {
    if (!args.Has("table")) {
        return kExitOk;
    }
    plots::PlotMode view{};
    if (!commands::FilterViewOf(args.Value("table"), view)) {
        std::fprintf(stderr, "--table: '%s' is not groupdelay, polezero, impulse or step\n",
                     args.Value("table").c_str());
        return kExitInvalid;
    }
    for (const char* other : {"measure", "advise-bits", "report", "hw-report"}) {
        if (args.Has(other)) {
            std::fprintf(stderr, "--table: not with --%s (both print on standard output)\n", other);
            return kExitInvalid;
        }
    }
    return kExitOk;
}

void NoteUnstable(const RunState& run) {
    if (run.unstableNoted) {
        return;
    }
    for (const std::string& note : commands::UnstableNotes(run.doc, run.Iir())) {
        std::fprintf(stderr, "%s\n", note.c_str());
        run.unstableNoted = true;
    }
}

void PrintTableOption(const CliArgs& args, RunState& run) {
    plots::PlotMode view{};
    commands::FilterViewOf(args.Value("table"), view);
    const commands::ViewTable table = commands::FilterViewTable(run.doc, run.Iir(), view);
    std::fputs(table.text.c_str(), run.listing.Stream());
    // The table's notes open with the unstable sections, named once per run.
    const size_t unstableNotes = commands::UnstableNotes(run.doc, run.Iir()).size();
    NoteUnstable(run);
    for (size_t i = unstableNotes; i < table.notes.size(); ++i) {
        std::fprintf(stderr, "%s\n", table.notes[i].c_str());
    }
}

} // namespace cli
