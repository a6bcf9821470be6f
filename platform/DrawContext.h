// The drawing surface every plot draws on: a device context with an anisotropic mapping, pens,
// fonts from a logical-font record, text colour, and line and text output in logical units.
//
// The bookkeeping (mapping arithmetic, the pen and font tables, the current pen, font and
// position) is shared code here; a backend only puts device-space segments and text on its
// device. Pens and fonts are handles that must be deleted by whoever created them; the live
// counts let tests prove that every plot releases what it created.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>

namespace platform {

struct Point {
    int x = 0;
    int y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Size {
    int cx = 0;
    int cy = 0;
    friend bool operator==(const Size&, const Size&) = default;
};

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

enum class PenStyle { kSolid, kDot };

struct PenSpec {
    PenStyle style = PenStyle::kSolid;
    int width = 1; // logical units
    Rgb color;
    friend bool operator==(const PenSpec&, const PenSpec&) = default;
};

// Character sets and clip precisions of the logical-font record, with the values the platform
// used for them.
constexpr int kAnsiCharset = 0;
constexpr int kClipDefaultPrecis = 0;
constexpr int kClipLhAngles = 0x10; // CLIP_LH_ANGLES
constexpr int kWeightNormal = 400;

struct LogicalFont {
    std::string face;
    int height = 0; // logical units; 0 lets the device choose
    int width = 0;  // 0: the face's own aspect
    int escapement = 0;
    int orientation = 0;
    int weight = 0;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int charset = kAnsiCharset;
    int outPrecision = 0;
    int clipPrecision = kClipDefaultPrecis;
    int quality = 0;
    int pitchAndFamily = 0;
    friend bool operator==(const LogicalFont&, const LogicalFont&) = default;
};

// The anisotropic mapping: device = (logical - windowOrigin) * viewportExtent / windowExtent
// + viewportOrigin, per axis, rounded to the nearest device unit.
struct Mapping {
    Point windowOrigin;
    Size windowExtent{1, 1};
    Point viewportOrigin;
    Size viewportExtent{1, 1};

    Point ToDevice(Point logical) const;
    // The logical point that a device point shows (rounded to the nearest logical unit).
    Point ToLogical(Point device) const;
    // Device units per logical unit, for pen widths and font heights.
    double ScaleX() const;
    double ScaleY() const;
};

using PenHandle = int;
using FontHandle = int;

class DrawContext {
public:
    // The context's own pen (solid, width 1, black) and font, selected at creation.
    static constexpr PenHandle kDefaultPen = 0;
    static constexpr FontHandle kDefaultFont = 0;

    explicit DrawContext(LogicalFont defaultFont);
    virtual ~DrawContext() = default;
    DrawContext(const DrawContext&) = delete;
    DrawContext& operator=(const DrawContext&) = delete;

    // ---- Mapping (always anisotropic). A zero extent is refused and leaves the old one. ------
    void SetWindowOrg(Point origin) { m_mapping.windowOrigin = origin; }
    void SetWindowExt(Size extent);
    void SetViewportOrg(Point origin) { m_mapping.viewportOrigin = origin; }
    void SetViewportExt(Size extent);
    const Mapping& GetMapping() const { return m_mapping; }

    // ---- Pens ---------------------------------------------------------------------------------
    PenHandle CreatePen(const PenSpec& pen);
    // Selects a pen and returns the one it replaces; an unknown handle selects nothing and
    // returns -1.
    PenHandle SelectPen(PenHandle pen);
    // Deleting the selected pen or the default pen is refused (returns false), as the platform
    // refused it.
    bool DeletePen(PenHandle pen);
    const PenSpec& CurrentPen() const;

    // ---- Fonts --------------------------------------------------------------------------------
    FontHandle CreateFontIndirect(const LogicalFont& font);
    FontHandle SelectFont(FontHandle font);
    bool DeleteFont(FontHandle font);
    const LogicalFont& CurrentFont() const;

    // ---- Text attributes ----------------------------------------------------------------------
    Rgb SetTextColor(Rgb color);
    Rgb TextColor() const { return m_textColor; }
    // true: text leaves the background as it is.
    void SetTransparentBackground(bool transparent) { m_transparent = transparent; }
    bool TransparentBackground() const { return m_transparent; }

    // ---- Output in logical units --------------------------------------------------------------
    void MoveTo(int x, int y) { m_position = {x, y}; }
    void LineTo(int x, int y);
    // Text with its top-left corner at (x, y).
    void TextOut(int x, int y, const std::string& text);
    // The size TextOut gives the text in the current font, in logical units (rounded up), as
    // the device measures it.
    Size GetTextExtent(const std::string& text) const;
    // The size of the device surface in device units; (0, 0) when the device does not say
    // (paper, or a recorder made without one).
    virtual Size SurfaceSize() const { return {}; }

    // Pens and fonts created here and not yet deleted.
    int LivePens() const { return static_cast<int>(m_pens.size()) - 1; }
    int LiveFonts() const { return static_cast<int>(m_fonts.size()) - 1; }

protected:
    // A segment in device units, drawn with the current pen (its width already in device units).
    virtual void DeviceLine(Point from, Point to, const PenSpec& devicePen) = 0;
    // Text at a device point (top-left), with the current font scaled to device units.
    virtual void DeviceText(Point topLeft, const std::string& text, const LogicalFont& deviceFont,
                            Rgb color, bool transparent) = 0;
    // The size of a text in device units, in a font already scaled to device units.
    virtual Size DeviceTextExtent(const std::string& text, const LogicalFont& deviceFont) const = 0;
    // Called after each logical operation so a recorder can keep the logical values as well.
    virtual void OnLogicalLine(Point /*from*/, Point /*to*/) {}
    virtual void OnLogicalText(Point /*at*/, const std::string& /*text*/) {}

private:
    // The current font with its height and width scaled to device units.
    LogicalFont DeviceFont() const;

    Mapping m_mapping;
    std::map<PenHandle, PenSpec> m_pens;
    std::map<FontHandle, LogicalFont> m_fonts;
    PenHandle m_currentPen = kDefaultPen;
    FontHandle m_currentFont = kDefaultFont;
    int m_nextHandle = 1;
    Rgb m_textColor;
    bool m_transparent = false;
    Point m_position;
};

// Dialog units to pixels: one fixed factor per axis. Horizontally the form's plot-area control
// (268 units) comes out 469 pixels wide, so the phase labels drawn right of the 400-unit plot
// area (from x = 407) stay visible; vertically 1.5 keeps the whole form inside the 600-pixel
// frame.
constexpr double kPixelsPerDialogUnitX = 1.75;
constexpr double kPixelsPerDialogUnitY = 1.5;
constexpr int DialogUnitsToPixelsX(int dialogUnits) {
    return static_cast<int>(dialogUnits * kPixelsPerDialogUnitX);
}
constexpr int DialogUnitsToPixelsY(int dialogUnits) {
    return static_cast<int>(dialogUnits * kPixelsPerDialogUnitY);
}

// Draws one page (a printed page, a picture file) into a drawing context.
using PageRenderer = std::function<void(DrawContext&)>;

// The picture files a plot is written to.
enum class PictureFormat { kPng, kSvg, kPdf };

} // namespace platform
