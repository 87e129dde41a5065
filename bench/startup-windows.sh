#!/usr/bin/env bash
# Start-up comparison of the Win32 front-end under Wine: Tavrel.exe side by
# side with a plain Win32 form of the same 21 standard controls, fonts and
# picture (bench/reference/reference_form_win32.cpp) and a bare Win32 window
# (bench/reference/bare_window_win32.cpp), in interleaved, rotated rounds on
# one private Xvfb and one Wine prefix of the comparison's own. Prints per
# program the median (min-max) time to the drawn window and to the last
# change of its first frames, the processor time it took to be drawn and its
# peak RSS; then Tavrel.exe's ratios to the plain form (the goal: 1.05x at
# most on each) and to the bare window (the least any Win32 window costs
# under the same Wine).
#   bench/startup-windows.sh [ROUNDS] [TAVREL_EXE]
# ROUNDS defaults to 15. The programs are built with the win64 preset and
# installed (components windows_dist and windows_bench) into $STARTUP_OUT
# (build/startup-windows by default), beside the probe and the prefix;
# TAVREL_EXE names another Tavrel.exe instead, TAVREL_TITLE another window
# title.
# Needs: wine, g++-mingw-w64-x86-64-posix, and scripts/install-deps.sh --bench.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source-path=SCRIPTDIR source=startup-common.sh
source "$root/bench/startup-common.sh"
rounds=${1:-15}
out=$(realpath -m "${STARTUP_OUT:-$root/build/startup-windows}")
title=${TAVREL_TITLE:-Tavrel} # the window title the probe waits for

for tool in wine wineserver x86_64-w64-mingw32-g++-posix; do
    if ! command -v "$tool" >/dev/null; then
        echo "$tool is missing: apt-get install wine g++-mingw-w64-x86-64-posix" >&2
        exit 1
    fi
done
"$root/scripts/install-deps.sh" --bench

# The three programs, built by the Windows preset and installed as a user
# gets them: no path inside the build tree.
stage=$out/programs
(
    cd "$root"
    [[ -f build/win64/CMakeCache.txt ]] || cmake --preset win64 >/dev/null
    cmake --build build/win64 --parallel 2 --target tavrel_win32 bare_window_win32 \
        reference_form_win32 >/dev/null
)
rm -rf "$stage"
for component in windows_dist windows_bench; do
    cmake --install "$root/build/win64" --prefix "$stage" --component "$component" >/dev/null
done
if [[ -n ${2:-} ]]; then
    tavrel=$(realpath -m "$2")
else
    tavrel=$(find "$stage" -name Tavrel.exe -print -quit)
fi
bare=$stage/bare_window_win32.exe
form=$stage/reference_form_win32.exe
for program in "$tavrel" "$bare" "$form"; do
    [[ -f $program ]] || { echo "no $program" >&2; exit 1; }
done
probe=$(startup_build_probe "$out")

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
    form) "$probe" --title Reference --end kill -- wine "$form" ;;
    tavrel) "$probe" --title "$title" --end kill -- wine "$tavrel" ;;
    esac
}

results=$out/results.txt
startup_rounds "$rounds" "$results" measure bare form tavrel
startup_table "$results" "bare=bare Win32 window" "form=plain Win32 form" "tavrel=Tavrel.exe"
echo
echo "Tavrel.exe against the plain Win32 form (goal: 1.05x at most on each):"
echo "  drawn:    $(startup_ratios "$results" ui_ms form)"
echo "  CPU:      $(startup_ratios "$results" cpu_ms form)"
echo "  peak RSS: $(startup_ratios "$results" rss_kb form)"
echo "Tavrel.exe against the bare window:"
echo "  drawn:    $(startup_ratios "$results" ui_ms bare)"
echo "  CPU:      $(startup_ratios "$results" cpu_ms bare)"
echo "  peak RSS: $(startup_ratios "$results" rss_kb bare)"
echo "(each run: $results)"
