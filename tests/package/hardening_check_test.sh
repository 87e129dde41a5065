#!/usr/bin/env bash
# hardening_check_test.sh HARDENING_CHECK PACKAGE.deb
#
# The packaged program as Debian's hardening-check (devscripts) reads it:
# position-independent, stack canaries, the C library's checked functions,
# relocations read-only and bound at start-up (and stack clash protection
# where it finds a frame large enough to need probes). hardening-check
# exits non-zero on any "no". Its control-flow check is left out: it wants
# the IBT/SHSTK note on the whole program, which the linker drops unless
# every object has it, and Debian 12's own start files (crt1.o) have not,
# so no program linked here can pass it (nor does Debian 12's
# dpkg-buildflags ask for it; the objects are built with -fcf-protection
# all the same).
set -euo pipefail
[[ $# -eq 2 ]] || {
    echo "usage: hardening_check_test.sh HARDENING_CHECK PACKAGE.deb" >&2
    exit 2
}
hardening_check=$1 deb=$2
unpacked=$(mktemp -d)
trap 'rm -rf -- "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
"$hardening_check" --nocfprotection "$unpacked/usr/bin/tavrel"
