#!/usr/bin/env bash
# The installed copy, used by ordinary pupils and a teacher. Installs with the package's own rules
# under a scratch root (cmake --install with DESTDIR, which runs the package's postinst from
# debian/ there),
# checks the upgrades from the 1.0-1 layout (a folder every user could write, left as pupils
# would leave it) and from the 1.0-2 layout, adds unprivileged users, and runs
# installed_pupil_class.sh with the scratch data folder mounted where the package's links lead.
# Needs root; cleans up the users, the root and the mount. The system account "cyfrolia" that
# the postinst adds stays, as it would on a computer with the package: another run may use it.
# Usage: installed_pupil.sh <build folder> <data folder the links lead to>
set -euo pipefail
build=$1
data=$2
here=$(cd "$(dirname "$0")" && pwd)
maintainer_scripts=$(cd "$here/../../debian" && pwd)

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
teacher="cyfrolia-e2t-$$"
made_mountpoint=""
holder=""
cleanup() {
    local rc=$?
    [[ -z "$holder" ]] || { kill "$holder" 2>/dev/null; wait "$holder" 2>/dev/null; } || true
    for u in "$pupil" "$other" "$teacher"; do
        pkill -KILL -u "$u" 2>/dev/null || true
        for _ in $(seq 1 100); do pgrep -u "$u" >/dev/null || break; sleep 0.05; done
        userdel "$u" 2>/dev/null || true
    done
    rm -rf "$root"
    [[ -z "$made_mountpoint" ]] || rmdir "$data" 2>/dev/null || true
    exit "$rc"
}
trap cleanup EXIT

chmod 755 "$root"
DESTDIR="$root" cmake --install "$build" --prefix /usr
program="$root/usr/lib/cyfrolia"
d="$root$data"
[[ -L "$root/usr/bin/cyfrolia" ]] || fail "no launcher in bin/"
# The menu's mask lies with the architecture-independent data, and the menu finds it beside the
# program.
[[ "$(readlink "$root/usr/lib/cyfrolia/forma.bmp")" == ../../share/cyfrolia/forma.bmp &&
    -f "$root/usr/share/cyfrolia/forma.bmp" ]] || fail "forma.bmp is not a link into /usr/share/cyfrolia"
modes() { stat -c '%a %U:%G' "$@"; }
expect_modes() { [[ "$(modes "$1")" == "$2" ]] || fail "${1#$root} is $(modes "$1"), not $2"; }
expect_modes "$d" "2775 root:cyfrolia"
expect_modes "$program/cyfrolia-zapis" "6755 cyfrolia:cyfrolia"
expect_modes "$d/.cyfrolia-zapisy" "700 cyfrolia:cyfrolia"
for k in I II III IV V VI; do
    [[ "$(readlink "$program/wyniki_kl_$k.txt")" == "$data/wyniki_kl_$k.txt" ]] ||
        fail "wyniki_kl_$k.txt is no link into $data"
    [[ -f "$d/wyniki_kl_$k.txt" && ! -s "$d/wyniki_kl_$k.txt" ]] || fail "$data/wyniki_kl_$k.txt is not there empty"
    expect_modes "$d/wyniki_kl_$k.txt" "664 cyfrolia:cyfrolia"
    expect_modes "$d/.cyfrolia-blokada.wyniki_kl_$k.txt" "600 cyfrolia:cyfrolia"
done
# Two menu entries: the children's program and the teacher's view of the class results.
for entry in org.example.cyfrolia org.example.cyfrolia.teacher; do
    desktop-file-validate "$root/usr/share/applications/$entry.desktop" || fail "$entry.desktop"
done
grep -qx 'Exec=cyfrolia --teacher' "$root/usr/share/applications/org.example.cyfrolia.teacher.desktop" ||
    fail "the teacher's entry does not open the teacher's view"

useradd --no-create-home --home-dir "$root/home" --no-user-group --shell /bin/bash "$pupil"
useradd --no-create-home --home-dir "$root/home2" --no-user-group --shell /bin/bash "$other"
useradd --no-create-home --home-dir "$root/home3" --no-user-group --groups cyfrolia --shell /bin/bash "$teacher"
mkdir -m 700 "$root/home" "$root/home2" "$root/home3"
chown "$pupil" "$root/home"
chown "$other" "$root/home2"
chown "$teacher" "$root/home3"
as() {
    local user=$1
    shift
    setpriv --reuid "$user" --regid "$(id -g "$user")" --init-groups env -i PATH=/usr/bin:/bin "$@"
}
configure() { DPKG_ROOT="$root" DPKG_MAINTSCRIPT_PACKAGE="" sh "$maintainer_scripts/cyfrolia.postinst" configure "$1"; }

# The 1.0-1 layout as pupils left it: everything anyone's; a save's lock and temporary file; a
# link, a FIFO, a 0666 file and a 0777 folder at the program's own names; ACLs a pupil set; a
# quarantine of the pupil's own; a 1 TB class file; and a pupil still holding class IV open for
# writing, and holding the lock it made for it.
chmod 0777 "$d"
rm -rf "$d"/.cyfrolia*
printf 'Ala Nowak. Ocena: 5. Dnia: 2007-02-08\r\n' >"$d/wyniki_kl_VI.txt"
printf 'Ola Lis. Ocena: 6. Dnia: 2007-02-08\n' >"$d/wyniki_kl_IV.txt"
printf 'Ela Kot. Ocena: 4. Dnia: 2007-02-08\r\n' >"$d/wyniki_kl_I.txt"
chown "$pupil" "$d"/wyniki_kl_{I,IV,VI}.txt
chmod 0666 "$d"/wyniki_kl_*.txt
printf '4242\nhost\n' >"$d/wyniki_kl_VI.txt.lock"
printf 'half' >"$d/wyniki_kl_VI.txt.Ab3dE9"
echo "a pupil's notes" >"$root/home/notes"
chown "$pupil" "$root/home/notes"
rm "$d/wyniki_kl_II.txt"
ln -s "$root/home/notes" "$d/wyniki_kl_II.txt"
mkfifo "$d/wyniki_kl_V.txt.lock"
truncate -s 1T "$d/wyniki_kl_V.txt"
as "$pupil" sh -c '
    cd "$1"
    printf x >.cyfrolia-nowy.wyniki_kl_I.txt && chmod 0666 .cyfrolia-nowy.wyniki_kl_I.txt
    ln -s "$2" .cyfrolia-nowy.wyniki_kl_II.txt
    mkdir -m 0777 .cyfrolia-nowy.wyniki_kl_III.txt
    mkfifo .cyfrolia-nowy.wyniki_kl_V.txt
    mkdir -m 0777 kwarantanna && printf mine >kwarantanna/loot
    : >.cyfrolia-blokada.wyniki_kl_IV.txt
    setfacl -m "u:$3:rw" wyniki_kl_VI.txt .cyfrolia-nowy.wyniki_kl_I.txt
' _ "$d" "$root/home" "$other"
signals="$root/signals"
mkdir -m 0777 "$signals"
(exec setpriv --reuid "$pupil" --regid "$(id -g "$pupil")" --init-groups env -i /usr/bin/python3 - "$d" "$signals" <<'PYEOF'
import fcntl, os, sys, time
folder, signals = sys.argv[1:]
held = os.open(os.path.join(folder, "wyniki_kl_IV.txt"), os.O_WRONLY | os.O_APPEND)
lock = os.open(os.path.join(folder, ".cyfrolia-blokada.wyniki_kl_IV.txt"), os.O_RDWR)
fcntl.lockf(lock, fcntl.LOCK_EX)
open(os.path.join(signals, "holding"), "w").close()
while not os.path.exists(os.path.join(signals, "write")):
    time.sleep(0.02)
os.write(held, b"Zly Wpis. Ocena: 6. Dnia: x\r\n")
open(os.path.join(signals, "written"), "w").close()
while True:
    time.sleep(1)
PYEOF
) &
holder=$!
while [[ ! -e "$signals/holding" ]]; do
    kill -0 "$holder" || fail "the pupil's holder ended"
    sleep 0.02
done
inode() { stat -c %i "$1"; }
before_inodes="$(inode "$d/wyniki_kl_IV.txt") $(inode "$d/wyniki_kl_VI.txt")"
cp -a "$d/wyniki_kl_VI.txt" "$d/wyniki_kl_IV.txt" "$d/wyniki_kl_I.txt" "$root/"
said=$(configure 1.0-1 2>&1) || fail "the upgrade from 1.0-1 failed: $said"
for k in I IV VI; do
    cmp "$d/wyniki_kl_$k.txt" "$root/wyniki_kl_$k.txt" || fail "the upgrade changed class $k"
done
[[ "$before_inodes" != *"$(inode "$d/wyniki_kl_IV.txt")"* && "$before_inodes" != *"$(inode "$d/wyniki_kl_VI.txt")"* ]] ||
    fail "a kept class file is still the file it was"
[[ -z "$(getfacl --skip-base "$d"/wyniki_kl_*.txt "$d"/.cyfrolia* 2>/dev/null)" ]] || fail "an ACL survived the upgrade"
[[ "$(modes "$d" "$d"/wyniki_kl_*.txt | sort -u)" == $'2775 root:cyfrolia\n664 cyfrolia:cyfrolia' ]] ||
    fail "after the upgrade: $(modes "$d" "$d"/wyniki_kl_*.txt)"
[[ -f "$d/wyniki_kl_II.txt" && ! -L "$d/wyniki_kl_II.txt" ]] || fail "the planted link still stands"
[[ ! -s "$d/wyniki_kl_V.txt" ]] || fail "the 1 TB class file is still class V"
expect_modes "$d/kwarantanna" "700 root:root"
set_aside=$(cd "$d/kwarantanna" && ls -A | sed 's/^kwarantanna\.[A-Za-z0-9]*$/kwarantanna.*/' | sort | tr '\n' ' ')
[[ "$set_aside" == ".cyfrolia-blokada.wyniki_kl_IV.txt .cyfrolia-nowy.wyniki_kl_I.txt .cyfrolia-nowy.wyniki_kl_II.txt .cyfrolia-nowy.wyniki_kl_III.txt .cyfrolia-nowy.wyniki_kl_V.txt kwarantanna.* wyniki_kl_II.txt wyniki_kl_V.txt wyniki_kl_V.txt.lock wyniki_kl_VI.txt.Ab3dE9 wyniki_kl_VI.txt.lock " ]] ||
    fail "the quarantine holds: $set_aside"
for reported in .cyfrolia-nowy.wyniki_kl_III.txt "wyniki_kl_V.txt into $d/kwarantanna (larger than" \
    "kwarantanna.* into" "wyniki_kl_II.txt into"; do
    # shellcheck disable=SC2053
    [[ "$said" == *${reported//\*/*}* ]] || fail "the upgrade did not report $reported: $said"
done
expect_modes "$(echo "$d"/kwarantanna/kwarantanna.*)" "700 root:root"
[[ "$(cat "$root/home/notes")" == "a pupil's notes" ]] || fail "the upgrade changed what a link led to"
# What the pupil kept open reaches nothing any more, and their lock holds no class.
touch "$signals/write"
while [[ ! -e "$signals/written" ]]; do
    kill -0 "$holder" || fail "the pupil's holder ended"
    sleep 0.02
done
cmp "$d/wyniki_kl_IV.txt" "$root/wyniki_kl_IV.txt" || fail "a descriptor from before the upgrade wrote into class IV"
/usr/bin/python3 -c 'import fcntl, os, sys; fcntl.lockf(os.open(sys.argv[1], os.O_RDWR), fcntl.LOCK_EX | fcntl.LOCK_NB)' \
    "$d/.cyfrolia-blokada.wyniki_kl_IV.txt" || fail "a lock taken before the upgrade still holds class IV"
kill "$holder"
wait "$holder" || true
holder=""
# By path the pupil changes nothing any more, in the folder or in the quarantine.
for f in wyniki_kl_I.txt wyniki_kl_VI.txt kwarantanna/kwarantanna.*/loot; do
    # shellcheck disable=SC2086
    as "$pupil" sh -c 'echo x >>"$1"' _ "$d"/$f 2>/dev/null && fail "the pupil appended to $f after the upgrade"
done
rm -rf "$d/kwarantanna"
: >"$d/wyniki_kl_I.txt" # the desktop session saves into an empty class I

# The 1.0-2 layout: root's and the group's files, one lock for all classes, the spares holding
# old text, a teacher's copy. The program's own old entries go; the copy goes into quarantine.
chown root:cyfrolia "$d" "$d"/wyniki_kl_*.txt
chmod 2775 "$d"
rm -f "$d"/.cyfrolia-blokada.* && rm -rf "$d/.cyfrolia-zapisy"
for k in I II III IV V VI; do
    printf 'Stary Tekst. Ocena: 1. Dnia: x\r\n' >"$d/.cyfrolia-nowy.wyniki_kl_$k.txt"
done
: >"$d/.cyfrolia.lock"
chown root:cyfrolia "$d"/.cyfrolia*
chmod 0660 "$d/.cyfrolia.lock"
printf 'kopia\r\n' >"$d/wyniki_kl_I.txt.kopia"
# 1.0-2's own quarantine, made 0700 inside the folder: the folder's group and set-group-id bit.
mkdir "$d/kwarantanna" && chmod 0700 "$d/kwarantanna" && printf stare >"$d/kwarantanna/stare"
cp -a "$d/wyniki_kl_VI.txt" "$root/"
said=$(configure 1.0-2 2>&1) || fail "the upgrade from 1.0-2 failed: $said"
expect_modes "$d/kwarantanna" "700 root:root"
[[ "$(cat "$d/kwarantanna/stare")" == stare ]] || fail "the upgrade from 1.0-2 moved its own quarantine"
cmp "$d/wyniki_kl_VI.txt" "$root/wyniki_kl_VI.txt" || fail "the upgrade from 1.0-2 changed class VI"
entries=$(cd "$d" && ls -A | tr '\n' ' ')
[[ "$entries" == ".cyfrolia-blokada.wyniki_kl_I.txt .cyfrolia-blokada.wyniki_kl_II.txt .cyfrolia-blokada.wyniki_kl_III.txt .cyfrolia-blokada.wyniki_kl_IV.txt .cyfrolia-blokada.wyniki_kl_V.txt .cyfrolia-blokada.wyniki_kl_VI.txt .cyfrolia-zapisy kwarantanna wyniki_kl_I.txt wyniki_kl_II.txt wyniki_kl_III.txt wyniki_kl_IV.txt wyniki_kl_V.txt wyniki_kl_VI.txt " ]] ||
    fail "after the upgrade from 1.0-2 the folder holds: $entries"
[[ "$said" == "cyfrolia: moved $d/wyniki_kl_I.txt.kopia into $d/kwarantanna (not a class results file)" ]] ||
    fail "the upgrade from 1.0-2 said: $said"
# Configuring again finds nothing to move.
said=$(configure 1.0-3 2>&1) || fail "configuring again failed: $said"
[[ -z "$said" ]] || fail "configuring again said: $said"
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
' _ "$root" "$data" "$pupil" "$other" "$teacher"

[[ "$(cat "$root/rootfile")" == "root's" ]] || fail "a save followed root's link"
[[ "$(cat "$d/wyniki_kl_I.txt.backup")" == $'kopia\r' ]] || fail "the teacher's copy changed"
leftovers=$(cd "$d" && ls -A | grep -Ev '^(wyniki_kl_I*V*I*\.txt|\.cyfrolia-blokada\.wyniki_kl_I*V*I*\.txt|\.cyfrolia-zapisy|wyniki_kl_I\.txt\.backup)$' || true)
[[ -z "$leftovers" ]] || fail "left in the data folder: $leftovers"

# A purge deletes the grades, says so, and keeps what is not the program's.
said=$(DPKG_ROOT="$root" sh "$maintainer_scripts/cyfrolia.postrm" purge 2>&1)
[[ "$said" == *"deleting the saved grades"* && "$said" == *"Kept"* ]] || fail "the purge said: $said"
[[ "$(cd "$d" && ls -A)" == "wyniki_kl_I.txt.backup" ]] || fail "the purge left: $(ls -A "$d")"
echo "PASS: installed_pupil.sh"
