// Dialog templates: what a dialog or the form looks like, as plain data. Positions and sizes of
// controls are in dialog units; the screen position of a dialog is in pixels. Backends build
// their widgets from a template; the data exchange uses it to find the radio groups.
#pragma once

#include <string>
#include <vector>

#include "platform/DrawContext.h"

namespace platform {

// Ids of the two standard buttons.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
// Controls without an id of their own (labels, group frames).
constexpr int kIdStatic = -1;

enum class ControlKind {
    kEdit,
    kRadio,
    kCheckBox,
    kSlider,
    kStaticText,
    kGroupBox,
    kPicture,
    kPushButton,
    kDefaultPushButton,
};

// Style bits of a control.
enum ControlStyle : unsigned {
    kStyleNone = 0,
    kStyleGroupStart = 1u << 0, // starts a radio group (and ends the one before)
    kStyleReadOnly = 1u << 1,
    kStyleMultiLine = 1u << 2,
    kStyleScrollBars = 1u << 3, // both scroll bars
    kStyleBorder = 1u << 4,
    kStyleSunken = 1u << 5,
    kStyleWhiteFill = 1u << 6,      // a picture showing a plain white bitmap
    kStyleFixedPitch = 1u << 7,     // text in the desktop's fixed-pitch font (columns line up)
    kStyleGrowWithDialog = 1u << 8, // the dialog can be resized; this control takes the growth
};

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct ControlTemplate {
    int id = kIdStatic;
    ControlKind kind = ControlKind::kStaticText;
    std::string text;
    Rect rect; // dialog units
    unsigned style = kStyleNone;
};

struct DialogTemplate {
    int id = 0;
    std::string title;
    Point screenPosition;  // pixels, top-left of the dialog window
    bool centered = false; // true: centred on the main window, screenPosition unused
    Size size;             // dialog units
    // In tab order: a radio group's index counts in this order.
    std::vector<ControlTemplate> controls;

    const ControlTemplate* Find(int controlId) const;
    // The ids of the radio group that starts at firstId, in tab order; empty when firstId is
    // not a radio button.
    std::vector<int> RadioGroup(int firstId) const;
};

// A warning dialog: a title, one to three static text lines and one OK button.
DialogTemplate MakeWarningTemplate(int id, const std::string& title,
                                   const std::vector<std::string>& lines);

} // namespace platform
