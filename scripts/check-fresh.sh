#!/usr/bin/env bash
# Tries the README's two commands as a new user would, on a fresh minimal
# Debian of the release SUITE (bookworm or trixie): debootstraps it from this
# machine's configured mirror, clones the committed project into a folder
# under /root (closed to other users), runs the test command there, then the
# run command on a private display until the first-start message and the
# main dialog are up. It then builds the Debian package there, lints the
# sources with that release's clang-format and clang-tidy, installs the package
# with apt on an untouched copy of the fresh system and starts it from
# /usr/bin the same way. Whatever happens, it ends the processes it started
# in there, unmounts and removes the systems it made.
set -euo pipefail
suite=${1:-}
case "$suite" in
    bookworm | trixie) ;;
    *) echo "usage: $0 bookworm|trixie" >&2; exit 2 ;;
esac
top=$(cd "$(dirname "$0")/.." && pwd)
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

need=()
for tool in debootstrap git; do
    command -v "$tool" > /dev/null || need+=("$tool")
done
if ((${#need[@]})); then
    "${sudo[@]}" apt-get update -q
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${need[@]}"
fi

# The Debian mirror this machine's apt is set up with (one-line or deb822 sources).
mirror=$(grep -hsE '^(deb |URIs:)' /etc/apt/sources.list /etc/apt/sources.list.d/*.list \
             /etc/apt/sources.list.d/*.sources |
         grep -oE 'https?://[^ ]+/debian/?' | grep -v security | head -n 1 || true)
mirror=${mirror:-http://deb.debian.org/debian}

work=$(mktemp -d /var/tmp/plaxomet-fresh-"$suite"-XXXXXX)
build=$work/build   # where the project is cloned, tested and packaged
fresh=$work/fresh   # untouched until the package is installed
mounts=()
cleanup() {
    local status=$?
    set +e
    # Every process whose root is one of the systems: the display, the program, a stray build.
    for _ in 1 2 3; do
        local pids=()
        for link in /proc/[0-9]*/root; do
            case "$(readlink "$link" 2> /dev/null)" in
                "$build" | "$fresh") pids+=("$(basename "$(dirname "$link")")") ;;
            esac
        done
        ((${#pids[@]})) || break
        "${sudo[@]}" kill -9 "${pids[@]}" 2> /dev/null
        sleep 1
    done
    for ((i = ${#mounts[@]} - 1; i >= 0; i--)); do
        "${sudo[@]}" umount -l "${mounts[i]}" 2> /dev/null
    done
    # Only remove the trees once nothing is mounted below them.
    if ! grep -q " $work/" /proc/self/mounts; then
        "${sudo[@]}" rm -rf --one-file-system "$work"
    else
        echo "left $work: something is still mounted below it" >&2
    fi
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

step() { printf '== %s (%s)\n' "$1" "$(date +%T)"; }

# Makes a system fit to run apt and programs in: kernel file systems, name
# resolution, and no service of a package started.
enter() {
    local system=$1
    for fs in proc sys dev dev/pts; do
        "${sudo[@]}" mount --bind "/$fs" "$system/$fs"
        mounts+=("$system/$fs")
    done
    "${sudo[@]}" mount -t tmpfs tmpfs "$system/tmp"
    mounts+=("$system/tmp")
    "${sudo[@]}" cp /etc/resolv.conf "$system/etc/resolv.conf"
    printf '#!/bin/sh\nexit 101\n' | "${sudo[@]}" tee "$system/usr/sbin/policy-rc.d" > /dev/null
    "${sudo[@]}" chmod 755 "$system/usr/sbin/policy-rc.d"
}

inside() { # system command
    "${sudo[@]}" chroot "$1" /usr/bin/env -i HOME=/root LANG=C.UTF-8 CI=true \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin bash -c "$2"
}

# Starts a command in an empty folder on a private display: the program says
# SETTINGS is missing, Enter answers that, then its main dialog must be up,
# with its icon and the window class its desktop entry names.
show_dialog() { # system command
    inside "$1" 'DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends xvfb xauth x11-utils xdotool' > /dev/null
    inside "$1" '
        set -e
        # The server picks a free display: the abstract X sockets are shared with the host.
        Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3> /tmp/display-number > /dev/null 2>&1 &
        for _ in $(seq 100); do [ -s /tmp/display-number ] && break; sleep 0.1; done
        export DISPLAY=:$(cat /tmp/display-number)
        mkdir -p /root/first-start && cd /root/first-start
        '"$2"' > /root/run.log 2>&1 &
        window() { xdotool search --onlyvisible --name "^Plaxomet\$" 2> /dev/null | head -n 1; }
        waited=0
        until [ -n "$(window)" ]; do
            sleep 0.5; waited=$((waited + 1))
            [ "$waited" -lt 240 ] || { echo "no first-start message"; cat /root/run.log; exit 1; }
        done
        box=$(window)
        echo "the first-start message is up"
        xdotool windowfocus --sync "$box" key Return
        until [ -n "$(window)" ] && [ "$(window)" != "$box" ]; do
            sleep 0.5; waited=$((waited + 1))
            [ "$waited" -lt 240 ] || { echo "no main dialog"; cat /root/run.log; exit 1; }
        done
        dialog=$(window)
        xprop -id "$dialog" WM_CLASS | grep -q "\"plaxomet\"" || { xprop -id "$dialog" WM_CLASS; exit 1; }
        xprop -id "$dialog" _NET_WM_ICON | grep -q "Icon (32 x 32)" || { echo "the window has no icon"; exit 1; }
        echo "the main dialog is up, with its icon and window class"
    '
}

step "debootstrap --variant=minbase $suite from $mirror"
"${sudo[@]}" debootstrap --variant=minbase "$suite" "$build" "$mirror" > "$work/debootstrap.log" 2>&1 || {
    tail -n 30 "$work/debootstrap.log"
    exit 1
}
"${sudo[@]}" cp -a "$build" "$fresh"
enter "$build"

step "clone into /root/plaxomet"
"${sudo[@]}" git clone --quiet --no-hardlinks "$top" "$build/root/plaxomet"
"${sudo[@]}" chmod 700 "$build/root"

step "./scripts/test.sh"
status=0
inside "$build" 'cd /root/plaxomet && ./scripts/test.sh' > "$work/test.log" 2>&1 || status=$?
grep -E '^(Installing|[0-9]+% tests|Total Test)|warning:|error:|\*\*\*Failed' "$work/test.log" || true
if [ "$status" -ne 0 ]; then
    tail -n 60 "$work/test.log"
    echo "the test command failed on a fresh $suite" >&2
    exit 1
fi
if grep -q 'warning:' "$work/test.log"; then
    echo "the build warns on a fresh $suite" >&2
    exit 1
fi

step "./scripts/run.sh on a private display"
show_dialog "$build" /root/plaxomet/scripts/run.sh

step "./scripts/package.sh"
inside "$build" 'cd /root/plaxomet && ./scripts/package.sh' > "$work/package.log" 2>&1 || {
    tail -n 40 "$work/package.log"
    echo "the package could not be built on a fresh $suite" >&2
    exit 1
}
grep -E '^(== |package checked)' "$work/package.log"

step "./scripts/lint.sh with $suite's clang-format and clang-tidy"
inside "$build" 'cd /root/plaxomet && ./scripts/lint.sh' > "$work/lint.log" 2>&1 || {
    tail -n 60 "$work/lint.log"
    echo "lint.sh fails with the tools of $suite" >&2
    exit 1
}
grep -E '^(formatting|clang-tidy):' "$work/lint.log"

step "apt install the package on an untouched $suite, and start it"
enter "$fresh"
"${sudo[@]}" cp "$build"/root/plaxomet/dist/plaxomet_*.deb "$fresh/root/"
inside "$fresh" 'apt-get update -q > /dev/null && DEBIAN_FRONTEND=noninteractive apt-get install -y -q /root/plaxomet_*.deb' > "$work/install.log" 2>&1 || {
    tail -n 30 "$work/install.log"
    exit 1
}
inside "$fresh" 'plaxomet --version && test -f /usr/share/icons/hicolor/48x48/apps/org.plaxomet.Plaxomet.png'
# As the desktop menu starts it: in Plaxomet of the documents folder, made for it.
show_dialog "$fresh" "$(sed -n 's/^Exec=//p' "$fresh/usr/share/applications/org.plaxomet.Plaxomet.desktop")"
inside "$fresh" 'test -d /root/Documents/Plaxomet' || { echo "the menu's start made no Documents/Plaxomet" >&2; exit 1; }

step "both commands and the package work on a fresh $suite"
