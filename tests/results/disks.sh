#!/usr/bin/env bash
# A copy of the program, with no helper beside it, saving on the disks a school has, each the real
# file system, as ordinary users:
#  - a folder of the user's own on tmpfs, on the disk this test runs from, and on an exFAT stick
#    (exfat-fuse on a loop device: the kernel has no exFAT driver here). Two saves keep every line
#    and leave nothing behind; a class file emptied by hand gets no old grades back; a read-only
#    class file is never changed, and the message gives the system's reason (not on exFAT,
#    which keeps no modes: every file there is as the mount says);
#  - a root-owned folder with mode 0777 and root's 0666 class files (the 1.0-1 layout): two users
#    save in turn, the lock the first one made serving the second; a class file of root's the
#    users may not write is never changed.
# Needs root (mounts, a loop device, users); skipped otherwise.
# Usage: disks.sh <save_line>
set -euo pipefail

fail() { echo "FAIL: $*"; exit 1; }

as() {
    local user=$1
    shift
    setpriv --reuid "$user" --regid "$(id -g "$user")" --init-groups env -i PATH=/usr/bin:/bin LC_ALL=C "$@"
}
# save <user> <folder> <class> <line>: what the save said, exit status 1 when it failed.
save() { as "$1" "$scratch/save_line" "$2/" "$3" "$4"; }
expect() { [[ "$(cat "$1")" == "$2" ]] || fail "$3: ${1##*/} holds $(od -An -c "$1" | tr -s ' ')"; }

# own_folder <folder> <what it is> <whether files there keep modes>: the first user's own.
own_folder() {
    local folder=$1 what=$2 modes=$3 out left
    as "$first" sh -c 'cd "$1" && for k in I II III; do
        printf "Stary Wpis. Ocena: 4. Dnia: 2007-02-08\r\n" >wyniki_kl_$k.txt
    done' _ "$folder"
    for n in 1 2; do
        out=$(save "$first" "$folder" I "Nowy Wpis$n. Ocena: 5. Dnia: x") || fail "$what: save $n failed: $out"
    done
    expect "$folder/wyniki_kl_I.txt" $'Stary Wpis. Ocena: 4. Dnia: 2007-02-08\r\nNowy Wpis1. Ocena: 5. Dnia: x\r\nNowy Wpis2. Ocena: 5. Dnia: x\r' "$what"
    as "$first" truncate -s 0 "$folder/wyniki_kl_II.txt"
    out=$(save "$first" "$folder" II "Po Czyszczeniu. Ocena: 3. Dnia: x") || fail "$what: the save after emptying failed: $out"
    expect "$folder/wyniki_kl_II.txt" $'Po Czyszczeniu. Ocena: 3. Dnia: x\r' "$what, emptied by hand"
    if [[ $modes == yes ]]; then
        as "$first" chmod 0444 "$folder/wyniki_kl_III.txt"
        for n in 1 2; do
            out=$(save "$first" "$folder" III "Tylko Odczyt. Ocena: 5. Dnia: x") && fail "$what: a read-only class file was saved into"
            [[ "$out" == "Cannot create file \"$folder/wyniki_kl_III.txt\". Permission denied" ]] ||
                fail "$what: a read-only class file: $out"
        done
        expect "$folder/wyniki_kl_III.txt" $'Stary Wpis. Ocena: 4. Dnia: 2007-02-08\r' "$what, read-only"
    fi
    left=$(ls -A "$folder" | grep -Ev '^(wyniki_kl_(I|II|III)\.txt|\.cyfrolia-blokada\.wyniki_kl_(I|II|III)\.txt)$' || true)
    [[ -z "$left" ]] || fail "$what: left behind: $left"
    echo "ok: a folder of the user's own on $what"
}

# An exFAT stick, the first user's as the mount gives it.
exfat_stick() {
    local stick="$scratch/stick" daemon deadline=$((SECONDS + 20))
    mkdir "$stick"
    mount.exfat-fuse -d -o "uid=$(id -u "$first"),gid=$(id -g "$first"),umask=022" "$loop" "$stick" \
        >"$scratch/exfat.log" 2>&1 &
    daemon=$!
    until mountpoint -q "$stick"; do
        ((SECONDS < deadline)) && kill -0 "$daemon" 2>/dev/null || fail "exFAT did not mount: $(cat "$scratch/exfat.log")"
        sleep 0.05
    done
    own_folder "$stick" exFAT no
    umount "$stick"
    wait "$daemon"
}

# The 1.0-1 layout on tmpfs: root's folder and files, open to all.
shared_folder() {
    local shared="$scratch/tmpfs/shared" out user
    mkdir -m 0777 "$shared"
    for k in I IV; do printf 'Stary Wpis. Ocena: 4. Dnia: 2007-02-08\r\n' >"$shared/wyniki_kl_$k.txt"; done
    chmod 0666 "$shared/wyniki_kl_I.txt"
    chmod 0644 "$shared/wyniki_kl_IV.txt"
    for user in "$first" "$second"; do
        out=$(save "$user" "$shared" I "Wpis ${user//-/}. Ocena: 5. Dnia: x") || fail "$user could not save into the shared folder: $out"
    done
    expect "$shared/wyniki_kl_I.txt" $'Stary Wpis. Ocena: 4. Dnia: 2007-02-08\r\nWpis '"${first//-/}"$'. Ocena: 5. Dnia: x\r\nWpis '"${second//-/}"$'. Ocena: 5. Dnia: x\r' "a root-owned 0777 folder"
    [[ "$(stat -c '%U %a' "$shared/.cyfrolia-blokada.wyniki_kl_I.txt")" == "$first 666" ]] ||
        fail "the lock is $(stat -c '%U %a' "$shared/.cyfrolia-blokada.wyniki_kl_I.txt")"
    out=$(save "$first" "$shared" IV "Cudzy Plik. Ocena: 5. Dnia: x") && fail "a class file of root's was saved into"
    [[ "$out" == "Cannot create file \"$shared/wyniki_kl_IV.txt\". Permission denied" ]] || fail "a class file of root's: $out"
    expect "$shared/wyniki_kl_IV.txt" $'Stary Wpis. Ocena: 4. Dnia: 2007-02-08\r' "root's class file"
    echo "ok: a root-owned 0777 folder on tmpfs"
}

# Inside a mount namespace of its own: whatever is mounted goes with it.
inside() {
    scratch=$1 first=$2 second=$3 loop=$4
    mkdir "$scratch/tmpfs" "$scratch/disk"
    mount -t tmpfs -o mode=0755 cyfrolia-disks "$scratch/tmpfs"
    mkdir "$scratch/tmpfs/own"
    chown "$first" "$scratch/tmpfs/own" "$scratch/disk"
    own_folder "$scratch/tmpfs/own" tmpfs yes
    own_folder "$scratch/disk" "$(findmnt -n -o FSTYPE --target "$scratch/disk")" yes
    exfat_stick
    shared_folder
    umount "$scratch/tmpfs"
}

if [[ ${1:-} == --inside ]]; then
    shift
    inside "$@"
    exit
fi

if [[ $(id -u) != 0 ]]; then
    echo "SKIP: mounting and adding users need root"
    exit 77
fi
if ! unshare --mount true 2>/dev/null; then
    echo "SKIP: no mount namespaces here"
    exit 77
fi
scratch=$(mktemp -d /tmp/cyfrolia-disks.XXXXXX)
first="cyfrolia-d1-$$"
second="cyfrolia-d2-$$"
loop=""
cleanup() {
    local rc=$?
    [[ -z "$loop" ]] || losetup --detach "$loop" || true
    for user in "$first" "$second"; do userdel "$user" 2>/dev/null || true; done
    rm -rf "$scratch"
    exit "$rc"
}
trap cleanup EXIT
chmod 755 "$scratch"
useradd --no-create-home --no-user-group "$first"
useradd --no-create-home --no-user-group "$second"
install -m 0755 "$1" "$scratch/save_line"
truncate -s 32M "$scratch/stick.img"
mkfs.exfat "$scratch/stick.img" >/dev/null
loop=$(losetup --find --show "$scratch/stick.img")
unshare --mount --propagation private bash "$0" --inside "$scratch" "$first" "$second" "$loop"
echo "PASS: disks.sh"
