// --plot response|waves|spectrum|groupdelay|polezero|impulse|step --out FILE on fir, iir, load
// and wave: after the command has
// run, the plot of that mode is drawn by the window's plot routines (plots/) through a drawing
// context and written as PNG, SVG or PDF by the file's extension. PNG and SVG show the plot area
// of the window at its default size; the PDF is the print-out, one A4 landscape page.
//
// The drawing goes through the QPainter drawing context, which needs Qt GUI but no widgets. A
// build without the window program has no Qt at all, and then --plot is refused.
#include "cli/PlotOptions.h"

#include "app/OlvexDoc.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "files/OutputFile.h"
#include "plots/AnalysisPlot.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#ifdef VANTREL_PLOT_EXPORT
#include <QGuiApplication>

#include "platform/qt/QtRender.h"
#include "plots/PlotPicture.h"
#endif

namespace cli {

namespace {

#ifdef VANTREL_PLOT_EXPORT
// The words of --plot and the plot mode each one shows (0 response, 1 spectra, 2 waves, then
// the filter views: 3 group delay, 4 pole-zero, 5 impulse, 6 step).
struct PlotWord {
    const char* word;
    int plotMode;
};
constexpr PlotWord kPlotWords[] = {
    {"response", 0}, {"waves", 2},   {"spectrum", 1}, {"groupdelay", 3},
    {"polezero", 4}, {"impulse", 5}, {"step", 6},
};

int PlotModeOf(const std::string& word) {
    for (const PlotWord& entry : kPlotWords) {
        if (word == entry.word) {
            return entry.plotMode;
        }
    }
    return -1;
}

// The file's bytes: the plot of `plotMode` as the window would show it now.
QByteArray RenderPlot(RunState& run, int plotMode, platform::PictureFormat format) {
    // Text needs a GUI application; a batch run draws off screen unless told otherwise, so the
    // output is the same with or without a display.
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    // Qt's own notices (a missing runtime folder, the platform plugin's hints) are no concern of
    // a batch run; only its errors reach standard error.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg) {
            std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
        }
    });
    static int argc = 1;
    static char name[] = "vantrel-cli";
    static char* argv[] = {name, nullptr};
    QGuiApplication application(argc, argv);

    // The window's hardware wave beside the ideal one is a choice of its In/Out Wave dialog
    // that the command line does not offer.
    const plots::PlotState state{plotMode, run.Iir() ? 1 : 0, !run.Designed(), false};
    const plots::PlotPicture picture = plots::PlotPictureOf(run.doc, state, format);
    return platform::qt::RenderPictureBytes(picture.format, QSize(picture.size.cx, picture.size.cy),
                                            picture.draw);
}
#endif

} // namespace

int CheckPlotOptions(const CliArgs& args) {
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
    if (PlotModeOf(args.Value("plot")) < 0) {
        std::fprintf(stderr,
                     "--plot: '%s' is not response, waves, spectrum, groupdelay, polezero, "
                     "impulse or step\n",
                     args.Value("plot").c_str());
        return kExitInvalid;
    }
    if (!plots::PictureFormatOf(args.Value("out"))) {
        std::fprintf(stderr, "--out: '%s' does not end in .png, .svg or .pdf\n",
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
    const std::string& path = args.Value("out");
    run.m_nPlotMode = PlotModeOf(args.Value("plot"));
    const QByteArray bytes = RenderPlot(run, run.m_nPlotMode, *plots::PictureFormatOf(path));
    if (bytes.isEmpty()) {
        std::fprintf(stderr, "--out: %s: the plot could not be drawn\n", path.c_str());
        return kExitFileError;
    }
    const files::OutputResult written = files::WriteOutputFile(
        path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
    if (!written.ok) {
        std::fprintf(stderr, "--out: %s\n", written.Describe().c_str());
        return kExitFileError;
    }
    return kExitOk;
#endif
}

} // namespace cli
