// Picture files for a program without a window of its own (vantrel-cli): the drawing rendered
// into the bytes of a PNG or SVG of a size, or of a one-page PDF. The Qt GUI library renders
// them off screen (unless QT_QPA_PLATFORM names another platform) and reports only Qt's
// errors, on standard error; a program links it to have pictures.
#pragma once

#include <string>

#include "platform/DrawContext.h"

namespace plots {

// The bytes of the file; empty when the drawing could not be rendered.
std::string RenderPictureFile(platform::PictureFormat format, platform::Size size,
                              const platform::PageRenderer& draw);

} // namespace plots
