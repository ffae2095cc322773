# Desktop installation: `cmake --install build [--prefix P]`.
#   P/lib/kalo-converter/   both programs with their run-time folders beside them, exactly
#                           as in build/bin, so each finds its folders from its own path
#   P/bin/                  links to the two programs, for PATH and the desktop entry
#   P/share/applications/   the desktop entry (Video category, the accepted video types)
#   P/share/icons/hicolor/  the application icon
# The prefix is the one given at install time. Uninstall: the README says how.
include(GNUInstallDirs)
set(KALO_INSTALL_APP_DIR ${CMAKE_INSTALL_LIBDIR}/kalo-converter)

install(TARGETS kalo-converter kalo-depth RUNTIME DESTINATION ${KALO_INSTALL_APP_DIR})
foreach(folder image font filter icon)
  install(DIRECTORY ${KALO_BIN_DIR}/${folder} DESTINATION ${KALO_INSTALL_APP_DIR})
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kalo-converter.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps)

# Links and the desktop entry name paths under the prefix, known only when installing.
install(CODE "
  set(prefix \"\${CMAKE_INSTALL_PREFIX}\")
  set(bin \"\$ENV{DESTDIR}\${prefix}/${CMAKE_INSTALL_BINDIR}\")
  file(MAKE_DIRECTORY \"\${bin}\")
  foreach(program kalo-converter kalo-depth)
    file(CREATE_LINK \"../${KALO_INSTALL_APP_DIR}/\${program}\" \"\${bin}/\${program}\" SYMBOLIC)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${bin}/\${program}\")
    message(STATUS \"Installing: \${bin}/\${program}\")
  endforeach()
  set(KALO_INSTALL_LAUNCHER \"\${prefix}/${CMAKE_INSTALL_BINDIR}/kalo-converter\")
  set(KALO_INSTALL_ICON kalo-converter)
  set(entry \"\$ENV{DESTDIR}\${prefix}/${CMAKE_INSTALL_DATADIR}/applications/kalo-converter.desktop\")
  configure_file(\"${PROJECT_SOURCE_DIR}/packaging/kalo-converter.desktop.in\" \"\${entry}\" @ONLY)
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${entry}\")
  message(STATUS \"Installing: \${entry}\")
")
