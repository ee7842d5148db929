#!/usr/bin/env bash
# The installed copy, used by an ordinary pupil. Installs with the package's own rules under a
# scratch root (cmake --install with DESTDIR, which runs the package's postinst there), adds an
# unprivileged user, and runs installed_pupil_session.sh as that user with the scratch data folder
# mounted where the package's links lead. Needs root; cleans up the user, the root and the mount.
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

root=$(mktemp -d /tmp/cyfrolia-root.XXXXXX)
user="cyfrolia-e2e-$$"
made_mountpoint=""
cleanup() {
    local rc=$?
    pkill -KILL -u "$user" 2>/dev/null || true
    userdel "$user" 2>/dev/null || true
    rm -rf "$root"
    [[ -z "$made_mountpoint" ]] || rmdir "$data" 2>/dev/null || true
    exit "$rc"
}
trap cleanup EXIT

chmod 755 "$root"
DESTDIR="$root" cmake --install "$build" --prefix /usr
program="$root/usr/lib/cyfrolia"
[[ -L "$root/usr/bin/cyfrolia" ]] || { echo "FAIL: no launcher in bin/"; exit 1; }
[[ "$(stat -c %a "$root$data")" == 777 ]] || { echo "FAIL: data folder is $(stat -c %a "$root$data")"; exit 1; }
for k in I II III IV V VI; do
    [[ "$(readlink "$program/wyniki_kl_$k.txt")" == "$data/wyniki_kl_$k.txt" ]] ||
        { echo "FAIL: wyniki_kl_$k.txt is no link into $data"; exit 1; }
    [[ -f "$root$data/wyniki_kl_$k.txt" && ! -s "$root$data/wyniki_kl_$k.txt" ]] ||
        { echo "FAIL: $data/wyniki_kl_$k.txt is not there empty"; exit 1; }
done
# Two menu entries: the children's program and the teacher's view of the class results.
for entry in org.example.cyfrolia org.example.cyfrolia.teacher; do
    desktop-file-validate "$root/usr/share/applications/$entry.desktop" || { echo "FAIL: $entry.desktop"; exit 1; }
done
grep -qx 'Exec=cyfrolia --teacher' "$root/usr/share/applications/org.example.cyfrolia.teacher.desktop" ||
    { echo "FAIL: the teacher's entry does not open the teacher's view"; exit 1; }
# Running the postinst again, as an upgrade does, leaves a saved grade alone.
printf 'Ala Nowak. Ocena: 5. Dnia: 2007-02-08\r\n' >"$root$data/wyniki_kl_VI.txt"
DPKG_ROOT="$root" sh "$build/packaging/postinst" configure
[[ -s "$root$data/wyniki_kl_VI.txt" ]] || { echo "FAIL: the postinst emptied a class file"; exit 1; }

# The pupil, in group "users", with a home inside the scratch root.
useradd --no-create-home --home-dir "$root/home" --no-user-group --shell /bin/bash "$user"
mkdir -m 700 "$root/home"
chown "$user" "$root/home"
cp -r "$here" "$root/e2e"
chmod -R a+rX "$root/e2e"
if [[ ! -e "$data" ]]; then
    mkdir -p "$data"
    made_mountpoint=1
fi
unshare --mount --propagation private bash -c '
    mount --bind "$1$2" "$2"
    exec runuser -u "$3" -- env -i PATH=/usr/bin:/bin LANG=C.UTF-8 HOME="$1/home" bash "$1/e2e/installed_pupil_session.sh" "$1" "$2"
' _ "$root" "$data" "$user"

# What the pupil saved lies in the data folder, and nothing else was left there.
line=$(iconv -f CP1250 -t UTF-8 "$root$data/wyniki_kl_I.txt")
[[ "$line" == "Łucja Żółć. Ocena: 0. Dnia: "* ]] || { echo "FAIL: class I holds '$line'"; exit 1; }
leftovers=$(ls "$root$data" | grep -v '^wyniki_kl_I*V*I*\.txt$' || true)
[[ -z "$leftovers" ]] || { echo "FAIL: left in the data folder: $leftovers"; exit 1; }
echo "PASS: installed_pupil.sh"
