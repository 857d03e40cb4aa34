#!/usr/bin/env bash
# Sets up and builds, then starts Plaxomet in the folder this was called from:
# that is where the program keeps SETTINGS, STYLES and PlaxometReport.txt.
set -euo pipefail
here=$(pwd)
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/setup.sh"
cd "$here"
exec "$top/build/app/plaxomet" "$@"
