#!/usr/bin/env bash
# A whole addition series with real X input: the menu asks for a class first, START, typed
# answers with Return and the keypad's Enter, the series closing after its 49th judged problem,
# an Enter beneath the summary, "Od nowa", WSTECZ, and "Koniec" ending the program with code 0.
source "$(dirname "$0")/lib.sh"
e2e_setup "$1"
e2e_start_app

menu=$(e2e_wait_window Cyfrolia)
e2e_click "$menu" 212 107 # "Dodawanie"
chooser=$(e2e_wait_window Poziom)
e2e_click "$chooser" 208 196 # OK: class I
e2e_wait_gone Poziom
window=$(e2e_wait_window Dodawanie)
e2e_click "$window" 316 299 # START
e2e_wait_active "$window"
e2e_wait_atspi 49 text licznik
[[ $(e2e_atspi focused) == odp ]] || e2e_fail "the answer field does not have the focus after START"

# A right answer with Return, a wrong one with the keypad's Enter and Shift held.
e2e_answer +
e2e_wait_atspi 1 text dobre
left=$(e2e_atspi text licznik)
wrong=$(e2e_atspi text zle)
e2e_type "x"
e2e_key shift+KP_Enter
e2e_wait_atspi $((wrong + 1)) text zle
# The field takes at most two characters.
e2e_wait_atspi $((left - 1)) text licznik
e2e_type "123"
e2e_wait_atspi 12 text odp
e2e_key BackSpace BackSpace
e2e_wait_atspi "" text odp

# The rest close the series: 49 judged, the 50th problem drawn but never judged.
e2e_judge
e2e_wait_atspi 1 text ocena
[[ $(( $(e2e_atspi text dobre) + $(e2e_atspi text zle) )) == 49 ]] || e2e_fail "the series did not judge 49 problems"
e2e_screenshot exercise-summary

# Enter beneath the summary judges again (the field kept the focus); the grade stays "1".
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
