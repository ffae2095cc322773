# Desktop installation: `cmake --install build [--prefix P]`.
#   P/lib/kalo-converter/   both programs with their run-time folders beside them, exactly
#                           as in build/bin, so each finds its folders from its own path
#   P/bin/                  links to the two programs, for PATH and the desktop entry
#   P/share/applications/   the desktop entry (Video category, the accepted video types)
#   P/share/icons/hicolor/  the application icon
# Uninstall: xargs rm -f < build/install_manifest.txt (the README says more).
include(GNUInstallDirs)
set(KALO_INSTALL_APP_DIR ${CMAKE_INSTALL_LIBDIR}/kalo-converter)
set(KALO_INSTALL_LAUNCHER ${CMAKE_INSTALL_FULL_BINDIR}/kalo-converter)
set(KALO_INSTALL_ICON kalo-converter)

install(TARGETS kalo-converter kalo-depth RUNTIME DESTINATION ${KALO_INSTALL_APP_DIR})
foreach(folder image font filter icon)
  install(DIRECTORY ${KALO_BIN_DIR}/${folder} DESTINATION ${KALO_INSTALL_APP_DIR})
endforeach()
foreach(program kalo-converter kalo-depth)
  install(CODE "
    set(link \"\$ENV{DESTDIR}${CMAKE_INSTALL_FULL_BINDIR}/${program}\")
    file(MAKE_DIRECTORY \"\$ENV{DESTDIR}${CMAKE_INSTALL_FULL_BINDIR}\")
    file(CREATE_LINK \"../${KALO_INSTALL_APP_DIR}/${program}\" \"\${link}\" SYMBOLIC)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${link}\")
    message(STATUS \"Installing: \${link}\")")
endforeach()

configure_file(${PROJECT_SOURCE_DIR}/packaging/kalo-converter.desktop.in
               ${CMAKE_BINARY_DIR}/kalo-converter.desktop @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/kalo-converter.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/packaging/kalo-converter.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/64x64/apps)
