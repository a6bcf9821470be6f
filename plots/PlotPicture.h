// A picture file of the plot: PNG and SVG show the plot area as the screen shows it, at its
// default size; the PDF is the print-out, one page. The window's "Export plot…" and the command
// line's --plot --out both draw through here.
#pragma once

#include <optional>
#include <string>

#include "platform/DrawContext.h"
#include "plots/AnalysisPlot.h"

namespace plots {

// The format a file's extension names (.png, .svg, .pdf, in any case); nothing for another.
std::optional<platform::PictureFormat> PictureFormatOf(const std::string& path);

// What to render for a picture of a plot: the size (PNG, SVG) and the drawing.
struct PlotPicture {
    platform::PictureFormat format = platform::PictureFormat::kPng;
    platform::Size size;
    platform::PageRenderer draw;
};
// The renderer keeps its own copy of `data`.
PlotPicture PlotPictureOf(PlotData data, platform::PictureFormat format);

} // namespace plots
