# The Qt 6 window program: the Qt backend of the platform layer with the application object and
# the main frame (olvex_qt), the executable vantrel, and the widget tests in tests/qt/.
find_package(Qt6 REQUIRED COMPONENTS Gui Widgets PrintSupport Svg Test)

# The QPainter drawing context and the image, SVG and PDF renderers need only Qt GUI: the window
# draws through them, and so does vantrel-cli for its plot files, without linking widgets.
set(OLVEX_QTGUI_SOURCES platform/qt/QtDrawContext.cpp platform/qt/QtRender.cpp)
add_library(olvex_qtgui STATIC ${OLVEX_QTGUI_SOURCES})
target_link_libraries(olvex_qtgui PUBLIC olvex_engine Qt6::Gui Qt6::Svg)
# Its own headers stay private: vantrel-cli links the renderers without seeing the backend.
vantrel_stage_headers(qtgui platform/qt/QtDrawContext.h platform/qt/QtRender.h)
target_include_directories(olvex_qtgui PRIVATE ${VANTREL_LAYERS_DIR}/qtgui)
# vantrel-cli does not link them: it loads them as a module for a plot file alone, so that a run
# that draws nothing starts without Qt's GUI libraries. The module is built beside the programs
# and installed into the library folder, where the program looks for it relative to itself.
add_library(vantrel-render MODULE platform/qt/RenderModule.cpp platform/DrawContext.cpp
                                  platform/qt/QtDrawContext.cpp
                                  platform/qt/QtRender.cpp)
target_link_libraries(vantrel-render PRIVATE Qt6::Gui Qt6::Svg)
target_include_directories(vantrel-render PRIVATE ${VANTREL_LAYERS_DIR}/qtgui
                           $<TARGET_PROPERTY:olvex_engine,INTERFACE_INCLUDE_DIRECTORIES>)
set_target_properties(vantrel-render PROPERTIES PREFIX "lib" CXX_VISIBILITY_PRESET hidden
                      VISIBILITY_INLINES_HIDDEN ON
                      LIBRARY_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
target_link_options(vantrel-render PRIVATE -Wl,--no-undefined)
add_dependencies(vantrel-cli vantrel-render)
target_compile_definitions(vantrel-cli PRIVATE VANTREL_PLOT_EXPORT=1
                           VANTREL_RENDER_MODULE_DIR="../${CMAKE_INSTALL_LIBDIR}/vantrel")
target_link_libraries(vantrel-cli PRIVATE ${CMAKE_DL_LIBS})
install(TARGETS vantrel-render LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/vantrel)

file(GLOB OLVEX_QT_SOURCES CONFIGURE_DEPENDS
  platform/qt/*.cpp app/qt/OlvexApp*.cpp app/qt/MainFrame*.cpp)
list(TRANSFORM OLVEX_QTGUI_SOURCES PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
list(REMOVE_ITEM OLVEX_QT_SOURCES ${OLVEX_QTGUI_SOURCES})
add_library(olvex_qt STATIC ${OLVEX_QT_SOURCES})
target_link_libraries(olvex_qt PUBLIC olvex_ui olvex_qtgui Qt6::Widgets Qt6::PrintSupport)

add_executable(vantrel app/qt/main.cpp)
target_link_libraries(vantrel PRIVATE olvex_qt)

# ---- Widget tests -------------------------------------------------------------------------------
file(GLOB VANTREL_QT_TEST_SOURCES CONFIGURE_DEPENDS tests/qt/*.cpp)
if(VANTREL_QT_TEST_SOURCES)
  enable_testing()
  find_package(GTest REQUIRED)
  include(GoogleTest)
  add_executable(vantrel_qt_tests ${VANTREL_QT_TEST_SOURCES})
  target_include_directories(vantrel_qt_tests PRIVATE ${VANTREL_LAYERS_DIR}/tests)
  target_link_libraries(vantrel_qt_tests PRIVATE olvex_qt olvex_scripted Qt6::Test GTest::gtest)
  target_compile_options(vantrel_qt_tests PRIVATE ${VANTREL_TEST_COMPILE_OPTIONS})
  # The plot export tests run the command line program.
  add_dependencies(vantrel_qt_tests vantrel-cli)
  target_compile_definitions(vantrel_qt_tests PRIVATE VANTREL_CLI="$<TARGET_FILE:vantrel-cli>"
                             VANTREL_SOURCE_DIR="${CMAKE_CURRENT_SOURCE_DIR}")

  # Qt wants a private runtime folder; without one it warns on every start.
  set(VANTREL_XDG_RUNTIME_DIR ${CMAKE_CURRENT_BINARY_DIR}/xdg-runtime)
  file(MAKE_DIRECTORY ${VANTREL_XDG_RUNTIME_DIR})
  file(CHMOD ${VANTREL_XDG_RUNTIME_DIR} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)

  # A modal dialog that a test never answers would block forever: every test has a timeout.
  gtest_discover_tests(vantrel_qt_tests
    TEST_PREFIX "qt."
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 120
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
      ENVIRONMENT_MODIFICATION "XDG_RUNTIME_DIR=set:${VANTREL_XDG_RUNTIME_DIR}")
endif()
