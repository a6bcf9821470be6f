# The manual page vantrel-cli(1) and the bash completion of vantrel-cli, written at build time
# from the built program's help by tools/make_cli_docs.py (python3 alone), so they list exactly
# the options the parser takes. Installed under share/man/man1 and
# share/bash-completion/completions, in the Debian package too.
set(VANTREL_MAN_PAGE ${CMAKE_CURRENT_BINARY_DIR}/vantrel-cli.1.gz)
set(VANTREL_COMPLETION ${CMAKE_CURRENT_BINARY_DIR}/completions/vantrel-cli)
# A sanitizer build's program runs here before the tests set their options: leak reports of
# the short help runs are not the build's business.
set(VANTREL_CLI_DOCS_ENV)
if(VANTREL_SANITIZE)
  set(VANTREL_CLI_DOCS_ENV ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0)
endif()
add_custom_command(
  OUTPUT ${VANTREL_MAN_PAGE} ${VANTREL_COMPLETION}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_CURRENT_BINARY_DIR}/completions
  COMMAND ${VANTREL_CLI_DOCS_ENV} ${VANTREL_ANY_PYTHON}
          ${CMAKE_CURRENT_SOURCE_DIR}/tools/make_cli_docs.py
          $<TARGET_FILE:vantrel-cli> ${CMAKE_CURRENT_SOURCE_DIR}/packaging/vantrel-cli.1.in
          ${VANTREL_MAN_PAGE} ${VANTREL_COMPLETION}
  DEPENDS vantrel-cli ${CMAKE_CURRENT_SOURCE_DIR}/tools/make_cli_docs.py
          ${CMAKE_CURRENT_SOURCE_DIR}/packaging/vantrel-cli.1.in
  COMMENT "Writing the manual page and the bash completion of vantrel-cli"
  VERBATIM)
add_custom_target(vantrel_cli_docs ALL DEPENDS ${VANTREL_MAN_PAGE} ${VANTREL_COMPLETION})
install(FILES ${VANTREL_MAN_PAGE} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${VANTREL_COMPLETION} DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions)
