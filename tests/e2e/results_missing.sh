#!/usr/bin/env bash
# The grades viewer with one results file missing: one message names it, its box stays empty,
# the other classes are shown all the same; the program never creates the missing file.
source "$(dirname "$0")/lib.sh"
e2e_setup "$1"

rm -f "$E2E_PROGRAM_DIR/wyniki_kl_III.txt"
for k in I IV VI; do : >"$E2E_PROGRAM_DIR/wyniki_kl_$k.txt"; done
printf 'Ala Nowak. Ocena: 5. Dnia: 2007-02-08\r\n' >"$E2E_PROGRAM_DIR/wyniki_kl_II.txt"
printf 'Ola Kot. Ocena: 4. Dnia: 2007-02-08\r\n' >"$E2E_PROGRAM_DIR/wyniki_kl_V.txt"
e2e_start_app

menu=$(e2e_wait_menu)
e2e_click "$menu" 207 347             # "Wyniki"
# The message comes first; the viewer opens when it is dismissed.
message=$(e2e_wait_message)
e2e_find_window "Oceny" >/dev/null && e2e_fail "the viewer opened before the message"
tree=$(e2e_atspi dump)
messages=$(grep -c "Cannot open file" <<<"$tree" || true)
[[ "$messages" == 1 ]] || e2e_fail "expected one message, found $messages"
grep -qF "Cannot open file \"$E2E_PROGRAM_DIR/wyniki_kl_III.txt\". No such file or directory." <<<"$tree" \
    || e2e_fail "the message does not name wyniki_kl_III.txt: $(grep -i cannot <<<"$tree")"
e2e_screenshot "missing_file"
e2e_wait_active "$message"
e2e_key Return
e2e_wait_message_gone

e2e_wait_atspi "Ala Nowak. Ocena: 5. Dnia: 2007-02-08" text klasaii
e2e_wait_atspi "Ola Kot. Ocena: 4. Dnia: 2007-02-08" text klasav
[[ -z "$(e2e_atspi text klasaiii)" ]] || e2e_fail "the class III box is not empty"

viewer=$(e2e_wait_window "Oceny")
# OK by its key: a click there, then one on "Koniec" at almost the same spot, would make a
# double click of the two.
e2e_wait_active "$viewer"
e2e_key space                         # "OK", which holds the focus
e2e_wait_gone "Oceny"
# Showing the viewer leaves the menu's pictures without X windows of their own, which would
# catch a click meant for the button beneath a picture about to be hidden.
[[ $(e2e_child_windows "$menu") == 0 ]] || e2e_fail "the menu has $(e2e_child_windows "$menu") child windows"
# One click on "Koniec", straight after the viewer, ends the program.
e2e_click "$menu" 210 451             # "Koniec"
e2e_expect_exit 0 "Koniec"
[[ ! -e "$E2E_PROGRAM_DIR/wyniki_kl_III.txt" ]] || e2e_fail "the program created wyniki_kl_III.txt"
e2e_pass
