# The Windows installer (NSIS, per user, see installer.nsi.in). It packs the
# files scripts/build-windows.sh stages in package/ (the program, licence,
# notices and readme, with the commit's time and fixed permissions), from
# which that script also makes the portable .zip.
set(PLAXOMET_PACKAGE_DIR ${PROJECT_BINARY_DIR}/package)
configure_file(cmake/installer.nsi.in installer.nsi @ONLY)
