#!/usr/bin/env bash
# Proves the README's first command as a newcomer meets it: scripts/run.sh
# runs on a private X server (Xvfb), a window titled "Tavrel" must appear,
# and closing it the way a window manager does (WM_DELETE_WINDOW) must end
# the command with status 0.
#   scripts/check-run-command.sh               in this tree
#   scripts/check-run-command.sh --fresh-clone in a fresh clone of HEAD, cold,
#                                              as CI runs it
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/common.sh"

work=$(mktemp -d)
cleanup() {
    [[ -n "${run_pid:-}" ]] && kill "$run_pid" 2>/dev/null
    [[ -n "${xvfb_pid:-}" ]] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

tree=$PWD
if [[ ${1:-} == --fresh-clone ]]; then
    tree=$work/clone
    git clone -q "$PWD" "$tree"
fi

# The closing tool the package tests use, compiled here so this script needs
# no build tree's inner paths (Xlib's headers and Xvfb come with the test
# command's packages).
g++ -std=c++20 -O1 -o "$work/close_window" tests/package/close_window.cpp -lX11

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
    [[ -s "$work/display" ]] && break
    sleep 0.1
done
[[ -s "$work/display" ]] || { cat "$work/xvfb.log"; echo "Xvfb did not start"; exit 1; }
export DISPLAY=:$(cat "$work/display")
unset WAYLAND_DISPLAY QT_QPA_PLATFORM
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

"$tree/scripts/run.sh" </dev/null >"$work/run.log" 2>&1 &
run_pid=$!
# Setting up and building may take a while on a machine that has not built
# yet; the window then appears within seconds.
if ! "$work/close_window" Tavrel 1800; then
    cat "$work/run.log"
    echo "scripts/run.sh showed no window titled Tavrel"
    exit 1
fi
status=0
wait "$run_pid" || status=$?
run_pid=
if [[ $status -ne 0 ]]; then
    cat "$work/run.log"
    echo "scripts/run.sh ended with status $status after its window was closed"
    exit 1
fi
echo "scripts/run.sh showed the Tavrel window and ended with status 0 when it was closed"
