#include "platform/qt/QtRender.h"

#include <QFileInfo>
#include <QPainter>
#include <QPrinter>
#include <QSvgGenerator>

#include "platform/qt/QtDrawContext.h"

namespace platform::qt {

QImage RenderToImage(QSize size, const PageRenderer& renderer) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QtDrawContext dc(painter);
    renderer(dc);
    return image;
}

bool RenderToPdf(const QString& path, const PageRenderer& renderer) {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Landscape);
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    {
        QtDrawContext dc(painter);
        renderer(dc);
    }
    return painter.end();
}

bool RenderToSvg(const QString& path, QSize size, const PageRenderer& renderer) {
    QSvgGenerator generator;
    generator.setFileName(path);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    QPainter painter;
    if (!painter.begin(&generator)) {
        return false;
    }
    {
        QtDrawContext dc(painter);
        renderer(dc);
    }
    painter.end();
    return QFileInfo(path).size() > 0;
}

} // namespace platform::qt
