#!/usr/bin/env bash
# Run by installed_pupil.sh as root, with the scratch data folder mounted in place: ordinary users
# save through the installed helper, at once, killed halfway, from two host names; a pupil tries to
# stop it; a teacher edits and replaces class files; root plants a link and a second name. Then the
# first pupil's desktop session (installed_pupil_session.sh) saves while root holds the lock.
# Usage: installed_pupil_class.sh <install root> <data folder> <pupil> <other pupil> <teacher>
set -euo pipefail
root=$1
data=$2
pupil=$3
other=$4
teacher=$5
helper="$root/usr/lib/cyfrolia/cyfrolia-zapis"
PY=/usr/bin/python3
writer=$(id -u cyfrolia)

fail() { echo "FAIL: $*"; exit 1; }
# A lock holder or helper left waiting goes with the script.
trap 'kill $(jobs -p) 2>/dev/null || true' EXIT
# as <user> <command...>: the command as that user, with nothing of root's environment; started
# as "(exec_as ...) &", the job's pid is the command's own.
as() {
    local user=$1
    shift
    setpriv --reuid "$user" --regid "$(id -g "$user")" --init-groups env -i PATH=/usr/bin:/bin "$@"
}
exec_as() {
    local user=$1
    shift
    exec setpriv --reuid "$user" --regid "$(id -g "$user")" --init-groups env -i PATH=/usr/bin:/bin "$@"
}
# save <user> <class> <line>: the helper's report on standard output.
save() { printf '%s' "$3" | as "$1" "$helper" "$2"; }
# The writer lets a user save once in 10 s; the tests that save often forget each save.
forget() { rm -f "$data/.cyfrolia-zapisy/$(id -u "$1")"; }
lock_of() { echo "$data/.cyfrolia-blokada.wyniki_kl_$1.txt"; }
# hold_lock <class> <request file> <held file> <release file>: takes the class's lock once the
# request file is there, says so in the held file, and lets go once the release file is there.
# Run in the background, the job is the holder itself, so that a failing script ends it.
hold_lock() {
    exec "$PY" - "$(lock_of "$1")" "${@:2}" <<'PYEOF'
import fcntl, os, sys, time
lock, request, held, release = sys.argv[1:]
def wait_for(path):
    while not os.path.exists(path):
        time.sleep(0.02)
wait_for(request)
fd = os.open(lock, os.O_RDWR)
fcntl.lockf(fd, fcntl.LOCK_EX)
open(held, "w").close()
wait_for(release)
PYEOF
}
# Whether a helper waits for its lock (between two tries), or for its input.
helper_waits() { grep -q nanosleep "/proc/$1/wchan"; }
helper_reads() { grep -q pipe_read "/proc/$1/wchan"; }
# Whether a helper has dropped its caller's ids (from then on only root and the writer may signal
# it), or has ended already.
became_writer() { ended "$1" || grep -q $'^Uid:\t'"$writer"$'\t' "/proc/$1/status" 2>/dev/null; }
# Whether a child process has ended (a zombie until it is waited for).
ended() { [[ ! -e "/proc/$1/stat" || "$(cut -d' ' -f3 "/proc/$1/stat" 2>/dev/null)" == Z ]]; }
poll() {
    local deadline=$((SECONDS + 30))
    until "$@"; do
        ((SECONDS < deadline)) || fail "waited in vain for: $*"
        sleep 0.02
    done
}

# A link root made in the data folder is refused, not followed, and odd arguments gain nothing.
out=$(save "$pupil" III "Ala Kot. Ocena: 5. Dnia: 8.12.2026") && fail "a save through root's link succeeded"
[[ "$out" == "open -2 $data/wyniki_kl_III.txt" ]] || fail "the helper said '$out' for a link"
for args in "../I" "I II" "VII"; do
    out=$(save "$pupil" "$args" "Ala Kot. Ocena: 5. Dnia: x") && fail "the helper took class '$args'"
    [[ "$out" == "create -3 "* ]] || fail "the helper said '$out' for class '$args'"
done
out=$(save "$pupil" I $'Ala Kot. Ocena: 5. Dnia: x\r\nEla Kot. Ocena: 6. Dnia: x') && fail "the helper took two lines"
# The teacher puts class III right again (the grades viewer and the teacher's window refuse the
# link as well).
rm "$data/wyniki_kl_III.txt"
: >"$data/wyniki_kl_III.txt"

# Once in ten seconds a pupil: a loop of saves adds one line.
before=$(wc -l <"$data/wyniki_kl_VI.txt")
save "$pupil" VI "Szybki Jan. Ocena: 6. Dnia: x" || fail "the first save of a pupil failed"
for i in 1 2 3; do
    out=$(save "$pupil" VI "Szybki Jan. Ocena: 6. Dnia: x") && fail "a pupil saved twice in a row"
    [[ "$out" == "create -5 $data/wyniki_kl_VI.txt" ]] || fail "the helper said '$out' to a second save"
done
[[ $(wc -l <"$data/wyniki_kl_VI.txt") == $((before + 1)) ]] || fail "a loop of saves added more than one line"
save "$other" VI "Inna Ola. Ocena: 5. Dnia: x" || fail "another pupil could not save meanwhile"
forget "$pupil"
forget "$other"

# Two pupils saving into one class at once, round after round: every line is kept.
pids=()
for who in 1 2; do
    user=$pupil
    [[ $who == 2 ]] && user=$other
    (for round in $(seq 1 25); do
        save "$user" IV "P$who Runda$round. Ocena: 3. Dnia: x" >/dev/null
        forget "$user"
    done) &
    pids+=($!)
done
for pid in "${pids[@]}"; do wait "$pid" || fail "a save of two at once failed"; done
"$PY" - "$data/wyniki_kl_IV.txt" <<'PYEOF' || fail "class IV after two pupils: $(head -c 300 "$data/wyniki_kl_IV.txt")"
import sys
lines = open(sys.argv[1], "rb").read().split(b"\r\n")
assert lines[0] == b"Ola Lis. Ocena: 6. Dnia: 2007-02-08" and lines[-1] == b"", lines
expected = sorted(b"P%d Runda%d. Ocena: 3. Dnia: x" % (w, r) for w in (1, 2) for r in range(1, 26))
assert sorted(lines[1:-1]) == expected, lines
PYEOF

# Killed at any moment (by root: no pupil may), a save leaves the old file or the new one. The
# class file is large so that the kills land while it is read, written and renamed as well as
# before.
"$PY" -c 'import sys; sys.stdout.buffer.write(b"Ola Lis. Ocena: 4. Dnia: x\r\n" * 100000)' >"$data/wyniki_kl_V.txt"
base=$(stat -c %s "$data/wyniki_kl_V.txt")
signals=$(mktemp -d)
chmod 755 "$signals"
printf %s "Kill Test. Ocena: 1. Dnia: x" >"$signals/kill"
for i in $(seq 1 60); do
    (exec_as "$pupil" "$helper" V <"$signals/kill" >/dev/null) &
    killer=$!
    sleep "0.00$((RANDOM % 9 + 1))"
    kill -KILL "$killer" 2>/dev/null || true
    wait "$killer" 2>/dev/null || true
    forget "$pupil"
    "$PY" - "$data/wyniki_kl_V.txt" "$base" <<'PYEOF' || fail "a killed save left class V damaged"
import sys
data = open(sys.argv[1], "rb").read()
base = int(sys.argv[2])
line = b"Kill Test. Ocena: 1. Dnia: x\r\n"
assert data[:base] == b"Ola Lis. Ocena: 4. Dnia: x\r\n" * 100000
rest = data[base:]
assert rest == line * (len(rest) // len(line)), rest[-200:]
PYEOF
done
out=$(save "$pupil" V "Kill Test. Ocena: 1. Dnia: x") || fail "the save after the kills failed: $out"
forget "$pupil"
[[ -z "$(ls -A "$data" | grep -F .cyfrolia-nowy)" ]] || fail "a killed save left its new file"

# The lock holds between two computers: root holds it under one host name, the other pupil's
# save waits for it under another, and goes through once it is let go.
export -f hold_lock lock_of
export data PY
unshare --uts bash -c 'hostname pc-a && hold_lock II "$1/request" "$1/held" "$1/release"' _ "$signals" &
holder=$!
touch "$signals/request"
poll test -e "$signals/held"
before=$(stat -c %s "$data/wyniki_kl_II.txt")
printf %s "Ela Lis. Ocena: 2. Dnia: x" >"$signals/line"
unshare --uts bash -c 'hostname pc-b && exec setpriv --reuid "$1" --regid "$(id -g "$1")" --init-groups env -i "$2" II' \
    _ "$other" "$helper" <"$signals/line" >"$signals/out" &
saver=$!
poll helper_waits "$saver"
[[ "$(stat -c %s "$data/wyniki_kl_II.txt")" == "$before" ]] || fail "a save went past a lock held on pc-a"

# Meanwhile the pupil whose save waits can't stop, kill or trace it: it runs as the writer alone,
# in a session of its own, deaf to job control.
status=$(cat "/proc/$saver/status")
[[ "$status" == *$'\nUid:\t'"$writer"$'\t'"$writer"$'\t'"$writer"$'\t'"$writer"$'\n'* ]] ||
    fail "the helper runs as: $(grep Uid <<<"$status")"
ignored=$((16#$(sed -n 's/^SigIgn:\t//p' <<<"$status")))
for signal in 20 21 22; do # SIGTSTP SIGTTIN SIGTTOU
    (((ignored >> (signal - 1)) & 1)) || fail "the helper does not ignore signal $signal"
done
[[ "$(cut -d' ' -f6 "/proc/$saver/stat")" == "$saver" ]] || fail "the helper stayed in its caller's session"
for signal in STOP KILL TERM; do
    as "$other" kill -s "$signal" "$saver" 2>/dev/null && fail "the pupil sent SIG$signal to the helper"
done
as "$other" cat "/proc/$saver/environ" >/dev/null 2>&1 && fail "the pupil read the helper's memory"
[[ "$(cut -d' ' -f3 "/proc/$saver/stat")" != T ]] || fail "the helper is stopped"
touch "$signals/release"
wait "$holder"
wait "$saver" || fail "the save on pc-b failed: $(cat "$signals/out")"
forget "$other"
grep -q "^Ela Lis. Ocena: 2. Dnia: x"$'\r'"$" "$data/wyniki_kl_II.txt" || fail "the save on pc-b is not in class II"

# A pupil sending SIGSTOP to their own save as fast as they can: every save goes through.
before=$(wc -l <"$data/wyniki_kl_II.txt")
for i in $(seq 1 20); do
    (exec_as "$pupil" "$helper" II <"$signals/line" >/dev/null) &
    saver=$!
    poll became_writer "$saver"
    as "$pupil" sh -c 'while [ -e "/proc/$1/stat" ] && [ "$(cut -d" " -f3 "/proc/$1/stat" 2>/dev/null)" != Z ]; do
        kill -STOP "$1" 2>/dev/null && exit 1
    done
    exit 0' _ "$saver" || fail "the pupil stopped the helper"
    wait "$saver" || fail "a save the pupil tried to stop failed"
    forget "$pupil"
done
[[ $(wc -l <"$data/wyniki_kl_II.txt") == $((before + 20)) ]] || fail "saves the pupil tried to stop were lost"

# Whatever happens, the helper ends by itself: one waiting for an input that never ends, and
# frozen by its pupil in a cgroup of their own (a desktop session gives each user one), is gone
# at its time: its alarm's signal ends even a frozen process.
mkfifo "$signals/never"
exec {never}<>"$signals/never"
cgroups=/sys/fs/cgroup
[[ -f "$cgroups/cgroup.controllers" ]] || cgroups=/sys/fs/cgroup/unified
cgroup="$cgroups/cyfrolia-e2e-$$"
if [[ -f "$cgroups/cgroup.controllers" ]] && mkdir "$cgroup" 2>/dev/null; then
    trap 'kill $(jobs -p) 2>/dev/null; wait; rmdir "$cgroup"' EXIT
    chown "$pupil" "$cgroup" "$cgroup/cgroup.procs" "$cgroup/cgroup.freeze"
    (echo "$BASHPID" >"$cgroup/cgroup.procs" && exec_as "$pupil" "$helper" II <"$signals/never" >/dev/null) &
    saver=$!
    poll helper_reads "$saver"
    as "$pupil" sh -c 'echo 1 >"$1/cgroup.freeze"' _ "$cgroup"
    poll grep -qx "frozen 1" "$cgroup/cgroup.events"
else
    echo "no cgroup to freeze the helper in here: it waits for its input unfrozen"
    (exec_as "$pupil" "$helper" II <"$signals/never" >/dev/null) &
    saver=$!
fi
poll ended "$saver"
wait "$saver" 2>/dev/null && fail "the helper ended well with no input"
exec {never}>&-
if [[ -d "$cgroup" ]]; then
    rmdir "$cgroup"
    trap 'kill $(jobs -p) 2>/dev/null || true' EXIT
fi
rm -rf "$signals"

# A teacher edits the class files with an editor that writes a new file and renames it over the
# old one (their own then, 0644), or removes one and makes it again, and removes the program's
# lock files: the pupils' saves go on, and the class files become the writer's and the group's.
as "$teacher" sh -c 'umask 022 && cd "$1" &&
    printf "Poprawiony Wpis. Ocena: 4. Dnia: x\r\n" >.wyniki_kl_IV.txt.swp && mv .wyniki_kl_IV.txt.swp wyniki_kl_IV.txt &&
    rm wyniki_kl_V.txt && printf "Nowa Klasa. Ocena: 3. Dnia: x\r\n" >wyniki_kl_V.txt &&
    rm .cyfrolia-blokada.wyniki_kl_IV.txt .cyfrolia-blokada.wyniki_kl_V.txt' _ "$data" ||
    fail "the teacher could not edit the class files"
for round in 1 2; do
    for k in IV V; do
        out=$(save "$pupil" "$k" "Po Edycji$round. Ocena: 5. Dnia: x") || fail "a save after the teacher's edit failed: $out"
        forget "$pupil"
    done
done
[[ "$(cat "$data/wyniki_kl_IV.txt")" == $'Poprawiony Wpis. Ocena: 4. Dnia: x\r\nPo Edycji1. Ocena: 5. Dnia: x\r\nPo Edycji2. Ocena: 5. Dnia: x\r' ]] ||
    fail "class IV after the teacher's edit holds: $(cat "$data/wyniki_kl_IV.txt")"
for k in IV V; do
    [[ "$(stat -c '%a %U:%G' "$data/wyniki_kl_$k.txt")" == "664 cyfrolia:cyfrolia" ]] ||
        fail "class $k is $(stat -c '%a %U:%G' "$data/wyniki_kl_$k.txt") after the saves"
done
# A file the teacher made read-only is never changed, and the system says why.
chmod 0444 "$data/wyniki_kl_V.txt"
cp "$data/wyniki_kl_V.txt" "$root/v-before"
out=$(save "$pupil" V "Tylko Odczyt. Ocena: 5. Dnia: x") && fail "a save changed a read-only class file"
[[ "$out" == "create 13 $data/wyniki_kl_V.txt" ]] || fail "the helper said '$out' for a read-only class file"
cmp "$data/wyniki_kl_V.txt" "$root/v-before" || fail "the read-only class file changed"
chmod 0664 "$data/wyniki_kl_V.txt"

# A second name root gave a teacher's file, one only the group may read, in the data folder:
# nothing of it is read into a class file everyone reads.
printf 'sekret nauczyciela\n' >"$root/home3/private"
chown "$teacher:cyfrolia" "$root/home3/private"
chmod 0640 "$root/home3/private"
rm "$data/wyniki_kl_VI.txt"
ln "$root/home3/private" "$root$data/wyniki_kl_VI.txt" # by the folder's own mount: no link crosses mounts
out=$(save "$other" VI "Ela Lis. Ocena: 2. Dnia: x") && fail "a save read a file of two names"
[[ "$out" == "open -2 $data/wyniki_kl_VI.txt" ]] || fail "the helper said '$out' for a second name"
forget "$other"
grep -rl "sekret" "$data" | grep -vx "$data/wyniki_kl_VI.txt" && fail "the secret got into another file"
rm "$data/wyniki_kl_VI.txt"
printf 'Ala Nowak. Ocena: 5. Dnia: 2007-02-08\r\n' >"$data/wyniki_kl_VI.txt"
chown cyfrolia:cyfrolia "$data/wyniki_kl_VI.txt"

# The desktop session; root holds class I's lock at the pupil's request.
forget "$pupil"
home="$root/home"
hold_lock I "$home/hold-request" "$home/held" "$home/release" &
holder=$!
runuser -u "$pupil" -- env -i PATH=/usr/bin:/bin LANG=C.UTF-8 HOME="$home" \
    bash "$root/e2e/installed_pupil_session.sh" "$root" "$data"
wait "$holder"
