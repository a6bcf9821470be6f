// --plot response|waves|spectrum|groupdelay|polezero|impulse|step --out FILE on fir, iir, load
// and wave: after the command has
// run, the plot of that mode is drawn by the window's plot routines (plots/) through a drawing
// context and written as PNG, SVG or PDF by the file's extension. PNG and SVG show the plot area
// of the window at its default size; the PDF is the print-out, one A4 landscape page.
//
// The picture is rendered by the window's Qt renderers in a module loaded for it alone
// (cli/PictureModule.h), so a run without --plot maps no GUI library. A build without the window
// program has no Qt at all, and then --plot is refused.
#include "cli/PlotOptions.h"

#include "app/OlvexDoc.h"
#include "app/PlotCommands.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "files/OutputFile.h"
#include "plots/PlotMode.h"

#include <cstdio>
#include <optional>
#include <string>

#ifdef VANTREL_PLOT_EXPORT
#include "cli/PictureModule.h"
#include "plots/PlotPicture.h"
#endif

namespace cli {

namespace {

#ifdef VANTREL_PLOT_EXPORT
// The picture format: --out-format, else the extension of --out.
std::optional<platform::PictureFormat> OutFormat(const CliArgs& args) {
    return plots::PictureFormatOf(args.Has("out-format") ? "plot." + args.Value("out-format")
                                                         : args.Value("out"));
}

// The file's bytes: the plot of `mode` as the window would show it now.
std::string RenderPlot(RunState& run, plots::PlotMode mode, platform::PictureFormat format,
                       std::string& problem) {
    // The window's hardware wave beside the ideal one is a choice of its In/Out Wave dialog
    // that the command line does not offer.
    const plots::PlotState state{mode, run.Iir(), !run.Designed(), false};
    const plots::PlotPicture picture =
        plots::PlotPictureOf(commands::ComputePlot(run.doc, state), format);
    return RenderPictureThroughModule(picture.format, picture.size, picture.draw, problem);
}
#endif

} // namespace

int CheckPlotOptions(const CliArgs& args) {
    if (args.Has("out-format") && !args.Has("out")) {
        std::fputs("--out-format needs --out FILE\n", stderr);
        return kExitInvalid;
    }
    if (!args.Has("plot") && !args.Has("out")) {
        return kExitOk;
    }
#ifndef VANTREL_PLOT_EXPORT
    std::fputs("--plot: plot files are not available in this build (it has no Qt)\n", stderr);
    return kExitInvalid;
#else
    if (!args.Has("plot") || !args.Has("out")) {
        std::fprintf(stderr, "--plot and --out: give both, --plot %s --out FILE\n", kPlotChoices);
        return kExitInvalid;
    }
    if (!plots::PlotModeOfWord(args.Value("plot"))) {
        std::fprintf(stderr,
                     "--plot: '%s' is not response, waves, spectrum, groupdelay, polezero, "
                     "impulse or step\n",
                     args.Value("plot").c_str());
        return kExitInvalid;
    }
    if (!OutFormat(args)) {
        std::fprintf(stderr,
                     "--out: '%s' does not end in .png, .svg or .pdf; give --out-format "
                     "png|svg|pdf\n",
                     args.Value("out").c_str());
        return kExitInvalid;
    }
    return kExitOk;
#endif
}

int WritePlotOption(const CliArgs& args, RunState& run) {
    if (!args.Has("plot")) {
        return kExitOk;
    }
#ifndef VANTREL_PLOT_EXPORT
    (void)run;
    return kExitInvalid;
#else
    NoteUnstable(run);
    const std::string& path = args.Value("out");
    const plots::PlotMode mode = *plots::PlotModeOfWord(args.Value("plot"));
    run.m_nPlotMode = plots::PlotModeNumber(mode);
    std::string problem;
    const std::string bytes = RenderPlot(run, mode, *OutFormat(args), problem);
    if (!problem.empty()) {
        std::fprintf(stderr, "--plot: %s\n", problem.c_str());
        return kExitFileError;
    }
    if (bytes.empty()) {
        std::fprintf(stderr, "--out: %s: the plot could not be drawn\n", path.c_str());
        return kExitFileError;
    }
    const files::OutputResult written = files::WriteOutputFile(path, bytes);
    if (!written.ok) {
        std::fprintf(stderr, "--out: %s\n", written.Describe().c_str());
        return kExitFileError;
    }
    return kExitOk;
#endif
}

} // namespace cli
