# What `cmake --install` puts on a Linux system, and the Debian package
# (`cpack -G DEB`) made of it: the program, its desktop entry, AppStream
# metadata and icons, and the copyright, changelog and manual page Debian
# asks of every package.
include(GNUInstallDirs)
set(app_id org.plaxomet.Plaxomet)

install(TARGETS plaxomet RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES res/desktop/${app_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
configure_file(res/desktop/${app_id}.metainfo.xml.in ${app_id}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/${app_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 16 32 48 64 128 256)
  install(FILES res/icons/plaxomet-${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${app_id}.png)
endforeach()
install(FILES res/icons/plaxomet.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${app_id}.svg)

# Debian wants the changelog and the manual page compressed, without a time
# stamp so that the same sources give the same package.
configure_file(res/package/changelog.in changelog @ONLY)
set(compressed)
foreach(file changelog:${PROJECT_BINARY_DIR}/changelog plaxomet.1:${PROJECT_SOURCE_DIR}/res/package/plaxomet.1)
  string(REPLACE ":" ";" parts ${file})
  list(GET parts 0 name)
  list(GET parts 1 source)
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/${name}.gz
                     COMMAND gzip -9nc ${source} > ${PROJECT_BINARY_DIR}/${name}.gz
                     DEPENDS ${source} VERBATIM)
  list(APPEND compressed ${PROJECT_BINARY_DIR}/${name}.gz)
endforeach()
add_custom_target(package_documents ALL DEPENDS ${compressed})
install(FILES res/package/copyright ${PROJECT_BINARY_DIR}/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/plaxomet)
install(FILES ${PROJECT_BINARY_DIR}/plaxomet.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_PACKAGE_NAME plaxomet)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Plaxomet developers")
set(CPACK_PACKAGE_CONTACT "The Plaxomet developers <developers@plaxomet.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "print size calculator for Orvel music engravings")
set(CPACK_PACKAGE_DESCRIPTION
    "Works out the factor to print an Orvel engraving at so that the full stave\ncomes out at the width you need on paper, and the stave size and page height\nto enter in the Orvel files.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The Qt platform plug-ins to show a window; xdg-open, which opens the
# report; Liberation Sans, the face the dialogs are laid out for
# (fonts-liberation has it on Debian 12 and 13 alike).
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins, xdg-utils, fonts-liberation")
include(CPack)
