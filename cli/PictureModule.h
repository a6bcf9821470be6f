// The plot renderer of vantrel-cli, loaded the first time a picture is asked for.
#pragma once

#include <string>

#include "plots/PictureRender.h" // the picture formats and the drawing callback

namespace cli {

// The picture file's bytes, drawn by the window's renderers in the loaded module; empty when the
// drawing failed, or, with `problem` saying why, when the module could not be loaded.
std::string RenderPictureThroughModule(platform::PictureFormat format, platform::Size size,
                                       const platform::PageRenderer& draw, std::string& problem);

} // namespace cli
