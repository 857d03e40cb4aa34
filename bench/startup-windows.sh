#!/usr/bin/env bash
# Start-up time and peak working set of the Windows program under Wine,
# against a minimal Win32 program that shows a dialog with one label, built
# by the same toolchain, over RUNS runs each (default 15), on a private Xvfb
# display; and, for reference, against the main dialog's template shown
# with no program behind it, which tells the cost of its controls from the
# program's own. Prints the medians, their ratios and the executables'
# sizes; fails above 1.1 times either figure of the one-label dialog unless
# REPORT_ONLY=1. Wine is not Windows: the figures compare, they do not
# predict a Windows machine's.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build-windows.sh > /dev/null
EXTRA_PACKAGES="wine wine64 xvfb xauth" scripts/setup.sh --no-build
runs=${RUNS:-15}

work=$(mktemp -d)
. scripts/xvfb.sh
start_xvfb
# No Mono or Gecko: nothing here needs them, and their installers would ask.
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEARCH=win64 HOME=$work/home WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$HOME" "$work/run"
trap 'wineserver -k 2> /dev/null || true; kill $xvfb_pid 2> /dev/null; rm -rf "$work"' EXIT
wine wineboot -i > /dev/null 2>&1
wineserver -w

# A settings file, so that the program starts straight into its dialog.
printf '\001\000\000\000\000\000\310\101\354\121\070\077\000\000\230\101\000\000\200\077' > "$work/run/SETTINGS"
watch=$(realpath build-windows/bench/win32/startup_watch.exe)
minimal=$(winepath -w "$(realpath build-windows/bench/win32/minimal_dialog.exe)")
template=$(winepath -w "$(realpath build-windows/bench/win32/template_dialog.exe)")
plaxomet=$(winepath -w "$(realpath build-windows/app/Plaxomet.exe)")
cd "$work/run"
for round in $(seq 0 "$runs"); do
    m=$(wine "$watch" Minimal "$minimal" | tr -d '\r')
    t=$(wine "$watch" Plaxomet "$template" | tr -d '\r')
    p=$(wine "$watch" Plaxomet "$plaxomet" | tr -d '\r')
    if [ "$round" -gt 0 ]; then
        echo "$m" >> "$work/minimal"
        echo "$t" >> "$work/template"
        echo "$p" >> "$work/plaxomet"
    fi
done
cd "$OLDPWD"
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
figures() { echo "$(cut -d' ' -f1 "$work/$1" | median) $(cut -d' ' -f2 "$work/$1" | median)"; }

awk -v runs="$runs" -v minimal="$(figures minimal)" -v template="$(figures template)" -v plaxomet="$(figures plaxomet)" \
    -v msize="$(stat -c %s build-windows/bench/win32/minimal_dialog.exe)" \
    -v psize="$(stat -c %s build-windows/app/Plaxomet.exe)" -v report_only="${REPORT_ONLY:-0}" 'BEGIN {
    split(minimal, m); split(template, t); split(plaxomet, p)
    printf "medians of %d runs under Wine   start-up (ms)   peak working set (KiB)   executable (bytes)\n", runs
    printf "dialog with one label           %13.1f   %22d   %18d\n", m[1], m[2], msize
    printf "main template, no program       %13.1f   %22d\n", t[1], t[2]
    printf "Plaxomet.exe                    %13.1f   %22d   %18d\n", p[1], p[2], psize
    printf "plaxomet / one label            %13.2f   %22.2f   (targets 1.1 and 1.1)\n", p[1] / m[1], p[2] / m[2]
    printf "plaxomet / main template        %13.2f   %22.2f\n", p[1] / t[1], p[2] / t[2]
    within = p[1] / m[1] <= 1.1 && p[2] / m[2] <= 1.1
    if (!within) print "over the target against the dialog with one label"
    exit !(within || report_only)
}'
