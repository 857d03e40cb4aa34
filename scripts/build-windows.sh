#!/usr/bin/env bash
# Cross-builds the Windows program with MinGW-w64 into build-windows/:
# app/Plaxomet.exe (64-bit, no DLL beside it), the per-user installer
# plaxomet-VERSION-win64.exe and the portable plaxomet-VERSION-win64.zip,
# each with its SHA-256 sum beside it (.sha256, as sha256sum writes it).
set -euo pipefail
cd "$(dirname "$0")/.."
EXTRA_PACKAGES="g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 nsis zip" scripts/setup.sh --no-build

cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=Release
cmake --build build-windows --parallel "$(nproc)"
# Nothing but Windows' own libraries: no MinGW runtime DLL has to travel with it.
if x86_64-w64-mingw32-objdump -p build-windows/app/Plaxomet.exe | grep -iE 'DLL Name: lib(stdc|gcc|winpthread)'; then
    echo "Plaxomet.exe needs a MinGW runtime DLL" >&2
    exit 1
fi
cmake --build build-windows --target installer
(cd build-windows && cpack > /dev/null)
cd build-windows
for file in plaxomet-*-win64.exe plaxomet-*-win64.zip; do
    sha256sum "$file" > "$file.sha256"
done
ls -l app/Plaxomet.exe plaxomet-*-win64.exe plaxomet-*-win64.zip
cat plaxomet-*.sha256
