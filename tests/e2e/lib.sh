# Shared harness for the end-to-end tests: a private X server with a window manager, a private
# D-Bus session with the accessibility bus, the real program, real X input.
# Usage in a test script:  source "$(dirname "$0")/lib.sh"; e2e_setup "$1"; ...; e2e_pass
set -euo pipefail

E2E_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
PY=/usr/bin/python3 # Debian's, which has pyatspi
E2E_PIDS=()
APP_PID=""

e2e_log() { echo "[e2e $(date +%T)] $*" >&2; }

e2e_fail() {
    e2e_log "FAIL: $*"
    e2e_screenshot "failure" || true
    # What the program said, and where it waits if it is still running, to tell a fault of the
    # program from one of the test.
    if [[ -n "${E2E_TMP:-}" && -s "$E2E_TMP/app.log" ]]; then
        e2e_log "the program's output:"
        tail -n 20 "$E2E_TMP/app.log" >&2
    fi
    if [[ -n "$APP_PID" ]] && kill -0 "$APP_PID" 2>/dev/null; then
        e2e_log "the program still runs, waiting in: $(tr '\0' ' ' </proc/"$APP_PID"/wchan 2>/dev/null)"
    fi
    exit 1
}

# e2e_kill_tree <pid>: ends the process and every process it started that still runs under it.
e2e_kill_tree() {
    local child
    for child in $(pgrep -P "$1" 2>/dev/null); do e2e_kill_tree "$child"; done
    kill "$1" 2>/dev/null && E2E_ENDED+=("$1")
    return 0
}
E2E_ENDED=()

e2e_cleanup() {
    local rc=$?
    [[ -n "$APP_PID" ]] && e2e_kill_tree "$APP_PID"
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do e2e_kill_tree "${E2E_PIDS[$i]}"; done
    [[ -n "${DBUS_SESSION_BUS_PID:-}" ]] && kill "$DBUS_SESSION_BUS_PID" 2>/dev/null || true
    # What has not ended ten seconds after it was asked to is killed: a compositor that hangs on
    # its way out must not hold the test.
    local deadline=$((SECONDS + 10)) pid
    while ((SECONDS < deadline)) && kill -0 "${E2E_ENDED[@]}" 2>/dev/null; do sleep 0.1; done
    for pid in "${E2E_ENDED[@]}"; do kill -KILL "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    [[ -n "${E2E_KEEP:-}" ]] || rm -rf "$E2E_TMP"
    exit "$rc"
}

# e2e_setup <path to cyfrolia>: copies the program and its files into a private folder
# ($E2E_PROGRAM_DIR), starts Xvfb, openbox and the session bus.
e2e_setup() {
    e2e_copy_program "$1"
    e2e_session
}

# e2e_copy_program <path to cyfrolia>: the program, its outline and the results files in a private
# folder ($E2E_PROGRAM_DIR) under the test's own temporary folder.
e2e_copy_program() {
    local binary=$(readlink -f "$1")
    E2E_TMP=$(mktemp -d /tmp/cyfrolia-e2e.XXXXXX)
    trap e2e_cleanup EXIT
    E2E_PROGRAM_DIR="$E2E_TMP/program"
    mkdir -p "$E2E_PROGRAM_DIR"
    cp "$binary" "$E2E_PROGRAM_DIR/"
    local build_dir=$(dirname "$binary")
    for f in "$build_dir"/forma.bmp "$build_dir"/wyniki_kl_*.txt; do
        [[ -e "$f" ]] && cp "$f" "$E2E_PROGRAM_DIR/"
    done
    E2E_BIN="$E2E_PROGRAM_DIR/$(basename "$binary")"
}

# e2e_setup_installed <command on PATH>: runs an installed copy where it lies; $E2E_PROGRAM_DIR
# is the folder of the executable the command leads to.
e2e_setup_installed() {
    E2E_TMP=$(mktemp -d /tmp/cyfrolia-e2e.XXXXXX)
    trap e2e_cleanup EXIT
    E2E_BIN=$1
    E2E_PROGRAM_DIR=$(dirname "$(readlink -f "$1")")
    e2e_session
}

# The private X server, window manager and session bus.
e2e_session() {
    e2e_xvfb 1024x768x24
    # The Polish letters get keys of their own. Without them xdotool types each one by remapping
    # a spare key for a moment, and a busy program may read that key after the next remapping.
    local letter letters=()
    for letter in aogonek cacute eogonek lstroke nacute oacute sacute zacute zabovedot; do
        letters+=(-e "keycode any = $letter ${letter^}")
    done
    xmodmap "${letters[@]}" || e2e_fail "the Polish letters got no keys"

    e2e_session_bus
    openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1 &
    E2E_WM_PID=$!
    E2E_PIDS+=($!)
    # Ready when the window manager has announced itself.
    e2e_poll 20 e2e_wm_ready || e2e_fail "the window manager did not start"
    export QT_QPA_PLATFORM=xcb
    e2e_accessibility
    export XDG_RUNTIME_DIR="$E2E_TMP/run"
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
}

# e2e_xvfb <width>x<height>x<depth>: a private Xvfb on a display it picks free itself; sets DISPLAY.
e2e_xvfb() {
    # Xvfb reports the number it took, so parallel runs never collide. Keys never repeat: on a busy
    # machine xdotool may hold a key long enough for the server to repeat it, and a repeated Return
    # is one judgement too many (the test of a held key turns repeating on for itself). The server
    # never resets when its last client leaves, which would refuse the next one while it starts over.
    local fd_file="$E2E_TMP/display"
    rm -f "$fd_file"
    Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp -noreset -ardelay 65535 -arinterval 65535 \
        3>"$fd_file" >"$E2E_TMP/xvfb.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_poll 20 e2e_display_reported "$fd_file" || e2e_fail "Xvfb did not report its display: $(cat "$E2E_TMP/xvfb.log")"
    export DISPLAY=":$(head -n 1 "$fd_file")"
    e2e_poll 20 xdpyinfo || e2e_fail "Xvfb did not start on $DISPLAY: $(cat "$E2E_TMP/xvfb.log")"
}

# A private session bus, and the accessibility bus on it.
e2e_session_bus() {
    eval "$(dbus-launch --sh-syntax)"
    export DBUS_SESSION_BUS_ADDRESS DBUS_SESSION_BUS_PID
    /usr/libexec/at-spi-bus-launcher --launch-immediately >"$E2E_TMP/atspi.log" 2>&1 &
    E2E_PIDS+=($!)
    e2e_poll 20 dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
        || e2e_fail "the accessibility bus did not start"
}

# The program on the accessibility bus, with its controls' names there, where atspi.py finds them.
e2e_accessibility() {
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 CYFROLIA_TEST_IDS=1 NO_AT_BRIDGE=0
}

# e2e_poll <timeout s> <command...>: runs the command until it succeeds or the time is up.
e2e_poll() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@" >/dev/null 2>&1; do
        ((SECONDS < deadline)) || return 1
        sleep 0.05
    done
}

# A whole line: Xvfb writes the number and then a line break.
e2e_display_reported() { [[ $(tail -c 1 "$1" 2>/dev/null | od -An -c) == *'\n'* ]]; }

e2e_wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }

# e2e_start_app [current directory]: starts the program (from its own folder by default).
e2e_start_app() {
    local cwd=${1:-$E2E_PROGRAM_DIR}
    (cd "$cwd" && exec "$E2E_BIN") >"$E2E_TMP/app.log" 2>&1 &
    APP_PID=$!
}

# e2e_find_window <exact title> [type]: the id of a shown window of that title, and of that
# _NET_WM_WINDOW_TYPE (NORMAL, DIALOG) if one is given.
e2e_find_window() {
    local id
    for id in $(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null); do
        if [[ -z "${2:-}" ]] || xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q "_NET_WM_WINDOW_TYPE_$2"; then
            echo "$id"
            return 0
        fi
    done
    return 1
}

# e2e_wait_window <exact title> [timeout s] [type]: prints the window id once it is mapped.
e2e_wait_window() {
    local title=$1 id deadline=$((SECONDS + ${2:-20}))
    while ((SECONDS < deadline)); do
        id=$(e2e_find_window "$title" "${3:-}" || true)
        [[ -n "$id" ]] && { echo "$id"; return 0; }
        sleep 0.05
    done
    e2e_fail "window \"$title\" did not appear"
}

# The menu and the error messages share the application's title; the menu is the normal window.
E2E_TITLE="Cyfrolia 1.0"
e2e_wait_menu() { e2e_wait_window "$E2E_TITLE" 20 NORMAL; }
e2e_wait_message() { e2e_wait_window "$E2E_TITLE" 20 DIALOG; }
e2e_wait_message_gone() { e2e_wait_gone "$E2E_TITLE" 20 DIALOG; }

# e2e_wait_active <window id> [timeout s]: waits until the window manager has given it the focus,
# so that keys reach it.
e2e_wait_active() {
    e2e_poll "${2:-20}" e2e_is_active "$1" || e2e_fail "window $1 did not get the focus"
}
e2e_is_active() { [[ $(xdotool getactivewindow 2>/dev/null) == "$1" ]]; }

# e2e_wait_focused <window id>: waits until the window has the keyboard's focus.
e2e_wait_focused() {
    e2e_poll 20 e2e_is_focused "$1" || e2e_fail "window $1 did not get the keyboard"
}
e2e_is_focused() { [[ $(xdotool getwindowfocus 2>/dev/null) == "$1" ]]; }

# e2e_wait_gone <exact title> [timeout s] [type]
e2e_wait_gone() {
    local title=$1 deadline=$((SECONDS + ${2:-20}))
    while ((SECONDS < deadline)); do
        e2e_find_window "$title" "${3:-}" >/dev/null || return 0
        sleep 0.05
    done
    e2e_fail "window \"$title\" is still shown"
}

# e2e_window_origin <id>: "x y" of the window's client area on the screen.
e2e_window_origin() {
    [[ -n "$1" ]] || e2e_fail "no window to find on the screen" # xwininfo would wait for a click
    xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} END{print x, y}'
}

# e2e_child_windows <id>: how many X windows the window holds; the program's controls have none of
# their own, so no stray one can take a click meant for the control beneath it.
e2e_child_windows() { xwininfo -children -id "$1" | sed -n 's/^ *\([0-9]*\) child.*/\1/p'; }

# e2e_click <window id> <x> <y> [button]: a real click at client coordinates of the window.
e2e_click() {
    local id=$1 x=$2 y=$3 button=${4:-1} ox oy
    read -r ox oy < <(e2e_window_origin "$id")
    xdotool mousemove --sync $((ox + x)) $((oy + y)) click "$button"
}

# e2e_key <keysym...>: real key presses to the focused window.
e2e_key() { xdotool key --delay 40 "$@"; }

# e2e_type <text>: real typing, Unicode included.
e2e_type() { xdotool type --delay 60 -- "$1"; }

# e2e_screenshot <name>: saves the whole screen as $E2E_TMP/<name>.png (and in $E2E_SHOTS if set).
e2e_screenshot() {
    [[ -n "${DISPLAY:-}" ]] || return 0
    if [[ -n "${E2E_DESKTOP:-}" ]]; then
        e2e_desktop_screenshot "$E2E_TMP/$1.png" || return 0
    else
        import -window root "$E2E_TMP/$1.png" 2>/dev/null || return 0
    fi
    [[ -n "${E2E_SHOTS:-}" ]] && mkdir -p "$E2E_SHOTS" && cp "$E2E_TMP/$1.png" "$E2E_SHOTS/" || true
}

# e2e_atspi <command> [args]: reads what the program shows through the accessibility bus
# (see atspi.py for the commands; a test of another window names its own script in E2E_ATSPI).
e2e_atspi() { "$PY" "$E2E_DIR/${E2E_ATSPI:-atspi.py}" "$@"; }

# e2e_wait_atspi <expected output> <command> [args]: polls e2e_atspi until it prints the text.
e2e_wait_atspi() {
    local expected=$1 out="" deadline=$((SECONDS + 20))
    shift
    while ((SECONDS < deadline)); do
        out=$(e2e_atspi "$@" 2>/dev/null || true)
        [[ "$out" == "$expected" ]] && return 0
        sleep 0.05
    done
    e2e_fail "accessibility read of '$*' gave '$out', expected '$expected'"
}

# e2e_judge: has every problem left in the exercise window judged, one by one, by a wrong answer
# and Return while the problem's time bar has time left (by the program at full bar otherwise).
e2e_judge() { e2e_atspi judge || e2e_fail "the series did not end"; }

# e2e_wrong_addition_series: from the menu, the addition window for class I and a whole series of
# empty answers, up to the summary's grade "0"; sets `menu` and `exercise` to the windows' ids.
e2e_wrong_addition_series() {
    menu=$(e2e_wait_menu)
    e2e_click "$menu" 212 107 # "Dodawanie"
    local chooser
    chooser=$(e2e_wait_window "Poziom")
    e2e_click "$chooser" 208 196 # OK, "I klasa" is checked
    e2e_wait_gone "Poziom"
    exercise=$(e2e_wait_window "Dodawanie")
    e2e_click "$exercise" 316 299 # START
    e2e_wait_active "$exercise"
    # Every answer is wrong and judged at once; 49 of them end the series.
    e2e_judge
    e2e_wait_atspi 0 text ocena
}

# e2e_answer <+|-|*|/>: the right result of the problem on screen, typed and confirmed with Return
# (on the next problem if this one's time is nearly up).
e2e_answer() { e2e_atspi answer "$1" || e2e_fail "no problem was answered"; }

# e2e_wait_exit [timeout s]: waits for the program to end and sets E2E_RC to its exit code.
# It must run in the shell that started the program (never in $(...)), which alone can wait for it.
e2e_wait_exit() {
    local deadline=$((SECONDS + ${1:-20}))
    while kill -0 "$APP_PID" 2>/dev/null; do
        ((SECONDS < deadline)) || e2e_fail "the program did not end"
        sleep 0.05
    done
    E2E_RC=0
    wait "$APP_PID" || E2E_RC=$?
    APP_PID=""
}

# e2e_expect_exit <code> <what>: waits for the program to end with that exit code.
e2e_expect_exit() {
    e2e_wait_exit
    [[ "$E2E_RC" == "$1" ]] || e2e_fail "$2 ended the program with code $E2E_RC"
}

e2e_pass() { e2e_log "PASS: $(basename "$0")"; }
