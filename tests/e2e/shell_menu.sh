#!/usr/bin/env bash
# The shaped main menu under a real X server: its outline, the class chooser before the first
# exercise, dragging by the inner page, "Koniec", closing by the window manager, and a missing
# outline file.
source "$(dirname "$0")/lib.sh"
e2e_setup "$1"

# pixel_at <x> <y>: the screen's colour there as "r,g,b".
pixel_at() {
    import -window root -crop "1x1+$1+$2" -depth 8 txt:- 2>/dev/null |
        sed -n '2s/^[^(]*(\([0-9]*\),\([0-9]*\),\([0-9]*\)).*/\1,\2,\3/p'
}

shape_extents() {
    xwininfo -id "$1" -shape | awk '/Window shape extents/{print $NF}'
}

# is_page <x> <y>: the inner page's colour is on the screen there (the face is painted).
is_page() { [[ $(pixel_at "$1" "$2") =~ ^(210,255,232|179,255,217)$ ]]; }
is_shaped() { [[ -n $(shape_extents "$1") && $(shape_extents "$1") != "446x495+0+0" ]]; }
# at_origin <id> <x> <y>: the window's client area starts there.
at_origin() { [[ $(e2e_window_origin "$1") == "$2 $3" ]]; }

e2e_start_app
menu=$(e2e_wait_menu)
read -r ox oy < <(e2e_window_origin "$menu")
e2e_log "menu at $ox,$oy"
e2e_poll 20 is_shaped "$menu" || e2e_fail "the menu is not shaped (extents '$(shape_extents "$menu")')"
e2e_poll 20 is_page $((ox + 60)) $((oy + 250)) || e2e_fail "the inner page is not shown: $(pixel_at $((ox + 60)) $((oy + 250)))"
e2e_screenshot menu

# Cut away: the corner and the gap between two rings, which the face paints white.
extents=$(shape_extents "$menu")
[[ -n "$extents" && "$extents" != "446x495+0+0" ]] || e2e_fail "the menu is not shaped (extents '$extents')"
corner=$(pixel_at "$ox" "$oy")
gap=$(pixel_at $((ox + 44)) $((oy + 10)))
page=$(pixel_at $((ox + 60)) $((oy + 250)))
[[ -n "$corner" && "$corner" != "255,255,255" && -n "$gap" && "$gap" != "255,255,255" ]] || e2e_fail "cut-away pixels show: corner $corner, gap $gap"
[[ "$page" == "210,255,232" || "$page" == "179,255,217" ]] || e2e_fail "the inner page is not shown: $page"

# The first operation asks for the class; Alt+K confirms it and the exercise window opens.
e2e_click "$menu" 212 107
chooser=$(e2e_wait_window Poziom)
e2e_wait_active "$chooser"
e2e_screenshot chooser
e2e_key alt+k
e2e_wait_gone Poziom
exercise=$(e2e_wait_window Dodawanie)
e2e_click "$exercise" 558 306 # WSTECZ
e2e_wait_gone Dodawanie
# A class is chosen now: the next operation goes straight to its window.
e2e_click "$menu" 212 155
exercise=$(e2e_wait_window Odejmowanie)
xdotool search --onlyvisible --name '^Poziom$' >/dev/null 2>&1 && e2e_fail "the chooser came again"
e2e_click "$exercise" 558 306
e2e_wait_gone Odejmowanie

# Drag by the inner page, in several steps, back and forth.
read -r ox oy < <(e2e_window_origin "$menu")
start_x=$((ox + 60)) start_y=$((oy + 200))
xdotool mousemove --sync "$start_x" "$start_y" mousedown 1
# The jump to -230,110 lands the pointer outside the window: the moves must still come.
for step in "-30 10" "-60 25" "-230 110" "-150 70" "-120 55"; do
    read -r dx dy <<<"$step"
    xdotool mousemove --sync $((start_x + dx)) $((start_y + dy))
done
xdotool mouseup 1
e2e_poll 20 at_origin "$menu" $((ox - 120)) $((oy + 55)) ||
    e2e_fail "dragged from $ox,$oy by -120,55 but the menu is at $(e2e_window_origin "$menu")"
nx=$((ox - 120)) ny=$((oy + 55))
# A drag with the right button does not move it.
xdotool mousemove --sync $((nx + 60)) $((ny + 200)) mousedown 3 mousemove --sync $((nx + 160)) $((ny + 260)) mouseup 3
read -r rx ry < <(e2e_window_origin "$menu")
[[ "$rx" == "$nx" && "$ry" == "$ny" ]] || e2e_fail "a right-button drag moved the menu to $rx,$ry"
xdotool key Escape 2>/dev/null || true

# "Koniec" ends the program with exit code 0.
e2e_click "$menu" 210 451
e2e_expect_exit 0 "Koniec"

# Closing the menu through the window manager ends the program too.
e2e_start_app
menu=$(e2e_wait_menu)
xdotool windowactivate --sync "$menu" 2>/dev/null || xdotool windowfocus --sync "$menu"
e2e_wait_active "$menu"
e2e_key alt+F4
e2e_expect_exit 0 "closing the menu"

# At every scale the outline is cut at the screen's own pixels: nowhere along it does the face's
# white show beside the black of the screen behind.
edge_white() {
    local x y w h
    read -r x y w h < <(xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
        /Width:/{w=$NF} /Height:/{h=$NF} END{print x, y, w, h}')
    import -window root -crop "$((w + 2))x$((h + 2))+$((x - 1))+$((y - 1))" -depth 8 rgb:- | "$PY" -c '
import sys
w, px = int(sys.argv[1]), sys.stdin.buffer.read()
at = lambda i: px[3 * i:3 * i + 3]
print(sum(at(i) == b"\xff" * 3 and b"\0" * 3 in (at(i - 1), at(i + 1), at(i - w), at(i + w))
          for i in range(w + 1, len(px) // 3 - w - 1)))' $((w + 2))
}
# The keyboard's highlight carries a ring at every scale, and only the keyboard's: the pointer over
# the page takes it away. Its dark line crosses x 212, y 84 of the menu, above "Dodawanie".
ring_shown() {
    local x y
    x=$(awk -v s="$scale" -v o="$ox" 'BEGIN{print int(o + 212 * s)}')
    y=$(awk -v s="$scale" -v o="$oy" 'BEGIN{print int(o + 84 * s)}')
    [[ $(pixel_at "$x" "$y") == 10,30,90 ]]
}
ring_gone() { ! ring_shown; }
for scale in 1 1.5 2; do
    QT_SCALE_FACTOR=$scale e2e_start_app
    menu=$(e2e_wait_menu)
    # Into the corner, so that the rings show even where the menu is taller than the screen.
    xdotool windowmove --sync "$menu" 1 1
    read -r ox oy < <(e2e_window_origin "$menu")
    page_x=$(awk -v s="$scale" -v o="$ox" 'BEGIN{print int(o + 60 * s)}')
    page_y=$(awk -v s="$scale" -v o="$oy" 'BEGIN{print int(o + 250 * s)}')
    e2e_poll 20 is_shaped "$menu" || e2e_fail "the menu at scale $scale is not shaped"
    e2e_poll 20 is_page "$page_x" "$page_y" || e2e_fail "the inner page is not shown at scale $scale"
    e2e_screenshot "menu_scale_$scale"
    white=$(edge_white "$menu")
    [[ "$white" == 0 ]] || e2e_fail "at scale $scale the outline shows $white white pixels of the face"
    e2e_wait_active "$menu"
    ring_gone || e2e_fail "a ring shows at scale $scale before any key"
    e2e_key Down
    e2e_poll 20 ring_shown || e2e_fail "no ring round the highlighted button at scale $scale"
    e2e_screenshot "focus_ring_scale_$scale"
    xdotool mousemove --sync "$page_x" "$page_y"
    e2e_poll 20 ring_gone || e2e_fail "the ring stays at scale $scale with the pointer on the page"
    kill "$APP_PID"
    e2e_wait_exit
done

# Without its outline file the menu reports it, then shows as a plain rectangle.
rm -f "$E2E_PROGRAM_DIR/forma.bmp"
e2e_start_app
error=$(e2e_wait_message)
e2e_wait_active "$error"
e2e_screenshot missing_mask
e2e_key Return
e2e_wait_message_gone
menu=$(e2e_wait_menu)
read -r ox oy < <(e2e_window_origin "$menu")
is_white() { [[ $(pixel_at "$1" "$2") == "255,255,255" ]]; }
e2e_poll 20 is_white "$ox" "$oy" || e2e_fail "the unshaped menu should show its white corner, got $(pixel_at "$ox" "$oy")"
e2e_find_window "$E2E_TITLE" DIALOG >/dev/null && e2e_fail "the error came twice"
extents=$(shape_extents "$menu")
[[ -z "$extents" || "$extents" == "446x495+0+0" ]] || e2e_fail "without a mask the menu should be whole, extents '$extents'"
e2e_click "$menu" 210 451
e2e_expect_exit 0 "Koniec"
e2e_pass
