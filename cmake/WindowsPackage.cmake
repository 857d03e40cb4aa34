# The Windows installer (NSIS, 64-bit) and a portable .zip of the program.
install(TARGETS plaxomet RUNTIME DESTINATION .)

set(CPACK_PACKAGE_NAME plaxomet)
set(CPACK_PACKAGE_VENDOR "The Plaxomet developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_INSTALL_DIRECTORY Plaxomet)
set(CPACK_PACKAGE_INSTALL_REGISTRY_KEY Plaxomet)
set(CPACK_PACKAGE_FILE_NAME plaxomet-${PROJECT_VERSION}-win64)
set(CPACK_GENERATOR NSIS ZIP)
set(CPACK_NSIS_PACKAGE_NAME Plaxomet)
set(CPACK_NSIS_DISPLAY_NAME Plaxomet)
set(CPACK_NSIS_INSTALL_ROOT "$PROGRAMFILES64")
set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/res/icons/plaxomet.ico)
set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/res/icons/plaxomet.ico)
set(CPACK_NSIS_INSTALLED_ICON_NAME plaxomet.exe)
# Debian's makensis writes a 32-bit installer unless told otherwise, and a
# 64-bit Windows program belongs to a 64-bit installer.
set(CPACK_NSIS_DEFINES "Target amd64-unicode")
# The program keeps SETTINGS, STYLES and its reports in the folder it starts
# in, and Program Files is not writable: the shortcut, in the installing
# user's Start menu, starts it in a folder of that user's, which the
# uninstaller leaves alone.
set(CPACK_NSIS_CREATE_ICONS_EXTRA "
  SetShellVarContext current
  CreateDirectory \\\"$DOCUMENTS\\\\Plaxomet\\\"
  SetOutPath \\\"$DOCUMENTS\\\\Plaxomet\\\"
  CreateDirectory \\\"$SMPROGRAMS\\\\$STARTMENU_FOLDER\\\"
  CreateShortCut \\\"$SMPROGRAMS\\\\$STARTMENU_FOLDER\\\\Plaxomet.lnk\\\" \\\"$INSTDIR\\\\plaxomet.exe\\\"
  SetOutPath \\\"$INSTDIR\\\"")
set(CPACK_NSIS_DELETE_ICONS_EXTRA "
  SetShellVarContext current
  Delete \\\"$SMPROGRAMS\\\\$MUI_TEMP\\\\Plaxomet.lnk\\\"
  Delete \\\"$SMPROGRAMS\\\\$MUI_TEMP\\\\Uninstall.lnk\\\"
  RMDir \\\"$SMPROGRAMS\\\\$MUI_TEMP\\\"
  SetShellVarContext all
  RMDir \\\"$SMPROGRAMS\\\\$MUI_TEMP\\\"")
set(CPACK_ARCHIVE_COMPONENT_INSTALL OFF)
include(CPack)
