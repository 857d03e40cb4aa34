#!/usr/bin/env bash
# Builds every download of the commit checked out into dist/: the Debian
# package and its debug symbols (dpkg-buildpackage, from debian/), the Windows
# program Plaxomet.exe, its installer and its zip, and SHA256SUMS, which
# `sha256sum -c SHA256SUMS` checks. With --deb, the Debian packages alone.
#
# It builds the commit, not the working tree: `git archive` exports it into
# build-release/source, so nothing uncommitted or ignored gets in. Its time
# is the commit's (SOURCE_DATE_EPOCH, unless already set), and nothing built
# depends on the folder, the user, the umask, the time zone or the locale: the
# same commit gives the same bytes, which scripts/check-reproducible.sh proves.
set -euo pipefail
cd "$(dirname "$0")/.."
windows=yes
case "${1:-}" in
    "") ;;
    --deb) windows=no ;;
    *) echo "usage: $0 [--deb]" >&2; exit 2 ;;
esac
EXTRA_PACKAGES="git dpkg-dev debhelper" scripts/setup.sh --no-build
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
    SOURCE_DATE_EPOCH=$(git log -1 --format=%ct)
fi
export SOURCE_DATE_EPOCH
commit=$(git rev-parse --short HEAD)
if [ -n "$(git status --porcelain --untracked-files=no)" ]; then
    echo "release.sh: building commit $commit; the changes not committed are not in it" >&2
fi
# The package's version is the program's.
version=$(dpkg-parsechangelog -l debian/changelog -S Version)
grep -q "^project(Plaxomet VERSION $version " CMakeLists.txt || {
    echo "release.sh: debian/changelog is at $version, CMakeLists.txt is not" >&2
    exit 1
}

work=$PWD/build-release
rm -rf "$work" dist
mkdir -p "$work/source" dist
git archive HEAD | tar -x -C "$work/source"

echo "== the Debian package of $commit, $version ($(date -u -d "@$SOURCE_DATE_EPOCH" +%F))"
cd "$work/source"
if ! dpkg-checkbuilddeps 2> /dev/null; then
    "${sudo[@]}" apt-get update -q > /dev/null
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get build-dep -y -q ./ > /dev/null
fi
dpkg-buildpackage --build=binary --no-sign > "$work/dpkg-buildpackage.log" 2>&1 || {
    tail -n 40 "$work/dpkg-buildpackage.log"
    exit 1
}
cp "$work"/*.deb ../../dist/

if [ "$windows" = yes ]; then
    echo "== the Windows program, installer and zip"
    scripts/build-windows.sh --release > "$work/build-windows.log" 2>&1 || {
        tail -n 40 "$work/build-windows.log"
        exit 1
    }
    cp build-windows/app/Plaxomet.exe build-windows/plaxomet-*-win64.exe build-windows/plaxomet-*-win64.zip ../../dist/
fi

cd ../../dist
find . -maxdepth 1 -type f ! -name SHA256SUMS -printf '%f\n' | LC_ALL=C sort | xargs sha256sum -- > SHA256SUMS
cat SHA256SUMS
