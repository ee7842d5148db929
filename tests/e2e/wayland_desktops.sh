#!/usr/bin/env bash
# The program on a Wayland desktop, as Debian ships them: GNOME's mutter, KDE's KWin and weston, each
# with Xwayland. With an X server there the program runs on it: the menu is cut to the notebook and
# shows nothing else, the compositor moves it when the inner page is dragged, a series runs to its
# grade, and after each window closes the keyboard is back with the menu. "weston-wayland": the
# same for the program as a Wayland window of its own, where no X server is to be had.
# Usage: wayland_desktops.sh <cyfrolia> <mutter|kwin|weston|weston-wayland>
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/desktops.sh"
e2e_desktop_namespace "$2" "$@"
e2e_setup_desktop "$1" "${2%-wayland}"
export LANG=pl_PL.UTF-8 LC_ALL=pl_PL.UTF-8
E2E_KEY_COMMAND=$(e2e_desktop_keys_command)
export E2E_KEY_COMMAND

# pixel <png> <x> <y>: its colour there as "r,g,b".
pixel() {
    convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- 2>/dev/null |
        sed -n '2s/^[^(]*(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1,\2,\3/p'
}
is_page() { [[ $1 =~ ^(210,255,232|179,255,217)$ ]]; }

# The points of the menu that tell its shape: the corner and the gap between two rings, which it
# cuts away, and its inner page, which it shows.
CORNER="0 0" GAP="44 10" PAGE="60 250"

# expect_cut_away <screenshot> <x> <y> <what>: the desktop shows through the menu at x, y of the
# screen, as it did before the program started; weston's magenta desktop may be darkened by the
# shadow weston casts beneath X windows.
expect_cut_away() {
    local r g b before
    IFS=, read -r r g b < <(pixel "$1" "$2" "$3")
    before=$(pixel "$E2E_TMP/desktop.png" "$2" "$3")
    [[ "$r,$g,$b" == "$before" ]] && return 0
    [[ "$E2E_DESKTOP" == weston ]] && ((g < 40 && r > 60 && b > 60 && r - b < 30 && b - r < 30)) && return 0
    e2e_fail "$4: the menu's $r,$g,$b shows, not the desktop's $before"
}

# window_pixel <id> <x> <y>: the window's own pixel there as "r,g,b,alpha".
window_pixel() { "$PY" "$E2E_DIR/window_pixels.py" "$@"; }

e2e_desktop_screenshot "$E2E_TMP/desktop.png" && screens=1 || screens=""

if [[ "$2" != *-wayland ]]; then
# ---- the program on Xwayland, chosen by itself ----
e2e_start_app
menu=$(e2e_wait_menu) # an X11 window: the program took the X server
read -r ox oy < <(e2e_window_origin "$menu")
e2e_log "menu at $ox,$oy"
# Cut to the notebook by the X11 shape, and a window with an alpha channel that leaves the
# cut-away pixels see-through for any compositor.
shape=$(xwininfo -id "$menu" -shape | awk '/Window shape extents/{print $NF}')
[[ -n "$shape" && "$shape" != "446x495+0+0" ]] || e2e_fail "the menu is not shaped (extents '$shape')"
depth=$(xwininfo -id "$menu" | awk '/Depth:/{print $NF}')
[[ "$depth" == 32 ]] || e2e_fail "the menu's window has no alpha channel (depth $depth)"
page_drawn() { [[ $(window_pixel "$menu" $PAGE) =~ ^(210,255,232|179,255,217),255$ ]]; }
e2e_poll 20 page_drawn || e2e_fail "the menu's page is not drawn: $(window_pixel "$menu" $PAGE)"
for point in "$CORNER" "$GAP"; do
    [[ $(window_pixel "$menu" $point) == 0,0,0,0 ]] || e2e_fail "the menu paints $(window_pixel "$menu" $point) at $point"
done
if [[ -n "$screens" ]]; then
    shown() { e2e_desktop_screenshot "$E2E_TMP/menu.png" && is_page "$(pixel "$E2E_TMP/menu.png" $((ox + 60)) $((oy + 250)))"; }
    e2e_poll 20 shown || e2e_fail "the compositor does not show the menu's page"
    expect_cut_away "$E2E_TMP/menu.png" "$ox" "$oy" "the corner"
    expect_cut_away "$E2E_TMP/menu.png" $((ox + 44)) $((oy + 10)) "the gap between two rings"
    cp "$E2E_TMP/menu.png" "$E2E_TMP/xwayland-menu.png"
fi

# Dragged by the inner page, the compositor moves it by the pointer's way: once it has taken the
# pointer for the move, every step of the pointer moves the window.
at_origin() { [[ $(e2e_window_origin "$menu") == "$1 $2" ]]; }
start_x=$((ox + 60)) start_y=$((oy + 200))
e2e_desktop_input move "$start_x" "$start_y" settle press follow "$menu" 120 55 release
e2e_poll 20 at_origin $((ox + 120)) $((oy + 55)) ||
    e2e_fail "dragged from $ox,$oy by 120,55 but the menu is at $(e2e_window_origin "$menu")"
read -r ox oy < <(e2e_window_origin "$menu")

# A series with real keys: the class chooser first, then START and the answers.
# click <window id> <x> <y>: a click of the compositor's seat at the window's client x, y, once the
# compositor has placed the window and given it the keyboard (weston places windows itself, after
# they are shown; each compositor first maps a window's frame at 0, 0, where none of the program's
# windows goes) and has it under the pointer.
frame_origin() {
    local id=$1 parent root
    root=$(xwininfo -root | awk '/Window id:/{print $4}')
    while parent=$(xwininfo -tree -id "$id" | awk '/Parent window id:/{print $4}') && [[ -n "$parent" && "$parent" != "$root" ]]; do
        id=$parent
    done
    e2e_window_origin "$id"
}
placed() { e2e_is_focused "$1" && [[ $(frame_origin "$1") != "0 0" ]]; }
click() {
    local origin
    e2e_poll 20 placed "$1" || e2e_fail "window $1 was not placed"
    origin=$(e2e_window_origin "$1")
    [[ "$origin" =~ ^-?[0-9]+\ -?[0-9]+$ ]] || e2e_fail "window $1 is not on the screen ('$origin')"
    e2e_desktop_input move $((${origin% *} + $2)) $((${origin#* } + $3)) settle press release
}

# A series with real input: the compositor's mouse, the answers typed.
click "$menu" 212 107 # "Dodawanie"
chooser=$(e2e_wait_window Poziom)
click "$chooser" 208 196 # OK: class I
e2e_wait_gone Poziom
window=$(e2e_wait_window Dodawanie)
click "$window" 316 299 # START
e2e_answer +
e2e_judge
e2e_wait_atspi 1 text ocena
e2e_log "the series ended with grade 1"
# keyboard_to_menu: the compositor's keyboard reaches the menu again: once the menu is active and
# has the X server's input focus, Down moves its highlight.
menu_highlighted() {
    [[ $(e2e_atspi focused 2>/dev/null) =~ ^(dodawanie|odejmowanie|mnozenie|dzielenie|Image13|wyn_wcis|Image11|Image7)$ ]]
}
keyboard_to_menu() {
    e2e_wait_active "$menu"
    e2e_wait_focused "$menu"
    e2e_desktop_input key Down
    e2e_poll 20 menu_highlighted || e2e_fail "the keyboard did not come back to the menu"
}

# The welcome again, then WSTECZ: the window closes and the compositor's keyboard is the menu's
# again.
e2e_desktop_input key alt+o key alt+w
e2e_wait_gone Dodawanie
keyboard_to_menu
e2e_desktop_input key alt+r
about=$(e2e_wait_window About)
click "$about" 172 224 # OK
e2e_wait_gone About
keyboard_to_menu
e2e_desktop_input key alt+k
e2e_expect_exit 0 '"Koniec" after the About window closed'
e2e_pass
exit 0
fi

# ---- weston: the program as a Wayland window, with no X server to be had ----
menu_origin() { e2e_wayland_menu_origin; }
origin_is() { [[ $(menu_origin) == "$1 $2" ]]; }
DISPLAY= e2e_start_app
e2e_poll 20 "$PY" "$E2E_DIR/atspi.py" window "Cyfrolia 1.0" || e2e_fail "the menu did not open on Wayland"
e2e_poll 20 menu_origin || e2e_fail "weston does not show the menu"
read -r ox oy < <(menu_origin)
e2e_log "Wayland menu at $ox,$oy"
e2e_desktop_screenshot "$E2E_TMP/wayland-menu.png"
is_page "$(pixel "$E2E_TMP/wayland-menu.png" $((ox + 60)) $((oy + 250)))" || e2e_fail "the Wayland menu's page does not show"
expect_cut_away "$E2E_TMP/wayland-menu.png" "$ox" "$oy" "the Wayland menu's corner"
expect_cut_away "$E2E_TMP/wayland-menu.png" $((ox + 44)) $((oy + 10)) "the Wayland menu's ring gap"

start_x=$((ox + 60)) start_y=$((oy + 200))
e2e_desktop_input move "$start_x" "$start_y" press follow wayland 80 40 release
e2e_poll 20 origin_is $((ox + 80)) $((oy + 40)) ||
    e2e_fail "dragged from $ox,$oy by 80,40 but the Wayland menu is at $(menu_origin)"
ox=$((ox + 80)) oy=$((oy + 40))

active() { "$PY" "$E2E_DIR/atspi.py" active "$1"; }
e2e_desktop_input move $((ox + 212)) $((oy + 107)) press release # "Dodawanie"
e2e_poll 20 active Poziom || e2e_fail "the class chooser did not open with the keyboard"
e2e_desktop_input key alt+k
e2e_poll 20 active Dodawanie || e2e_fail "the addition window did not open with the keyboard"
e2e_desktop_input key alt+s
e2e_answer +
e2e_judge
e2e_wait_atspi 1 text ocena
e2e_desktop_input key alt+o key alt+w
window_gone() { ! "$PY" "$E2E_DIR/atspi.py" window "$1"; }
e2e_poll 20 window_gone Dodawanie || e2e_fail "the addition window did not close"
e2e_poll 20 active "Cyfrolia 1.0" || e2e_fail "the keyboard did not come back to the Wayland menu"
e2e_desktop_input key alt+r
e2e_poll 20 active About || e2e_fail "Alt+R did not open the About window with the keyboard"
e2e_desktop_input key Return
e2e_poll 20 window_gone About || e2e_fail "the About window did not close"
e2e_poll 20 active "Cyfrolia 1.0" || e2e_fail "the keyboard did not come back to the Wayland menu"
e2e_desktop_input key alt+k
e2e_expect_exit 0 '"Koniec" on Wayland'
e2e_pass
