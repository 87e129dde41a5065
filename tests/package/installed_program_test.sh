#!/usr/bin/env bash
# installed_program_test.sh DEB xcb CLOSE_WINDOW
# installed_program_test.sh DEB wayland
# Unpacks the Debian package into a scratch root, starts the installed
# program on a private display server and expects a clean exit once it is
# asked to end: status 0, no question asked, nothing printed.
#   xcb      an X server (Xvfb); the window is closed as a window manager
#            would close it (WM_DELETE_WINDOW, by CLOSE_WINDOW).
#   wayland  a headless compositor (weston). Only the compositor could close
#            a Wayland window, so the test waits until the compositor shows
#            the window with its title and app id, then sends SIGTERM, as a
#            session does at log-out.
set -euo pipefail
deb=$1
platform=$2
close_window=${3:-}
work=$(mktemp -d)
cleanup() {
    [[ -n "${compositor:-}" ]] && kill "$compositor" 2>/dev/null && wait "$compositor" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

dpkg -x "$deb" "$work/root"
# What a desktop session provides; without it Qt warns about the runtime dir.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export QT_QPA_PLATFORM=$platform

# start_and_end PROGRAM_DIR ASK_TO_END...: starts the program, runs
# ASK_TO_END with its pid, then waits for it to exit; writes "0" or what
# went wrong to $work/status.
start_and_end() {
    local dir=$1
    shift
    "$dir/root/usr/bin/tavrel" >"$dir/stdout" 2>"$dir/stderr" </dev/null &
    local program=$!
    if ! "$@" "$program"; then
        kill "$program" 2>/dev/null
        echo "the window did not appear" >"$dir/status"
        return
    fi
    # A program that asked a question would not exit; give it ten seconds.
    for _ in $(seq 100); do
        kill -0 "$program" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$program" 2>/dev/null; then
        kill -KILL "$program"
        echo "still running after it was asked to end" >"$dir/status"
        return
    fi
    local status=0
    wait "$program" || status=$?
    [[ $status == 0 ]] && echo 0 >"$dir/status" || echo "exit status $status" >"$dir/status"
}

case "$platform" in
xcb)
    unset WAYLAND_DISPLAY
    # xvfb-run is a POSIX shell script, which drops exported functions.
    xvfb-run -a -s "-screen 0 1024x768x24" bash -c "$(declare -f start_and_end)"'
        close_window=$2
        close() { "$close_window" Tavrel 30; }
        start_and_end "$1" close
    ' _ "$work" "$close_window"
    ;;
wayland)
    unset DISPLAY
    export WAYLAND_DISPLAY=tavrel-test
    weston --no-config --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" \
        --idle-time=0 --debug --log="$work/compositor.log" &
    compositor=$!
    terminate_once_shown() {
        local program=$1
        for _ in $(seq 300); do
            if timeout 5 weston-debug scene-graph 2>/dev/null \
                | grep -q "top-level window 'Tavrel' of org.tavrel.Tavrel"; then
                kill -TERM "$program"
                return 0
            fi
            sleep 0.1
        done
        return 1
    }
    for _ in $(seq 100); do
        [[ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ]] && break
        sleep 0.1
    done
    start_and_end "$work" terminate_once_shown
    ;;
*)
    echo "unknown platform $platform" >&2
    exit 2
    ;;
esac

status=$(cat "$work/status")
failed=0
if [[ "$status" != 0 ]]; then
    echo "FAIL ($platform): $status"; failed=1
fi
for stream in stdout stderr; do
    if [[ -s "$work/$stream" ]]; then
        echo "FAIL ($platform): the program printed on $stream:"
        sed 's/^/    /' "$work/$stream"; failed=1
    fi
done
[[ $failed == 0 ]] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $failed
