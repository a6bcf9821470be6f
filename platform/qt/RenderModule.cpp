// The picture renderer as a module that vantrel-cli loads only when it is asked for a plot file:
// the command line itself then starts without Qt's GUI, X11, EGL or OpenGL libraries, and its
// plots are still drawn by the very renderers the window uses.
#include <string>

#include "plots/PictureRender.h"

extern "C" __attribute__((visibility("default"))) bool
vantrel_render_picture_v1(platform::PictureFormat format, platform::Size size,
                          const platform::PageRenderer& draw, std::string& bytes) {
    bytes = plots::RenderPictureFile(format, size, draw);
    return !bytes.empty();
}
