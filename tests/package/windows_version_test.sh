#!/usr/bin/env bash
# windows_version_test.sh RC_FILE
# Compiles the Windows resource script with the MinGW resource compiler (a
# real check of its syntax) and checks the version block it yields.
set -euo pipefail
rc=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$(dirname "$rc")"
windres=(x86_64-w64-mingw32-windres --preprocessor=cpp --preprocessor-arg=-xc-header
         --preprocessor-arg=-E -i "$(basename "$rc")")
"${windres[@]}" -O coff -o "$work/tavrel.res.o"
"${windres[@]}" -O rc -o "$work/decompiled.rc"

failures=0
passes=0
expect() { # the line that must appear in the compiled resources
    if grep -qF -- "$1" "$work/decompiled.rc"; then passes=$((passes + 1));
    else echo "FAIL: no line '$1'"; failures=$((failures + 1)); fi
}
expect 'FILEVERSION 1, 0, 0, 0'
expect 'PRODUCTVERSION 1, 0, 0, 0'
expect 'BLOCK "080404B0"'
expect 'VALUE "FileVersion", "1.00"'
expect 'VALUE "ProductVersion", "1.00"'
expect 'VALUE "InternalName", "Tavrel"'
expect 'VALUE "OriginalFilename", "Tavrel.exe"'
expect 'VALUE "Translation", 0x804, 1200'
icons=$(grep -c 'RT_ICON \*/' "$work/decompiled.rc" || true)
if [[ "$icons" == 3 ]]; then passes=$((passes + 1)); else echo "FAIL: $icons icon images, not 3"; failures=$((failures + 1)); fi
echo "$passes passed, $failures failed"
[[ $failures == 0 ]]
