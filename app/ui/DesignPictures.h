// The pictures at the top of the Design command's dialogs. FIR: the transfer function H(z), the
// tapped delay line and a sketch of the type's response with the ripples d1 and d2 and its band
// edges. IIR: the cascade of second-order sections, and a sketch of the type's response with
// the ripple Ac and its cut-off edge(s).
//
// A picture is first computed as plain segments and labels in the picture control's own dialog
// units ((0, 0) at its top-left), then drawn; the backend maps the control's size onto its
// pixels before calling the drawing routine.
#pragma once

#include <string>
#include <vector>

#include "platform/DrawContext.h"
#include "resources/DesignResources.h"

namespace design {

enum class SketchPen { kFrame, kCurve, kLimit };

struct SketchLine {
    platform::Point from;
    platform::Point to;
    SketchPen pen = SketchPen::kFrame;
};

struct SketchLabel {
    platform::Point at; // top-left
    std::string text;
};

struct PictureSketch {
    std::vector<SketchLine> lines;
    std::vector<SketchLabel> labels;
};

PictureSketch FirPictureSketch(int type);
PictureSketch IirCascadeSketch();
PictureSketch IirResponseSketch(int type);

// Draws a sketch with the picture font and pens; releases everything it created.
void DrawSketch(platform::DrawContext& dc, const PictureSketch& sketch);

inline void DrawFirPicture(platform::DrawContext& dc, int type) {
    DrawSketch(dc, FirPictureSketch(type));
}
inline void DrawIirCascadePicture(platform::DrawContext& dc) {
    DrawSketch(dc, IirCascadeSketch());
}
inline void DrawIirPicture(platform::DrawContext& dc, int type) {
    DrawSketch(dc, IirResponseSketch(type));
}

} // namespace design
