# What `cmake --install` puts on a Linux system, which the Debian package
# (debian/, built by dpkg-buildpackage) is made of: the program, its desktop
# entry, AppStream metadata, icons and manual page. Debian's tools add the
# copyright and changelog from debian/ and compress what Debian compresses.
include(GNUInstallDirs)
set(app_id org.plaxomet.Plaxomet)

install(TARGETS plaxomet RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES res/desktop/${app_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

# The release's date is the commit's, never the clock's: SOURCE_DATE_EPOCH when
# the release script or dpkg-buildpackage sets it, else the commit's own date.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND git log -1 --format=%ct
                  WORKING_DIRECTORY ${PROJECT_SOURCE_DIR}
                  OUTPUT_VARIABLE commit_time OUTPUT_STRIP_TRAILING_WHITESPACE
                  RESULT_VARIABLE status ERROR_QUIET)
  if(status EQUAL 0 AND commit_time)
    set(ENV{SOURCE_DATE_EPOCH} ${commit_time})
  endif()
endif()
string(TIMESTAMP PLAXOMET_RELEASE_DATE "%Y-%m-%d" UTC)
configure_file(res/desktop/${app_id}.metainfo.xml.in ${app_id}.metainfo.xml @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/${app_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

foreach(size 16 32 48 64 128 256)
  install(FILES res/icons/plaxomet-${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME ${app_id}.png)
endforeach()
install(FILES res/icons/plaxomet.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
        RENAME ${app_id}.svg)
install(FILES res/package/plaxomet.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
