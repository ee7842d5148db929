#!/usr/bin/env bash
# The program on a real desktop, as a Polish user runs it: the taskbar name, every window the
# program centres centred by its real frame from its first showing (under openbox and on a bare
# X server), owned windows marked WM_TRANSIENT_FOR, and the keyboard: the menu's arrows, Enter and
# letters, the exercise window's Alt mnemonics, Tab in the grades viewer.
source "$(dirname "$0")/lib.sh"
e2e_setup "$1"
export LANG=pl_PL.UTF-8 LC_ALL=pl_PL.UTF-8

# The window's frame as "x y width height" from its client area and _NET_FRAME_EXTENTS (none
# where no window manager frames it).
frame_of() {
    local x y w h l=0 r=0 t=0 b=0 extents
    read -r x y w h < <(xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
        /Width:/{w=$NF} /Height:/{h=$NF} END{print x, y, w, h}')
    extents=$(xprop -id "$1" _NET_FRAME_EXTENTS | sed -n 's/.*= //p' | tr -d ',')
    [[ -n "$extents" ]] && read -r l r t b <<<"$extents"
    echo "$((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))"
}

# expect_centred <id> <name>: the frame's corner where centring puts it on the 1024 x 768 screen.
expect_centred() {
    local fx fy fw fh
    read -r fx fy fw fh < <(frame_of "$1")
    [[ "$fx $fy" == "$(((1024 - fw) / 2)) $(((768 - fh) / 2))" ]] ||
        e2e_fail "$2: frame ${fw}x$fh at $fx,$fy is not centred"
}

# expect_owned <id> <name>: WM_TRANSIENT_FOR names the menu.
expect_owned() {
    local owner
    owner=$(xprop -id "$1" WM_TRANSIENT_FOR | sed -n 's/.*window id # //p')
    [[ -n "$owner" && $((owner)) == $((menu)) ]] || e2e_fail "$2 is not marked as the menu's (WM_TRANSIENT_FOR '$owner')"
}

# The time bar shows once a series runs; before, the window's sky blue is there.
bar_colour() {
    local ox oy
    read -r ox oy < <(e2e_window_origin "$1")
    import -window root -crop "1x1+$((ox + 40))+$((oy + 152))" -depth 8 txt:- 2>/dev/null |
        sed -n '2s/^[^(]*(\([0-9]*\),\([0-9]*\),\([0-9]*\)).*/\1,\2,\3/p'
}

last_focus() { [[ $(tail -n 1 "$E2E_TMP/focus.log") == "$1" ]]; }

focused() { [[ $(xdotool getwindowfocus 2>/dev/null) == "$1" ]]; }

# wait_focused <id>: until the window has the keyboard's focus.
wait_focused() {
    e2e_poll 10 focused "$1" || e2e_fail "window $1 did not get the focus"
}

e2e_start_app
menu=$(e2e_wait_menu)
wait_focused "$menu"
# The taskbar shows the application's title, and screen readers meet the menu as a window of
# that name.
for property in _NET_WM_NAME WM_NAME; do
    name=$(xprop -id "$menu" "$property" | sed -n 's/.*= "\(.*\)"/\1/p')
    [[ "$name" == "Cyfrolia 1.0" ]] || e2e_fail "the taskbar entry's $property reads '$name'"
done
# Docks tie the window to its launcher: the window's class is the desktop entry's StartupWMClass.
entry="$E2E_DIR/../../packaging/org.example.cyfrolia.desktop"
wm_class=$(xprop -id "$menu" WM_CLASS | sed -n 's/.*= "[^"]*", "\(.*\)"/\1/p')
startup=$(sed -n 's/^StartupWMClass=//p' "$entry")
[[ -n "$wm_class" && "$wm_class" == "$startup" ]] || e2e_fail "the window's class '$wm_class' is not the entry's '$startup'"
tree=$(e2e_atspi dump)
grep -q "^  frame name='Cyfrolia 1.0'" <<<"$tree" || e2e_fail "the menu is no window named 'Cyfrolia 1.0': $(head -n 3 <<<"$tree")"
expect_centred "$menu" "the menu"

# Down highlights "Dodawanie", heard as the focus; Enter presses it: the class chooser comes first.
# The listener itself in the background, not a subshell around it, so the clean-up ends it.
"$PY" "$E2E_DIR/atspi.py" listen-focus >"$E2E_TMP/focus.log" 2>&1 &
E2E_PIDS+=($!)
e2e_poll 20 grep -q ready "$E2E_TMP/focus.log" || e2e_fail "the focus listener did not start"
e2e_key Down
e2e_wait_atspi dodawanie focused
e2e_poll 5 last_focus dodawanie || e2e_fail "no focus event for the highlight: $(cat "$E2E_TMP/focus.log")"
e2e_key Return
chooser=$(e2e_wait_window Poziom)
expect_owned "$chooser" "the class chooser"
e2e_click "$chooser" $((256 + 20)) $((144 + 12)) # "VI klasa"
e2e_click "$chooser" 208 196                    # OK
window=$(e2e_wait_window Dodawanie)
xprop -id "$window" _NET_FRAME_EXTENTS | grep -q ' = ' || e2e_fail "the window manager has not framed the window"
expect_centred "$window" "the addition window"
expect_owned "$window" "the addition window"

# Alt+S presses START; Alt+W, WSTECZ, closes the window.
[[ $(bar_colour "$window") == 166,202,240 ]] || e2e_fail "the time bar shows before START"
e2e_key alt+s
bar_shown() { [[ $(bar_colour "$window") != 166,202,240 ]]; }
e2e_poll 5 bar_shown || e2e_fail "Alt+S did not press START"
# 49 answers close the series; then Alt+Z opens the save window, which names the exercise window
# as its owner (usable beside it, kept in front of it).
e2e_judge
save=""
for _ in $(seq 100); do
    xdotool key alt+z
    save=$(xdotool search --onlyvisible --name '^Zapisz swój wynik:$' 2>/dev/null | head -n 1 || true)
    [[ -n "$save" ]] && break
    sleep 0.05
done
[[ -n "$save" ]] || e2e_fail "Alt+Z did not open the save window"
owner=$(xprop -id "$save" WM_TRANSIENT_FOR | sed -n 's/.*window id # //p')
[[ -n "$owner" && $((owner)) == $((window)) ]] || e2e_fail "the save window is not marked as the exercise window's ('$owner')"
e2e_key alt+a # "&Anuluj"
e2e_wait_gone 'Zapisz swój wynik:'
# WSTECZ lies under the summary panel until "Od nowa" (Alt+O) brings the welcome back.
xdotool windowfocus --sync "$window"
e2e_key alt+w alt+o
xdotool search --onlyvisible --name '^Dodawanie$' >/dev/null || e2e_fail "Alt+W pressed the covered WSTECZ"
e2e_key alt+w
e2e_wait_gone Dodawanie

# Alt and a letter of the menu: R for "O programie", W for "Wyniki".
e2e_key alt+r
about=$(e2e_wait_window About)
expect_centred "$about" "the About window"
expect_owned "$about" "the About window"
e2e_key Return
e2e_wait_gone About

e2e_key alt+w
viewer=$(e2e_wait_window Oceny)
expect_centred "$viewer" "the grades viewer"
expect_owned "$viewer" "the grades viewer"
# OK holds the focus; seven Tabs go round the six boxes back to OK, which Space presses. A Tab
# typed into a box would keep the focus there instead.
e2e_key Tab Tab Tab Tab Tab Tab Tab space
e2e_wait_gone Oceny

# Every window has been shown now, and the menu's pictures still have no X windows of their own.
[[ $(e2e_child_windows "$menu") == 0 ]] || e2e_fail "the menu has $(e2e_child_windows "$menu") child windows"

# A stray K only moves the highlight to "Koniec", which screen readers hear as the focus; Alt+K
# ends the program.
e2e_key k
e2e_wait_atspi Image7 focused
e2e_poll 5 last_focus Image7 || e2e_fail "no focus event for the highlight: $(cat "$E2E_TMP/focus.log")"
kill -0 "$APP_PID" || e2e_fail "a stray K ended the program"
e2e_key alt+k
e2e_expect_exit 0 '"Koniec"'

# Without a window manager: nothing frames the windows, and they are centred as they are.
kill "$E2E_WM_PID"
wait "$E2E_WM_PID" 2>/dev/null || true
xprop -root -remove _NET_SUPPORTING_WM_CHECK
e2e_start_app
menu=$(e2e_wait_menu)
expect_centred "$menu" "the menu without a window manager"
xdotool windowfocus --sync "$menu"
wait_focused "$menu"
e2e_key alt+r
about=$(e2e_wait_window About)
expect_centred "$about" "the About window without a window manager"
e2e_pass
