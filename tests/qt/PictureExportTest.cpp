// Print > Export plot… on the Qt desktop: the picture comes from the same drawing path as
// vantrel-cli --plot --out, so the PNG of the same design has the same pixels; the SVG and the PDF
// are files of their kind.
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "app/DesignCommands.h"
#include "app/ExportCommands.h"
#include "app/OlvexDoc.h"
#include "app/PlotCommands.h"
#include "app/qt/MainFrame.h"
#include "platform/qt/QtUiHost.h"
#include "plots/PlotPicture.h"

namespace {

// The window's picture of the response of the default design with 31 taps.
std::string WindowPicture(platform::PictureFormat format) {
    COlvexDoc doc;
    commands::FirDesignRequest request;
    request.taps = 31;
    commands::DesignFir(doc, request);
    CMainFrame frame{doc};
    const plots::PlotState state{plots::PlotMode::kResponse, false, false, false};
    const plots::PlotPicture picture =
        plots::PlotPictureOf(commands::ComputePlot(doc, state), format);
    return frame.Host().RenderPicture(picture.format, picture.size, picture.draw);
}

TEST(PictureExport, WindowAndCommandLineDrawTheSamePicture) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("gain.png"));
    QProcess cli;
    cli.start(QStringLiteral(VANTREL_CLI),
              {"fir", "--taps", "31", "--plot", "response", "--out", path});
    ASSERT_TRUE(cli.waitForFinished(60000));
    ASSERT_EQ(cli.exitCode(), 0);

    const std::string png = WindowPicture(platform::PictureFormat::kPng);
    QImage window;
    ASSERT_TRUE(window.loadFromData(reinterpret_cast<const uchar*>(png.data()),
                                    static_cast<int>(png.size()), "PNG"));
    const QImage batch(path);
    ASSERT_EQ(window.size(), batch.size());
    EXPECT_TRUE(window.convertToFormat(QImage::Format_RGB32) ==
                batch.convertToFormat(QImage::Format_RGB32));

    EXPECT_EQ(WindowPicture(platform::PictureFormat::kPdf).rfind("%PDF-", 0), 0u);
    EXPECT_NE(WindowPicture(platform::PictureFormat::kSvg).find("<svg"), std::string::npos);
}

} // namespace
