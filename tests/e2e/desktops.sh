# The desktops Debian ships, for the end-to-end tests: GNOME's mutter and KDE's KWin started
# headless, weston nested in a private Xvfb, each a Wayland compositor with Xwayland, and its own
# runtime folder, session bus and names. Real input goes through the compositor's own seat:
# mutter's remote desktop service, KWin's fake input, and for weston the outer X server's keyboard
# and mouse, which weston takes as any user's.
# Usage: source lib.sh and this; e2e_setup_desktop <cyfrolia> <mutter|kwin|weston>; ...

# e2e_desktop_namespace <compositor> <the script's arguments...>: KWin's binary carries a file
# capability that a sandbox's bounding set may lack, and in a user namespace of its own it starts all
# the same. The whole test then runs in that namespace with it: KWin reads who its clients are,
# the input helper among them, only there. Call it first; it starts the script over inside.
e2e_desktop_namespace() {
    local desktop=$1
    shift
    if [[ "$desktop" == kwin && -z "${E2E_USER_NAMESPACE:-}" ]]; then
        exec env E2E_USER_NAMESPACE=1 unshare --user --map-root-user bash "$0" "$@"
    fi
}

# e2e_setup_desktop <path to cyfrolia> <compositor>: the program copied as e2e_setup does, the
# compositor running, and DISPLAY (its Xwayland), WAYLAND_DISPLAY and XDG_RUNTIME_DIR set as a
# session of it sets them. QT_QPA_PLATFORM is left unset: the platform is the program's choice.
e2e_setup_desktop() {
    E2E_DESKTOP=$2
    e2e_copy_program "$1"
    export XDG_RUNTIME_DIR="$E2E_TMP/run"
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
    # The compositor's private settings and caches, never the user's.
    export XDG_CONFIG_HOME="$E2E_TMP/config" XDG_CACHE_HOME="$E2E_TMP/cache" XDG_DATA_HOME="$E2E_TMP/data"
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME/applications"
    unset DISPLAY WAYLAND_DISPLAY XAUTHORITY QT_QPA_PLATFORM
    e2e_session_bus

    # The compositor runs this once it is ready: it writes down the session's names and stays
    # until the clean-up ends it, as a desktop session would.
    local ready="$E2E_TMP/session.sh"
    cat >"$ready" <<EOF
#!/bin/sh
printf 'DISPLAY=%s\nWAYLAND_DISPLAY=%s\nXAUTHORITY=%s\n' "\$DISPLAY" "\$WAYLAND_DISPLAY" "\${XAUTHORITY:-}" >"$E2E_TMP/session.new"
mv "$E2E_TMP/session.new" "$E2E_TMP/session.env"
exec sleep infinity
EOF
    chmod +x "$ready"
    # The socket's name is the test's own, in a runtime folder of its own.
    local socket="cyfrolia-$E2E_DESKTOP"
    case "$E2E_DESKTOP" in
    mutter)
        mutter --headless --wayland --virtual-monitor 1280x1024 --wayland-display="$socket" -- "$ready" \
            >"$E2E_TMP/compositor.log" 2>&1 &
        ;;
    kwin)
        # KWin gives its fake input only to programs whose desktop entry asks for it, and knows a
        # program by its executable: the input helper runs on a Python of its own.
        E2E_INPUT_PYTHON="$E2E_TMP/cyfrolia-e2e-input"
        cp "$(readlink -f "$PY")" "$E2E_INPUT_PYTHON"
        cat >"$XDG_DATA_HOME/applications/cyfrolia-e2e-input.desktop" <<EOF
[Desktop Entry]
Type=Application
Name=Cyfrolia end-to-end input
Exec=$E2E_INPUT_PYTHON $E2E_DIR/compositor_input.py
NoDisplay=true
X-KDE-Wayland-Interfaces=org_kde_kwin_fake_input
EOF
        kbuildsycoca5 --noincremental >"$E2E_TMP/sycoca.log" 2>&1 || e2e_fail "no service cache for KWin"
        KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1 kwin_wayland --virtual --xwayland --socket "$socket" \
            --width 1280 --height 1024 --exit-with-session "$ready" >"$E2E_TMP/compositor.log" 2>&1 &
        ;;
    weston)
        e2e_xvfb 1280x1024x24
        E2E_OUTER_DISPLAY=$DISPLAY
        # A desktop of one bright colour and no panel, so what shows of it stands out.
        printf '[core]\nidle-time=0\n[shell]\nbackground-color=0xffff00ff\npanel-position=none\n[autolaunch]\npath=%s\n' \
            "$ready" >"$E2E_TMP/weston.ini"
        weston --config="$E2E_TMP/weston.ini" --backend=x11-backend.so --use-pixman --width=1280 \
            --height=1024 --socket="$socket" --xwayland --idle-time=0 >"$E2E_TMP/compositor.log" 2>&1 &
        unset DISPLAY
        ;;
    *) e2e_fail "no desktop $E2E_DESKTOP" ;;
    esac
    E2E_PIDS+=($!)
    e2e_poll 60 test -s "$E2E_TMP/session.env" ||
        e2e_fail "$E2E_DESKTOP did not start: $(tail -n 20 "$E2E_TMP/compositor.log")"
    local line
    while IFS= read -r line; do export "${line?}"; done <"$E2E_TMP/session.env"
    [[ -n "$XAUTHORITY" ]] || unset XAUTHORITY
    e2e_poll 30 xdpyinfo || e2e_fail "Xwayland of $E2E_DESKTOP does not answer on $DISPLAY"
    e2e_poll 30 e2e_wm_ready || e2e_fail "the X11 window manager of $E2E_DESKTOP did not start"
    [[ "$E2E_DESKTOP" != weston ]] || e2e_weston_pointer_home
    e2e_log "$E2E_DESKTOP: Wayland $WAYLAND_DISPLAY, Xwayland $DISPLAY"
    if [[ "$E2E_DESKTOP" != weston ]]; then
        # One seat for the whole test, as one user's mouse and keyboard.
        E2E_INPUT_SOCKET="$E2E_TMP/input.socket"
        "${E2E_INPUT_PYTHON:-$PY}" "$E2E_DIR/compositor_input.py" serve "$E2E_DESKTOP" "$E2E_INPUT_SOCKET" \
            >"$E2E_TMP/input.log" 2>&1 &
        E2E_PIDS+=($!)
        e2e_poll 20 test -S "$E2E_INPUT_SOCKET" || e2e_fail "no input for $E2E_DESKTOP: $(cat "$E2E_TMP/input.log")"
    fi
    e2e_accessibility
}

# weston moves its pointer by the outer pointer's steps, and each stops at the edges of the screen
# on its own: to the far corner and back to the top-left one, both end there together.
e2e_weston_pointer_home() {
    DISPLAY=$E2E_OUTER_DISPLAY xdotool mousemove --sync 1279 1023 mousemove --sync 0 0
}

# weston moves its pointer by the outer pointer's steps, and each stops at the edges of the screen
# on its own: to the far corner and back to the top-left one, both end there together.
e2e_weston_pointer_home() {
    DISPLAY=$E2E_OUTER_DISPLAY xdotool mousemove --sync 1279 1023 mousemove --sync 0 0
}

# e2e_desktop_input <step...>: real input through the compositor's seat, in screen coordinates
# (see compositor_input.py for the steps).
e2e_desktop_input() {
    if [[ "$E2E_DESKTOP" != weston ]]; then
        "$PY" "$E2E_DIR/compositor_input.py" send "$E2E_INPUT_SOCKET" "$@"
        return
    fi
    # weston takes the outer X server's input as its seat's.
    local step x="" y=""
    while (($#)); do
        step=$1
        shift
        case "$step" in
        move) x=$1 y=$2 && DISPLAY=$E2E_OUTER_DISPLAY xdotool mousemove --sync "$1" "$2" && shift 2 ;;
        settle)
            e2e_poll 20 e2e_xwayland_pointer_at "$x" "$y" || e2e_fail "the pointer did not reach $x, $y"
            # A press on a window the pointer has just come to is lost unless the pointer moves on
            # it first: a pixel there and back.
            DISPLAY=$E2E_OUTER_DISPLAY xdotool mousemove --sync $((x + 1)) "$y" mousemove --sync "$x" "$y"
            ;;
        follow)
            e2e_follow "$1" "$x" "$y" "$2" "$3"
            x=$((x + $2)) y=$((y + $3))
            shift 3
            ;;
        press) DISPLAY=$E2E_OUTER_DISPLAY xdotool mousedown 1 ;;
        release) DISPLAY=$E2E_OUTER_DISPLAY xdotool mouseup 1 ;;
        key) DISPLAY=$E2E_OUTER_DISPLAY xdotool key "$1" && shift ;;
        hold)
            # The length of the press is what is tested.
            DISPLAY=$E2E_OUTER_DISPLAY xdotool keydown "$1" sleep "$(awk -v ms="$2" 'BEGIN{print ms / 1000}')" keyup "$1"
            shift 2
            ;;
        esac
    done
}

e2e_xwayland_pointer_at() { [[ $(xdotool getmouselocation --shell | sed -n 's/^[XY]=//p' | tr '\n' ' ') == "$1 $2 " ]]; }
# e2e_follow <window> <x> <y> <dx> <dy>: as compositor_input.py's "follow", for weston's seat. The
# window is an X window, or "wayland" for the program's Wayland menu, seen in weston's output.
e2e_follow() {
    local window=$1 x=$2 y=$3 dx=$4 dy=$5 origin step part to_x to_y
    local deadline=$((SECONDS + 20))
    origin=$(e2e_follow_origin "$window")
    step=0
    while [[ $(e2e_follow_origin "$window") == "$origin" ]]; do
        ((SECONDS < deadline)) || e2e_fail "the window did not follow the pointer"
        step=$((step + 1))
        part=$((step < 10 ? step : 10))
        to_x=$((x + dx * part / 10 + (step > 10 ? step % 2 : 0))) to_y=$((y + dy * part / 10))
        DISPLAY=$E2E_OUTER_DISPLAY xdotool mousemove --sync "$to_x" "$to_y"
    done
    DISPLAY=$E2E_OUTER_DISPLAY xdotool mousemove --sync $((x + dx)) $((y + dy))
}
e2e_follow_origin() {
    if [[ "$1" == wayland ]]; then e2e_wayland_menu_origin; else e2e_window_origin "$1"; fi
}

# The program's Wayland menu where weston shows it: the inner page's top-left corner, at 16, 72 of
# the menu, is the first pixel of its colour.
e2e_wayland_menu_origin() {
    e2e_desktop_screenshot "$E2E_TMP/screen.png" || return 1
    convert "$E2E_TMP/screen.png" -depth 8 rgb:- | "$PY" -c '
import sys
w, px = 1280, sys.stdin.buffer.read()
i = px.find(bytes((210, 255, 232)))
while i >= 0 and i % 3:
    i = px.find(bytes((210, 255, 232)), i + 1)
if i < 0:
    sys.exit(1)
print(i // 3 % w - 16, i // 3 // w - 72)'
}

# The command atspi.py types answers with. Under weston, its seat; under mutter and KWin, the X
# keyboard of Xwayland, which an X window has from the moment it is shown: mutter hands its own
# seat's keyboard to an Xwayland window only some time after, and drops a key pressed before.
e2e_desktop_keys_command() {
    if [[ "$E2E_DESKTOP" == weston ]]; then
        echo "env DISPLAY=$E2E_OUTER_DISPLAY xdotool key"
    else
        echo "xdotool key"
    fi
}

# e2e_desktop_screenshot <file>: what the compositor shows, where it can be seen (weston's output in
# the outer X server, on a magenta desktop; KWin's through its screenshot service); false under
# mutter, which has no way to show it without a screen-casting service.
e2e_desktop_screenshot() {
    case "$E2E_DESKTOP" in
    weston) DISPLAY=$E2E_OUTER_DISPLAY import -window root "$1" 2>/dev/null ;;
    kwin) "$PY" "$E2E_DIR/kwin_screenshot.py" "$1" 2>/dev/null ;;
    *) return 1 ;;
    esac
}
