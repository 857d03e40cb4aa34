#!/usr/bin/env bash
# Builds the Windows program and runs its tests under Wine on a private Xvfb
# display, in a Wine prefix made for the run: the core tests and the dialog
# scenarios cross-built (the scenarios again at 144 DPI), a black-box run of
# Plaxomet.exe, and the installer's silent install, start from its
# shortcut, refusal while Plaxomet runs, and uninstall.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build-windows.sh
EXTRA_PACKAGES="wine wine64 xvfb xauth" scripts/setup.sh --no-build
# One run plays a Cyrillic Windows: Wine takes its ANSI code page from the locale.
if ! locale -a 2>/dev/null | grep -qix 'ru_RU\.utf-\?8'; then
    sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" localedef -i ru_RU -f UTF-8 ru_RU.UTF-8
fi

work=$(mktemp -d)
. scripts/xvfb.sh
start_xvfb
# No Mono or Gecko: nothing here needs them, and their installers would ask.
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEARCH=win64 HOME=$work/home WINEDLLOVERRIDES="mscoree,mshtml="
mkdir -p "$HOME"
trap 'wineserver -k 2> /dev/null || true; kill $xvfb_pid 2> /dev/null; rm -rf "$work"' EXIT
wine wineboot -i > /dev/null 2>&1
wineserver -w

echo "== the tests, under Wine"
# One at a time: the dialogs of parallel tests would take each other's activation.
ctest --test-dir build-windows --output-on-failure --no-tests=error
scripts/list-skipped.sh build-windows

echo "== the dialogs at 150 % (144 DPI): labels fitted, nothing clipped, every scenario"
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f > /dev/null 2>&1
wineserver -w
(cd build-windows/tests/win32 && wine ./win32_tests.exe --gtest_filter='Win32Layout.*:Scenario/*' | tail -n 3)
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f > /dev/null 2>&1
wineserver -w

echo "== Plaxomet.exe as a user would use it"
mkdir -p "$work/app" "$work/run"
# The stand-in takes Notepad's place in the system folder; copies planted
# beside the program and in the working folder, where the search path would
# look first, must never run.
system32="$WINEPREFIX/drive_c/windows/system32"
cp build-windows/tests/win32/NOTEPAD.exe "$system32/notepad.exe"
cp build-windows/app/Plaxomet.exe build-windows/tests/win32/NOTEPAD.exe "$work/app/"
cp build-windows/tests/win32/NOTEPAD.exe "$work/run/NOTEPAD.EXE"
blackbox=$(realpath build-windows/tests/win32/blackbox.exe)
(cd "$work/run" && WINEDLLOVERRIDES="$WINEDLLOVERRIDES;notepad.exe=n" \
    wine "$blackbox" "$(winepath -w "$work/app/Plaxomet.exe")")
test -s "$work/run/PlaxometReport.txt" && test -s "$work/run/SETTINGS"
grep -q 'NOTEPAD.EXE PlaxometReport.txt' "$work/run/notepad-called.txt"
grep -q '^show 5' "$work/run/notepad-called.txt"
grep -qix 'from c:\\windows\\system32\\notepad.exe.\?' "$work/run/notepad-called.txt" \
    || { echo "Notepad was not the system folder's:" >&2; cat "$work/run/notepad-called.txt" >&2; exit 1; }
echo "report and settings written; the system's Notepad was started with the report, shown"

echo "== the installer, per user"
installer=$(ls build-windows/plaxomet-*-win64.exe)
# The icon: 16 colours at 16 and 32 pixels for the dialogs, full colour at the sizes higher scales ask for.
python3 - res/icons/plaxomet.ico << 'EOF'
import struct, sys
data = open(sys.argv[1], "rb").read()
images = {(w or 256, bits) for w, _, _, _, _, bits, _, _ in
          (struct.unpack("<BBBBHHII", data[6 + 16 * i:22 + 16 * i]) for i in range(data[4]))}
assert images == {(16, 4), (32, 4), (20, 32), (24, 32), (40, 32), (48, 32), (256, 32)}, images
EOF
unzip -Z1 build-windows/plaxomet-*-win64.zip | LC_ALL=C sort | tr '\n' ' ' | grep -qx 'LICENSE.txt Plaxomet.exe README.txt THIRD-PARTY-NOTICES.txt '
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Plaxomet'
wine "$installer" /S
wineserver -w
local_app_data=$(winepath -u "$(wine cmd /c echo %LOCALAPPDATA% | tr -d '\r')")
programs="$local_app_data/Programs/Plaxomet"
for file in Plaxomet.exe Uninstall.exe LICENSE.txt THIRD-PARTY-NOTICES.txt README.txt; do
    test -f "$programs/$file" || { echo "not installed: $programs/$file" >&2; exit 1; }
done
test ! -e "$WINEPREFIX/drive_c/Program Files/Plaxomet"
wine reg query "$key" /v DisplayName | grep -q Plaxomet
wine reg query "$key" /v UninstallString | grep -q 'Uninstall.exe'
wine reg query "$key" /v DisplayIcon | grep -q 'Plaxomet\.exe'
wine reg query "$key" /v EstimatedSize | grep -qE 'REG_DWORD +0x[0-9a-f]*[1-9a-f]'
wine reg query "$key" /v InstallDate | grep -qE "REG_SZ +$(date +%Y)[01][0-9][0-3][0-9]"
! grep -n '/usr/' "$programs/LICENSE.txt" || { echo "the licence names a Linux path" >&2; exit 1; }
shortcut=$(find "$WINEPREFIX/drive_c/users" -name Plaxomet.lnk | head -n 1)
case "$shortcut" in
    */users/Public/* | "") echo "no shortcut in the user's own Start menu: $shortcut" >&2; exit 1 ;;
esac
wine "$blackbox" "$(winepath -w "$shortcut")"
wineserver -w
settings=$(find "$WINEPREFIX/drive_c/users" "$HOME" -path '*Plaxomet/SETTINGS' 2> /dev/null | head -n 1)
test -n "$settings"
case "$settings" in */Public/*) echo "the shortcut's folder is shared, not the user's: $settings" >&2; exit 1 ;; esac
echo "installed in $programs, started from its shortcut in $(dirname "$settings")"

# While Plaxomet runs, neither a silent install over it nor a silent
# uninstall touches a file: each stops with status 2. The uninstall runs in
# place (_?=), as the Installed-apps entry's copy would, to give its status.
(cd "$work/run" && wine "$programs/Plaxomet.exe") &
running=$!
for _ in $(seq 50); do pgrep -f 'Programs/Plaxomet/Plaxomet.exe' > /dev/null && break; sleep 0.2; done
sleep 2
before=$(cd "$programs" && sha256sum ./*)
for command in "$installer /S" "$programs/Uninstall.exe /S _?=$(winepath -w "$programs")"; do
    status=0
    wine $command || status=$?
    [ "$status" -eq 2 ] || { echo "with Plaxomet running, '$command' ended with $status, not 2" >&2; exit 1; }
done
[ "$(cd "$programs" && sha256sum ./*)" = "$before" ] || { echo "files changed while Plaxomet ran" >&2; exit 1; }
wine taskkill /im Plaxomet.exe > /dev/null 2>&1
wait "$running"
echo "a running Plaxomet stopped the install and the uninstall, which changed nothing"
wine "$programs/Uninstall.exe" /S
wineserver -w
sleep 2
# Nothing of ours is left but the user's own files.
test ! -e "$programs"
test -z "$(find "$WINEPREFIX/drive_c" -name 'Plaxomet.lnk' -o -name 'Uninstall.exe' -path '*Plaxomet*')"
! wine reg query "$key" > /dev/null 2>&1 || { echo "the uninstall entry is left" >&2; exit 1; }
wine reg export 'HKCU\Software' "$(winepath -w "$work/after.reg")" > /dev/null 2>&1
test -s "$work/after.reg"
if grep -i 'plaxomet' "$work/after.reg"; then
    echo "registry keys of ours are left" >&2
    exit 1
fi
test -f "$settings"
echo "uninstalled; nothing of ours is left but the user's settings"
