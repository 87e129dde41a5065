# Sourced by the scripts that run Windows programs under Wine.
#
# Once wine32:i386 is installed, `wine` (and winepath, and `wine start`)
# starts Wine's 32-bit loader, which needs a kernel that runs 32-bit x86
# programs (IA-32 emulation). Some virtual machines' kernels do not, and no
# package changes that. There `wine` has to be the 64-bit loader, which runs
# 64-bit programs (and 64-bit installers) in prefixes made by it alone; a
# 32-bit program cannot run at all.
#
# use_runnable_wine DIR: makes `wine` on PATH a loader that runs here (a
# shim in DIR where the 32-bit one cannot) and sets wine_runs_32bit to 1 or
# 0 (then wine_no_32bit_reason says why), and wine_prefix_suffix to "" or
# "-wine64", for prefixes of their own.
use_runnable_wine() {
    local dir=$1
    local probe
    probe=$(dirname -- "${BASH_SOURCE[0]}")/../../scripts/kernel-runs-ia32.sh
    wine_runs_32bit=1
    wine_no_32bit_reason=
    wine_prefix_suffix=
    unset WINELOADER
    if ! "$probe"; then
        wine_runs_32bit=0
        wine_no_32bit_reason="this machine's kernel does not run 32-bit x86 programs (no IA-32 emulation)"
    elif [[ ! -x /usr/lib/wine/wine ]]; then
        wine_runs_32bit=0
        wine_no_32bit_reason="Wine's 32-bit half (wine32:i386) is not installed"
    elif ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
        wine_runs_32bit=0
        wine_no_32bit_reason="Wine's 32-bit loader does not start"
    fi
    # Without its 32-bit half `wine` is the 64-bit loader already; with a
    # half that cannot run, it would start that one.
    if ((!wine_runs_32bit)) && [[ -x /usr/lib/wine/wine ]]; then
        wine_prefix_suffix=-wine64
        mkdir -p "$dir"
        # Scripts, not links: the loader finds its own files by its name.
        local name
        for name in wine wine-stable; do
            printf '#!/bin/sh\nexec /usr/lib/wine/wine64 "$@"\n' >"$dir/$name.new"
            chmod +x "$dir/$name.new"
            mv -f "$dir/$name.new" "$dir/$name"
        done
        export PATH="$dir:$PATH" WINELOADER=/usr/lib/wine/wine64
    fi
}

# skip_no_32bit [WHAT]: ends a test that needs a 32-bit program where none
# can run, in the words the suite accepts as a skip even under CI.
skip_no_32bit() {
    echo "${TAVREL_NO_32BIT_TEXT:?set by the test suite}: ${1:+$1: }$wine_no_32bit_reason"
    exit "${TAVREL_SKIP_CODE:?set by the test suite}"
}

# The machine type in a program's PE header: 014c is 32-bit x86, 8664 x86-64.
pe_machine() {
    local offset
    offset=$(od -An -tu4 -j60 -N4 -- "$1" | tr -d ' ') || return
    od -An -tx2 -j$((offset + 4)) -N2 -- "$1" | tr -d ' '
}
