// Picture files for a program without a window of its own (vantrel-cli): the drawing rendered
// into the bytes of a PNG or SVG of a size, or of a one-page PDF. The Qt GUI library renders
// them off screen (unless QT_QPA_PLATFORM names another platform) and reports only Qt's
// errors, on standard error.
#pragma once

#include <string>

#include "platform/DrawContext.h"

namespace plots {

// The bytes of the file; empty when the drawing could not be rendered.
std::string RenderPictureFile(platform::PictureFormat format, platform::Size size,
                              const platform::PageRenderer& draw);

// vantrel-cli does not link the renderer: it loads it, for a plot file only, from the module
// kRenderModuleName (next to the program in a build tree, or in the library folder of the
// installation), whose one entry point kRenderModuleEntry is a RenderModuleEntry that calls
// RenderPictureFile.
inline constexpr const char* kRenderModuleName = "libvantrel-render.so";
inline constexpr const char* kRenderModuleEntry = "vantrel_render_picture_v1";
using RenderModuleEntry = bool (*)(platform::PictureFormat format, platform::Size size,
                                   const platform::PageRenderer& draw, std::string& bytes);

} // namespace plots
