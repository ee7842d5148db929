#!/usr/bin/env bash
# A whole addition series, its grade saved under a Polish name from the save-result window while
# the exercise window is still shown modally, then read back in the grades viewer. The program
# runs from another current directory: the line must still land beside the program.
source "$(dirname "$0")/lib.sh"
e2e_setup "$1"

elsewhere="$E2E_TMP/elsewhere"
mkdir -p "$elsewhere"
results="$E2E_PROGRAM_DIR/wyniki_kl_I.txt"
# The build puts the six files beside the program; they may hold a developer's grades, so the
# private copies start empty.
for k in I II III IV V VI; do
    [[ -f "$E2E_PROGRAM_DIR/wyniki_kl_$k.txt" ]] || e2e_fail "wyniki_kl_$k.txt is not beside the program"
    : >"$E2E_PROGRAM_DIR/wyniki_kl_$k.txt"
done
e2e_start_app "$elsewhere"

e2e_wrong_addition_series
e2e_screenshot "summary"
e2e_click "$exercise" 317 299         # the save picture button of the summary panel (8,8 + 192,272)
save=$(e2e_wait_window "Zapisz swój wynik:")
e2e_wait_atspi "imie" focused
e2e_type "Łucja"
e2e_key Tab
e2e_type "Żółć"
e2e_screenshot "save_window"
e2e_click "$save" 148 212             # "Zapisz"
e2e_wait_gone "Zapisz swój wynik:"

# Exactly one line, Windows-1250, CR LF, in the program's folder and nowhere else.
"$PY" - "$results" <<'PYEOF' || e2e_fail "results file holds $(od -c "$results" | head -5)"
import datetime, re, sys
data = open(sys.argv[1], "rb").read()
line = "Łucja Żółć. Ocena: 0. Dnia: ".encode("cp1250")
assert data.startswith(line), data
assert data.endswith(b"\r\n") and data.count(b"\r\n") == 1 and data.count(b"\n") == 1, data
# No click on the calendar: today, in whatever short format, holds today's day, month (a number
# or the C locale's abbreviation) and year.
today = datetime.date.today()
date = data[len(line):-2]
numbers = [int(n) for n in re.findall(rb"[0-9]+", date)]
assert today.day in numbers, data
assert today.month in numbers or today.strftime("%b").encode() in date, data
assert today.year in numbers or today.year % 100 in numbers, data
PYEOF
for k in II III IV V VI; do
    [[ -s "$E2E_PROGRAM_DIR/wyniki_kl_$k.txt" ]] && e2e_fail "wyniki_kl_$k.txt was written"
done
[[ -z "$(ls -A "$elsewhere")" ]] || e2e_fail "the save wrote into the current directory: $(ls "$elsewhere")"

# Back to the menu: "Od nowa", then WSTECZ.
e2e_click "$exercise" 318 250
e2e_wait_atspi 50 text licznik
e2e_click "$exercise" 558 306
e2e_wait_gone "Dodawanie"

e2e_click "$menu" 207 347             # "Wyniki"
e2e_wait_window "Oceny" >/dev/null
expected=$(printf 'Łucja Żółć. Ocena: 0. Dnia: %s\n' "$(iconv -f CP1250 -t UTF-8 "$results" | head -c -2 | sed 's/^.*Dnia: //')")
shown=$(e2e_atspi text klasai)
[[ "$shown" == "$expected"* ]] || e2e_fail "the viewer shows '$shown', expected '$expected'"
e2e_screenshot "viewer"
e2e_pass
