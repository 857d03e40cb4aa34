#!/usr/bin/env bash
# Cross-builds the Windows program with MinGW-w64 into build-windows/:
# app/Plaxomet.exe (64-bit, no DLL beside it), the per-user installer
# plaxomet-VERSION-win64.exe and the portable plaxomet-VERSION-win64.zip.
# With --release, the program alone, without its tests (scripts/release.sh).
#
# The installer and the zip hold the files staged in build-windows/package/,
# whose times are the commit's (SOURCE_DATE_EPOCH, set from the commit when
# not already set) and whose permissions are fixed, so the same commit gives
# the same bytes whoever builds it, wherever and whenever.
set -euo pipefail
cd "$(dirname "$0")/.."
testing=ON
case "${1:-}" in
    "") ;;
    --release) testing=OFF ;;
    *) echo "usage: $0 [--release]" >&2; exit 2 ;;
esac
EXTRA_PACKAGES="g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 nsis zip" scripts/setup.sh --no-build
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2> /dev/null || date +%s)
fi
export SOURCE_DATE_EPOCH

cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_TESTING=$testing
cmake --build build-windows --parallel "$(nproc)"
# Nothing but Windows' own libraries: no MinGW runtime DLL has to travel with it.
if x86_64-w64-mingw32-objdump -p build-windows/app/Plaxomet.exe | grep -iE 'DLL Name: lib(stdc|gcc|winpthread)'; then
    echo "Plaxomet.exe needs a MinGW runtime DLL" >&2
    exit 1
fi

cd build-windows
rm -rf package plaxomet-*-win64.exe plaxomet-*-win64.zip
mkdir package
install -m 755 app/Plaxomet.exe package/
install -m 644 ../LICENSE package/LICENSE.txt
install -m 644 ../res/windows/THIRD-PARTY-NOTICES.txt ../res/windows/README.txt package/
touch -d "@$SOURCE_DATE_EPOCH" package/*
makensis -V2 installer.nsi
installer=$(ls plaxomet-*-win64.exe)
# zip keeps local times: in UTC they are the same for everyone.
(cd package && TZ=UTC zip -q -X "../${installer%.exe}.zip" LICENSE.txt Plaxomet.exe README.txt THIRD-PARTY-NOTICES.txt)
ls -l app/Plaxomet.exe plaxomet-*-win64.exe plaxomet-*-win64.zip
