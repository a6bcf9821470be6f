// A drawing context that keeps every segment and text with its pen, font and colour, in logical
// and in device units, so tests can check exact coordinates of a plot.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/DrawContext.h"

namespace platform {

struct RecordedLine {
    Point from; // logical
    Point to;
    Point deviceFrom;
    Point deviceTo;
    PenSpec pen; // as selected, logical width
};

struct RecordedText {
    Point at; // logical top-left
    Point deviceAt;
    std::string text;
    LogicalFont font; // as selected, logical height
    Size extent;      // logical size of the text as the context measures it
    Rgb color;
    bool transparent = false;
};

// One drawing, from getting the context to releasing it.
struct Drawing {
    std::vector<RecordedLine> lines;
    std::vector<RecordedText> texts;
    // Pens and fonts still alive when the context was released (0 when the drawing code
    // released everything it created).
    int leakedPens = 0;
    int leakedFonts = 0;
    bool released = false;
};

// The font a fresh context starts with.
LogicalFont DefaultContextFont();

// The recorder's own text metric, the same on every machine: every character is as wide as the
// font's width, or half its height (rounded up) when the width is left to the device; a line is
// as high as the font (16 when the height is left to the device).
Size RecordedTextExtent(const std::string& text, const LogicalFont& font);

class RecordingDrawContext : public DrawContext {
public:
    // Records into `drawing`, which outlives the context. surface: the device size the context
    // reports, (0, 0) for none.
    explicit RecordingDrawContext(std::shared_ptr<Drawing> drawing, Size surface = {});
    ~RecordingDrawContext() override;

    const Drawing& Record() const { return *m_drawing; }
    Size SurfaceSize() const override { return m_surface; }

protected:
    void DeviceLine(Point from, Point to, const PenSpec& devicePen) override;
    void DeviceText(Point topLeft, const std::string& text, const LogicalFont& deviceFont,
                    Rgb color, bool transparent) override;
    Size DeviceTextExtent(const std::string& text, const LogicalFont& deviceFont) const override;
    void OnLogicalLine(Point from, Point to) override;
    void OnLogicalText(Point at, const std::string& text) override;

private:
    std::shared_ptr<Drawing> m_drawing;
    Size m_surface;
    RecordedLine m_pendingLine;
    RecordedText m_pendingText;
};

} // namespace platform
