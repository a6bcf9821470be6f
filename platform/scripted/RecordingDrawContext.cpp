#include "platform/scripted/RecordingDrawContext.h"

#include <cstdlib>

namespace platform {

LogicalFont DefaultContextFont() {
    LogicalFont font;
    font.face = "System";
    font.height = 16;
    font.weight = 700;
    return font;
}

Size RecordedTextExtent(const std::string& text, const LogicalFont& font) {
    constexpr int kUnstatedHeight = 16;
    const int height = font.height == 0 ? kUnstatedHeight : std::abs(font.height);
    const int charWidth = font.width > 0 ? font.width : (height + 1) / 2;
    return {static_cast<int>(text.size()) * charWidth, height};
}

RecordingDrawContext::RecordingDrawContext(std::shared_ptr<Drawing> drawing, Size surface)
    : DrawContext(DefaultContextFont()), m_drawing(std::move(drawing)), m_surface(surface) {}

RecordingDrawContext::~RecordingDrawContext() {
    m_drawing->leakedPens = LivePens();
    m_drawing->leakedFonts = LiveFonts();
    m_drawing->released = true;
}

// The device half of each record arrives first, the logical half completes it.
void RecordingDrawContext::DeviceLine(Point from, Point to, const PenSpec& /*devicePen*/) {
    m_pendingLine.deviceFrom = from;
    m_pendingLine.deviceTo = to;
}

void RecordingDrawContext::OnLogicalLine(Point from, Point to) {
    m_pendingLine.from = from;
    m_pendingLine.to = to;
    m_pendingLine.pen = CurrentPen();
    m_drawing->lines.push_back(m_pendingLine);
}

void RecordingDrawContext::DeviceText(Point topLeft, const std::string& /*text*/,
                                      const LogicalFont& /*deviceFont*/, Rgb color,
                                      bool transparent) {
    m_pendingText.deviceAt = topLeft;
    m_pendingText.color = color;
    m_pendingText.transparent = transparent;
}

Size RecordingDrawContext::DeviceTextExtent(const std::string& text,
                                            const LogicalFont& deviceFont) const {
    return RecordedTextExtent(text, deviceFont);
}

void RecordingDrawContext::OnLogicalText(Point at, const std::string& text) {
    m_pendingText.at = at;
    m_pendingText.extent = GetTextExtent(text);
    m_pendingText.text = text;
    m_pendingText.font = CurrentFont();
    m_drawing->texts.push_back(m_pendingText);
}

} // namespace platform
