// The drawing context on a QPainter: widgets (through the plot area's image), QImage, QPrinter
// (paper and PDF) and QSvgGenerator all draw through this one class.
#pragma once

#include <QPainter>

#include "platform/DrawContext.h"

namespace platform::qt {

// A QFont for a logical font already scaled to device units.
QFont ToQFont(const LogicalFont& font);

class QtDrawContext : public DrawContext {
public:
    // Draws with `painter`, which must stay active for the context's life.
    explicit QtDrawContext(QPainter& painter);

    // The painter's device in device-independent pixels.
    Size SurfaceSize() const override;

protected:
    Size DeviceTextExtent(const std::string& text, const LogicalFont& deviceFont) const override;
    void DeviceLine(Point from, Point to, const PenSpec& devicePen) override;
    void DeviceText(Point topLeft, const std::string& text, const LogicalFont& deviceFont,
                    Rgb color, bool transparent) override;

private:
    QPainter& m_painter;
};

// The font a fresh context starts with: the desktop's default font at 16 pixels.
LogicalFont DefaultQtContextFont();

} // namespace platform::qt
