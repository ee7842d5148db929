#!/usr/bin/env bash
# The installed copy, used by ordinary pupils. Installs with the package's own rules under a
# scratch root (cmake --install with DESTDIR, which runs the package's postinst there), checks
# the upgrade from the first package's world-writable layout, adds two unprivileged users, and
# runs installed_pupil_class.sh with the scratch data folder mounted where the package's links
# lead. Needs root; cleans up the users, the group if it made it, the root and the mount.
# Usage: installed_pupil.sh <build folder> <data folder the links lead to>
set -euo pipefail
build=$1
data=$2
here=$(cd "$(dirname "$0")" && pwd)

if [[ $(id -u) != 0 ]]; then
    echo "SKIP: installing and adding a user need root"
    exit 77
fi
if ! unshare --mount true 2>/dev/null; then
    echo "SKIP: no mount namespaces here to put the scratch data folder in place"
    exit 77
fi

fail() { echo "FAIL: $*"; exit 1; }
root=$(mktemp -d /tmp/cyfrolia-root.XXXXXX)
pupil="cyfrolia-e2e-$$"
other="cyfrolia-e2f-$$"
made_group=""
made_mountpoint=""
cleanup() {
    local rc=$?
    for u in "$pupil" "$other"; do
        pkill -KILL -u "$u" 2>/dev/null || true
        userdel "$u" 2>/dev/null || true
    done
    [[ -z "$made_group" ]] || groupdel cyfrolia 2>/dev/null || true
    rm -rf "$root"
    [[ -z "$made_mountpoint" ]] || rmdir "$data" 2>/dev/null || true
    exit "$rc"
}
trap cleanup EXIT

# The set-group-id helper needs its group on this machine; the postinst would add it for good.
if ! getent group cyfrolia >/dev/null; then
    groupadd --system cyfrolia
    made_group=1
fi
chmod 755 "$root"
DESTDIR="$root" cmake --install "$build" --prefix /usr
program="$root/usr/lib/cyfrolia"
d="$root$data"
[[ -L "$root/usr/bin/cyfrolia" ]] || fail "no launcher in bin/"
modes() { stat -c '%a %U:%G' "$@"; }
[[ "$(modes "$d")" == "2775 root:cyfrolia" ]] || fail "the data folder is $(modes "$d")"
[[ "$(modes "$program/cyfrolia-zapis")" == "2755 root:cyfrolia" ]] || fail "the helper is $(modes "$program/cyfrolia-zapis")"
[[ "$(modes "$d/.cyfrolia.lock")" == "660 root:cyfrolia" ]] || fail "the lock file is $(modes "$d/.cyfrolia.lock")"
for k in I II III IV V VI; do
    [[ "$(readlink "$program/wyniki_kl_$k.txt")" == "$data/wyniki_kl_$k.txt" ]] ||
        fail "wyniki_kl_$k.txt is no link into $data"
    [[ -f "$d/wyniki_kl_$k.txt" && ! -s "$d/wyniki_kl_$k.txt" ]] || fail "$data/wyniki_kl_$k.txt is not there empty"
    [[ "$(modes "$d/wyniki_kl_$k.txt")" == "664 root:cyfrolia" ]] || fail "wyniki_kl_$k.txt is $(modes "$d/wyniki_kl_$k.txt")"
done
# Two menu entries: the children's program and the teacher's view of the class results.
for entry in org.example.cyfrolia org.example.cyfrolia.teacher; do
    desktop-file-validate "$root/usr/share/applications/$entry.desktop" || fail "$entry.desktop"
done
grep -qx 'Exec=cyfrolia --teacher' "$root/usr/share/applications/org.example.cyfrolia.teacher.desktop" ||
    fail "the teacher's entry does not open the teacher's view"

useradd --no-create-home --home-dir "$root/home" --no-user-group --shell /bin/bash "$pupil"
useradd --no-create-home --home-dir "$root/home2" --no-user-group --shell /bin/bash "$other"
mkdir -m 700 "$root/home" "$root/home2"
chown "$pupil" "$root/home"
chown "$other" "$root/home2"

# The first package's layout, as pupils left it: everything anyone's, a save's lock and temporary
# file, a link a pupil put in place of a class file, a FIFO. Configuring keeps every grade.
chmod 0777 "$d"
rm -f "$d"/.cyfrolia*
printf 'Ala Nowak. Ocena: 5. Dnia: 2007-02-08\r\n' >"$d/wyniki_kl_VI.txt"
printf 'Ola Lis. Ocena: 6. Dnia: 2007-02-08\n' >"$d/wyniki_kl_IV.txt"
chown "$pupil" "$d/wyniki_kl_VI.txt" "$d/wyniki_kl_IV.txt"
chmod 0666 "$d"/wyniki_kl_*.txt
printf '4242\nhost\n' >"$d/wyniki_kl_VI.txt.lock"
printf 'half' >"$d/wyniki_kl_VI.txt.Ab3dE9"
echo "a pupil's notes" >"$root/home/notes"
rm "$d/wyniki_kl_II.txt"
ln -s "$root/home/notes" "$d/wyniki_kl_II.txt"
mkfifo "$d/wyniki_kl_V.txt.lock"
cp -a "$d" "$root/before"
DPKG_ROOT="$root" DPKG_MAINTSCRIPT_PACKAGE="" sh "$build/packaging/postinst" configure 1.0-1
cmp "$d/wyniki_kl_VI.txt" "$root/before/wyniki_kl_VI.txt" || fail "the upgrade changed class VI"
cmp "$d/wyniki_kl_IV.txt" "$root/before/wyniki_kl_IV.txt" || fail "the upgrade changed class IV"
[[ "$(modes "$d" "$d"/wyniki_kl_*.txt | sort -u)" == $'2775 root:cyfrolia\n664 root:cyfrolia' ]] ||
    fail "after the upgrade: $(modes "$d" "$d"/wyniki_kl_*.txt)"
[[ -f "$d/wyniki_kl_II.txt" && ! -L "$d/wyniki_kl_II.txt" ]] || fail "the planted link still stands"
set_aside=$(cd "$d/kwarantanna" && ls -A | sort | tr '\n' ' ')
[[ "$set_aside" == "wyniki_kl_II.txt wyniki_kl_V.txt.lock wyniki_kl_VI.txt.Ab3dE9 wyniki_kl_VI.txt.lock " ]] ||
    fail "the quarantine holds: $set_aside"
[[ "$(cat "$root/home/notes")" == "a pupil's notes" ]] || fail "the upgrade changed what a link led to"
rm -rf "$d/kwarantanna"

# A teacher's copy, and a link root makes in the data folder: the saves leave both alone.
printf 'kopia\r\n' >"$d/wyniki_kl_I.txt.backup"
echo "root's" >"$root/rootfile"
rm "$d/wyniki_kl_III.txt"
ln -s "$root/rootfile" "$d/wyniki_kl_III.txt"

cp -r "$here" "$root/e2e"
chmod -R a+rX "$root/e2e"
if [[ ! -e "$data" ]]; then
    mkdir -p "$data"
    made_mountpoint=1
fi
unshare --mount --propagation private bash -c '
    mount --bind "$1$2" "$2"
    exec bash "$1/e2e/installed_pupil_class.sh" "$@"
' _ "$root" "$data" "$pupil" "$other"

[[ "$(cat "$root/rootfile")" == "root's" ]] || fail "a save followed root's link"
[[ "$(cat "$d/wyniki_kl_I.txt.backup")" == $'kopia\r' ]] || fail "the teacher's copy changed"
leftovers=$(cd "$d" && ls -A | grep -Ev '^(wyniki_kl_I*V*I*\.txt|\.cyfrolia-nowy\.wyniki_kl_I*V*I*\.txt|\.cyfrolia\.lock|wyniki_kl_I\.txt\.backup)$' || true)
[[ -z "$leftovers" ]] || fail "left in the data folder: $leftovers"

# A purge deletes the grades, says so, and keeps what is not the program's.
said=$(DPKG_ROOT="$root" sh "$build/packaging/postrm" purge 2>&1)
[[ "$said" == *"deleting the saved grades"* && "$said" == *"Kept"* ]] || fail "the purge said: $said"
[[ "$(cd "$d" && ls -A)" == "wyniki_kl_I.txt.backup" ]] || fail "the purge left: $(ls -A "$d")"
echo "PASS: installed_pupil.sh"
