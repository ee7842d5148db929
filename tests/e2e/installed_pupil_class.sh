#!/usr/bin/env bash
# Run by installed_pupil.sh as root, with the scratch data folder mounted in place: two ordinary
# users save through the installed helper at once, killed halfway, and from two host names; then
# the first one's desktop session (installed_pupil_session.sh) saves while root holds the lock.
# Usage: installed_pupil_class.sh <install root> <data folder> <pupil> <other pupil>
set -euo pipefail
root=$1
data=$2
pupil=$3
other=$4
helper="$root/usr/lib/cyfrolia/cyfrolia-zapis"
PY=/usr/bin/python3

fail() { echo "FAIL: $*"; exit 1; }
# A lock holder left waiting goes with the script.
trap 'kill $(jobs -p) 2>/dev/null || true' EXIT
# save <user> <class> <line> [command before the helper]: the helper's report on standard output.
save() {
    printf '%s' "$3" | runuser -u "$1" -- env -i PATH=/usr/bin:/bin ${4:-} "$helper" "$2"
}
# hold_lock <request file> <held file> <release file>: takes the lock once the request file is
# there, says so in the held file, and lets go once the release file is there. Run in the
# background, the job is the holder itself, so that a failing script ends it.
hold_lock() {
    exec "$PY" - "$data/.cyfrolia.lock" "$@" <<'PYEOF'
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
# Whether a user's helper is waiting for the lock (between two tries).
helper_waits() {
    local pid
    pid=$(pgrep -u "$1" -x cyfrolia-zapis) && grep -q nanosleep "/proc/$pid/wchan"
}
poll() {
    local deadline=$((SECONDS + 20))
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

# Two pupils saving into one class at once, round after round: every line is kept.
pids=()
for who in 1 2; do
    user=$pupil
    [[ $who == 2 ]] && user=$other
    (for round in $(seq 1 25); do save "$user" IV "P$who Runda$round. Ocena: 3. Dnia: x" >/dev/null; done) &
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

# Killed at any moment, a save leaves the old file or the new one. The class file is large so
# that the kills land while it is read, written and swapped as well as before.
"$PY" -c 'import sys; sys.stdout.buffer.write(b"Ola Lis. Ocena: 4. Dnia: x\r\n" * 100000)' >"$data/wyniki_kl_V.txt"
base=$(stat -c %s "$data/wyniki_kl_V.txt")
for i in $(seq 1 60); do
    save "$pupil" V "Kill Test. Ocena: 1. Dnia: x" "timeout -s KILL 0.0$((RANDOM % 60 + 10))" >/dev/null 2>&1 || true
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
[[ -z "$(ls -A "$data" | grep -F .cyfrolia-stary)" ]] || fail "a killed save left its old file"

# The lock holds between two computers: root holds it under one host name, the other pupil's
# save waits for it under another, and goes through once it is let go.
signals=$(mktemp -d)
export -f hold_lock
export data PY
unshare --uts bash -c 'hostname pc-a && hold_lock "$1/request" "$1/held" "$1/release"' _ "$signals" &
holder=$!
touch "$signals/request"
poll test -e "$signals/held"
before=$(stat -c %s "$data/wyniki_kl_II.txt")
unshare --uts bash -c 'hostname pc-b && printf %s "$3" | runuser -u "$1" -- env -i "$2" II' \
    _ "$other" "$helper" "Ela Lis. Ocena: 2. Dnia: x" >"$signals/out" &
saver=$!
poll helper_waits "$other"
[[ "$(stat -c %s "$data/wyniki_kl_II.txt")" == "$before" ]] || fail "a save went past a lock held on pc-a"
touch "$signals/release"
wait "$holder"
wait "$saver" || fail "the save on pc-b failed: $(cat "$signals/out")"
grep -q "^Ela Lis. Ocena: 2. Dnia: x"$'\r'"$" "$data/wyniki_kl_II.txt" || fail "the save on pc-b is not in class II"
rm -rf "$signals"

# The desktop session; root holds the lock at the pupil's request.
home="$root/home"
hold_lock "$home/hold-request" "$home/held" "$home/release" &
holder=$!
runuser -u "$pupil" -- env -i PATH=/usr/bin:/bin LANG=C.UTF-8 HOME="$home" \
    bash "$root/e2e/installed_pupil_session.sh" "$root" "$data"
wait "$holder"
