// The two drawings a plot picture is made of, chosen by its format.
#include "plots/PlotPicture.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <utility>

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

PlotPicture PlotPictureOf(PlotData data, platform::PictureFormat format) {
    PlotPicture picture;
    picture.format = format;
    picture.size = kDefaultPlotSurface;
    const auto shared = std::make_shared<const PlotData>(std::move(data));
    if (format == platform::PictureFormat::kPdf) {
        picture.draw = [shared](platform::DrawContext& dc) { DrawPrintPage(dc, *shared); };
    } else {
        picture.draw = [shared](platform::DrawContext& dc) {
            OpenPlotSurface(dc);
            DrawAnalysisPlot(dc, *shared, Surface::kScreen);
        };
    }
    return picture;
}

} // namespace plots
