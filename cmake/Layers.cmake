# The layers of the house as build targets. Every header is reached through a staged include
# folder of its layer (symbolic links under the build folder), and a target's include path holds
# only the staged folders of the layers it stands on. An include that reaches upwards - an engine
# file including the window's record, a command including a dialog - is therefore a build error.
#
#   engine     dsp/, and the top of coeffs/ files/ vhdl/ plots/, with platform/DrawContext.h
#   platform   platform/ (dialog templates, data exchange, the UiHost interface), on the engine
#   resources  resources/ (templates, menu, strings), on platform/
#   app        app/ (the record, the session state, the commands), on the engine
#   cli        cli/, on app/ and the engine
#   ui         every ui/ folder, app/qt/, platform/qt/, platform/scripted/: sees every layer

set(VANTREL_LAYERS_DIR ${CMAKE_CURRENT_BINARY_DIR}/layers)
file(REMOVE_RECURSE ${VANTREL_LAYERS_DIR})

# vantrel_stage_headers(LAYER PATTERN...): links each header the patterns match (relative to the
# source folder) into the staged include folder of LAYER, under its own relative path.
function(vantrel_stage_headers layer)
  file(GLOB headers CONFIGURE_DEPENDS RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${ARGN})
  foreach(header ${headers})
    get_filename_component(folder ${header} DIRECTORY)
    file(MAKE_DIRECTORY ${VANTREL_LAYERS_DIR}/${layer}/${folder})
    file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR}/${header} ${VANTREL_LAYERS_DIR}/${layer}/${header}
         SYMBOLIC)
  endforeach()
endfunction()

vantrel_stage_headers(engine dsp/*.h coeffs/*.h files/*.h vhdl/*.h plots/*.h platform/DrawContext.h)
vantrel_stage_headers(platform platform/*.h)
vantrel_stage_headers(resources resources/*.h)
vantrel_stage_headers(app app/*.h)
vantrel_stage_headers(cli cli/*.h)
vantrel_stage_headers(ui app/ui/*.h coeffs/ui/*.h files/ui/*.h vhdl/ui/*.h plots/ui/*.h app/qt/*.h
                      platform/qt/*.h platform/scripted/*.h)
# platform/DrawContext.h is the engine's; the platform layer reaches it through the engine.
file(REMOVE ${VANTREL_LAYERS_DIR}/platform/platform/DrawContext.h)
