#!/usr/bin/env bash
# installed_program_test.sh DEB CLOSE_WINDOW
# Unpacks the Debian package into a scratch root, starts the installed
# program on a private X server, closes its window as a window manager would,
# and expects a clean exit: status 0, no question asked, nothing printed.
set -euo pipefail
deb=$1
close_window=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

dpkg -x "$deb" "$work/root"
# What a desktop session provides; without it Qt warns about the runtime dir.
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    "$1/root/usr/bin/tavrel" >"$1/stdout" 2>"$1/stderr" </dev/null &
    program=$!
    if ! "$2" Tavrel 30; then
        kill "$program"
        exit 1
    fi
    # A program that asked a question would not exit; give it ten seconds.
    for _ in $(seq 100); do
        kill -0 "$program" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$program" 2>/dev/null; then
        kill "$program"
        echo "still running after its window was closed" >"$1/status"
        exit 1
    fi
    wait "$program" && echo 0 >"$1/status" || echo "exit status $?" >"$1/status"
' _ "$work" "$close_window"

status=$(cat "$work/status")
failed=0
if [[ "$status" != 0 ]]; then
    echo "FAIL: $status"; failed=1
fi
for stream in stdout stderr; do
    if [[ -s "$work/$stream" ]]; then
        echo "FAIL: the program printed on $stream:"; sed 's/^/    /' "$work/$stream"; failed=1
    fi
done
[[ $failed == 0 ]] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $failed
