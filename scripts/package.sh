#!/usr/bin/env bash
# Builds the Debian package the way Debian builds packages (scripts/release.sh
# --deb: dpkg-buildpackage and debhelper, from debian/, into dist/) and checks
# it: lintian on it and on its debug symbols package, the installed files,
# the split of the debug information, the desktop entry and AppStream
# metadata, that apt can resolve its dependencies, and that the packaged
# program answers on the command line.
set -euo pipefail
cd "$(dirname "$0")/.."
EXTRA_PACKAGES="lintian appstream desktop-file-utils binutils" scripts/setup.sh --no-build
scripts/release.sh --deb
deb=$(ls dist/plaxomet_*.deb)
dbgsym=$(ls dist/plaxomet-dbgsym_*.deb)
echo "== $deb"
dpkg-deb --info "$deb" | grep -E 'Package|Version|Depends|Recommends'

# Every error and warning fails; a tag overridden would need its reason in the package.
lintian --fail-on error,warning --display-info "$deb" "$dbgsym"

root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
for file in usr/bin/plaxomet \
            usr/share/applications/org.plaxomet.Plaxomet.desktop \
            usr/share/metainfo/org.plaxomet.Plaxomet.metainfo.xml \
            usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/org.plaxomet.Plaxomet.png \
            usr/share/icons/hicolor/scalable/apps/org.plaxomet.Plaxomet.svg \
            usr/share/doc/plaxomet/copyright usr/share/doc/plaxomet/changelog.gz \
            usr/share/man/man1/plaxomet.1.gz; do
    [ -f "$root/$file" ] || { echo "missing from the package: $file" >&2; exit 1; }
done
# The long description is flowed text: its lines start with one space, which
# package managers join; two would make them shown verbatim, as preformatted.
description=$(dpkg-deb -f "$deb" Description | tail -n +2)
if [ -z "$description" ] || printf '%s\n' "$description" | grep -q '^  '; then
    printf 'the long description is not flowed text:\n%s\n' "$description" >&2
    exit 1
fi
# The program is stripped; its debug information is in the debug package, under its build ID.
if readelf -S "$root/usr/bin/plaxomet" | grep -q '\.debug_info'; then
    echo "the packaged program is not stripped" >&2
    exit 1
fi
build_id=$(readelf -n "$root/usr/bin/plaxomet" | sed -n 's/.*Build ID: //p')
# (The listing is read whole first: grep -q stopping early would break dpkg-deb's pipe.)
debug_files=$(dpkg-deb -c "$dbgsym")
grep -q "usr/lib/debug/.build-id/${build_id:0:2}/${build_id:2}.debug" <<< "$debug_files" ||
    { echo "the debug package has no symbols for build ID $build_id" >&2; exit 1; }
# The release date is the commit's (or the one SOURCE_DATE_EPOCH names).
release_date=$(date -u -d "@${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}" +%F)
grep -q "<release version=\"$(dpkg-deb -f "$deb" Version)\" date=\"$release_date\"/>" \
    "$root/usr/share/metainfo/org.plaxomet.Plaxomet.metainfo.xml" ||
    { echo "the AppStream release is not dated $release_date" >&2; exit 1; }
desktop-file-validate "$root/usr/share/applications/org.plaxomet.Plaxomet.desktop"
appstreamcli validate --no-net --pedantic "$root/usr/share/metainfo/org.plaxomet.Plaxomet.metainfo.xml"

# apt must find every declared dependency on this Debian.
apt-get install --simulate --no-install-recommends "./$deb" > /dev/null

# The packaged program answers on the command line, with or without a display.
program="$root/usr/bin/plaxomet"
version=$(env -u DISPLAY -u WAYLAND_DISPLAY "$program" --version)
[ "$version" = "plaxomet $(dpkg-deb -f "$deb" Version)" ] || { echo "--version says: $version" >&2; exit 1; }
env -u DISPLAY -u WAYLAND_DISPLAY "$program" --help | grep -q '^Usage: plaxomet'
message=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" 2>&1 || true)
case "$message" in
    "plaxomet: no display found."*) ;;
    *) echo "the packaged program did not start as expected: $message" >&2; exit 1 ;;
esac
echo "package checked: $deb"
