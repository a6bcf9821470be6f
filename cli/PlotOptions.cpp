// --plot response|waves|spectrum --out FILE on fir, iir, load and wave: after the command has
// run, the plot of that mode is drawn by the window's plot routines (plots/) through a drawing
// context and written as PNG, SVG or PDF by the file's extension. PNG and SVG show the plot area
// of the window at its default size; the PDF is the print-out, one A4 landscape page.
//
// The drawing goes through the QPainter drawing context, which needs Qt GUI but no widgets. A
// build without the window program has no Qt at all, and then --plot is refused.
#include "cli/PlotOptions.h"

#include "app/OlvexDoc.h"
#include "app/OlvexDocEngine.h"
#include "cli/CliArgs.h"
#include "cli/Commands.h"
#include "files/OutputFile.h"
#include "plots/AnalysisPlot.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>

#ifdef VANTREL_PLOT_EXPORT
#include <QGuiApplication>

#include "platform/qt/QtRender.h"
#include "plots/PlotConventions.h"
#endif

namespace cli {

namespace {

#ifdef VANTREL_PLOT_EXPORT
// The words of --plot and the plot mode each one shows (0 response, 1 spectra, 2 waves).
struct PlotWord {
    const char* word;
    int plotMode;
};
constexpr PlotWord kPlotWords[] = {
    {"response", 0},
    {"waves", 2},
    {"spectrum", 1},
};

int PlotModeOf(const std::string& word) {
    for (const PlotWord& entry : kPlotWords) {
        if (word == entry.word) {
            return entry.plotMode;
        }
    }
    return -1;
}

// The file's extension in lower case ("png"), empty when it has none.
std::string Extension(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return {};
    }
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

bool IsPlotExtension(const std::string& extension) {
    return extension == "png" || extension == "svg" || extension == "pdf";
}

// The file's bytes: the plot of `plotMode` as the window would show it now.
QByteArray RenderPlot(RunState& run, int plotMode, const std::string& extension) {
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
    const plots::PlotState state{plotMode, run.iir ? 1 : 0, !run.designed, false};
    if (extension == "pdf") {
        return platform::qt::RenderToPdfBytes([&run, &state](platform::DrawContext& dc) {
            plots::DrawPrintPage(dc, run.doc, state);
        });
    }
    const QSize size(plots::kDefaultPlotSurface.cx, plots::kDefaultPlotSurface.cy);
    const platform::PageRenderer screen = [&run, &state](platform::DrawContext& dc) {
        plots::OpenPlotSurface(dc);
        plots::DrawAnalysisPlot(dc, run.doc, state, plots::Surface::kScreen);
    };
    return extension == "svg" ? platform::qt::RenderToSvgBytes(size, screen)
                              : platform::qt::RenderToPngBytes(size, screen);
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
        std::fputs("--plot and --out: give both, --plot response|waves|spectrum --out FILE\n",
                   stderr);
        return kExitInvalid;
    }
    if (PlotModeOf(args.Value("plot")) < 0) {
        std::fprintf(stderr, "--plot: '%s' is not response, waves or spectrum\n",
                     args.Value("plot").c_str());
        return kExitInvalid;
    }
    if (!IsPlotExtension(Extension(args.Value("out")))) {
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
    run.plotMode = PlotModeOf(args.Value("plot"));
    const QByteArray bytes = RenderPlot(run, run.plotMode, Extension(path));
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
