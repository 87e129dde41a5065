#!/usr/bin/env bash
# portable_zip_test.sh CMAKE ZIP PROGRAM.exe LICENSE ARCH VERSION
#
# The portable zip as a teacher meets it on Windows 7 or later: opened with
# Explorer's own zip folder, its read-me opened in Notepad. Names must be
# plain ASCII (Windows 7 reads zip names in the local code page), the texts
# must have Windows line ends, and the Chinese read-me a byte-order mark, or
# Notepad shows it in the wrong code page. Each check is one row; all failing
# rows are listed.
set -uo pipefail
[[ $# -eq 6 ]] || {
    echo "usage: portable_zip_test.sh CMAKE ZIP PROGRAM.exe LICENSE ARCH VERSION" >&2
    exit 2
}
cmake=$1 zip=$(realpath -m -- "$2") program=$3 license=$4 arch=$5 version=$6
[[ -f $zip ]] || {
    echo "FAIL: no zip at $zip: build the 'portable_zip' target first"
    exit 1
}

failures=0
check() {
    local name=$1
    shift
    if "$@"; then echo "ok   $name"; else
        echo "FAIL $name"
        failures=$((failures + 1))
    fi
}
not() { ! "$@"; }

work=$(mktemp -d)
trap 'rm -rf -- "$work"' EXIT

listing=$("$cmake" -E tar tf "$zip" | sort | tr '\n' ' ')
check "the zip holds Tavrel.exe, LICENSE.txt and README.txt, at its top ($listing)" \
    test "$listing" == "LICENSE.txt README.txt Tavrel.exe "
(cd "$work" && "$cmake" -E tar xf "$zip") || {
    echo "FAIL the zip unpacks"
    exit 1
}

pe_machine() {
    local offset
    offset=$(od -An -tu4 -j60 -N4 -- "$1" | tr -d ' ')
    od -An -tx2 -j$((offset + 4)) -N2 -- "$1" | tr -d ' '
}
case $arch in
win64) machine=8664 ;;
win32) machine=014c ;;
*) machine=none ;;
esac
# only_crlf FILE: every line ends with CR LF, including the last.
only_crlf() {
    [[ -s $1 ]] && not grep -q $'[^\r]$\|^$' "$1"
}
starts_with_bom() {
    [[ $(head -c3 "$1" | od -An -tx1 | tr -d ' ') == efbbbf ]]
}
utf8() {
    iconv -f UTF-8 -t UTF-8 "$1" >/dev/null 2>&1
}
mentions() {
    grep -qF -- "$2" "$1"
}

exe=$work/Tavrel.exe readme=$work/README.txt licence=$work/LICENSE.txt
check "Tavrel.exe is the built program" cmp -s "$program" "$exe"
check "Tavrel.exe is the $arch program" test "$(pe_machine "$exe" 2>/dev/null)" == "$machine"
check "LICENSE.txt is LICENSE" cmp -s "$license" <(tr -d '\r' <"$licence")
check "LICENSE.txt has Windows line ends" only_crlf "$licence"
check "README.txt starts with a UTF-8 byte-order mark" starts_with_bom "$readme"
check "README.txt is UTF-8 throughout" utf8 "$readme"
check "README.txt has Windows line ends" only_crlf "$readme"
while IFS='|' read -r name text; do
    check "README.txt $name" mentions "$readme" "$text"
done <<EOF
names the version|Tavrel $version
says it runs from a USB stick|U 盘
says it writes nothing|不写文件，不写注册表
says how to pass SmartScreen: More info|更多信息
says how to pass SmartScreen: Run anyway|仍要运行
names this architecture's installer|Tavrel-$version-$arch-setup.exe
points to the licence|LICENSE.txt
EOF

[[ $failures -eq 0 ]] && echo "the $arch portable zip is what Windows and Notepad expect"
[[ $failures -eq 0 ]]
