#!/usr/bin/env bash
# pe_hardening_test.sh OBJDUMP ARCH PROGRAM.exe
#
# What Windows reads from the program's headers before it runs a line of
# it: loaded at a random address (DYNAMIC_BASE, with the relocations that
# needs still in the file), data pages never executable (NX_COMPAT), on
# x86-64 randomised over the whole 64-bit space (HIGH_ENTROPY_VA); and the
# manifest: run with the user's own rights, never elevated or virtualised
# (asInvoker), on the Windows versions it names (7, 8, 8.1, 10 and 11).
# Every check is a row; all failing rows are listed.
set -uo pipefail
[[ $# -eq 3 ]] || {
    echo "usage: pe_hardening_test.sh OBJDUMP ARCH PROGRAM.exe" >&2
    exit 2
}
objdump=$1 arch=$2 program=$3

failures=0
row() {
    if [[ $2 == yes ]]; then
        echo "ok   $1"
    else
        echo "FAIL $1${3:+: $3}"
        failures=$((failures + 1))
    fi
}

headers=$("$objdump" -p "$program") || {
    echo "FAIL: $objdump cannot read $program"
    exit 1
}
characteristics=$((16#$(awk '$1 == "DllCharacteristics" { print $2 }' <<<"$headers")))
file_characteristics=$((16#$(awk '$1 == "Characteristics" { sub(/^0x/, "", $2); print $2 }' <<<"$headers")))
# "Entry 5 <address> <size> Base Relocation Directory [.reloc]"
relocations=$((16#$(awk '/Base Relocation Directory/ { print $4 }' <<<"$headers")))

while IFS='|' read -r name mask wanted; do
    [[ -z $wanted || $wanted == "$arch" || $wanted == all ]] || continue
    if ((characteristics & mask)); then row "$name" yes; else row "$name" no "DllCharacteristics $(printf 0x%04x "$characteristics")"; fi
done <<'ROWS'
DYNAMIC_BASE (loaded at a random address)|0x0040|all
NX_COMPAT (data never executed)|0x0100|all
HIGH_ENTROPY_VA (randomised over 64 bits)|0x0020|win64
ROWS
if ((relocations > 0)); then row "relocations kept (a base relocation directory)" yes; else row "relocations kept (a base relocation directory)" no "none"; fi
if ((file_characteristics & 0x0001)); then row "relocations not stripped (IMAGE_FILE_RELOCS_STRIPPED unset)" no; else row "relocations not stripped (IMAGE_FILE_RELOCS_STRIPPED unset)" yes; fi

# The manifest is embedded as it is written (UTF-8 text).
while IFS='|' read -r name pattern; do
    if grep -aq -- "$pattern" "$program"; then row "manifest: $name" yes; else row "manifest: $name" no "no '$pattern'"; fi
done <<'ROWS'
runs with the user's own rights|requestedExecutionLevel level="asInvoker" uiAccess="false"
supports Windows 7|supportedOS Id="{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"
supports Windows 8|supportedOS Id="{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"
supports Windows 8.1|supportedOS Id="{1f676c76-80e1-4239-95bb-83d0f6d0da78}"
supports Windows 10 and 11|supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"
ROWS

if ((failures)); then
    echo "$failures check(s) failed"
    exit 1
fi
echo "$(basename "$program"): hardened headers and manifest"
