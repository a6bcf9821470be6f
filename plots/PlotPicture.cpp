// The two drawings a plot picture is made of, chosen by its format.
#include "plots/PlotPicture.h"

#include <algorithm>
#include <cctype>

#include "plots/PlotConventions.h"

namespace plots {

std::optional<platform::PictureFormat> PictureFormatOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) {
        return std::nullopt;
    }
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == "png") {
        return platform::PictureFormat::kPng;
    }
    if (extension == "svg") {
        return platform::PictureFormat::kSvg;
    }
    if (extension == "pdf") {
        return platform::PictureFormat::kPdf;
    }
    return std::nullopt;
}

PlotPicture PlotPictureOf(COlvexDoc& doc, const PlotState& state, platform::PictureFormat format) {
    PlotPicture picture;
    picture.format = format;
    picture.size = kDefaultPlotSurface;
    if (format == platform::PictureFormat::kPdf) {
        picture.draw = [&doc, &state](platform::DrawContext& dc) { DrawPrintPage(dc, doc, state); };
    } else {
        picture.draw = [&doc, &state](platform::DrawContext& dc) {
            OpenPlotSurface(dc);
            DrawAnalysisPlot(dc, doc, state, Surface::kScreen);
        };
    }
    return picture;
}

} // namespace plots
