// vantrel-cli --plot: the files come from the view's own plot code. The PNG of the frequency
// response has the gain curve's red pixels where the recorder puts the curve for the same design;
// the PDF is the one-page print-out; the SVG is well-formed and carries the red curve; refused
// options and unwritable files give their exit status and leave no file behind.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <gtest/gtest.h>

#include <memory>

#include "app/OlvexDoc.h"
#include "app/ui/OlvexView.h"
#include "platform/scripted/RecordingDrawContext.h"
#include "platform/scripted/ScriptedHost.h"
#include "plots/PlotConventions.h"
#include "plots/PlotMode.h"
#include "resources/Resources.h"

namespace {

// Runs vantrel-cli with the arguments; its exit status, or -1 when it did not finish.
int RunCli(const QStringList& arguments) {
    QProcess process;
    process.setProgram(QStringLiteral(VANTREL_CLI));
    process.setArguments(arguments);
    process.start();
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
        return -1;
    }
    return process.exitCode();
}

bool IsRed(QRgb c) {
    return qRed(c) > 200 && qGreen(c) < 80 && qBlue(c) < 80;
}

bool RedNear(const QImage& image, platform::Point p) {
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            const QPoint q(p.x + dx, p.y + dy);
            if (image.rect().contains(q) && IsRed(image.pixel(q))) {
                return true;
            }
        }
    }
    return false;
}

TEST(PlotExport, PngGainCurveLandsWhereTheRecorderPutsIt) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("gain.png"));
    ASSERT_EQ(RunCli({"fir", "--taps", "31", "--plot", "response", "--out", path}), 0);
    const QImage image(path);
    ASSERT_FALSE(image.isNull());
    const platform::Size surface = plots::kDefaultPlotSurface;
    ASSERT_EQ(image.size(), QSize(surface.cx, surface.cy));

    // The same design drawn by a view into the recorder at the file's size.
    COlvexDoc doc;
    doc.m_nTaps = 31;
    doc.DesignFir(kLpf);
    platform::ScriptedHost host(resources::FormTemplate());
    COlvexView view(doc, host);
    view.m_nPlotMode = plots::PlotModeNumber(plots::PlotMode::kResponse);
    view.m_bNoDesign = 0;
    auto drawing = std::make_shared<platform::Drawing>();
    {
        platform::RecordingDrawContext dc(drawing, surface);
        view.DrawScreenPlot(dc);
    }
    int segments = 0;
    int red = 0;
    for (const platform::RecordedLine& line : drawing->lines) {
        if (!(line.pen == plots::kRedTracePen)) {
            continue;
        }
        ++segments;
        red += RedNear(image, line.deviceFrom);
    }
    ASSERT_GT(segments, 100);
    // The legend's short red stroke sits next to text; everything else is the curve.
    EXPECT_GE(red * 100, segments * 97) << red << " of " << segments;

    // A design with other band edges draws its curve elsewhere: the check can tell them apart.
    const QString other = dir.filePath(QStringLiteral("other.png"));
    ASSERT_EQ(
        RunCli({"fir", "--taps", "31", "--edges", "100,150", "--plot", "response", "--out", other}),
        0);
    const QImage otherImage(other);
    int stillRed = 0;
    for (const platform::RecordedLine& line : drawing->lines) {
        stillRed += line.pen == plots::kRedTracePen && RedNear(otherImage, line.deviceFrom);
    }
    EXPECT_LT(stillRed * 100, segments * 80);
}

TEST(PlotExport, PdfIsOnePageAndSvgIsWellFormed) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const struct {
        const char* command;
        const char* plot;
    } cases[] = {{"fir", "response"}, {"iir", "waves"}, {"fir", "spectrum"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.command) + " " + c.plot);
        const QString pdf = dir.filePath(QStringLiteral("plot.pdf"));
        ASSERT_EQ(RunCli({c.command, "--plot", c.plot, "--out", pdf}), 0);
        QFile pdfFile(pdf);
        ASSERT_TRUE(pdfFile.open(QIODevice::ReadOnly));
        const QString text = QString::fromLatin1(pdfFile.readAll());
        EXPECT_TRUE(text.startsWith(QStringLiteral("%PDF-")));
        EXPECT_EQ(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))), 1);

        const QString svg = dir.filePath(QStringLiteral("plot.svg"));
        ASSERT_EQ(RunCli({c.command, "--plot", c.plot, "--out", svg}), 0);
        QFile svgFile(svg);
        ASSERT_TRUE(svgFile.open(QIODevice::ReadOnly));
        const QByteArray bytes = svgFile.readAll();
        QXmlStreamReader reader(bytes);
        QString root;
        int elements = 0;
        while (!reader.atEnd()) {
            if (reader.readNext() == QXmlStreamReader::StartElement) {
                root = root.isEmpty() ? reader.name().toString() : root;
                ++elements;
            }
        }
        EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
        EXPECT_EQ(root, QStringLiteral("svg"));
        EXPECT_GT(elements, 50);
        if (QString(c.plot) != QStringLiteral("waves")) {
            EXPECT_TRUE(bytes.contains("#ff0000")) << "the red curve";
        }
    }
}

TEST(PlotExport, RefusalsAndUnwritableFilesLeaveNoFile) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString png = dir.filePath(QStringLiteral("x.png"));
    const struct {
        QStringList arguments;
        int status;
    } cases[] = {
        {{"fir", "--plot", "bode", "--out", png}, 2},
        {{"fir", "--plot", "response", "--out", dir.filePath(QStringLiteral("x.gif"))}, 2},
        {{"fir", "--plot", "response"}, 2},
        {{"fir", "--out", png}, 2},
        {{"fir", "--plot", "response", "--out", dir.filePath(QStringLiteral("no/x.png"))}, 4},
        // The design is refused before anything is drawn.
        {{"fir", "--fs", "-1", "--plot", "response", "--out", png}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        EXPECT_EQ(RunCli(c.arguments), c.status);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }
}

} // namespace
