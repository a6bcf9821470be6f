# Installation and the Debian package: the two programs, the manual page and bash completion of
# vantrel-cli, the desktop entry, the icon, the
# AppStream metainfo and the design files' MIME type. The VHDL templates are installed beside
# the template search's data folder where the build defines it.
include(GNUInstallDirs)

install(TARGETS vantrel-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
include(cmake/CliDocs.cmake)
if(TARGET vantrel)
  install(TARGETS vantrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES packaging/vantrel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES packaging/vantrel.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES packaging/org.vantrel.Vantrel.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  # The design files' type, so file managers open *.vantrel with the desktop entry.
  install(FILES packaging/vantrel-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
          RENAME vantrel.xml)
endif()

# The installed tree (file list, desktop entry and metainfo validated, the installed vantrel-cli
# finding its templates from an unrelated folder) and the README's worked example, run as tests.
if(VANTREL_ANY_PYTHON)
  set(VANTREL_INSTALL_CHECK_ARGS ${CMAKE_BINARY_DIR} ${CMAKE_COMMAND})
  if(NOT TARGET vantrel)
    list(APPEND VANTREL_INSTALL_CHECK_ARGS --no-gui)
  endif()
  add_test(NAME install.check_install
           COMMAND ${VANTREL_ANY_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/tools/check_install.py
                   ${VANTREL_INSTALL_CHECK_ARGS})
  set(VANTREL_README_CHECK_ARGS ${CMAKE_CURRENT_SOURCE_DIR}/README.md $<TARGET_FILE:vantrel-cli>)
  if(VANTREL_GHDL)
    list(APPEND VANTREL_README_CHECK_ARGS ${VANTREL_GHDL})
  endif()
  add_test(NAME readme.check_readme
           COMMAND ${VANTREL_ANY_PYTHON} ${CMAKE_CURRENT_SOURCE_DIR}/tools/check_readme.py
                   ${VANTREL_README_CHECK_ARGS})
  set_tests_properties(install.check_install readme.check_readme PROPERTIES TIMEOUT 600)
endif()

set(CPACK_PACKAGE_NAME vantrel)
set(CPACK_PACKAGE_VENDOR "Vantrel developers")
set(CPACK_PACKAGE_CONTACT "Vantrel developers <support@vantrel.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Digital filter designer: FIR and IIR design, quantization and VHDL")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON) # dpkg-shlibdeps fills Depends with the Qt 6 runtime
# bash-completion loads the completion of vantrel-cli when it is first needed.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "ghdl, bash-completion")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://vantrel.example/)
include(CPack)
