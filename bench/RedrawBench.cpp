// Time of one RedrawPlot in each plot mode with a 380-tap FIR design: the analysis of the mode
// recomputed from the document, then drawn into the recorder and, when the Qt backend is
// built, into a 460 x 275 QImage as the window's plot area does.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <numbers>

#include "app/OlvexDoc.h"
#include "app/ui/OlvexView.h"
#include "bench/BenchDesigns.h"
#include "platform/scripted/RecordingDrawContext.h"
#include "platform/scripted/ScriptedHost.h"
#include "plots/PlotMode.h"
#include "resources/Resources.h"

#ifdef VANTREL_BENCH_QT
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include "platform/qt/QtDrawContext.h"
#endif

namespace {

using bench::FillLongFir;

// The scripted desktop keeps every drawing; the benchmark throws each one away.
class RecorderHost : public platform::ScriptedHost {
public:
    RecorderHost() : ScriptedHost(resources::FormTemplate()) {}
    std::unique_ptr<platform::DrawContext> GetPlotContext() override {
        return std::make_unique<platform::RecordingDrawContext>(
            std::make_shared<platform::Drawing>());
    }
};

template <class Host> void RunRedraw(benchmark::State& state, Host& host) {
    COlvexDoc doc;
    FillLongFir(doc);
    COlvexView view(doc, host);
    view.m_bNoDesign = 0;
    view.m_nPlotMode = static_cast<int>(state.range(0));
    for (auto _ : state) {
        view.RedrawPlot();
        benchmark::DoNotOptimize(doc.m_aFftMag);
    }
}

void BM_RedrawPlotRecorder(benchmark::State& state) {
    RecorderHost host;
    RunRedraw(state, host);
}
BENCHMARK(BM_RedrawPlotRecorder)
    ->ArgName("mode")
    ->Arg(plots::PlotModeNumber(plots::PlotMode::kResponse))
    ->Arg(plots::PlotModeNumber(plots::PlotMode::kSpectra))
    ->Arg(plots::PlotModeNumber(plots::PlotMode::kWaves))
    ->Unit(benchmark::kMillisecond);

#ifdef VANTREL_BENCH_QT
// The painter must exist before the context that draws with it: it lives in a base that is
// constructed first.
struct ImagePainter {
    explicit ImagePainter(QImage& image) {
        image.fill(Qt::white);
        painter.begin(&image);
    }
    QPainter painter;
};

// A context that paints a QImage of the plot area's size, cleared to white first.
class ImageContext : private ImagePainter, public platform::qt::QtDrawContext {
public:
    explicit ImageContext(QImage& image) : ImagePainter(image), QtDrawContext(painter) {}
};

class ImageHost : public platform::ScriptedHost {
public:
    ImageHost()
        : ScriptedHost(resources::FormTemplate()), m_image(460, 275, QImage::Format_RGB32) {}
    std::unique_ptr<platform::DrawContext> GetPlotContext() override {
        return std::make_unique<ImageContext>(m_image);
    }

private:
    QImage m_image;
};

void BM_RedrawPlotQImage(benchmark::State& state) {
    // Text needs the font database of a GUI application; no display is needed.
    if (QGuiApplication::instance() == nullptr) {
        if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        }
        static int argc = 1;
        static char name[] = "vantrel_bench";
        static char* argv[] = {name, nullptr};
        static QGuiApplication app(argc, argv);
    }
    ImageHost host;
    RunRedraw(state, host);
}
BENCHMARK(BM_RedrawPlotQImage)
    ->ArgName("mode")
    ->Arg(plots::PlotModeNumber(plots::PlotMode::kResponse))
    ->Arg(plots::PlotModeNumber(plots::PlotMode::kSpectra))
    ->Arg(plots::PlotModeNumber(plots::PlotMode::kWaves))
    ->Unit(benchmark::kMillisecond);
#endif

} // namespace
