#!/usr/bin/env bash
# windows_version_test.sh WINDRES RC_FILE PROJECT_VERSION
# Compiles the Windows resource script with the MinGW resource compiler (a
# real check of its syntax) and checks that the version block it yields
# carries the project's version, e.g. 1.00 -> "1.00" and 1,0,0,0.
set -euo pipefail
windres_program=$1
rc=$2
version=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$(dirname "$rc")"
windres=("$windres_program" --preprocessor=cpp --preprocessor-arg=-xc-header
         --preprocessor-arg=-E -i "$(basename "$rc")")
"${windres[@]}" -O coff -o "$work/tavrel.res.o"
"${windres[@]}" -O rc -o "$work/decompiled.rc"

major=${version%%.*}
minor=$((10#${version#*.}))
failures=0
passes=0
expect() { # the line that must appear in the compiled resources
    if grep -qF -- "$1" "$work/decompiled.rc"; then passes=$((passes + 1));
    else echo "FAIL: no line '$1'"; failures=$((failures + 1)); fi
}
expect "FILEVERSION $major, $minor, 0, 0"
expect "PRODUCTVERSION $major, $minor, 0, 0"
expect 'BLOCK "080404B0"'
expect "VALUE \"FileVersion\", \"$version\""
expect "VALUE \"ProductVersion\", \"$version\""
expect 'VALUE "InternalName", "Tavrel"'
expect 'VALUE "OriginalFilename", "Tavrel.exe"'
expect 'VALUE "Translation", 0x804, 1200'
icons=$(grep -c 'RT_ICON \*/' "$work/decompiled.rc" || true)
if [[ "$icons" == 3 ]]; then passes=$((passes + 1)); else echo "FAIL: $icons icon images, not 3"; failures=$((failures + 1)); fi
echo "$passes passed, $failures failed"
[[ $failures == 0 ]]
