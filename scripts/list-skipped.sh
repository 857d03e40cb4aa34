#!/usr/bin/env bash
# Lists, after a ctest run in BUILD_DIR, every GoogleTest case that skipped,
# by name and with the reason it gave, so that no skip passes unseen.
set -euo pipefail
log=${1:?usage: list-skipped.sh BUILD_DIR}/Testing/Temporary/LastTest.log
[ -f "$log" ] || exit 0
awk '
    / Skipped$/ { getline reason; next }
    /^\[  SKIPPED \] [^ ]+ \([0-9]+ ms\)$/ {
        if (!seen[$4]++) { skipped[++count] = $4 ": " reason }
        reason = ""
    }
    END {
        if (count == 0) { print "no test was skipped"; exit }
        printf "%d test%s skipped:\n", count, count == 1 ? " was" : "s were"
        for (i = 1; i <= count; ++i) print "  " skipped[i]
    }' "$log"
