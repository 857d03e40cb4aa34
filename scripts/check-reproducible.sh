#!/usr/bin/env bash
# Builds the release of the commit checked out twice, from two clones in
# folders of different names and depths, with different umasks, time zones
# and locales, one after the other, and fails unless both SHA256SUMS are the
# same. On a difference it shows what differs in each artifact with Debian's
# diffoscope.
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
EXTRA_PACKAGES=git scripts/setup.sh --no-build

first=$(mktemp -d /tmp/plaxomet-release-XXXXXX)
second=$(mktemp -d /var/tmp/plaxomet-other-XXXXXX)
trap 'rm -rf "$first" "$second"' EXIT
git clone --quiet --no-hardlinks "$top" "$first/plaxomet"
git clone --quiet --no-hardlinks "$top" "$second/a/much/longer/path/to/the/clone"

echo "== first build: $first/plaxomet, umask 022, UTC, C.UTF-8"
(cd "$first/plaxomet" && umask 022 && TZ=UTC LC_ALL=C.UTF-8 ./scripts/release.sh > /dev/null)
echo "== second build: $second/a/much/longer/path/to/the/clone, umask 007, UTC+14, de_DE.UTF-8"
(cd "$second/a/much/longer/path/to/the/clone" &&
    umask 007 && TZ=Pacific/Kiritimati LC_ALL=de_DE.UTF-8 ./scripts/release.sh > /dev/null)

a=$first/plaxomet/dist
b=$second/a/much/longer/path/to/the/clone/dist
if cmp -s "$a/SHA256SUMS" "$b/SHA256SUMS"; then
    cat "$a/SHA256SUMS"
    echo "both builds gave the same bytes"
    exit 0
fi
diff "$a/SHA256SUMS" "$b/SHA256SUMS" || true
EXTRA_PACKAGES=diffoscope-minimal scripts/setup.sh --no-build > /dev/null
for file in "$a"/*; do
    name=$(basename "$file")
    cmp -s "$file" "$b/$name" || diffoscope --text - "$file" "$b/$name" | head -n 200 || true
done
echo "the two builds differ" >&2
exit 1
