#!/usr/bin/env bash
# The About window with real X input: "O programie" opens it with the focus on OK, Tab moves the
# focus to the home-page link, Space hands the address to the desktop and the window stays,
# Enter presses OK. The link turns red under the pointer and blue again when it leaves, and a
# click on it opens the address as well.
source "$(dirname "$0")/lib.sh"
e2e_setup "$1"

# The desktop's URL opener is a stand-in that records what it was asked to open.
mkdir -p "$E2E_TMP/bin"
OPENED="$E2E_TMP/opened.txt"
cat >"$E2E_TMP/bin/xdg-open" <<SCRIPT
#!/bin/sh
printf '%s\n' "\$1" >>"$OPENED"
SCRIPT
chmod +x "$E2E_TMP/bin/xdg-open"
export PATH="$E2E_TMP/bin:$PATH"
unset BROWSER DEFAULT_BROWSER
HOME_PAGE="https://cyfrolia.example.org/"

opened_count() { if [[ -f "$OPENED" ]]; then wc -l <"$OPENED"; else echo 0; fi; }
wait_opened() {
    local want=$1
    local deadline=$((SECONDS + 20))
    while [[ $(opened_count) != "$want" ]] && ((SECONDS < deadline)); do sleep 0.05; done
    [[ $(opened_count) == "$want" ]] || e2e_fail "the address was opened $(opened_count) times, expected $want"
    [[ $(tail -n 1 "$OPENED") == "$HOME_PAGE" ]] || e2e_fail "opened '$(tail -n 1 "$OPENED")', expected $HOME_PAGE"
}

# Counts pure red pixels of the link's rectangle on the screen (its caption turns red when active).
red_in_link() {
    local ox oy
    read -r ox oy < <(e2e_window_origin "$about")
    import -window root png:- 2>/dev/null | convert - -crop "169x17+$((ox + 16 + 112))+$((oy + 8 + 122))" +repage txt:- \
        | grep -ci '#FF0000' || true
}
wait_red() { # <yes|no>
    local n deadline=$((SECONDS + 20))
    while ((SECONDS < deadline)); do
        n=$(red_in_link)
        [[ $1 == yes && $n -gt 0 ]] && return 0
        [[ $1 == no && $n -eq 0 ]] && return 0
        sleep 0.05
    done
    e2e_fail "the link's caption is $([[ $1 == yes ]] && echo "not ")red"
}

e2e_start_app
menu=$(e2e_wait_menu)
e2e_click "$menu" $((126 + 84)) $((376 + 19)) # "O programie"
about=$(e2e_wait_window About)
e2e_wait_atspi OKButton focused
e2e_screenshot about-window

e2e_key Tab
e2e_wait_atspi Link1 focused
e2e_screenshot about-link-focused
e2e_key space
wait_opened 1
xdotool search --onlyvisible --name '^About$' >/dev/null || e2e_fail "Space closed the About window"
[[ $(e2e_atspi focused) == Link1 ]] || e2e_fail "the link lost the focus after Space"

e2e_key Return
e2e_wait_gone About
[[ $(opened_count) == 1 ]] || e2e_fail "Enter on the link opened the address"

# Again: the focus is back on OK; the pointer over the link turns it red, away blue again.
e2e_click "$menu" $((126 + 84)) $((376 + 19))
about=$(e2e_wait_window About)
e2e_wait_atspi OKButton focused
wait_red no
read -r ox oy < <(e2e_window_origin "$about")
xdotool mousemove --sync $((ox + 16 + 112 + 40)) $((oy + 8 + 122 + 8))
wait_red yes
e2e_screenshot about-link-active
xdotool mousemove --sync $((ox + 5)) $((oy + 5))
wait_red no

# A click on the link opens the address too and leaves the window open.
e2e_click "$about" $((16 + 112 + 40)) $((8 + 122 + 8))
wait_opened 2
xdotool search --onlyvisible --name '^About$' >/dev/null || e2e_fail "a click on the link closed the About window"
e2e_click "$about" $((135 + 37)) $((212 + 12)) # OK
e2e_wait_gone About

e2e_click "$menu" 210 451 # "Koniec"
e2e_expect_exit 0 "Koniec"
e2e_pass
