#!/usr/bin/env bash
# Fails when a layer below the toolkits reaches for Qt: the base modules, the
# core, the dialog classes and the resources must build on a machine without
# Qt, as the Windows build has none, and the core's tests pass there.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh --no-build

if grep -rnE '#include <Q|#include "qt/|#include "win32/' base calc archive styles dialogs res \
        --include='*.h' --include='*.cpp'; then
    echo "a layer below the toolkits includes a toolkit header" >&2
    exit 1
fi
cmake -S . -B build-noqt -DPLAXOMET_TOOLKIT=none -DCMAKE_DISABLE_FIND_PACKAGE_Qt6=ON > /dev/null
cmake --build build-noqt --parallel "$(nproc)"
ctest --test-dir build-noqt --output-on-failure --no-tests=error --parallel "$(nproc)"
echo "base, core, dialogs and resources build without Qt, and the core's tests pass"
