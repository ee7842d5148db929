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
    exit 1
}

e2e_cleanup() {
    local rc=$?
    [[ -n "$APP_PID" ]] && kill "$APP_PID" 2>/dev/null || true
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do kill "${E2E_PIDS[$i]}" 2>/dev/null || true; done
    [[ -n "${DBUS_SESSION_BUS_PID:-}" ]] && kill "$DBUS_SESSION_BUS_PID" 2>/dev/null || true
    wait 2>/dev/null || true
    [[ -n "${E2E_KEEP:-}" ]] || rm -rf "$E2E_TMP"
    exit "$rc"
}

# e2e_setup <path to cyfrolia>: copies the program and its files into a private folder
# ($E2E_PROGRAM_DIR), starts Xvfb, openbox and the session bus.
e2e_setup() {
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
    e2e_session
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
    # Xvfb picks a free display itself and reports its number, so parallel runs never collide.
    local fd_file="$E2E_TMP/display"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fd_file" >"$E2E_TMP/xvfb.log" 2>&1 &
    E2E_PIDS+=($!)
    for _ in $(seq 200); do [[ -s "$fd_file" ]] && break; sleep 0.05; done
    [[ -s "$fd_file" ]] || e2e_fail "Xvfb did not report its display"
    export DISPLAY=":$(head -n 1 "$fd_file")"
    for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
    xdpyinfo >/dev/null 2>&1 || e2e_fail "Xvfb did not start"

    eval "$(dbus-launch --sh-syntax)"
    export DBUS_SESSION_BUS_ADDRESS DBUS_SESSION_BUS_PID
    /usr/libexec/at-spi-bus-launcher --launch-immediately >"$E2E_TMP/atspi.log" 2>&1 &
    E2E_PIDS+=($!)
    openbox --sm-disable >"$E2E_TMP/openbox.log" 2>&1 &
    E2E_PIDS+=($!)
    # The window manager is ready once it names its check window on the root; a program started
    # before would place its windows for a bare X server.
    for _ in $(seq 200); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
        sleep 0.05
    done
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' || e2e_log "openbox is not running"
    export QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1
    # The program shows its controls' names on the bus, where atspi.py finds them.
    export CYFROLIA_TEST_IDS=1
    export NO_AT_BRIDGE=0 XDG_RUNTIME_DIR="$E2E_TMP/run"
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
}

# e2e_start_app [current directory]: starts the program (from its own folder by default).
e2e_start_app() {
    local cwd=${1:-$E2E_PROGRAM_DIR}
    (cd "$cwd" && exec "$E2E_BIN") >"$E2E_TMP/app.log" 2>&1 &
    APP_PID=$!
}

# e2e_wait_window <exact title> [timeout s]: prints the window id once it is mapped.
e2e_wait_window() {
    local title=$1 timeout=${2:-10} id
    for _ in $(seq $((timeout * 20))); do
        id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1 || true)
        [[ -n "$id" ]] && { echo "$id"; return 0; }
        sleep 0.05
    done
    e2e_fail "window \"$title\" did not appear"
}

# e2e_wait_gone <exact title> [timeout s]
e2e_wait_gone() {
    local title=$1 timeout=${2:-10}
    for _ in $(seq $((timeout * 20))); do
        xdotool search --onlyvisible --name "^${title}\$" >/dev/null 2>&1 || return 0
        sleep 0.05
    done
    e2e_fail "window \"$title\" is still shown"
}

# e2e_window_origin <id>: "x y" of the window's client area on the screen.
e2e_window_origin() {
    xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF} END{print x, y}'
}

# e2e_click <window id> <x> <y> [button]: a real click at client coordinates of the window.
e2e_click() {
    local id=$1 x=$2 y=$3 button=${4:-1} ox oy
    read -r ox oy < <(e2e_window_origin "$id")
    xdotool mousemove --sync $((ox + x)) $((oy + y))
    sleep 0.05
    xdotool click "$button"
    sleep 0.1
}

# e2e_key <keysym...>: real key presses to the focused window.
e2e_key() { xdotool key --delay 40 "$@"; sleep 0.1; }

# e2e_type <text>: real typing, Unicode included.
e2e_type() { xdotool type --delay 60 -- "$1"; sleep 0.1; }

# e2e_screenshot <name>: saves the whole screen as $E2E_TMP/<name>.png (and in $E2E_SHOTS if set).
e2e_screenshot() {
    [[ -n "${DISPLAY:-}" ]] || return 0
    import -window root "$E2E_TMP/$1.png" 2>/dev/null || return 0
    [[ -n "${E2E_SHOTS:-}" ]] && mkdir -p "$E2E_SHOTS" && cp "$E2E_TMP/$1.png" "$E2E_SHOTS/" || true
}

# e2e_atspi <command> [args]: reads what the program shows through the accessibility bus
# (see atspi.py for the commands).
e2e_atspi() { "$PY" "$E2E_DIR/atspi.py" "$@"; }

# e2e_wait_atspi <expected output> <command> [args]: polls e2e_atspi until it prints the text.
e2e_wait_atspi() {
    local expected=$1 out=""
    shift
    for _ in $(seq 60); do
        out=$(e2e_atspi "$@" 2>/dev/null || true)
        [[ "$out" == "$expected" ]] && return 0
        sleep 0.1
    done
    e2e_fail "accessibility read of '$*' gave '$out', expected '$expected'"
}

# e2e_wait_exit [timeout s]: waits for the program to end and prints its exit code.
e2e_wait_exit() {
    local timeout=${1:-10}
    for _ in $(seq $((timeout * 20))); do
        if ! kill -0 "$APP_PID" 2>/dev/null; then
            local rc=0
            wait "$APP_PID" || rc=$?
            APP_PID=""
            echo "$rc"
            return 0
        fi
        sleep 0.05
    done
    e2e_fail "the program did not end"
}

e2e_pass() { e2e_log "PASS: $(basename "$0")"; }
