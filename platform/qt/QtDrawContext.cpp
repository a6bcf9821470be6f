#include "platform/qt/QtDrawContext.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace platform::qt {

namespace {
constexpr int kDefaultFontPixels = 16;
constexpr int kStretchPercent = 100;
constexpr int kMaxStretch = 4000; // QFont's limit
} // namespace

LogicalFont DefaultQtContextFont() {
    LogicalFont font;
    font.face = QGuiApplication::font().family().toStdString();
    font.height = kDefaultFontPixels;
    font.weight = kWeightNormal;
    return font;
}

QFont ToQFont(const LogicalFont& font) {
    QFont qfont(QString::fromStdString(font.face));
    if (font.height < 0) {
        qfont.setPixelSize(-font.height); // the character height itself
    } else if (font.height > 0) {
        // A positive height is the character cell (ascent plus descent): scale the em size so
        // the face's cell comes out at that height.
        qfont.setPixelSize(font.height);
        const int cell = QFontMetrics(qfont).height();
        if (cell > 0) {
            qfont.setPixelSize(std::max(
                1, static_cast<int>(std::lround(double(font.height) * font.height / cell))));
        }
    }
    if (font.weight > 0) {
        qfont.setWeight(static_cast<QFont::Weight>(std::clamp(font.weight, 100, 900)));
    }
    qfont.setItalic(font.italic);
    qfont.setUnderline(font.underline);
    qfont.setStrikeOut(font.strikeOut);
    if (font.width > 0) {
        // A fixed average character width becomes a horizontal stretch of the face.
        const int average = QFontMetrics(qfont).averageCharWidth();
        if (average > 0) {
            qfont.setStretch(std::clamp(font.width * kStretchPercent / average, 1, kMaxStretch));
        }
    }
    return qfont;
}

QtDrawContext::QtDrawContext(QPainter& painter)
    : DrawContext(DefaultQtContextFont()), m_painter(painter) {
    m_painter.setRenderHint(QPainter::Antialiasing, false);
}

Size QtDrawContext::SurfaceSize() const {
    const QPaintDevice* device = m_painter.device();
    if (device == nullptr) {
        return {};
    }
    const double ratio = device->devicePixelRatioF();
    return {static_cast<int>(std::lround(device->width() / ratio)),
            static_cast<int>(std::lround(device->height() / ratio))};
}

Size QtDrawContext::DeviceTextExtent(const std::string& text, const LogicalFont& deviceFont) const {
    // The same font and metrics DeviceText draws with.
    const QFontMetrics metrics(ToQFont(deviceFont));
    return {metrics.horizontalAdvance(QString::fromStdString(text)), metrics.height()};
}

void QtDrawContext::DeviceLine(Point from, Point to, const PenSpec& devicePen) {
    QPen pen(QColor(devicePen.color.r, devicePen.color.g, devicePen.color.b));
    pen.setWidth(devicePen.width);
    pen.setStyle(devicePen.style == PenStyle::kDot ? Qt::DotLine : Qt::SolidLine);
    pen.setCapStyle(Qt::FlatCap);
    m_painter.setPen(pen);
    m_painter.drawLine(from.x, from.y, to.x, to.y);
}

void QtDrawContext::DeviceText(Point topLeft, const std::string& text,
                               const LogicalFont& deviceFont, Rgb color, bool transparent) {
    const QFont font = ToQFont(deviceFont);
    m_painter.setFont(font);
    m_painter.setPen(QColor(color.r, color.g, color.b));
    m_painter.setBackgroundMode(transparent ? Qt::TransparentMode : Qt::OpaqueMode);
    m_painter.setBackground(Qt::white);
    const QFontMetrics metrics(font);
    m_painter.drawText(QPoint(topLeft.x, topLeft.y + metrics.ascent()),
                       QString::fromStdString(text));
}

} // namespace platform::qt
