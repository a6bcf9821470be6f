#include "platform/DrawContext.h"

#include <cmath>
#include <cstdlib>

namespace platform {

namespace {

// (value * numerator) / denominator rounded half away from zero, in 64 bits so that no
// mapping of 32-bit coordinates can overflow.
int ScaleRounded(long long value, long long numerator, long long denominator) {
    const long long product = value * numerator;
    long long quotient = product / denominator;
    const long long remainder = product % denominator;
    if (2 * std::llabs(remainder) >= std::llabs(denominator)) {
        quotient += ((product < 0) != (denominator < 0)) ? -1 : 1;
    }
    return static_cast<int>(quotient);
}

} // namespace

Point Mapping::ToDevice(Point logical) const {
    return {ScaleRounded(static_cast<long long>(logical.x) - windowOrigin.x, viewportExtent.cx,
                         windowExtent.cx) +
                viewportOrigin.x,
            ScaleRounded(static_cast<long long>(logical.y) - windowOrigin.y, viewportExtent.cy,
                         windowExtent.cy) +
                viewportOrigin.y};
}

Point Mapping::ToLogical(Point device) const {
    return {ScaleRounded(static_cast<long long>(device.x) - viewportOrigin.x, windowExtent.cx,
                         viewportExtent.cx) +
                windowOrigin.x,
            ScaleRounded(static_cast<long long>(device.y) - viewportOrigin.y, windowExtent.cy,
                         viewportExtent.cy) +
                windowOrigin.y};
}

double Mapping::ScaleX() const {
    return std::fabs(static_cast<double>(viewportExtent.cx) / windowExtent.cx);
}

double Mapping::ScaleY() const {
    return std::fabs(static_cast<double>(viewportExtent.cy) / windowExtent.cy);
}

DrawContext::DrawContext(LogicalFont defaultFont) {
    m_pens[kDefaultPen] = PenSpec{PenStyle::kSolid, 1, Rgb{0, 0, 0}};
    m_fonts[kDefaultFont] = std::move(defaultFont);
}

void DrawContext::SetWindowExt(Size extent) {
    if (extent.cx != 0 && extent.cy != 0) {
        m_mapping.windowExtent = extent;
    }
}

void DrawContext::SetViewportExt(Size extent) {
    if (extent.cx != 0 && extent.cy != 0) {
        m_mapping.viewportExtent = extent;
    }
}

PenHandle DrawContext::CreatePen(const PenSpec& pen) {
    const PenHandle handle = m_nextHandle++;
    m_pens[handle] = pen;
    return handle;
}

PenHandle DrawContext::SelectPen(PenHandle pen) {
    if (m_pens.count(pen) == 0) {
        return -1;
    }
    const PenHandle previous = m_currentPen;
    m_currentPen = pen;
    return previous;
}

bool DrawContext::DeletePen(PenHandle pen) {
    if (pen == kDefaultPen || pen == m_currentPen) {
        return false;
    }
    return m_pens.erase(pen) == 1;
}

const PenSpec& DrawContext::CurrentPen() const {
    return m_pens.at(m_currentPen);
}

FontHandle DrawContext::CreateFontIndirect(const LogicalFont& font) {
    const FontHandle handle = m_nextHandle++;
    m_fonts[handle] = font;
    return handle;
}

FontHandle DrawContext::SelectFont(FontHandle font) {
    if (m_fonts.count(font) == 0) {
        return -1;
    }
    const FontHandle previous = m_currentFont;
    m_currentFont = font;
    return previous;
}

bool DrawContext::DeleteFont(FontHandle font) {
    if (font == kDefaultFont || font == m_currentFont) {
        return false;
    }
    return m_fonts.erase(font) == 1;
}

const LogicalFont& DrawContext::CurrentFont() const {
    return m_fonts.at(m_currentFont);
}

Rgb DrawContext::SetTextColor(Rgb color) {
    const Rgb previous = m_textColor;
    m_textColor = color;
    return previous;
}

void DrawContext::LineTo(int x, int y) {
    const Point from = m_position;
    const Point to{x, y};
    PenSpec devicePen = CurrentPen();
    // Width 1 stays one device pixel (a cosmetic pen); wider pens scale with the mapping.
    if (devicePen.width > 1) {
        devicePen.width = static_cast<int>(std::lround(devicePen.width * m_mapping.ScaleX()));
    }
    if (devicePen.width < 1) {
        devicePen.width = 1;
    }
    DeviceLine(m_mapping.ToDevice(from), m_mapping.ToDevice(to), devicePen);
    OnLogicalLine(from, to);
    m_position = to;
}

LogicalFont DrawContext::DeviceFont() const {
    LogicalFont deviceFont = CurrentFont();
    deviceFont.height = static_cast<int>(std::lround(deviceFont.height * m_mapping.ScaleY()));
    deviceFont.width = static_cast<int>(std::lround(deviceFont.width * m_mapping.ScaleX()));
    return deviceFont;
}

void DrawContext::TextOut(int x, int y, const std::string& text) {
    DeviceText(m_mapping.ToDevice({x, y}), text, DeviceFont(), m_textColor, m_transparent);
    OnLogicalText({x, y}, text);
}

Size DrawContext::GetTextExtent(const std::string& text) const {
    const Size device = DeviceTextExtent(text, DeviceFont());
    // Rounded up, so a text never reaches past the box measured for it.
    return {static_cast<int>(std::ceil(device.cx / m_mapping.ScaleX() - 1e-9)),
            static_cast<int>(std::ceil(device.cy / m_mapping.ScaleY() - 1e-9))};
}

} // namespace platform
