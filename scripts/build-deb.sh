#!/usr/bin/env bash
# Builds the Debian package as Debian builds it, in a folder of its own: the source tree is copied
# into <folder>/cyfrolia-<version>/ and dpkg-buildpackage builds the binary packages there; the
# .deb, its debug symbols, .buildinfo and .changes land in <folder>. The source tree stays as it
# is. Without a commit the copy holds the work tree's files as they are (those git tracks, and new
# ones it does not ignore); with one, that commit's.
# Usage: build-deb.sh <folder> [commit]     (as root, the build dependencies installed)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=$1
commit=${2:-}

version=$(dpkg-parsechangelog -l "$here/debian/changelog" -S Version)
tree="$out/cyfrolia-${version%-*}"
mkdir -p "$out"
rm -rf "$tree"
rm -f "$out"/cyfrolia_* "$out"/cyfrolia-dbgsym_*
mkdir "$tree"
if [[ -n "$commit" ]]; then
    git -C "$here" archive "$commit" | tar -x -C "$tree"
elif git -C "$here" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git -C "$here" ls-files -z --cached --others --exclude-standard |
        while IFS= read -r -d '' f; do
            if [[ -e "$here/$f" || -L "$here/$f" ]]; then printf '%s\0' "$f"; fi
        done |
        tar -C "$here" --null --files-from=- -cf - | tar -x -C "$tree"
else
    tar -C "$here" --exclude='./build*' -cf - . | tar -x -C "$tree"
fi
(cd "$tree" && dpkg-buildpackage -us -uc -b)
