#!/usr/bin/env bash
# Builds the Debian package into build/ and checks it: the installed files,
# the desktop entry and AppStream metadata, that apt can resolve its
# dependencies, and that the packaged program starts.
set -euo pipefail
cd "$(dirname "$0")/.."
EXTRA_PACKAGES="dpkg-dev appstream desktop-file-utils" scripts/setup.sh

rm -f build/plaxomet_*.deb
(cd build && cpack -G DEB)
deb=$(ls build/plaxomet_*.deb)
echo "== $deb"
dpkg-deb --info "$deb" | grep -E 'Package|Version|Depends|Recommends'

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
for file in usr/bin/plaxomet \
            usr/share/applications/org.plaxomet.Plaxomet.desktop \
            usr/share/metainfo/org.plaxomet.Plaxomet.metainfo.xml \
            usr/share/icons/hicolor/16x16/apps/org.plaxomet.Plaxomet.png \
            usr/share/icons/hicolor/32x32/apps/org.plaxomet.Plaxomet.png \
            usr/share/icons/hicolor/scalable/apps/org.plaxomet.Plaxomet.svg; do
    [ -f "$root/$file" ] || { echo "missing from the package: $file" >&2; exit 1; }
done
desktop-file-validate "$root/usr/share/applications/org.plaxomet.Plaxomet.desktop"
appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/org.plaxomet.Plaxomet.metainfo.xml"

# apt must find every declared dependency on this Debian.
apt-get install --simulate --no-install-recommends "./$deb" > /dev/null

# The packaged program starts, and without a display says so.
message=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$root/usr/bin/plaxomet" 2>&1 || true)
case "$message" in
    "plaxomet: no display found."*) ;;
    *) echo "the packaged program did not start as expected: $message" >&2; exit 1 ;;
esac
echo "package checked: $deb"
