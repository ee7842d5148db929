#!/usr/bin/env bash
# The teacher's window with the keyboard alone, as a Polish teacher uses it: a search typed without
# Polish letters, Down into the table, sorting by the menu key's Shift+F10 and by the column
# titles, a pupil opened with Enter, the classes changed both ways, the printout saved as a PDF
# and the grades exported as a spreadsheet; what a screen reader is told on the way, the window's
# class against its desktop entry, and its place on the screen.
source "$(dirname "$0")/lib.sh"
e2e_setup "$1"
export LANG=pl_PL.UTF-8 LC_ALL=pl_PL.UTF-8
cp "$(dirname "$(readlink -f "$1")")/cyfrolia-nauczyciel" "$E2E_PROGRAM_DIR/"
export HOME="$E2E_TMP/home"
mkdir -p "$HOME"

# The teacher's window through the accessibility bus.
E2E_ATSPI=teacher_atspi.py
last_focus() { [[ $(tail -n 1 "$E2E_TMP/focus.log") == "$1" ]]; }
t_wait_focus() { e2e_poll 20 last_focus "$1" || e2e_fail "the focus went to '$(tail -n 1 "$E2E_TMP/focus.log")', not '$1'"; }
sole_focus() { e2e_atspi sole-focus || e2e_fail "more than one object is focused ($1)"; }
saved() { [[ -s "$1" ]]; }

# Class I as a classroom writes it: names typed with and without Polish letters and with stray
# blanks, American dates, a line a teacher typed, a grade added by hand at the end with an earlier
# date. Class II has no line that is no grade, and one date that reads two ways.
class_file() { sed 's/$/\r/' | iconv -f UTF-8 -t CP1250 >"$E2E_PROGRAM_DIR/wyniki_kl_$1.txt"; }
class_file I <<'EOF'
Zofia Łęcki. Ocena: 4. Dnia: 2/3/26
 Michał Ćwik. Ocena: 5. Dnia: 2/13/26
Malgorzata Sciborek. Ocena: 3. Dnia: 2/14/26
=== II półrocze ===
zofia lecki. Ocena: 5. Dnia: 2/20/26
Antoni Łęcki. Ocena: 6. Dnia: 3/2/26
Małgorzata Ściborek. Ocena: 4. Dnia: 3/3/26
Zofia  Łęcki. Ocena: 6. Dnia: 3/4/26
Antoni Łęcki. Ocena: 5. Dnia: 5.06.2025
EOF
class_file II <<'EOF'
Antoni  Jaworski. Ocena: 2. Dnia: 12.01.2026
Antoni Jaworski. Ocena: 3. Dnia: 14.01.2026
Antoni Jaworski. Ocena: 4. Dnia: 6/5/25
EOF
for k in III IV V VI; do : >"$E2E_PROGRAM_DIR/wyniki_kl_$k.txt"; done

(cd "$E2E_PROGRAM_DIR" && exec "$E2E_BIN" --teacher) >"$E2E_TMP/app.log" 2>&1 &
APP_PID=$!
window=$(e2e_wait_window "Cyfrolia — wyniki klasy")
e2e_wait_active "$window"

# A program of its own to docks: its window class is its entry's StartupWMClass, not the children's.
entry="$E2E_DIR/../../packaging/org.example.cyfrolia.teacher.desktop"
wm_class=$(xprop -id "$window" WM_CLASS | sed -n 's/.*= "[^"]*", "\(.*\)"/\1/p')
startup=$(sed -n 's/^StartupWMClass=//p' "$entry")
[[ -n "$wm_class" && "$wm_class" == "$startup" ]] || e2e_fail "the window's class '$wm_class' is not the entry's '$startup'"
children=$(sed -n 's/^StartupWMClass=//p' "$E2E_DIR/../../packaging/org.example.cyfrolia.desktop")
[[ "$wm_class" != "$children" ]] || e2e_fail "the teacher's window has the children's class '$children'"
# The whole window, frame and all, on the 1024 x 768 screen.
read -r x y w h < <(xwininfo -id "$window" -frame | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
    /Width:/{w=$NF} /Height:/{h=$NF} END{print x, y, w, h}')
((x >= 0 && y >= 0 && x + w <= 1024 && y + h <= 768)) || e2e_fail "the window ${w}x$h at $x,$y leaves the screen"

e2e_atspi listen-focus >"$E2E_TMP/focus.log" 2>&1 &
E2E_PIDS+=($!)
e2e_atspi listen >"$E2E_TMP/said.log" 2>&1 &
E2E_PIDS+=($!)
e2e_poll 20 grep -q ready "$E2E_TMP/focus.log" || e2e_fail "the focus listener did not start"
e2e_poll 20 grep -q ready "$E2E_TMP/said.log" || e2e_fail "the listener of announcements did not start"
said() { grep -q -- "$1" "$E2E_TMP/said.log"; }

# "lecki" finds both Łęckis, and the one Zofia typed three ways is one pupil; the count follows.
e2e_key ctrl+f
e2e_type "lecki"
e2e_wait_atspi $'Antoni Łęcki\nZofia Łęcki' rows "Uczniowie klasy I"
e2e_wait_atspi "Pasuje uczniów: 2 z 4, ich ocen: 5." text "Pasuje uczniów: 2 z 4, ich ocen: 5."
sole_focus "in the search field"
# Down from the search field into the table, and on: the next row is what is read, never the
# pupil's lines that it shows.
e2e_key Down
t_wait_focus "table|Uczniowie klasy I"
e2e_key Down
t_wait_focus "table cell|Zofia Łęcki"
sole_focus "in the table"
e2e_key Up
t_wait_focus "table cell|Antoni Łęcki"
! grep -q '^list' "$E2E_TMP/focus.log" || e2e_fail "moving in the table focused the pupil's lines: $(cat "$E2E_TMP/focus.log")"

# Shift+F10 opens the sort menu; by name a second time is the other way round.
e2e_key shift+F10
t_wait_focus "menu item|Sortuj według: Uczeń"
e2e_key Return
e2e_wait_atspi $'Zofia Łęcki\nAntoni Łęcki' rows "Uczniowie klasy I"
# The column titles: Shift+Tab reaches them, Right chooses "Ocen", Space sorts by it.
e2e_key shift+Tab Right space
e2e_wait_atspi $'Antoni Łęcki\nZofia Łęcki' rows "Uczniowie klasy I"
e2e_screenshot "sorted"

# Enter opens the chosen pupil: the keyboard goes to their lines.
e2e_key Tab Return
t_wait_focus "list|Wpisy ucznia Antoni Łęcki"
e2e_poll 20 said "^Antoni Łęcki, klasa I: 2 oceny, średnia 5,50" || e2e_fail "the summary was not said: $(cat "$E2E_TMP/said.log")"
sole_focus "in the pupil's lines"

# Ctrl+P: the print preview; Ctrl+S there saves the pages as a PDF, found word by word.
e2e_key ctrl+p
preview=$(e2e_wait_window "Podgląd wydruku")
e2e_wait_active "$preview"
e2e_screenshot "preview"
e2e_key ctrl+s
e2e_wait_window "Zapisz wydruk jako PDF" >/dev/null
e2e_key Return
pdf="$HOME/wyniki klasy I.pdf"
e2e_poll 20 saved "$pdf" || e2e_fail "no PDF was saved"
e2e_wait_gone "Zapisz wydruk jako PDF"
text=$(pdftotext -layout "$pdf" -)
for expected in "Cyfrolia — wyniki klasy I" "Wydrukowano $(date +%-d.%m.%Y)" "Strona 1 z 1" "Zofia Łęcki" \
    "Antoni Łęcki"; do
    [[ "$text" == *"$expected"* ]] || e2e_fail "the PDF lacks '$expected': $text"
done
e2e_wait_active "$preview"
e2e_key Escape
e2e_wait_gone "Podgląd wydruku"

# The classes both ways; Alt+W where there is no unread line types nothing.
e2e_key ctrl+f ctrl+a BackSpace
e2e_wait_atspi "Uczniów: 4, zapisanych ocen: 8." text "Uczniów: 4, zapisanych ocen: 8."
e2e_key ctrl+Tab
e2e_wait_atspi "Klasa II" tab
e2e_poll 20 said "^Klasa II. Uczniów: 1" || e2e_fail "the class was not said: $(cat "$E2E_TMP/said.log")"
e2e_key ctrl+shift+Tab
e2e_wait_atspi "Klasa I" tab
e2e_key ctrl+Tab
e2e_wait_atspi "Klasa II" tab
e2e_wait_atspi "Antoni Jaworski" rows "Uczniowie klasy II"
e2e_key alt+w
e2e_wait_atspi "" text "Szukaj ucznia"

# Alt+E: the export's first choice is a spreadsheet, with typed cells.
e2e_key alt+e
e2e_wait_window "Eksport ocen wszystkich klas" >/dev/null
e2e_key Return
e2e_poll 20 saved "$HOME/oceny.xlsx" || e2e_fail "no spreadsheet was saved"
"$PY" - "$HOME/oceny.xlsx" <<'PYEOF' || e2e_fail "the spreadsheet is not as expected"
import datetime, sys
import openpyxl
book = openpyxl.load_workbook(sys.argv[1])
assert book.sheetnames[:3] == ["Wszystkie klasy", "Klasa I", "Klasa II"], book.sheetnames
rows = list(book["Klasa I"].iter_rows(values_only=True))
assert rows[4][4] == "=== II półrocze ===", rows[4]
assert rows[3][6] == "Małgorzata Ściborek" and rows[3][3] == datetime.datetime(2026, 2, 14), rows[3]
assert rows[9][3] == datetime.datetime(2025, 6, 5) and rows[9][5] is None, rows[9]
second = list(book["Klasa II"].iter_rows(values_only=True))
assert second[3][3] is None and second[3][5] == "data niepewna: 6.05 lub 5.06.2025", second[3]
PYEOF
e2e_screenshot "exported"

e2e_key alt+F4
e2e_expect_exit 0 "closing the teacher's window"
e2e_pass
