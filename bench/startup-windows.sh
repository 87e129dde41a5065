#!/usr/bin/env bash
# Start-up comparison of the Win32 front-end under Wine: Tavrel.exe side by
# side with a bare Win32 window (bench/reference/bare_window_win32.cpp), in
# interleaved, rotated rounds on one private Xvfb and one Wine prefix of the
# comparison's own. Prints per program the median (min-max) time to the drawn
# window and to the last change of its first frames, the processor time it
# took to be drawn and its peak RSS; then the ratios to the bare window: what
# Tavrel costs beyond the least any Win32 window costs under the same Wine
# (the goal is 1.5x the bare window's time at most).
#   bench/startup-windows.sh [ROUNDS] [TAVREL_EXE]
# ROUNDS defaults to 15, TAVREL_EXE to build-win64/app/win32/Tavrel.exe
# (scripts/build-windows.sh); TAVREL_TITLE names another program's window.
# The bare window, the probe and the prefix go to build-win64/startup (or
# $STARTUP_OUT).
# Needs: wine (with wine32:i386 for a 32-bit Tavrel.exe),
# g++-mingw-w64-x86-64-posix, and scripts/install-deps.sh --bench.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source-path=SCRIPTDIR source=startup-common.sh
source "$root/bench/startup-common.sh"
rounds=${1:-15}
tavrel=$(realpath -m "${2:-$root/build-win64/app/win32/Tavrel.exe}")
out=${STARTUP_OUT:-$root/build-win64/startup}
title=${TAVREL_TITLE:-Tavrel} # the window title the probe waits for

for tool in wine wineserver x86_64-w64-mingw32-g++-posix; do
    if ! command -v "$tool" >/dev/null; then
        echo "$tool is missing: apt-get install wine g++-mingw-w64-x86-64-posix" >&2
        exit 1
    fi
done
if [[ ! -f $tavrel ]]; then
    echo "no $tavrel: build it with scripts/build-windows.sh, or name an .exe" >&2
    exit 1
fi
"$root/scripts/install-deps.sh" --bench

probe=$(startup_build_probe "$out")
bare=$out/bare_window.exe
bare_source=$root/bench/reference/bare_window_win32.cpp
if [[ ! -f $bare || $bare_source -nt $bare ]]; then
    x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -Wall -Wextra -Wpedantic -Wconversion \
        -Wsign-conversion -Wshadow -Werror -static -municode -mwindows -s \
        "$bare_source" -o "$bare"
fi

# Wine's own noise off: no debug output, no offer to install Mono or Gecko,
# no crash debugger that would wait for ever.
export WINEPREFIX=$out/wine-prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=,winedbg.exe=d"
export LANG=C.UTF-8
mkdir -p "$WINEPREFIX"

stop_all() {
    wineserver -k 2>/dev/null || true
    startup_stop_servers
}
trap stop_all EXIT
startup_start_xvfb "$out"

# Like a Windows session already logged in: one persistent wineserver with
# the prefix's services and desktop process booted before any timing, so
# neither program pays for them. Without -p the server (and with it the
# services) would go away between runs and the next start would boot them
# again inside its clock.
wineserver -k 2>/dev/null || true
wineserver -p
wine wineboot >/dev/null 2>&1

# Ended by SIGKILL: an orderly close makes Wine wait about 2 s for a window
# manager that is not there, and closing is not what is measured.
measure() {
    case $1 in
    bare) "$probe" --title Bare --end kill -- wine "$bare" ;;
    tavrel) "$probe" --title "$title" --end kill -- wine "$tavrel" ;;
    esac
}

results=$out/results.txt
startup_rounds "$rounds" "$results" measure bare tavrel
startup_table "$results" "bare=bare Win32 window" "tavrel=Tavrel.exe"
echo
# Ratios of the medians, then (in brackets) the median of each round's own
# ratio, the steadier of the two on a busy machine.
ratios() {
    echo "$(startup_ratio "$results" "$1" tavrel bare)x" \
        "($(startup_paired_ratio "$results" "$1" tavrel bare)x)"
}
echo "drawn:    Tavrel.exe $(ratios ui_ms) the bare window (goal: 1.5x at most)"
echo "CPU:      Tavrel.exe $(ratios cpu_ms) the bare window"
echo "peak RSS: Tavrel.exe $(ratios rss_kb) the bare window"
echo "(each run: $results)"
