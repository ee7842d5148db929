#!/usr/bin/env bash
# Reproducible: two builds of one commit, with one SOURCE_DATE_EPOCH, in two different folders
# (and time zones) give byte-identical packages. SOURCE_DATE_EPOCH is the commit's changelog date
# unless it is set already. Prints each package's SHA-256 and fails on the first difference.
# Usage: scripts/reproducible.sh [commit]      (HEAD by default; as root)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
commit=$(git -C "$here" rev-parse --verify "${1:-HEAD}^{commit}")
work="${CYFROLIA_REPRODUCIBLE_DIR:-$here/build-reproducible}"

bash "$here/scripts/install-deps.sh" package
changelog=$(mktemp)
trap 'rm -f "$changelog"' EXIT
git -C "$here" show "$commit:debian/changelog" >"$changelog"
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(dpkg-parsechangelog -l "$changelog" -S Timestamp)}
if ((SOURCE_DATE_EPOCH > $(date +%s))); then
    # dpkg-deb sets only later times back to SOURCE_DATE_EPOCH: a date still to come keeps the
    # build's own times in the package.
    echo "SOURCE_DATE_EPOCH $SOURCE_DATE_EPOCH lies in the future: date the changelog entry in the past" >&2
    exit 1
fi
echo "Commit $commit, SOURCE_DATE_EPOCH=$SOURCE_DATE_EPOCH"

rm -rf "$work"
first="$work/first"
second="$work/second/in/another/folder"
TZ=UTC bash "$here/scripts/build-deb.sh" "$first" "$commit"
TZ=Pacific/Kiritimati bash "$here/scripts/build-deb.sh" "$second" "$commit"

compared=0
for built in "$first"/*.deb "$first"/*.ddeb; do
    [[ -e "$built" ]] || continue
    name=${built##*/}
    if ! cmp "$built" "$second/$name"; then
        echo "FAIL: $name differs between the two builds" >&2
        diff <(dpkg-deb -c "$built") <(dpkg-deb -c "$second/$name") >&2 || true
        exit 1
    fi
    sha256sum "$built" | sed "s|$first/||"
    compared=$((compared + 1))
done
((compared > 0)) || { echo "FAIL: no package was built" >&2; exit 1; }
echo "PASS: $compared packages byte for byte the same from $first and $second"
