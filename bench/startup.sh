#!/usr/bin/env bash
# Start-up time and peak memory of Plaxomet against a minimal Qt Widgets
# program that shows a dialog with one label, on a private Xvfb display, over
# RUNS runs each (default 15). The first text a program shows loads the font
# and text machinery, so that label is the floor of any dialog with text; an
# empty dialog is measured too, for reference. Prints the medians and their
# ratios, and fails above 1.1 times the time or the memory of the one-label
# dialog unless REPORT_ONLY=1.
set -euo pipefail
cd "$(dirname "$0")/.."
EXTRA_PACKAGES="libx11-dev x11-utils xvfb xauth" scripts/setup.sh
runs=${RUNS:-15}

. scripts/xvfb.sh
start_xvfb
work=$(mktemp -d)
trap 'kill $xvfb_pid 2>/dev/null; rm -rf "$work"' EXIT

# A settings file, so that the program starts straight into its dialog.
printf '\001\000\000\000\000\000\310\101\354\121\070\077\000\000\230\101\000\000\200\077' > "$work/SETTINGS"

watch() { # title program [args] -> one line: ms KiB
    (cd "$work" && "$OLDPWD/build/bench/startup_watch" "$@")
}
# The three take turns, after one unrecorded round that fills the page cache,
# so that a machine growing busier or quieter weighs on all of them alike.
for round in $(seq 0 "$runs"); do
    m=$(watch Minimal "$PWD/build/bench/minimal_dialog")
    l=$(watch Minimal "$PWD/build/bench/minimal_dialog" --label)
    p=$(watch Plaxomet "$PWD/build/app/plaxomet")
    if [ "$round" -gt 0 ]; then
        echo "$m" >> "$work/minimal"
        echo "$l" >> "$work/label"
        echo "$p" >> "$work/plaxomet"
    fi
done
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
figures() { echo "$(cut -d' ' -f1 "$work/$1" | median) $(cut -d' ' -f2 "$work/$1" | median)"; }

awk -v runs="$runs" -v minimal="$(figures minimal)" -v label="$(figures label)" \
    -v plaxomet="$(figures plaxomet)" -v report_only="${REPORT_ONLY:-0}" 'BEGIN {
    split(minimal, m); split(label, l); split(plaxomet, p)
    printf "medians of %d runs          start-up (ms)   peak memory (KiB)\n", runs
    printf "empty dialog                %13.1f   %17d\n", m[1], m[2]
    printf "dialog with one label       %13.1f   %17d\n", l[1], l[2]
    printf "plaxomet                    %13.1f   %17d\n", p[1], p[2]
    printf "plaxomet / one label        %13.2f   %17.2f   (targets 1.1 and 1.1)\n", p[1] / l[1], p[2] / l[2]
    printf "plaxomet / empty dialog     %13.2f   %17.2f\n", p[1] / m[1], p[2] / m[2]
    within = p[1] / l[1] <= 1.1 && p[2] / l[2] <= 1.1
    if (!within) print "over the target against the dialog with one label"
    exit !(within || report_only)
}'
