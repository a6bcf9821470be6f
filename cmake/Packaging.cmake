# Installation and the Debian package: the two programs, the desktop entry, the icon and the
# AppStream metainfo. The VHDL templates are installed beside the template search's data folder
# where the build defines it.
include(GNUInstallDirs)

install(TARGETS vantrel-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET vantrel)
  install(TARGETS vantrel RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES packaging/vantrel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES packaging/vantrel.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES packaging/org.vantrel.Vantrel.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
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
set(CPACK_DEBIAN_PACKAGE_SUGGESTS ghdl)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://vantrel.example/)
include(CPack)
