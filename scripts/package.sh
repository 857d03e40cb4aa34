#!/usr/bin/env bash
# Builds the Debian package into build/ from a release build with Debian's
# hardening flags (build-deb/), stripped, and checks it: lintian, the
# installed files, the desktop entry and AppStream metadata, that apt can
# resolve its dependencies, and that the packaged program answers on the
# command line.
set -euo pipefail
cd "$(dirname "$0")/.."
EXTRA_PACKAGES="dpkg-dev lintian appstream desktop-file-utils" scripts/setup.sh --no-build

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cmake -S . -B build-deb -DCMAKE_BUILD_TYPE=None -DBUILD_TESTING=OFF \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" > /dev/null
cmake --build build-deb --parallel "$(nproc)"
rm -f build-deb/plaxomet_*.deb
(cd build-deb && cpack -G DEB > /dev/null)
mkdir -p build
rm -f build/plaxomet_*.deb
cp build-deb/plaxomet_*.deb build/
deb=$(ls build/plaxomet_*.deb)
echo "== $deb"
dpkg-deb --info "$deb" | grep -E 'Package|Version|Depends|Recommends'

# Every error and warning fails; a tag overridden would need its reason in the package.
lintian --fail-on error,warning --display-info "$deb"

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
