#include "platform/scripted/RecordingDrawContext.h"

namespace platform {

LogicalFont DefaultContextFont() {
    LogicalFont font;
    font.face = "System";
    font.height = 16;
    font.weight = 700;
    return font;
}

RecordingDrawContext::RecordingDrawContext(std::shared_ptr<Drawing> drawing)
    : DrawContext(DefaultContextFont()), m_drawing(std::move(drawing)) {}

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

void RecordingDrawContext::OnLogicalText(Point at, const std::string& text) {
    m_pendingText.at = at;
    m_pendingText.text = text;
    m_pendingText.font = CurrentFont();
    m_drawing->texts.push_back(m_pendingText);
}

} // namespace platform
