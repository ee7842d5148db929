#!/usr/bin/env bash
# Run by installed_pupil_class.sh as an ordinary user: the installed program, started through its
# launcher, finishes an addition series, saves the grade while root holds the lock (the window
# answers meanwhile and shows the save under way), shows it in the grades viewer and in the teacher's export and window; the
# user can't change the program's folder or files, nor anything in the data folder.
# Usage: installed_pupil_session.sh <install root> <data folder>
source "$(dirname "$0")/lib.sh"
root=$1
data=$2
e2e_setup_installed "$root/usr/bin/cyfrolia"
program="$root/usr/lib/cyfrolia"
[[ "$E2E_PROGRAM_DIR" == "$program" ]] || e2e_fail "the launcher leads to $E2E_PROGRAM_DIR"

e2e_start_app "$HOME"
e2e_wrong_addition_series
e2e_click "$exercise" 317 299         # the save picture button of the summary panel
save=$(e2e_wait_window "Zapisz swój wynik:")
e2e_wait_atspi "imie" focused
e2e_type "Łucja"
e2e_key Tab
e2e_type "Żółć"
# Another save holds the lock: the helper waits for it, and the window answers meanwhile, showing
# the save under way: "Zapisz" off, the names read-only.
touch "$HOME/hold-request"
e2e_poll 20 test -e "$HOME/held" || e2e_fail "root did not take the lock"
e2e_click "$save" 148 212             # "Zapisz"
e2e_poll 20 pgrep -P "$APP_PID" -x cyfrolia-zapis || e2e_fail "the helper did not start"
"$PY" - "$E2E_DIR" <<'PYEOF' || e2e_fail "the save window does not show the save under way"
import sys
sys.path.insert(0, sys.argv[1])
import atspi, pyatspi
assert not atspi.find(atspi.application(), "Zapisz").getState().contains(pyatspi.STATE_ENABLED)
PYEOF
e2e_click "$save" 196 42              # the first name, to type into it
e2e_type "x"
[[ "$(e2e_atspi text imie)" == "Łucja" ]] || e2e_fail "the first name changed while the save waited"
[[ ! -s "$data/wyniki_kl_I.txt" ]] || e2e_fail "the save went past the lock"
touch "$HOME/release"
e2e_wait_gone "Zapisz swój wynik:"
# No click on the calendar: today's date, in the C locale's short format.
"$PY" - "$data/wyniki_kl_I.txt" <<'PYEOF' || e2e_fail "class I holds $(od -c "$data/wyniki_kl_I.txt" | head -3)"
import datetime, sys
data = open(sys.argv[1], "rb").read()
today = datetime.date.today()
expected = "Łucja Żółć. Ocena: 0. Dnia: %d %s %d\r\n" % (today.day, today.strftime("%b"), today.year)
assert data == expected.encode("cp1250"), data
PYEOF
e2e_click "$exercise" 318 250         # "Od nowa"
e2e_wait_atspi 50 text licznik
e2e_click "$exercise" 558 306         # WSTECZ
e2e_wait_gone "Dodawanie"

e2e_click "$menu" 207 347             # "Wyniki"
e2e_wait_window "Oceny" >/dev/null
shown=$(e2e_atspi text klasai)
[[ "$shown" == "Łucja Żółć. Ocena: 0. Dnia: "* ]] || e2e_fail "the viewer shows '$shown'"
e2e_screenshot "installed_viewer"

# The teacher's view through the same launcher: the export needs no display and holds the saved
# line with its date read (today's); the window opens on its own.
csv=$(env -u DISPLAY "$root/usr/bin/cyfrolia" --export-csv -) || e2e_fail "the export failed: $csv"
[[ "$csv" == *$'\r\n'"I,Łucja Żółć,0,$(date +%F),Łucja Żółć. Ocena: 0. Dnia: "* ]] ||
    e2e_fail "the export holds '$csv'"
"$root/usr/bin/cyfrolia" --teacher >"$E2E_TMP/teacher.log" 2>&1 &
teacher=$!
e2e_wait_window "Cyfrolia — wyniki klasy" >/dev/null
e2e_screenshot "installed_teacher"
kill "$teacher"

# The saved file is the writer's and the group's, and the name beside the program still a link.
[[ -L "$program/wyniki_kl_I.txt" ]] || e2e_fail "the save replaced the link"
[[ "$(stat -c '%a %U:%G' "$data/wyniki_kl_I.txt")" == "664 cyfrolia:cyfrolia" ]] ||
    e2e_fail "the class file became $(stat -c '%a %U:%G' "$data/wyniki_kl_I.txt")"
# By hand the pupil can read the class files and change nothing in the data folder.
[[ -s "$data/wyniki_kl_I.txt" && -r "$data/wyniki_kl_I.txt" ]] || e2e_fail "the pupil can't read class I"
(echo x >>"$data/wyniki_kl_I.txt") 2>/dev/null && e2e_fail "the pupil appended to class I"
(: >"$data/wyniki_kl_I.txt") 2>/dev/null && e2e_fail "the pupil emptied class I"
rm -f "$data/wyniki_kl_I.txt" 2>/dev/null && e2e_fail "the pupil deleted class I"
mv "$data/wyniki_kl_II.txt" "$data/x" 2>/dev/null && e2e_fail "the pupil renamed class II"
ln -s "$HOME" "$data/link" 2>/dev/null && e2e_fail "the pupil made a link in the data folder"
(: >"$data/.cyfrolia-nowy.wyniki_kl_I.txt") 2>/dev/null && e2e_fail "the pupil made a new file of the save"
(: <"$data/.cyfrolia-blokada.wyniki_kl_I.txt") 2>/dev/null && e2e_fail "the pupil opened a lock file"
ls "$data/.cyfrolia-zapisy" >/dev/null 2>&1 && e2e_fail "the pupil looked into the writer's records"
# Nothing of the program can be changed by the pupil.
for f in "$program" "$program/cyfrolia" "$program/forma.bmp" "$root/usr/bin"; do
    [[ ! -w "$f" ]] || e2e_fail "the pupil may write $f"
done
(: >>"$program/forma.bmp") 2>/dev/null && e2e_fail "the pupil changed forma.bmp"
(: >"$program/extra") 2>/dev/null && e2e_fail "the pupil created a file in the program's folder"
mv "$program/wyniki_kl_II.txt" "$program/taken" 2>/dev/null && e2e_fail "the pupil moved a link"
e2e_pass
