#include "platform/qt/QtRender.h"

#include <QBuffer>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>

#include "platform/qt/QtDrawContext.h"

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

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    if (bytes.isEmpty()) {
        return false;
    }
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size() && file.flush();
}

} // namespace

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
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(),
                                     QPageLayout::Millimeter));
    QPainter painter;
    if (!painter.begin(&writer) || !DrawPage(painter, renderer)) {
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
