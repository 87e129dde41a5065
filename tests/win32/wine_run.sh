#!/usr/bin/env bash
# Runs one Windows program under Wine the way CTest runs any other test. The
# MinGW toolchain files name this script as CMAKE_CROSSCOMPILING_EMULATOR, so
# CTest calls
#     wine_run.sh PROGRAM.exe [ARGUMENTS...]
# and sees the program's own exit status (77 included, which the suite reads
# as "skipped") and its output with Windows line ends turned into Unix ones.
#
# Every build directory gets its own Wine prefixes under <build>/wine, each
# made on first use and reused afterwards (a prefix takes about 20 s to boot
# and 1.3 GB of disk):
#   console       programs without windows (the core's tests); any number
#                 run side by side and share the prefix's wineserver, which
#                 ends by itself a few seconds after the last of them
#   desktop-DPI   programs with windows, one at a time, each on a private X
#                 server inside Wine's virtual desktop; the run ends the
#                 prefix's wineserver with its program, so no Wine process
#                 outlives the test and the next run starts on a fresh desktop
#
# Settings, from the environment (the test's ENVIRONMENT property):
#   TAVREL_WINE_DISPLAY=1      the program makes windows (a desktop prefix)
#   TAVREL_WINE_DPI=96|144     the desktop's screen resolution; default 96
#   TAVREL_WINE_LANG=zh_CN.UTF-8
#                              the locale Wine takes its display language and
#                              code page from; made with localedef into the
#                              build directory if the system lacks it
#   TAVREL_WINE_TIMEOUT=SECONDS
#                              limit for the program's run, default 3000 (the
#                              test's own CTest timeout applies as well)
#   TAVREL_WINE_ROOT=DIR       where the prefixes live; default <build>/wine
set -uo pipefail

readonly skip_code=${TAVREL_SKIP_CODE:?set by the test suite}

skip() {
    echo "skipped: $*"
    exit "$skip_code"
}

fail() {
    echo "wine_run.sh: $*" >&2
    exit 1
}

[[ $# -ge 1 ]] || fail "usage: wine_run.sh PROGRAM.exe [ARGUMENTS...]"
program=$(realpath -- "$1") || fail "no program $1"
shift

command -v wine >/dev/null || skip "Wine is not installed (wine, wine64, wine32:i386)"
command -v wineserver >/dev/null || skip "wineserver is not on PATH"
command -v flock >/dev/null || skip "flock is not installed"

dpi=${TAVREL_WINE_DPI:-96}
[[ $dpi =~ ^[0-9]+$ ]] || fail "TAVREL_WINE_DPI must be a number, not '$dpi'"
time_limit=${TAVREL_WINE_TIMEOUT:-3000}

# The build directory is the nearest one above the program that holds a
# CMake cache; the prefixes live beside the build's other outputs.
build_dir_of() {
    local dir
    dir=$(dirname -- "$1")
    while [[ $dir != / ]]; do
        [[ -f $dir/CMakeCache.txt ]] && {
            echo "$dir"
            return
        }
        dir=$(dirname -- "$dir")
    done
    pwd
}
root=${TAVREL_WINE_ROOT:-$(build_dir_of "$program")/wine}
mkdir -p "$root" || fail "cannot create $root"

# shellcheck source=wine_loader.sh
source "$(dirname -- "${BASH_SOURCE[0]}")/wine_loader.sh"
use_runnable_wine "$root/bin"
machine=$(pe_machine "$program")
if [[ $machine == 014c ]] && ((!wine_runs_32bit)); then
    skip_no_32bit
fi

desktop=0
[[ ${TAVREL_WINE_DISPLAY:-0} == 1 ]] && desktop=1
if ((desktop)); then
    export WINEPREFIX=$root/desktop-$dpi$wine_prefix_suffix
else
    export WINEPREFIX=$root/console$wine_prefix_suffix
    dpi=96
fi
export WINEDEBUG=-all
# No offer to install Mono or Gecko; no crash debugger, which would wait for
# ever on a crashed test instead of letting it fail; no menu entries written
# into the user's desktop for the programs the tests start.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d;winemenubuilder.exe=d"
unset WINEARCH

# Console runs share the prefix, desktop runs keep it to themselves, and it
# is made under an exclusive lock.
exec {lock_fd}>"$WINEPREFIX.lock" || fail "cannot open $WINEPREFIX.lock"
if ((desktop)); then
    flock -x -w "$time_limit" "$lock_fd"
else
    flock -s -w "$time_limit" "$lock_fd"
fi || fail "waited ${time_limit}s for $WINEPREFIX"

xvfb_pid=
cleanup() {
    if ((desktop)); then
        wineserver -k 2>/dev/null
        wineserver -w 2>/dev/null
    fi
    if [[ -n $xvfb_pid ]]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
}
trap cleanup EXIT
trap 'exit 143' TERM INT HUP

# Settings the tests rely on, made once per prefix:
# - Wine's own virtual desktop, 1280 x 1024: no window manager is needed, and
#   without one Wine would wait about 2 s on every window it hides;
# - the screen resolution (LogPixels, 0x60 = 96, 0x90 = 144);
# - no crash debugger, for 64-bit and 32-bit programs alike.
write_settings() {
    local logpixels
    printf -v logpixels '%08x' "$dpi"
    cat <<EOF
REGEDIT4

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]
"Default"="1280x1024"

[HKEY_CURRENT_USER\\Control Panel\\Desktop]
"LogPixels"=dword:$logpixels

[HKEY_LOCAL_MACHINE\\System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts]
"LogPixels"=dword:$logpixels

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug]
"Auto"="0"
"Debugger"=""

[HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug]
"Auto"="0"
"Debugger"=""
EOF
}

make_prefix() {
    local log=$WINEPREFIX.log settings=$WINEPREFIX.reg
    rm -rf -- "$WINEPREFIX"
    echo "wine_run.sh: making the Wine prefix $WINEPREFIX (once)" >&2
    {
        # `wine` (not wine64) makes a prefix that runs 64-bit and 32-bit
        # programs alike when Wine's 32-bit half is installed.
        DISPLAY= wine wineboot --init &&
            write_settings >"$settings" &&
            DISPLAY= wine regedit /S "$(winepath -w "$settings")" &&
            wineserver -w
    } </dev/null >"$log" 2>&1 || {
        cat "$log" >&2
        fail "could not make the Wine prefix $WINEPREFIX"
    }
    touch "$WINEPREFIX/.tavrel-ready"
}
if [[ ! -f $WINEPREFIX/.tavrel-ready ]]; then
    flock -x -w "$time_limit" "$lock_fd" || fail "waited ${time_limit}s for $WINEPREFIX"
    # Another run may have made it while this one waited.
    [[ -f $WINEPREFIX/.tavrel-ready ]] || make_prefix
    if ((!desktop)); then
        flock -s "$lock_fd" || fail "cannot share $WINEPREFIX"
    fi
fi

if [[ $machine == 014c && ! -f $WINEPREFIX/drive_c/windows/syswow64/kernel32.dll ]]; then
    # The prefix was made before Wine's 32-bit half was installed.
    fail "the prefix $WINEPREFIX has no 32-bit half; remove it to have it made again"
fi

if [[ -n ${TAVREL_WINE_LANG:-} ]]; then
    # Debian generates no Chinese locale by default; one compiled into the
    # build directory needs no root.
    if ! LANG=$TAVREL_WINE_LANG LC_ALL= locale 2>&1 | grep -q 'Cannot set'; then
        export LANG=$TAVREL_WINE_LANG LC_ALL=
    else
        command -v localedef >/dev/null || skip "localedef is not installed (locales)"
        locales=$root/locale
        name=${TAVREL_WINE_LANG%%.*}
        charset=${TAVREL_WINE_LANG#*.}
        if [[ ! -d $locales/$TAVREL_WINE_LANG ]]; then
            mkdir -p "$locales"
            localedef -i "$name" -f "$charset" "$locales/$TAVREL_WINE_LANG" 2>/dev/null ||
                [[ -f $locales/$TAVREL_WINE_LANG/LC_CTYPE ]] ||
                skip "localedef cannot make $TAVREL_WINE_LANG (no locale sources?)"
        fi
        export LOCPATH=$locales LANG=$TAVREL_WINE_LANG LC_ALL=
    fi
fi

if ((desktop)); then
    command -v Xvfb >/dev/null || skip "Xvfb is not installed (xvfb)"
    # A private X server on the first free display number; -displayfd tells
    # which one it took once it accepts connections.
    display_file=$(mktemp)
    Xvfb -displayfd 1 -screen 0 1600x1200x24 -nolisten tcp -noreset >"$display_file" 2>/dev/null &
    xvfb_pid=$!
    for ((i = 0; i < 200; ++i)); do
        [[ -s $display_file ]] && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.05
    done
    display=$(tr -d '[:space:]' <"$display_file")
    rm -f -- "$display_file"
    [[ -n $display ]] || fail "Xvfb did not start"
    export DISPLAY=:$display
else
    unset DISPLAY
fi
unset WAYLAND_DISPLAY

# The program's output, with Windows line ends made Unix ones on both
# streams; the exit status is the program's.
# (pipefail makes each pipeline's status the program's, tr's being 0.)
{
    timeout -k 10 "$time_limit" wine "$program" "$@" </dev/null 2>&1 1>&3 3>&- |
        tr -d '\r' >&2
} 3>&1 | tr -d '\r'
status=$?
if [[ $status -eq 124 ]]; then
    echo "wine_run.sh: $(basename -- "$program") did not finish within ${time_limit}s" >&2
fi
exit "$status"
