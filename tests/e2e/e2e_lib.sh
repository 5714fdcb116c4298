# Shared steps of the end-to-end tests: run the real program in the X server of xvfb-run.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
work=$(mktemp -d)
program_pid=
cleanup() {
    [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A settings store and runtime folder of the test's own.
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime XDG_CACHE_HOME=$work/cache
mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# start_program EXECUTABLE: starts it and waits for its main window; sets window_id.
start_program() {
    "$@" &
    program_pid=$!
    window_id=
    for _ in $(seq 100); do
        window_id=$(xdotool search --onlyvisible --name '^Parvilon$' 2>/dev/null | head -n 1 || true)
        [ -n "$window_id" ] && return 0
        kill -0 "$program_pid" 2>/dev/null || fail "the program ended before its window appeared"
        sleep 0.1
    done
    fail "no window titled Parvilon appeared"
}

# close_program: presses the close box and waits (at most 5 s) for the program to end.
close_program() {
    /usr/bin/python3 "$here/close_window.py" "$window_id"
    for _ in $(seq 50); do
        if ! kill -0 "$program_pid" 2>/dev/null; then
            wait "$program_pid" || fail "the program ended with status $?"
            program_pid=
            return 0
        fi
        sleep 0.1
    done
    fail "the program was still running 5 s after its window was closed"
}

# keys KEY...: presses keys in the main window (its mnemonics and shortcuts: alt+m loads the
# samples, F5 starts, ctrl+s saves as text, alt+x saves as a workbook).
keys() {
    xdotool windowactivate --sync "$window_id" 2>/dev/null ||
        xdotool windowfocus --sync "$window_id" 2>/dev/null || true
    sleep 0.2
    xdotool key "$@"
}

# wait_for_window TITLE-PATTERN: waits for a visible window other than the main window
# whose title matches, focuses it, and sets dialog_id.
wait_for_window() {
    dialog_id=
    for _ in $(seq 100); do
        for candidate in $(xdotool search --onlyvisible --name "$1" 2>/dev/null || true); do
            [ "$candidate" != "$window_id" ] && dialog_id=$candidate
        done
        [ -n "$dialog_id" ] && break
        sleep 0.1
    done
    [ -n "$dialog_id" ] || fail "no window titled $1 appeared"
    sleep 0.3
    xdotool windowfocus --sync "$dialog_id" 2>/dev/null || true
}

# wait_for_window_gone ID
wait_for_window_gone() {
    for _ in $(seq 100); do
        xdotool search --onlyvisible --name '.' 2>/dev/null | grep -qx "$1" || return 0
        sleep 0.1
    done
    fail "window $1 did not close"
}
