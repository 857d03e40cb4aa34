# The Windows installer (NSIS, per user, see installer.nsi.in), built by the
# target `installer`, and a portable .zip of the program with its licence,
# notices and readme (`cpack`).
install(TARGETS plaxomet RUNTIME DESTINATION .)
install(FILES LICENSE DESTINATION . RENAME LICENSE.txt)
install(FILES res/windows/THIRD-PARTY-NOTICES.txt res/windows/README.txt DESTINATION .)

set(PLAXOMET_EXE $<TARGET_FILE:plaxomet>)
configure_file(cmake/installer.nsi.in installer.nsi.configured @ONLY)
file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/installer.nsi INPUT ${PROJECT_BINARY_DIR}/installer.nsi.configured)
add_custom_target(installer
  COMMAND makensis -V2 ${PROJECT_BINARY_DIR}/installer.nsi
  DEPENDS plaxomet ${PROJECT_BINARY_DIR}/installer.nsi
  COMMENT "Making plaxomet-${PROJECT_VERSION}-win64.exe"
  VERBATIM)

set(CPACK_PACKAGE_NAME plaxomet)
set(CPACK_PACKAGE_VENDOR "The Plaxomet developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME plaxomet-${PROJECT_VERSION}-win64)
set(CPACK_GENERATOR ZIP)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
include(CPack)
