// The window on the desktop: the file dialogs' choices of file kinds, the print-out filling its
// page, the window class the desktop entry names, a design file named on the command line, and
// the recent designs that are gone leaving the File menu.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "app/DesignCommands.h"
#include "app/OlvexDoc.h"
#include "app/PlotCommands.h"
#include "app/qt/MainFrame.h"
#include "platform/qt/QtRender.h"
#include "platform/qt/QtUiHost.h"
#include "plots/PlotPicture.h"
#include "plots/ui/ExportPlotHandler.h"
#include "resources/Resources.h"

namespace {

// Reads the choices of the next file dialog as soon as it is shown, then cancels it. Another
// dialog in its way is cancelled as well, so the filters stay empty and the test fails.
void CancelNextFileDialog(QStringList& filters, QString& selected) {
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer, &filters, &selected] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        if (auto* files = qobject_cast<QFileDialog*>(dialog)) {
            filters = files->nameFilters();
            selected = files->selectedNameFilter();
        }
        dialog->reject();
    });
    timer->start(10);
}

// The profile's recent list is the test program's own; each test leaves it as it found it.
struct DesktopTest : ::testing::Test {
    COlvexDoc doc;
    CMainFrame frame{doc};
    std::vector<std::string> savedRecent = frame.Host().RecentFiles();
    DesktopTest() { frame.ShowAndUpdate(); }
    ~DesktopTest() override { frame.Host().SetRecentFiles(savedRecent); }
};

TEST_F(DesktopTest, EveryFileDialogListsItsKindThenAllFiles) {
    const QString all = QStringLiteral("All files (*)");
    const QStringList design = {QStringLiteral("Design Files (*.vantrel)"), all};
    // The window's own Open, Save As and Export plot, with the filters their handlers pass.
    struct Command {
        int id;
        QStringList expected;
    };
    for (const Command& c :
         {Command{resources::kIdFileOpen, design}, Command{resources::kIdFileSaveAs, design},
          Command{resources::kIdExportPlot,
                  {QStringLiteral("Pictures (*.png *.svg *.pdf)"), all}}}) {
        QStringList filters;
        QString selected;
        CancelNextFileDialog(filters, selected);
        frame.OnCommand(c.id);
        EXPECT_EQ(filters, c.expected) << c.id;
        EXPECT_EQ(selected, c.expected.front()) << c.id;
    }
    // Requests without a filter take the kind of the name they suggest.
    struct Request {
        const char* fileName;
        const char* filter;
        QStringList expected;
    };
    const Request requests[] = {
        {"coeffs.txt", "", {QStringLiteral("TXT files (*.txt)"), all}},
        {"/tmp/firfilter.vhd", "", {QStringLiteral("VHD files (*.vhd)"), all}},
        {"*.*", "", {all}},
        {"*.csv", "", {QStringLiteral("Files (*.csv)"), all}},
        {"noextension", "", {all}},
        {"",
         "Text (*.txt)|*.txt;*.csv|All Files (*.*)|*.*||",
         {QStringLiteral("Text (*.txt *.csv)"), all}},
        {"", "Waves|*.wav||", {QStringLiteral("Waves (*.wav)"), all}},
    };
    for (const Request& r : requests) {
        for (bool open : {true, false}) {
            platform::FileDialogRequest request;
            request.open = open;
            request.fileName = r.fileName;
            request.filter = r.filter;
            QStringList filters;
            QString selected;
            CancelNextFileDialog(filters, selected);
            EXPECT_FALSE(frame.Host().RunFileDialog(request).has_value());
            EXPECT_EQ(filters, r.expected) << r.fileName << " " << r.filter << " " << open;
        }
    }
}

// The extent of what is drawn on a white image.
QRect DrawnBox(const QImage& image) {
    QRect box;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            if (qGray(line[x]) < 200) {
                box = box.united(QRect(x, y, 1, 1));
            }
        }
    }
    return box;
}

// The print page of a designed low-pass: its drawing fills the target, aspect kept, centred.
TEST_F(DesktopTest, PrintPageFillsTheTargetKeepingItsAspect) {
    commands::FirDesignRequest fir;
    fir.taps = 31;
    commands::DesignFir(doc, fir);
    const platform::PageRenderer page = [this](platform::DrawContext& dc) {
        frame.View().OnPrint(dc);
    };
    const QRectF extent = platform::qt::PageExtent(page);
    ASSERT_GT(extent.width(), 0);
    const double aspect = extent.width() / extent.height();
    for (const QSize size : {QSize(1403, 992), QSize(992, 1403), QSize(600, 600)}) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter painter(&image);
            platform::qt::DrawFittedPage(painter, QRectF(QPointF(0, 0), QSizeF(size)), page);
        }
        const QRect box = DrawnBox(image);
        ASSERT_FALSE(box.isEmpty()) << size.width();
        // One side reaches across the target (less the blank of the outermost texts), the
        // other keeps the drawing's aspect, and the margins left and right match.
        const double across =
            std::max(double(box.width()) / size.width(), double(box.height()) / size.height());
        EXPECT_GT(across, 0.95) << size.width() << "x" << size.height();
        EXPECT_NEAR(double(box.width()) / box.height(), aspect, 0.1 * aspect) << size.width();
        EXPECT_LE(std::abs(box.left() - (size.width() - 1 - box.right())), size.width() / 20)
            << size.width();
    }
}

// Export plot's PNG at the width the size dialog asks by default: the picture has that size and
// the plot is drawn across it, not in a corner at the screen's size.
TEST_F(DesktopTest, ExportedPngIsDrawnAcrossTheAskedSize) {
    commands::FirDesignRequest fir;
    fir.taps = 31;
    commands::DesignFir(doc, fir);
    const plots::PlotState state{plots::PlotMode::kResponse, false, false, false};
    plots::PlotPicture picture =
        plots::PlotPictureOf(commands::ComputePlot(doc, state), platform::PictureFormat::kPng);
    picture.size = {CExportSizeDialog::kDefaultWidth, 1096};
    const std::string png = frame.Host().RenderPicture(picture.format, picture.size, picture.draw);
    QImage image;
    ASSERT_TRUE(image.loadFromData(reinterpret_cast<const uchar*>(png.data()),
                                   static_cast<int>(png.size()), "PNG"));
    EXPECT_EQ(image.size(), QSize(1876, 1096));
    const QRect box = DrawnBox(image);
    EXPECT_GT(box.width(), image.width() * 9 / 10);
    EXPECT_GT(box.height(), image.height() * 9 / 10);
}

// The page of a PDF as pdftoppm rasterizes it at 40 dots per inch.
QImage RasterizedPdf(const QString& pdf) {
    QProcess raster;
    raster.start(QStringLiteral("pdftoppm"), {"-r", "40", "-png", "-singlefile", pdf, pdf});
    if (!raster.waitForFinished(60000) || raster.exitCode() != 0) {
        return {};
    }
    return QImage(pdf + QStringLiteral(".png"));
}

TEST_F(DesktopTest, PrintedAndExportedPdfPagesCarryThePlotAcrossThePage) {
    if (QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty()) {
        GTEST_SKIP() << "pdftoppm (poppler-utils) is not installed";
    }
    commands::FirDesignRequest fir;
    fir.taps = 31;
    commands::DesignFir(doc, fir);
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const platform::PageRenderer page = [this](platform::DrawContext& dc) {
        frame.View().OnPrint(dc);
    };
    // Print to a PDF file through the window's printer, and the exported PDF picture.
    const QString printed = dir.filePath(QStringLiteral("printed.pdf"));
    frame.Host().Printer().setOutputFormat(QPrinter::PdfFormat);
    frame.Host().Printer().setOutputFileName(printed);
    ASSERT_TRUE(frame.Host().Print(platform::PrintKind::kDirect, page));
    const QString exported = dir.filePath(QStringLiteral("exported.pdf"));
    ASSERT_TRUE(platform::qt::RenderToPdf(exported, page));
    for (const QString& pdf : {printed, exported}) {
        const QImage image = RasterizedPdf(pdf);
        ASSERT_FALSE(image.isNull()) << pdf.toStdString();
        const QRect box = DrawnBox(image);
        // The plot spans at least four fifths of the page across one side (the rest is the
        // margins).
        const double across =
            std::max(double(box.width()) / image.width(), double(box.height()) / image.height());
        EXPECT_GT(across, 0.8) << pdf.toStdString();
        // Centred on the page (the margins are the same all round).
        EXPECT_NEAR(box.center().x(), image.width() / 2, image.width() / 20) << pdf.toStdString();
        EXPECT_NEAR(box.center().y(), image.height() / 2, image.height() / 20) << pdf.toStdString();
    }
}

// The X11 window class is the application's name (the program sets it at start); the desktop
// entry must name that class, or docks show a generic icon.
TEST(DesktopEntry, NamesTheWindowClassTheFileTypeAndTheFileArgument) {
    QFile file(QStringLiteral(VANTREL_SOURCE_DIR "/packaging/vantrel.desktop"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QMap<QString, QString> entry;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals > 0) {
            entry[line.left(equals)] = line.mid(equals + 1);
        }
    }
    EXPECT_EQ(entry.value(QStringLiteral("StartupWMClass")).toStdString(),
              resources::LoadString(resources::kIdsAppTitle));
    EXPECT_EQ(entry.value(QStringLiteral("Exec")), QStringLiteral("vantrel %f"));
    // The type the MIME package gives *.vantrel.
    QFile mime(QStringLiteral(VANTREL_SOURCE_DIR "/packaging/vantrel-mime.xml"));
    ASSERT_TRUE(mime.open(QIODevice::ReadOnly | QIODevice::Text));
    const QString types = QString::fromUtf8(mime.readAll());
    EXPECT_TRUE(types.contains(QStringLiteral("<glob pattern=\"*.vantrel\"/>")));
    for (const QString& type :
         entry.value(QStringLiteral("MimeType")).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        EXPECT_TRUE(types.contains(QStringLiteral("type=\"%1\"").arg(type))) << type.toStdString();
    }
    EXPECT_FALSE(entry.value(QStringLiteral("MimeType")).isEmpty());
}

TEST_F(DesktopTest, ADesignFileNamedOnTheCommandLineOpens) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A design saved by another window.
    COlvexDoc other;
    commands::FirDesignRequest fir;
    fir.taps = 45;
    commands::DesignFir(other, fir);
    const QString path = dir.filePath(QStringLiteral("lowpass.vantrel"));
    CMainFrame saver{other};
    saver.ShowAndUpdate();
    saver.View().m_bNoDesign = 0;
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [timer, path] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            // The dialog keeps the name field's text while the field has the focus (as it has
            // whenever the window is active), so the field gives it up first.
            if (QWidget* focus = dialog->focusWidget()) {
                focus->clearFocus();
            }
            dialog->selectFile(path);
            static_cast<QDialog*>(dialog)->accept(); // as the Save button does
        }
    });
    timer->start(10);
    saver.OnCommand(resources::kIdFileSaveAs);
    ASSERT_TRUE(QFileInfo::exists(path));

    // Opened by name, relative to the current folder as a shell passes it. A refusal's message
    // box is closed and its text kept.
    QString refusal;
    auto* watch = new QTimer(&frame);
    QObject::connect(watch, &QTimer::timeout, [&refusal] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            refusal = box->text();
            box->reject();
        }
    });
    watch->start(10);
    const QString current = QDir::currentPath();
    QDir::setCurrent(dir.path());
    const bool opened = frame.OpenFile(QStringLiteral("lowpass.vantrel"));
    QDir::setCurrent(current);
    watch->stop();
    ASSERT_TRUE(opened) << refusal.toStdString();
    EXPECT_EQ(doc.m_nTaps, 45);
    EXPECT_EQ(frame.windowTitle(), QStringLiteral("lowpass.vantrel - Vantrel"));
    ASSERT_FALSE(frame.Host().RecentFiles().empty());
    EXPECT_EQ(frame.Host().RecentFiles().front(), path.toStdString());
}

TEST_F(DesktopTest, RecentDesignsThatAreGoneLeaveTheMenu) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString kept = dir.filePath(QStringLiteral("kept.vantrel"));
    QFile(kept).open(QIODevice::WriteOnly);
    const QString gone = dir.filePath(QStringLiteral("gone.vantrel"));
    frame.Host().SetRecentFiles({gone.toStdString(), kept.toStdString()});
    // The menu is built with the window.
    CMainFrame window{doc};
    EXPECT_EQ(window.Host().RecentFiles(), std::vector<std::string>{kept.toStdString()});
    QAction* first = window.Action(resources::kIdRecentFirst);
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->text(), QStringLiteral("&1 kept.vantrel"));
    EXPECT_FALSE(window.Action(resources::kIdRecentFirst + 1)->isVisible());
}

} // namespace
