// Drawing the same plot code into an image, a PDF file or an SVG file.
#pragma once

#include <QImage>
#include <QString>

#include "platform/UiHost.h"

namespace platform::qt {

// A white image of the given size with the page drawn on it.
QImage RenderToImage(QSize size, const PageRenderer& renderer);
// A one-page A4 landscape PDF; false when the file cannot be written.
bool RenderToPdf(const QString& path, const PageRenderer& renderer);
// An SVG of the given size; false when the file cannot be written.
bool RenderToSvg(const QString& path, QSize size, const PageRenderer& renderer);

} // namespace platform::qt
