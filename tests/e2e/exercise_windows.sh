#!/usr/bin/env bash
# The subtraction, multiplication and division windows with real X input: class VI chosen in
# the chooser sets their pace, a right answer for each operation, a series closed after its 49th
# judged problem, and Enter beneath the summary (the division window hides its answer field).
source "$(dirname "$0")/lib.sh"
e2e_setup "$1"
e2e_start_app
menu=$(e2e_wait_menu)

field_lost_focus() { [[ $(e2e_atspi focused) != odp ]]; }

# play <menu x> <menu y> <title> <operator for the expected result> <again x> <again y>
play() {
    local mx=$1 my=$2 title=$3 op=$4 ax=$5 ay=$6
    e2e_click "$menu" "$mx" "$my"
    if [[ -z "${class_chosen:-}" ]]; then
        local chooser
        chooser=$(e2e_wait_window Poziom)
        e2e_click "$chooser" $((256 + 20)) $((144 + 12)) # "VI klasa"
        e2e_click "$chooser" 208 196                    # OK
        class_chosen=1
    fi
    local window
    window=$(e2e_wait_window "$title")
    e2e_click "$window" 316 299 # START
    e2e_wait_active "$window"
    e2e_answer "$op"
    e2e_wait_atspi 1 text dobre
    # Each Return once the next problem is drawn (subtraction draws it 100 ms after, class VI).
    e2e_judge
    e2e_wait_atspi 1 text ocena
    judged=$(($(e2e_atspi text dobre) + $(e2e_atspi text zle)))
    [[ $judged == 49 ]] || e2e_fail "$title: $judged judged, not 49 (right $(e2e_atspi text dobre))"
    e2e_screenshot "summary-$title"

    # Enter beneath the panel judges once more; in the division window the field is then hidden
    # and a further Enter reaches no field. A wrong answer is typed each time: an Enter on an empty
    # field right after the one before would be taken for a bounce of the key.
    e2e_type x
    e2e_key Return
    e2e_wait_atspi 49 text zle
    local expected=50
    if [[ "$title" == Dzielenie ]]; then
        expected=49
        e2e_poll 20 field_lost_focus || e2e_fail "the hidden answer field kept the focus"
    fi
    e2e_type x
    e2e_key Return
    e2e_wait_atspi "$expected" text zle

    e2e_click "$window" "$ax" "$ay" # "Od nowa"
    e2e_wait_atspi 50 text licznik
    e2e_click "$window" $((488 + 70)) $((288 + 18)) # WSTECZ
    e2e_wait_gone "$title"
}

play 211 155 Odejmowanie - $((8 + 240 + 71)) $((8 + 224 + 18))
play 211 203 Mnożenie '*' $((8 + 240 + 71)) $((8 + 224 + 18))
play 209 251 Dzielenie / $((8 + 240 + 71)) $((8 + 208 + 18))

e2e_click "$menu" 210 451 # "Koniec"
e2e_expect_exit 0 "Koniec"
e2e_pass
