#!/usr/bin/env bash
# A child's hand on the real keyboard: Return pressed twice 120 ms apart after an answer, and
# Return held down for a second with the server repeating it, judge once; an Enter on the empty
# field a while after the one before still judges it, as does an Enter with an answer typed.
source "$(dirname "$0")/lib.sh"
e2e_setup "$1"
# Keys repeat in this test, as on a school's computer: after 500 ms, 30 times a second.
xset r on
xset r rate 500 30
xset q | grep -q 'auto repeat:  on' || e2e_fail "the server does not repeat keys"

e2e_start_app
menu=$(e2e_wait_menu)
e2e_click "$menu" 212 107 # "Dodawanie"
chooser=$(e2e_wait_window Poziom)
e2e_click "$chooser" 208 196 # OK: class I, 15 s to answer each problem, ample for every step below
e2e_wait_gone Poziom
window=$(e2e_wait_window Dodawanie)
e2e_click "$window" 316 299 # START
e2e_wait_active "$window"
e2e_wait_atspi 49 text licznik

# counts: "right wrong left" as the window shows them.
counts() { echo "$(e2e_atspi text dobre) $(e2e_atspi text zle) $(e2e_atspi text licznik)"; }

# The answer, then Return twice, 120 ms apart: the second comes on the next problem's empty field.
read -r left right < <(e2e_atspi operands)
e2e_type "$((left + right))"
xdotool key --delay 120 Return Return
# The problem then on screen, answered: had the second Return judged its empty field, this
# would be the one after it, and a wrong answer more.
e2e_answer +
e2e_wait_atspi 2 text dobre
[[ $(counts) == "2 0 47" ]] || e2e_fail "after a double Return: right, wrong, left $(counts), not 2 0 47"

# A wrong answer, and Return held down for a second: the press judges it, the repeats nothing.
e2e_type x
xdotool keydown Return sleep 1 keyup Return # how long the key is held is what is tested
e2e_answer +
e2e_wait_atspi 3 text dobre
[[ $(counts) == "3 1 45" ]] || e2e_fail "after Return held for a second: right, wrong, left $(counts), not 3 1 45"

# A deliberate Enter on the empty field, once the bar shows that 600 ms have passed.
bar_past() { (($(e2e_atspi value pasek) >= $1)); }
e2e_poll 20 bar_past 4 || e2e_fail "the time bar did not move"
e2e_key Return
e2e_wait_atspi 2 text zle
[[ $(counts) == "3 2 44" ]] || e2e_fail "after an empty Enter: right, wrong, left $(counts), not 3 2 44"

e2e_key alt+w
e2e_wait_gone Dodawanie
e2e_click "$menu" 210 451 # "Koniec"
e2e_expect_exit 0 "Koniec"
e2e_pass
