#include "platform/qt/QtRender.h"

#include <QBuffer>
#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include "platform/qt/QtDrawContext.h"
#include "plots/PictureRender.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace platform::qt {

namespace {

// Draws the page with a painter already begun on its device, then ends the painter.
bool DrawPage(QPainter& painter, const PageRenderer& renderer) {
    {
        QtDrawContext dc(painter);
        renderer(dc);
    }
    return painter.end();
}

// Records where a page would draw, in device units, without drawing it.
class ExtentContext : public DrawContext {
public:
    ExtentContext() : DrawContext(DefaultQtContextFont()) {}
    QRectF Extent() const { return m_extent; }

protected:
    Size DeviceTextExtent(const std::string& text, const LogicalFont& deviceFont) const override {
        const QFontMetrics metrics(ToQFont(deviceFont));
        return {metrics.horizontalAdvance(QString::fromStdString(text)), metrics.height()};
    }
    void DeviceLine(Point from, Point to, const PenSpec& devicePen) override {
        const double half = std::max(devicePen.width, 1) / 2.0;
        Add(QRectF(QPointF(std::min(from.x, to.x) - half, std::min(from.y, to.y) - half),
                   QPointF(std::max(from.x, to.x) + half, std::max(from.y, to.y) + half)));
    }
    void DeviceText(Point topLeft, const std::string& text, const LogicalFont& deviceFont,
                    Rgb /*color*/, bool /*transparent*/) override {
        const Size size = DeviceTextExtent(text, deviceFont);
        Add(QRectF(topLeft.x, topLeft.y, size.cx, size.cy));
    }

private:
    void Add(const QRectF& box) { m_extent = m_extent.isNull() ? box : m_extent.united(box); }
    QRectF m_extent;
};

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    if (bytes.isEmpty()) {
        return false;
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

} // namespace

QRectF PageExtent(const PageRenderer& renderer) {
    ExtentContext extent;
    renderer(extent);
    return extent.Extent();
}

void DrawFittedPage(QPainter& painter, const QRectF& target, const PageRenderer& renderer) {
    const QRectF extent = PageExtent(renderer);
    painter.save();
    if (extent.width() > 0 && extent.height() > 0 && !target.isEmpty()) {
        // One scale for both axes, the largest that fits; the drawing centred on the target.
        const double scale =
            std::min(target.width() / extent.width(), target.height() / extent.height());
        painter.translate(target.center());
        painter.scale(scale, scale);
        painter.translate(-extent.center());
    }
    {
        QtDrawContext dc(painter);
        renderer(dc);
    }
    painter.restore();
}

QImage RenderToImage(QSize size, const PageRenderer& renderer) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QtDrawContext dc(painter);
    renderer(dc);
    return image;
}

QByteArray RenderToPngBytes(QSize size, const PageRenderer& renderer) {
    const QImage image = RenderToImage(size, renderer);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        return {};
    }
    return bytes;
}

QByteArray RenderToSvgBytes(QSize size, const PageRenderer& renderer) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    QPainter painter;
    if (!painter.begin(&generator) || !DrawPage(painter, renderer)) {
        return {};
    }
    return bytes;
}

QByteArray RenderToPdfBytes(const PageRenderer& renderer) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(kPdfResolution);
    writer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                    QMarginsF(kPdfMarginMm, kPdfMarginMm, kPdfMarginMm, kPdfMarginMm),
                    QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&writer)) {
        return {};
    }
    DrawFittedPage(painter, QRectF(0, 0, writer.width(), writer.height()), renderer);
    if (!painter.end()) {
        return {};
    }
    return bytes;
}

bool RenderToPdf(const QString& path, const PageRenderer& renderer) {
    return WriteBytes(path, RenderToPdfBytes(renderer));
}

bool RenderToSvg(const QString& path, QSize size, const PageRenderer& renderer) {
    return WriteBytes(path, RenderToSvgBytes(size, renderer));
}

QByteArray RenderPictureBytes(PictureFormat format, QSize size, const PageRenderer& renderer) {
    switch (format) {
    case PictureFormat::kPdf:
        return RenderToPdfBytes(renderer);
    case PictureFormat::kSvg:
        return RenderToSvgBytes(size, renderer);
    case PictureFormat::kPng:
        break;
    }
    return RenderToPngBytes(size, renderer);
}

} // namespace platform::qt

// The picture files of vantrel-cli: a batch run has no GUI application, and text needs one.
std::string plots::RenderPictureFile(platform::PictureFormat format, platform::Size size,
                                     const platform::PageRenderer& draw) {
    std::unique_ptr<QGuiApplication> application;
    if (QGuiApplication::instance() == nullptr) {
        // A batch run draws off screen unless told otherwise, so the output is the same with
        // or without a display.
        if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
            setenv("QT_QPA_PLATFORM", "offscreen", 1);
        }
        // Qt's own notices (a missing runtime folder, the platform plugin's hints) are no
        // concern of a batch run; only its errors reach standard error.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtCriticalMsg || type == QtFatalMsg) {
                std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
            }
        });
        static int argc = 1;
        static char name[] = "vantrel-cli";
        static char* argv[] = {name, nullptr};
        application = std::make_unique<QGuiApplication>(argc, argv);
    }
    const QByteArray bytes =
        platform::qt::RenderPictureBytes(format, QSize(size.cx, size.cy), draw);
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}
