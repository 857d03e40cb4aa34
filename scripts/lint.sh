#!/usr/bin/env bash
# Fails on any source file that clang-format would change, and on any
# clang-tidy finding in the project's own files (.clang-format, .clang-tidy).
set -euo pipefail
cd "$(dirname "$0")/.."
EXTRA_PACKAGES="clang-format clang-tidy git" scripts/setup.sh --no-build

mapfile -t sources < <(git ls-files '*.cpp' '*.h')
clang-format --dry-run --Werror "${sources[@]}"
echo "formatting: ${#sources[@]} files as .clang-format has them"

# clang-tidy reads the compile commands of the normal build (generated
# sources such as Qt's moc output come from the same build).
cmake -S . -B build -DCMAKE_EXPORT_COMPILE_COMMANDS=ON > /dev/null
cmake --build build --parallel "$(nproc)" > /dev/null
# The Windows sources are not in the Linux build; the Windows build compiles them with every warning.
git ls-files '*.cpp' ':!win32' ':!tests/win32' ':!bench/win32' ':!app/winmain.cpp' ':!*_win32.cpp' |
    xargs -P "$(nproc)" -n 4 clang-tidy -p build --quiet
echo "clang-tidy: no findings"
