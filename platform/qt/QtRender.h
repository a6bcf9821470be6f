// Drawing the same plot code into an image, a PDF page or an SVG picture. These need only Qt GUI
// (and Qt SVG), so the batch command line renders its plot files with them without widgets.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QRectF>
#include <QString>

#include "platform/DrawContext.h"

namespace platform::qt {

// Where the page draws, in device units (the bounding box of its lines and texts).
QRectF PageExtent(const PageRenderer& renderer);
// Draws the page with `painter` scaled (one scale for both axes) and moved so that what it
// draws fills `target` (device units of the painter's device), centred.
void DrawFittedPage(QPainter& painter, const QRectF& target, const PageRenderer& renderer);

// A white image of the given size with the page drawn on it.
QImage RenderToImage(QSize size, const PageRenderer& renderer);

// The bytes of a file holding the page: a PNG or an SVG of the given size, or a one-page A4
// landscape PDF at the printer's resolution (kPdfResolution dots per inch), the page's drawing
// filling the sheet inside margins of kPdfMarginMm. Empty when rendering failed.
constexpr int kPdfResolution = 1200;
constexpr double kPdfMarginMm = 10.0;
QByteArray RenderToPngBytes(QSize size, const PageRenderer& renderer);
QByteArray RenderToSvgBytes(QSize size, const PageRenderer& renderer);
QByteArray RenderToPdfBytes(const PageRenderer& renderer);

// The bytes of a picture file: PNG or SVG of `size`, or the PDF page (size unused).
QByteArray RenderPictureBytes(PictureFormat format, QSize size, const PageRenderer& renderer);

// The same written straight to a file; false when the file cannot be written.
bool RenderToPdf(const QString& path, const PageRenderer& renderer);
bool RenderToSvg(const QString& path, QSize size, const PageRenderer& renderer);

} // namespace platform::qt
