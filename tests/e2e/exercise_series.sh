#!/usr/bin/env bash
# A whole addition series with real X input: the menu asks for a class first, START, typed
# answers with Return and the keypad's Enter, the series closing after its 49th judged problem,
# an Enter beneath the summary, "Od nowa", WSTECZ, and "Koniec" ending the program with code 0.
# Along the way, what a screen reader meets: a button pressed through its action returning while
# the window it opened is shown, the class chooser's question as text, the welcome told when the
# window opens, START pressed through its action, the problem line as one sentence told once at
# each new problem after the word on the answer before it, while the focus stays in the answer
# field, the named field, counts and grade, and the time bar as a progress bar with its value.
source "$(dirname "$0")/lib.sh"
e2e_setup "$1"

# The program's notifications, recorded from before it starts so that none is missed.
announced="$E2E_TMP/announced"
"$PY" "$E2E_DIR/atspi.py" listen >"$announced" 2>"$E2E_TMP/listen.log" &
E2E_PIDS+=($!)
for _ in $(seq 100); do [[ $(head -n 1 "$announced") == ready ]] && break; sleep 0.05; done
[[ $(head -n 1 "$announced") == ready ]] || e2e_fail "the notification listener did not start"
# wait_announced <message>: waits until that is the last thing the screen reader was told.
wait_announced() {
    for _ in $(seq 100); do [[ $(tail -n 1 "$announced") == "$1" ]] && return 0; sleep 0.05; done
    e2e_fail "the screen reader was last told '$(tail -n 1 "$announced")', expected '$1'"
}
e2e_start_app

menu=$(e2e_wait_menu)
# "Dodawanie" pressed by a screen reader: the press returns while the class chooser it opened is
# still shown.
"$PY" "$E2E_DIR/atspi.py" press dodawanie &
presser=$!
chooser=$(e2e_wait_window Poziom)
returned() { ! kill -0 "$presser" 2>/dev/null; }
e2e_poll 20 returned || e2e_fail "the press did not return while the class chooser was shown"
wait "$presser" || e2e_fail "the press failed"
e2e_find_window Poziom >/dev/null || e2e_fail "the class chooser closed before the press returned"
[[ $(e2e_atspi name tlo) == "Zaznacz klasę do której chodzisz:" && $(e2e_atspi role tlo) == label ]] ||
    e2e_fail "the chooser's question reads as $(e2e_atspi role tlo) '$(e2e_atspi name tlo)'"
e2e_click "$chooser" 208 196 # OK: class I
e2e_wait_gone Poziom
window=$(e2e_wait_window Dodawanie)
wait_announced "Aby rozpocząć wciśnij przycisk START. Aby wrócić do menu wciśnij WSTECZ."
[[ $(e2e_atspi role start) == "push button" && $(e2e_atspi name start) == START ]] ||
    e2e_fail "START is not a push button named START"
e2e_atspi press start
e2e_wait_active "$window"
e2e_wait_atspi 49 text licznik
[[ $(e2e_atspi focused) == odp ]] || e2e_fail "the answer field does not have the focus after START"
read -r left right < <(e2e_atspi operands)
wait_announced "$left plus $right równa się"
[[ $(e2e_atspi name odp) == Odpowiedź ]] || e2e_fail "the answer field is named '$(e2e_atspi name odp)'"
[[ $(e2e_atspi name licznik) == "Pozostało: 49" ]] || e2e_fail "the count reads '$(e2e_atspi name licznik)'"
[[ $(e2e_atspi role pasek) == "progress bar" ]] || e2e_fail "the time bar is a $(e2e_atspi role pasek)"
[[ -z $(e2e_atspi actions pasek) ]] || e2e_fail "the time bar offers actions: $(e2e_atspi actions pasek | tr '\n' ' ')"
for _ in $(seq 60); do (($(e2e_atspi value pasek) > 0)) && break; sleep 0.1; done
(($(e2e_atspi value pasek) > 0)) || e2e_fail "the time bar's value stays 0"

# A right answer with Return, a wrong one with the keypad's Enter and Shift held. The next
# problem is announced after the word on the answer, and the focus stays in the field.
e2e_answer +
e2e_wait_atspi 1 text dobre
read -r left right < <(e2e_atspi operands)
wait_announced "Dobrze. $left plus $right równa się"
[[ $(e2e_atspi focused) == odp ]] || e2e_fail "the announcement took the focus from the answer field"
[[ $(e2e_atspi name dobre) == "Dobre: 1" ]] || e2e_fail "the right count reads '$(e2e_atspi name dobre)'"
count=$(e2e_atspi text licznik)
wrong=$(e2e_atspi text zle)
e2e_type "x"
e2e_key shift+KP_Enter
e2e_wait_atspi $((wrong + 1)) text zle
read -r left right < <(e2e_atspi operands)
wait_announced "Źle. $left plus $right równa się"
# The field takes at most two characters.
e2e_wait_atspi $((count - 1)) text licznik
e2e_type "123"
e2e_wait_atspi 12 text odp
e2e_key BackSpace BackSpace
e2e_wait_atspi "" text odp

# The rest close the series: 49 judged, the 50th problem drawn but never judged.
e2e_judge
e2e_wait_atspi 1 text ocena
[[ $(( $(e2e_atspi text dobre) + $(e2e_atspi text zle) )) == 49 ]] || e2e_fail "the series did not judge 49 problems"
wait_announced "Źle. Ocena: 1"
# Each problem told once: 49 problems were there to answer, and no notification was told again
# by a new name.
told=$(grep -c ' równa się$' "$announced" || true)
[[ $told == 49 ]] || e2e_fail "$told problems were told, not 49"
! grep -q '^renamed: ' "$announced" || e2e_fail "a notification was told again: $(grep -m 1 '^renamed: ' "$announced")"
e2e_screenshot exercise-summary

# Enter beneath the summary judges again (the field kept the focus); the grade stays "1".
e2e_type x
e2e_key Return
e2e_wait_atspi 49 text zle
e2e_wait_atspi 1 text ocena

e2e_click "$window" $((8 + 240 + 71)) $((8 + 224 + 18)) # "Od nowa"
e2e_wait_atspi 50 text licznik
e2e_wait_atspi 0 text zle
e2e_click "$window" $((488 + 70)) $((288 + 18)) # WSTECZ
e2e_wait_gone Dodawanie

e2e_click "$menu" 210 451 # "Koniec"
e2e_expect_exit 0 "Koniec"
e2e_pass
